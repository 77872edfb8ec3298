#pragma once
// Holds the game at 60 frames a second on any display. The game advances one
// fixed step per frame, so the frame rate is the game's speed. Vsync is used
// only where the display runs at about 60 Hz and the swap is seen to block;
// elsewhere (no vsync, a virtual display, 120 or 144 Hz) a deadline paces the
// frames: sleep until shortly before it, then wait out the rest.

#include <SDL.h>

#include <cstdint>

namespace pw {

class FramePacer {
 public:
  // After the context exists: decides whether to try vsync.
  void start(SDL_Window* window);
  // After each present: waits for the frame's time.
  void afterPresent();

  bool usesVsync() const { return vsync_; }

 private:
  void waitUntil(uint64_t deadline) const;

  uint64_t frequency_ = 1;
  uint64_t period_ = 1;         // counter ticks per frame
  uint64_t deadline_ = 0;       // when the next frame may be shown (limiter)
  bool vsync_ = false;
  int probeFrames_ = 0;         // frames left to watch the swap
  uint64_t probeStart_ = 0;
};

}  // namespace pw
