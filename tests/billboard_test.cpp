#include "render/billboard.h"

#include <gtest/gtest.h>

#include "render/camera.h"
#include "render/screen_overlay.h"
#include "render_test_batch.h"

namespace pw {
namespace {

Camera cameraAtRest() {
  Camera camera;
  GameFlow flow;
  PlayerBody body;
  UpdateCamera(camera, flow, body, nullptr);
  return camera;
}

struct Corner {
  float x, y, z, u, v;
};

void expectQuad(const FrameVertex* v, const Corner (&corners)[4]) {
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    expectPosition(v[k], corners[k].x, corners[k].y, corners[k].z);
    EXPECT_EQ(v[k].u, corners[k].u);
    EXPECT_EQ(v[k].v, corners[k].v);
    EXPECT_EQ(v[k].colour, kOpaqueWhite);
    EXPECT_EQ(v[k].nx, 1.0f);  // the white colour doubles as the normal
    EXPECT_EQ(v[k].ny, 1.0f);
    EXPECT_EQ(v[k].nz, 1.0f);
  }
}

TEST(Billboard, AxisAlignedSquareFacingTheCamera) {
  TestBatch<16> t;
  DrawBillboard(t.batch, cameraAtRest().view, Vec4(1, 2, 0, 1), 0.5f);
  ASSERT_EQ(t.batch.vertexCount, 5);
  expectQuad(t.storage, {{0.5f, 2.5f, 0, 0, 0}, {1.5f, 2.5f, 0, 1, 0}, {0.5f, 1.5f, 0, 0, 1}, {1.5f, 1.5f, 0, 1, 1}});
  expectPosition(t.storage[4], 1.5f, 1.5f, 0);  // the closing vertex
  EXPECT_EQ(t.storage[4].colour, kOpaqueBlack);
  EXPECT_EQ(t.batch.stripStarts[1], 5);
}

TEST(Billboard, AxesComeFromTheViewColumns) {
  // A view turned a quarter about z: right is world +y, up is world -x.
  Mat4 view = identityMatrix();
  view.m[0][0] = 0;
  view.m[1][0] = 1;
  view.m[0][1] = -1;
  view.m[1][1] = 0;
  TestBatch<16> t;
  DrawBillboard(t.batch, view, Vec4(0, 0, 3, 1), 1.0f);
  // centre - R + U = (0, -1) + (-1, 0)
  expectQuad(t.storage, {{-1, -1, 3, 0, 0}, {-1, 1, 3, 1, 0}, {1, -1, 3, 0, 1}, {1, 1, 3, 1, 1}});
}

TEST(Billboard, TwoSpritesAreOneDraw) {
  TestBatch<32> t;
  const Mat4 view = cameraAtRest().view;
  DrawBillboard(t.batch, view, Vec4(0, 0, 0, 1), 0.5f);
  DrawBillboard(t.batch, view, Vec4(3, 0, 0, 1), 0.5f);
  FlushAdditive(t.batch, 0);
  ASSERT_EQ(t.recorder.drawCount(), 1);
  ASSERT_EQ(t.recorder.drawAt(0).count, 11);  // 4 + closing, doubled first + 3 + closing
  const FrameVertex* v = t.recorder.verticesOf(0);
  expectPosition(v[5], 2.5f, 0.5f, 0);
  expectPosition(v[6], 2.5f, 0.5f, 0);
}

TEST(ScreenOverlay, TitleCoversThePictureTwoUnitsAhead) {
  const Camera camera = cameraAtRest();
  ASSERT_EQ(camera.cameraPoint.z, -5.0f);
  TestBatch<16> t;
  DrawScreenOverlay(t.batch, camera);
  FlushAdditive(t.batch, 3);
  ASSERT_EQ(t.recorder.drawCount(), 1);
  EXPECT_EQ(t.recorder.drawAt(0).texture, TextureName::Title);
  expectQuad(t.recorder.verticesOf(0), {{-2, 2, -3, 0, 0}, {2, 2, -3, 1, 0}, {-2, -2, -3, 0, 1}, {2, -2, -3, 1, 1}});
}

TEST(ScreenOverlay, FollowsTheEye) {
  Camera camera;
  GameFlow flow;
  flow.currentTool = kPlayTool;
  PlayerBody body;
  body.position = Vec4(4, 0, 0, 1);
  for (int i = 0; i < 5; ++i) UpdateCamera(camera, flow, body, nullptr);
  TestBatch<16> t;
  DrawScreenOverlay(t.batch, camera);
  const float x = camera.cameraPoint.x;
  expectQuad(t.storage, {{x - 2, 2, -2, 0, 0}, {x + 2, 2, -2, 1, 0}, {x - 2, -2, -2, 0, 1}, {x + 2, -2, -2, 1, 1}});
}

}  // namespace
}  // namespace pw
