#pragma once
// The one vertex batch everything is drawn through. A drawing routine resets
// it, appends strips (each closed by EndStrip) and flushes it once; all strips
// are joined into one long strip by repeated vertices, so one flush is one draw.

#include <cstdint>

#include "math/vec4.h"
#include "render/frame_vertex.h"

namespace pw {

class RenderBackend;

constexpr int32_t kBatchCapacity = 2000000;

struct VertexBatch {
  FrameVertex* vertices = nullptr;  // fixed storage of `capacity` vertices
  int32_t capacity = 0;
  int32_t vertexCount = 0;
  uint8_t doubleNext = 0;           // the next appended vertex is written twice
  int32_t stripCount = 0;
  int32_t stripStarts[2] = {};      // the drawable range after the last EndStrip
  Vec4 lastPosition;
  RenderBackend* backend = nullptr;  // receives every flush; may be null
};

// The game's batch, with storage for kBatchCapacity vertices.
VertexBatch& frameBatch();

void ResetBatch(VertexBatch& batch);
// uv may be null (0, 0). Past the capacity the vertex is dropped.
void AppendVertex(VertexBatch& batch, const Vec4& position, const Vec4& colour, const Vec4& normal,
                  const float* uv);
void EndStrip(VertexBatch& batch);
// choice 1: toolbar, 3: title, anything else: particle sprite.
void FlushAdditive(VertexBatch& batch, int32_t choice);
// mode 2: robot skin, 4: room (exp20), 5: untextured, 6: room walls (exp22).
void FlushBlended(VertexBatch& batch, int32_t mode);

// 0..1 to a byte: clamped, rounded half up; NaN gives 0.
uint8_t colourByte(float c);
uint32_t packColour(const Vec4& colour);

}  // namespace pw
