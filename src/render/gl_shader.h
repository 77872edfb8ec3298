#pragma once
// Builds an OpenGL program from one text holding both stages: the vertex
// stage is compiled with VERTEX_SHADER defined, the fragment stage with
// FRAGMENT_SHADER, each after a "#version 330 core" line.

#include <epoxy/gl.h>

#include <string>

namespace pw {

// The linked program, or 0 with the compiler's or linker's complaint in log.
GLuint buildProgram(const std::string& source, std::string& log);

}  // namespace pw
