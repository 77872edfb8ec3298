#include "level_source.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>

#include "level/level.h"

namespace pw {

namespace {

constexpr const char* kTypeNames[] = {"plain", "solid", "jet", "surface", "hazard"};
constexpr int kTypeCount = 5;

std::string at(int line, const std::string& reason) { return "line " + std::to_string(line) + ": " + reason; }

bool validName(const std::string& name) {
  if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) return false;
  for (char c : name) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.')) return false;
  }
  return true;
}

// A finite float; the whole word must be the number.
bool parseFloat(const std::string& word, float& out) {
  if (word.empty()) return false;
  char* end = nullptr;
  out = std::strtof(word.c_str(), &end);
  return *end == '\0' && std::isfinite(out);
}

int typeFromName(const std::string& word) {
  for (int t = 0; t < kTypeCount; ++t)
    if (word == kTypeNames[t]) return t;
  return -1;
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line.substr(0, line.find('#')));
  std::vector<std::string> out;
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

struct Parser {
  LevelSource& out;
  std::map<std::string, int> massByName;
  std::vector<int> linkCounts;  // per mass, to refuse an 11th link where it is written
  bool sawStatement = false;

  bool mass(const std::vector<std::string>& w, int line, std::string& error) {
    if (w.size() != 5) {
      error = at(line, "expected 'mass NAME X Y anchored|free'");
      return false;
    }
    SourceMass m;
    m.name = w[1];
    m.line = line;
    if (!validName(m.name)) {
      error = at(line, "'" + m.name + "' is not a mass name (a letter or '_', then letters, digits, '_', '-', '.')");
      return false;
    }
    const auto known = massByName.find(m.name);
    if (known != massByName.end()) {
      error = at(line, "mass '" + m.name + "' is already declared on line " +
                           std::to_string(out.masses[known->second].line));
      return false;
    }
    if (!parseFloat(w[2], m.x) || !parseFloat(w[3], m.y)) {
      error = at(line, "the position of '" + m.name + "' is not two finite numbers");
      return false;
    }
    if (w[4] == "anchored") {
      m.anchored = true;
    } else if (w[4] != "free") {
      error = at(line, "expected 'anchored' or 'free', not '" + w[4] + "'");
      return false;
    }
    if (static_cast<int>(out.masses.size()) >= kLevelSlots) {
      error = at(line, "a level holds at most " + std::to_string(kLevelSlots) + " masses");
      return false;
    }
    massByName[m.name] = static_cast<int>(out.masses.size());
    out.masses.push_back(m);
    linkCounts.push_back(0);
    return true;
  }

  bool endName(const std::string& name, int line, int& index, std::string& error) {
    const auto found = massByName.find(name);
    if (found == massByName.end()) {
      error = at(line, "unknown mass '" + name + "' (masses must be declared before their links)");
      return false;
    }
    index = found->second;
    return true;
  }

  bool link(const std::vector<std::string>& w, int line, std::string& error) {
    if (w.size() != 4 && !(w.size() == 6 && w[4] == "rest")) {
      error = at(line, "expected 'link FIRST SECOND TYPE [rest LENGTH]'");
      return false;
    }
    SourceLink k;
    k.line = line;
    if (!endName(w[1], line, k.first, error) || !endName(w[2], line, k.second, error)) return false;
    if (k.first == k.second) {
      error = at(line, "a link joins two different masses, not '" + w[1] + "' to itself");
      return false;
    }
    k.type = typeFromName(w[3]);
    if (k.type < 0) {
      error = at(line, "unknown link type '" + w[3] + "' (plain, solid, jet, surface, hazard)");
      return false;
    }
    if (w.size() == 6) {
      k.hasRestLength = true;
      if (!parseFloat(w[5], k.restLength)) {
        error = at(line, "the rest length is not a finite number");
        return false;
      }
    }
    for (int end : {k.first, k.second}) {
      if (++linkCounts[end] > kMaxLinks) {
        error = at(line, "mass '" + out.masses[end].name + "' would hold more than " + std::to_string(kMaxLinks) +
                             " links");
        return false;
      }
    }
    out.links.push_back(k);
    return true;
  }

  bool statement(const std::string& text, int line, std::string& error) {
    const size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos) return true;
    if (text[start] == '#') {
      if (!sawStatement) {
        std::string comment = text.substr(start + 1);
        while (!comment.empty() && (comment.back() == '\r' || comment.back() == ' ')) comment.pop_back();
        out.comments.push_back(comment);
      }
      return true;
    }
    sawStatement = true;
    const std::vector<std::string> w = words(text);
    if (w.empty()) return true;
    if (w[0] == "mass") return mass(w, line, error);
    if (w[0] == "link") return link(w, line, error);
    if (w[0] == "running" && w.size() == 1) {
      out.running = true;
      return true;
    }
    error = at(line, "expected 'mass', 'link' or 'running', not '" + w[0] + "'");
    return false;
  }
};

// Float fields compare by their bits: -0 and 0 differ on disk.
bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool sameBits(const Vec4& a, const Vec4& b) {
  return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z) && sameBits(a.w, b.w);
}

std::string formatFloat(float f) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(f));
  return text;
}

std::string slotName(int slot) { return "m" + std::to_string(slot); }

// Pairs the entries of all particles into links, in an order that appends
// them to every particle's list as they stand: a link can be listed once it
// is the next unlisted entry at both of its ends.
struct Pairing {
  const Level& level;
  int next[kLevelSlots] = {};

  bool matches(const Particle& p, const Particle& q) const {
    if (next[p.slot] >= p.linkCount || next[q.slot] >= q.linkCount) return false;
    const ParticleLink& a = p.links[next[p.slot]];
    const ParticleLink& b = q.links[next[q.slot]];
    return a.target == &q && b.target == &p && a.type == b.type && sameBits(a.restLength, b.restLength);
  }

  // Returns false when no further link can be listed.
  bool takeOne(int& pSlot, int& qSlot) {
    for (const Particle& p : level.particles) {
      if (!p.inUse || next[p.slot] >= p.linkCount) continue;
      const Particle* q = p.links[next[p.slot]].target;
      if (q == nullptr || q == &p || !q->inUse || !matches(p, *q)) continue;
      pSlot = p.slot;
      qSlot = q->slot;
      ++next[pSlot];
      ++next[qSlot];
      return true;
    }
    return false;
  }
};

// Jet and surface flags belong to the first end: choose it so that the ends
// the file marks are the ones that become marked.
bool firstEndFlag(const Particle& p, int32_t type) {
  if (type == Jet) return p.jet != 0;
  if (type == Surface) return p.surfaceOwner != 0;
  return false;
}

void orderEnds(const Level& level, int32_t type, int& first, int& second, std::vector<bool>& covered) {
  if (type != Jet && type != Surface) return;
  const bool a = firstEndFlag(level.particles[first], type);
  const bool b = firstEndFlag(level.particles[second], type);
  if ((b && !a) || (a && b && covered[first] && !covered[second])) std::swap(first, second);
  covered[first] = true;
}

void compareParticle(const Particle& want, const Particle& got, const std::vector<int>& rankOf,
                     std::vector<std::string>& problems) {
  const std::string name = slotName(want.slot);
  if (!sameBits(want.position.z, 0.0f) || !sameBits(want.position.w, 1.0f))
    problems.push_back(name + ": position has z " + formatFloat(want.position.z) + " and w " +
                       formatFloat(want.position.w) + " (a source mass has z 0 and w 1)");
  if (!sameBits(want.previous, want.position))
    problems.push_back(name + ": previous position differs from position (" +
                       (want.fixed ? std::string("an anchored mass displaced from its anchor")
                                   : std::string("a free mass moving at the start")) +
                       "); the source starts every mass at rest");
  struct Flag {
    const char* what;
    int32_t want, got;
  };
  const Flag flags[] = {{"fixed", want.fixed, got.fixed},
                        {"solid", want.solid, got.solid},
                        {"jet", want.jet, got.jet},
                        {"hazard", want.hazard, got.hazard},
                        {"surface owner", want.surfaceOwner, got.surfaceOwner}};
  for (const Flag& f : flags) {
    if (f.want != f.got)
      problems.push_back(name + ": flag " + f.what + " is " + std::to_string(f.want) +
                         " but its links and anchoring make it " + std::to_string(f.got));
  }
  if (want.linkCount != got.linkCount) return;  // reported as one-sided links already
  for (int k = 0; k < want.linkCount; ++k) {
    const ParticleLink& a = want.links[k];
    const ParticleLink& b = got.links[k];
    if (rankOf[a.target->slot] != b.target->slot || a.type != b.type || !sameBits(a.restLength, b.restLength))
      problems.push_back(name + ": link " + std::to_string(k) + " is not rebuilt the same");
  }
}

}  // namespace

const char* linkTypeName(int32_t type) { return (type >= 0 && type < kTypeCount) ? kTypeNames[type] : "unknown"; }

bool parseLevelSource(const std::string& text, LevelSource& out, std::string& error) {
  out = LevelSource();
  Parser parser{out, {}, {}, false};
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!parser.statement(line, number, error)) return false;
  }
  return true;
}

bool buildLevel(const LevelSource& source, Level& level, std::string& error) {
  level.reset();
  std::vector<Particle*> placed;
  for (const SourceMass& m : source.masses) {
    Particle* p = level.allocate();
    if (p == nullptr) {
      error = at(m.line, "no free slot for mass '" + m.name + "'");
      return false;
    }
    p->position = Vec4(m.x, m.y, 0.0f, 1.0f);
    p->previous = p->position;
    if (m.anchored) p->fixed = 1;
    placed.push_back(p);
  }
  for (const SourceLink& k : source.links) {
    Particle& p = *placed[k.first];
    Particle& q = *placed[k.second];
    if (!level.connect(p, q, k.type)) {
      error = at(k.line, "link refused: a mass holds at most " + std::to_string(kMaxLinks) + " links");
      return false;
    }
    if (k.hasRestLength) {
      p.links[p.linkCount - 1].restLength = k.restLength;
      q.links[q.linkCount - 1].restLength = k.restLength;
    }
  }
  if (source.running) level.run();
  return true;
}

std::string formatLevelSource(const LevelSource& source) {
  std::string text;
  for (const std::string& c : source.comments) text += "#" + c + "\n";
  if (!source.comments.empty()) text += "\n";
  size_t width = 1;
  for (const SourceMass& m : source.masses) width = std::max(width, m.name.size());
  for (const SourceMass& m : source.masses) {
    char line[256];
    std::snprintf(line, sizeof line, "mass %-*s %10s %10s %s\n", static_cast<int>(width), m.name.c_str(),
                  formatFloat(m.x).c_str(), formatFloat(m.y).c_str(), m.anchored ? "anchored" : "free");
    text += line;
  }
  if (!source.links.empty()) text += "\n";
  for (const SourceLink& k : source.links) {
    text += "link " + source.masses[k.first].name + " " + source.masses[k.second].name + " " + linkTypeName(k.type);
    if (k.hasRestLength) text += " rest " + formatFloat(k.restLength);
    text += "\n";
  }
  if (source.running) text += "\nrunning\n";
  return text;
}

void decompileLevel(const Level& level, LevelSource& out, std::vector<std::string>& problems) {
  out = LevelSource();
  out.running = level.running != 0;
  // Masses keep their slot order; a level with free slots between them is
  // renumbered, which changes no behaviour (everything walks slots in order).
  std::vector<int> rankOf(kLevelSlots, -1);
  for (const Particle& p : level.particles) {
    if (!p.inUse) continue;
    rankOf[p.slot] = static_cast<int>(out.masses.size());
    SourceMass m;
    m.name = slotName(p.slot);
    m.x = p.position.x;
    m.y = p.position.y;
    m.anchored = p.fixed != 0;
    out.masses.push_back(m);
  }
  if (static_cast<int>(out.masses.size()) < level.allocated) {
    problems.push_back("the level counts " + std::to_string(level.allocated) + " particles but " +
                       std::to_string(out.masses.size()) + " are in use");
  }
  bool renumbered = false;
  for (int slot = 0; slot < kLevelSlots; ++slot) renumbered = renumbered || (rankOf[slot] >= 0 && rankOf[slot] != slot);
  if (renumbered)
    out.comments.push_back(" slots renumbered: the masses were not in slots 0.." +
                           std::to_string(out.masses.size() - 1) + "; their order is kept");

  Pairing pairing{level};
  std::vector<bool> covered(kLevelSlots, false);
  int pSlot = 0, qSlot = 0;
  while (pairing.takeOne(pSlot, qSlot)) {
    const ParticleLink& entry = level.particles[pSlot].links[pairing.next[pSlot] - 1];
    orderEnds(level, entry.type, pSlot, qSlot, covered);
    SourceLink k;
    k.first = rankOf[pSlot];
    k.second = rankOf[qSlot];
    k.type = entry.type;
    const float distance = length(level.particles[pSlot].position - level.particles[qSlot].position);
    k.hasRestLength = !sameBits(distance, entry.restLength);
    k.restLength = entry.restLength;
    out.links.push_back(k);
  }
  for (const Particle& p : level.particles) {
    if (!p.inUse) continue;
    for (int k = pairing.next[p.slot]; k < p.linkCount; ++k) {
      const ParticleLink& e = p.links[k];
      problems.push_back(slotName(p.slot) + ": link " + std::to_string(k) + " to " +
                         (e.target ? slotName(e.target->slot) : std::string("nothing")) + " (" +
                         linkTypeName(e.type) + ") has no matching entry at the other end in the same order");
    }
  }

  // Whatever the listing above could not say shows up as a difference here.
  auto rebuilt = std::make_unique<Level>();
  std::string error;
  if (!buildLevel(out, *rebuilt, error)) {
    problems.push_back("the decompiled source does not build: " + error);
    return;
  }
  for (const Particle& p : level.particles) {
    if (p.inUse) compareParticle(p, rebuilt->particles[rankOf[p.slot]], rankOf, problems);
  }
}

}  // namespace pw
