#include "level/level_drawing.h"

#include "render/billboard.h"

namespace pw {

namespace {

// Width of each of a link's two bands, in world units, before the Plain halving.
constexpr float kBandWidth = 0.1f;
constexpr float kPlainWidthFactor = 0.5f;

constexpr float kBandUv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};

// One band along the link from a to b, on the side a quarter turn from
// (a - b). The partner's entry draws the other side.
void appendBand(VertexBatch& batch, const Vec4& a, const Vec4& b, int32_t type) {
  const Vec4 colour = linkColour(type);
  Vec4 h = normalized(a - b);
  if (type == Plain) h *= kPlainWidthFactor;
  h *= kBandWidth;
  const Vec4 side(-h.y, h.x, 0.0f, 1.0f);
  // The normal is never interpreted; it carries the colour.
  AppendVertex(batch, a, colour, colour, kBandUv[0]);
  AppendVertex(batch, b, colour, colour, kBandUv[1]);
  AppendVertex(batch, a + side, colour, colour, kBandUv[2]);
  AppendVertex(batch, b + side, colour, colour, kBandUv[3]);
  EndStrip(batch);
}

}  // namespace

Vec4 linkColour(int32_t type) {
  switch (type) {
    case Plain:
      return Vec4(0.2f, 0.2f, 0.2f, 1.0f);
    case Solid:
      return Vec4(1.0f, 1.0f, 1.0f, 1.0f);
    case Jet:
      return Vec4(0.0f, 0.0f, 1.0f, 1.0f);
    case Hazard:
      return Vec4(1.0f, 0.0f, 0.0f, 1.0f);
    case Surface:
    default:
      return Vec4(1.0f, 1.0f, 0.0f, 1.0f);
  }
}

void drawParticles(const Level& level, VertexBatch& batch, const Mat4& view) {
  for (const Particle& p : level.particles) {
    if (!p.inUse) continue;
    // A jet particle: the larger sprite first.
    if (p.jet) DrawBillboard(batch, view, p.position, kJetSpriteSize);
    DrawBillboard(batch, view, p.position, kParticleSpriteSize);
  }
}

void drawLinks(const Level& level, VertexBatch& batch) {
  // Each link is held by both ends, so it is drawn twice, once to each side.
  for (const Particle& p : level.particles) {
    if (!p.inUse) continue;
    for (int32_t k = 0; k < p.linkCount; ++k) {
      const ParticleLink& link = p.links[k];
      appendBand(batch, p.position, link.target->position, link.type);
    }
  }
}

}  // namespace pw
