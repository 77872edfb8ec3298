// The level's constraint pass: link corrections and jet push summed into
// `correction` from both entries of every link, and the flattening to z = 0.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "level_fixture.h"
#include "level/level.h"
#include "physics/particle.h"

namespace pw {
namespace {

class LinkConstraints : public EmptyLevelTest {
 protected:
  // The part of a level step this pass belongs to, without the pull and the
  // collisions: beginStep, integrate, accumulateConstraints, in slot order.
  void accumulateAll() {
    for (Particle& p : level->particles)
      if (p.inUse) p.beginStep();
    for (Particle& p : level->particles)
      if (p.inUse) p.integrate();
    for (Particle& p : level->particles)
      if (p.inUse) p.accumulateConstraints();
  }

  void applyAll() {
    for (Particle& p : level->particles)
      if (p.inUse) p.applyCorrection();
  }

};

void expectXyz(const Vec4& actual, float x, float y, float z) {
  EXPECT_EQ(actual.x, x);
  EXPECT_EQ(actual.y, y);
  EXPECT_EQ(actual.z, z);
}

class LengthKeepingTypes : public LinkConstraints, public ::testing::WithParamInterface<LinkType> {};

TEST_P(LengthKeepingTypes, EachEndReceivesTwentyPercentOfTheErrorFromBothEntries) {
  Particle& a = add(0.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, GetParam()));
  b.position.x = 2.0f;  // twice the rest length, at rest
  b.previous = b.position;

  accumulateAll();
  // Each entry adds 0.1 of the error of 1 to each end.
  expectXyz(a.correction, 0.2f, 0.0f, 0.0f);
  expectXyz(b.correction, -0.2f, 0.0f, 0.0f);

  applyAll();
  expectXyz(a.position, 0.2f, 0.0f, 0.0f);
  expectXyz(b.position, 1.8f, 0.0f, 0.0f);
  EXPECT_EQ(a.correction.x, 0.0f);
  EXPECT_EQ(a.correction.w, 1.0f);
}

// Jet is left out: its first end also pushes (tested below).
INSTANTIATE_TEST_SUITE_P(Types, LengthKeepingTypes, ::testing::Values(Plain, Solid, Hazard));

TEST_F(LinkConstraints, CompressedLinkPushesBothEndsApart) {
  Particle& a = add(0.0f, 0.0f);
  Particle& b = add(0.0f, 2.0f);
  ASSERT_TRUE(level->connect(a, b, Plain));
  b.position.y = 1.0f;  // half the rest length
  b.previous = b.position;
  accumulateAll();
  expectXyz(a.correction, 0.0f, -0.2f, 0.0f);
  expectXyz(b.correction, 0.0f, 0.2f, 0.0f);
}

TEST_F(LinkConstraints, ResultDoesNotDependOnVisitingOrder) {
  Particle& a = add(0.0f, 0.0f);
  Particle& b = add(1.0f, 1.0f);
  Particle& c = add(2.0f, -1.0f);
  ASSERT_TRUE(level->connect(a, b, Plain));
  ASSERT_TRUE(level->connect(b, c, Solid));
  ASSERT_TRUE(level->connect(c, a, Plain));
  b.position = Vec4(1.5f, 2.0f, 0.0f, 1.0f);
  c.position = Vec4(2.5f, -1.25f, 0.0f, 1.0f);
  for (Particle* p : {&a, &b, &c}) p->beginStep();

  Vec4 forward[3];
  for (Particle* p : {&a, &b, &c}) p->accumulateConstraints();
  forward[0] = a.correction;
  forward[1] = b.correction;
  forward[2] = c.correction;

  for (Particle* p : {&a, &b, &c}) p->correction = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
  for (Particle* p : {&c, &b, &a}) p->accumulateConstraints();
  // Sums of the same six terms in another order: equal to rounding.
  const Vec4 backward[3] = {a.correction, b.correction, c.correction};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(forward[i].x, backward[i].x, 1e-6f) << i;
    EXPECT_NEAR(forward[i].y, backward[i].y, 1e-6f) << i;
  }
  // And the positions did not move while the pass ran.
  expectXyz(b.position, 1.5f, 2.0f, 0.0f);
}

TEST_F(LinkConstraints, FixedPartnerStaysAndTheFreeEndMovesTwentyPercent) {
  Particle& a = add(0.0f, 0.0f);
  Particle& anchor = add(0.0f, 1.0f);
  anchor.fixed = 1;
  ASSERT_TRUE(level->connect(a, anchor, Plain));
  a.position.y = -1.0f;  // error 1
  a.previous = a.position;
  accumulateAll();
  // The fixed end accumulates like any other...
  expectXyz(anchor.correction, 0.0f, -0.2f, 0.0f);
  applyAll();
  // ...but only the free end moves.
  expectXyz(anchor.position, 0.0f, 1.0f, 0.0f);
  expectXyz(a.position, 0.0f, -0.8f, 0.0f);
}

TEST_F(LinkConstraints, CoincidentEndsAreTreatedAsOneApartVertically) {
  Particle& a = add(1.0f, 1.0f);
  Particle& b = add(1.0f, 1.5f);
  ASSERT_TRUE(level->connect(a, b, Plain));
  b.position = a.position;
  b.previous = b.position;
  for (Particle* p : {&a, &b}) p->beginStep();
  a.accumulateConstraints();
  // d = (0, 1), error 1 - 0.5: a's entry moves a down and b up by 0.05.
  expectXyz(a.correction, 0.0f, -0.05f, 0.0f);
  expectXyz(b.correction, 0.0f, 0.05f, 0.0f);
  // b's entry sees the same coincidence from its side ("up" again) and takes
  // it back: a coincident pair is not separated by the level pass.
  b.accumulateConstraints();
  expectXyz(a.correction, 0.0f, 0.0f, 0.0f);
  expectXyz(b.correction, 0.0f, 0.0f, 0.0f);
}

// Jet links lie along +x with the jet (first) end at the larger x, at rest
// length, so the only correction is the push. The jet end's velocity decides.
struct JetCase {
  const char* name;
  Vec4 jetVelocity;
  float expectedPush;  // x of the correction each end receives
};

const JetCase kJetCases[] = {
    {"at rest: pushed at full jet speed", {0.0f, 0.0f, 0.0f, 1.0f}, 0.01f},
    {"moving sideways: along-link speed is what counts", {0.0f, 0.5f, 0.0f, 1.0f}, 0.01f},
    {"slower than jet speed: makes up the difference", {0.004f, 0.0f, 0.0f, 1.0f}, 0.01f - 0.004f},
    {"moving backwards: pushed harder", {-0.02f, 0.0f, 0.0f, 1.0f}, 0.01f - -0.02f},
    {"at jet speed: nothing to add", {0.01f, 0.0f, 0.0f, 1.0f}, 0.0f},
    {"faster than jet speed: never braked", {0.05f, 0.0f, 0.0f, 1.0f}, 0.0f},
};

class JetPush : public LinkConstraints, public ::testing::WithParamInterface<JetCase> {};

TEST_P(JetPush, TranslatesThePairAlongTheLink) {
  const JetCase& c = GetParam();
  SCOPED_TRACE(c.name);
  Particle& jet = add(1.0f, 0.0f);
  Particle& tail = add(0.0f, 0.0f);
  ASSERT_TRUE(level->connect(jet, tail, Jet));
  ASSERT_EQ(jet.jet, 1);
  ASSERT_EQ(tail.jet, 0);
  for (Particle* p : {&jet, &tail}) p->beginStep();
  jet.velocity = c.jetVelocity;
  jet.accumulateConstraints();
  tail.accumulateConstraints();
  expectXyz(jet.correction, c.expectedPush, 0.0f, 0.0f);
  expectXyz(tail.correction, c.expectedPush, 0.0f, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Cases, JetPush, ::testing::ValuesIn(kJetCases));

TEST_F(LinkConstraints, JetPushAddsToTheLengthCorrection) {
  Particle& jet = add(2.0f, 0.0f);
  Particle& tail = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(jet, tail, Jet));
  tail.position.x = 0.0f;  // stretched by 1
  tail.previous = tail.position;
  accumulateAll();
  // Length: jet -0.2, tail +0.2. Push along (jet - tail): +0.01 to both.
  EXPECT_EQ(jet.correction.x, (-0.1f + 0.01f) - 0.1f);
  EXPECT_EQ(tail.correction.x, (0.1f + 0.01f) + 0.1f);
}

TEST_F(LinkConstraints, FixedJetEndDrivesItsFreePartnerEveryStep) {
  Particle& jet = add(1.0f, 0.0f);
  Particle& tail = add(0.0f, 0.0f);
  jet.fixed = 1;
  ASSERT_TRUE(level->connect(jet, tail, Jet));
  accumulateAll();
  applyAll();
  // The fixed end never moves, so its velocity stays zero and the partner is
  // pushed towards it by the full jet speed.
  expectXyz(jet.position, 1.0f, 0.0f, 0.0f);
  expectXyz(tail.position, 0.01f, 0.0f, 0.0f);
  EXPECT_EQ(jet.velocity.x, 0.0f);

  accumulateAll();
  applyAll();
  // Second step: the partner coasts on (0.01 damped), gets the full push
  // again (only the jet end's velocity counts) and loses 20 percent of the
  // compression it has built up. Tolerance: the link error is a difference
  // of nearly equal lengths, rounded differently from this sum.
  const float coasted = 0.01f + 0.01f * 0.9999f;
  expectXyz(jet.position, 1.0f, 0.0f, 0.0f);
  EXPECT_NEAR(tail.position.x, coasted + 0.01f - 0.2f * coasted, 1e-7f);
}

TEST_F(LinkConstraints, JetFlaggedSecondEndDrivesThatLinkToo) {
  Particle& head = add(0.0f, 0.0f);
  Particle& driver = add(1.0f, 0.0f);
  // driver is the second end of this Jet link; it carries the jet flag of
  // another link it owns (set directly so that head does not drive as well).
  ASSERT_TRUE(level->connect(head, driver, Jet));
  head.jet = 0;
  driver.jet = 1;
  accumulateAll();
  // Pushed along head -> driver, i.e. +x, from driver's entry.
  expectXyz(driver.correction, 0.01f, 0.0f, 0.0f);
  expectXyz(head.correction, 0.01f, 0.0f, 0.0f);
}

TEST_F(LinkConstraints, JetFlagDoesNotPushAlongOtherLinkTypes) {
  Particle& a = add(1.0f, 0.0f);
  Particle& b = add(0.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Plain));
  a.jet = 1;
  accumulateAll();
  expectXyz(a.correction, 0.0f, 0.0f, 0.0f);
  expectXyz(b.correction, 0.0f, 0.0f, 0.0f);
}

TEST_F(LinkConstraints, FlattensPositionPreviousAndVelocityToTheLevelPlane) {
  Particle& p = add(1.0f, 2.0f);
  p.position.z = 0.3f;
  p.previous.z = 0.1f;
  accumulateAll();
  expectXyz(p.position, 1.0f, 2.0f, 0.0f);
  expectXyz(p.previous, 1.0f, 2.0f, 0.0f);
  EXPECT_EQ(p.velocity.z, 0.0f);
  EXPECT_EQ(p.position.w, 1.0f);
}

TEST_F(LinkConstraints, PartnerNotYetFlattenedLeavesAZCorrection) {
  // Corrections are 3D: a (slot 0) is flattened before b (slot 1), so a's
  // entry measures the link with b still off the plane, while b's entry finds
  // it at rest. Both ends leave this step slightly off the plane; the next
  // step's pass flattens them again.
  Particle& a = add(0.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Plain));
  b.position.z = 1.0f;
  b.previous.z = 1.0f;
  accumulateAll();
  EXPECT_EQ(b.position.z, 0.0f);
  // d = (-1, 0, -1): error sqrt(2) - 1 along the diagonal. Tolerance for the
  // rounding of the square root.
  const float along = (std::sqrt(2.0f) - 1.0f) * 0.1f / std::sqrt(2.0f);
  EXPECT_NEAR(a.correction.x, along, 1e-7f);
  EXPECT_NEAR(a.correction.z, along, 1e-7f);
  EXPECT_NEAR(b.correction.z, -along, 1e-7f);

  applyAll();
  accumulateAll();
  applyAll();
  EXPECT_LT(std::fabs(a.position.z), std::fabs(along));
}

}  // namespace
}  // namespace pw
