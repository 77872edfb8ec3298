#include <gtest/gtest.h>

#include <cmath>

#include "math/mat4.h"
#include "math/vec4.h"

namespace pw {
namespace {

void expectVec(const Vec4& v, float x, float y, float z, float w) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
  EXPECT_FLOAT_EQ(v.z, z);
  EXPECT_FLOAT_EQ(v.w, w);
}

TEST(Vec4, DefaultIsOriginPoint) { expectVec(Vec4(), 0, 0, 0, 1); }

TEST(Vec4, ArithmeticLeavesWAlone) {
  Vec4 a(1, 2, 3, 1);
  a *= 2.0f;
  expectVec(a, 2, 4, 6, 1);
  a += Vec4(1, 1, 1, 9);
  expectVec(a, 3, 5, 7, 1);
  a -= Vec4(3, 5, 7, 9);
  expectVec(a, 0, 0, 0, 1);
}

TEST(Vec4, CrossAlwaysHasWOne) {
  expectVec(cross(Vec4(1, 0, 0, 0), Vec4(0, 1, 0, 0)), 0, 0, 1, 1);
  expectVec(cross(Vec4(0, 1, 0, 7), Vec4(1, 0, 0, 3)), 0, 0, -1, 1);
}

TEST(Vec4, DotIgnoresW) { EXPECT_FLOAT_EQ(dot(Vec4(1, 2, 3, 100), Vec4(4, 5, 6, 100)), 32.0f); }

TEST(Vec4, LengthThreshold) {
  struct Case {
    float x;
    float expected;
  };
  const Case cases[] = {
      {3e-5f, 0.0f},   // squared 9e-10 is below 1e-9
      {4e-5f, 4e-5f},  // squared 1.6e-9 is above
      {3.0f, 3.0f},
      {0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_FLOAT_EQ(length(Vec4(c.x, 0, 0, 1)), c.expected);
  }
}

TEST(Vec4, NormalizeLeavesShortAndNanVectorsUnchanged) {
  Vec4 tiny(1e-5f, 0, 0, 7);
  normalize(tiny);
  expectVec(tiny, 1e-5f, 0, 0, 7);

  Vec4 v(0, 3, 4, 7);
  normalize(v);
  expectVec(v, 0, 0.6f, 0.8f, 7);

  Vec4 bad(NAN, 1, 1, 1);
  normalize(bad);
  EXPECT_TRUE(std::isnan(bad.x));
  EXPECT_EQ(bad.y, 1.0f);
}

TEST(Mat4, RotationBuildersTurnWithTheirSigns) {
  const float a = 0.3f;
  const float c = std::cos(a), s = std::sin(a);
  struct Case {
    void (*build)(Mat4&, float);
    Vec4 in;
    Vec4 out;
  };
  const Case cases[] = {
      {RotX, Vec4(0, 1, 0), Vec4(0, c, -s)}, {RotX, Vec4(0, 0, 1), Vec4(0, s, c)},
      {RotY, Vec4(1, 0, 0), Vec4(c, 0, -s)}, {RotY, Vec4(0, 0, 1), Vec4(s, 0, c)},
      {RotZ, Vec4(1, 0, 0), Vec4(c, -s, 0)}, {RotZ, Vec4(0, 1, 0), Vec4(s, c, 0)},
  };
  for (const Case& k : cases) {
    Mat4 m = identityMatrix();
    k.build(m, a);
    const Vec4 r = transformDirection(m, k.in);
    EXPECT_NEAR(r.x, k.out.x, 1e-6f);
    EXPECT_NEAR(r.y, k.out.y, 1e-6f);
    EXPECT_NEAR(r.z, k.out.z, 1e-6f);
    EXPECT_EQ(r.w, 0.0f);
  }
}

TEST(Mat4, RotZWritesOnlyItsFourElements) {
  Mat4 m;
  for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = static_cast<float>(i + 10);
  RotZ(m, 0.5f);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      if (i < 2 && j < 2) continue;
      EXPECT_EQ(m.m[i][j], static_cast<float>(4 * i + j + 10)) << i << "," << j;
    }
  }
}

TEST(Mat4, PreMultiplyByItselfSquares) {
  Mat4 m = identityMatrix();
  m.m[0][1] = 2.0f;
  m.m[1][0] = 3.0f;
  m.m[0][3] = 5.0f;
  preMultiply(m, m);
  // [[1,2,0,5],[3,1,0,0],[0,0,1,0],[0,0,0,1]] squared
  EXPECT_EQ(m.m[0][0], 7.0f);
  EXPECT_EQ(m.m[0][1], 4.0f);
  EXPECT_EQ(m.m[1][0], 6.0f);
  EXPECT_EQ(m.m[1][1], 7.0f);
  EXPECT_EQ(m.m[0][3], 10.0f);
  EXPECT_EQ(m.m[1][3], 15.0f);
  EXPECT_EQ(m.m[3][3], 1.0f);
}

TEST(Mat4, PreMultiplyPutsTheArgumentOnTheLeft) {
  Mat4 m = identityMatrix();
  setColumn(m, 3, Vec4(1, 0, 0));  // translate by +x
  Mat4 r = identityMatrix();
  RotZ(r, -1.5707964f);  // +90 degrees about z
  preMultiply(m, r);     // m = r * m: translate first, then rotate
  const Vec4 origin = column(m, 3);
  EXPECT_NEAR(origin.x, 0.0f, 1e-6f);
  EXPECT_NEAR(origin.y, 1.0f, 1e-6f);
}

TEST(Mat4, TransformDirectionIgnoresOriginAndW) {
  Mat4 m = identityMatrix();
  setColumn(m, 3, Vec4(9, 9, 9));
  expectVec(transformDirection(m, Vec4(1, 1, 1, 5)), 1, 1, 1, 0);
}

TEST(Mat4, ColumnsReadAndWriteRowsZeroToTwo) {
  Mat4 m = identityMatrix();
  setColumn(m, 3, Vec4(4, 5, 6, 99));
  expectVec(column(m, 3), 4, 5, 6, 0);
  EXPECT_EQ(m.m[3][3], 1.0f);
}

}  // namespace
}  // namespace pw
