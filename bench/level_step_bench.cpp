// Cost of one simulation step of the level plus the player body.

#include <benchmark/benchmark.h>

#include <memory>

#include "level/game_world.h"
#include "level/level_step.h"
#include "bench_levels.h"

namespace pw {
namespace {

void stepWorld(benchmark::State& state, void (*build)(Level&)) {
  auto world = std::make_unique<GameWorld>();
  build(world->level);
  world->level.run();
  world->body.position = kPlayerStart;
  world->body.push = Vec4(0.021f, 0, 0);
  for (auto _ : state) {
    stepLevel(world->level);
    stepPlayerBody(world->level, world->body, world->walker);
    benchmark::DoNotOptimize(world->body.position);
  }
  state.counters["particles"] = world->level.count;
}

void BM_StepFullLevel(benchmark::State& state) { stepWorld(state, buildFullLevel); }
void BM_StepTypicalLevel(benchmark::State& state) { stepWorld(state, buildTypicalLevel); }

BENCHMARK(BM_StepFullLevel);
BENCHMARK(BM_StepTypicalLevel);

}  // namespace
}  // namespace pw
