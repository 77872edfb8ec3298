#pragma once
// Row-major 4x4 matrix applied to column vectors (out = M * v). A matrix used
// as a frame holds its x, y, z axes in columns 0, 1, 2 and its origin in
// column 3. Row 3 stays (0, 0, 0, 1) in every matrix the game builds.

#include "math/vec4.h"

namespace pw {

struct Mat4 {
  float m[4][4];
};
static_assert(sizeof(Mat4) == 64, "Mat4 is sixteen floats");

Mat4 identityMatrix();
void setIdentity(Mat4& m);

// The rotation builders write only their four elements. RotX and RotZ turn by
// -a about their axis (right-hand rule), RotY by +a; callers rely on these signs.
void RotX(Mat4& m, float a);
void RotY(Mat4& m, float a);
void RotZ(Mat4& m, float a);

// m = b * m; b may be m itself.
void preMultiply(Mat4& m, const Mat4& b);

// M * (v.x, v.y, v.z, 0): the origin does not contribute; v.w is ignored.
Vec4 transformDirection(const Mat4& m, const Vec4& v);

// (m[0][k], m[1][k], m[2][k], 0).
Vec4 column(const Mat4& m, int k);

// Writes rows 0 to 2 of column k; row 3 is left alone.
void setColumn(Mat4& m, int k, const Vec4& v);

}  // namespace pw
