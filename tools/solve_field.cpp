#include "solve_field.h"

#include <cmath>
#include <functional>
#include <limits>
#include <queue>
#include <utility>

#include "level/level.h"
#include "level/level_sequence.h"

namespace pw {

namespace {

constexpr float kBox = 5.0f;
constexpr float kBodyTop = 4.7f;      // the body is clamped to |y| <= 4.7
constexpr float kSolidMargin = 0.36f;  // just inside the body's 0.4 skin
constexpr float kHazardMargin = 0.5f;
constexpr float kUnreached = std::numeric_limits<float>::infinity();

float segmentDistance(float px, float py, const Vec4& a, const Vec4& b) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0.0f ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0.0f;
  t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
  const float ex = a.x + t * dx - px, ey = a.y + t * dy - py;
  return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

DistanceField::DistanceField(const Level& level, float cell, float climbCost)
    : cell_(cell), size_(static_cast<int>(std::lround(2 * kBox / cell))) {
  blocked_.assign(static_cast<size_t>(size_ * size_), 0);
  distance_.assign(static_cast<size_t>(size_ * size_), kUnreached);
  block(level);
  spread(climbCost);
  fillUnreached();
}

void DistanceField::block(const Level& level) {
  for (int iy = 0; iy < size_; ++iy) {
    const float y = -kBox + (iy + 0.5f) * cell_;
    for (int ix = 0; ix < size_; ++ix) {
      const float x = -kBox + (ix + 0.5f) * cell_;
      bool hit = y > kBodyTop + cell_ || y < -kBodyTop - cell_;
      for (const Particle& p : level.particles) {
        if (hit) break;
        if (!p.inUse) continue;
        const float ballMargin = p.hazard ? kHazardMargin : kSolidMargin;
        if (p.solid && std::hypot(x - p.position.x, y - p.position.y) < ballMargin) hit = true;
        for (int k = 0; k < p.linkCount && !hit; ++k) {
          const ParticleLink& e = p.links[k];
          if (e.type != Solid && e.type != Hazard) continue;
          const float margin = e.type == Hazard ? kHazardMargin : kSolidMargin;
          if (segmentDistance(x, y, p.position, e.target->position) < margin) hit = true;
        }
      }
      blocked_[static_cast<size_t>(index(ix, iy))] = hit ? 1 : 0;
    }
  }
}

// Dijkstra from the goal cells; a step that rises (towards the goal's
// opposite: the path is walked backwards, so "rising" is a step from a
// lower cell to this one) costs climbCost times its length.
void DistanceField::spread(float climbCost) {
  using Entry = std::pair<float, int>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
  for (int iy = 0; iy < size_; ++iy) {
    for (int ix = 0; ix < size_; ++ix) {
      const float x = -kBox + (ix + 0.5f) * cell_, y = -kBox + (iy + 0.5f) * cell_;
      if (x > kGoalX && y < kGoalY && !blocked_[static_cast<size_t>(index(ix, iy))]) {
        distance_[static_cast<size_t>(index(ix, iy))] = 0.0f;
        open.push({0.0f, index(ix, iy)});
      }
    }
  }
  static const int kSteps[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  while (!open.empty()) {
    const auto [d, i] = open.top();
    open.pop();
    if (d > distance_[static_cast<size_t>(i)]) continue;
    const int ix = i % size_, iy = i / size_;
    for (const auto& s : kSteps) {
      const int nx = ix + s[0], ny = iy + s[1];
      if (nx < 0 || ny < 0 || nx >= size_ || ny >= size_) continue;
      const int n = index(nx, ny);
      if (blocked_[static_cast<size_t>(n)]) continue;
      // The body moves from n to i: climbing when i lies above n.
      const float step = cell_ * ((s[0] != 0 && s[1] != 0) ? 1.41421356f : 1.0f);
      const float cost = step * (s[1] < 0 ? climbCost : 1.0f);
      if (d + cost < distance_[static_cast<size_t>(n)]) {
        distance_[static_cast<size_t>(n)] = d + cost;
        open.push({d + cost, n});
      }
    }
  }
}

// Blocked and walled-off cells take their nearest reached neighbour's value
// plus a penalty, so the score still points somewhere useful.
void DistanceField::fillUnreached() {
  bool changed = true;
  while (changed) {
    changed = false;
    for (int iy = 0; iy < size_; ++iy) {
      for (int ix = 0; ix < size_; ++ix) {
        float& d = distance_[static_cast<size_t>(index(ix, iy))];
        if (d != kUnreached) continue;
        float best = kUnreached;
        if (ix > 0) best = std::min(best, distance_[static_cast<size_t>(index(ix - 1, iy))]);
        if (ix + 1 < size_) best = std::min(best, distance_[static_cast<size_t>(index(ix + 1, iy))]);
        if (iy > 0) best = std::min(best, distance_[static_cast<size_t>(index(ix, iy - 1))]);
        if (iy + 1 < size_) best = std::min(best, distance_[static_cast<size_t>(index(ix, iy + 1))]);
        if (best != kUnreached) {
          d = best + 2 * cell_;
          changed = true;
        }
      }
    }
  }
}

float DistanceField::at(float x, float y) const {
  int ix = static_cast<int>(std::floor((x + kBox) / cell_));
  int iy = static_cast<int>(std::floor((y + kBox) / cell_));
  ix = ix < 0 ? 0 : (ix >= size_ ? size_ - 1 : ix);
  iy = iy < 0 ? 0 : (iy >= size_ ? size_ - 1 : iy);
  const float d = distance_[static_cast<size_t>(index(ix, iy))];
  return d == kUnreached ? 1000.0f : d;
}

}  // namespace pw
