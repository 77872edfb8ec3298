#include "level/level_drawing.h"

#include <gtest/gtest.h>

#include "render/camera.h"
#include "render_test_batch.h"

namespace pw {
namespace {

struct LevelDrawingTest : ::testing::Test {
  Level level;
  TestBatch<256> t;

  void SetUp() override { level.reset(); }

  Particle& add(float x, float y) {
    Particle* p = level.allocate();
    p->position = Vec4(x, y, 0, 1);
    p->previous = p->position;
    return *p;
  }

  const FrameVertex* flushLinks() {
    drawLinks(level, t.batch);
    FlushBlended(t.batch, 5);
    EXPECT_EQ(t.recorder.drawCount(), 1);
    return t.recorder.drawCount() == 1 ? t.recorder.verticesOf(0) : nullptr;
  }
};

TEST_F(LevelDrawingTest, HazardLinkIsTwoRedBandsOneEachSide) {
  Particle& a = add(0, 0);
  Particle& b = add(1, 0);
  ASSERT_TRUE(level.connect(a, b, Hazard));
  const FrameVertex* v = flushLinks();
  ASSERT_NE(v, nullptr);
  ASSERT_EQ(t.recorder.drawAt(0).count, 11);  // 4 + closing, doubled first + 3 + closing
  // From a's entry: a, b, then both offset by a quarter turn of (a - b).
  expectPosition(v[0], 0, 0, 0);
  expectPosition(v[1], 1, 0, 0);
  expectPosition(v[2], 0, -0.1f, 0);
  expectPosition(v[3], 1, -0.1f, 0);
  // From b's entry, the ends swapped: the other side.
  expectPosition(v[5], 1, 0, 0);
  expectPosition(v[6], 1, 0, 0);
  expectPosition(v[7], 0, 0, 0);
  expectPosition(v[8], 1, 0.1f, 0);
  expectPosition(v[9], 0, 0.1f, 0);
  const int bandVertices[] = {0, 1, 2, 3, 6, 7, 8, 9};
  for (int i : bandVertices) {
    EXPECT_EQ(v[i].colour, 0xFFFF0000u) << i;
    EXPECT_EQ(v[i].nx, 1.0f) << i;  // the normal carries the colour
    EXPECT_EQ(v[i].ny, 0.0f) << i;
  }
  const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(v[k].u, uv[k][0]);
    EXPECT_EQ(v[k].v, uv[k][1]);
  }
}

TEST_F(LevelDrawingTest, ColourAndWidthByLinkType) {
  struct Case {
    int32_t type;
    uint32_t colour;
    float width;
  };
  const Case cases[] = {
      {Plain, 0xFF333333u, 0.05f},  {Solid, 0xFFFFFFFFu, 0.1f},  {Jet, 0xFF0000FFu, 0.1f},
      {Surface, 0xFFFFFF00u, 0.1f}, {Hazard, 0xFFFF0000u, 0.1f}, {9, 0xFFFFFF00u, 0.1f},  // unknown: like Surface
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    level.reset();
    t.recorder.clearDraws();
    ResetBatch(t.batch);
    t.batch.doubleNext = 0;
    Particle& a = add(0, 2);
    Particle& b = add(0, 5);  // vertical: the band runs off along +x from a's entry
    ASSERT_TRUE(level.connect(a, b, c.type));
    const FrameVertex* v = flushLinks();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v[0].colour, c.colour);
    expectPosition(v[2], c.width, 2, 0);
    expectPosition(v[3], c.width, 5, 0);
  }
}

TEST_F(LevelDrawingTest, CoincidentEndsGiveAZeroWidthBand) {
  Particle& a = add(1, 1);
  Particle& b = add(1, 1);
  ASSERT_TRUE(level.connect(a, b, Solid));
  const FrameVertex* v = flushLinks();
  ASSERT_NE(v, nullptr);
  for (int i = 0; i < 4; ++i) expectPosition(v[i], 1, 1, 0);
}

TEST_F(LevelDrawingTest, SlotsNotInUseDrawNoLinks) {
  Particle& a = add(0, 0);
  Particle& b = add(1, 0);
  Particle& gone = add(3, 3);
  ASSERT_TRUE(level.connect(a, b, Plain));
  level.remove(gone);
  // Stale contents of a free slot must not be drawn.
  gone.linkCount = 1;
  gone.links[0].target = &a;
  gone.links[0].type = Hazard;
  drawLinks(level, t.batch);
  EXPECT_EQ(t.batch.vertexCount, 11);  // the one Plain link, from both ends
}

struct Sprite {
  float x, y, size;
};

// The white corners of the flushed sprites, with the closing and doubled
// vertices of the strip joins left out.
int readSprites(const FrameVertex* v, int32_t count, Sprite* out, int capacity) {
  FrameVertex corners[64];
  int n = 0;
  for (int32_t i = 0; i < count && n < 64; ++i) {
    if (v[i].colour != kOpaqueWhite) continue;
    const bool repeat = i > 0 && v[i - 1].colour == kOpaqueWhite && v[i].x == v[i - 1].x && v[i].y == v[i - 1].y &&
                        v[i].u == v[i - 1].u && v[i].v == v[i - 1].v;
    if (repeat) continue;
    corners[n++] = v[i];
  }
  int sprites = 0;
  for (int k = 0; k + 3 < n && sprites < capacity; k += 4) {
    out[sprites++] = {(corners[k].x + corners[k + 3].x) / 2, (corners[k].y + corners[k + 3].y) / 2,
                      (corners[k + 1].x - corners[k].x) / 2};
  }
  return sprites;
}

TEST_F(LevelDrawingTest, JetParticlesGetTheLargeSpriteFirst) {
  Camera camera;
  GameFlow flow;
  PlayerBody body;
  UpdateCamera(camera, flow, body, nullptr);

  add(1, 1);
  Particle& jet = add(-2, 0);
  jet.jet = 1;
  Particle& gone = add(4, 4);
  add(0, -3).fixed = 1;  // fixed or free, a sprite looks the same
  level.remove(gone);
  gone.jet = 1;  // stale contents of a free slot
  gone.position = Vec4(4, 4, 0, 1);

  drawParticles(level, t.batch, camera.view);
  FlushAdditive(t.batch, 0);
  ASSERT_EQ(t.recorder.drawCount(), 1);
  EXPECT_EQ(t.recorder.drawAt(0).texture, TextureName::Particle);
  Sprite sprites[8];
  const int n = readSprites(t.recorder.verticesOf(0), t.recorder.drawAt(0).count, sprites, 8);
  ASSERT_EQ(n, 4);
  const Sprite expected[] = {{1, 1, 0.5f}, {-2, 0, 0.9f}, {-2, 0, 0.5f}, {0, -3, 0.5f}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FLOAT_EQ(sprites[i].x, expected[i].x);
    EXPECT_FLOAT_EQ(sprites[i].y, expected[i].y);
    EXPECT_FLOAT_EQ(sprites[i].size, expected[i].size);
  }
}

}  // namespace
}  // namespace pw
