// levtool: inspect level files.
//   levtool dump FILE.lev    readable listing of the level
//   levtool check FILE.lev   exit 0 for a valid level, else 1 with the reason

#include <cstdio>
#include <cstring>

#include "level/level.h"
#include "level/level_file.h"

namespace {

const char* linkTypeName(int32_t type) {
  static const char* const kNames[] = {"plain", "solid", "jet", "surface", "hazard"};
  return (type >= 0 && type <= 4) ? kNames[type] : "unknown";
}

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
      std::printf("  link to %d %s rest %.9g\n", link.targetIndex, linkTypeName(link.type), link.restLength);
    }
  }
}

int usage() {
  std::fprintf(stderr, "usage: levtool dump FILE.lev | levtool check FILE.lev\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return usage();
  const char* command = argv[1];
  const char* path = argv[2];
  if (std::strcmp(command, "dump") != 0 && std::strcmp(command, "check") != 0) return usage();

  static pw::Level level;
  level.reset();
  const pw::LevelFileResult result = pw::loadFile(level, path);
  if (!result.ok()) {
    std::fprintf(stderr, "levtool: %s\n", result.reason);
    return 1;
  }
  if (std::strcmp(command, "dump") == 0) {
    dumpLevel(level);
  } else {
    std::printf("%s: valid level, %d particles\n", path, level.count);
  }
  return 0;
}
