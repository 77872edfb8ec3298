#pragma once
// The one place keyboard, mouse and joystick input is held. Everything the
// frame reads about input comes from here.

#include <cstdint>

namespace pw {

struct InputState {
  float mouseX = 0.0f;        // -1 (left edge) .. 1 (right edge) of the client area
  float mouseY = 0.0f;        // -1 (bottom) .. 1 (top)
  int32_t steerLeft = 0;      // 1 while A or the stick left is active
  int32_t steerRight = 0;     // -1 while D or the stick right is active: the sum steers
  int32_t jump = 0;           // 1 while W or joystick button 0 is held
  int32_t leftButton = 0;
  int32_t clickLatch = 0;     // while set, a left press is not recorded
  int32_t rightButton = 0;
  int32_t overlayToggle = 0;  // flipped on each right press
  uint8_t anyKey = 0;         // any key press this frame; cleared after every frame
  uint8_t joystickDriving = 0;  // the stick last drove steering: key releases ignored
};

}  // namespace pw
