#include "render/room.h"

#include "math/vec4.h"

namespace pw {

namespace {

struct RoomFace {
  Vec4 corners[4];  // triangle-strip order
  int32_t blendMode;
};

constexpr float kFront = -5.0f;
constexpr float kBack = kBackWallZ;
constexpr int32_t kExp20Mode = 4;  // FlushBlended mode of floor, ceiling and back wall
constexpr int32_t kExp22Mode = 6;  // FlushBlended mode of the side walls

const RoomFace kFaces[] = {
    // floor, y = -5
    {{{-5, -5, kFront}, {5, -5, kFront}, {-5, -5, kBack}, {5, -5, kBack}}, kExp20Mode},
    // left wall, x = -5
    {{{-5, -5, kFront}, {-5, 5, kFront}, {-5, -5, kBack}, {-5, 5, kBack}}, kExp22Mode},
    // right wall, x = 5
    {{{5, -5, kFront}, {5, 5, kFront}, {5, -5, kBack}, {5, 5, kBack}}, kExp22Mode},
    // ceiling, y = 5
    {{{-5, 5, kFront}, {5, 5, kFront}, {-5, 5, kBack}, {5, 5, kBack}}, kExp20Mode},
    // back wall, z = 4
    {{{-5, -5, kBack}, {5, -5, kBack}, {-5, 5, kBack}, {5, 5, kBack}}, kExp20Mode},
};

constexpr float kCornerUv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};

}  // namespace

void DrawRoom(VertexBatch& batch) {
  const Vec4 white(1.0f, 1.0f, 1.0f, 1.0f);
  for (const RoomFace& face : kFaces) {
    for (int k = 0; k < 4; ++k) AppendVertex(batch, face.corners[k], white, white, kCornerUv[k]);
    EndStrip(batch);
    // One flush per face: each has its own texture.
    FlushBlended(batch, face.blendMode);
    ResetBatch(batch);
  }
}

}  // namespace pw
