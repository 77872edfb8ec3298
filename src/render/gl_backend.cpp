#include "render/gl_backend.h"

#include <cstddef>

#include "render/gl_shader.h"

namespace pw {

namespace {

// Matrices arrive in the row-vector convention (p * view * projection) and
// are uploaded as they are stored; GLSL reads them as the transposes, so
// projection * (view * p) gives the same clip position. Direct3D's depth
// runs 0..1 where OpenGL's runs -1..1: z' = 2 z - w.
const char* const kDrawSource = R"(
#ifdef VERTEX_SHADER
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec2 uv;
uniform mat4 view;
uniform mat4 projection;
out vec4 vertexColour;
out vec2 texCoord;
void main() {
  vec4 clip = projection * (view * vec4(position, 1.0));
  clip.z = 2.0 * clip.z - clip.w;
  gl_Position = clip;
  vertexColour = colour;
  texCoord = uv;
}
#endif
#ifdef FRAGMENT_SHADER
uniform sampler2D picture;
uniform bool textured;
in vec4 vertexColour;
in vec2 texCoord;
out vec4 fragColour;
void main() {
  vec3 rgb = vertexColour.rgb;
  if (textured) rgb *= texture(picture, texCoord).rgb;
  fragColour = vec4(rgb, vertexColour.a);
}
#endif
)";

}  // namespace

bool GlBackend::create(std::string& failure) {
  std::string log;
  program_ = buildProgram(kDrawSource, log);
  if (program_ == 0) {
    failure = "the drawing program does not build: " + log;
    return false;
  }
  viewLocation_ = glGetUniformLocation(program_, "view");
  projectionLocation_ = glGetUniformLocation(program_, "projection");
  texturedLocation_ = glGetUniformLocation(program_, "textured");
  glUseProgram(program_);
  glUniform1i(glGetUniformLocation(program_, "picture"), 0);

  glGenVertexArrays(1, &vertexArray_);
  glBindVertexArray(vertexArray_);
  glGenBuffers(1, &vertexBuffer_);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  const GLsizei stride = sizeof(FrameVertex);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(FrameVertex, x)));
  // The packed colour is Direct3D's A8R8G8B8: bytes B, G, R, A in memory.
  glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                        reinterpret_cast<const void*>(offsetof(FrameVertex, colour)));
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(FrameVertex, u)));
  for (GLuint i = 0; i < 3; ++i) glEnableVertexAttribArray(i);

  // Two-sided and depth-tested, less-or-equal, as every flush expects.
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glActiveTexture(GL_TEXTURE0);
  return true;
}

void GlBackend::destroy() {
  if (vertexBuffer_ != 0) glDeleteBuffers(1, &vertexBuffer_);
  if (vertexArray_ != 0) glDeleteVertexArrays(1, &vertexArray_);
  if (program_ != 0) glDeleteProgram(program_);
  vertexBuffer_ = vertexArray_ = program_ = 0;
  for (GLuint& t : textures_) t = 0;
}

void GlBackend::setTexture(TextureName name, GLuint texture) { textures_[static_cast<int>(name)] = texture; }

void GlBackend::setDrawableSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void GlBackend::setViewProjection(const Mat4& view, const Mat4& projection) {
  glUseProgram(program_);
  glUniformMatrix4fv(viewLocation_, 1, GL_FALSE, &view.m[0][0]);
  glUniformMatrix4fv(projectionLocation_, 1, GL_FALSE, &projection.m[0][0]);
}

void GlBackend::applyBlend(BlendState blend) {
  glEnable(GL_BLEND);
  glBlendEquation(GL_FUNC_ADD);
  if (blend == BlendState::Additive) {
    // Black adds nothing; the depth test stays as the last blended flush left it.
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
  } else {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
}

void GlBackend::draw(const DrawRange& range) {
  if (range.count < 3) return;
  applyBlend(range.blend);
  const GLuint texture = textures_[static_cast<int>(range.texture)];
  glUseProgram(program_);
  glUniform1i(texturedLocation_, texture != 0 ? 1 : 0);
  glBindTexture(GL_TEXTURE_2D, texture);
  glBindVertexArray(vertexArray_);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  // A fresh store each flush: the driver need not wait for the last draw.
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(range.count) * static_cast<GLsizeiptr>(sizeof(FrameVertex)),
               range.vertices + range.first, GL_STREAM_DRAW);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, range.count);
}

bool GlBackend::beginScene() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, width_, height_);
  // The clear must reach depth even after an additive flush switched writes off.
  glDepthMask(GL_TRUE);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  return true;
}

}  // namespace pw
