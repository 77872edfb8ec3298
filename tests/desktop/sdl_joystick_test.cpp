// The joystick through SDL, driven by SDL's virtual joystick: one attached
// after start-up is picked up, the stick steers, button 0 jumps, and pulling
// it out lets go of everything it held.

#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <vector>

#include "app/frame.h"
#include "app/game.h"
#include "app/main_loop.h"
#include "app/sdl_input.h"
#include "app/sdl_joystick.h"
#include "render/null_backend.h"

namespace pw {
namespace {

class VirtualJoystick : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    initJoystick();  // nothing attached yet
    storage_.resize(1 << 16);
    batch_.vertices = storage_.data();
    batch_.capacity = static_cast<int32_t>(storage_.size());
    batch_.backend = &backend_;
    game_ = std::make_unique<Game>();
    game_->batch = &batch_;
  }
  void TearDown() override {
    if (stick_ != nullptr) SDL_JoystickClose(stick_);
    releaseJoystick();
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    SDL_Quit();
  }

  void attach() {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 3, 0);
    ASSERT_GE(index_, 0) << SDL_GetError();
    stick_ = SDL_JoystickOpen(index_);  // the test's own handle, to move the stick
    ASSERT_NE(stick_, nullptr) << SDL_GetError();
  }

  // One turn of the game's loop per waiting event, then frames.
  void turns(int frames) {
    for (int i = 0; i < frames; ++i) {
      pollJoystick(game_->joystick);
      SDL_Event event;
      while (SDL_PollEvent(&event)) {
        handleJoystickDevice(event, game_->joystick);
        eventTurn(*game_, loop_, toInputEvent(event));
        pollJoystick(game_->joystick);
      }
      frameTurn(*game_, loop_);
    }
  }

  // Play on a solid floor across the box.
  void startOnFloor() {
    std::snprintf(game_->world.levelDirectory, sizeof game_->world.levelDirectory, "/nonexistent");
    startPlay(*game_, nullptr);
    Level& level = game_->world.level;
    Particle* a = level.allocate();
    Particle* b = level.allocate();
    a->position = a->previous = Vec4(-4.9f, -4.9f, 0.0f);
    b->position = b->previous = Vec4(4.9f, -4.9f, 0.0f);
    a->fixed = b->fixed = 1;
    level.connect(*a, *b, Solid);
    turns(200);  // fall and settle
  }

  NullBackend backend_;
  std::vector<FrameVertex> storage_;
  VertexBatch batch_;
  std::unique_ptr<Game> game_;
  LoopState loop_;
  int index_ = -1;
  SDL_Joystick* stick_ = nullptr;
};

TEST(JoystickAxis, ScalesToThousands) {
  struct Case {
    Sint16 raw;
    int32_t expected;
  };
  const Case cases[] = {{-32768, -1000}, {-16384, -500}, {0, 0}, {9830, 299}, {9831, 300}, {32767, 1000}};
  for (const Case& c : cases) EXPECT_EQ(scaleJoystickAxis(c.raw), c.expected) << c.raw;
}

TEST_F(VirtualJoystick, AttachedLaterItSteersRight) {
  startOnFloor();
  attach();
  SDL_JoystickSetVirtualAxis(stick_, 0, 32767);
  const float startX = game_->world.body.position.x;
  turns(60);
  EXPECT_EQ(game_->joystick.lX, 1000);
  EXPECT_EQ(game_->input.steerRight, -1);
  EXPECT_EQ(game_->input.steerLeft, 0);
  EXPECT_GT(game_->world.body.position.x, startX + 0.3f);

  SDL_JoystickSetVirtualAxis(stick_, 0, -32768);
  turns(2);
  EXPECT_EQ(game_->input.steerLeft, 1);
  EXPECT_EQ(game_->input.steerRight, 0);
}

TEST_F(VirtualJoystick, ButtonZeroJumps) {
  startOnFloor();
  attach();
  turns(2);
  const float restY = game_->world.body.position.y;
  SDL_JoystickSetVirtualButton(stick_, 0, SDL_PRESSED);
  float highest = restY;
  for (int i = 0; i < 30; ++i) {
    turns(1);
    if (game_->world.body.position.y > highest) highest = game_->world.body.position.y;
  }
  EXPECT_EQ(game_->input.jump, 1);
  EXPECT_GT(highest, restY + 0.2f);
}

TEST_F(VirtualJoystick, PulledOutItLetsGo) {
  attach();
  SDL_JoystickSetVirtualAxis(stick_, 0, 32767);
  SDL_JoystickSetVirtualButton(stick_, 2, SDL_PRESSED);
  turns(2);
  ASSERT_EQ(game_->input.steerRight, -1);
  ASSERT_NE(game_->joystick.rgbButtons[2], 0);

  SDL_JoystickClose(stick_);
  stick_ = nullptr;
  ASSERT_EQ(SDL_JoystickDetachVirtual(index_), 0);
  index_ = -1;
  turns(2);
  EXPECT_EQ(game_->joystick.lX, 0);
  EXPECT_EQ(game_->joystick.rgbButtons[2], 0);
  EXPECT_EQ(game_->input.steerRight, 0);
}

}  // namespace
}  // namespace pw
