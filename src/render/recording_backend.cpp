#include "render/recording_backend.h"

namespace pw {

void RecordingBackend::setViewProjection(const Mat4& view, const Mat4& projection) {
  view_ = view;
  projection_ = projection;
  ++viewProjectionCount_;
}

void RecordingBackend::draw(const DrawRange& range) {
  if (drawCount_ >= kMaxDraws) {
    ++droppedDraws_;
    return;
  }
  RecordedDraw& d = draws_[drawCount_++];
  d.texture = range.texture;
  d.blend = range.blend;
  d.first = range.first;
  d.count = range.count;
  d.storedFirst = storedVertices_;
  const int32_t room = kMaxStoredVertices - storedVertices_;
  d.storedCount = range.count < room ? range.count : room;
  if (d.storedCount < 0) d.storedCount = 0;
  for (int32_t i = 0; i < d.storedCount; ++i) store_[storedVertices_ + i] = range.vertices[range.first + i];
  storedVertices_ += d.storedCount;
}

void RecordingBackend::clearDraws() {
  drawCount_ = 0;
  droppedDraws_ = 0;
  storedVertices_ = 0;
}

}  // namespace pw
