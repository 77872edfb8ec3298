#include "app/frame.h"

#include "app/game.h"
#include "level/level_drawing.h"
#include "level/level_sequence.h"
#include "level/level_step.h"
#include "render/billboard.h"
#include "render/render_backend.h"
#include "render/room.h"
#include "render/screen_overlay.h"

namespace pw {

namespace {

constexpr float kCursorScale = 5.0f;      // mouse -1..1 to world units
constexpr float kDriveGain = 20000.0f;    // body velocity to the robot's drive
constexpr float kSteerDeadZone = 0.1f;
constexpr float kPushGain = 0.021f;       // steering push per step
constexpr float kSteerTorqueGain = 100000.0f;
constexpr float kSteerTorqueLimit = 2000.0f;
constexpr float kPushDecay = 0.9f;
constexpr float kVelocityXDecay = 0.98f;
constexpr float kJumpImpulse = 0.05f;
constexpr float kCursorHalfSize = 0.5f;

float clampTo(float v, float limit) {
  if (v > limit) return limit;
  if (v < -limit) return -limit;
  return v;
}

// Keeps the first non-ok result of the frame.
void keepFailure(LevelFileResult& kept, const LevelFileResult& result) {
  if (kept.ok() && !result.ok()) kept = result;
}

// The steering push along the surface the body stands on; returns its length.
float steer(PlayerBody& body, float sign) {
  Vec4 a = cross(body.up, Vec4(0.0f, 0.0f, 1.0f, 1.0f));
  a *= sign * kPushGain;
  Vec4 p = a - body.groundNormal * dot(body.groundNormal, a);
  p.w = 1.0f;
  body.push = p;
  return length(p);
}

// Turns steering and jump into the body's push and velocity and the robot's drive.
void applySteering(Game& game) {
  PlayerBody& body = game.world.body;
  Walker& walker = game.world.walker;
  const InputState& input = game.input;

  const float tilt = walker.body.tilt;
  Mat4 untilt = identityMatrix();
  RotZ(untilt, -tilt);
  Vec4 drive = transformDirection(untilt, body.velocity * kDriveGain);

  if (body.groundTimer == 0) body.groundNormal = Vec4(0.0f, 0.0f, 0.0f, 1.0f);

  Vec4 jump(0.0f, 0.0f, 0.0f, 1.0f);
  if (input.jump && body.groundTimer != 0) {
    // No steering and no velocity decay on the frame of a jump.
    jump = Vec4(0.0f, kJumpImpulse, 0.0f, 1.0f);
    body.groundTimer = 0;
  } else {
    const float s = static_cast<float>(input.steerLeft + input.steerRight);
    if (s > kSteerDeadZone) {
      drive.x = -kSteerTorqueGain * steer(body, -1.0f);
    } else if (s < -kSteerDeadZone) {
      drive.x = kSteerTorqueGain * steer(body, 1.0f);
    } else {
      drive.x = 0.0f;
      body.push *= kPushDecay;
    }
    body.velocity.x *= kVelocityXDecay;
  }
  // The jump follows the robot's tilted up direction.
  Mat4 tiltRotation = identityMatrix();
  RotZ(tiltRotation, tilt);
  body.velocity += transformDirection(tiltRotation, jump);

  drive.x = clampTo(drive.x, kSteerTorqueLimit);
  walker.drive(drive);
}

void playSteps(Game& game, Vec4 cursor, LevelFileResult& loads) {
  GameWorld& world = game.world;
  VertexBatch& batch = *game.batch;
  keepFailure(loads, checkGoal(world));
  keepFailure(loads, checkRestart(world));

  cursor.x = clampTo(cursor.x, 5.0f);
  cursor.y = clampTo(cursor.y, 5.0f);

  const PlayerBody& body = world.body;
  Walker& walker = world.walker;
  walker.anchor = Vec4(body.position.x, body.position.y, 0.0f, body.position.w);
  walker.body.up = body.up;
  walker.grounded = body.groundTimer != 0 ? 1 : 0;

  applySteering(game);
  updateEditor(world, game.input, game.editor, game.fileChooser);

  stepLevel(world.level);
  stepPlayerBody(world.level, world.body, walker);

  ResetBatch(batch);
  walker.advance(world.level, game.joystick, batch);
  FlushBlended(batch, 2);

  ResetBatch(batch);
  batch.doubleNext = 0;
  drawParticles(world.level, batch, game.camera.view);
  FlushAdditive(batch, 0);

  ResetBatch(batch);
  drawLinks(world.level, batch);
  FlushBlended(batch, 5);

  ResetBatch(batch);
  if (world.flow.levelSequenceMode == 0) {
    DrawBillboard(batch, game.camera.view, cursor, kCursorHalfSize);
    FlushAdditive(batch, 0);
    ResetBatch(batch);
    if (game.input.overlayToggle) {
      DrawScreenOverlay(batch, game.camera);
      FlushAdditive(batch, 1);
    }
  }
}

void titleSteps(Game& game, LevelFileResult& loads) {
  VertexBatch& batch = *game.batch;
  ResetBatch(batch);
  DrawScreenOverlay(batch, game.camera);
  FlushAdditive(batch, 3);
  if (game.input.leftButton || game.input.anyKey) keepFailure(loads, startPlay(game, nullptr));
}

}  // namespace

LevelFileResult startPlay(Game& game, const char* levelPath) {
  GameWorld& world = game.world;
  world.level.reset();
  world.body.position = kPlayerStart;
  world.body.velocity = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
  world.flow.playing = 1;
  world.flow.levelIndex = 0;
  if (world.flow.levelSequenceMode == 0) {
    game.editor.history.reserve();  // now, not in the frame of the first edit
    return LevelFileResult{};
  }

  LevelFileResult result;
  if (levelPath != nullptr) {
    result = loadFile(world.level, levelPath);
  } else {
    result = loadLevel(world, 0);
  }
  world.level.run();
  world.flow.currentTool = kPlayTool;
  return result;
}

LevelFileResult runFrame(Game& game) {
  LevelFileResult loads;
  InputState& input = game.input;
  if (game.world.flow.playing == 0) input.mouseX = input.mouseY = 0.0f;
  const Vec4 cursor(kCursorScale * input.mouseX, kCursorScale * input.mouseY, 0.0f, 1.0f);

  VertexBatch& batch = *game.batch;
  RenderBackend* backend = batch.backend;
  if (backend != nullptr && !backend->beginScene()) return loads;

  UpdateCamera(game.camera, game.world.flow, game.world.body, backend);
  ResetBatch(batch);
  DrawRoom(batch);
  // Decided once: a step that changes `playing` takes effect next frame.
  if (game.world.flow.playing == 0) {
    titleSteps(game, loads);
  } else {
    playSteps(game, cursor, loads);
  }
  if (backend != nullptr) backend->endScene();
  return loads;
}

}  // namespace pw
