#include "walker/limb_mesh.h"

#include <cmath>

#include "render/vertex_batch.h"

namespace pw {

void emitLimbTube(VertexBatch& batch, const Vec4& colour, const Mat4& frame, const Vec4& t, float length,
                  float depthRadius, float widthRadius, Vec4* inRing, Vec4* outRing, const Vec4* axis) {
  EndStrip(batch);  // each tube is a strip of its own
  const Vec4 x = column(frame, 0);
  const Vec4 y = column(frame, 1);
  const Vec4 z = column(frame, 2);
  const Vec4 farEnd = t + y * length;
  Vec4 bulge;
  if (axis != nullptr) bulge = normalized(*axis);

  for (int k = 0; k < kRingPoints; ++k) {
    // k = 0 lies on the parent's +x axis, k = 1 and 2 on its +z side.
    const Vec4 offset = z * (depthRadius * ringSin[k]) + x * (widthRadius * ringCos[k]);
    const float offsetLength = pw::length(offset);
    const Vec4 point = t + offset;
    const Vec4 normal = normalized(offset);
    const float u = static_cast<float>(k) * 0.16666667f;
    const float nearUv[2] = {u, 0.0f};
    const float farUv[2] = {u, 1.0f};
    AppendVertex(batch, point, colour, normal, nearUv);
    if (inRing != nullptr) {
      if (axis != nullptr) {
        // Points facing along the axis swell by twice their offset times the
        // cosine to it. The stored ring changes, so siblings that start from
        // it later (neck and shoulders on the chest) swell it again.
        const float facing = dot(bulge, normal);
        if (facing > 0.0f) inRing[k] += bulge * (facing * offsetLength * 2.0f);
      }
      AppendVertex(batch, inRing[k], colour, normal, farUv);
    } else {
      AppendVertex(batch, farEnd + offset, colour, normal, farUv);
    }
    if (outRing != nullptr) outRing[k] = point;
  }
}

void drawWalkerBody(const WalkerBody& body, VertexBatch& batch, LimbRings& rings) {
  for (auto& ring : rings.ring)
    for (Vec4& point : ring) point = Vec4(0.0f, 0.0f, 0.0f, 1.0f);

  // Children follow their parent's tube before any sibling of that parent is
  // drawn, so ring g holds the ring around joint p when tube i reads it.
  for (int i = 1; i < kJointCount; ++i) {
    const BodyJoint& joint = body.joints[i];
    const int p = joint.parent;
    const Vec4 local = joint.localPosition;
    const float length = std::fabs(local.y) >= 0.00001f ? -local.y : pw::length(local);
    const Vec4 t = column(joint.world, 3);
    const Colour& c = jointColours[i];
    const Vec4 colour(c.r, c.g, c.b, c.a);
    if (p != 0) {
      const int g = body.joints[p].parent;
      const Vec4 axis = column(body.joints[g].world, 1);
      emitLimbTube(batch, colour, body.joints[p].world, t, length, joint.depthRadius, joint.widthRadius,
                   rings.ring[g], rings.ring[p], &axis);
    } else {
      // Lower spine and hips: the tube runs along the pelvis's y axis to the
      // pelvis level (down 2 model units from the spine, up 1 from the hips).
      emitLimbTube(batch, colour, body.joints[0].world, t, length, joint.depthRadius, joint.widthRadius,
                   nullptr, rings.ring[0], nullptr);
    }
  }
  EndStrip(batch);
}

}  // namespace pw
