#pragma once
// The narrow interface between a frame and whatever draws it: OpenGL in the
// game, a recorder in tests, nothing at all in the headless runner.

#include <cstdint>

#include "math/mat4.h"
#include "render/frame_vertex.h"

namespace pw {

enum class TextureName : uint8_t { None, Gradbw, Exp20, Particle, Toolhud, Title, Exp22 };

enum class BlendState : uint8_t {
  Additive,  // ONE, ONE, no depth writes: black adds nothing
  Blended,   // SRC_ALPHA, ONE_MINUS_SRC_ALPHA, depth test and writes
};

// One flush: vertices[first .. first + count) drawn as one triangle strip.
struct DrawRange {
  const FrameVertex* vertices;
  int32_t first;
  int32_t count;
  TextureName texture;
  BlendState blend;
};

class RenderBackend {
 public:
  virtual ~RenderBackend() = default;
  // View and projection in the row-vector convention of the original
  // renderer (a point p maps to p * view * projection).
  virtual void setViewProjection(const Mat4& view, const Mat4& projection) = 0;
  virtual void draw(const DrawRange& range) = 0;
  // Clears colour to opaque black and depth to 1 and begins the scene; a
  // frame whose scene cannot begin draws and simulates nothing.
  virtual bool beginScene() { return true; }
  virtual void endScene() {}
};

}  // namespace pw
