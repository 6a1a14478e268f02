#include "scene/pick.h"

#include <cmath>

namespace scene {

namespace {

struct Picker {
  const Ray& ray;
  std::optional<PickHit> best;

  void Consider(Object* o, float t) {
    if (!(t >= ray.min_t && t <= ray.max_t)) return;
    // Later in tree order is drawn on top, so it wins a tie.
    if (best && t > best->distance) return;
    best = PickHit{o, t, ray.origin + ray.direction * t};
  }

  void Visit(Object& o, const Mat4& parent_world) {
    if (!o.visible()) return;
    const ObjectKind k = o.kind();
    if (k == ObjectKind::HUDSprite || k == ObjectKind::HUDText) return;
    const Mat4 world = parent_world * o.LocalMatrix();
    if (o.pickable() && (k == ObjectKind::Plane || k == ObjectKind::Cube)) {
      const Mat4 inv = world.RigidInverse();
      const Vec3 lo = inv.TransformPoint(ray.origin);
      const Vec3 ld = inv.TransformVector(ray.direction);
      if (k == ObjectKind::Plane) HitPlane(static_cast<Plane&>(o), lo, ld);
      else HitCube(static_cast<Cube&>(o), lo, ld);
    }
    for (int i = 0; i < o.child_count(); ++i) Visit(*o.child(i), world);
  }

  void HitPlane(Plane& p, const Vec3& lo, const Vec3& ld) {
    if (ld.z == 0) return;  // edge-on: a plane has no thickness to hit
    const float t = -lo.z / ld.z;
    const Vec3 hit = lo + ld * t;
    if (std::fabs(hit.x) <= p.width() / 2 && std::fabs(hit.y) <= p.height() / 2) Consider(&p, t);
  }

  void HitCube(Cube& c, const Vec3& lo, const Vec3& ld) {
    const float half[3] = {c.cube_width() / 2, c.cube_depth() / 2, c.cube_height() / 2};
    const float o[3] = {lo.x, lo.y, lo.z};
    const float d[3] = {ld.x, ld.y, ld.z};
    float t0 = -INFINITY, t1 = INFINITY;
    for (int a = 0; a < 3; ++a) {
      if (d[a] == 0) {
        if (std::fabs(o[a]) > half[a]) return;
        continue;
      }
      float ta = (-half[a] - o[a]) / d[a], tb = (half[a] - o[a]) / d[a];
      if (ta > tb) std::swap(ta, tb);
      t0 = std::max(t0, ta);
      t1 = std::min(t1, tb);
    }
    if (t0 > t1) return;
    // The nearest face the ray meets within the view span (the far one from inside).
    if (t0 >= ray.min_t) Consider(&c, t0);
    else Consider(&c, t1);
  }
};

}  // namespace

std::optional<PickHit> PickRay(Object& root, const Ray& ray) {
  Picker p{ray, std::nullopt};
  Mat4 parent_world;
  if (root.parent()) parent_world = root.parent()->WorldMatrix();
  p.Visit(root, parent_world);
  return p.best;
}

Object* GetPickedObject(Object& root, const Camera& camera, int view_w, int view_h, float x,
                        float y) {
  if (view_w <= 0 || view_h <= 0) return nullptr;
  auto hit = PickRay(root, RayThroughPixel(camera, view_w, view_h, x, y));
  return hit ? hit->object : nullptr;
}

}  // namespace scene
