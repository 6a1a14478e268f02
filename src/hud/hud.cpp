#include "hud/hud.h"

#include <initializer_list>

#include "core/grid.h"

namespace hud {

void Hud::InitHudButtons() {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i] = hudbtn{};
    buttons_[i].id = static_cast<int32_t>(i);
  }
}

int Hud::HudButtonAt(int x, int y) const {
  for (int i = 0; i < kHudButtonSlots; ++i) {
    const hudbtn& b = buttons_[static_cast<size_t>(i)];
    if (!b.exists || !b.visible) continue;
    if (x > b.rx - b.width / 2 && x < b.rx + b.width / 2 && y > b.ry - b.height / 2 && y < b.ry + b.height / 2)
      return i;
  }
  return -1;
}

int Hud::ButtonState(int slot) const {
  if (slot < 0 || slot >= kHudButtonSlots) return 0;
  return buttons_[static_cast<size_t>(slot)].state;
}

void Hud::SetButtonState(int slot, int state) {
  for (int i = 0; i < kHudButtonSlots; ++i) {
    hudbtn& b = buttons_[static_cast<size_t>(i)];
    if (!b.exists) continue;
    b.state = i == slot ? state : 0;
  }
}

void Hud::PressVirButton(int x, int y, int phase) {
  (void)x;
  (void)y;
  (void)phase;
}

void Hud::ArrangeInfoIcons() {}

void Hud::ProcessButtons(double view_w, double view_h) {
  (void)view_w;
  hud_unit = core::HudUnit(view_h);
}

void Hud::ProcessUI(double view_w, double view_h) {
  (void)view_w;
  (void)view_h;
  // Panels, texts and the information bar without a layout would pile up at the top left:
  // they stay hidden until the HUD places them.
  HudObjects& o = objects_;
  for (scene::Object* obj : std::initializer_list<scene::Object*>{
           o.stats_text, o.trade_title_text, o.trade_price_text, o.trade_amount_text, o.bldg_info_text,
           o.bldg_picture, o.credit_title_text, o.credit_sum_text, o.days_left_text, o.credit_panel_bg,
           o.trade_panel_bg, o.bldg_panel_bg, o.catalog_frame, o.msg_panel_bg, o.msg_pic, o.msg_text})
    if (obj && obj->visible()) obj->SetVisible(false);
  for (auto* icon : o.info_icons)
    if (icon && icon->visible()) icon->SetVisible(false);
  for (auto* text : o.info_texts)
    if (text && text->visible()) text->SetVisible(false);
}

bool Hud::ShowInfoMessage(int kind, const std::string& text) {
  (void)kind;
  (void)text;
  return false;
}

}  // namespace hud
