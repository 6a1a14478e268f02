#pragma once
#include <array>
#include <cmath>

namespace scene {

// Scene coordinates are single precision, as the engine stores them.
struct Vec3 {
  float x = 0, y = 0, z = 0;

  friend bool operator==(const Vec3&, const Vec3&) = default;
  Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
};

inline float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vec3& v) { return std::sqrt(Dot(v, v)); }
inline Vec3 Normalized(const Vec3& v) {
  const float l = Length(v);
  return l > 0 ? v * (1.0f / l) : v;
}

// 4x4 matrix, column-major like OpenGL: m[col * 4 + row].
struct Mat4 {
  std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  float& at(int row, int col) { return m[col * 4 + row]; }
  float at(int row, int col) const { return m[col * 4 + row]; }
  friend bool operator==(const Mat4&, const Mat4&) = default;

  static Mat4 Identity() { return {}; }
  static Mat4 Translation(const Vec3& t);
  // Rotation by `degrees` about a unit axis, counter-clockwise looking down the axis.
  static Mat4 Rotation(const Vec3& axis, float degrees);

  Mat4 operator*(const Mat4& o) const;
  Vec3 TransformPoint(const Vec3& p) const;   // w = 1, no perspective divide
  Vec3 TransformVector(const Vec3& v) const;  // w = 0
  // Inverse of a rigid transform (rotation and translation only).
  Mat4 RigidInverse() const;
};

}  // namespace scene
