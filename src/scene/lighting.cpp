#include "scene/lighting.h"

#include <algorithm>

#include "scene/scene.h"

namespace scene {

std::vector<LightInput> ShiningLights(const Scene& scene) {
  std::vector<LightInput> out;
  for (const LightSource* l : scene.lights()) {
    if (!l->VisibleInTree()) continue;
    out.push_back({l->WorldMatrix().TransformPoint(Vec3{}), l->diffuse(), l->ambient(),
                   l->const_attenuation()});
  }
  return out;
}

Color LightFactor(const Material& m, const Vec3& p, const Vec3& n,
                  const std::vector<LightInput>& lights) {
  float r = m.emission.r + kSceneAmbient * m.ambient.r;
  float g = m.emission.g + kSceneAmbient * m.ambient.g;
  float b = m.emission.b + kSceneAmbient * m.ambient.b;
  for (const LightInput& l : lights) {
    const float nl = std::max(0.0f, Dot(n, Normalized(l.position - p)));
    // A zero (or negative) attenuation would make an infinitely bright light; such a
    // light shines unattenuated instead.
    const float att = l.const_attenuation > 0 ? 1.0f / l.const_attenuation : 1.0f;
    r += (l.ambient.r * m.ambient.r + l.diffuse.r * m.diffuse.r * nl) * att;
    g += (l.ambient.g * m.ambient.g + l.diffuse.g * m.diffuse.g * nl) * att;
    b += (l.ambient.b * m.ambient.b + l.diffuse.b * m.diffuse.b * nl) * att;
  }
  return {std::clamp(r, 0.0f, 1.0f), std::clamp(g, 0.0f, 1.0f), std::clamp(b, 0.0f, 1.0f),
          m.diffuse.a};
}

}  // namespace scene
