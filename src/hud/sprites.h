#pragma once
// Setters for the HUD's scene objects, shared by the HUD's parts. An object the HUD has not
// built yet (a session without a scene) is skipped; the scene itself ignores a value that
// does not change, so calling these every frame costs no rebuild.
#include <string>

#include "scene/object.h"

namespace hud {

inline void Show(scene::Object* o, bool on) {
  if (o) o->SetVisible(on);
}

inline void Place(scene::Object* o, double x, double y) {
  if (o) o->SetPosition(static_cast<float>(x), static_cast<float>(y), 0);
}

inline void Size(scene::HUDSprite* s, double w, double h) {
  if (!s) return;
  s->SetWidth(static_cast<float>(w));
  s->SetHeight(static_cast<float>(h));
}

inline void Text(scene::HUDText* t, const std::string& text) {
  if (t) t->SetText(text);
}

}  // namespace hud
