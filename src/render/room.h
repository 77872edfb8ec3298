#pragma once
// The five inner faces of the box everything happens in: floor, side walls,
// ceiling and back wall. The front stays open; the eye sits there.

#include "render/vertex_batch.h"

namespace pw {

// Where the back wall stands: one unit before the box's far limit.
constexpr float kBackWallZ = 4.0f;

// Draws each face as its own strip and flush, textured and depth-writing.
// Expects an empty batch and leaves it reset.
void DrawRoom(VertexBatch& batch);

}  // namespace pw
