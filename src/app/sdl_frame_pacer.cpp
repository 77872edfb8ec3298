#include "app/sdl_frame_pacer.h"

#include <chrono>
#include <thread>

namespace pw {

namespace {

constexpr int kFramesPerSecond = 60;
constexpr int kProbeFrames = 30;  // frames over which vsync must prove itself
constexpr int kWarmUpFrames = 5;  // first frames: start-up noise, not counted

}  // namespace

void FramePacer::start(SDL_Window* window) {
  frequency_ = SDL_GetPerformanceFrequency();
  period_ = frequency_ / kFramesPerSecond;
  deadline_ = 0;
  SDL_DisplayMode mode;
  const int display = SDL_GetWindowDisplayIndex(window);
  const bool sixtyHertz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 &&
                          mode.refresh_rate >= 59 && mode.refresh_rate <= 61;
  vsync_ = sixtyHertz && SDL_GL_SetSwapInterval(1) == 0;
  if (!vsync_) SDL_GL_SetSwapInterval(0);
  probeFrames_ = vsync_ ? kProbeFrames + kWarmUpFrames : 0;
}

void FramePacer::waitUntil(uint64_t deadline) const {
  // Sleep to a quarter of a millisecond before the deadline (a sleep may wake
  // a little late), then wait out the rest awake.
  const uint64_t margin = frequency_ / 4000;
  for (uint64_t now = SDL_GetPerformanceCounter(); now < deadline; now = SDL_GetPerformanceCounter()) {
    const uint64_t left = deadline - now;
    if (left > margin) {
      const uint64_t nanoseconds = (left - margin) * 1000000000ull / frequency_;
      std::this_thread::sleep_for(std::chrono::nanoseconds(nanoseconds));
    }
  }
}

void FramePacer::afterPresent() {
  const uint64_t now = SDL_GetPerformanceCounter();
  if (vsync_) {
    if (probeFrames_ == 0) return;
    if (--probeFrames_ == kProbeFrames) probeStart_ = now;
    if (probeFrames_ > 0) return;
    // A swap that does not block shows up as frames faster than the display.
    const uint64_t elapsed = now - probeStart_;
    if (elapsed >= period_ * kProbeFrames * 9 / 10) return;
    vsync_ = false;
    SDL_GL_SetSwapInterval(0);
    deadline_ = now + period_;
    return;
  }
  if (deadline_ == 0) deadline_ = now + period_;
  if (now > deadline_) {
    // Late: the next frame gets its full time; lost frames are not made up.
    deadline_ = now + period_;
    return;
  }
  waitUntil(deadline_);
  deadline_ += period_;
}

}  // namespace pw
