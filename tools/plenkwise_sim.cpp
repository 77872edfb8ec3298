// plenkwise-sim: plays the real frame sequencer without a window.
//   plenkwise-sim [--level FILE] [--input SCRIPT] [--frames N] [--particles] [--data DIR]
// Prints one line of state after every frame.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/game.h"
#include "app/main_loop.h"
#include "held_keys.h"
#include "input_script.h"
#include "render/null_backend.h"

namespace {

struct Options {
  const char* level = nullptr;
  const char* input = nullptr;
  long long frames = -1;
  bool particles = false;
  const char* data = nullptr;
};

int usage() {
  std::fprintf(stderr,
               "usage: plenkwise-sim [--level FILE] [--input SCRIPT] [--frames N] [--particles] [--data DIR]\n");
  return 2;
}

bool parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(arg, "--particles") == 0) {
      options.particles = true;
    } else if (std::strcmp(arg, "--level") == 0 && hasValue) {
      options.level = argv[++i];
    } else if (std::strcmp(arg, "--input") == 0 && hasValue) {
      options.input = argv[++i];
    } else if (std::strcmp(arg, "--data") == 0 && hasValue) {
      options.data = argv[++i];
    } else if (std::strcmp(arg, "--frames") == 0 && hasValue) {
      char* end = nullptr;
      options.frames = std::strtoll(argv[++i], &end, 10);
      if (*end != '\0' || options.frames < 0) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool readScript(const char* path, std::vector<pw::ScriptSegment>& segments) {
  std::ifstream file(path);
  if (!file) {
    std::fprintf(stderr, "plenkwise-sim: cannot read input script %s\n", path);
    return false;
  }
  std::stringstream text;
  text << file.rdbuf();
  std::string error;
  if (!pw::parseInputScript(text.str(), segments, error)) {
    std::fprintf(stderr, "plenkwise-sim: %s: %s\n", path, error.c_str());
    return false;
  }
  return true;
}

void printFrame(const pw::Game& game, long long n, bool particles) {
  const pw::GameWorld& w = game.world;
  std::printf("frame=%lld level=%d playing=%d alive=%d x=%.9g y=%.9g vx=%.9g vy=%.9g ground=%d tilt=%.9g\n", n,
              w.flow.levelIndex, w.flow.playing ? 1 : 0, w.walker.alive ? 1 : 0, w.body.position.x,
              w.body.position.y, w.body.velocity.x, w.body.velocity.y, w.body.groundTimer, w.walker.body.tilt);
  if (!particles) return;
  for (const pw::Particle& p : w.level.particles) {
    if (p.inUse) std::printf("p %d %.9g %.9g\n", p.slot, p.position.x, p.position.y);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) return usage();

  std::vector<pw::ScriptSegment> script;
  if (options.input != nullptr && !readScript(options.input, script)) return 1;
  long long frames = options.frames;
  if (frames < 0) {
    frames = 0;
    for (const pw::ScriptSegment& s : script) frames += s.frames;
  }

  static pw::NullBackend backend;
  pw::VertexBatch& batch = pw::frameBatch();
  batch.backend = &backend;
  auto game = std::make_unique<pw::Game>();
  game->batch = &batch;
  if (options.data != nullptr) {
    std::snprintf(game->world.levelDirectory, sizeof game->world.levelDirectory, "%s", options.data);
  }
  pw::LoopState loop;

  if (options.level != nullptr) {
    const pw::LevelFileResult result = pw::startPlay(*game, options.level);
    if (!result.ok()) {
      std::fprintf(stderr, "plenkwise-sim: %s\n", result.reason);
      return 1;
    }
  }

  size_t segment = 0;
  int32_t leftInSegment = 0;
  uint8_t held = 0;
  for (long long n = 1; n <= frames && !loop.quit; ++n) {
    while (leftInSegment == 0 && segment < script.size()) {
      changeHeldKeys(*game, loop, held, script[segment].held);
      held = script[segment].held;
      leftInSegment = script[segment].frames;
      ++segment;
    }
    if (leftInSegment == 0 && held != 0) {  // the script has ended: let go of everything
      changeHeldKeys(*game, loop, held, 0);
      held = 0;
    }
    if (leftInSegment > 0) --leftInSegment;
    const pw::LevelFileResult result = pw::frameTurn(*game, loop);
    if (!result.ok()) std::fprintf(stderr, "plenkwise-sim: warning: %s\n", result.reason);
    printFrame(*game, n, options.particles);
  }
  return 0;
}
