// The particle record and its per-step operations: construction, clear,
// beginStep, integrate inside the box, applyCorrection and the robot's direct
// constraint pass.

#include <gtest/gtest.h>

#include "physics/particle.h"

namespace pw {
namespace {

void expectVec(const Vec4& actual, const Vec4& expected) {
  EXPECT_EQ(actual.x, expected.x);
  EXPECT_EQ(actual.y, expected.y);
  EXPECT_EQ(actual.z, expected.z);
  EXPECT_EQ(actual.w, expected.w);
}

void expectXyz(const Vec4& actual, float x, float y, float z) {
  EXPECT_EQ(actual.x, x);
  EXPECT_EQ(actual.y, y);
  EXPECT_EQ(actual.z, z);
}

void placeAt(Particle& p, float x, float y, float z = 0.0f) {
  p.position = Vec4(x, y, z, 1.0f);
  p.previous = p.position;
}

TEST(ParticleRecord, ConstructionStartsAtTheOriginWithNothingSet) {
  const Particle p;
  expectVec(p.position, Vec4(0.0f, 0.0f, 0.0f, 1.0f));
  expectVec(p.previous, Vec4(0.0f, 0.0f, 0.0f, 1.0f));
  expectVec(p.velocity, Vec4(0.0f, 0.0f, 0.0f, 0.0f));
  expectVec(p.correction, Vec4(0.0f, 0.0f, 0.0f, 1.0f));
  EXPECT_EQ(p.linkCount, 0);
  EXPECT_EQ(p.spacerCount, 0);
  EXPECT_EQ(p.planeCount, 0);
  for (const ParticlePlane& plane : p.planes) {
    expectVec(plane.normal, Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(plane.offset, 0.0f);
  }
  for (const Particle* partner : p.planePartners) EXPECT_EQ(partner, nullptr);
  EXPECT_EQ(p.links[0].target, nullptr);
  EXPECT_EQ(p.spacers[0].other, nullptr);
  EXPECT_EQ(p.inUse, 0);
  EXPECT_EQ(p.slot, 0);
  EXPECT_EQ(p.fixed, 0);
  EXPECT_EQ(p.index, 0);
  EXPECT_EQ(p.solid, 0);
  EXPECT_EQ(p.jet, 0);
  EXPECT_EQ(p.hazard, 0);
  EXPECT_EQ(p.surfaceOwner, 0);
}

TEST(ParticleRecord, ClearEmptiesCountsAndFlagsButKeepsPlaceAndEntries) {
  Particle partner;
  Particle p;
  p.position = Vec4(1.0f, 2.0f, 3.0f, 1.0f);
  p.previous = Vec4(0.5f, 1.5f, 2.5f, 1.0f);
  p.velocity = Vec4(0.5f, 0.5f, 0.5f, 1.0f);
  p.linkCount = 3;
  p.spacerCount = 4;
  p.planeCount = 2;
  p.links[0].target = &partner;
  p.links[0].restLength = 1.25f;
  p.links[0].type = Solid;
  p.inUse = 1;
  p.slot = 17;
  p.index = 42;
  p.fixed = 1;
  p.solid = 1;
  p.jet = 1;
  p.hazard = 1;
  p.surfaceOwner = 1;

  p.clear();

  expectVec(p.velocity, Vec4(0.0f, 0.0f, 0.0f, 0.0f));
  EXPECT_EQ(p.linkCount, 0);
  EXPECT_EQ(p.spacerCount, 0);
  EXPECT_EQ(p.planeCount, 0);
  EXPECT_EQ(p.inUse, 0);
  EXPECT_EQ(p.fixed, 0);
  EXPECT_EQ(p.solid, 0);
  EXPECT_EQ(p.jet, 0);
  EXPECT_EQ(p.hazard, 0);
  EXPECT_EQ(p.surfaceOwner, 0);
  // Left as they were: the slot is reused from here.
  expectVec(p.position, Vec4(1.0f, 2.0f, 3.0f, 1.0f));
  expectVec(p.previous, Vec4(0.5f, 1.5f, 2.5f, 1.0f));
  EXPECT_EQ(p.slot, 17);
  EXPECT_EQ(p.index, 42);
  EXPECT_EQ(p.links[0].target, &partner);
  EXPECT_EQ(p.links[0].restLength, 1.25f);
  EXPECT_EQ(p.links[0].type, Solid);
}

TEST(ParticleBeginStep, DerivesVelocityAndClearsCorrection) {
  Particle p;
  p.position = Vec4(1.5f, -2.0f, 0.25f, 1.0f);
  p.previous = Vec4(1.0f, -1.0f, 0.5f, 1.0f);
  p.correction = Vec4(0.3f, 0.3f, 0.3f, 7.0f);
  p.beginStep();
  // w comes from the position.
  expectVec(p.velocity, Vec4(0.5f, -1.0f, -0.25f, 1.0f));
  expectVec(p.correction, Vec4(0.0f, 0.0f, 0.0f, 1.0f));
}

// One integrate from a given position and velocity. The expected figures are
// formed with the same float operations in the same order (x * 0.9999f, then
// * 0.95f on the floor), so they are exact.
struct IntegrateCase {
  const char* name;
  Vec4 position;
  Vec4 velocity;
  Vec4 expectedPosition;
  Vec4 expectedVelocity;
};

constexpr float kDamp = 0.9999f;
constexpr float kFloorDamp = 0.95f;

const IntegrateCase kIntegrateCases[] = {
    {"free particle at rest stays put (no gravity here)", {1.0f, 2.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f},
     {1.0f, 2.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
    {"moving particle is damped by 0.9999", {0.0f, 0.0f, 0.0f}, {0.5f, -0.25f, 0.125f, 1.0f},
     {0.5f * kDamp, -0.25f * kDamp, 0.125f * kDamp}, {0.5f * kDamp, -0.25f * kDamp, 0.125f * kDamp, 1.0f}},
    {"on the floor: 5 percent lost, downward part removed", {1.0f, -5.0f, 0.0f}, {0.1f, -0.2f, 0.0f, 1.0f},
     {1.0f + 0.1f * kDamp * kFloorDamp, -5.0f, 0.0f}, {0.1f * kDamp * kFloorDamp, 0.0f, 0.0f, 1.0f}},
    {"below the floor: clamped to -5, upward motion kept", {0.0f, -5.25f, 0.0f}, {0.0f, 0.5f, 0.0f, 1.0f},
     {0.0f, -5.0f + 0.5f * kDamp * kFloorDamp, 0.0f}, {0.0f, 0.5f * kDamp * kFloorDamp, 0.0f, 1.0f}},
    {"just above the floor: the test looks before the move", {0.0f, -4.875f, 0.0f}, {0.0f, -0.5f, 0.0f, 1.0f},
     {0.0f, -4.875f + -0.5f * kDamp, 0.0f}, {0.0f, -0.5f * kDamp, 0.0f, 1.0f}},
    {"outside the right wall: stopped exactly at 5", {5.02f, 1.0f, 0.0f}, {0.25f, 0.5f, 0.125f, 1.0f},
     {5.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
    {"exactly on the left wall counts as touching it", {-5.0f, 1.0f, 0.0f}, {-0.25f, 0.5f, 0.0f, 1.0f},
     {-5.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
    {"a wall stops even motion away from it", {-5.5f, 0.0f, 0.0f}, {0.25f, 0.0f, 0.0f, 1.0f},
     {-5.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
    {"front wall in z", {0.0f, 0.0f, 5.5f}, {0.25f, 0.25f, 0.25f, 1.0f},
     {0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
    {"back wall in z", {0.0f, 0.0f, -5.0f}, {0.25f, 0.25f, -0.25f, 1.0f},
     {0.0f, 0.0f, -5.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
    {"inside the wall before the move: ends outside", {4.875f, 0.0f, 0.0f}, {0.25f, 0.0f, 0.0f, 1.0f},
     {4.875f + 0.25f * kDamp, 0.0f, 0.0f}, {0.25f * kDamp, 0.0f, 0.0f, 1.0f}},
    {"no ceiling", {0.0f, 40.0f, 0.0f}, {0.0f, 0.5f, 0.0f, 1.0f},
     {0.0f, 40.0f + 0.5f * kDamp, 0.0f}, {0.0f, 0.5f * kDamp, 0.0f, 1.0f}},
    {"floor corner: the wall then takes what the floor left", {-5.0f, -5.0f, 0.0f},
     {0.25f, 0.25f, 0.0f, 1.0f},
     {-5.0f, -5.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
};

class IntegrateTable : public ::testing::TestWithParam<IntegrateCase> {};

TEST_P(IntegrateTable, MovesAndClampsToTheBox) {
  const IntegrateCase& c = GetParam();
  SCOPED_TRACE(c.name);
  Particle p;
  p.position = c.position;
  p.previous = Vec4(9.0f, 9.0f, 9.0f, 1.0f);
  p.velocity = c.velocity;
  p.integrate();
  expectXyz(p.position, c.expectedPosition.x, c.expectedPosition.y, c.expectedPosition.z);
  EXPECT_EQ(p.position.w, 1.0f);
  expectVec(p.velocity, c.expectedVelocity);
  // previous is the position before any clamping.
  expectVec(p.previous, c.position);
}

INSTANTIATE_TEST_SUITE_P(Cases, IntegrateTable, ::testing::ValuesIn(kIntegrateCases));

TEST(ParticleIntegrate, ParticleOutsideTheWallIsBroughtBackOnTheNextStep) {
  Particle p;
  placeAt(p, 4.875f, 0.0f);
  p.previous.x = 4.625f;
  for (int step = 0; step < 2; ++step) {
    p.beginStep();
    p.integrate();
  }
  EXPECT_EQ(p.position.x, 5.0f);
  EXPECT_EQ(p.velocity.x, 0.0f);
}

TEST(ParticleIntegrate, FixedParticleReturnsToPreviousAndKeepsItsVelocity) {
  Particle p;
  p.fixed = 1;
  p.previous = Vec4(1.0f, 2.0f, 0.0f, 1.0f);
  // Moved by a collision during the last step.
  p.position = Vec4(1.25f, 1.5f, 0.5f, 3.0f);
  p.velocity = Vec4(0.25f, -0.5f, 0.5f, 1.0f);
  p.integrate();
  expectVec(p.position, Vec4(1.0f, 2.0f, 0.0f, 1.0f));  // all four components
  expectVec(p.previous, Vec4(1.0f, 2.0f, 0.0f, 1.0f));
  expectVec(p.velocity, Vec4(0.25f, -0.5f, 0.5f, 1.0f));
}

TEST(ParticleIntegrate, FixedParticleBelowTheFloorIsNotClamped) {
  Particle p;
  p.fixed = 1;
  placeAt(p, 6.0f, -7.0f);
  p.integrate();
  expectXyz(p.position, 6.0f, -7.0f, 0.0f);
}

TEST(ParticleApplyCorrection, FreeParticleMovesAndCorrectionIsCleared) {
  Particle p;
  placeAt(p, 1.0f, 2.0f, 0.5f);
  p.correction = Vec4(0.25f, -0.5f, 0.125f, 1.0f);
  p.applyCorrection();
  expectVec(p.position, Vec4(1.25f, 1.5f, 0.625f, 1.0f));
  expectVec(p.correction, Vec4(0.0f, 0.0f, 0.0f, 1.0f));
}

TEST(ParticleApplyCorrection, FixedParticleDiscardsItsCorrection) {
  Particle p;
  p.fixed = 1;
  placeAt(p, 1.0f, 2.0f);
  p.correction = Vec4(0.25f, -0.5f, 0.0f, 1.0f);
  p.applyCorrection();
  expectVec(p.position, Vec4(1.0f, 2.0f, 0.0f, 1.0f));
  expectVec(p.correction, Vec4(0.0f, 0.0f, 0.0f, 1.0f));
}

void addLink(Particle& from, Particle& to, float restLength) {
  ParticleLink& link = from.links[from.linkCount++];
  link.target = &to;
  link.restLength = restLength;
  link.type = Plain;
}

TEST(ParticleSatisfyConstraints, LinkMovesBothEndsByHalfTheError) {
  Particle a;
  Particle b;
  placeAt(a, 0.0f, 0.0f);
  placeAt(b, 2.0f, 0.0f);
  addLink(a, b, 1.0f);
  a.satisfyConstraints();
  expectXyz(a.position, 0.5f, 0.0f, 0.0f);
  expectXyz(b.position, 1.5f, 0.0f, 0.0f);
}

TEST(ParticleSatisfyConstraints, CompressedLinkPushesApart) {
  Particle a;
  Particle b;
  placeAt(a, 0.0f, 1.0f);
  placeAt(b, 0.0f, 1.5f);
  addLink(a, b, 1.5f);
  a.satisfyConstraints();
  expectXyz(a.position, 0.0f, 0.5f, 0.0f);
  expectXyz(b.position, 0.0f, 2.0f, 0.0f);
}

TEST(ParticleSatisfyConstraints, LinkHeldFromBothEndsIsRelaxedFromEach) {
  // a-b (rest 1) held by both; b also holds a one-sided entry to c (rest 3)
  // before its entry to a, so b's entry to a finds the link stretched again.
  Particle a;
  Particle b;
  Particle c;
  placeAt(a, 0.0f, 0.0f);
  placeAt(b, 4.0f, 0.0f);
  placeAt(c, 4.0f, 0.0f);
  addLink(a, b, 1.0f);
  addLink(b, c, 3.0f);
  addLink(b, a, 1.0f);

  a.satisfyConstraints();
  // From a's end: 4 apart closed to 1.
  expectXyz(a.position, 1.5f, 0.0f, 0.0f);
  expectXyz(b.position, 2.5f, 0.0f, 0.0f);

  b.satisfyConstraints();
  // b-c (1.5 apart, rest 3) moves b back to 1.75 and c on to 4.75; then from
  // b's end a-b (0.25 apart, rest 1) is relaxed again, moving a as well.
  expectXyz(c.position, 4.75f, 0.0f, 0.0f);
  expectXyz(a.position, 1.125f, 0.0f, 0.0f);
  expectXyz(b.position, 2.125f, 0.0f, 0.0f);
}

TEST(ParticleSatisfyConstraints, LaterEntriesSeeEarlierMoves) {
  Particle a;
  Particle b;
  Particle c;
  placeAt(a, 0.0f, 0.0f);
  placeAt(b, 2.0f, 0.0f);
  placeAt(c, 0.5f, 3.0f);
  addLink(a, b, 1.0f);
  addLink(a, c, 1.0f);
  a.satisfyConstraints();
  // The first link moved a to (0.5, 0); only from there is c straight above
  // (3 apart, rest 1), so the second link is a pure vertical move of 1.
  expectXyz(b.position, 1.5f, 0.0f, 0.0f);
  expectXyz(a.position, 0.5f, 1.0f, 0.0f);
  expectXyz(c.position, 0.5f, 2.0f, 0.0f);
}

TEST(ParticleSatisfyConstraints, CoincidentPairIsPushedApartVertically) {
  Particle a;
  Particle b;
  placeAt(a, 1.0f, 1.0f);
  placeAt(b, 1.0f, 1.0f);
  addLink(a, b, 0.25f);
  a.satisfyConstraints();
  // Treated as 1 apart in y: each end moves 0.5 * (1 - 0.25).
  expectXyz(a.position, 1.0f, 0.625f, 0.0f);
  expectXyz(b.position, 1.0f, 1.375f, 0.0f);
}

TEST(ParticleSatisfyConstraints, NearlyCoincidentPairKeepsItsSidewaysOffset) {
  Particle a;
  Particle b;
  placeAt(a, 0.0f, 0.0f);
  placeAt(b, 0.0f, 0.0f);
  a.position.x = 0.002f;  // squared distance 4e-6, below 0.00001
  addLink(a, b, 0.0f);
  a.satisfyConstraints();
  // Only y is replaced: d = (0.002, 1). Closing that stand-in separation to
  // rest length 0 moves a by -d/2 and b by +d/2: x meets in the middle and y
  // is pushed apart. Tolerance: the normalised direction carries rounding.
  EXPECT_NEAR(a.position.x, 0.001f, 1e-7f);
  EXPECT_NEAR(b.position.x, 0.001f, 1e-7f);
  EXPECT_NEAR(a.position.y, -0.5f, 1e-6f);
  EXPECT_NEAR(b.position.y, 0.5f, 1e-6f);
}

struct SpacerCase {
  const char* name;
  float otherX;
  float minDistance;
  float expectedSelfX;
  float expectedOtherX;
};

const SpacerCase kSpacerCases[] = {
    {"closer than the minimum: pushed apart by half the shortfall each", 0.5f, 1.0f, -0.25f, 0.75f},
    {"further apart: nothing moves", 1.5f, 1.0f, 0.0f, 1.5f},
    {"exactly at the minimum: nothing moves", 1.0f, 1.0f, 0.0f, 1.0f},
};

class SpacerTable : public ::testing::TestWithParam<SpacerCase> {};

TEST_P(SpacerTable, OnlyPushesApart) {
  const SpacerCase& c = GetParam();
  SCOPED_TRACE(c.name);
  Particle self;
  Particle other;
  placeAt(self, 0.0f, 0.0f);
  placeAt(other, c.otherX, 0.0f);
  self.spacers[0] = ParticleSpacer{&other, c.minDistance};
  self.spacerCount = 1;
  self.satisfyConstraints();
  expectXyz(self.position, c.expectedSelfX, 0.0f, 0.0f);
  expectXyz(other.position, c.expectedOtherX, 0.0f, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Cases, SpacerTable, ::testing::ValuesIn(kSpacerCases));

TEST(ParticleSatisfyConstraints, CoincidentSpacerPushesApartVertically) {
  Particle self;
  Particle other;
  placeAt(self, 0.0f, 0.0f);
  placeAt(other, 0.0f, 0.0f);
  self.spacers[0] = ParticleSpacer{&other, 2.0f};
  self.spacerCount = 1;
  self.satisfyConstraints();
  // Treated as 1 apart with self above: each moves half the shortfall of 1.
  expectXyz(self.position, 0.0f, 0.5f, 0.0f);
  expectXyz(other.position, 0.0f, -0.5f, 0.0f);
}

TEST(ParticleSatisfyConstraints, PlanePushesOnlyWhenMoreThanATenthInFront) {
  for (const float height : {0.5f, 0.1f}) {
    SCOPED_TRACE(height);
    Particle self;
    Particle partner;
    placeAt(self, 0.0f, height);
    placeAt(partner, 0.0f, -1.5f);
    self.planes[0].normal = Vec4(0.0f, 1.0f, 0.0f, 0.0f);
    self.planes[0].offset = 0.0f;
    self.planePartners[0] = &partner;
    self.planeCount = 1;
    self.satisfyConstraints();
    const float move = height > 0.1f ? 0.03f : 0.0f;
    expectXyz(self.position, 0.0f, height + move, 0.0f);
    expectXyz(partner.position, 0.0f, -1.5f - move, 0.0f);
  }
}

TEST(ParticleSatisfyConstraints, UnusedEntriesBeyondTheCountsAreIgnored) {
  Particle a;
  Particle b;
  placeAt(a, 0.0f, 0.0f);
  placeAt(b, 3.0f, 0.0f);
  addLink(a, b, 1.0f);
  a.linkCount = 0;  // stale entry, as after clear()
  a.spacers[0] = ParticleSpacer{&b, 10.0f};
  a.satisfyConstraints();
  expectXyz(a.position, 0.0f, 0.0f, 0.0f);
  expectXyz(b.position, 3.0f, 0.0f, 0.0f);
}

}  // namespace
}  // namespace pw
