#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "level/game_world.h"
#include "level/level_sequence.h"
#include "scratch_directory.h"

namespace pw {
namespace {

// A folder holding the whole sequence; level n has n + 1 particles, so the
// count tells which file was loaded.
class SequenceFolder {
 public:
  SequenceFolder() {
    auto level = std::make_unique<Level>();
    for (int n = 0; n <= kClosingLevel; ++n) {
      level->reset();
      for (int i = 0; i <= n; ++i) level->allocate()->position = Vec4(static_cast<float>(i) * 0.1f, 0, 0);
      char name[32];
      levelFileName(n, name, sizeof name);
      EXPECT_TRUE(saveFile(*level, scratch_.file(name).c_str()).ok());
    }
  }
  const std::string& path() const { return scratch_.path(); }
  void removeLevel(int n) const {
    char name[32];
    levelFileName(n, name, sizeof name);
    std::remove(scratch_.file(name).c_str());
  }

 private:
  ScratchDirectory scratch_;
};

class LevelSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::snprintf(world->levelDirectory, sizeof world->levelDirectory, "%s", folder.path().c_str());
    world->flow.playing = 1;
  }

  SequenceFolder folder;
  std::unique_ptr<GameWorld> world = std::make_unique<GameWorld>();
};

TEST(GameWorld, StartsOnTheTitleScreenWithTheBodyBelowTheFloor) {
  auto world = std::make_unique<GameWorld>();
  EXPECT_EQ(world->flow.levelSequenceMode, 1);
  EXPECT_EQ(world->flow.playing, 0);
  EXPECT_EQ(world->flow.levelIndex, 0);
  EXPECT_EQ(world->flow.currentTool, 0);
  EXPECT_EQ(world->body.position.y, -9.0f);
  EXPECT_EQ(world->body.up.y, -1.0f);
  EXPECT_EQ(world->body.groundTimer, 0);
  EXPECT_TRUE(world->walker.alive);
  EXPECT_EQ(world->level.count, 0);
}

TEST(LevelFileName, NamesTheSequence) {
  struct Case {
    int n;
    const char* name;
  };
  const Case cases[] = {{0, "Level1.lev"}, {9, "Level10.lev"}, {19, "Level20.lev"}, {20, "end.lev"}};
  for (const Case& c : cases) {
    char name[32];
    ASSERT_TRUE(levelFileName(c.n, name, sizeof name));
    EXPECT_STREQ(name, c.name);
  }
  char name[32];
  EXPECT_FALSE(levelFileName(21, name, sizeof name));
  EXPECT_FALSE(levelFileName(-1, name, sizeof name));
}

TEST_F(LevelSequenceTest, LoadLevelPicksTheFileAndRunsIt) {
  struct Case {
    int n;
    int32_t count;
  };
  const Case cases[] = {{0, 1}, {19, 20}, {20, 21}};
  for (const Case& c : cases) {
    world->body.position = Vec4(3, 3, 0);
    world->body.velocity = Vec4(1, 1, 0);
    world->level.stop();
    EXPECT_TRUE(loadLevel(*world, c.n).ok());
    EXPECT_EQ(world->level.count, c.count);
    EXPECT_EQ(world->level.running, 1);  // saved stopped, runs in play
    EXPECT_EQ(world->flow.currentTool, kPlayTool);
    EXPECT_EQ(world->body.position.x, -4.5f);
    EXPECT_EQ(world->body.position.y, -4.7f);
    EXPECT_EQ(world->body.velocity.x, 0.0f);
  }
}

TEST_F(LevelSequenceTest, PastTheClosingLevelReturnsToTheTitle) {
  loadLevel(*world, 20);
  world->flow.levelIndex = 20;
  EXPECT_TRUE(loadLevel(*world, 21).ok());
  EXPECT_EQ(world->flow.playing, 0);
  EXPECT_EQ(world->flow.levelIndex, 0);
  EXPECT_EQ(world->flow.currentTool, 0);
  EXPECT_EQ(world->level.count, 21);  // end.lev stays loaded
}

TEST_F(LevelSequenceTest, EditorModeOnlyMovesTheBody) {
  world->flow.levelSequenceMode = 0;
  world->flow.currentTool = 4;
  EXPECT_TRUE(loadLevel(*world, 3).ok());
  EXPECT_EQ(world->level.count, 0);
  EXPECT_EQ(world->flow.currentTool, 4);
  EXPECT_EQ(world->body.position.x, -4.5f);
}

TEST_F(LevelSequenceTest, MissingFileIsReportedAndTheLevelStays) {
  loadLevel(*world, 2);
  folder.removeLevel(3);
  world->body.position = Vec4(1, 1, 0);
  const LevelFileResult result = loadLevel(*world, 3);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(std::string(result.reason).find("Level4.lev"), std::string::npos) << result.reason;
  EXPECT_EQ(world->level.count, 3);
  EXPECT_EQ(world->level.running, 1);
  EXPECT_EQ(world->body.position.x, -4.5f);
}

TEST_F(LevelSequenceTest, GoalLimitsAreStrict) {
  struct Case {
    float x, y;
    bool alive;
    bool advances;
  };
  const Case cases[] = {
      {4.71f, -4.61f, true, true},  {4.7f, -4.7f, true, false},   {4.71f, -4.6f, true, false},
      {4.71f, -4.61f, false, false}, {-4.5f, -4.7f, true, false},
  };
  for (const Case& c : cases) {
    world->flow.levelIndex = 5;
    world->walker.alive = c.alive ? 1 : 0;
    world->body.position = Vec4(c.x, c.y, 0);
    checkGoal(*world);
    EXPECT_EQ(world->flow.levelIndex, c.advances ? 6 : 5) << c.x << "," << c.y << "," << c.alive;
    if (c.advances) {
      EXPECT_EQ(world->level.count, 7);
    }
  }
}

TEST_F(LevelSequenceTest, RestartComesAfterOneHundredFiftyTicksOfTheDeathTimer) {
  world->flow.levelIndex = 4;
  world->walker.alive = 0;
  world->level.reset();
  for (int i = 0; i < 149; ++i) world->walker.deathTimer += 0.1f;
  checkRestart(*world);
  EXPECT_FALSE(world->walker.alive);
  EXPECT_EQ(world->level.count, 0);
  world->walker.deathTimer += 0.1f;  // 15.00002
  checkRestart(*world);
  EXPECT_TRUE(world->walker.alive);
  EXPECT_EQ(world->walker.deathTimer, 0.0f);
  EXPECT_EQ(world->level.count, 5);  // the same level again
  EXPECT_EQ(world->flow.levelIndex, 4);
}

}  // namespace
}  // namespace pw
