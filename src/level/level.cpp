#include "level/level.h"

namespace pw {

namespace {

// Removes every entry of t that points at p, closing the gap each time.
void removeEntriesTo(Particle& t, const Particle* p) {
  int i = 0;
  while (i < t.linkCount) {
    if (t.links[i].target != p) {
      ++i;
      continue;
    }
    for (int k = i; k + 1 < t.linkCount; ++k) t.links[k] = t.links[k + 1];
    --t.linkCount;
    // The entry that moved into place i is not examined again in this scan.
    ++i;
  }
}

bool holdsEntryTo(const Particle& t, const Particle* p) {
  for (int i = 0; i < t.linkCount; ++i)
    if (t.links[i].target == p) return true;
  return false;
}

}  // namespace

void Level::reset() {
  running = 0;
  for (int i = 0; i < kLevelSlots; ++i) {
    Particle& p = particles[i];
    p.clear();
    p.position = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    p.previous = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    p.index = i;
    freeSlots[i] = i;
  }
  allocated = 0;
  count = 0;
}

Particle* Level::allocate() {
  if (allocated >= kLevelSlots) return nullptr;
  const int32_t s = freeSlots[allocated];
  Particle& p = particles[s];
  p.slot = s;
  p.inUse = 1;
  ++allocated;
  ++count;
  return &p;
}

void Level::remove(Particle& p) {
  // A second removal would push the slot onto the free stack twice.
  if (!p.inUse) return;
  for (int i = 0; i < p.linkCount; ++i) removeEntriesTo(*p.links[i].target, &p);
  // A loaded file may hold a link known to one end only, or a particle linked
  // to itself; the pass above then misses entries. None may outlive p, or the
  // next save names a free slot. Finds nothing when every link is held twice.
  for (Particle& t : particles) {
    if (&t == &p || !t.inUse) continue;
    while (holdsEntryTo(t, &p)) removeEntriesTo(t, &p);
  }
  --count;
  p.inUse = 0;
  --allocated;
  freeSlots[allocated] = p.slot;
  p.clear();
}

Particle* Level::findNear(const Vec4& point, float radius) {
  const float limit = radius * radius;
  for (Particle& p : particles) {
    if (p.inUse && lengthSquared(p.position - point) < limit) return &p;
  }
  return nullptr;
}

bool Level::connect(Particle& p, Particle& q, int32_t type) {
  const int needed = (&p == &q) ? 2 : 1;
  if (p.linkCount + needed > kMaxLinks || q.linkCount >= kMaxLinks) return false;
  const float len = length(p.position - q.position);
  ParticleLink& forward = p.links[p.linkCount++];
  forward.target = &q;
  forward.restLength = len;
  forward.type = type;
  ParticleLink& back = q.links[q.linkCount++];
  back.target = &p;
  back.restLength = len;
  back.type = type;
  switch (type) {
    case Solid:
      p.solid = q.solid = 1;
      break;
    case Jet:
      p.jet = 1;
      break;
    case Surface:
      p.surfaceOwner = 1;
      p.fixed = q.fixed = 1;
      break;
    case Hazard:
      p.hazard = q.hazard = 1;
      p.solid = q.solid = 1;
      break;
    default:
      break;
  }
  return true;
}

}  // namespace pw
