#include <cmath>

#include "walker/walker.h"

namespace pw {

float ringSin[kRingPoints];
float ringCos[kRingPoints];
Colour jointColours[kJointCount];

namespace {

struct JointLayout {
  int32_t parent;
  float depthRadius;
  float widthRadius;
  float x, y, z;
};

// +x and -x are the robot's two sides; it faces -z in model space.
constexpr JointLayout kJointLayout[kJointCount] = {
    {-1, 1.0f, 1.0f, 0.0f, 2.0f, 0.0f},       // 0 pelvis (root)
    {0, 1.1f, 1.515f, 0.0f, 2.0f, 0.2f},      // 1 lower spine
    {1, 1.0f, 1.25f, 0.0f, 2.0f, 0.0f},       // 2 upper spine
    {2, 1.0f, 1.5f, 0.0f, 4.0f, -0.2f},       // 3 chest
    {3, 0.5f, 0.5f, 0.0f, 1.25f, -0.2f},      // 4 neck
    {4, 0.805f, 0.805f, 0.0f, 3.0f, 0.0f},    // 5 head
    {3, 0.5f, 0.5f, 1.5f, 0.5f, 0.0f},        // 6 shoulder +x
    {6, 0.75f, 0.5f, 1.0f, -6.0f, 0.0f},      // 7 elbow +x
    {7, 0.5f, 0.5f, 0.0f, -4.0f, -0.5f},      // 8 wrist +x
    {8, 0.65f, 0.65f, 0.0f, -1.0f, 0.0f},     // 9 hand +x
    {3, 0.5f, 0.5f, -1.5f, 0.5f, 0.0f},       // 10 shoulder -x
    {10, 0.75f, 0.5f, -1.0f, -6.0f, 0.0f},    // 11 elbow -x
    {11, 0.5f, 0.5f, 0.0f, -4.0f, -0.5f},     // 12 wrist -x
    {12, 0.65f, 0.65f, 0.0f, -1.0f, 0.0f},    // 13 hand -x
    {0, 1.0f, 0.9f, 0.7f, -1.0f, 0.0f},       // 14 hip +x
    {14, 0.7f, 0.6f, 0.5f, -7.0f, -0.15f},    // 15 knee +x
    {15, 0.55f, 0.55f, 0.0f, -6.0f, 0.13f},   // 16 ankle +x
    {16, 1.0f, 0.6f, 0.0f, 0.0f, -1.0f},      // 17 toe +x
    {0, 1.0f, 0.9f, -0.7f, -1.0f, 0.0f},      // 18 hip -x
    {18, 0.7f, 0.6f, -0.5f, -7.0f, -0.15f},   // 19 knee -x
    {19, 0.55f, 0.55f, 0.0f, -6.0f, 0.13f},   // 20 ankle -x
    {20, 1.0f, 0.6f, 0.0f, 0.0f, -1.0f},      // 21 toe -x
};

struct Pair {
  int from, to;
};

// One-sided links that brace the shoulders, hips and neck against each other.
constexpr Pair kBracingLinks[] = {{6, 10},  {10, 6}, {14, 18}, {18, 14}, {14, 10},
                                  {18, 6},  {14, 6}, {18, 10}, {14, 19}, {18, 15},
                                  {14, 4},  {4, 14}, {4, 18},  {18, 4}};

// Knee partners hold the legs' twist once the ragdoll takes over.
constexpr Pair kKneePartnerLinks[] = {{22, 15}, {23, 19}, {22, 14}, {23, 18},
                                      {22, 18}, {23, 14}, {22, 16}, {23, 20}};

struct SpacerLayout {
  int from, to;
  float factor;  // minDistance = bodyScale * 2.5 * factor
};

constexpr SpacerLayout kSpacers[] = {
    {6, 11, 2.875f},  {10, 7, 2.875f},  // shoulder and opposite elbow
    {11, 0, 1.0f},    {7, 0, 1.0f},     // elbows and pelvis
    {12, 10, 3.16f},  {8, 6, 3.16f},    // wrists and shoulders
    {19, 2, 4.16f},   {15, 2, 4.16f},   // knees and upper spine
    {20, 18, 2.016f}, {16, 14, 2.016f}, // ankles and hips
};

void appendLink(Particle& from, Particle& to, float restLength) {
  ParticleLink& link = from.links[from.linkCount++];
  link.target = &to;
  link.restLength = restLength;
  link.type = Plain;
  link.targetIndex = 0;
}

void appendSpacer(Particle& from, Particle& to, float minDistance) {
  ParticleSpacer& spacer = from.spacers[from.spacerCount++];
  spacer.other = &to;
  spacer.minDistance = minDistance;
}

}  // namespace

WalkerBody::WalkerBody() {
  setIdentity(bodyTransform);
  setIdentity(headingRotation);
  build();
}

void WalkerBody::build() {
  up = Vec4(0.0f, 1.0f, 0.0f, 1.0f);
  tilt = 0.0f;
  for (Particle& p : particles) p.clear();

  constexpr double kSixthTurn = 3.14159265358979323846 / 3.0;
  for (int k = 0; k < kRingPoints; ++k) {
    ringSin[k] = static_cast<float>(std::sin(k * kSixthTurn));
    ringCos[k] = static_cast<float>(std::cos(k * kSixthTurn));
  }
  for (Colour& c : jointColours) c = Colour{1.0f, 1.0f, 1.0f, 1.0f};
  alive = 1;

  for (int i = 0; i < kJointCount; ++i) {
    const JointLayout& layout = kJointLayout[i];
    BodyJoint& joint = joints[i];
    joint.parent = layout.parent;
    joint.depthRadius = layout.depthRadius;
    joint.widthRadius = layout.widthRadius;
    joint.localPosition = Vec4(layout.x, layout.y, layout.z, 1.0f);
    setIdentity(joint.localRotation);
    setIdentity(joint.world);
  }

  // Every joint's world translation is still zero, so these rest lengths
  // start at 0; the first living step sets them from the pose.
  for (int i = 1; i < kJointCount; ++i) {
    const int parent = joints[i].parent;
    const float rest = length(column(joints[i].world, 3) - column(joints[parent].world, 3));
    appendLink(particles[i], particles[parent], rest);
    appendLink(particles[parent], particles[i], rest);
  }
  for (const Pair& pair : kBracingLinks) appendLink(particles[pair.from], particles[pair.to], 0.0f);

  const float kneeRest = bodyScale * 2.5f * 1.475f;
  appendSpacer(particles[5], particles[3], kneeRest);  // head against chest
  for (const Pair& pair : kKneePartnerLinks) appendLink(particles[pair.from], particles[pair.to], kneeRest);
  for (const SpacerLayout& s : kSpacers) {
    appendSpacer(particles[s.from], particles[s.to], bodyScale * 2.5f * s.factor);
  }

  sway = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
  setIdentity(bodyTransform);
}

}  // namespace pw
