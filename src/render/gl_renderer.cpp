#include "render/gl_renderer.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "render/gl_backend.h"
#include "render/gl_shader.h"
#include "util/media_search.h"

namespace pw {

namespace {

constexpr int kSmallTargetSize = 64;
// The screen effect's texture sits on its own unit; drawing uses unit 0.
constexpr GLint kEffectTextureUnit = 1;

struct RenderTarget {
  GLuint texture = 0;
  GLuint framebuffer = 0;
};

struct BitmapSlot {
  const char* file;
  TextureName name;
};

// The order in which they are loaded: the first that fails ends the set-up.
constexpr BitmapSlot kBitmaps[] = {
    {"gradbw.bmp", TextureName::Gradbw},   {"exp20.bmp", TextureName::Exp20},
    {"particle.bmp", TextureName::Particle}, {"toolhud2.bmp", TextureName::Toolhud},
    {"Title.bmp", TextureName::Title},     {"exp22.bmp", TextureName::Exp22},
};
constexpr int kBitmapCount = sizeof kBitmaps / sizeof kBitmaps[0];

struct Renderer {
  SDL_GLContext context = nullptr;
  GlBackend backend;
  bool backendCreated = false;
  RenderTarget screenTarget;
  RenderTarget smallColourTarget;
  RenderTarget smallFloatTarget;
  GLuint effect = 0;
  GLuint textures[kBitmapCount] = {};
};

Renderer g_renderer;
bool g_up = false;

Status createTarget(RenderTarget& target, const char* what, GLenum internalFormat, GLenum format, GLenum type,
                    int width, int height, std::string& failure) {
  glGenTextures(1, &target.texture);
  glBindTexture(GL_TEXTURE_2D, target.texture);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0, format, type, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glGenFramebuffers(1, &target.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.texture, 0);
  const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    char line[160];
    std::snprintf(line, sizeof line, "cannot create the %s render target (%d x %d): framebuffer status 0x%x", what,
                  width, height, status);
    failure = line;
    return kFailed;
  }
  // Cleared once to transparent black; nothing draws into them afterwards.
  glViewport(0, 0, width, height);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  return kOk;
}

void releaseTarget(RenderTarget& target) {
  if (target.framebuffer != 0) glDeleteFramebuffers(1, &target.framebuffer);
  if (target.texture != 0) glDeleteTextures(1, &target.texture);
  target = RenderTarget();
}

Status createTargets(int width, int height, std::string& failure) {
  Renderer& r = g_renderer;
  Status s = createTarget(r.screenTarget, "screen", GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, width, height, failure);
  if (succeeded(s)) {
    s = createTarget(r.smallColourTarget, "small colour", GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, kSmallTargetSize,
                     kSmallTargetSize, failure);
  }
  if (succeeded(s)) {
    s = createTarget(r.smallFloatTarget, "small float", GL_R32F, GL_RED, GL_FLOAT, kSmallTargetSize, kSmallTargetSize,
                     failure);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return s;
}

Status findMedia(const char* name, char (&path)[kMediaPathCapacity], std::string& failure) {
  const Status s = findMediaFile(path, sizeof path, name);
  if (!succeeded(s)) failure = describeFailedSearch(name);
  return s;
}

bool readTextFile(const char* path, std::string& text) {
  struct stat info;
  if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  return ok;
}

// The uniform `name` of the effect, which must be of `type`; -1 when absent.
GLint effectUniform(GLuint program, const char* name, GLenum type) {
  GLint count = 0;
  glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
  for (GLint i = 0; i < count; ++i) {
    char found[64];
    GLint size = 0;
    GLenum foundType = 0;
    glGetActiveUniform(program, static_cast<GLuint>(i), sizeof found, nullptr, &size, &foundType, found);
    if (std::string(found) == name && foundType == type) return glGetUniformLocation(program, name);
  }
  return -1;
}

Status createEffect(std::string& failure) {
  char path[kMediaPathCapacity];
  Status s = findMedia("myshader.fx", path, failure);
  if (!succeeded(s)) return s;
  std::string source;
  if (!readTextFile(path, source)) {
    failure = std::string("cannot read \"myshader.fx\" at ") + path + ": not a readable file";
    return kFailed;
  }
  std::string log;
  const GLuint program = buildProgram(source, log);
  if (program == 0) {
    failure = std::string("\"myshader.fx\" at ") + path + " does not build: " + log;
    while (!failure.empty() && (failure.back() == '\n' || failure.back() == ' ')) failure.pop_back();
    return kFailed;
  }
  g_renderer.effect = program;

  const GLint textureAt = effectUniform(program, "RenderTargetTexture", GL_SAMPLER_2D);
  const GLint widthAt = effectUniform(program, "RenderTargetWidth", GL_FLOAT);
  const GLint heightAt = effectUniform(program, "RenderTargetHeight", GL_FLOAT);
  const char* missing = textureAt < 0 ? "RenderTargetTexture (sampler2D)"
                        : widthAt < 0 ? "RenderTargetWidth (float)"
                        : heightAt < 0 ? "RenderTargetHeight (float)"
                                       : nullptr;
  if (missing != nullptr) {
    failure = std::string("\"myshader.fx\" at ") + path + " lacks the uniform " + missing;
    return kFailed;
  }
  // The effect reads the screen target; its size is read back from the texture.
  GLint width = 0, height = 0;
  glActiveTexture(GL_TEXTURE0 + kEffectTextureUnit);
  glBindTexture(GL_TEXTURE_2D, g_renderer.screenTarget.texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glActiveTexture(GL_TEXTURE0);
  glUseProgram(program);
  glUniform1i(textureAt, kEffectTextureUnit);
  glUniform1f(widthAt, static_cast<float>(width));
  glUniform1f(heightAt, static_cast<float>(height));
  return kOk;
}

Status loadBitmap(const char* name, GLuint& texture, std::string& failure) {
  char path[kMediaPathCapacity];
  const Status s = findMedia(name, path, failure);
  if (!succeeded(s)) return s;
  SDL_Surface* loaded = SDL_LoadBMP(path);
  if (loaded == nullptr) {
    failure = std::string("cannot load \"") + name + "\" from " + path + ": " + SDL_GetError();
    return kFailed;
  }
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (rgba == nullptr) {
    failure = std::string("cannot convert \"") + name + "\" from " + path + ": " + SDL_GetError();
    return kFailed;
  }
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  // Rows go up top row first, so v = 0 is the top of the picture.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rgba->pitch / 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, rgba->w, rgba->h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  SDL_FreeSurface(rgba);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  return kOk;
}

Status createContext(SDL_Window* window, std::string& failure) {
  if (window == nullptr) {
    failure = "no window to draw in";
    return kFailed;
  }
  g_renderer.context = SDL_GL_CreateContext(window);
  if (g_renderer.context == nullptr) {
    failure = std::string("cannot create an OpenGL 3.3 core context: ") + SDL_GetError();
    return kFailed;
  }
  if (epoxy_gl_version() < 33) {
    char line[96];
    std::snprintf(line, sizeof line, "OpenGL %d.%d found, 3.3 needed", epoxy_gl_version() / 10,
                  epoxy_gl_version() % 10);
    failure = line;
    return kFailed;
  }
  return kOk;
}

Status initAll(SDL_Window* window, std::string& failure) {
  Renderer& r = g_renderer;
  Status s = createContext(window, failure);
  if (!succeeded(s)) return s;
  if (!r.backend.create(failure)) return kFailed;
  r.backendCreated = true;

  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  r.backend.setDrawableSize(width, height);
  s = createTargets(width, height, failure);
  if (!succeeded(s)) return s;
  s = createEffect(failure);
  if (!succeeded(s)) return s;
  for (int i = 0; i < kBitmapCount; ++i) {
    s = loadBitmap(kBitmaps[i].file, r.textures[i], failure);
    if (!succeeded(s)) return s;
    r.backend.setTexture(kBitmaps[i].name, r.textures[i]);
  }
  glActiveTexture(GL_TEXTURE0);
  return kOk;
}

}  // namespace

void RequestRendererContext() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
}

Status InitRenderer(SDL_Window* window, std::string& failure) {
  if (g_up) ReleaseRenderer();
  const Status s = initAll(window, failure);
  g_up = true;
  if (!succeeded(s)) ReleaseRenderer();
  return s;
}

void ReleaseRenderer() {
  if (!g_up) return;
  Renderer& r = g_renderer;
  if (r.context != nullptr) {
    glDeleteTextures(kBitmapCount, r.textures);
    for (GLuint& t : r.textures) t = 0;
    if (r.effect != 0) glDeleteProgram(r.effect);
    r.effect = 0;
    releaseTarget(r.screenTarget);
    releaseTarget(r.smallFloatTarget);
    releaseTarget(r.smallColourTarget);
    if (r.backendCreated) r.backend.destroy();
    r.backendCreated = false;
    SDL_GL_DeleteContext(r.context);
    r.context = nullptr;
  }
  g_up = false;
}

RenderBackend* RendererBackend() { return g_up && g_renderer.backendCreated ? &g_renderer.backend : nullptr; }

}  // namespace pw
