#pragma once
#include <vector>

#include "scene/material.h"
#include "scene/math.h"
#include "scene/object.h"

namespace scene {

// The fixed-function lighting model the look was made for. A texel of a modulated
// material is texture x factor, where per colour channel
//   factor = emission + scene ambient x material ambient
//            + sum over shining lights of (light ambient x material ambient
//              + light diffuse x material diffuse x max(0, N.L)) / const attenuation,
// clamped to 0..1, with L the unit vector from the surface point to the (positional)
// light. Lit materials (emission black) thus give 0.2 x 0.2 + sum diffuse x 0.8 x N.L /
// attenuation; bright ones (emission white) give 1: the texture itself. N is the face's
// normal on the side the camera sees, so a light below the ground never lights the
// ground seen from above: that is the night.
inline constexpr float kSceneAmbient = 0.2f;

struct LightInput {
  Vec3 position;
  Color diffuse;
  Color ambient;
  float const_attenuation = 1;
};

class Scene;
// The lights of the scene that shine now (visible lights in visible containers), in world
// space.
std::vector<LightInput> ShiningLights(const Scene& scene);

// The colour factor of `material` at world point `p` with unit normal `n` (already turned
// toward the viewer). Alpha is the material's diffuse alpha.
Color LightFactor(const Material& material, const Vec3& p, const Vec3& n,
                  const std::vector<LightInput>& lights);

}  // namespace scene
