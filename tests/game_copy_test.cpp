// A copied game runs on bit for bit like the original and shares nothing
// with it that a frame changes.

#include "app/game_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/frame.h"
#include "app/game.h"
#include "app/main_loop.h"
#include "level/level_file.h"
#include "level_image.h"
#include "render/null_backend.h"

namespace pw {
namespace {

template <typename T>
void appendBytes(std::vector<uint8_t>& out, const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), p, p + sizeof value);
}

// Everything a frame reads or writes, without the pointers themselves.
std::vector<uint8_t> stateOf(Game& game) {
  std::vector<uint8_t> out(kLevelFileSize);
  prepareForSave(game.world.level);
  encodeLevel(game.world.level, out.data());
  appendBytes(out, game.world.body);
  appendBytes(out, game.world.flow);
  const Walker& w = game.world.walker;
  for (float f : {w.speed, w.heading, w.gaitPhase, w.deathTimer, w.body.tilt}) appendBytes(out, f);
  appendBytes(out, w.alive);
  for (const Particle& p : w.body.particles) {
    appendBytes(out, p.position);
    appendBytes(out, p.previous);
  }
  for (const BodyJoint& j : w.body.joints) appendBytes(out, j.world);
  appendBytes(out, game.camera.cameraPoint);
  return out;
}

// Moving parts of every kind: a jet pair, a free solid bar that falls on a
// hazard-free floor beam, a surface overhead, and a hazard far away.
std::unique_ptr<Level> busyLevel() {
  auto level = std::make_unique<Level>();
  level->reset();
  Particle& floorA = addAt(*level, -5.0f, -4.0f);
  Particle& floorB = addAt(*level, 0.0f, -4.6f);
  Particle& barA = addAt(*level, -3.8f, -2.0f);
  Particle& barB = addAt(*level, -3.0f, -2.2f);
  Particle& jetA = addAt(*level, 1.0f, 1.0f);
  Particle& jetB = addAt(*level, 2.0f, 1.0f);
  Particle& roofA = addAt(*level, -2.0f, -2.5f);
  Particle& roofB = addAt(*level, 2.0f, -2.5f);
  Particle& spikeA = addAt(*level, 4.0f, 3.0f);
  Particle& spikeB = addAt(*level, 4.5f, 3.5f);
  floorA.fixed = 1;
  level->connect(floorA, floorB, Solid);
  level->connect(barA, barB, Solid);
  level->connect(jetA, jetB, Jet);
  level->connect(jetB, barB, Plain);
  level->connect(roofA, roofB, Surface);
  level->connect(spikeA, spikeB, Hazard);
  return level;
}

struct Session {
  std::unique_ptr<Game> game = std::make_unique<Game>();
  LoopState loop;
};

void press(Session& run, int32_t key, bool down) {
  InputEvent event;
  event.type = down ? InputEventType::KeyDown : InputEventType::KeyUp;
  event.key = key;
  eventTurn(*run.game, run.loop, event);
}

void frames(Session& run, int n) {
  for (int i = 0; i < n; ++i) frameTurn(*run.game, run.loop);
}

class GameCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    batch.backend = &backend;
    auto level = busyLevel();
    path = dir.file("busy.lev");
    ASSERT_TRUE(saveFile(*level, path.c_str()).ok());
    original.game->batch = &batch;
    ASSERT_TRUE(startPlay(*original.game, path.c_str()).ok());
  }

  Session copyOf(const Session& from) {
    Session to;
    copyGame(*from.game, *to.game);
    to.loop = from.loop;
    return to;
  }

  // The same keys for both: walk right, jump, walk on, then die by X.
  static void sameInput(Session& run) {
    press(run, KeyD, true);
    frames(run, 30);
    press(run, KeyW, true);
    frames(run, 25);
    press(run, KeyW, false);
    frames(run, 40);
    press(run, KeyX, true);
    press(run, KeyX, false);  // releasing X kills the robot: the ragdoll's links are copied too
    frames(run, 60);
  }

  NullBackend backend;
  VertexBatch& batch = frameBatch();
  ScratchDirectory dir;
  std::string path;
  Session original;
};

TEST_F(GameCopyTest, CopyContinuesBitForBitLikeTheOriginal) {
  press(original, KeyA, true);
  frames(original, 50);  // everything in motion before the copy
  press(original, KeyA, false);
  Session copy = copyOf(original);
  ASSERT_EQ(stateOf(*copy.game), stateOf(*original.game));

  sameInput(original);
  sameInput(copy);
  EXPECT_FALSE(original.game->world.walker.alive);
  EXPECT_EQ(stateOf(*copy.game), stateOf(*original.game));

  // A copy of the dead robot restarts the level on the same frame.
  Session second = copyOf(original);
  frames(original, 100);
  frames(second, 100);
  EXPECT_TRUE(original.game->world.walker.alive);
  EXPECT_EQ(stateOf(*second.game), stateOf(*original.game));
}

TEST_F(GameCopyTest, CopyPointsOnlyIntoItself) {
  frames(original, 20);
  Session copy = copyOf(original);
  const Level& level = copy.game->world.level;
  for (const Particle& p : level.particles) {
    for (const ParticleLink& link : p.links) {
      if (link.target == nullptr) continue;
      EXPECT_GE(link.target, level.particles);
      EXPECT_LT(link.target, level.particles + kLevelSlots);
    }
  }
  const WalkerBody& body = copy.game->world.walker.body;
  for (const Particle& p : body.particles) {
    for (int k = 0; k < p.linkCount; ++k) {
      EXPECT_GE(p.links[k].target, body.particles);
      EXPECT_LT(p.links[k].target, body.particles + kWalkerParticles);
    }
    for (int k = 0; k < p.spacerCount; ++k) {
      EXPECT_GE(p.spacers[k].other, body.particles);
      EXPECT_LT(p.spacers[k].other, body.particles + kWalkerParticles);
    }
  }
  // Running the original on does not move the copy.
  const std::vector<uint8_t> before = stateOf(*copy.game);
  press(original, KeyD, true);
  frames(original, 30);
  EXPECT_EQ(stateOf(*copy.game), before);
  EXPECT_NE(stateOf(*original.game), before);
}

}  // namespace
}  // namespace pw
