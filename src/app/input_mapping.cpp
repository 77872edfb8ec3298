#include "app/input_mapping.h"

namespace pw {

float mouseXFromClient(int32_t x, const ClientSize& client) {
  return static_cast<float>(static_cast<double>(x) / client.width * 2.0 - 1.0);
}

float mouseYFromClient(int32_t y, const ClientSize& client) {
  return static_cast<float>(static_cast<double>(y) / client.height * -2.0 + 1.0);
}

namespace {

void mapMouse(const InputEvent& event, const ClientSize& client, InputState& input) {
  switch (event.type) {
    case InputEventType::MouseMove:
      input.mouseY = mouseYFromClient(event.y, client);
      input.mouseX = mouseXFromClient(event.x, client);
      break;
    case InputEventType::LeftDown:
      if (input.clickLatch == 0) input.leftButton = 1;
      break;
    case InputEventType::LeftUp:
      input.leftButton = 0;
      break;
    case InputEventType::RightDown:
      // A held button flips the toggle once.
      if (input.rightButton == 0) input.overlayToggle = input.overlayToggle == 0 ? 1 : 0;
      input.rightButton = 1;
      break;
    case InputEventType::RightUp:
      input.rightButton = 0;
      break;
    default:
      break;
  }
}

void mapJoystick(const JoystickState& joystick, InputState& input) {
  const int32_t lx = joystick.lX;
  const bool button = joystick.rgbButtons[0] != 0;
  if (input.joystickDriving) {
    if (lx < kStickThreshold && lx > -kStickThreshold) input.steerRight = input.steerLeft = 0;
    if (!button) input.jump = 0;
  }
  if (lx > kStickThreshold) {
    input.steerRight = -1;
    input.steerLeft = 0;
    input.joystickDriving = 1;
  }
  if (lx < -kStickThreshold) {
    input.steerLeft = 1;
    input.steerRight = 0;
    input.joystickDriving = 1;
  }
  if (button) {
    input.jump = 1;
    input.joystickDriving = 1;
    input.anyKey = 1;
  }
}

// Returns true when the loop must end.
bool mapKeyDown(const InputEvent& event, bool remapped, InputState& input, TurnOutcome& outcome) {
  input.joystickDriving = 0;
  input.anyKey = 1;
  if (event.shortcut != EditShortcut::None) {
    // A shortcut neither steers nor jumps, whichever key it sits on; each
    // press and each auto-repeat asks once, never a re-mapping.
    if (!remapped) outcome.edit = event.shortcut;
    return false;
  }
  if (event.repeat) return false;
  switch (event.key) {
    case KeyEscape:
      return true;
    case KeyA:
      input.steerLeft = 1;
      break;
    case KeyD:
      input.steerRight = -1;
      break;
    case KeyW:
      input.jump = 1;
      break;
    default:
      break;
  }
  return false;
}

void mapKeyUp(const InputEvent& event, bool remapped, InputState& input, TurnOutcome& outcome) {
  if (input.joystickDriving) return;
  switch (event.key) {
    case KeyA:
      input.steerLeft = 0;
      break;
    case KeyD:
      input.steerRight = 0;
      break;
    case KeyW:
      input.jump = 0;
      break;
    case KeyX:
      // The release kills once. Mapping the same release again after every
      // frame would kill the restarted robot over and over.
      if (!remapped) outcome.killRobot = true;
      break;
    default:
      break;
  }
}

}  // namespace

TurnOutcome mapTurn(const TurnInput& turn, InputState& input) {
  TurnOutcome outcome;
  mapMouse(turn.event, turn.client, input);
  if (turn.joystickPresent) mapJoystick(turn.joystick, input);
  switch (turn.event.type) {
    case InputEventType::KeyDown:
      outcome.quit = mapKeyDown(turn.event, turn.remapped, input, outcome);
      break;
    case InputEventType::KeyUp:
      mapKeyUp(turn.event, turn.remapped, input, outcome);
      break;
    case InputEventType::Quit:
      outcome.quit = true;
      break;
    default:
      break;
  }
  return outcome;
}

}  // namespace pw
