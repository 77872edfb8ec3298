#pragma once
// A back end that remembers what it was asked to draw, for tests: every flush
// with its texture, blend state and range, a copy of the drawn vertices, and
// the last view and projection. Fixed capacities; what does not fit is counted
// as dropped, never written.

#include <cstdint>

#include "render/render_backend.h"

namespace pw {

struct RecordedDraw {
  TextureName texture;
  BlendState blend;
  int32_t first;  // range in the batch that was flushed
  int32_t count;
  int32_t storedFirst;  // where the copy of the range starts in the store
  int32_t storedCount;  // vertices of the range that fitted in the store
};

class RecordingBackend final : public RenderBackend {
 public:
  static constexpr int32_t kMaxDraws = 64;
  static constexpr int32_t kMaxStoredVertices = 8192;

  void setViewProjection(const Mat4& view, const Mat4& projection) override;
  void draw(const DrawRange& range) override;

  // Forgets the draws (not the view and projection).
  void clearDraws();

  int32_t drawCount() const { return drawCount_; }
  const RecordedDraw& drawAt(int32_t i) const { return draws_[i]; }
  // The stored copy of draw i's vertices: drawAt(i).storedCount of them.
  const FrameVertex* verticesOf(int32_t i) const { return store_ + draws_[i].storedFirst; }
  // Draws refused because kMaxDraws were already recorded.
  int32_t droppedDraws() const { return droppedDraws_; }

  int32_t viewProjectionCount() const { return viewProjectionCount_; }
  const Mat4& view() const { return view_; }
  const Mat4& projection() const { return projection_; }

 private:
  RecordedDraw draws_[kMaxDraws] = {};
  int32_t drawCount_ = 0;
  int32_t droppedDraws_ = 0;
  FrameVertex store_[kMaxStoredVertices] = {};
  int32_t storedVertices_ = 0;
  Mat4 view_ = {};
  Mat4 projection_ = {};
  int32_t viewProjectionCount_ = 0;
};

}  // namespace pw
