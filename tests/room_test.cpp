#include "render/room.h"

#include <gtest/gtest.h>

#include "render_test_batch.h"

namespace pw {
namespace {

struct Face {
  const char* name;
  TextureName texture;
  float corners[4][3];
};

const Face kFaces[] = {
    {"floor", TextureName::Exp20, {{-5, -5, -5}, {5, -5, -5}, {-5, -5, 4}, {5, -5, 4}}},
    {"left wall", TextureName::Exp22, {{-5, -5, -5}, {-5, 5, -5}, {-5, -5, 4}, {-5, 5, 4}}},
    {"right wall", TextureName::Exp22, {{5, -5, -5}, {5, 5, -5}, {5, -5, 4}, {5, 5, 4}}},
    {"ceiling", TextureName::Exp20, {{-5, 5, -5}, {5, 5, -5}, {-5, 5, 4}, {5, 5, 4}}},
    {"back wall", TextureName::Exp20, {{-5, -5, 4}, {5, -5, 4}, {-5, 5, 4}, {5, 5, 4}}},
};

const float kUv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};

TEST(Room, FiveFacesEachItsOwnDraw) {
  TestBatch<64> t;
  DrawRoom(t.batch);
  ASSERT_EQ(t.recorder.drawCount(), 5);
  for (int f = 0; f < 5; ++f) {
    const Face& face = kFaces[f];
    SCOPED_TRACE(face.name);
    const RecordedDraw& d = t.recorder.drawAt(f);
    EXPECT_EQ(d.texture, face.texture);
    EXPECT_EQ(d.blend, BlendState::Blended);
    EXPECT_EQ(d.first, 0);  // reset after every face
    // A fresh batch: the first face's first corner is written once; after
    // that each face starts with the doubled corner of the joining protocol.
    const int doubled = f == 0 ? 0 : 1;
    ASSERT_EQ(d.count, 5 + doubled);
    const FrameVertex* v = t.recorder.verticesOf(f) + doubled;
    for (int k = 0; k < 4; ++k) {
      expectPosition(v[k], face.corners[k][0], face.corners[k][1], face.corners[k][2]);
      EXPECT_EQ(v[k].u, kUv[k][0]);
      EXPECT_EQ(v[k].v, kUv[k][1]);
      EXPECT_EQ(v[k].colour, kOpaqueWhite);
      EXPECT_EQ(v[k].nx, 1.0f);
    }
    expectPosition(v[4], face.corners[3][0], face.corners[3][1], face.corners[3][2]);
    EXPECT_EQ(v[4].colour, kOpaqueBlack);
  }
  EXPECT_EQ(t.batch.vertexCount, 0);
  EXPECT_EQ(t.batch.stripCount, 0);
}

TEST(Room, SameFacesEveryFrame) {
  TestBatch<64> t;
  DrawRoom(t.batch);
  t.recorder.clearDraws();
  DrawRoom(t.batch);  // now the first face starts doubled too
  ASSERT_EQ(t.recorder.drawCount(), 5);
  EXPECT_EQ(t.recorder.drawAt(0).count, 6);
  expectPosition(t.recorder.verticesOf(0)[1], -5, -5, -5);
}

}  // namespace
}  // namespace pw
