#pragma once
// A copy of the picture last presented, so the window can show it again
// while the frame that would replace it is held up (a file dialog is open in
// the middle of it). Needs the renderer's context to be current.

#include <epoxy/gl.h>

namespace pw {

class LastPicture {
 public:
  // Copies the back buffer, about to be presented, of the given size in pixels.
  void keep(int width, int height);
  // Puts the kept picture in the back buffer; false when none was kept.
  bool show() const;
  void release();  // while the context exists

 private:
  GLuint framebuffer_ = 0;
  GLuint texture_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool kept_ = false;
};

}  // namespace pw
