// The robot body's step: forward kinematics, snapping, ragdoll, tilt, pins.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "app/joystick_state.h"
#include "level/level.h"
#include "render/vertex_batch.h"
#include "walker/lerp_angle.h"
#include "walker/walker.h"

namespace pw {
namespace {

constexpr int kVerticesPerBody = 21 * 16 + 1;

class WalkerSolver : public ::testing::Test {
 protected:
  WalkerSolver() {
    level->reset();
    batch.vertices = storage.data();
    batch.capacity = static_cast<int32_t>(storage.size());
  }

  void step(WalkerBody& body, Vec4 anchor = Vec4(0.0f, 0.0f, 0.0f)) {
    ResetBatch(batch);
    batch.doubleNext = 0;
    body.step(anchor, *level, joystick, batch);
  }

  static Vec4 jointAt(const WalkerBody& body, int i) { return column(body.joints[i].world, 3); }

  std::unique_ptr<Walker> walker = std::make_unique<Walker>();
  WalkerBody& body = walker->body;
  std::unique_ptr<Level> level = std::make_unique<Level>();
  JoystickState joystick;
  std::vector<FrameVertex> storage = std::vector<FrameVertex>(4096);
  VertexBatch batch;
};

TEST_F(WalkerSolver, ForwardKinematicsOfTheRestPose) {
  // With no rotations a joint sits at anchor + RotY(heading) * 0.02 * (sum of
  // local positions up its chain); heading theta turns (0,0,1) to (sin, 0, cos).
  struct Row {
    int joint;
    float heading;
    float x, y, z;  // model units, before turning
  };
  const Row rows[] = {
      {5, 0.0f, 0.0f, 14.25f, -0.2f},      // head
      {17, 0.0f, 1.2f, -12.0f, -1.02f},    // +x toe
      {21, 0.0f, -1.2f, -12.0f, -1.02f},   // -x toe
      {9, 0.0f, 2.5f, -0.5f, -0.5f},       // +x hand
      {17, kPi / 2.0f, 1.2f, -12.0f, -1.02f},
      {5, -1.0f, 0.0f, 14.25f, -0.2f},
  };
  const Vec4 anchor(1.0f, -2.0f, 0.0f);
  for (const Row& row : rows) {
    setIdentity(body.headingRotation);
    RotY(body.headingRotation, row.heading);
    step(body, anchor);
    const float c = std::cos(row.heading), s = std::sin(row.heading);
    const Vec4 at = jointAt(body, row.joint);
    EXPECT_NEAR(at.x, 1.0f + 0.02f * (c * row.x + s * row.z), 1e-5f) << row.joint << " " << row.heading;
    EXPECT_NEAR(at.y, -2.0f + 0.02f * row.y, 1e-5f) << row.joint << " " << row.heading;
    EXPECT_NEAR(at.z, 0.02f * (-s * row.x + c * row.z), 1e-5f) << row.joint << " " << row.heading;
  }
}

TEST_F(WalkerSolver, FirstAnimatedStepSetsRestLengthsFromThePose) {
  walker->grounded = 1;
  walker->drive(Vec4(2000.0f, 0.0f, 0.0f));
  ResetBatch(batch);
  walker->advance(*level, joystick, batch);
  for (int i = 0; i < kWalkerParticles; ++i) {
    const Particle& p = body.particles[i];
    if (i < kJointCount) {
      EXPECT_EQ(p.position.x, jointAt(body, i).x);
      EXPECT_EQ(p.position.y, jointAt(body, i).y);
    }
    for (int k = 0; k < p.linkCount; ++k) {
      const float rest = p.links[k].restLength;
      EXPECT_EQ(rest, length(p.position - p.links[k].target->position)) << i << " " << k;
      EXPECT_GT(rest, 0.0f) << i << " " << k;
      EXPECT_NE(rest, 0.07375f) << i << " " << k;
    }
  }
  // Knee partners stand where the other knee would be with parallel legs.
  const Vec4 hipToHip = jointAt(body, 18) - jointAt(body, 14);
  EXPECT_NEAR(body.particles[22].position.x, jointAt(body, 15).x + hipToHip.x, 1e-6f);
  EXPECT_NEAR(body.particles[23].position.z, jointAt(body, 19).z - hipToHip.z, 1e-6f);
}

TEST_F(WalkerSolver, SnappedParticlesCarryTheJointsMotion) {
  step(body);
  step(body);
  step(body, Vec4(0.01f, 0.0f, 0.0f));
  // previous is left alone by the snap, so the next step's velocity is the jump.
  body.particles[4].beginStep();
  EXPECT_NEAR(body.particles[4].velocity.x, 0.01f, 1e-6f);
  EXPECT_NEAR(body.particles[4].velocity.y, 0.0f, 1e-6f);
}

TEST_F(WalkerSolver, DeadRobotFallsAndRestsOnTheFloor) {
  for (int i = 0; i < 3; ++i) step(body);  // on the joints, at rest
  body.alive = 0;
  float lastY = body.particles[0].position.y;
  float lastDrop = 0.0f;
  for (int frame = 1; frame <= 50; ++frame) {
    step(body);
    const float drop = lastY - body.particles[0].position.y;
    // 0.001 more per frame (less a hair of damping), the shape held by the links.
    EXPECT_NEAR(drop - lastDrop, 0.001f, 2e-5f) << frame;
    lastDrop = drop;
    lastY = body.particles[0].position.y;
  }
  // The ragdoll rebuilds the joints from the particles.
  for (int i = 0; i < kJointCount; ++i) EXPECT_EQ(jointAt(body, i).y, body.particles[i].position.y);

  for (int frame = 0; frame < 3000; ++frame) step(body);
  float lowest = 1.0f;
  for (const Particle& p : body.particles) {
    lowest = std::min(lowest, p.position.y);
    // The floor clamps at the start of a step; the links may press a few
    // thousandths below it afterwards.
    EXPECT_GT(p.position.y, -5.01f);
    EXPECT_LT(p.position.y, -4.0f);
    EXPECT_LT(std::fabs(p.position.y - p.previous.y), 0.003f);
  }
  EXPECT_LT(lowest, -4.998f);
}

TEST_F(WalkerSolver, DeadRobotLandsOnASolidLink) {
  Particle* a = level->allocate();
  Particle* b = level->allocate();
  a->position = a->previous = Vec4(-2.0f, -1.0f, 0.0f);
  b->position = b->previous = Vec4(2.0f, -1.0f, 0.0f);
  a->fixed = b->fixed = 1;
  ASSERT_TRUE(level->connect(*a, *b, Solid));
  for (int i = 0; i < 3; ++i) step(body);
  body.alive = 0;
  for (int frame = 0; frame < 600; ++frame) step(body);
  for (const Particle& p : body.particles) EXPECT_GT(p.position.y, -1.1f);
}

TEST_F(WalkerSolver, TiltEasesTowardsUp) {
  struct Row {
    float upX, upY, startTilt, target;
  };
  const Row rows[] = {
      {1.0f, 0.0f, 0.0f, kPi / 2.0f},
      {0.0f, 1.0f, 0.5f, 0.0f},
      {-1.0f, 0.0f, 0.0f, -kPi / 2.0f},
      {0.0f, -1.0f, 3.0f, kPi},  // upside down
  };
  for (const Row& row : rows) {
    body.up = Vec4(row.upX, row.upY, 0.0f);
    body.tilt = row.startTilt;
    float expected = row.startTilt;
    for (int frame = 0; frame < 5; ++frame) {
      step(body);
      expected += (row.target - expected) * 0.075f;
      EXPECT_NEAR(body.tilt, expected, 1e-5f) << row.upX << "," << row.upY << " frame " << frame;
    }
  }
  // Up along +x leans the body's y axis towards +x.
  body.up = Vec4(1.0f, 0.0f, 0.0f);
  body.tilt = kPi / 2.0f;
  step(body);
  const Vec4 y = column(body.bodyTransform, 1);
  EXPECT_NEAR(y.x, 0.02f, 1e-6f);
  EXPECT_NEAR(y.y, 0.0f, 1e-6f);
}

TEST_F(WalkerSolver, PinsDoNotChangeTheAnimatedPicture) {
  std::unique_ptr<Walker> pinned = std::make_unique<Walker>();
  std::vector<FrameVertex> pinnedStorage(4096);
  VertexBatch pinnedBatch;
  pinnedBatch.vertices = pinnedStorage.data();
  pinnedBatch.capacity = static_cast<int32_t>(pinnedStorage.size());
  JoystickState pins;
  pins.rgbButtons[1] = 1;

  walker->grounded = pinned->grounded = 1;
  for (int frame = 0; frame < 20; ++frame) {
    walker->drive(Vec4(1500.0f, 0.0f, 0.0f));
    pinned->drive(Vec4(1500.0f, 0.0f, 0.0f));
    ResetBatch(batch);
    ResetBatch(pinnedBatch);
    walker->advance(*level, joystick, batch);
    pinned->advance(*level, pins, pinnedBatch);
    ASSERT_EQ(batch.vertexCount, pinnedBatch.vertexCount);
    EXPECT_EQ(0, std::memcmp(storage.data(), pinnedStorage.data(), sizeof(FrameVertex) * batch.vertexCount))
        << "frame " << frame;
  }
  // The pins did move the particles: each hand at the opposite toe.
  const WalkerBody& pb = pinned->body;
  EXPECT_EQ(pb.particles[9].position.x, column(pb.joints[21].world, 3).x);
  EXPECT_EQ(pb.particles[13].position.y, column(pb.joints[17].world, 3).y);
  EXPECT_EQ(pb.particles[6].position.y, column(pb.joints[15].world, 3).y);
  EXPECT_EQ(pb.particles[10].position.z, column(pb.joints[19].world, 3).z);
  EXPECT_NE(walker->body.particles[9].position.x, pb.particles[9].position.x);
}

TEST_F(WalkerSolver, HeldRagdollButtonFreesTheParticles) {
  for (int i = 0; i < 3; ++i) step(body);
  const Vec4 before = body.particles[5].position;
  joystick.rgbButtons[2] = 1;
  step(body, Vec4(0.5f, 0.0f, 0.0f));  // the anchor moves, the ragdoll does not follow
  EXPECT_NEAR(body.particles[5].position.x, before.x, 1e-4f);
  EXPECT_LT(body.particles[5].position.y, before.y);  // pulled down
  for (int i = 0; i < kJointCount; ++i) {
    EXPECT_EQ(jointAt(body, i).x, body.particles[i].position.x) << i;
    EXPECT_EQ(jointAt(body, i).y, body.particles[i].position.y) << i;
  }
  // Released: the particles snap back onto the animated joints.
  joystick.rgbButtons[2] = 0;
  step(body, Vec4(0.5f, 0.0f, 0.0f));
  EXPECT_NEAR(body.particles[5].position.x, 0.5f, 1e-5f);
}

TEST_F(WalkerSolver, FramesFromParticlesFollowTheSegments) {
  for (int i = 0; i < 3; ++i) step(body);
  body.framesFromParticles();
  auto checkFrame = [&](int joint, const Vec4& along, float handedness) {
    const Mat4& m = body.joints[joint].world;
    const Vec4 x = column(m, 0), y = column(m, 1), z = column(m, 2);
    const Vec4 dir = normalized(along);
    EXPECT_NEAR(y.x, 0.02f * dir.x, 1e-6f) << joint;
    EXPECT_NEAR(y.y, 0.02f * dir.y, 1e-6f) << joint;
    EXPECT_NEAR(y.z, 0.02f * dir.z, 1e-6f) << joint;
    EXPECT_NEAR(dot(x, y), 0.0f, 1e-9f) << joint;
    EXPECT_NEAR(length(x), 0.02f, 1e-6f) << joint;
    EXPECT_NEAR(length(z), 0.02f, 1e-6f) << joint;
    // Right-handed (X x Y = Z) except along the spine, whose z axis is flipped.
    const Vec4 xy = cross(x, y) * (1.0f / 0.02f);
    EXPECT_NEAR(xy.x, handedness * z.x, 1e-6f) << joint;
    EXPECT_NEAR(xy.z, handedness * z.z, 1e-6f) << joint;
  };
  const Particle* p = body.particles;
  checkFrame(0, p[1].position - p[0].position, 1.0f);      // root: up the spine
  checkFrame(15, p[15].position - p[16].position, 1.0f);   // knee, from its ankle
  checkFrame(6, p[6].position - p[7].position, 1.0f);      // shoulder, from its elbow
  checkFrame(2, p[2].position - p[3].position, -1.0f);     // spine, from the chest
  checkFrame(3, p[2].position - p[3].position, -1.0f);     // chest, its own segment
  checkFrame(4, p[4].position - p[5].position, -1.0f);     // neck, from the head
  for (int i = 0; i < kJointCount; ++i) EXPECT_EQ(jointAt(body, i).z, p[i].position.z);
}

TEST_F(WalkerSolver, DrawsTheBodyEveryStep) {
  step(body);
  EXPECT_EQ(batch.vertexCount, kVerticesPerBody);
  body.alive = 0;
  step(body);
  EXPECT_EQ(batch.vertexCount, kVerticesPerBody);
}

TEST_F(WalkerSolver, StepsAreDeterministic) {
  std::unique_ptr<Walker> twin = std::make_unique<Walker>();
  auto run = [&](Walker& w) {
    w.grounded = 1;
    for (int frame = 0; frame < 200; ++frame) {
      if (frame == 120) w.alive = 0;
      w.grounded = (frame / 30) % 2;
      w.drive(Vec4(frame < 60 ? 1800.0f : -900.0f, 0.0f, 0.0f));
      w.anchor = Vec4(0.001f * frame, 0.0f, 0.0f);
      ResetBatch(batch);
      w.advance(*level, joystick, batch);
    }
  };
  run(*walker);
  run(*twin);
  for (int i = 0; i < kWalkerParticles; ++i) {
    EXPECT_EQ(walker->body.particles[i].position.x, twin->body.particles[i].position.x);
    EXPECT_EQ(walker->body.particles[i].position.y, twin->body.particles[i].position.y);
  }
}

}  // namespace
}  // namespace pw
