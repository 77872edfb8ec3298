// levtool: inspect, build and draw level files.
//   levtool dump FILE.lev         readable listing of the level
//   levtool check FILE.lev        exit 0 for a valid level, else 1 with the reason
//   levtool build SRC OUT.lev     compile a level source (data/levels/README.md)
//   levtool decompile FILE.lev    the level as source on stdout; exit 1 (with the
//                                 reasons on stderr) when the source cannot say it exactly
//   levtool svg FILE.lev          an SVG picture of the level on stdout

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "level/level.h"
#include "level/level_file.h"
#include "level_source.h"
#include "level_svg.h"

namespace {

void printFlags(const pw::Particle& p) {
  if (p.fixed) std::printf(" fixed");
  if (p.solid) std::printf(" solid");
  if (p.jet) std::printf(" jet");
  if (p.hazard) std::printf(" hazard");
  if (p.surfaceOwner) std::printf(" surface-owner");
}

void dumpLevel(const pw::Level& level) {
  std::printf("count %d allocated %d running %d\n", level.count, level.allocated, level.running);
  for (const pw::Particle& p : level.particles) {
    if (!p.inUse) continue;
    std::printf("particle %d at (%.9g, %.9g)", p.slot, p.position.x, p.position.y);
    const pw::Vec4 v = p.position - p.previous;
    if (v.x != 0.0f || v.y != 0.0f) std::printf(" moving (%.9g, %.9g)", v.x, v.y);
    printFlags(p);
    std::printf(" links %d\n", p.linkCount);
    for (int k = 0; k < p.linkCount; ++k) {
      const pw::ParticleLink& link = p.links[k];
      std::printf("  link to %d %s rest %.9g\n", link.targetIndex, pw::linkTypeName(link.type), link.restLength);
    }
  }
}

// The level is large; the tool holds one at a time.
pw::Level& theLevel() {
  static pw::Level level;
  return level;
}

bool load(const char* path) {
  pw::Level& level = theLevel();
  level.reset();
  const pw::LevelFileResult result = pw::loadFile(level, path);
  if (!result.ok()) std::fprintf(stderr, "levtool: %s\n", result.reason);
  return result.ok();
}

int dump(const char* path) {
  if (!load(path)) return 1;
  dumpLevel(theLevel());
  return 0;
}

int check(const char* path) {
  if (!load(path)) return 1;
  std::printf("%s: valid level, %d particles\n", path, theLevel().count);
  return 0;
}

int build(const char* sourcePath, const char* outPath) {
  std::ifstream in(sourcePath);
  if (!in) {
    std::fprintf(stderr, "levtool: cannot read %s\n", sourcePath);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  pw::LevelSource source;
  std::string error;
  pw::Level& level = theLevel();
  if (!pw::parseLevelSource(text.str(), source, error) || !pw::buildLevel(source, level, error)) {
    std::fprintf(stderr, "levtool: %s: %s\n", sourcePath, error.c_str());
    return 1;
  }
  const pw::LevelFileResult saved = pw::saveFile(level, outPath);
  if (!saved.ok()) {
    std::fprintf(stderr, "levtool: %s\n", saved.reason);
    return 1;
  }
  return 0;
}

int decompile(const char* path) {
  if (!load(path)) return 1;
  pw::LevelSource source;
  std::vector<std::string> problems;
  pw::decompileLevel(theLevel(), source, problems);
  source.comments.insert(source.comments.begin(), std::string(" decompiled from ") + path);
  std::fputs(pw::formatLevelSource(source).c_str(), stdout);
  for (const std::string& p : problems) std::fprintf(stderr, "levtool: %s: not exact: %s\n", path, p.c_str());
  return problems.empty() ? 0 : 1;
}

int svg(const char* path) {
  if (!load(path)) return 1;
  std::fputs(pw::levelSvg(theLevel(), path).c_str(), stdout);
  return 0;
}

int usage() {
  std::fprintf(stderr,
               "usage: levtool dump FILE.lev | check FILE.lev | build SRC OUT.lev | decompile FILE.lev | "
               "svg FILE.lev\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string command = argv[1];
  if (argc == 3 && command == "dump") return dump(argv[2]);
  if (argc == 3 && command == "check") return check(argv[2]);
  if (argc == 3 && command == "decompile") return decompile(argv[2]);
  if (argc == 3 && command == "svg") return svg(argv[2]);
  if (argc == 4 && command == "build") return build(argv[2], argv[3]);
  return usage();
}
