#pragma once
// While a file dialog is open the frame that opened it waits inside the
// editor. Meanwhile the window keeps answering its display and shows its
// last picture again; clicks and keys meant for it are dropped, since the
// dialog has the user's attention. A window close waits in the queue and
// ends the game once the dialog is done.

#include <SDL.h>

#include "render/gl_last_picture.h"

namespace pw {

class DialogPause {
 public:
  explicit DialogPause(SDL_Window* window) : window_(window) {}

  // After a frame, in editor mode: the picture about to be presented.
  void keepPicture();
  // The DesktopFileChooser's idle function; context is the DialogPause.
  static void whileOpen(void* context);
  // True once after a frame in which a dialog was open: that frame stopped
  // half-drawn, so its picture must not be presented.
  bool takePaused();
  void release() { picture_.release(); }

 private:
  SDL_Window* window_;
  LastPicture picture_;
  bool paused_ = false;
};

}  // namespace pw
