#include "render/vertex_batch.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render_test_batch.h"

namespace pw {
namespace {

const Vec4 kWhite(1.0f, 1.0f, 1.0f, 1.0f);

TEST(ColourPacking, ChannelsBecomeBytes) {
  struct Case {
    float channel;
    uint8_t byte;
  };
  const Case cases[] = {
      {0.5f, 128}, {1.2f, 255}, {-0.3f, 0}, {0.998f, 254}, {0.999f, 255}, {0.0f, 0}, {1.0f, 255}, {NAN, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(colourByte(c.channel), c.byte) << "channel " << c.channel;
}

TEST(ColourPacking, AlphaRedGreenBlueFromTheTop) { EXPECT_EQ(packColour(Vec4(1.0f, 0.5f, 0.0f, 0.2f)), 0x33FF8000u); }

TEST(VertexBatch, AppendWritesEveryField) {
  TestBatch<8> t;
  const float uv[2] = {0.25f, 0.75f};
  AppendVertex(t.batch, Vec4(1, 2, 3, 9), Vec4(0, 0, 1, 1), Vec4(4, 5, 6, 0), uv);
  AppendVertex(t.batch, Vec4(7, 8, 9, 1), kWhite, kWhite, nullptr);
  ASSERT_EQ(t.batch.vertexCount, 2);
  const FrameVertex& a = t.storage[0];
  expectPosition(a, 1, 2, 3);
  EXPECT_EQ(a.nx, 4.0f);
  EXPECT_EQ(a.ny, 5.0f);
  EXPECT_EQ(a.nz, 6.0f);
  EXPECT_EQ(a.colour, 0xFF0000FFu);
  EXPECT_EQ(a.u, 0.25f);
  EXPECT_EQ(a.v, 0.75f);
  EXPECT_EQ(t.storage[1].u, 0.0f);  // no texture coordinate: 0, 0
  EXPECT_EQ(t.storage[1].v, 0.0f);
  EXPECT_EQ(t.batch.lastPosition.w, 1.0f);
  EXPECT_EQ(t.batch.lastPosition.x, 7.0f);
}

void appendQuad(VertexBatch& batch, float x) {
  for (int k = 0; k < 4; ++k) AppendVertex(batch, Vec4(x + k, 0, 0, 1), kWhite, kWhite, nullptr);
}

TEST(VertexBatch, QuadUsesFiveSlotsOrSixAfterAStrip) {
  TestBatch<32> t;
  appendQuad(t.batch, 0.0f);
  EndStrip(t.batch);
  EXPECT_EQ(t.batch.vertexCount, 5);
  // The closing vertex repeats the last position, opaque black, zero normal, uv 0.
  const FrameVertex& closing = t.storage[4];
  expectPosition(closing, 3, 0, 0);
  EXPECT_EQ(closing.colour, kOpaqueBlack);
  EXPECT_EQ(closing.nx, 0.0f);
  EXPECT_EQ(closing.u, 0.0f);

  ResetBatch(t.batch);  // keeps doubleNext
  appendQuad(t.batch, 10.0f);
  EndStrip(t.batch);
  EXPECT_EQ(t.batch.vertexCount, 6);
  expectPosition(t.storage[0], 10, 0, 0);
  expectPosition(t.storage[1], 10, 0, 0);
  expectPosition(t.storage[2], 11, 0, 0);
}

TEST(VertexBatch, FlushDrawsUpToTheLastEndStrip) {
  TestBatch<32> t;
  appendQuad(t.batch, 0.0f);
  EndStrip(t.batch);
  appendQuad(t.batch, 10.0f);  // not closed: stays out of the draw
  FlushAdditive(t.batch, 0);
  ASSERT_EQ(t.recorder.drawCount(), 1);
  const RecordedDraw& d = t.recorder.drawAt(0);
  EXPECT_EQ(d.first, 0);
  EXPECT_EQ(d.count, 5);
  EXPECT_EQ(d.texture, TextureName::Particle);
  EXPECT_EQ(d.blend, BlendState::Additive);
  EXPECT_EQ(t.batch.vertexCount, 10);  // the open strip stays until the next reset
}

TEST(VertexBatch, TwoStripsAreOneDrawJoinedByRepeats) {
  TestBatch<32> t;
  appendQuad(t.batch, 0.0f);
  EndStrip(t.batch);
  appendQuad(t.batch, 10.0f);
  EndStrip(t.batch);
  FlushBlended(t.batch, 5);
  ASSERT_EQ(t.recorder.drawCount(), 1);
  ASSERT_EQ(t.recorder.drawAt(0).count, 11);
  const FrameVertex* v = t.recorder.verticesOf(0);
  // a3, a3', b0, b0: every joining triangle has two equal corners.
  expectPosition(v[3], 3, 0, 0);
  expectPosition(v[4], 3, 0, 0);
  expectPosition(v[5], 10, 0, 0);
  expectPosition(v[6], 10, 0, 0);
  expectPosition(v[10], 13, 0, 0);
}

TEST(VertexBatch, FlushWithoutEndStripDrawsNothing) {
  TestBatch<32> t;
  appendQuad(t.batch, 0.0f);
  EndStrip(t.batch);
  ResetBatch(t.batch);
  appendQuad(t.batch, 0.0f);
  FlushBlended(t.batch, 4);
  FlushAdditive(t.batch, 3);
  EXPECT_EQ(t.recorder.drawCount(), 0);
}

TEST(VertexBatch, EndStripRightAfterResetDrawsNothing) {
  TestBatch<32> t;
  AppendVertex(t.batch, Vec4(2, 3, 4, 1), kWhite, kWhite, nullptr);
  ResetBatch(t.batch);
  EndStrip(t.batch);  // doubleNext was clear: one black vertex at the old last position
  EXPECT_EQ(t.batch.vertexCount, 1);
  expectPosition(t.storage[0], 2, 3, 4);
  EXPECT_EQ(t.storage[0].colour, kOpaqueBlack);
  FlushAdditive(t.batch, 0);

  ResetBatch(t.batch);
  EndStrip(t.batch);  // doubleNext now set: the black vertex is doubled, still no triangle
  EXPECT_EQ(t.batch.vertexCount, 2);
  FlushAdditive(t.batch, 0);
  EXPECT_EQ(t.recorder.drawCount(), 0);
}

TEST(VertexBatch, FlushingTwiceDrawsTwice) {
  TestBatch<32> t;
  appendQuad(t.batch, 0.0f);
  EndStrip(t.batch);
  FlushBlended(t.batch, 2);
  FlushBlended(t.batch, 2);
  ASSERT_EQ(t.recorder.drawCount(), 2);
  EXPECT_EQ(t.recorder.drawAt(1).count, 5);
}

TEST(VertexBatch, FlushPicksTextureAndBlend) {
  struct Case {
    bool additive;
    int32_t choice;
    TextureName texture;
  };
  const Case cases[] = {
      {true, 0, TextureName::Particle}, {true, 1, TextureName::Toolhud}, {true, 3, TextureName::Title},
      {true, 7, TextureName::Particle}, {false, 2, TextureName::Gradbw}, {false, 4, TextureName::Exp20},
      {false, 5, TextureName::None},    {false, 6, TextureName::Exp22},
  };
  for (const Case& c : cases) {
    TestBatch<16> t;
    appendQuad(t.batch, 0.0f);
    EndStrip(t.batch);
    if (c.additive)
      FlushAdditive(t.batch, c.choice);
    else
      FlushBlended(t.batch, c.choice);
    ASSERT_EQ(t.recorder.drawCount(), 1);
    EXPECT_EQ(t.recorder.drawAt(0).texture, c.texture) << "choice " << c.choice;
    EXPECT_EQ(t.recorder.drawAt(0).blend, c.additive ? BlendState::Additive : BlendState::Blended);
  }
}

TEST(VertexBatch, AppendPastCapacityIsDroppedWithoutWriting) {
  constexpr int32_t kCapacity = 6;
  FrameVertex storage[kCapacity + 4];
  for (FrameVertex& v : storage) v = FrameVertex{-7, -7, -7, -7, -7, -7, 0x12345678u, -7, -7};
  RecordingBackend recorder;
  VertexBatch batch;
  batch.vertices = storage;
  batch.capacity = kCapacity;
  batch.backend = &recorder;

  appendQuad(batch, 0.0f);
  EndStrip(batch);
  appendQuad(batch, 10.0f);  // 10 doubled fills slot 5; the rest do not fit
  EXPECT_EQ(batch.vertexCount, kCapacity);
  expectPosition(storage[5], 10, 0, 0);
  // A dropped vertex leaves lastPosition at the last one written.
  EXPECT_EQ(batch.lastPosition.x, 10.0f);
  for (int i = kCapacity; i < kCapacity + 4; ++i) EXPECT_EQ(storage[i].colour, 0x12345678u) << "slot " << i;

  EndStrip(batch);  // its closing vertex is dropped too, but the range closes
  EXPECT_EQ(batch.vertexCount, kCapacity);
  FlushAdditive(batch, 0);
  ASSERT_EQ(recorder.drawCount(), 1);
  EXPECT_EQ(recorder.drawAt(0).count, kCapacity);
}

}  // namespace
}  // namespace pw
