#pragma once
// One vertex as the GPU reads it: 36 bytes, position, normal, packed colour
// (alpha in the top byte, then red, green, blue) and a texture coordinate.

#include <cstddef>
#include <cstdint>

namespace pw {

struct FrameVertex {
  float x, y, z;
  float nx, ny, nz;
  uint32_t colour;
  float u, v;
};
static_assert(sizeof(FrameVertex) == 36, "FrameVertex is 36 bytes");
static_assert(offsetof(FrameVertex, nx) == 12, "normal at 12");
static_assert(offsetof(FrameVertex, colour) == 24, "colour at 24");
static_assert(offsetof(FrameVertex, u) == 28, "texture coordinate at 28");

}  // namespace pw
