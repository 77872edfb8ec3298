#pragma once
// A picture of a level for reviewing designs: the -5..5 box seen from the
// front, links in the game's colours, anchored masses as squares, the start
// and the goal corner. Solid and hazard links and solid masses also show, in
// faint bands, where the player body's centre cannot go (0.4 skin); surface
// links show their reach (about 1.22).

#include <string>

namespace pw {

struct Level;

// The whole SVG document.
std::string levelSvg(const Level& level, const std::string& title);

}  // namespace pw
