#include "render/camera.h"

#include "render/render_backend.h"

namespace pw {

namespace {

constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 1000.0f;
// The room's open front, where the eye rests when it does not follow.
constexpr Vec4 kRestTarget{0.0f, 0.0f, -5.0f, 1.0f};
// Following, the eye sits one unit nearer than at rest.
constexpr float kFollowDepth = -4.0f;

Vec4 cameraTarget(const GameFlow& flow, const PlayerBody& body) {
  if (flow.currentTool != kPlayTool) return kRestTarget;
  // Half the body's offset from the room's centre: the body stays in view
  // without the picture chasing every step.
  return Vec4(0.5f * body.position.x, 0.5f * body.position.y, kFollowDepth, 1.0f);
}

// Left-handed look-at from eye along +z with +y up: no rotation, only the
// translation by minus the eye.
Mat4 lookAlongZ(const Vec4& eye) {
  Mat4 v{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  v.m[3][0] = -eye.x;
  v.m[3][1] = -eye.y;
  v.m[3][2] = -eye.z;
  return v;
}

// Left-handed perspective, 90 degree vertical field of view, aspect 1: the
// view spans exactly -d..d in x and y at distance d (the picture is stretched
// to the 4:3 window). Depth maps near..far to 0..1. The x and y scale,
// cot(45 degrees), is 1 exactly.
Mat4 perspective90() {
  const float depthScale = kFarPlane / (kFarPlane - kNearPlane);
  Mat4 p{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}, {0, 0, 0, 0}}};
  p.m[2][2] = depthScale;
  p.m[3][2] = -kNearPlane * depthScale;
  return p;
}

}  // namespace

void UpdateCamera(Camera& camera, const GameFlow& flow, const PlayerBody& body, RenderBackend* backend) {
  const Vec4 target = cameraTarget(flow, body);
  Vec4& eye = camera.cameraPoint;
  // Once per frame, no time step: 5 % of the remaining way.
  eye.x += (target.x - eye.x) * kCameraSmoothing;
  eye.y += (target.y - eye.y) * kCameraSmoothing;
  eye.z = target.z;
  camera.view = lookAlongZ(eye);
  camera.projection = perspective90();
  if (backend != nullptr) backend->setViewProjection(camera.view, camera.projection);
}

}  // namespace pw
