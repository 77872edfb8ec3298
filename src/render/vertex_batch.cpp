#include "render/vertex_batch.h"

#include "render/render_backend.h"

namespace pw {

VertexBatch& frameBatch() {
  static FrameVertex storage[kBatchCapacity];
  static VertexBatch batch = [] {
    VertexBatch b;
    b.vertices = storage;
    b.capacity = kBatchCapacity;
    return b;
  }();
  return batch;
}

void ResetBatch(VertexBatch& batch) {
  batch.vertexCount = 0;
  batch.stripCount = 0;
}

uint8_t colourByte(float c) {
  if (c >= 1.0f) return 255;
  // Also catches NaN, which would make the conversion below undefined.
  if (!(c > 0.0f)) return 0;
  return static_cast<uint8_t>(c * 255.0f + 0.5f);
}

uint32_t packColour(const Vec4& colour) {
  return static_cast<uint32_t>(colourByte(colour.w)) << 24 | static_cast<uint32_t>(colourByte(colour.x)) << 16 |
         static_cast<uint32_t>(colourByte(colour.y)) << 8 | static_cast<uint32_t>(colourByte(colour.z));
}

namespace {

void writeVertex(VertexBatch& batch, const Vec4& position, const Vec4& colour, const Vec4& normal,
                 const float* uv) {
  if (batch.vertexCount >= batch.capacity) return;  // dropped, as a failed lock would
  batch.lastPosition = position;
  FrameVertex& v = batch.vertices[batch.vertexCount];
  v.x = position.x;
  v.y = position.y;
  v.z = position.z;
  v.nx = normal.x;
  v.ny = normal.y;
  v.nz = normal.z;
  v.colour = packColour(colour);
  v.u = uv ? uv[0] : 0.0f;
  v.v = uv ? uv[1] : 0.0f;
  ++batch.vertexCount;
}

void drawBatch(const VertexBatch& batch, TextureName texture, BlendState blend) {
  if (batch.backend == nullptr) return;
  for (int32_t i = 0; i + 1 < batch.stripCount; ++i) {
    const int32_t first = batch.stripStarts[i];
    const int32_t count = batch.stripStarts[i + 1] - first;
    if (count < 3) continue;
    batch.backend->draw(DrawRange{batch.vertices, first, count, texture, blend});
  }
}

}  // namespace

void AppendVertex(VertexBatch& batch, const Vec4& position, const Vec4& colour, const Vec4& normal,
                  const float* uv) {
  if (batch.doubleNext) {
    batch.doubleNext = 0;
    writeVertex(batch, position, colour, normal, uv);
  }
  writeVertex(batch, position, colour, normal, uv);
}

void EndStrip(VertexBatch& batch) {
  const Vec4 black(0.0f, 0.0f, 0.0f, 1.0f);
  const Vec4 zeroNormal(0.0f, 0.0f, 0.0f, 1.0f);
  AppendVertex(batch, batch.lastPosition, black, zeroNormal, nullptr);
  // The next strip starts with a doubled vertex: the joining triangles have
  // two equal corners and cover no pixel.
  batch.doubleNext = 1;
  batch.stripStarts[0] = 0;
  batch.stripStarts[1] = batch.vertexCount;
  batch.stripCount = 2;
}

void FlushAdditive(VertexBatch& batch, int32_t choice) {
  TextureName texture = TextureName::Particle;
  if (choice == 1) texture = TextureName::Toolhud;
  if (choice == 3) texture = TextureName::Title;
  drawBatch(batch, texture, BlendState::Additive);
}

void FlushBlended(VertexBatch& batch, int32_t mode) {
  TextureName texture = TextureName::None;  // mode 5 and anything unknown: untextured
  if (mode == 2) texture = TextureName::Gradbw;
  if (mode == 4) texture = TextureName::Exp20;
  if (mode == 6) texture = TextureName::Exp22;
  drawBatch(batch, texture, BlendState::Blended);
}

}  // namespace pw
