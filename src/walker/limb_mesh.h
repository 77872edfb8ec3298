#pragma once
// The robot's skin: one tube per joint, from a ring around the joint to a
// ring around its parent, so neighbouring tubes share their rings. Each ring
// is an ellipse of six sides (seven points, the last closing it) in the
// parent's x-z plane.

#include "math/mat4.h"
#include "walker/walker.h"

namespace pw {

struct VertexBatch;

// The rings of one drawing, indexed by joint: ring p holds the ring around
// the child of p whose tube was drawn last.
struct LimbRings {
  Vec4 ring[kJointCount][kRingPoints];
};

// One tube as a strip of 14 vertices, joint end and parent end alternating.
// frame: the parent's world transform (axes carry bodyScale); t: the joint's
// world position; length: model units along the frame's y axis to the parent
// end, used only without inRing; radii in model units.
// inRing (may be null) is the parent end; with an axis, the points of inRing
// that face along it are pushed further out along it, in place.
// outRing (may be null) receives the ring around t.
void emitLimbTube(VertexBatch& batch, const Vec4& colour, const Mat4& frame, const Vec4& t, float length,
                  float depthRadius, float widthRadius, Vec4* inRing, Vec4* outRing, const Vec4* axis);

// The 21 tubes of the body, in joint order; `rings` is the scratch store.
void drawWalkerBody(const WalkerBody& body, VertexBatch& batch, LimbRings& rings);

}  // namespace pw
