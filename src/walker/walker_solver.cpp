// The robot body's step: animated (joints drive the particles) or ragdoll
// (particles drive the joints).

#include <cmath>

#include "app/joystick_state.h"
#include "level/level.h"
#include "physics/collisions.h"
#include "walker/lerp_angle.h"
#include "walker/limb_mesh.h"
#include "walker/walker.h"

namespace pw {

namespace {

constexpr int kRagdollPasses = 10;
constexpr float kTiltEasing = 0.075f;  // fraction of the remaining roll per step

bool pinsHeld(const JoystickState& joystick) { return joystick.rgbButtons[1] != 0; }
bool ragdollHeld(const JoystickState& joystick) { return joystick.rgbButtons[2] != 0; }

Vec4 jointPosition(const BodyJoint& joint) { return column(joint.world, 3); }

// Joints whose rebuilt frame has its z axis flipped: the spine, the neck and
// everything hanging from them directly.
bool spineSide(int joint) { return joint >= 1 && joint <= 4; }

}  // namespace

void WalkerBody::step(Vec4 anchor, Level& level, const JoystickState& joystick, VertexBatch& batch) {
  for (Particle& p : particles) p.beginStep();
  for (Particle& p : particles) p.integrate();

  const bool ragdoll = ragdollHeld(joystick) || alive == 0;
  if (ragdoll) {
    for (int pass = 0; pass < kRagdollPasses; ++pass)
      for (Particle& p : particles) p.satisfyConstraints();
    // The ragdoll's gravity: 0.001 down per step, or towards a near Surface.
    for (Particle& p : particles) p.position += surfacePull(level, p.position).displacement;
    for (Particle& p : particles) collideRobotParticle(level, p);
  }

  // A model point p lands at anchor + RotZ(tilt) * RotY(heading) * (0.02 p).
  setIdentity(bodyTransform);
  bodyTransform.m[0][0] *= bodyScale;
  bodyTransform.m[1][1] *= bodyScale;
  bodyTransform.m[2][2] *= bodyScale;
  preMultiply(bodyTransform, headingRotation);
  // Roll the body's y axis towards `up` in the x-y plane, a little per step.
  const float upAngle = static_cast<float>(std::atan2(static_cast<double>(up.x), static_cast<double>(up.y)));
  tilt = lerpAngle(tilt, upAngle, kTiltEasing);
  Mat4 roll = identityMatrix();
  RotZ(roll, tilt);
  preMultiply(bodyTransform, roll);
  setColumn(bodyTransform, 3, anchor);

  if (!ragdollHeld(joystick) || pinsHeld(joystick)) forwardKinematics();
  snapParticles(joystick);

  if (pinsHeld(joystick)) {
    // Each hand at the opposite toe, each shoulder at its own knee. Taken
    // after the rest lengths, so an animated body is drawn unchanged; a
    // ragdoll curls up.
    particles[9].position = jointPosition(joints[21]);
    particles[13].position = jointPosition(joints[17]);
    particles[6].position = jointPosition(joints[15]);
    particles[10].position = jointPosition(joints[19]);
  }

  if (ragdoll) framesFromParticles();

  LimbRings rings;
  drawWalkerBody(*this, batch, rings);
}

void WalkerBody::forwardKinematics() {
  for (BodyJoint& joint : joints) {
    joint.world = joint.localRotation;
    setColumn(joint.world, 3, joint.localPosition);
  }
  // Parents have smaller indices, so each parent is final when its children use it.
  for (int i = 1; i < kJointCount; ++i) preMultiply(joints[i].world, joints[joints[i].parent].world);
  for (BodyJoint& joint : joints) {
    preMultiply(joint.world, bodyTransform);
    setColumn(joint.world, 3, column(joint.world, 3) + sway);
  }
}

void WalkerBody::snapParticles(const JoystickState& joystick) {
  if (ragdollHeld(joystick) || alive == 0) return;
  for (int i = 0; i < kJointCount; ++i) particles[i].position = jointPosition(joints[i]);
  // Each knee partner stands where the other knee would be with parallel
  // legs, so the knees and partners brace the legs against twisting.
  const Vec4 hipToHip = particles[18].position - particles[14].position;
  particles[22].position = jointPosition(joints[15]) + hipToHip;
  particles[23].position = jointPosition(joints[19]) - hipToHip;
  // previous is left alone: the next beginStep takes the joints' motion as
  // the velocity the ragdoll starts with.
  for (Particle& p : particles) {
    for (int k = 0; k < p.linkCount; ++k) {
      ParticleLink& link = p.links[k];
      link.restLength = length(p.position - link.target->position);
    }
  }
}

void WalkerBody::framesFromParticles() {
  const Vec4 shoulderToShoulder = particles[10].position - particles[6].position;
  for (int i = 0; i < kJointCount; ++i) {
    const int parent = joints[i].parent;
    // Along the segment from the joint to its parent (the root: up the spine).
    const Vec4 d = (i == 0) ? particles[1].position - particles[0].position
                            : particles[parent].position - particles[i].position;
    Vec4 z = cross(shoulderToShoulder, d);
    Vec4 x = cross(d, z);
    Vec4 y = d;
    normalize(x);
    normalize(y);
    normalize(z);
    x *= bodyScale;
    y *= bodyScale;
    z *= bodyScale;
    if (spineSide(i) || spineSide(parent)) z *= -1.0f;
    if (i == 0 || i == 3) {
      setColumn(joints[i].world, 0, x);
      setColumn(joints[i].world, 1, y);
      setColumn(joints[i].world, 2, z);
    }
    // A joint with one child takes its orientation from the segment to it;
    // the pelvis and chest, with several, keep their own.
    if (i != 0 && parent != 0 && parent != 3) {
      setColumn(joints[parent].world, 0, x);
      setColumn(joints[parent].world, 1, y);
      setColumn(joints[parent].world, 2, z);
    }
    setColumn(joints[i].world, 3, particles[i].position);
  }
}

}  // namespace pw
