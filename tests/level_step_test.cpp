#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "level/game_world.h"
#include "level/level_step.h"

namespace pw {
namespace {

class LevelStepTest : public ::testing::Test {
 protected:
  Particle& add(float x, float y) {
    Particle* p = world->level.allocate();
    p->position = p->previous = Vec4(x, y, 0);
    return *p;
  }
  void link(Particle& a, Particle& b, int32_t type) { ASSERT_TRUE(world->level.connect(a, b, type)); }
  // A player body standing still at (x, y) with up = +y.
  void placeBody(float x, float y) {
    world->body.position = Vec4(x, y, 0);
    world->body.velocity = Vec4(0, 0, 0);
    world->body.up = Vec4(0, 1, 0);
  }
  void stepBody() { stepPlayerBody(world->level, world->body, world->walker); }

  std::unique_ptr<GameWorld> world = std::make_unique<GameWorld>();
  Level& level = world->level;
  PlayerBody& body = world->body;
};

TEST_F(LevelStepTest, StoppedLevelDoesNotMove) {
  Particle& p = add(1, 2);
  stepLevel(level);
  EXPECT_EQ(p.position.y, 2.0f);
  level.run();
  stepLevel(level);
  EXPECT_LT(p.position.y, 2.0f);
}

TEST_F(LevelStepTest, FreeParticleFallsFasterEachStepUntilTheFloor) {
  Particle& p = add(0, 1);
  level.run();
  float previousY = p.position.y;
  float previousDrop = 0.0f;
  for (int i = 0; i < 5; ++i) {
    stepLevel(level);
    const float drop = previousY - p.position.y;
    // Gravity adds 0.001 per step; damping takes 0.01 percent of the speed.
    EXPECT_NEAR(drop, previousDrop * 0.9999f + 0.001f, 1e-7f) << i;
    previousDrop = drop;
    previousY = p.position.y;
  }
  for (int i = 0; i < 2000; ++i) stepLevel(level);
  EXPECT_NEAR(p.position.y, -5.0f, 0.0011f);
  EXPECT_GE(p.position.y, -5.0011f);
}

TEST_F(LevelStepTest, SurfaceOwnerIsNeitherPulledNorCorrected) {
  Particle& owner = add(-1, 0);
  Particle& end = add(1, 0);
  link(owner, end, Surface);
  Particle& rope = add(-1, 1);
  link(owner, rope, Plain);
  rope.position = rope.previous = Vec4(-1, 2, 0);  // stretched: pulls on the owner
  level.run();
  for (int i = 0; i < 10; ++i) stepLevel(level);
  EXPECT_EQ(owner.position.x, -1.0f);
  EXPECT_EQ(owner.position.y, 0.0f);
  EXPECT_EQ(end.position.y, 0.0f);
  EXPECT_LT(rope.position.y, 2.0f);
}

TEST_F(LevelStepTest, BodyLandsOnTheBottomAndCountsAsStanding) {
  placeBody(0, -4.65f);
  body.velocity = Vec4(0, -0.1f, 0);
  body.integrateBody(1.0f);
  EXPECT_EQ(body.position.y, -4.7f);
  EXPECT_FLOAT_EQ(body.velocity.y, 0.01f);
  EXPECT_EQ(body.groundTimer, 19);  // set to 20, then this step's tick
  EXPECT_EQ(body.groundNormal.y, 1.0f);
}

TEST_F(LevelStepTest, BodySpeedIsClampedAfterTheMove) {
  placeBody(0, 0);
  body.velocity = Vec4(1.0f, 0, 0);
  body.integrateBody(1.0f);
  EXPECT_EQ(body.position.x, 1.0f);
  EXPECT_FLOAT_EQ(body.velocity.x, 0.35f);
}

TEST_F(LevelStepTest, BodyBouncesOffTheBoxLimits) {
  struct Case {
    Vec4 start, velocity;
    Vec4 position;     // after the step
    Vec4 newVelocity;  // after the step
  };
  const Case cases[] = {
      {Vec4(4.9f, 0, 0), Vec4(0.2f, 0, 0), Vec4(5, 0, 0), Vec4(-0.1f, 0, 0)},
      {Vec4(-4.9f, 0, 0), Vec4(-0.2f, 0, 0), Vec4(-5, 0, 0), Vec4(0.1f, 0, 0)},
      {Vec4(0, 4.6f, 0), Vec4(0, 0.2f, 0), Vec4(0, 4.7f, 0), Vec4(0, -0.02f, 0)},
  };
  for (const Case& c : cases) {
    body.position = c.start;
    body.velocity = c.velocity;
    body.groundTimer = 0;
    body.integrateBody(1.0f);
    EXPECT_FLOAT_EQ(body.position.x, c.position.x);
    EXPECT_FLOAT_EQ(body.position.y, c.position.y);
    EXPECT_FLOAT_EQ(body.velocity.x, c.newVelocity.x);
    EXPECT_FLOAT_EQ(body.velocity.y, c.newVelocity.y);
  }
}

TEST_F(LevelStepTest, PushMovesTheBodyButIsNotVelocity) {
  placeBody(0, 0);
  body.push = Vec4(0.021f, 0, 0);
  body.integrateBody(1.0f);
  EXPECT_FLOAT_EQ(body.position.x, 0.021f);
  EXPECT_EQ(body.velocity.x, 0.0f);
}

TEST_F(LevelStepTest, BodyWithoutSurfaceFallsAndUpIsPlusY) {
  placeBody(0, 0);
  stepBody();
  EXPECT_FLOAT_EQ(body.velocity.y, -0.001f);
  EXPECT_EQ(body.up.x, 0.0f);
  EXPECT_EQ(body.up.y, 1.0f);
}

TEST_F(LevelStepTest, BodyNearASurfaceIsPulledAndUpPointsAway) {
  Particle& a = add(-1, 0);
  Particle& b = add(1, 0);
  link(a, b, Surface);
  placeBody(0, -1);  // 1.0 below the link: pulled up towards it
  stepBody();
  EXPECT_FLOAT_EQ(body.velocity.y, 0.0015f);
  EXPECT_FLOAT_EQ(body.up.y, -1.0f);
}

TEST_F(LevelStepTest, BodyStandsOnASolidLinkAndIsCarried) {
  Particle& a = add(-2, 0);
  Particle& b = add(2, 0);
  link(a, b, Solid);
  a.fixed = b.fixed = 1;
  a.velocity = b.velocity = Vec4(0.01f, 0, 0);
  placeBody(0, 0.45f);
  body.velocity = Vec4(0, -0.1f, 0);
  stepBody();
  EXPECT_FLOAT_EQ(body.position.y, 0.4f);  // on the skin line
  EXPECT_EQ(body.groundTimer, 40);
  EXPECT_FLOAT_EQ(body.velocity.x, 0.01f);  // the link's velocity
  EXPECT_FLOAT_EQ(body.velocity.y, 0.0f);
  EXPECT_EQ(body.groundNormal.y, 1.0f);
  EXPECT_TRUE(world->walker.alive);
}

TEST_F(LevelStepTest, RestingBodyStillFindsWhatItStandsOn) {
  Particle& a = add(-2, 0);
  Particle& b = add(2, 0);
  link(a, b, Solid);
  a.fixed = b.fixed = 1;
  placeBody(0, 0.4f);
  for (int i = 0; i < 100; ++i) stepBody();
  EXPECT_NEAR(body.position.y, 0.4f, 1e-3f);
  EXPECT_GT(body.groundTimer, 0);
}

TEST_F(LevelStepTest, HazardContactKillsTheRobot) {
  Particle& a = add(-2, 0);
  Particle& b = add(2, 0);
  link(a, b, Hazard);
  a.fixed = b.fixed = 1;
  placeBody(0, 0.45f);
  body.velocity = Vec4(0, -0.1f, 0);
  stepBody();
  EXPECT_FALSE(world->walker.alive);
  EXPECT_FLOAT_EQ(body.position.y, 0.4f);  // the contact response still applies
}

TEST_F(LevelStepTest, SteepWallStopsTheBodyWithoutStanding) {
  Particle& a = add(1, -2);
  Particle& b = add(1, 2);
  link(a, b, Solid);
  a.fixed = b.fixed = 1;
  placeBody(0.5f, 0);
  body.velocity = Vec4(0.2f, 0, 0);
  stepBody();
  EXPECT_FLOAT_EQ(body.position.x, 0.6f);  // 0.4 in front of the wall
  EXPECT_NEAR(body.velocity.x, 0.0f, 1e-7f);
  EXPECT_EQ(body.groundTimer, 0);
}

TEST_F(LevelStepTest, SameStartGivesBitIdenticalStatesAfterTenThousandSteps) {
  auto run = [](GameWorld& w) {
    Level& l = w.level;
    auto put = [&l](float x, float y) {
      Particle* p = l.allocate();
      p->position = p->previous = Vec4(x, y, 0);
      return p;
    };
    Particle* s0 = put(-3, 1);
    Particle* s1 = put(3, 1);
    l.connect(*s0, *s1, Surface);
    Particle* prev = put(-2, 3);
    prev->fixed = 1;
    for (int i = 0; i < 6; ++i) {  // a chain hanging from an anchor
      Particle* next = put(-2.0f + 0.5f * (i + 1), 3.2f);
      l.connect(*prev, *next, i % 2 ? Solid : Plain);
      prev = next;
    }
    Particle* j0 = put(0, -3);
    Particle* j1 = put(1, -3);
    l.connect(*j1, *j0, Jet);
    l.connect(*put(-1, -4), *put(2, -4.5f), Hazard);
    for (int i = 0; i < 8; ++i) put(-4.0f + i, 4.0f);  // loose masses
    l.run();
    w.body.position = kPlayerStart;
    w.body.velocity = Vec4(0, 0, 0);
    w.body.push = Vec4(0.021f, 0, 0);
    for (int i = 0; i < 10000; ++i) {
      stepLevel(l);
      stepPlayerBody(l, w.body, w.walker);
    }
  };
  auto first = std::make_unique<GameWorld>();
  auto second = std::make_unique<GameWorld>();
  run(*first);
  run(*second);
  for (int i = 0; i < kLevelSlots; ++i) {
    const Particle& a = first->level.particles[i];
    const Particle& b = second->level.particles[i];
    EXPECT_EQ(0, std::memcmp(&a.position, &b.position, sizeof(Vec4))) << i;
    EXPECT_EQ(0, std::memcmp(&a.previous, &b.previous, sizeof(Vec4))) << i;
  }
  EXPECT_EQ(0, std::memcmp(&first->body.position, &second->body.position, sizeof(Vec4)));
  EXPECT_EQ(0, std::memcmp(&first->body.velocity, &second->body.velocity, sizeof(Vec4)));
}

}  // namespace
}  // namespace pw
