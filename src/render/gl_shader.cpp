#include "render/gl_shader.h"

#include <vector>

namespace pw {

namespace {

std::string shaderLog(GLuint shader) {
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> text(static_cast<size_t>(length > 1 ? length : 1), '\0');
  glGetShaderInfoLog(shader, static_cast<GLsizei>(text.size()), nullptr, text.data());
  return text.data();
}

std::string programLog(GLuint program) {
  GLint length = 0;
  glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> text(static_cast<size_t>(length > 1 ? length : 1), '\0');
  glGetProgramInfoLog(program, static_cast<GLsizei>(text.size()), nullptr, text.data());
  return text.data();
}

GLuint compileStage(GLenum stage, const char* define, const std::string& source, std::string& log) {
  const std::string header = std::string("#version 330 core\n#define ") + define + "\n#line 1\n";
  const char* parts[2] = {header.c_str(), source.c_str()};
  const GLuint shader = glCreateShader(stage);
  glShaderSource(shader, 2, parts, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok == GL_TRUE) return shader;
  log = std::string(define) + ": " + shaderLog(shader);
  glDeleteShader(shader);
  return 0;
}

}  // namespace

GLuint buildProgram(const std::string& source, std::string& log) {
  const GLuint vertex = compileStage(GL_VERTEX_SHADER, "VERTEX_SHADER", source, log);
  if (vertex == 0) return 0;
  const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, "FRAGMENT_SHADER", source, log);
  if (fragment == 0) {
    glDeleteShader(vertex);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (ok == GL_TRUE) return program;
  log = "link: " + programLog(program);
  glDeleteProgram(program);
  return 0;
}

}  // namespace pw
