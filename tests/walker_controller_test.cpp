// Steering, turning and the walk cycle of the robot.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/joystick_state.h"
#include "level/level.h"
#include "render/vertex_batch.h"
#include "walker/lerp_angle.h"
#include "walker/walker.h"

namespace pw {
namespace {

// The angle written by RotX into a joint's local rotation.
float xAngle(const BodyJoint& joint) { return std::atan2(joint.localRotation.m[1][2], joint.localRotation.m[1][1]); }

class WalkerController : public ::testing::Test {
 protected:
  WalkerController() {
    level->reset();
    batch.vertices = storage.data();
    batch.capacity = static_cast<int32_t>(storage.size());
  }

  void advance() {
    ResetBatch(batch);
    walker->advance(*level, joystick, batch);
  }

  // One frame as the frame sequencer runs it.
  void frame(Vec4 push) {
    walker->drive(push);
    advance();
  }

  std::unique_ptr<Walker> walker = std::make_unique<Walker>();
  std::unique_ptr<Level> level = std::make_unique<Level>();
  JoystickState joystick;
  std::vector<FrameVertex> storage = std::vector<FrameVertex>(1024);
  VertexBatch batch;
};

TEST_F(WalkerController, ConstantPushSettlesSpeedAmplitudeAndCadence) {
  walker->grounded = 1;
  for (int i = 0; i < 300; ++i) frame(Vec4(2000.0f, 0.0f, 0.0f));
  EXPECT_NEAR(walker->speed, 0.2f, 1e-5f);
  const float before = walker->gaitPhase;
  walker->drive(Vec4(2000.0f, 0.0f, 0.0f));
  EXPECT_NEAR(walker->gaitPhase - before, 0.025f, 1e-5f);
  // The two knees bend by k -/+ 0.5 s with k = 0.6 * amplitude.
  const float amplitude = (xAngle(walker->body.joints[15]) + xAngle(walker->body.joints[19])) / 1.2f;
  EXPECT_NEAR(amplitude, 1.6f, 1e-4f);
  // Steering towards +x turns the robot to heading -pi/2.
  EXPECT_NEAR(walker->heading, -kPi / 2.0f, 1e-4f);
  EXPECT_FLOAT_EQ(walker->steerDirection.x, 1.0f);
  EXPECT_EQ(walker->steerDirection.w, 1.0f);
}

TEST_F(WalkerController, SteeringDirectionByPush) {
  struct Row {
    float x, z, scale;
    float dirX, dirZ;
  };
  // Model space faces -z: a push towards +z steers towards -z.
  const Row rows[] = {
      {2000.0f, 0.0f, 1.0f, 1.0f, 0.0f},
      {-2000.0f, 0.0f, 1.0f, -1.0f, 0.0f},
      {0.0f, 2000.0f, 1.0f, 0.0f, -1.0f},
      {600.0f, -800.0f, 1.0f, 0.6f, 0.8f},
      {2000.0f, 0.0f, -1.0f, -1.0f, 0.0f},  // steerScale mirrors the push
      {200.0f, 0.0f, 2.0f, 1.0f, 0.0f},     // and lifts it out of the dead zone
  };
  for (const Row& row : rows) {
    Walker w;
    w.steerScale = row.scale;
    w.drive(Vec4(row.x, 0.0f, row.z));
    EXPECT_NEAR(w.steerDirection.x, row.dirX, 1e-6f) << row.x << "," << row.z;
    EXPECT_NEAR(w.steerDirection.z, row.dirZ, 1e-6f) << row.x << "," << row.z;
    EXPECT_EQ(w.steerDirection.y, 0.0f);
  }
}

TEST_F(WalkerController, DeadZoneKeepsDirectionAndDecaysSpeed) {
  walker->drive(Vec4(-2000.0f, 0.0f, 0.0f));
  walker->speed = 1.0f;
  walker->drive(Vec4(316.0f, 0.0f, 0.0f));  // 316^2 * 1e-8 < 0.001
  EXPECT_FLOAT_EQ(walker->speed, 0.9f);
  EXPECT_EQ(walker->steerDirection.x, -1.0f);
  walker->drive(Vec4(317.0f, 0.0f, 0.0f));
  EXPECT_FLOAT_EQ(walker->steerDirection.x, 1.0f);
  EXPECT_NEAR(walker->speed, 0.9f * 0.9f + 0.0317f * 0.1f, 1e-6f);
}

TEST_F(WalkerController, FirstAdvanceWithoutSteeringTurnsTowardsPlusZ) {
  // atan2(-0, -0) is -pi.
  advance();
  EXPECT_NEAR(walker->heading, -0.6283185f, 1e-6f);
  EXPECT_FLOAT_EQ(walker->body.headingRotation.m[0][0], std::cos(walker->heading));
  EXPECT_FLOAT_EQ(walker->body.headingRotation.m[0][2], std::sin(walker->heading));
}

TEST_F(WalkerController, HeadingEasesAcrossTheSeamTheShortWay) {
  struct Row {
    float heading, target, expected;
  };
  const Row rows[] = {
      {3.0f, -3.0f, -3.2265485f},  // 3 - 2pi eased towards -3
      {-3.0f, 3.0f, 3.2265485f},   // the other way round
      {0.0f, 1.0f, 0.2f},          // no seam
      {10.0f, 1.0f, 3.1734516f},   // 10 - 2pi is still over pi away: one correction per step
  };
  for (const Row& row : rows) {
    walker->heading = row.heading;
    walker->steerDirection = Vec4(-std::sin(row.target), 0.0f, -std::cos(row.target));
    advance();
    EXPECT_NEAR(walker->heading, row.expected, 1e-5f) << row.heading << " -> " << row.target;
  }
}

TEST_F(WalkerController, AirborneUsesFixedAmplitudeAndCadence) {
  walker->grounded = 0;
  walker->speed = 5.0f;  // ignored in the air
  walker->gaitPhase = 2.0f;
  const Vec4 swayBefore = walker->body.sway = Vec4(0.1f, 0.2f, 0.3f);
  walker->drive(Vec4(2000.0f, 0.0f, 0.0f));
  EXPECT_EQ(walker->gaitPhase, 2.0f + 0.01f);
  // Knees: k -/+ 0.5 s with k = 0.6 * 1.2 * 0.9.
  EXPECT_NEAR(xAngle(walker->body.joints[15]) + xAngle(walker->body.joints[19]), 2.0f * 0.648f, 1e-5f);
  // The sway keeps its last value in the air.
  EXPECT_EQ(walker->body.sway.x, swayBefore.x);
  EXPECT_EQ(walker->body.sway.z, swayBefore.z);
}

TEST_F(WalkerController, AirborneArmsWindmill) {
  walker->grounded = 0;
  walker->gaitPhase = 0.1f;
  walker->drive(Vec4());
  const float w = 7.0f * 0.11f;
  const float plus = kPi + 1.5f * 0.515f * w;
  const float minus = 1.5f * 0.515f * w;
  const Mat4& sp = walker->body.joints[6].localRotation;
  const Mat4& sm = walker->body.joints[10].localRotation;
  EXPECT_NEAR(sp.m[1][1], std::cos(plus), 1e-6f);
  EXPECT_NEAR(sp.m[1][2], std::sin(plus), 1e-6f);
  EXPECT_NEAR(sm.m[1][1], std::cos(minus), 1e-6f);
  EXPECT_NEAR(sm.m[1][2], std::sin(minus), 1e-6f);
  EXPECT_NEAR(xAngle(walker->body.joints[7]), -std::sin(0.75f * w + 1.0f), 1e-6f);
  EXPECT_NEAR(xAngle(walker->body.joints[11]), -std::sin(0.75f * w + 4.141593f), 1e-6f);
}

TEST_F(WalkerController, GroundedPoseAnglesAndUntouchedJoints) {
  const float phase = 0.3f, amplitude = 1.2f;
  walker->body.pose(phase, amplitude, true);
  const float s = amplitude * std::sin(6.0f * phase);
  const BodyJoint* j = walker->body.joints;
  EXPECT_NEAR(xAngle(j[14]), -0.35f * s, 1e-6f);
  EXPECT_NEAR(xAngle(j[18]), 0.35f * s, 1e-6f);
  EXPECT_NEAR(xAngle(j[16]), 0.72f - 0.5f * s, 1e-6f);
  EXPECT_NEAR(xAngle(j[20]), 0.72f + 0.5f * s, 1e-6f);
  EXPECT_NEAR(xAngle(j[6]), 0.515f * s, 1e-6f);
  EXPECT_NEAR(xAngle(j[7]), -0.6f + 0.4515f * s, 1e-6f);
  EXPECT_NEAR(xAngle(j[11]), -0.6f - 0.4515f * s, 1e-6f);
  // Chest and neck turn about y, the spine about z (RotY writes m[0][2]).
  EXPECT_NEAR(j[3].localRotation.m[0][2], std::sin(-0.25f * s), 1e-6f);
  EXPECT_NEAR(j[4].localRotation.m[0][2], std::sin(0.25f * s), 1e-6f);
  EXPECT_NEAR(j[2].localRotation.m[0][1], std::sin(-0.125f * s), 1e-6f);
  EXPECT_NEAR(j[0].localRotation.m[0][1], std::sin(0.0125f * s), 1e-6f);
  // Head, wrists, hands and toes are never rotated.
  for (int still : {5, 8, 9, 12, 13, 17, 21}) {
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) EXPECT_EQ(j[still].localRotation.m[r][c], r == c ? 1.0f : 0.0f) << still;
  }
  // Only the four elements of each rotation are written.
  EXPECT_EQ(j[14].localRotation.m[0][0], 1.0f);
  EXPECT_EQ(j[3].localRotation.m[1][1], 1.0f);
}

TEST_F(WalkerController, SwayFollowsThePreviousBodyAxis) {
  walker->grounded = 1;
  walker->speed = 0.1f;
  walker->gaitPhase = 0.2f;
  // First frame: bodyTransform is still build()'s identity, so the bob runs
  // along world z at full length.
  walker->drive(Vec4(2000.0f, 0.0f, 0.0f));
  float amplitude = walker->speed * 8.0f;
  float bob = 0.061f * amplitude * std::sin(12.0f * walker->gaitPhase);
  EXPECT_NEAR(walker->body.sway.x, 0.0f, 1e-7f);
  EXPECT_NEAR(walker->body.sway.z, bob, 1e-6f);
  EXPECT_EQ(walker->body.sway.w, 1.0f);

  advance();
  const Vec4 z = column(walker->body.bodyTransform, 2);
  EXPECT_NEAR(length(z), bodyScale, 1e-7f);
  walker->drive(Vec4(2000.0f, 0.0f, 0.0f));
  amplitude = walker->speed * 8.0f;
  bob = 0.061f * amplitude * std::sin(12.0f * walker->gaitPhase);
  EXPECT_NEAR(walker->body.sway.x, bob * z.x, 1e-8f);
  EXPECT_NEAR(walker->body.sway.z, bob * z.z, 1e-8f);
}

TEST_F(WalkerController, DeathTimerGrowsOnlyWhileDead) {
  walker->drive(Vec4());
  EXPECT_EQ(walker->deathTimer, 0.0f);
  walker->alive = 0;
  for (int i = 0; i < 3; ++i) walker->drive(Vec4());
  EXPECT_NEAR(walker->deathTimer, 0.3f, 1e-6f);
  EXPECT_EQ(walker->body.alive, 0);
  // The walk cycle keeps running while dead.
  EXPECT_NEAR(walker->gaitPhase, 0.04f, 1e-6f);
}

TEST(LerpAngle, ShortestTurnAndWrapping) {
  struct Row {
    float a, b, t, expected;
  };
  const Row rows[] = {
      {3.0f, -3.0f, 0.5f, 3.1415927f},   // through pi, not through 0
      {-3.0f, 3.0f, 0.5f, -3.1415927f},
      {0.0f, 1.0f, 0.075f, 0.075f},
      {0.0f, 1.5707964f, 0.075f, 0.11780973f},
      {6.0f, -3.0f, 1.0f, -3.0f + 6.2831855f},  // d = -9 + 2pi: lands on b's twin
      {6.0f, 6.5f, 1.0f, 6.5f - 6.2831855f},                  // above 2pi wraps down
      {-6.0f, -6.5f, 1.0f, -6.5f + 6.2831855f},               // below -2pi wraps up
      {20.0f, 20.0f, 0.5f, 20.0f - 3.0f * 6.2831855f},         // several turns
  };
  for (const Row& row : rows) {
    EXPECT_NEAR(lerpAngle(row.a, row.b, row.t), row.expected, 2e-6f) << row.a << " " << row.b << " " << row.t;
  }
}

TEST(LerpAngle, NonFiniteAnglesDoNotHang) {
  EXPECT_TRUE(std::isinf(lerpAngle(0.0f, INFINITY, 0.5f)));
  EXPECT_TRUE(std::isinf(lerpAngle(0.0f, -INFINITY, 0.5f)));
  EXPECT_TRUE(std::isnan(lerpAngle(NAN, 0.0f, 0.5f)));
  EXPECT_GT(lerpAngle(1e30f, 1e30f, 0.5f), 6.2831855f);  // too large to reduce: left as is
}

}  // namespace
}  // namespace pw
