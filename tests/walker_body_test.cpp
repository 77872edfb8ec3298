// The robot's body as built: joint tree, links, spacers and tables.

#include <gtest/gtest.h>

#include <memory>

#include "walker/walker.h"

namespace pw {
namespace {

class BuiltWalker : public ::testing::Test {
 protected:
  std::unique_ptr<Walker> walker = std::make_unique<Walker>();
  WalkerBody& body = walker->body;

  int indexOf(const Particle* p) const { return static_cast<int>(p - body.particles); }
};

TEST_F(BuiltWalker, StartsAliveAtRestWithDefaults) {
  EXPECT_EQ(walker->alive, 1);
  EXPECT_EQ(body.alive, 1);
  EXPECT_EQ(walker->deathTimer, 0.0f);
  EXPECT_EQ(walker->steerScale, 1.0f);
  EXPECT_EQ(body.up.y, 1.0f);
  EXPECT_EQ(body.tilt, 0.0f);
  for (const Particle& p : body.particles) {
    EXPECT_EQ(p.position.x, 0.0f);
    EXPECT_EQ(p.position.y, 0.0f);
    EXPECT_EQ(p.position.z, 0.0f);
    EXPECT_EQ(p.inUse, 0);
    EXPECT_EQ(p.fixed, 0);
  }
}

TEST_F(BuiltWalker, ParentsComeBeforeChildren) {
  EXPECT_EQ(body.joints[0].parent, -1);
  for (int i = 1; i < kJointCount; ++i) {
    EXPECT_GE(body.joints[i].parent, 0) << i;
    EXPECT_LT(body.joints[i].parent, i) << i;
  }
}

TEST_F(BuiltWalker, StandsFromToesToHeadTop) {
  // Summing local positions up the chain: the head's top is 14.25 model units
  // above the anchor and the toes 12 below it.
  auto height = [&](int joint) {
    float y = 0.0f;
    for (int j = joint; j >= 0; j = body.joints[j].parent) y += body.joints[j].localPosition.y;
    return y;
  };
  EXPECT_FLOAT_EQ(height(5), 14.25f);
  EXPECT_FLOAT_EQ(height(17), -12.0f);
  EXPECT_FLOAT_EQ(height(21), -12.0f);
}

TEST_F(BuiltWalker, RestLengthsAreZeroExceptKneePartners) {
  for (int i = 0; i < kWalkerParticles; ++i) {
    const Particle& p = body.particles[i];
    for (int k = 0; k < p.linkCount; ++k) {
      EXPECT_EQ(p.links[k].type, Plain);
      const float expected = (i >= 22) ? 0.07375f : 0.0f;
      EXPECT_FLOAT_EQ(p.links[k].restLength, expected) << "particle " << i << " link " << k;
    }
  }
}

TEST_F(BuiltWalker, LinkAndSpacerCountsPerParticle) {
  // Parent links give each joint one entry per neighbour in the tree; the
  // bracing, knee-partner and spacer lists add the rest.
  struct Row {
    int particle, links, spacers;
  };
  const Row rows[] = {
      {0, 3, 0},  {1, 2, 0},  {2, 2, 0},  {3, 4, 0},   {4, 4, 0},   {5, 1, 1},
      {6, 3, 1},  {7, 2, 1},  {8, 2, 1},  {9, 1, 0},   {10, 3, 1},  {11, 2, 1},
      {12, 2, 1}, {13, 1, 0}, {14, 7, 0}, {15, 2, 1},  {16, 2, 1},  {17, 1, 0},
      {18, 7, 0}, {19, 2, 1}, {20, 2, 1}, {21, 1, 0},  {22, 4, 0},  {23, 4, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(body.particles[row.particle].linkCount, row.links) << row.particle;
    EXPECT_EQ(body.particles[row.particle].spacerCount, row.spacers) << row.particle;
  }
}

TEST_F(BuiltWalker, KneePartnersAreNoOnesTarget) {
  for (const Particle& p : body.particles) {
    for (int k = 0; k < p.linkCount; ++k) {
      EXPECT_LT(indexOf(p.links[k].target), 22);
      EXPECT_GE(indexOf(p.links[k].target), 0);
    }
    for (int k = 0; k < p.spacerCount; ++k) EXPECT_LT(indexOf(p.spacers[k].other), 22);
  }
}

TEST_F(BuiltWalker, ListOrderOfTheHipBraces) {
  // The direct constraint pass handles entries in list order, so the order
  // is part of the behaviour: parent, child, then the braces.
  const int expected[] = {0, 15, 18, 10, 6, 19, 4};
  const Particle& hip = body.particles[14];
  ASSERT_EQ(hip.linkCount, 7);
  for (int k = 0; k < 7; ++k) EXPECT_EQ(indexOf(hip.links[k].target), expected[k]) << k;
}

TEST_F(BuiltWalker, SpacerDistances) {
  struct Row {
    int from, to;
    float minDistance;
  };
  const Row rows[] = {
      {5, 3, 0.07375f}, {6, 11, 0.14375f}, {10, 7, 0.14375f}, {11, 0, 0.05f},    {7, 0, 0.05f},
      {12, 10, 0.158f}, {8, 6, 0.158f},    {19, 2, 0.208f},   {15, 2, 0.208f},   {20, 18, 0.1008f},
      {16, 14, 0.1008f},
  };
  for (const Row& row : rows) {
    const Particle& p = body.particles[row.from];
    ASSERT_EQ(p.spacerCount, 1) << row.from;
    EXPECT_EQ(indexOf(p.spacers[0].other), row.to) << row.from;
    EXPECT_FLOAT_EQ(p.spacers[0].minDistance, row.minDistance) << row.from;
  }
}

TEST_F(BuiltWalker, RingTablesCloseTheRing) {
  EXPECT_NEAR(ringSin[6], ringSin[0], 1e-6f);
  EXPECT_NEAR(ringCos[6], ringCos[0], 1e-6f);
  EXPECT_EQ(ringCos[0], 1.0f);
  EXPECT_FLOAT_EQ(ringSin[1], 0.8660254f);
  EXPECT_FLOAT_EQ(ringCos[3], -1.0f);
  for (const Colour& c : jointColours) {
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.a, 1.0f);
  }
}

TEST_F(BuiltWalker, JointTransformsStartAsIdentity) {
  for (const BodyJoint& joint : body.joints) {
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) {
        const float id = (i == j) ? 1.0f : 0.0f;
        EXPECT_EQ(joint.localRotation.m[i][j], id);
        EXPECT_EQ(joint.world.m[i][j], id);
      }
  }
}

}  // namespace
}  // namespace pw
