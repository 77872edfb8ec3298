#pragma once
// A full-screen sprite (the title picture, the editor's toolbar): a billboard
// two units in front of the eye with half-side two. The view spans -d..d at
// distance d, so it exactly fills the picture.

#include "render/camera.h"
#include "render/vertex_batch.h"

namespace pw {

constexpr float kOverlayDistance = 2.0f;
constexpr float kOverlayHalfSize = 2.0f;

// Appends the overlay's strip; the caller flushes it additively with the
// overlay's texture (FlushAdditive 3 for the title, 1 for the toolbar).
void DrawScreenOverlay(VertexBatch& batch, const Camera& camera);

}  // namespace pw
