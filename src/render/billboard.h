#pragma once
// Camera-facing square sprites: particles, the editor's cursor and the
// full-screen overlays. Every sprite is white; the flush's texture gives it
// its look.

#include "math/mat4.h"
#include "math/vec4.h"
#include "render/vertex_batch.h"

namespace pw {

// Appends one closed strip: the square of half-side `size` around `centre`,
// facing the camera whose view matrix (row-vector convention) is `view`.
// Neither resets nor flushes the batch.
void DrawBillboard(VertexBatch& batch, const Mat4& view, Vec4 centre, float size);

}  // namespace pw
