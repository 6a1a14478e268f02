#pragma once
// The main scene reduced to its HUD over a ground of one colour, for tests that measure
// how HUD texts show against what lies behind them.
#include <QColor>
#include <cstdint>
#include <memory>

#include "scene/scene.h"

namespace scene_gl_test {

// No sun, no camera light, no selection marker or upgrade bar: only a `width` x `height`
// floor of `colour` under the HUD, at the UI scale `scale`.
inline void PlainGround(scene::MainScene& ms, float scale, const QColor& colour, int width, int height) {
  ms.scene.hud_scale = scale;
  ms.sun->SetVisible(false);
  ms.camera_light->SetVisible(false);
  ms.sel_marker->SetVisible(false);
  ms.upg_bar->SetVisible(false);
  auto img = std::make_shared<scene::Image>();
  img->width = img->height = 2;
  for (int i = 0; i < 4; ++i)
    img->rgba.insert(img->rgba.end(), {static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                                       static_cast<uint8_t>(colour.blue()), 255});
  scene::Material& m = ms.scene.matlib.Add("ground");
  m.texture.image = img;
  m.texture.disabled = false;
  scene::HUDSprite* floor = ms.hud_bottom->AddNewChild<scene::HUDSprite>();
  floor->SetLibMaterialName("ground");
  floor->SetWidth(static_cast<float>(width));
  floor->SetHeight(static_cast<float>(height));
  floor->SetPosition(width / 2.0f / scale, height / 2.0f / scale, 0);
}

}  // namespace scene_gl_test
