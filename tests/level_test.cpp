#include <gtest/gtest.h>

#include <memory>

#include "level/level.h"

namespace pw {
namespace {

class LevelTest : public ::testing::Test {
 protected:
  void SetUp() override { level->reset(); }

  Particle& add(float x, float y) {
    Particle* p = level->allocate();
    p->position = p->previous = Vec4(x, y, 0);
    return *p;
  }

  std::unique_ptr<Level> level = std::make_unique<Level>();
};

TEST_F(LevelTest, AllocatesSlotsInOrderUntilFull) {
  for (int i = 0; i < kLevelSlots; ++i) {
    Particle* p = level->allocate();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->slot, i);
    EXPECT_TRUE(p->inUse);
  }
  EXPECT_EQ(level->allocate(), nullptr);
  EXPECT_EQ(level->count, 100);
  EXPECT_EQ(level->allocated, 100);
}

TEST_F(LevelTest, FreeSlotStackIsLastInFirstOut) {
  for (int i = 0; i < 10; ++i) add(static_cast<float>(i), 0);
  level->remove(level->particles[7]);
  level->remove(level->particles[3]);
  EXPECT_EQ(level->count, 8);
  EXPECT_EQ(level->allocate()->slot, 3);
  EXPECT_EQ(level->allocate()->slot, 7);
  EXPECT_EQ(level->allocate()->slot, 10);
}

TEST_F(LevelTest, RemovingTwiceDoesNotFreeTheSlotTwice) {
  Particle& p = add(0, 0);
  level->remove(p);
  level->remove(p);
  EXPECT_EQ(level->count, 0);
  EXPECT_EQ(level->allocate()->slot, 0);
  EXPECT_EQ(level->allocate()->slot, 1);
}

TEST_F(LevelTest, ConnectMakesMatchingEntriesAndFlags) {
  struct Case {
    int32_t type;
    int32_t pSolid, qSolid, pJet, qJet, pHazard, qHazard, pOwner, qOwner, pFixed, qFixed;
  };
  const Case cases[] = {
      {Plain, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},   {Solid, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
      {Jet, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0},     {Surface, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1},
      {Hazard, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    level->reset();
    Particle& p = add(0, 0);
    Particle& q = add(3, 4);
    ASSERT_TRUE(level->connect(p, q, c.type));
    ASSERT_EQ(p.linkCount, 1);
    ASSERT_EQ(q.linkCount, 1);
    EXPECT_EQ(p.links[0].target, &q);
    EXPECT_EQ(q.links[0].target, &p);
    EXPECT_FLOAT_EQ(p.links[0].restLength, 5.0f);
    EXPECT_FLOAT_EQ(q.links[0].restLength, 5.0f);
    EXPECT_EQ(p.links[0].type, c.type);
    EXPECT_EQ(q.links[0].type, c.type);
    EXPECT_EQ(p.solid, c.pSolid);
    EXPECT_EQ(q.solid, c.qSolid);
    EXPECT_EQ(p.jet, c.pJet);
    EXPECT_EQ(q.jet, c.qJet);
    EXPECT_EQ(p.hazard, c.pHazard);
    EXPECT_EQ(q.hazard, c.qHazard);
    EXPECT_EQ(p.surfaceOwner, c.pOwner);
    EXPECT_EQ(q.surfaceOwner, c.qOwner);
    EXPECT_EQ(p.fixed, c.pFixed);
    EXPECT_EQ(q.fixed, c.qFixed);
  }
}

TEST_F(LevelTest, FlagsOutliveTheLinkButNotTheParticle) {
  Particle& p = add(0, 0);
  Particle& q = add(1, 0);
  level->connect(p, q, Surface);
  level->remove(q);
  EXPECT_EQ(p.linkCount, 0);
  EXPECT_TRUE(p.fixed);
  EXPECT_TRUE(p.surfaceOwner);
  EXPECT_FALSE(q.fixed);
  EXPECT_FALSE(q.inUse);
}

TEST_F(LevelTest, RemoveTakesExactlyOneEntryFromEachPartner) {
  Particle& hub = add(0, 0);
  Particle& a = add(1, 0);
  Particle& b = add(0, 2);
  Particle& c = add(3, 0);
  Particle& other = add(5, 5);
  level->connect(a, other, Jet);
  level->connect(hub, a, Plain);
  level->connect(b, hub, Solid);
  level->connect(hub, c, Hazard);
  level->connect(c, other, Plain);

  level->remove(hub);

  ASSERT_EQ(a.linkCount, 1);
  EXPECT_EQ(a.links[0].target, &other);
  EXPECT_EQ(a.links[0].type, Jet);
  EXPECT_EQ(b.linkCount, 0);
  ASSERT_EQ(c.linkCount, 1);
  EXPECT_EQ(c.links[0].target, &other);
  EXPECT_FLOAT_EQ(c.links[0].restLength, length(c.position - other.position));
  EXPECT_EQ(other.linkCount, 2);
  EXPECT_EQ(level->count, 4);
}

TEST_F(LevelTest, RemovingADoublyJoinedParticleClearsBothEntries) {
  // Joining twice makes two independent links; each of p's entries removes one.
  Particle& p = add(0, 0);
  Particle& q = add(1, 0);
  Particle& r = add(2, 0);
  level->connect(p, q, Plain);
  level->connect(q, r, Jet);
  level->connect(p, q, Solid);
  level->remove(p);
  ASSERT_EQ(q.linkCount, 1);
  EXPECT_EQ(q.links[0].target, &r);
  EXPECT_EQ(q.links[0].type, Jet);
}

TEST_F(LevelTest, ConnectRefusesAnEleventhLink) {
  Particle& hub = add(0, 0);
  for (int i = 0; i < kMaxLinks; ++i) {
    Particle& spoke = add(1.0f + i, 0);
    ASSERT_TRUE(level->connect(hub, spoke, Plain));
  }
  Particle& extra = add(0, 3);
  EXPECT_FALSE(level->connect(hub, extra, Solid));
  EXPECT_FALSE(level->connect(extra, hub, Solid));
  EXPECT_EQ(hub.linkCount, kMaxLinks);
  EXPECT_EQ(extra.linkCount, 0);
  EXPECT_FALSE(extra.solid);
}

TEST_F(LevelTest, FindNearPrefersTheLowerSlotOverTheNearer) {
  add(0.4f, 0);   // slot 0, 0.4 away
  add(0.1f, 0);   // slot 1, nearer
  Particle* found = level->findNear(Vec4(0, 0, 0), 0.5f);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->slot, 0);
}

TEST_F(LevelTest, FindNearIsStrictAndSkipsFreeSlots) {
  add(0.5f, 0);
  EXPECT_EQ(level->findNear(Vec4(0, 0, 0), 0.5f), nullptr);  // exactly at the radius
  Particle& gone = add(2, 2);
  level->remove(gone);
  EXPECT_EQ(level->findNear(Vec4(2, 2, 0), 0.5f), nullptr);
}

TEST_F(LevelTest, ResetEmptiesAndStops) {
  Particle& p = add(1, 1);
  level->connect(p, add(2, 2), Solid);
  level->run();
  level->reset();
  EXPECT_EQ(level->running, 0);
  EXPECT_EQ(level->count, 0);
  for (int i = 0; i < kLevelSlots; ++i) {
    const Particle& q = level->particles[i];
    EXPECT_FALSE(q.inUse);
    EXPECT_EQ(q.linkCount, 0);
    EXPECT_EQ(q.index, i);
    EXPECT_EQ(level->freeSlots[i], i);
    EXPECT_EQ(q.position.x, 0.0f);
  }
}

}  // namespace
}  // namespace pw
