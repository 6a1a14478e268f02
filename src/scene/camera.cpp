#include "scene/camera.h"

#include <algorithm>

namespace scene {

namespace {
// Millimetres per inch, and the screen resolution the lens was designed on.
constexpr double kMmPerInch = 25.4;
constexpr double kDpi = 96;
}  // namespace

Frustum CameraFrustum(float focal_length, float depth_of_view, int view_w, int view_h) {
  const double w = std::max(view_w, 1), h = std::max(view_h, 1);
  const double f = focal_length;
  const double near = f * 2 * kDpi / (kMmPerInch * std::max(w, h));
  Frustum r;
  r.near_plane = static_cast<float>(near);
  r.far_plane = static_cast<float>(near + depth_of_view);
  r.right = static_cast<float>(near * w * kMmPerInch / (4 * f * kDpi));
  r.top = static_cast<float>(near * h * kMmPerInch / (4 * f * kDpi));
  return r;
}

Frustum CameraFrustum(const Camera& camera, int view_w, int view_h) {
  return CameraFrustum(camera.focal_length(), camera.depth_of_view(), view_w, view_h);
}

Mat4 ProjectionMatrix(const Frustum& f) {
  // glFrustum(-right, right, -top, top, near, far)
  Mat4 p;
  const float n = f.near_plane, fa = f.far_plane;
  p.m.fill(0);
  p.at(0, 0) = n / f.right;
  p.at(1, 1) = n / f.top;
  p.at(2, 2) = -(fa + n) / (fa - n);
  p.at(2, 3) = -2 * fa * n / (fa - n);
  p.at(3, 2) = -1;
  return p;
}

Mat4 ProjectionMatrix(const Camera& camera, int view_w, int view_h) {
  return ProjectionMatrix(CameraFrustum(camera, view_w, view_h));
}

Mat4 ViewMatrix(const Camera& camera) { return camera.WorldMatrix().RigidInverse(); }

Ray RayThroughPixel(const Camera& camera, int view_w, int view_h, float x, float y) {
  const Frustum f = CameraFrustum(camera, view_w, view_h);
  const float w = static_cast<float>(std::max(view_w, 1));
  const float h = static_cast<float>(std::max(view_h, 1));
  const float ndc_x = 2 * (x + 0.5f) / w - 1;
  const float ndc_y = 1 - 2 * (y + 0.5f) / h;
  const Vec3 eye_dir{ndc_x * f.right, ndc_y * f.top, -f.near_plane};
  const float len = Length(eye_dir);
  const Mat4 world = camera.WorldMatrix();
  Ray r;
  r.origin = world.TransformPoint(Vec3{});
  r.direction = Normalized(world.TransformVector(eye_dir));
  // Depth along the view axis grows as near / len per unit of ray length.
  r.min_t = len;
  r.max_t = len * f.far_plane / f.near_plane;
  return r;
}

std::optional<ViewPoint> ProjectToView(const Camera& camera, int view_w, int view_h,
                                       const Vec3& world) {
  const Frustum f = CameraFrustum(camera, view_w, view_h);
  const Vec3 eye = ViewMatrix(camera).TransformPoint(world);
  const float depth = -eye.z;
  if (depth <= 0) return std::nullopt;
  const float w = static_cast<float>(std::max(view_w, 1));
  const float h = static_cast<float>(std::max(view_h, 1));
  const float ndc_x = eye.x * f.near_plane / depth / f.right;
  const float ndc_y = eye.y * f.near_plane / depth / f.top;
  return ViewPoint{(ndc_x + 1) / 2 * w, (1 - ndc_y) / 2 * h, depth};
}

}  // namespace scene
