#pragma once
// The renderer's long-lived objects: the OpenGL context, the screen effect
// ("myshader.fx") with its three render targets, and the six textures, each
// file found with the media search. Created once before the first frame,
// released when the window closes.

#include <string>

#include "util/status.h"

struct SDL_Window;

namespace pw {

class RenderBackend;

// Before the window is created: asks for an OpenGL 3.3 core context with a
// depth buffer and double buffering.
void RequestRendererContext();

// Creates everything on the window. On failure: a negative status, a one-line
// reason naming the file or object and what was tried, and nothing left.
Status InitRenderer(SDL_Window* window, std::string& failure);
void ReleaseRenderer();

// What the vertex batch draws through; null unless the renderer is up.
RenderBackend* RendererBackend();

}  // namespace pw
