// The editor in the main loop: Ctrl+Z and Ctrl+Y, and the click that leaves
// the title screen.

#include <gtest/gtest.h>

#include <memory>

#include "app/game.h"
#include "app/main_loop.h"
#include "render_test_batch.h"

namespace pw {
namespace {

InputEvent keyDown(int32_t key, EditShortcut shortcut, bool repeat = false) {
  InputEvent e;
  e.type = InputEventType::KeyDown;
  e.key = key;
  e.shortcut = shortcut;
  e.repeat = repeat;
  return e;
}

InputEvent mouse(InputEventType type, int16_t x, int16_t y) {
  InputEvent e;
  e.type = type;
  e.x = x;
  e.y = y;
  return e;
}

TEST(EditShortcutMapping, AsksOncePerPressAndNeitherSteersNorJumps) {
  const JoystickState joystick;
  struct Case {
    const char* name;
    InputEvent event;
    bool remapped;
    EditShortcut expected;
  };
  const Case cases[] = {
      {"Ctrl+Z", keyDown(KeyOther, EditShortcut::Undo), false, EditShortcut::Undo},
      {"Ctrl+Y", keyDown(KeyOther, EditShortcut::Redo), false, EditShortcut::Redo},
      // On AZERTY the key that prints Z sits where W is.
      {"Ctrl+Z on the W position", keyDown(KeyW, EditShortcut::Undo), false, EditShortcut::Undo},
      {"Ctrl+Y on the A position", keyDown(KeyA, EditShortcut::Redo), false, EditShortcut::Redo},
      {"held: auto-repeat", keyDown(KeyOther, EditShortcut::Undo, true), false, EditShortcut::Undo},
      {"mapped again after a frame", keyDown(KeyOther, EditShortcut::Undo), true, EditShortcut::None},
      {"plain W", keyDown(KeyW, EditShortcut::None), false, EditShortcut::None},
  };
  for (const Case& c : cases) {
    InputState input;
    const TurnOutcome outcome = mapTurn(TurnInput{c.event, c.remapped, joystick, false, ClientSize{}}, input);
    EXPECT_EQ(outcome.edit, c.expected) << c.name;
    EXPECT_FALSE(outcome.quit) << c.name;
    if (c.event.shortcut != EditShortcut::None) {
      EXPECT_EQ(input.jump, 0) << c.name;
      EXPECT_EQ(input.steerLeft, 0) << c.name;
    }
  }
}

class EditorLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    game->batch = &drawing->batch;
    game->world.flow.levelSequenceMode = 0;
    loop.client = ClientSize{640, 480};
  }

  void turn(const InputEvent& e) { eventTurn(*game, loop, e); }
  void frames(int n) {
    for (int i = 0; i < n; ++i) frameTurn(*game, loop);
  }
  // A click at a client pixel, held over a few frames.
  void click(int16_t x, int16_t y) {
    turn(mouse(InputEventType::MouseMove, x, y));
    turn(mouse(InputEventType::LeftDown, x, y));
    frames(3);
    turn(mouse(InputEventType::LeftUp, x, y));
    frames(1);
  }
  void startPlay() {
    click(320, 240);
    ASSERT_EQ(game->world.flow.playing, 1);
  }
  int32_t masses() const { return game->world.level.count; }

  std::unique_ptr<TestBatch<8192>> drawing = std::make_unique<TestBatch<8192>>();
  std::unique_ptr<Game> game = std::make_unique<Game>();
  LoopState loop;
};

TEST_F(EditorLoop, TheClickThatStartsPlayAddsNoMass) {
  // Held over several frames of play, and mapped again after each.
  turn(mouse(InputEventType::MouseMove, 100, 100));
  turn(mouse(InputEventType::LeftDown, 100, 100));
  frames(10);
  ASSERT_EQ(game->world.flow.playing, 1);
  EXPECT_EQ(masses(), 0);
  turn(mouse(InputEventType::LeftUp, 100, 100));
  frames(1);
  click(200, 200);
  EXPECT_EQ(masses(), 1);
}

TEST_F(EditorLoop, CtrlZAndCtrlYUndoAndRedoOneStepEach) {
  startPlay();
  click(100, 240);
  click(540, 240);
  ASSERT_EQ(masses(), 2);

  turn(keyDown(KeyOther, EditShortcut::Undo));
  EXPECT_EQ(masses(), 1);
  frames(5);  // the key-down is mapped again after every frame
  EXPECT_EQ(masses(), 1);
  turn(keyDown(KeyOther, EditShortcut::Undo, true));
  EXPECT_EQ(masses(), 0);
  turn(keyDown(KeyOther, EditShortcut::Undo));  // nothing left: a message, nothing else
  EXPECT_EQ(masses(), 0);
  EXPECT_TRUE(game->editor.message.visible());

  turn(keyDown(KeyW, EditShortcut::Redo));
  frames(5);
  EXPECT_EQ(masses(), 1);
  EXPECT_EQ(game->input.jump, 0);
  turn(keyDown(KeyOther, EditShortcut::Redo));
  EXPECT_EQ(masses(), 2);
}

TEST_F(EditorLoop, ShortcutsDoNothingInTheGameOrOnTheTitleScreen) {
  // On the editor's title screen the level is not being edited yet.
  turn(keyDown(KeyOther, EditShortcut::Undo));
  EXPECT_FALSE(game->editor.message.visible());

  // The game's level is not the editor's to undo.
  game->world.flow.levelSequenceMode = 1;
  game->world.flow.playing = 1;
  game->editor.history.beginChange(game->world.level);
  game->world.level.allocate();
  game->editor.history.commit(game->world.level);
  turn(keyDown(KeyOther, EditShortcut::Undo));
  EXPECT_EQ(masses(), 1);
}

}  // namespace
}  // namespace pw
