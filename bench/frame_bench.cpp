// Cost of one whole play frame: simulation, robot and batch building, with
// the null back end.

#include <benchmark/benchmark.h>

#include <memory>

#include "app/frame.h"
#include "app/game.h"
#include "bench_levels.h"
#include "render/null_backend.h"

namespace pw {
namespace {

void playFrames(benchmark::State& state, void (*build)(Level&)) {
  static NullBackend backend;
  VertexBatch& batch = frameBatch();
  batch.backend = &backend;
  auto game = std::make_unique<Game>();
  game->batch = &batch;
  GameWorld& world = game->world;
  build(world.level);
  world.level.run();
  world.body.position = kPlayerStart;
  world.flow.playing = 1;
  world.flow.currentTool = kPlayTool;
  game->input.steerRight = -1;
  for (auto _ : state) {
    runFrame(*game);
    benchmark::DoNotOptimize(game->world.body.position);
  }
}

void BM_PlayFrameFullLevel(benchmark::State& state) { playFrames(state, buildFullLevel); }
void BM_PlayFrameTypicalLevel(benchmark::State& state) { playFrames(state, buildTypicalLevel); }

BENCHMARK(BM_PlayFrameFullLevel);
BENCHMARK(BM_PlayFrameTypicalLevel);

}  // namespace
}  // namespace pw
