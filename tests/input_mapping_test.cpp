#include <gtest/gtest.h>

#include "app/input_mapping.h"

namespace pw {
namespace {

class InputMappingTest : public ::testing::Test {
 protected:
  TurnOutcome map(const InputEvent& event, bool remapped = false) {
    return mapTurn(TurnInput{event, remapped, joystick, joystickPresent, ClientSize{640, 480}}, input);
  }
  static InputEvent key(InputEventType type, int32_t k, bool repeat = false) {
    InputEvent e;
    e.type = type;
    e.key = k;
    e.repeat = repeat;
    return e;
  }
  static InputEvent mouse(InputEventType type, int16_t x = 0, int16_t y = 0) {
    InputEvent e;
    e.type = type;
    e.x = x;
    e.y = y;
    return e;
  }

  InputState input;
  JoystickState joystick;
  bool joystickPresent = true;
};

TEST_F(InputMappingTest, KeysSteerAndJumpWithOppositeSigns) {
  map(key(InputEventType::KeyDown, KeyA));
  map(key(InputEventType::KeyDown, KeyD));
  EXPECT_EQ(input.steerLeft + input.steerRight, 0);  // both held cancel
  map(key(InputEventType::KeyUp, KeyD));
  EXPECT_EQ(input.steerLeft + input.steerRight, 1);  // A still steers left
  map(key(InputEventType::KeyDown, KeyW));
  EXPECT_EQ(input.jump, 1);
  map(key(InputEventType::KeyUp, KeyW));
  EXPECT_EQ(input.jump, 0);
}

TEST_F(InputMappingTest, AutoRepeatSetsAnyKeyButChangesNothingElse) {
  input.joystickDriving = 1;
  map(key(InputEventType::KeyDown, KeyD, true));
  EXPECT_EQ(input.anyKey, 1);
  EXPECT_EQ(input.joystickDriving, 0);
  EXPECT_EQ(input.steerRight, 0);
}

TEST_F(InputMappingTest, EscapeAndCloseEndTheLoopRepeatsDoNot) {
  EXPECT_TRUE(map(key(InputEventType::KeyDown, KeyEscape)).quit);
  EXPECT_FALSE(map(key(InputEventType::KeyDown, KeyEscape, true)).quit);
  EXPECT_TRUE(map(mouse(InputEventType::Quit)).quit);
  EXPECT_FALSE(map(key(InputEventType::KeyDown, KeyA)).quit);
}

TEST_F(InputMappingTest, ReleasingXKillsOnceNotOnEveryRemap) {
  const InputEvent release = key(InputEventType::KeyUp, KeyX);
  EXPECT_TRUE(map(release).killRobot);
  EXPECT_FALSE(map(release, true).killRobot);
  EXPECT_FALSE(map(key(InputEventType::KeyDown, KeyX)).killRobot);  // acts on release only
}

TEST_F(InputMappingTest, RemappedKeyDownKeepsSettingAnyKey) {
  const InputEvent press = key(InputEventType::KeyDown, KeyW);
  map(press);
  input.anyKey = 0;  // cleared after the frame
  map(press, true);
  EXPECT_EQ(input.anyKey, 1);
}

TEST_F(InputMappingTest, MouseMapsByTheClientSize) {
  struct Case {
    int16_t x, y;
    float mouseX, mouseY;
  };
  const Case cases[] = {{0, 0, -1.0f, 1.0f}, {320, 240, 0.0f, 0.0f}, {640, 480, 1.0f, -1.0f}, {800, -10, 1.5f, 1.0416666f}};
  for (const Case& c : cases) {
    map(mouse(InputEventType::MouseMove, c.x, c.y));
    EXPECT_FLOAT_EQ(input.mouseX, c.mouseX);
    EXPECT_FLOAT_EQ(input.mouseY, c.mouseY);
  }
}

TEST_F(InputMappingTest, ButtonsAndTheOverlayToggle) {
  map(mouse(InputEventType::LeftDown));
  EXPECT_EQ(input.leftButton, 1);
  map(mouse(InputEventType::LeftUp));
  input.clickLatch = 1;
  map(mouse(InputEventType::LeftDown));
  EXPECT_EQ(input.leftButton, 0);  // latched: not recorded

  const InputEvent right = mouse(InputEventType::RightDown);
  for (int i = 0; i < 5; ++i) map(right, i > 0);  // held over many turns
  EXPECT_EQ(input.overlayToggle, 1);
  map(mouse(InputEventType::RightUp));
  map(right);
  EXPECT_EQ(input.overlayToggle, 0);
}

TEST_F(InputMappingTest, StickSteersAndOwnsTheKeysUntilAKeyIsPressed) {
  struct Case {
    int32_t lX;
    uint8_t button;
    int32_t steerLeft, steerRight, jump;
  };
  const Case cases[] = {
      {301, 0, 0, -1, 0}, {300, 0, 0, 0, 0}, {-301, 0, 1, 0, 0}, {-300, 0, 0, 0, 0}, {0, 1, 0, 0, 1},
  };
  for (const Case& c : cases) {
    input = InputState();
    input.joystickDriving = 1;
    joystick.lX = c.lX;
    joystick.rgbButtons[0] = c.button;
    map(InputEvent());
    EXPECT_EQ(input.steerLeft, c.steerLeft) << c.lX;
    EXPECT_EQ(input.steerRight, c.steerRight) << c.lX;
    EXPECT_EQ(input.jump, c.jump) << c.lX;
  }
}

TEST_F(InputMappingTest, WhileTheStickDrivesKeyReleasesAreIgnored) {
  joystick.lX = 900;
  map(key(InputEventType::KeyUp, KeyX));
  EXPECT_FALSE(map(key(InputEventType::KeyUp, KeyX)).killRobot);
  EXPECT_EQ(input.steerRight, -1);
  // A key press hands control back, but on the next turn with another event
  // the stick, still beyond 300, takes it again.
  map(key(InputEventType::KeyDown, KeyW));
  EXPECT_EQ(input.joystickDriving, 0);
  map(mouse(InputEventType::MouseMove, 5, 5));
  EXPECT_EQ(input.joystickDriving, 1);
  joystick.lX = 0;
  map(key(InputEventType::KeyDown, KeyW));
  EXPECT_EQ(input.joystickDriving, 0);
  EXPECT_TRUE(map(key(InputEventType::KeyUp, KeyX)).killRobot);
}

TEST_F(InputMappingTest, JoystickButtonStartsPlayLikeAKey) {
  joystick.rgbButtons[0] = 1;
  map(InputEvent());
  EXPECT_EQ(input.anyKey, 1);
  joystickPresent = false;
  input = InputState();
  map(InputEvent());
  EXPECT_EQ(input.anyKey, 0);
}

}  // namespace
}  // namespace pw
