#include "app/game_copy.h"

#include <cstring>

#include "app/game.h"

namespace pw {

namespace {

// Every record copied here is listed field by field; a new field must be
// added below, and these sizes (of this 64-bit build) make that hard to miss.
static_assert(sizeof(void*) != 8 || sizeof(Particle) == 920, "Particle changed: check copyParticles");
static_assert(sizeof(void*) != 8 || sizeof(Level) == 92416, "Level changed: check copyLevel");
static_assert(sizeof(void*) != 8 || sizeof(WalkerBody) == 25680, "WalkerBody changed: check copyWalker");
static_assert(sizeof(void*) != 8 || sizeof(Walker) == 25744, "Walker changed: check copyWalker");
static_assert(sizeof(void*) != 8 || sizeof(GameWorld) == 118528, "GameWorld changed: check copyGame");
static_assert(sizeof(void*) != 8 || sizeof(Game) == 123408, "Game changed: check copyGame");
static_assert(sizeof(void*) != 8 || sizeof(Editor) == 4672, "Editor changed: check copyEditor");

Particle* rebase(Particle* p, const Particle* fromBase, Particle* toBase, int n) {
  if (p >= fromBase && p < fromBase + n) return toBase + (p - fromBase);
  return p;  // nothing points outside its own body; kept as it is if it ever does
}

// Copies n particles and points every reference into `from` at the same
// place in `to`, stale entries beyond the counts included.
void copyParticles(const Particle* from, Particle* to, int n) {
  for (int i = 0; i < n; ++i) {
    to[i] = from[i];
    for (ParticleLink& link : to[i].links) link.target = rebase(link.target, from, to, n);
    for (ParticleSpacer& spacer : to[i].spacers) spacer.other = rebase(spacer.other, from, to, n);
    for (Particle*& partner : to[i].planePartners) partner = rebase(partner, from, to, n);
  }
}

void copyWalkerBody(const WalkerBody& from, WalkerBody& to) {
  to.sway = from.sway;
  to.bodyTransform = from.bodyTransform;
  to.headingRotation = from.headingRotation;
  for (int i = 0; i < kJointCount; ++i) to.joints[i] = from.joints[i];
  copyParticles(from.particles, to.particles, kWalkerParticles);
  to.alive = from.alive;
  to.up = from.up;
  to.tilt = from.tilt;
}

Particle* rebaseIntoLevel(Particle* p, const Level& from, Level& to) {
  return rebase(p, from.particles, to.particles, kLevelSlots);
}

// The undo history belongs to an editing session and is not copied; the
// rest of the editor is, with its picked particles moved into the copy.
void copyEditor(const Editor& from, const Level& fromLevel, Editor& to, Level& toLevel) {
  to.dragged = rebaseIntoLevel(from.dragged, fromLevel, toLevel);
  to.pending = rebaseIntoLevel(from.pending, fromLevel, toLevel);
  to.message = from.message;
  std::memcpy(to.filePath, from.filePath, sizeof to.filePath);
  to.savedSerial = from.savedSerial;
  to.dragStart = from.dragStart;
  to.dragMoved = from.dragMoved;
  to.dialogShown = from.dialogShown;
}

}  // namespace

void copyLevel(const Level& from, Level& to) {
  to.count = from.count;
  copyParticles(from.particles, to.particles, kLevelSlots);
  std::memcpy(to.freeSlots, from.freeSlots, sizeof to.freeSlots);
  to.allocated = from.allocated;
  to.running = from.running;
}

void copyWalker(const Walker& from, Walker& to) {
  to.speed = from.speed;
  to.heading = from.heading;
  to.steerDirection = from.steerDirection;
  to.anchor = from.anchor;
  to.gaitPhase = from.gaitPhase;
  copyWalkerBody(from.body, to.body);
  to.grounded = from.grounded;
  to.alive = from.alive;
  to.deathTimer = from.deathTimer;
  to.steerScale = from.steerScale;
}

void copyGame(const Game& from, Game& to) {
  if (&from == &to) return;
  copyWalker(from.world.walker, to.world.walker);
  to.world.body = from.world.body;
  copyLevel(from.world.level, to.world.level);
  to.world.flow = from.world.flow;
  std::memcpy(to.world.levelDirectory, from.world.levelDirectory, sizeof to.world.levelDirectory);
  to.input = from.input;
  to.joystick = from.joystick;
  to.camera = from.camera;
  to.batch = from.batch;
  copyEditor(from.editor, from.world.level, to.editor, to.world.level);
  to.fileChooser = from.fileChooser;
}

}  // namespace pw
