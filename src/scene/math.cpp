#include "scene/math.h"

#include <numbers>

namespace scene {

Mat4 Mat4::Translation(const Vec3& t) {
  Mat4 r;
  r.at(0, 3) = t.x;
  r.at(1, 3) = t.y;
  r.at(2, 3) = t.z;
  return r;
}

Mat4 Mat4::Rotation(const Vec3& axis, float degrees) {
  Mat4 r;
  if (degrees == 0) return r;
  const double a = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(a), s = std::sin(a), t = 1 - c;
  const double x = axis.x, y = axis.y, z = axis.z;
  r.at(0, 0) = static_cast<float>(t * x * x + c);
  r.at(0, 1) = static_cast<float>(t * x * y - s * z);
  r.at(0, 2) = static_cast<float>(t * x * z + s * y);
  r.at(1, 0) = static_cast<float>(t * x * y + s * z);
  r.at(1, 1) = static_cast<float>(t * y * y + c);
  r.at(1, 2) = static_cast<float>(t * y * z - s * x);
  r.at(2, 0) = static_cast<float>(t * x * z - s * y);
  r.at(2, 1) = static_cast<float>(t * y * z + s * x);
  r.at(2, 2) = static_cast<float>(t * z * z + c);
  return r;
}

Mat4 Mat4::operator*(const Mat4& o) const {
  Mat4 r;
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      float v = 0;
      for (int k = 0; k < 4; ++k) v += at(row, k) * o.at(k, col);
      r.at(row, col) = v;
    }
  return r;
}

Vec3 Mat4::TransformPoint(const Vec3& p) const {
  return {at(0, 0) * p.x + at(0, 1) * p.y + at(0, 2) * p.z + at(0, 3),
          at(1, 0) * p.x + at(1, 1) * p.y + at(1, 2) * p.z + at(1, 3),
          at(2, 0) * p.x + at(2, 1) * p.y + at(2, 2) * p.z + at(2, 3)};
}

Vec3 Mat4::TransformVector(const Vec3& v) const {
  return {at(0, 0) * v.x + at(0, 1) * v.y + at(0, 2) * v.z,
          at(1, 0) * v.x + at(1, 1) * v.y + at(1, 2) * v.z,
          at(2, 0) * v.x + at(2, 1) * v.y + at(2, 2) * v.z};
}

Mat4 Mat4::RigidInverse() const {
  Mat4 r;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) r.at(row, col) = at(col, row);
  const Vec3 t{at(0, 3), at(1, 3), at(2, 3)};
  const Vec3 it = r.TransformVector(t);
  r.at(0, 3) = -it.x;
  r.at(1, 3) = -it.y;
  r.at(2, 3) = -it.z;
  return r;
}

}  // namespace scene
