#pragma once
// Four-float vector used for every position, velocity and direction.
// The arithmetic treats it as a 3-vector: x, y, z take part, w is carried
// along untouched (points keep w = 1).

namespace pw {

struct Vec4 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 1.0f;

  constexpr Vec4() = default;
  constexpr Vec4(float x_, float y_, float z_, float w_ = 1.0f) : x(x_), y(y_), z(z_), w(w_) {}

  Vec4& operator+=(const Vec4& b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
  }
  Vec4& operator-=(const Vec4& b) {
    x -= b.x;
    y -= b.y;
    z -= b.z;
    return *this;
  }
  Vec4& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
};
static_assert(sizeof(Vec4) == 16, "Vec4 is four floats, as stored in level files");

// Value forms of the in-place operators; w comes from the left operand.
inline Vec4 operator+(Vec4 a, const Vec4& b) { return a += b; }
inline Vec4 operator-(Vec4 a, const Vec4& b) { return a -= b; }
inline Vec4 operator*(Vec4 a, float s) { return a *= s; }

inline float dot(const Vec4& a, const Vec4& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The result's w is always 1, whatever the inputs carry.
inline Vec4 cross(const Vec4& a, const Vec4& b) {
  return Vec4(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 1.0f);
}

inline float lengthSquared(const Vec4& a) { return dot(a, a); }

// Below this squared length a vector counts as zero.
constexpr float kTinyLengthSquared = 1e-9f;

// 0 for vectors shorter than about 3.2e-5.
float length(const Vec4& a);

// In place; a vector too short to normalise (or not a number) is left as it is.
void normalize(Vec4& a);

// Copy of a scaled to unit length (unchanged when too short).
inline Vec4 normalized(Vec4 a) {
  normalize(a);
  return a;
}

}  // namespace pw
