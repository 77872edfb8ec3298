// The frame sequencer and the loop turn, played headless with a recorder.

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "app/frame.h"
#include "app/game.h"
#include "app/main_loop.h"
#include "level/level_sequence.h"
#include "render/recording_backend.h"
#include "scratch_directory.h"

#include "allocation_counter.h"

namespace pw {
namespace {

Particle* put(Level& level, float x, float y) {
  Particle* p = level.allocate();
  p->position = p->previous = Vec4(x, y, 0);
  return p;
}

// A floor-level walk with a solid ramp, a rope and a jet; level n of the
// sequence also carries n + 1 loose masses up high so tests can tell levels apart.
void buildLevel(Level& level, int n) {
  level.reset();
  Particle* a = put(level, -1, -4.6f);
  Particle* b = put(level, 1, -4.0f);
  a->fixed = b->fixed = 1;
  level.connect(*a, *b, Solid);
  Particle* anchor = put(level, 2, 3);
  anchor->fixed = 1;
  level.connect(*anchor, *put(level, 2.5f, 3), Plain);
  level.connect(*put(level, -3, 2), *put(level, -2.5f, 2), Jet);
  for (int i = 0; i <= n; ++i) put(level, -4.0f + 0.35f * i, 4.5f);
}

class LevelFolder {
 public:
  LevelFolder() {
    auto level = std::make_unique<Level>();
    for (int n = 0; n <= kClosingLevel; ++n) {
      buildLevel(*level, n);
      char name[32];
      levelFileName(n, name, sizeof name);
      EXPECT_TRUE(saveFile(*level, scratch_.file(name).c_str()).ok());
    }
  }
  const std::string& path() const { return scratch_.path(); }

 private:
  ScratchDirectory scratch_;
};

constexpr int32_t kBatchVertices = 1 << 16;

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    batch.vertices = storage.get();
    batch.capacity = kBatchVertices;
    batch.backend = &recorder;
    game->batch = &batch;
    std::snprintf(game->world.levelDirectory, sizeof game->world.levelDirectory, "%s", folder.path().c_str());
  }

  void key(InputEventType type, int32_t k) {
    InputEvent e;
    e.type = type;
    e.key = k;
    eventTurn(*game, loop, e);
  }
  void frames(int n) {
    for (int i = 0; i < n; ++i) {
      recorder.clearDraws();
      ASSERT_TRUE(frameTurn(*game, loop).ok());
    }
  }
  void startFromTitle() {
    key(InputEventType::KeyDown, KeyW);
    key(InputEventType::KeyUp, KeyW);
    frames(1);
    ASSERT_EQ(game->world.flow.playing, 1);
  }
  void expectDraw(int i, TextureName texture, BlendState blend) {
    ASSERT_LT(i, recorder.drawCount());
    EXPECT_EQ(recorder.drawAt(i).texture, texture) << "draw " << i;
    EXPECT_EQ(recorder.drawAt(i).blend, blend) << "draw " << i;
  }
  int32_t looseMasses() const { return game->world.level.count - 6; }

  LevelFolder folder;
  std::unique_ptr<FrameVertex[]> storage = std::make_unique<FrameVertex[]>(kBatchVertices);
  RecordingBackend recorder;
  VertexBatch batch;
  std::unique_ptr<Game> game = std::make_unique<Game>();
  LoopState loop;
};

TEST_F(FrameTest, TitleScreenDrawsTheRoomAndTheTitleAndWaits) {
  game->input.mouseX = 0.7f;
  frames(30);
  EXPECT_EQ(game->world.flow.playing, 0);
  EXPECT_EQ(game->input.mouseX, 0.0f);
  ASSERT_EQ(recorder.drawCount(), 6);
  expectDraw(0, TextureName::Exp20, BlendState::Blended);  // floor
  expectDraw(1, TextureName::Exp22, BlendState::Blended);  // left wall
  expectDraw(2, TextureName::Exp22, BlendState::Blended);  // right wall
  expectDraw(3, TextureName::Exp20, BlendState::Blended);  // ceiling
  expectDraw(4, TextureName::Exp20, BlendState::Blended);  // back wall
  expectDraw(5, TextureName::Title, BlendState::Additive);
}

TEST_F(FrameTest, AKeyOrAClickStartsTheFirstLevel) {
  startFromTitle();
  EXPECT_EQ(game->world.flow.levelIndex, 0);
  EXPECT_EQ(game->world.flow.currentTool, kPlayTool);
  EXPECT_EQ(game->world.level.running, 1);
  EXPECT_EQ(looseMasses(), 1);
  EXPECT_EQ(game->world.body.position.x, -4.5f);

  auto clicked = std::make_unique<Game>();
  clicked->batch = &batch;
  std::snprintf(clicked->world.levelDirectory, sizeof clicked->world.levelDirectory, "%s", folder.path().c_str());
  InputEvent click;
  click.type = InputEventType::LeftDown;
  LoopState clickLoop;
  eventTurn(*clicked, clickLoop, click);
  frameTurn(*clicked, clickLoop);
  EXPECT_EQ(clicked->world.flow.playing, 1);
}

TEST_F(FrameTest, PlayFrameFlushesRoomRobotParticlesAndLinks) {
  startFromTitle();
  frames(300);
  ASSERT_EQ(recorder.drawCount(), 8);
  expectDraw(4, TextureName::Exp20, BlendState::Blended);
  expectDraw(5, TextureName::Gradbw, BlendState::Blended);    // robot
  expectDraw(6, TextureName::Particle, BlendState::Additive); // masses
  expectDraw(7, TextureName::None, BlendState::Blended);      // links
  // 21 tubes of 14 vertices plus their joins; a sprite per mass and one more
  // per jet mass; a band per link entry.
  EXPECT_GE(recorder.drawAt(5).count, 21 * 14);
  EXPECT_EQ(game->world.walker.alive, 1);
}

TEST_F(FrameTest, SteeringPushesAlongTheGroundAndDrivesTheRobot) {
  startFromTitle();
  frames(30);  // settle on the bottom
  ASSERT_GT(game->world.body.groundTimer, 0);
  key(InputEventType::KeyDown, KeyD);
  frames(1);
  EXPECT_FLOAT_EQ(game->world.body.push.x, 0.021f);
  EXPECT_EQ(game->world.body.push.y, 0.0f);
  frames(60);
  EXPECT_GT(game->world.walker.speed, 0.15f);  // driven with d.x limited to 2000
  EXPECT_GT(game->world.body.position.x, -4.0f);

  key(InputEventType::KeyUp, KeyD);
  const float push = game->world.body.push.x;
  frames(1);
  EXPECT_FLOAT_EQ(game->world.body.push.x, push * 0.9f);
}

TEST_F(FrameTest, TheDriveVectorTurnsTheRobotTheWaySteered) {
  startFromTitle();
  frames(30);
  key(InputEventType::KeyDown, KeyD);
  frames(1);
  EXPECT_FLOAT_EQ(game->world.walker.steerDirection.x, 1.0f);
  key(InputEventType::KeyUp, KeyD);
  key(InputEventType::KeyDown, KeyA);
  frames(1);
  EXPECT_FLOAT_EQ(game->world.walker.steerDirection.x, -1.0f);
  // Both keys: no steering, the robot keeps its last direction.
  key(InputEventType::KeyDown, KeyD);
  frames(1);
  EXPECT_FLOAT_EQ(game->world.walker.steerDirection.x, -1.0f);
}

TEST_F(FrameTest, EditorModeStartsEmptyAndDrawsTheCursorAndToolbar) {
  game->world.flow.levelSequenceMode = 0;
  game->world.flow.currentTool = 3;
  startFromTitle();
  EXPECT_EQ(game->world.level.count, 0);
  EXPECT_EQ(game->world.flow.currentTool, 3);
  frames(1);
  ASSERT_EQ(recorder.drawCount(), 7);  // room, robot, cursor: no masses or links to draw
  expectDraw(5, TextureName::Gradbw, BlendState::Blended);
  expectDraw(6, TextureName::Particle, BlendState::Additive);
  EXPECT_EQ(game->world.flow.currentTool, 3);  // the camera does not follow

  InputEvent right;
  right.type = InputEventType::RightDown;
  eventTurn(*game, loop, right);
  frames(1);
  ASSERT_EQ(recorder.drawCount(), 8);
  expectDraw(7, TextureName::Toolhud, BlendState::Additive);
}

TEST_F(FrameTest, JumpNeedsGroundAndFollowsTheTilt) {
  startFromTitle();
  frames(30);
  PlayerBody& body = game->world.body;
  ASSERT_GT(body.groundTimer, 0);
  key(InputEventType::KeyDown, KeyW);
  frames(1);
  // The jump frame adds 0.05 up; the body step then adds gravity.
  EXPECT_NEAR(body.velocity.y, 0.05f * std::cos(game->world.walker.body.tilt) - 0.001f, 0.0011f);
  EXPECT_GT(body.velocity.y, 0.04f);
  EXPECT_EQ(body.groundTimer, 0);
  const float vy = body.velocity.y;
  frames(1);  // still held, but in the air: no second jump
  EXPECT_LT(body.velocity.y, vy);
}

TEST_F(FrameTest, ReleasingXKillsOnceAndTheRestartedRobotLives) {
  startFromTitle();
  frames(10);
  key(InputEventType::KeyDown, KeyX);
  key(InputEventType::KeyUp, KeyX);
  EXPECT_EQ(game->world.walker.alive, 0);
  frames(150);
  EXPECT_EQ(game->world.walker.alive, 0);
  frames(1);  // the death timer passed 15: the level reloads
  EXPECT_EQ(game->world.walker.alive, 1);
  // The release is still the last event and is mapped after every frame.
  frames(300);
  EXPECT_EQ(game->world.walker.alive, 1);
}

TEST_F(FrameTest, GoalLoadsTheNextLevelAndTheClosingLevelReturnsToTitle) {
  startFromTitle();
  GameWorld& world = game->world;
  world.body.position = Vec4(4.8f, -4.7f, 0);
  frames(1);
  EXPECT_EQ(world.flow.levelIndex, 1);
  EXPECT_EQ(looseMasses(), 2);
  EXPECT_EQ(world.body.position.x < 0.0f, true);

  world.flow.levelIndex = kClosingLevel;
  loadLevel(world, kClosingLevel);
  world.body.position = Vec4(4.8f, -4.7f, 0);
  frames(1);
  EXPECT_EQ(world.flow.playing, 0);
  EXPECT_EQ(world.flow.levelIndex, 0);
  EXPECT_EQ(recorder.drawCount(), 8);  // the play steps still ran once
  frames(1);
  EXPECT_EQ(recorder.drawAt(recorder.drawCount() - 1).texture, TextureName::Title);
}

TEST_F(FrameTest, MissingLevelIsReportedAndPlayGoesOn) {
  startFromTitle();
  char name[32];
  levelFileName(1, name, sizeof name);
  std::remove((folder.path() + "/" + name).c_str());
  game->world.body.position = Vec4(4.8f, -4.7f, 0);
  recorder.clearDraws();
  const LevelFileResult result = frameTurn(*game, loop);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(std::string(result.reason).find("Level2.lev"), std::string::npos);
  EXPECT_EQ(game->world.flow.levelIndex, 1);
  EXPECT_EQ(looseMasses(), 1);  // level 1 stays
  EXPECT_EQ(game->world.body.position.x < 0.0f, true);
  EXPECT_EQ(game->world.level.running, 1);
}

TEST_F(FrameTest, PlayFramesAllocateNothing) {
  startFromTitle();
  key(InputEventType::KeyDown, KeyD);
  frames(10);
  const long before = g_allocations.load();
  for (int i = 0; i < 1000; ++i) {
    recorder.clearDraws();
    frameTurn(*game, loop);
    if (i == 500) {
      InputEvent e;
      e.type = InputEventType::KeyUp;
      e.key = KeyX;
      eventTurn(*game, loop, e);  // a death and a restart in between
    }
  }
  EXPECT_EQ(g_allocations.load() - before, 0);
}

}  // namespace
}  // namespace pw
