#pragma once
// The player's robot: a tree of 22 joints drawn as limb tubes, and 24 point
// masses (one per joint plus a partner beside each knee) that take over as a
// ragdoll when it dies. It is drawn around the player body and holds the
// game's `alive` flag and death timer.
// Joint geometry is in model units; bodyScale converts them to world units.

#include <cstdint>

#include "math/mat4.h"
#include "physics/particle.h"

namespace pw {

struct Level;
struct JoystickState;
struct VertexBatch;

constexpr int kJointCount = 22;
constexpr int kWalkerParticles = 24;
constexpr int kRingPoints = 7;  // six sides, the last point closes the ring
constexpr float bodyScale = 0.02f;

struct Colour {
  float r, g, b, a;
};

// Tables shared by every robot, filled by WalkerBody::build().
extern float ringSin[kRingPoints];
extern float ringCos[kRingPoints];
extern Colour jointColours[kJointCount];

struct BodyJoint {
  int32_t parent = -1;        // always a smaller index; -1 for the root
  float depthRadius = 1.0f;   // tube half-depth along the parent's z axis, model units
  float widthRadius = 0.0f;   // tube half-width along the parent's x axis, model units
  Vec4 localPosition;         // relative to the parent, in its frame, model units
  Mat4 localRotation;         // turns everything below this joint
  Mat4 world;                 // world transform, rebuilt every step
};

struct WalkerBody {
  Vec4 sway;                  // world offset of every joint (walk-cycle bob)
  Mat4 bodyTransform;         // scale, heading, tilt and anchor
  Mat4 headingRotation;       // RotY(heading), written before every step
  BodyJoint joints[kJointCount];
  Particle particles[kWalkerParticles];  // 0..21 on the joints, 22 and 23 beside the knees
  uint8_t alive = 1;          // copy of Walker::alive taken by drive()
  Vec4 up{0.0f, 1.0f, 0.0f, 1.0f};  // away from the pulling surface
  float tilt = 0.0f;          // roll about z, radians, eased towards `up`

  WalkerBody();
  // Body records point at each other's particles: not copyable.
  WalkerBody(const WalkerBody&) = delete;
  WalkerBody& operator=(const WalkerBody&) = delete;

  // Lays out the joint tree, the links and the spacers.
  void build();

  // Walk cycle: writes the joints' localRotation and, when grounded, `sway`.
  // Angles in radians; phase only grows.
  void pose(float phase, float amplitude, bool grounded);

  // Once per frame: moves the particles, poses the joints from the anchor,
  // heading and tilt (animated) or rebuilds them from the particles
  // (ragdoll), then appends the limb tubes to the batch.
  // Joystick button 1 pins hands and shoulders, button 2 forces the ragdoll.
  void step(Vec4 anchor, Level& level, const JoystickState& joystick, VertexBatch& batch);

  // Joint world transforms from localPosition, localRotation, bodyTransform and sway.
  void forwardKinematics();
  // Animated mode only: particles onto the joints, rest lengths from the pose.
  void snapParticles(const JoystickState& joystick);
  // Ragdoll: joint positions and orientations from the particles.
  void framesFromParticles();
};

struct Walker {
  float speed = 0.0f;         // smoothed steering magnitude
  float heading = 0.0f;       // facing angle about the vertical axis, radians
  Vec4 steerDirection;        // last nonzero steering direction (x-z plane)
  Vec4 anchor;                // where the body stands: the player body's position
  float gaitPhase = 0.0f;     // walk-cycle phase; only grows
  WalkerBody body;
  uint8_t grounded = 0;       // the player body counts as standing
  uint8_t alive = 1;
  float deathTimer = 0.0f;    // grows 0.1 per frame while dead
  float steerScale = 1.0f;

  // Early in the frame: push is the steering vector (only x and z count,
  // about -1000..1000 at full deflection). Smooths the speed and poses the
  // walk cycle for this frame's `grounded`.
  void drive(Vec4 push);
  // After the level and the player body have stepped: turns towards the last
  // steering direction and steps the body, which draws itself into the batch.
  void advance(Level& level, const JoystickState& joystick, VertexBatch& batch);
};

}  // namespace pw
