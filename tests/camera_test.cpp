#include "render/camera.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/recording_backend.h"
#include "render/room.h"

namespace pw {
namespace {

struct CameraTest : ::testing::Test {
  Camera camera;
  GameFlow flow;
  PlayerBody body;
  RecordingBackend recorder;

  void frames(int n) {
    for (int i = 0; i < n; ++i) UpdateCamera(camera, flow, body, &recorder);
  }
};

TEST_F(CameraTest, FollowsHalfTheBodyOffsetAtFivePercentPerFrame) {
  flow.currentTool = kPlayTool;
  body.position = Vec4(2.0f, -4.0f, 0.0f, 1.0f);  // target (1, -2, -4)
  frames(1);
  EXPECT_FLOAT_EQ(camera.cameraPoint.x, 0.05f);
  EXPECT_FLOAT_EQ(camera.cameraPoint.y, -0.1f);
  EXPECT_EQ(camera.cameraPoint.z, -4.0f);  // no smoothing in depth
  EXPECT_EQ(camera.cameraPoint.w, 1.0f);

  frames(13);
  const double fourteen = 1.0 - std::pow(0.95, 14);  // 0.512
  EXPECT_NEAR(camera.cameraPoint.x, fourteen, 1e-5);
  EXPECT_NEAR(camera.cameraPoint.y, -2.0 * fourteen, 1e-5);

  frames(31);
  EXPECT_NEAR(camera.cameraPoint.x, 1.0 - std::pow(0.95, 45), 1e-5);  // about 90 %
}

TEST_F(CameraTest, LeavingPlayJumpsInDepthAndDriftsBack) {
  flow.currentTool = kPlayTool;
  body.position = Vec4(4.0f, 4.0f, 0.0f, 1.0f);
  frames(200);
  EXPECT_NEAR(camera.cameraPoint.x, 2.0f, 1e-4);

  flow.currentTool = 0;
  frames(1);
  EXPECT_EQ(camera.cameraPoint.z, -5.0f);
  const float afterOne = camera.cameraPoint.x;
  EXPECT_NEAR(afterOne, 0.95f * 2.0f, 1e-4);
  frames(1);
  EXPECT_NEAR(camera.cameraPoint.x, 0.95f * afterOne, 1e-5);
}

TEST_F(CameraTest, OtherToolsIgnoreTheBody) {
  flow.currentTool = 11;
  body.position = Vec4(4.0f, 4.0f, 0.0f, 1.0f);
  frames(10);
  EXPECT_EQ(camera.cameraPoint.x, 0.0f);
  EXPECT_EQ(camera.cameraPoint.y, 0.0f);
  EXPECT_EQ(camera.cameraPoint.z, -5.0f);
}

TEST_F(CameraTest, ViewTranslatesByMinusTheEye) {
  flow.currentTool = kPlayTool;
  body.position = Vec4(2.0f, -4.0f, 0.0f, 1.0f);
  frames(3);
  const Vec4 eye = camera.cameraPoint;
  const float expected[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {-eye.x, -eye.y, -eye.z, 1}};
  ASSERT_EQ(recorder.viewProjectionCount(), 3);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(camera.view.m[i][j], expected[i][j]) << i << "," << j;
      EXPECT_EQ(recorder.view().m[i][j], expected[i][j]) << i << "," << j;
    }
}

TEST_F(CameraTest, ProjectionIsTheNinetyDegreePerspective) {
  frames(1);
  const float q = 1000.0f / 999.0f;
  const float expected[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, q, 1}, {0, 0, -q, 0}};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(camera.projection.m[i][j], expected[i][j]) << i << "," << j;
      EXPECT_EQ(recorder.projection().m[i][j], expected[i][j]) << i << "," << j;
    }
}

TEST_F(CameraTest, WorksWithoutABackend) {
  flow.currentTool = kPlayTool;
  body.position = Vec4(2.0f, 0.0f, 0.0f, 1.0f);
  UpdateCamera(camera, flow, body, nullptr);
  EXPECT_FLOAT_EQ(camera.cameraPoint.x, 0.05f);
  EXPECT_EQ(camera.view.m[3][0], -camera.cameraPoint.x);
}

// p * view * projection for a point p (w = 1), row-vector convention.
Vec4 toClip(const Vec4& p, const Mat4& view, const Mat4& projection) {
  const float in[4] = {p.x, p.y, p.z, 1.0f};
  float mid[4] = {};
  float out[4] = {};
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) mid[j] += in[i] * view.m[i][j];
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) out[j] += mid[i] * projection.m[i][j];
  return Vec4(out[0], out[1], out[2], out[3]);
}

TEST_F(CameraTest, BackWallFillsTheMiddleTenEighteenthsAtRest) {
  frames(1);  // at rest the eye is (0, 0, -5) from the first frame
  ASSERT_EQ(camera.cameraPoint.z, -5.0f);
  const float xs[2] = {-5.0f, 5.0f};
  for (float x : xs)
    for (float y : xs) {
      const Vec4 clip = toClip(Vec4(x, y, kBackWallZ, 1.0f), camera.view, camera.projection);
      ASSERT_FLOAT_EQ(clip.w, 9.0f);               // nine units in front of the eye
      EXPECT_FLOAT_EQ(clip.x / clip.w, x / 9.0f);  // +-10/18 of the picture's half-width 1
      EXPECT_FLOAT_EQ(clip.y / clip.w, y / 9.0f);
      const float depth = clip.z / clip.w;
      EXPECT_GT(depth, 0.0f);
      EXPECT_LT(depth, 1.0f);
    }
  // The near plane maps to depth 0, the far plane to 1.
  const Vec4 nearPoint = toClip(Vec4(0, 0, -4, 1), camera.view, camera.projection);
  EXPECT_FLOAT_EQ(nearPoint.z / nearPoint.w + 1.0f, 1.0f);
  const Vec4 farPoint = toClip(Vec4(0, 0, 995, 1), camera.view, camera.projection);
  EXPECT_FLOAT_EQ(farPoint.z / farPoint.w, 1.0f);
}

}  // namespace
}  // namespace pw
