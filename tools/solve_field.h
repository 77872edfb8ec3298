#pragma once
// The solver's sense of direction: for every point of the box, the length of
// the shortest path for the player body's centre to the goal corner, around
// the level's solid and hazard parts (as they stand at the start). Climbing
// costs more than walking or falling, since it takes jumps.

#include <vector>

namespace pw {

struct Level;

class DistanceField {
 public:
  // Cells of `cell` world units; blocked where the body's centre would touch
  // a solid segment or ball (a little less than the 0.4 skin, so tight gaps
  // stay open) and, with a wider margin, anything deadly.
  explicit DistanceField(const Level& level, float cell = 0.05f, float climbCost = 3.0f);

  // Path length in world units; points in blocked or unreachable cells take
  // the nearest open cell's value plus the way to it.
  float at(float x, float y) const;

 private:
  int index(int ix, int iy) const { return iy * size_ + ix; }
  void block(const Level& level);
  void spread(float climbCost);
  void fillUnreached();

  float cell_;
  int size_;
  std::vector<unsigned char> blocked_;
  std::vector<float> distance_;
};

}  // namespace pw
