#include "render/screen_overlay.h"

#include "render/billboard.h"

namespace pw {

void DrawScreenOverlay(VertexBatch& batch, const Camera& camera) {
  const Vec4 centre = camera.cameraPoint + Vec4(0.0f, 0.0f, kOverlayDistance, 1.0f);
  DrawBillboard(batch, camera.view, centre, kOverlayHalfSize);
}

}  // namespace pw
