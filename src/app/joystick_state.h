#pragma once
// The latest state read from the game controller. Only the x axis and the
// first three buttons mean anything to the game.

#include <cstdint>

namespace pw {

struct JoystickState {
  int32_t lX = 0;               // x axis, -1000 (full left) .. 1000 (full right)
  uint8_t rgbButtons[3] = {};   // non-zero while pressed: 0 jumps, 1 pins, 2 ragdolls
};

}  // namespace pw
