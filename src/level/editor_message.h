#pragma once
// A one-line message for the user, shown by the window for a few seconds.
// Fixed storage: showing a message allocates nothing.

#include <cstdint>

namespace pw {

// About four seconds at 60 frames a second.
constexpr int32_t kMessageFrames = 240;

struct EditorMessage {
  char text[240] = {};
  int32_t framesLeft = 0;  // counts down once per editor frame; 0: hidden

  void show(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void tick() {
    if (framesLeft > 0) --framesLeft;
  }
  bool visible() const { return framesLeft > 0; }
};

}  // namespace pw
