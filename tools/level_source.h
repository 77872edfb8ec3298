#pragma once
// The readable source of a level: named masses and typed links between them,
// one statement a line. `levtool build` turns it into a level file through the
// same Level operations the editor uses; `levtool decompile` turns a level
// file back into it. The format is described in data/levels/README.md.
//
//   # Level 1: walk right and hop the two steps
//   mass floorA  -3.0  -4.9  anchored
//   mass top     -2.5  -4.4  free
//   link floorA top solid          # floorA is the first end
//   link a b plain rest 1.25       # an explicit rest length (decompiled files)
//   running                        # saved running (the editor's save while playing)

#include <cstdint>
#include <string>
#include <vector>

namespace pw {

struct Level;

struct SourceMass {
  std::string name;
  float x = 0.0f;  // world units, the box spans -5..5
  float y = 0.0f;
  bool anchored = false;
  int line = 0;  // where it was declared, for messages
};

struct SourceLink {
  int first = 0;   // index into masses; the link's first end (matters for jet and surface)
  int second = 0;
  int32_t type = 0;  // a LinkType
  bool hasRestLength = false;  // otherwise the distance between the ends, as connect makes it
  float restLength = 0.0f;
  int line = 0;
};

struct LevelSource {
  std::vector<std::string> comments;  // comment lines before the first statement, without '#'
  std::vector<SourceMass> masses;     // in slot order: the n-th mass takes slot n
  std::vector<SourceLink> links;      // in the order they are connected
  bool running = false;
};

// "plain", "solid", "jet", "surface", "hazard"; "unknown" outside 0..4.
const char* linkTypeName(int32_t type);

// Parses a whole source. On error returns false with "line N: reason".
bool parseLevelSource(const std::string& text, LevelSource& out, std::string& error);

// Empties the level and builds the source into it: allocate each mass in
// order, anchor (fixed = 1), connect each link. The level is left stopped
// unless the source says running. False with "line N: reason" when a mass
// cannot be allocated or a link is refused.
bool buildLevel(const LevelSource& source, Level& level, std::string& error);

// The source as text that parses back to the same statements. Floats are
// written with nine significant digits, so they read back bit for bit.
std::string formatLevelSource(const LevelSource& source);

// Turns a level back into source, masses named m<slot>. Each link is listed
// once, from its first end, in an order that rebuilds every particle's link
// list in the same order. Whatever the source cannot say (a moving free
// particle, a one-sided link, flags no link explains, ...) is appended to
// problems, one line each; an empty list means building the source gives a
// level that plays exactly like this one.
void decompileLevel(const Level& level, LevelSource& out, std::vector<std::string>& problems);

}  // namespace pw
