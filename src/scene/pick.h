#pragma once
#include <optional>

#include "scene/camera.h"
#include "scene/object.h"

namespace scene {

struct PickHit {
  Object* object = nullptr;
  float distance = 0;  // along the ray from the camera
  Vec3 point;          // world position of the hit
};

// The nearest visible, pickable world object (planes, with their pitch and roll, and
// cubes) that the ray meets within its near..far span. Containers, lights, the camera and
// HUD objects are never picked. Of two hits at the same distance the one later in tree
// order wins, as it is the one drawn on top.
std::optional<PickHit> PickRay(Object& root, const Ray& ray);

// The object under view pixel (x, y) seen by `camera` in a view of view_w x view_h
// pixels, or nullptr.
Object* GetPickedObject(Object& root, const Camera& camera, int view_w, int view_h, float x,
                        float y);

}  // namespace scene
