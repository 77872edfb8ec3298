// Everything that moves against the level: the surface pull, the player body
// against balls and segments, and level and robot particles against them.
//
// Many figures here (0.4, 0.3, 0.2 ...) are not representable in binary and
// pass through a square root and several differences, so positions are
// compared to within 1e-6 world units unless the arithmetic is exact.

#include <gtest/gtest.h>

#include <memory>

#include "level_fixture.h"
#include "level/level.h"
#include "physics/collisions.h"
#include "physics/particle.h"

namespace pw {
namespace {

constexpr float kTolerance = 1e-6f;

void expectXy(const Vec4& actual, float x, float y) {
  EXPECT_EQ(actual.x, x);
  EXPECT_EQ(actual.y, y);
}

void expectNearXy(const Vec4& actual, float x, float y) {
  EXPECT_NEAR(actual.x, x, kTolerance);
  EXPECT_NEAR(actual.y, y, kTolerance);
}

class LevelFixture : public EmptyLevelTest {
 protected:
  // Fills slots up to (not including) `slot` with harmless far-away particles.
  void fillUpTo(int slot) {
    while (level->allocated < slot) add(-4.5f, 4.5f - 0.5f * static_cast<float>(level->allocated));
  }

  // A ball is any particle in use flagged solid.
  Particle& ball(float x, float y, bool fixed = false, bool hazard = false) {
    Particle& p = add(x, y);
    p.solid = 1;
    p.fixed = fixed ? 1 : 0;
    p.hazard = hazard ? 1 : 0;
    return p;
  }

};

// ---------------------------------------------------------------- surfacePull

class SurfacePullTest : public LevelFixture {};

TEST_F(SurfacePullTest, WithoutASurfaceLinkEverythingFallsWithGravity) {
  // Other link types do not pull.
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  for (const Vec4& point : {Vec4(0.0f, 0.5f, 0.0f), Vec4(-4.0f, 4.0f, 0.0f), Vec4(3.0f, -5.0f, 0.0f)}) {
    const SurfacePull pull = surfacePull(*level, point);
    EXPECT_EQ(pull.displacement.x, 0.0f);
    EXPECT_EQ(pull.displacement.y, -0.001f);
    EXPECT_EQ(pull.displacement.z, 0.0f);
    EXPECT_EQ(pull.direction.x, 0.0f);
    EXPECT_EQ(pull.direction.y, -1.0f);
    EXPECT_EQ(pull.direction.z, 0.0f);
    EXPECT_EQ(pull.direction.w, 0.0f);
  }
}

struct PullCase {
  const char* name;
  Vec4 point;
  Vec4 expected;  // the displacement; also the direction when pulled
};

// A horizontal Surface link from (-1, 0) to (1, 0). The pull is capped at
// 0.0015 everywhere in reach, and the directions below are axis-aligned, so
// these figures are exact.
const PullCase kPullCases[] = {
    {"1.0 above the middle: pulled down at the cap", {0.0f, 1.0f, 0.0f}, {0.0f, -0.0015f, 0.0f}},
    {"0.5 below: pulled up", {0.5f, -0.5f, 0.0f}, {0.0f, 0.0015f, 0.0f}},
    {"1.2 above (1.44 squared): still in reach", {0.0f, 1.2f, 0.0f}, {0.0f, -0.0015f, 0.0f}},
    {"1.3 above (1.69 squared): out of reach, gravity", {0.0f, 1.3f, 0.0f}, {0.0f, -0.001f, 0.0f}},
    {"beyond the second end: pulled towards that end", {2.0f, 0.0f, 0.0f}, {-0.0015f, 0.0f, 0.0f}},
    {"before the first end: pulled towards that end", {-2.0f, 0.0f, 0.0f}, {0.0015f, 0.0f, 0.0f}},
    {"exactly on the link: not pulled by it", {0.25f, 0.0f, 0.0f}, {0.0f, -0.001f, 0.0f}},
    {"within 0.003 of it (9e-6 squared): not pulled", {0.25f, 0.003f, 0.0f}, {0.0f, -0.001f, 0.0f}},
};

class SurfacePullTable : public SurfacePullTest, public ::testing::WithParamInterface<PullCase> {};

TEST_P(SurfacePullTable, PullsTowardsTheLinkWithinReach) {
  const PullCase& c = GetParam();
  SCOPED_TRACE(c.name);
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Surface));
  const SurfacePull pull = surfacePull(*level, c.point);
  EXPECT_EQ(pull.displacement.x, c.expected.x);
  EXPECT_EQ(pull.displacement.y, c.expected.y);
  EXPECT_EQ(pull.displacement.z, 0.0f);
  const bool gravity = c.expected.y == -0.001f;
  EXPECT_EQ(pull.direction.x, gravity ? 0.0f : c.expected.x);
  EXPECT_EQ(pull.direction.y, gravity ? -1.0f : c.expected.y);
}

INSTANTIATE_TEST_SUITE_P(Cases, SurfacePullTable, ::testing::ValuesIn(kPullCases));

TEST_F(SurfacePullTest, DiagonalPullHasTheCappedStrength) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Surface));
  // Beyond the second end, 0.6 right and 0.8 up: towards (1, 0), length 1.
  const SurfacePull pull = surfacePull(*level, Vec4(1.6f, 0.8f, 0.0f));
  EXPECT_NEAR(pull.displacement.x, -0.0015f * 0.6f, 1e-9f);
  EXPECT_NEAR(pull.displacement.y, -0.0015f * 0.8f, 1e-9f);
}

TEST_F(SurfacePullTest, OnlyTheOwnersEntriesPull) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Surface));
  ASSERT_EQ(a.surfaceOwner, 1);
  ASSERT_EQ(b.surfaceOwner, 0);
  ASSERT_EQ(b.links[0].type, Surface);
  // Without its owner's flag the link is not found, although the second
  // end still holds a Surface entry for the same segment.
  a.surfaceOwner = 0;
  const SurfacePull pull = surfacePull(*level, Vec4(0.0f, 1.0f, 0.0f));
  expectXy(pull.displacement, 0.0f, -0.001f);
}

TEST_F(SurfacePullTest, OwnersOtherLinkTypesDoNotPull) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  Particle& c = add(0.0f, 2.0f);
  ASSERT_TRUE(level->connect(a, b, Surface));
  ASSERT_TRUE(level->connect(a, c, Plain));
  // Nearer the Plain link a-c (squared 0.2) than the Surface link (1.0).
  const SurfacePull pull = surfacePull(*level, Vec4(0.0f, 1.0f, 0.0f));
  expectXy(pull.displacement, 0.0f, -0.0015f);
}

TEST_F(SurfacePullTest, DegenerateLinkIsSkipped) {
  Particle& a = add(0.0f, 0.0f);
  Particle& b = add(0.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Surface));
  const SurfacePull pull = surfacePull(*level, Vec4(0.0f, 0.5f, 0.0f));
  expectXy(pull.displacement, 0.0f, -0.001f);
}

TEST_F(SurfacePullTest, NearestLinkWins) {
  // Below at 1.0, above at 0.75: the upper one is nearer.
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  Particle& c = add(-1.0f, 1.75f);
  Particle& d = add(1.0f, 1.75f);
  ASSERT_TRUE(level->connect(a, b, Surface));
  ASSERT_TRUE(level->connect(c, d, Surface));
  expectXy(surfacePull(*level, Vec4(0.0f, 1.0f, 0.0f)).displacement, 0.0f, 0.0015f);
  expectXy(surfacePull(*level, Vec4(0.0f, 0.75f, 0.0f)).displacement, 0.0f, -0.0015f);
}

TEST_F(SurfacePullTest, TiesKeepTheEarlierSlot) {
  for (const bool lowerFirst : {true, false}) {
    SCOPED_TRACE(lowerFirst);
    level->reset();
    const float first = lowerFirst ? 0.0f : 2.0f;
    const float second = lowerFirst ? 2.0f : 0.0f;
    Particle& a = add(-1.0f, first);
    Particle& b = add(1.0f, first);
    Particle& c = add(-1.0f, second);
    Particle& d = add(1.0f, second);
    ASSERT_TRUE(level->connect(a, b, Surface));
    ASSERT_TRUE(level->connect(c, d, Surface));
    // Exactly midway: both at squared distance 1.
    const SurfacePull pull = surfacePull(*level, Vec4(0.0f, 1.0f, 0.0f));
    expectXy(pull.displacement, 0.0f, lowerFirst ? -0.0015f : 0.0015f);
  }
}

TEST_F(SurfacePullTest, ParticlesNotInUseDoNotPull) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Surface));
  a.inUse = 0;
  expectXy(surfacePull(*level, Vec4(0.0f, 1.0f, 0.0f)).displacement, 0.0f, -0.001f);
}

// ------------------------------------------------------------ collideBody balls

const Vec4 kUp(0.0f, 1.0f, 0.0f, 0.0f);

class CollideBodyTest : public LevelFixture {
 protected:
  Vec4 body{9.0f, 9.0f, 9.0f};
  Vec4 normal{9.0f, 9.0f, 9.0f};
  Vec4 contactVelocity{9.0f, 9.0f, 9.0f};
};

struct BallCase {
  const char* name;
  bool fixed;
  float bodyMove;
  float ballMove;
};

const BallCase kBallCases[] = {
    {"free ball: both move half the overlap", false, 0.05f, 0.05f},
    {"fixed ball: only the body moves", true, 0.1f, 0.0f},
};

class BodyAgainstBall : public CollideBodyTest, public ::testing::WithParamInterface<BallCase> {};

TEST_P(BodyAgainstBall, PushesTheBodyOutOfTheBall) {
  const BallCase& c = GetParam();
  SCOPED_TRACE(c.name);
  Particle& q = ball(1.0f, 1.0f, c.fixed);
  q.velocity = Vec4(0.25f, -0.5f, 0.0f, 1.0f);
  const Vec4 from(1.3f, 1.0f, 0.0f);
  Vec4 to(1.3f, 1.0f, 0.0f);  // 0.3 to the right of the ball
  EXPECT_EQ(collideBody(*level, from, to, body, normal, contactVelocity, kUp), Contact);
  expectNearXy(to, 1.3f + c.bodyMove, 1.0f);
  expectXy(body, to.x, to.y);
  expectNearXy(q.position, 1.0f - c.ballMove, 1.0f);
  expectXy(normal, 1.0f, 0.0f);
  expectXy(contactVelocity, 0.25f, -0.5f);
}

INSTANTIATE_TEST_SUITE_P(Cases, BodyAgainstBall, ::testing::ValuesIn(kBallCases));

TEST_F(CollideBodyTest, BallPushIsAlongTheJoin) {
  Particle& q = ball(0.0f, 0.0f, true);
  // 0.3 away along (0.6, 0.8).
  Vec4 to(0.18f, 0.24f, 0.0f);
  EXPECT_EQ(collideBody(*level, to, to, body, normal, contactVelocity, kUp), Contact);
  expectNearXy(to, 0.24f, 0.32f);
  expectNearXy(normal, 0.6f, 0.8f);
  expectXy(q.position, 0.0f, 0.0f);
}

TEST_F(CollideBodyTest, BallsOutOfReachOrNotSolidAreIgnored) {
  ball(0.0f, 0.0f);
  Particle& plain = add(1.0f, 0.0f);  // not solid
  Particle& unused = ball(2.0f, 0.0f);
  unused.inUse = 0;
  for (const float x : {0.4f, 1.1f, 2.1f}) {
    SCOPED_TRACE(x);
    Vec4 to(x, 0.0f, 0.0f);
    EXPECT_EQ(collideBody(*level, to, to, body, normal, contactVelocity, kUp), NoContact);
    expectXy(to, x, 0.0f);
  }
  expectXy(plain.position, 1.0f, 0.0f);
  expectXy(body, 9.0f, 9.0f);  // written only on contact
  expectXy(normal, 9.0f, 9.0f);
}

struct HazardOrderCase {
  bool hazardInLowerSlot;
  int32_t expected;
};

class LastBallDecides : public CollideBodyTest, public ::testing::WithParamInterface<HazardOrderCase> {};

TEST_P(LastBallDecides, TheLastBallTouchedGivesTheResult) {
  const HazardOrderCase& c = GetParam();
  // Balls in slots 3 (left of the body) and 8.
  fillUpTo(3);
  Particle& low = ball(-0.3f, 0.0f, true, c.hazardInLowerSlot);
  low.velocity = Vec4(1.0f, 0.0f, 0.0f, 1.0f);
  fillUpTo(8);
  // Touched once the first has pushed the body to (0.1, 0): straight above.
  Particle& high = ball(0.1f, 0.3f, true, !c.hazardInLowerSlot);
  high.velocity = Vec4(2.0f, 0.0f, 0.0f, 1.0f);
  ASSERT_EQ(low.slot, 3);
  ASSERT_EQ(high.slot, 8);
  Vec4 to(0.0f, 0.0f, 0.0f);
  EXPECT_EQ(collideBody(*level, to, to, body, normal, contactVelocity, kUp), c.expected);
  EXPECT_EQ(contactVelocity.x, 2.0f);
  expectNearXy(normal, 0.0f, -1.0f);  // from the slot-8 ball
}

INSTANTIATE_TEST_SUITE_P(Cases, LastBallDecides,
                         ::testing::Values(HazardOrderCase{true, Contact},
                                           HazardOrderCase{false, DeadlyContact}));

TEST_F(CollideBodyTest, LaterBallsSeeWhereEarlierOnesPushedTheBody) {
  // First ball pushes the body from 0.3 to 0.4 right of it, which brings it
  // within 0.35 of the second.
  ball(0.0f, 0.0f, true);
  Particle& second = ball(0.75f, 0.0f, true);
  Vec4 to(0.3f, 0.0f, 0.0f);
  EXPECT_EQ(collideBody(*level, to, to, body, normal, contactVelocity, kUp), Contact);
  expectNearXy(to, 0.35f, 0.0f);
  expectNearXy(normal, -1.0f, 0.0f);
  expectXy(second.position, 0.75f, 0.0f);
}

// --------------------------------------------------------- collideBody segments

TEST_F(CollideBodyTest, BodyFallingOntoAFloorEndsOnTheSkinPushedStraightUp) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  a.velocity = Vec4(0.5f, 0.0f, 0.0f, 1.0f);
  b.velocity = Vec4(0.25f, 0.0f, 0.0f, 1.0f);
  const Vec4 from(0.5f, 0.6f, 0.0f);
  Vec4 to(0.5f, 0.3f, 0.0f);
  EXPECT_EQ(collideBody(*level, from, to, body, normal, contactVelocity, kUp), Contact);
  // 0.1 inside the skin, hit three quarters of the way from a to b.
  EXPECT_EQ(body.x, 0.5f);  // straight up
  EXPECT_NEAR(body.y, 0.4f, kTolerance);
  expectXy(normal, 0.0f, 1.0f);
  expectNearXy(a.position, -1.0f, -0.025f);
  expectNearXy(b.position, 1.0f, -0.075f);
  EXPECT_NEAR(a.position.y + b.position.y, -0.1f, kTolerance);
  expectXy(contactVelocity, 0.375f, 0.0f);
  expectXy(to, 0.5f, 0.3f);  // only balls change the caller's `to`
}

TEST_F(CollideBodyTest, BodyOnAGentleSlopeIsLiftedVerticallyOnASteepOneAlongTheNormal) {
  struct Slope {
    float bx, by;     // second end, the first at the origin
    bool vertical;    // pushed straight up
  };
  // 30 degrees: dot(up, m) = 0.866 > 0.5. 70 degrees: 0.342.
  for (const Slope& s : {Slope{1.7320508f, 1.0f, true}, Slope{0.7279404f, 2.0f, false}}) {
    SCOPED_TRACE(s.vertical);
    level->reset();
    Particle& a = add(0.0f, 0.0f);
    Particle& b = add(s.bx, s.by);
    a.fixed = b.fixed = 1;
    ASSERT_TRUE(level->connect(a, b, Solid));
    // Start 1 above the middle of the slope, end 0.1 above it.
    const Vec4 middle(s.bx * 0.5f, s.by * 0.5f, 0.0f);
    const Vec4 from(middle.x, middle.y + 1.0f, 0.0f);
    Vec4 to(middle.x, middle.y + 0.1f, 0.0f);
    ASSERT_EQ(collideBody(*level, from, to, body, normal, contactVelocity, kUp), Contact);
    if (s.vertical) {
      EXPECT_EQ(body.x, to.x);
      EXPECT_GT(body.y, to.y);
    } else {
      // Slid out along the normal, which leans towards -x.
      EXPECT_LT(body.x, to.x);
      const Vec4 push = body - to;
      EXPECT_NEAR(push.x * normal.y - push.y * normal.x, 0.0f, kTolerance);
    }
    // Either way the body ends on the skin line, 0.4 from the slope.
    const float side = normal.x * body.x + normal.y * body.y;
    EXPECT_NEAR(side, 0.4f, kTolerance);
    // Fixed ends are not moved.
    expectXy(a.position, 0.0f, 0.0f);
    expectXy(b.position, s.bx, s.by);
  }
}

TEST_F(CollideBodyTest, HazardSegmentIsDeadly) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Hazard));
  // Far from both balls (the ends), through the middle of the segment.
  const Vec4 from(0.0f, 0.6f, 0.0f);
  Vec4 to(0.0f, 0.3f, 0.0f);
  EXPECT_EQ(collideBody(*level, from, to, body, normal, contactVelocity, kUp), DeadlyContact);
  EXPECT_NEAR(body.y, 0.4f, kTolerance);
}

TEST_F(CollideBodyTest, HazardBallThenSolidSegmentIsDeadly) {
  ball(0.3f, 0.3f, true, true);  // touched first, 0.3 to the right of `to`
  Particle& a = add(-2.0f, 0.0f);
  Particle& b = add(2.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  const Vec4 from(0.0f, 0.6f, 0.0f);
  Vec4 to(0.0f, 0.3f, 0.0f);
  EXPECT_EQ(collideBody(*level, from, to, body, normal, contactVelocity, kUp), DeadlyContact);
}

TEST_F(CollideBodyTest, SegmentsUseTheMotionAsItWasOnEntry) {
  // A fixed ball almost on the body shoves it 0.399 to the right before the
  // segments are tested. The floor a-b runs from (0, 0) to (2.7, 0); the
  // body's entry path from (0.5, 0.6) along (1, -0.3) meets y = 0 at 2.5,
  // between the ends, but a path through the shoved point would meet it at
  // 3.3, beyond b, and miss. b's entry is dropped: seen from b (whose skin
  // point is the other corner) either path would pass between the ends.
  ball(1.499f, 0.3f, true);
  Particle& a = add(0.0f, 0.0f);
  Particle& b = add(2.7f, 0.0f);
  a.fixed = b.fixed = 1;
  ASSERT_TRUE(level->connect(a, b, Solid));
  b.linkCount = 0;
  const Vec4 from(0.5f, 0.6f, 0.0f);
  Vec4 to(1.5f, 0.3f, 0.0f);
  EXPECT_EQ(collideBody(*level, from, to, body, normal, contactVelocity, kUp), Contact);
  EXPECT_NEAR(to.x, 1.899f, kTolerance);
  // Lifted onto the skin by the segment, not just left where the ball put it.
  EXPECT_EQ(body.x, to.x);
  EXPECT_NEAR(body.y, 0.4f, kTolerance);
  expectXy(normal, 0.0f, 1.0f);
}

TEST_F(CollideBodyTest, PlainJetAndSurfaceLinksDoNotCollide) {
  for (const LinkType type : {Plain, Jet, Surface}) {
    SCOPED_TRACE(type);
    level->reset();
    Particle& a = add(-1.0f, 0.0f);
    Particle& b = add(1.0f, 0.0f);
    ASSERT_TRUE(level->connect(a, b, type));
    const Vec4 from(0.0f, 0.6f, 0.0f);
    Vec4 to(0.0f, 0.3f, 0.0f);
    EXPECT_EQ(collideBody(*level, from, to, body, normal, contactVelocity, kUp), NoContact);
  }
}

TEST_F(CollideBodyTest, BodyAtRestOnTheSkinIsProbedWithASmallUpwardMotion) {
  // No motion: M becomes (0, 0.01), which still spans the segment; a body
  // resting just inside the skin is found and lifted to it.
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  a.fixed = b.fixed = 1;
  ASSERT_TRUE(level->connect(a, b, Solid));
  // The crossing test needs the body on the near side of the back line last
  // step and inside the front skin now.
  Vec4 to(0.0f, 0.375f, 0.0f);
  EXPECT_EQ(collideBody(*level, to, to, body, normal, contactVelocity, kUp), Contact);
  EXPECT_NEAR(body.y, 0.4f, kTolerance);
}

// The rejected-contact scene: a floor a-b from (0, 0) to (4, 0), and a body
// coming in at a shallow angle from the right, from (5.3, 0.7) to (4.3, 0.3).
// Its path passes between the ends, but lifted out it would be at x = 4.3,
// just beyond b: t = 1.075, no contact. A second segment a-c from (0, 0) to
// (8, 0.8), which the body does cross inside its span, is a's next entry.
// The body stays more than 0.4 from every end, so no ball is touched.
class RejectedContact : public CollideBodyTest {
 protected:
  void build(bool withRejectedEntry, bool keepBackEntry) {
    a = &add(0.0f, 0.0f);
    b = &add(4.0f, 0.0f);
    c = &add(8.0f, 0.8f);
    if (withRejectedEntry) {
      ASSERT_TRUE(level->connect(*a, *b, Solid));
    }
    ASSERT_TRUE(level->connect(*a, *c, Solid));
    // c's entry back to a would find the same crossing from a later slot;
    // dropping it leaves a's entry as the only way to see segment a-c.
    if (!keepBackEntry) c->linkCount = 0;
    for (Particle* p : {a, b, c}) p->fixed = 1;
  }

  int32_t run() {
    const Vec4 from(5.3f, 0.7f, 0.0f);
    Vec4 to(4.3f, 0.3f, 0.0f);
    return collideBody(*level, from, to, body, normal, contactVelocity, kUp);
  }

  Particle* a = nullptr;
  Particle* b = nullptr;
  Particle* c = nullptr;
};

TEST_F(RejectedContact, SecondSegmentAloneIsHit) {
  build(false, false);
  EXPECT_EQ(run(), Contact);
  EXPECT_EQ(body.x, 4.3f);
  EXPECT_GT(body.y, 0.3f);
}

TEST_F(RejectedContact, RejectionWritesTheNormalAndEndsThatSlotsEntries) {
  build(true, false);
  EXPECT_EQ(run(), NoContact);
  expectXy(normal, 0.0f, 1.0f);  // the floor's, written although rejected
  expectXy(body, 9.0f, 9.0f);
}

TEST_F(RejectedContact, ScanGoesOnWithTheNextSlot) {
  build(true, true);
  // c's slot holds segment a-c too, and is still examined.
  EXPECT_EQ(run(), Contact);
  EXPECT_EQ(body.x, 4.3f);
  EXPECT_GT(body.y, 0.3f);
}

TEST_F(CollideBodyTest, OnlyTheFirstSegmentContactCounts) {
  // Two floors, 0.05 apart: the first in slot order is hit, the other not.
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  Particle& c = add(-1.0f, 0.05f);
  Particle& d = add(1.0f, 0.05f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  ASSERT_TRUE(level->connect(c, d, Hazard));
  const Vec4 from(0.0f, 0.8f, 0.0f);
  Vec4 to(0.0f, 0.3f, 0.0f);
  EXPECT_EQ(collideBody(*level, from, to, body, normal, contactVelocity, kUp), Contact);
  EXPECT_NEAR(body.y, 0.4f, kTolerance);
  expectXy(c.position, -1.0f, 0.05f);
  expectXy(d.position, 1.0f, 0.05f);
}

// -------------------------------------------------------------- sweepParticle

class SweepTest : public LevelFixture {};

// A floor from (-1, 0) to (1, 0) and a mover falling from (0.5, 0.5) to
// (0.5, 0.1): 0.1 inside the 0.2 skin, three quarters along the floor.
TEST_F(SweepTest, LevelParticleMovesTheSegmentEvenWhenItsEndsAreFixed) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  a.fixed = b.fixed = 1;
  ASSERT_TRUE(level->connect(a, b, Solid));
  Particle& p = add(0.5f, 0.1f);
  p.previous = Vec4(0.5f, 0.5f, 0.0f, 1.0f);
  sweepParticle(*level, p, p.slot);
  EXPECT_EQ(p.position.x, 0.5f);
  EXPECT_NEAR(p.position.y, 0.2f, kTolerance);
  expectNearXy(a.position, -1.0f, -0.025f);
  expectNearXy(b.position, 1.0f, -0.075f);
}

TEST_F(SweepTest, RobotParticleDoesNotMoveTheSegment) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  Particle robot;
  robot.previous = Vec4(0.5f, 0.5f, 0.0f, 1.0f);
  robot.position = Vec4(0.5f, 0.1f, 0.0f, 1.0f);
  sweepParticle(*level, robot, kNoSlot);
  EXPECT_EQ(robot.position.x, 0.5f);
  EXPECT_NEAR(robot.position.y, 0.2f, kTolerance);
  expectXy(a.position, -1.0f, 0.0f);
  expectXy(b.position, 1.0f, 0.0f);
}

TEST_F(SweepTest, MissesWhenThePathStaysOutsideTheSkinOrPassesAnEnd) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  struct Path {
    Vec4 from, to;
  };
  for (const Path& path : {Path{{0.5f, 0.5f, 0.0f}, {0.5f, 0.25f, 0.0f}},    // above the skin
                           Path{{1.5f, 0.5f, 0.0f}, {1.5f, 0.1f, 0.0f}},     // right of b
                           Path{{-1.5f, 0.5f, 0.0f}, {-1.5f, 0.1f, 0.0f}},   // left of a's skin point
                           // passes between the ends but lands before a (t = -0.05)
                           Path{{0.9f, 0.2f, 0.0f}, {-1.1f, 0.1f, 0.0f}}}) {
    Particle robot;
    robot.previous = path.from;
    robot.position = path.to;
    sweepParticle(*level, robot, kNoSlot);
    expectXy(robot.position, path.to.x, path.to.y);
  }
}

TEST_F(SweepTest, ParticleNeverCollidesWithItsOwnLinks) {
  // p (slot 0) is the first end of a Solid link to q, and falls through a
  // floor c-d at y = -0.1 held by later slots. Were p's own slot examined,
  // its own segment would be met first (at t = 0, which moves nothing) and
  // end the sweep before the floor.
  Particle& p = add(0.0f, 0.0f);
  Particle& q = add(1.0f, 0.0f);
  Particle& c = add(-1.0f, -0.1f);
  Particle& d = add(1.0f, -0.1f);
  ASSERT_TRUE(level->connect(p, q, Solid));
  ASSERT_TRUE(level->connect(c, d, Solid));
  p.previous = Vec4(0.05f, 0.05f, 0.0f, 1.0f);
  sweepParticle(*level, p, p.slot);
  EXPECT_EQ(p.position.x, 0.0f);
  EXPECT_NEAR(p.position.y, 0.1f, kTolerance);
  expectNearXy(c.position, -1.0f, -0.15f);
  expectNearXy(d.position, 1.0f, -0.15f);
  expectXy(q.position, 1.0f, 0.0f);
}

// Seen as a robot particle (no slot), the same path does meet the segment p-q.
TEST_F(SweepTest, RobotParticleOnALevelLinksPathIsPushedOut) {
  Particle& p = add(0.0f, 0.0f);
  Particle& q = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(p, q, Solid));
  Particle robot;
  robot.previous = Vec4(0.05f, 0.05f, 0.0f, 1.0f);
  robot.position = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
  sweepParticle(*level, robot, kNoSlot);
  EXPECT_NEAR(robot.position.y, 0.2f, kTolerance);
}

// A floor a-b from (0, 0) to (2, 0); a robot particle coming in flat from
// (3.2, 0.2) to (2.2, 0.1) passes between the ends but would be pushed out at
// x = 2.2, beyond b (t = 1.1): no contact. Segment a-c to (5, 0.25), which it
// does cross, is a's next entry; c's entry back is dropped so that only a's
// slot can see it.
class SweepRejected : public SweepTest {
 protected:
  void build(bool withRejectedEntry) {
    Particle& a = add(0.0f, 0.0f);
    Particle& b = add(2.0f, 0.0f);
    Particle& c = add(5.0f, 0.25f);
    if (withRejectedEntry) {
      ASSERT_TRUE(level->connect(a, b, Solid));
    }
    ASSERT_TRUE(level->connect(a, c, Solid));
    c.linkCount = 0;
    robot.previous = Vec4(3.2f, 0.2f, 0.0f, 1.0f);
    robot.position = Vec4(2.2f, 0.1f, 0.0f, 1.0f);
  }
  Particle robot;
};

TEST_F(SweepRejected, SecondSegmentAloneIsHit) {
  build(false);
  sweepParticle(*level, robot, kNoSlot);
  EXPECT_GT(robot.position.y, 0.2f);
}

TEST_F(SweepRejected, RejectionEndsThatSlotsEntries) {
  build(true);
  sweepParticle(*level, robot, kNoSlot);
  expectXy(robot.position, 2.2f, 0.1f);
}

// a holds entries to the mover and to c; c's entry back to a is dropped so
// that segment a-c can be seen only from a's slot.
class SweepBackLink : public SweepTest {
 protected:
  void build(bool moverEntryFirst) {
    a = &add(-1.0f, 0.0f);
    c = &add(1.0f, 0.0f);
    mover = &add(0.5f, 0.1f);
    mover->previous = Vec4(0.5f, 0.5f, 0.0f, 1.0f);
    if (moverEntryFirst) {
      ASSERT_TRUE(level->connect(*a, *mover, Solid));
    }
    ASSERT_TRUE(level->connect(*a, *c, Solid));
    if (!moverEntryFirst) {
      ASSERT_TRUE(level->connect(*a, *mover, Solid));
    }
    c->linkCount = 0;
  }
  Particle* a = nullptr;
  Particle* c = nullptr;
  Particle* mover = nullptr;
};

TEST_F(SweepBackLink, EntryLeadingBackToTheMoverEndsThatSlotsEntries) {
  build(true);
  sweepParticle(*level, *mover, mover->slot);
  expectXy(mover->position, 0.5f, 0.1f);
}

TEST_F(SweepBackLink, EntriesBeforeTheOneLeadingBackAreExamined) {
  build(false);
  sweepParticle(*level, *mover, mover->slot);
  EXPECT_NEAR(mover->position.y, 0.2f, kTolerance);
}

TEST_F(SweepTest, StopsAfterTheFirstContact) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  Particle& c = add(-1.0f, 0.05f);
  Particle& d = add(1.0f, 0.05f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  ASSERT_TRUE(level->connect(c, d, Solid));
  Particle robot;
  robot.previous = Vec4(0.0f, 0.5f, 0.0f, 1.0f);
  robot.position = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
  sweepParticle(*level, robot, kNoSlot);
  // Out to the first floor's skin only; the second would have lifted it to 0.25.
  EXPECT_NEAR(robot.position.y, 0.2f, kTolerance);
}

// --------------------------------------------------------------- collideLevel

class CollideLevelTest : public LevelFixture {};

TEST_F(CollideLevelTest, TwoBallsATenthApartArePushedToTheContactDistance) {
  Particle& low = add(0.0f, 0.0f);
  Particle& high = add(0.1f, 0.0f);
  ASSERT_TRUE(level->connect(low, high, Solid));
  collideLevel(*level);
  // The lower slot's pass moves each 0.05 apart; the other pass finds them
  // 0.2 apart and does nothing. Their own link never stops them.
  expectNearXy(low.position, -0.05f, 0.0f);
  expectNearXy(high.position, 0.15f, 0.0f);
}

TEST_F(CollideLevelTest, OnlySolidParticlesInUseArePushed) {
  Particle& solid = add(0.0f, 0.0f);
  solid.solid = 1;
  Particle& plain = add(0.1f, 0.0f);
  Particle& unused = add(0.0f, 0.1f);
  unused.solid = 1;
  unused.inUse = 0;
  collideLevel(*level);
  expectXy(solid.position, 0.0f, 0.0f);
  expectXy(plain.position, 0.1f, 0.0f);
  expectXy(unused.position, 0.0f, 0.1f);
}

TEST_F(CollideLevelTest, SolidParticleIsSweptOutOfOtherSegments) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  Particle& p = add(0.5f, 0.1f);
  p.previous = Vec4(0.5f, 0.5f, 0.0f, 1.0f);
  p.solid = 1;
  collideLevel(*level);
  EXPECT_NEAR(p.position.y, 0.2f, kTolerance);
  EXPECT_NEAR(a.position.y + b.position.y, -0.1f, kTolerance);
}

// -------------------------------------------------------- collideRobotParticle

class CollideRobotTest : public LevelFixture {};

TEST_F(CollideRobotTest, RobotParticleIsPushedHalfTheOverlapAndTheBallStays) {
  Particle& q = ball(0.0f, 0.0f);  // free, but still not moved
  Particle robot;
  robot.position = Vec4(0.0f, 0.3f, 0.0f, 1.0f);
  robot.previous = robot.position;
  collideRobotParticle(*level, robot);
  expectNearXy(robot.position, 0.0f, 0.35f);
  expectXy(q.position, 0.0f, 0.0f);
}

TEST_F(CollideRobotTest, NonSolidParticlesAreNotBalls) {
  add(0.0f, 0.0f);
  Particle robot;
  robot.position = Vec4(0.0f, 0.3f, 0.0f, 1.0f);
  robot.previous = robot.position;
  collideRobotParticle(*level, robot);
  expectXy(robot.position, 0.0f, 0.3f);
}

// Two floors 0.05 apart, crossed in one move: the first sweep stops at the
// lower floor's skin (0.2), the second lifts the particle onto the upper one's.
TEST_F(CollideRobotTest, SecondSweepTakesASecondSegment) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  Particle& c = add(-1.0f, 0.05f);
  Particle& d = add(1.0f, 0.05f);
  ASSERT_TRUE(level->connect(a, b, Solid));
  ASSERT_TRUE(level->connect(c, d, Solid));
  Particle robot;
  robot.previous = Vec4(0.0f, 0.5f, 0.0f, 1.0f);
  robot.position = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
  collideRobotParticle(*level, robot);
  EXPECT_NEAR(robot.position.y, 0.25f, kTolerance);
}

TEST_F(CollideRobotTest, RobotParticleIsSweptOutOfSegmentsWithoutMovingThem) {
  Particle& a = add(-1.0f, 0.0f);
  Particle& b = add(1.0f, 0.0f);
  ASSERT_TRUE(level->connect(a, b, Hazard));
  Particle robot;
  robot.previous = Vec4(0.0f, 0.5f, 0.0f, 1.0f);
  robot.position = Vec4(0.0f, 0.1f, 0.0f, 1.0f);
  collideRobotParticle(*level, robot);
  EXPECT_NEAR(robot.position.y, 0.2f, kTolerance);
  expectXy(a.position, -1.0f, 0.0f);
  expectXy(b.position, 1.0f, 0.0f);
}

}  // namespace
}  // namespace pw
