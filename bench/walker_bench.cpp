// Cost of one robot body step (particles, solver, limb tubes into the batch)
// in the animated mode and as a ragdoll among a few solid links.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "app/joystick_state.h"
#include "level/level.h"
#include "render/vertex_batch.h"
#include "walker/walker.h"

namespace pw {
namespace {

struct Scene {
  std::unique_ptr<Walker> walker = std::make_unique<Walker>();
  std::unique_ptr<Level> level = std::make_unique<Level>();
  std::vector<FrameVertex> storage = std::vector<FrameVertex>(1024);
  VertexBatch batch;
  JoystickState joystick;

  Scene() {
    level->reset();
    batch.vertices = storage.data();
    batch.capacity = static_cast<int32_t>(storage.size());
    // A floor of solid links under the robot and a surface high above, so
    // the ragdoll's collisions and pull have real work.
    addLink(Vec4(-3.0f, -1.0f, 0.0f), Vec4(-1.0f, -1.2f, 0.0f), Solid);
    addLink(Vec4(-1.0f, -1.2f, 0.0f), Vec4(1.0f, -1.0f, 0.0f), Solid);
    addLink(Vec4(1.0f, -1.0f, 0.0f), Vec4(3.0f, -1.3f, 0.0f), Hazard);
    addLink(Vec4(-0.5f, 0.2f, 0.0f), Vec4(0.5f, 0.25f, 0.0f), Solid);
    addLink(Vec4(-4.0f, 4.0f, 0.0f), Vec4(4.0f, 4.0f, 0.0f), Surface);
    walker->grounded = 1;
  }

  void addLink(Vec4 a, Vec4 b, int32_t type) {
    Particle* p = level->allocate();
    Particle* q = level->allocate();
    p->position = p->previous = a;
    q->position = q->previous = b;
    level->connect(*p, *q, type);
  }

  void frame() {
    walker->drive(Vec4(1500.0f, 0.0f, 0.0f));
    ResetBatch(batch);
    walker->advance(*level, joystick, batch);
  }
};

void BM_WalkerStepAnimated(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.frame();
    benchmark::DoNotOptimize(scene.walker->body.particles[0].position);
  }
  state.SetLabel("ns per frame: drive + advance (step and 21 tubes)");
}
BENCHMARK(BM_WalkerStepAnimated);

void BM_WalkerStepRagdoll(benchmark::State& state) {
  Scene scene;
  for (int i = 0; i < 3; ++i) scene.frame();
  scene.walker->alive = 0;
  for (auto _ : state) {
    scene.frame();
    benchmark::DoNotOptimize(scene.walker->body.particles[0].position);
  }
  state.SetLabel("ns per frame: drive + advance, ten constraint passes");
}
BENCHMARK(BM_WalkerStepRagdoll);

void BM_WalkerBodyStepOnly(benchmark::State& state) {
  Scene scene;
  scene.frame();
  WalkerBody& body = scene.walker->body;
  const bool ragdoll = state.range(0) != 0;
  if (ragdoll) body.alive = 0;
  for (auto _ : state) {
    ResetBatch(scene.batch);
    body.step(scene.walker->anchor, *scene.level, scene.joystick, scene.batch);
    benchmark::DoNotOptimize(body.particles[0].position);
  }
  state.SetLabel(ragdoll ? "WalkerBody::step, ragdoll" : "WalkerBody::step, animated");
}
BENCHMARK(BM_WalkerBodyStepOnly)->Arg(0)->Arg(1);

}  // namespace
}  // namespace pw
