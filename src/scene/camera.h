#pragma once
#include <optional>

#include "scene/math.h"
#include "scene/object.h"

namespace scene {

// The perspective the look was designed for: a lens of focal length F on a screen of 96
// dots per inch. For a view of W x H pixels the frustum is symmetric with
//   tan(half horizontal angle) = W * 25.4 / (4 * F * 96),
//   tan(half vertical angle)   = H * 25.4 / (4 * F * 96),
// near = F * 2 * 96 / (25.4 * max(W, H)) and far = near + depth of view. One pixel so
// always covers the same ground at the same distance: a bigger window shows more.
struct Frustum {
  float right = 0, top = 0;  // half extents at the near plane (left = -right, bottom = -top)
  float near_plane = 0, far_plane = 0;
};
// A view size below one pixel counts as one pixel.
Frustum CameraFrustum(float focal_length, float depth_of_view, int view_w, int view_h);
Frustum CameraFrustum(const Camera& camera, int view_w, int view_h);

// OpenGL projection matrix of the frustum (clip space, depth -1..1).
Mat4 ProjectionMatrix(const Frustum& f);
Mat4 ProjectionMatrix(const Camera& camera, int view_w, int view_h);
// World to eye space: the inverse of the camera's world matrix.
Mat4 ViewMatrix(const Camera& camera);

struct Ray {
  Vec3 origin;     // the camera's position
  Vec3 direction;  // unit length
  // Hits count only between these distances along the ray (the near and far planes
  // where the ray crosses them), so what is not drawn is not picked either.
  float min_t = 0, max_t = 0;
};
// The ray from the camera through the centre of view pixel (x, y) (x right, y down from
// the top-left corner), i.e. through continuous point (x + 0.5, y + 0.5).
Ray RayThroughPixel(const Camera& camera, int view_w, int view_h, float x, float y);

// Where a world point lands in the view, in continuous pixel coordinates (x right, y
// down; pixel (i, j) covers [i, i+1) x [j, j+1)), and its eye-space depth; nothing when
// it lies behind the camera.
struct ViewPoint {
  float x, y, depth;
};
std::optional<ViewPoint> ProjectToView(const Camera& camera, int view_w, int view_h,
                                       const Vec3& world);

}  // namespace scene
