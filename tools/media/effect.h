#pragma once
// The text of "myshader.fx", the screen effect the renderer compiles at start-up.

#include <string>

namespace media {

std::string makeEffect();

}  // namespace media
