#include "render/billboard.h"

namespace pw {

void DrawBillboard(VertexBatch& batch, const Mat4& view, Vec4 centre, float size) {
  // The first two columns of a row-vector view matrix are the camera's right
  // and up axes in world space.
  const Vec4 right = column(view, 0) * size;
  const Vec4 up = column(view, 1) * size;
  const Vec4 white(1.0f, 1.0f, 1.0f, 1.0f);
  // Corner order and uv keep the texture upright and unmirrored.
  const float topLeftUv[2] = {0.0f, 0.0f};
  const float topRightUv[2] = {1.0f, 0.0f};
  const float bottomLeftUv[2] = {0.0f, 1.0f};
  const float bottomRightUv[2] = {1.0f, 1.0f};
  AppendVertex(batch, centre - right + up, white, white, topLeftUv);
  AppendVertex(batch, centre + right + up, white, white, topRightUv);
  AppendVertex(batch, centre - right - up, white, white, bottomLeftUv);
  AppendVertex(batch, centre + right - up, white, white, bottomRightUv);
  EndStrip(batch);
}

}  // namespace pw
