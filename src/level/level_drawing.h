#pragma once
// The level as the player sees it: a sprite on every particle in use and a
// flat coloured band along every link. Both only append geometry; the caller
// resets the batch before each call and flushes it after (particles
// additively with the particle sprite, links untextured and blended).

#include "level/level.h"
#include "math/mat4.h"
#include "render/vertex_batch.h"

namespace pw {

// Half-sides of the particle sprites; a jet particle also gets the larger one.
constexpr float kParticleSpriteSize = 0.5f;
constexpr float kJetSpriteSize = 0.9f;

// view: the current camera view (row-vector convention), which the sprites face.
void drawParticles(const Level& level, VertexBatch& batch, const Mat4& view);
void drawLinks(const Level& level, VertexBatch& batch);

// Colour (r, g, b, a) of a link of this type; unknown types look like Surface.
Vec4 linkColour(int32_t type);

}  // namespace pw
