#include "app/sdl_dialog_pause.h"

namespace pw {

void DialogPause::keepPicture() {
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  picture_.keep(width, height);
}

void DialogPause::whileOpen(void* context) {
  DialogPause& pause = *static_cast<DialogPause*>(context);
  pause.paused_ = true;
  // Pumping also answers the window manager's are-you-alive pings.
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
  SDL_FlushEvents(SDL_JOYAXISMOTION, SDL_JOYBUTTONUP);
  if (pause.picture_.show()) SDL_GL_SwapWindow(pause.window_);
}

bool DialogPause::takePaused() {
  const bool paused = paused_;
  paused_ = false;
  return paused;
}

}  // namespace pw
