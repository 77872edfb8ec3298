#pragma once
// A back end that draws nothing: the headless runner steps and "draws" frames
// without a display.

#include "render/render_backend.h"

namespace pw {

class NullBackend final : public RenderBackend {
 public:
  void setViewProjection(const Mat4&, const Mat4&) override {}
  void draw(const DrawRange&) override {}
};

}  // namespace pw
