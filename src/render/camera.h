#pragma once
// The eye: it looks straight along +z with +y up and never turns. On the title
// screen it rests at the room's open front; in play it drifts after the player
// body so the view scrolls smoothly in x and y.

#include "level/game_flow.h"
#include "level/player_body.h"
#include "math/mat4.h"
#include "math/vec4.h"

namespace pw {

class RenderBackend;

// Fraction of the remaining x/y distance the eye covers each frame.
constexpr float kCameraSmoothing = 0.05f;

// Both matrices are in the row-vector convention (p * view * projection),
// stored row by row: view.m[3] holds the translation. Until the first update
// they are the identity, as a fresh device's transforms are.
struct Camera {
  Vec4 cameraPoint{0.0f, 0.0f, 0.0f, 1.0f};  // the eye; w is never changed
  Mat4 view{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  Mat4 projection{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
};

// Once per frame, before anything is drawn: moves the eye towards its target,
// rebuilds view and projection and hands them to the back end (may be null).
void UpdateCamera(Camera& camera, const GameFlow& flow, const PlayerBody& body, RenderBackend* backend);

}  // namespace pw
