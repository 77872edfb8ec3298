// The robot's limb tubes: strip layout, rings, normals and the bulge of
// shared parent rings.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/joystick_state.h"
#include "level/level.h"
#include "render/vertex_batch.h"
#include "walker/limb_mesh.h"
#include "walker/walker.h"

namespace pw {
namespace {

// Each tube: the joining vertex of its EndStrip, then 14 vertices of which
// the first is written twice. One more closes the body.
constexpr int kTubeVertices = 16;
constexpr int kTubes = 21;

Vec4 at(const FrameVertex& v) { return Vec4(v.x, v.y, v.z); }
Vec4 normalOf(const FrameVertex& v) { return Vec4(v.nx, v.ny, v.nz); }

void expectNear(const Vec4& a, const Vec4& b, float tolerance, const char* what, int k) {
  EXPECT_NEAR(a.x, b.x, tolerance) << what << " " << k;
  EXPECT_NEAR(a.y, b.y, tolerance) << what << " " << k;
  EXPECT_NEAR(a.z, b.z, tolerance) << what << " " << k;
}

class LimbMesh : public ::testing::Test {
 protected:
  LimbMesh() {
    batch.vertices = storage.data();
    batch.capacity = static_cast<int32_t>(storage.size());
    setIdentity(frame);
    frame.m[0][0] = frame.m[1][1] = frame.m[2][2] = bodyScale;
  }

  // Vertices of the tube drawn n-th (0-based) since a reset with doubleNext clear.
  const FrameVertex& jointEnd(int tube, int k) const { return storage[tube * kTubeVertices + 2 + 2 * k]; }
  const FrameVertex& parentEnd(int tube, int k) const { return storage[tube * kTubeVertices + 3 + 2 * k]; }

  void fresh() {
    ResetBatch(batch);
    batch.doubleNext = 0;
  }

  // Building a body fills the ring tables, as the game's global robot does.
  std::unique_ptr<Walker> walker = std::make_unique<Walker>();
  std::vector<FrameVertex> storage = std::vector<FrameVertex>(4096);
  VertexBatch batch;
  Mat4 frame;
  const Vec4 white{1.0f, 1.0f, 1.0f, 1.0f};
};

TEST_F(LimbMesh, TubeWithoutInRingRunsAlongTheFrameY) {
  fresh();
  Vec4 out[kRingPoints];
  const Vec4 t(1.0f, 2.0f, 0.0f);
  emitLimbTube(batch, white, frame, t, -2.0f, 1.0f, 1.5f, nullptr, out, nullptr);
  ASSERT_EQ(batch.vertexCount, kTubeVertices);
  for (int k = 0; k < kRingPoints; ++k) {
    // Half-width 1.5 along x (k = 0 on +x), half-depth 1 along z, in model units.
    const Vec4 offset(0.02f * 1.5f * ringCos[k], 0.0f, 0.02f * ringSin[k]);
    expectNear(at(jointEnd(0, k)), t + offset, 1e-6f, "joint end", k);
    expectNear(at(parentEnd(0, k)), t + Vec4(0.0f, -0.04f, 0.0f) + offset, 1e-6f, "parent end", k);
    expectNear(out[k], t + offset, 1e-6f, "out ring", k);
    const float u = k / 6.0f;
    EXPECT_NEAR(jointEnd(0, k).u, u, 1e-6f);
    EXPECT_EQ(jointEnd(0, k).v, 0.0f);
    EXPECT_NEAR(parentEnd(0, k).u, u, 1e-6f);
    EXPECT_EQ(parentEnd(0, k).v, 1.0f);
    EXPECT_EQ(jointEnd(0, k).colour, 0xffffffffu);
  }
  // The first vertex is doubled after the joining one.
  EXPECT_EQ(storage[1].x, storage[2].x);
  EXPECT_EQ(storage[1].z, storage[2].z);
}

TEST_F(LimbMesh, InRingWithoutAxisIsUsedUnchanged) {
  fresh();
  Vec4 in[kRingPoints];
  for (int k = 0; k < kRingPoints; ++k) in[k] = Vec4(0.1f * k, 3.0f, -0.2f * k);
  emitLimbTube(batch, white, frame, Vec4(), 5.0f, 1.0f, 1.0f, in, nullptr, nullptr);
  for (int k = 0; k < kRingPoints; ++k) {
    EXPECT_EQ(in[k].x, 0.1f * k);
    expectNear(at(parentEnd(0, k)), in[k], 0.0f, "parent end", k);
  }
}

TEST_F(LimbMesh, InRingBulgesAlongTheAxisCumulatively) {
  // Circle of radius 0.02 in the x-z plane; axis +x. A point facing the axis
  // at angle a moves out by 2 * 0.02 * cos a per tube; the rest stay.
  Vec4 in[kRingPoints];
  for (Vec4& p : in) p = Vec4(0.0f, 1.0f, 0.0f);
  const Vec4 axis(3.0f, 0.0f, 0.0f);  // normalised before use
  const float once[kRingPoints] = {0.04f, 0.02f, 0.0f, 0.0f, 0.0f, 0.02f, 0.04f};
  for (int tube = 1; tube <= 3; ++tube) {
    fresh();
    emitLimbTube(batch, white, frame, Vec4(), 1.0f, 1.0f, 1.0f, in, nullptr, &axis);
    for (int k = 0; k < kRingPoints; ++k) {
      EXPECT_NEAR(in[k].x, tube * once[k], 1e-6f) << "tube " << tube << " k " << k;
      EXPECT_EQ(in[k].y, 1.0f);
      expectNear(at(parentEnd(0, k)), in[k], 0.0f, "drawn from the bulged ring", k);
    }
  }
}

TEST_F(LimbMesh, AxisPerpendicularToTheRingMovesNothing) {
  Vec4 in[kRingPoints];
  for (Vec4& p : in) p = Vec4(0.5f, 0.5f, 0.5f);
  const Vec4 axis(0.0f, 1.0f, 0.0f);
  fresh();
  emitLimbTube(batch, white, frame, Vec4(), 1.0f, 0.7f, 1.3f, in, nullptr, &axis);
  for (int k = 0; k < kRingPoints; ++k) expectNear(in[k], Vec4(0.5f, 0.5f, 0.5f), 0.0f, "in ring", k);
}

class DrawnBody : public LimbMesh {
 protected:
  DrawnBody() {
    level->reset();
    walker->grounded = 1;
    for (int frame = 0; frame < 12; ++frame) {
      walker->drive(Vec4(1500.0f, 0.0f, 300.0f));
      ResetBatch(batch);
      walker->advance(*level, joystick, batch);
    }
    fresh();
    drawWalkerBody(body, batch, rings);
  }

  Vec4 jointPos(int i) const { return column(body.joints[i].world, 3); }
  // The tube of joint i is the (i - 1)-th drawn.
  const FrameVertex& jointEndOf(int joint, int k) const { return jointEnd(joint - 1, k); }
  const FrameVertex& parentEndOf(int joint, int k) const { return parentEnd(joint - 1, k); }

  WalkerBody& body = walker->body;
  std::unique_ptr<Level> level = std::make_unique<Level>();
  JoystickState joystick;
  LimbRings rings;
};

TEST_F(DrawnBody, TwentyOneTubesInJointOrder) {
  EXPECT_EQ(batch.vertexCount, kTubes * kTubeVertices + 1);
  for (int i = 1; i < kJointCount; ++i) {
    // Each tube's joint end rings its own joint: the ring's centre is the joint.
    Vec4 centre(0.0f, 0.0f, 0.0f);
    for (int k = 0; k < 6; ++k) centre += at(jointEndOf(i, k)) * (1.0f / 6.0f);
    expectNear(centre, jointPos(i), 1e-6f, "ring centre of joint", i);
  }
  // The closing vertex repeats the last one, in black.
  const FrameVertex& last = storage[kTubes * kTubeVertices];
  EXPECT_EQ(last.x, parentEndOf(21, 6).x);
  EXPECT_EQ(last.colour, 0xff000000u);
}

TEST_F(DrawnBody, NormalsPointOutFromTheJoint) {
  for (int i = 1; i < kJointCount; ++i) {
    for (int k = 0; k < kRingPoints; ++k) {
      const Vec4 outward = normalized(at(jointEndOf(i, k)) - jointPos(i));
      expectNear(normalOf(jointEndOf(i, k)), outward, 2e-4f, "joint-end normal", i * 10 + k);
      // Shared by the parent-end vertex, even where that one was pushed out.
      expectNear(normalOf(parentEndOf(i, k)), normalOf(jointEndOf(i, k)), 0.0f, "pair normal", i * 10 + k);
      EXPECT_NEAR(length(normalOf(jointEndOf(i, k))), 1.0f, 1e-5f);
    }
  }
}

TEST_F(DrawnBody, EqualRadiiGiveCircularRings) {
  for (int i : {4, 5, 6, 8, 9, 10, 12, 13, 16, 20}) {
    const float radius = bodyScale * body.joints[i].widthRadius;
    ASSERT_EQ(body.joints[i].widthRadius, body.joints[i].depthRadius);
    for (int k = 0; k < kRingPoints; ++k) {
      EXPECT_NEAR(length(at(jointEndOf(i, k)) - jointPos(i)), radius, 1e-6f) << i << " " << k;
    }
  }
}

TEST_F(DrawnBody, RootTubesReachThePelvisLevel) {
  // Lower spine hangs 2 model units down the pelvis's y axis, the hips rise 1.
  const Vec4 rootY = column(body.joints[0].world, 1);
  struct Row {
    int joint;
    float along;
  };
  for (const Row& row : {Row{1, -2.0f}, Row{14, 1.0f}, Row{18, 1.0f}}) {
    for (int k = 0; k < kRingPoints; ++k) {
      const Vec4 expected = at(jointEndOf(row.joint, k)) + rootY * row.along;
      expectNear(at(parentEndOf(row.joint, k)), expected, 1e-6f, "root tube", row.joint * 10 + k);
    }
  }
}

TEST_F(DrawnBody, ChildTubesStartFromTheParentsRing) {
  // Tube 7 (upper arm) starts from the ring made by the shoulder's tube 6,
  // pushed out only where it faces along the chest's y axis.
  const Vec4 axis = normalized(column(body.joints[3].world, 1));
  int moved = 0;
  for (int k = 0; k < kRingPoints; ++k) {
    const Vec4 shift = at(parentEndOf(7, k)) - at(jointEndOf(6, k));
    const float facing = dot(axis, normalOf(jointEndOf(7, k)));
    Vec4 expected;
    if (facing > 0.0f) expected = axis * (2.0f * facing * length(at(jointEndOf(7, k)) - jointPos(7)));
    if (facing > 0.01f) ++moved;
    expectNear(shift, expected, 1e-6f, "shift", k);
  }
  EXPECT_GT(moved, 0);
  EXPECT_LT(moved, kRingPoints);
}

TEST_F(DrawnBody, ChestRingBulgesOnceForEachSibling) {
  // Neck (4) and both shoulders (6, 10) start from the chest's ring (ring 2),
  // each pushing it further along the upper spine's y axis.
  const Vec4 axis = normalized(column(body.joints[2].world, 1));
  for (int k = 0; k < kRingPoints; ++k) {
    Vec4 expected = at(jointEndOf(3, k));
    for (int sibling : {4, 6, 10}) {
      const float facing = dot(axis, normalOf(jointEndOf(sibling, k)));
      if (facing > 0.0f) {
        expected += axis * (2.0f * facing * length(at(jointEndOf(sibling, k)) - jointPos(sibling)));
      }
      expectNear(at(parentEndOf(sibling, k)), expected, 1e-5f, "sibling start", sibling * 10 + k);
    }
    expectNear(rings.ring[2][k], expected, 1e-5f, "stored chest ring", k);
  }
  // Ring 3 ends as the ring around the last child of the chest drawn (the
  // -x shoulder), as the -x upper arm left it.
  for (int k = 0; k < kRingPoints; ++k) expectNear(rings.ring[3][k], at(parentEndOf(11, k)), 0.0f, "ring 3", k);
}

TEST_F(DrawnBody, RingStoreIsClearedEachDrawing) {
  // Leaves have no children: their rings stay at the cleared value.
  for (auto& ring : rings.ring)
    for (Vec4& p : ring) p = Vec4(9.0f, 9.0f, 9.0f);
  fresh();
  drawWalkerBody(body, batch, rings);
  for (int leaf : {5, 9, 13, 17, 21}) {
    for (int k = 0; k < kRingPoints; ++k) expectNear(rings.ring[leaf][k], Vec4(), 0.0f, "leaf ring", leaf);
  }
  // And the drawing is the same as before.
  EXPECT_EQ(batch.vertexCount, kTubes * kTubeVertices + 1);
}

}  // namespace
}  // namespace pw
