#pragma once
// Draws the vertex batch's flushes with OpenGL 3.3 core: one program that
// does what the fixed-function state of the original renderer did (texel
// times vertex colour, vertex alpha to blending), one vertex array, and one
// vertex buffer refilled by every flush.

#include <epoxy/gl.h>

#include <string>

#include "render/render_backend.h"

namespace pw {

class GlBackend final : public RenderBackend {
 public:
  // Needs a current context. False, with the reason, when the program does not build.
  bool create(std::string& failure);
  void destroy();

  void setTexture(TextureName name, GLuint texture);
  // The back buffer's size in pixels; beginScene draws into all of it.
  void setDrawableSize(int width, int height);

  void setViewProjection(const Mat4& view, const Mat4& projection) override;
  void draw(const DrawRange& range) override;
  bool beginScene() override;

 private:
  void applyBlend(BlendState blend);

  GLuint program_ = 0;
  GLuint vertexArray_ = 0;
  GLuint vertexBuffer_ = 0;
  GLint viewLocation_ = -1;
  GLint projectionLocation_ = -1;
  GLint texturedLocation_ = -1;
  GLuint textures_[7] = {};  // by TextureName
  int width_ = 640;
  int height_ = 480;
};

}  // namespace pw
