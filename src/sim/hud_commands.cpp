// Commands that look at the in-scene HUD and move the pointer over the 3D view, as a player
// does with the mouse.
#include "hud/hud.h"
#include "sim/interpreter.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

nlohmann::json TextJson(const scene::HUDText* t) {
  if (!t) return nullptr;
  return {{"x", t->x()}, {"y", t->y()}, {"visible", t->visible()}, {"text", t->text()}};
}

nlohmann::json SpriteJson(const scene::HUDSprite* s) {
  if (!s) return nullptr;
  return {{"x", s->x()},         {"y", s->y()},         {"width", s->width()},
          {"height", s->height()}, {"visible", s->visible()}, {"material", s->lib_material_name()}};
}

}  // namespace

nlohmann::json HudStateJson(shell::Session& s) {
  const hud::Hud& h = s.world.hud();
  return {{"cat_scroll", h.cat_scroll},
          {"list_scroll", h.list_scroll},
          {"hud_trade_goods", h.hud_trade_goods},
          {"hud_trade_amt", h.hud_trade_amt},
          {"hud_credit_amt", h.hud_credit_amt},
          {"over_hud", s.world.over_hud},
          {"stats_panel", h.stats_panel},
          {"msg_kind", h.msg_kind},
          {"hud_unit", h.hud_unit},
          {"hud_focus", h.HasFocus() ? h.focus_slot : -1},
          {"hud_focus_index", h.HasFocus() ? h.Focused().index : -1},
          {"cursor_x", s.world.cursor_x},
          {"cursor_y", s.world.cursor_y},
          {"paused", s.world.paused()}};
}

void RegisterHudCommands(Interpreter& in) {
  in.Register("hud", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    hud::Hud& h = in.session().world.hud();
    nlohmann::json buttons = nlohmann::json::array();
    for (size_t i = 0; i < h.buttons().size(); ++i) {
      const hud::hudbtn& b = h.buttons()[i];
      if (!b.exists) continue;
      const scene::HUDSprite* sprite = h.objects().button_sprites[i];
      buttons.push_back({{"slot", i},
                         {"rx", b.rx},
                         {"ry", b.ry},
                         {"width", b.width},
                         {"height", b.height},
                         {"visible", b.visible},
                         {"state", b.state},
                         {"material", sprite ? sprite->lib_material_name() : std::string()},
                         {"caption", b.caption}});
    }
    const hud::HudObjects& o = h.objects();
    nlohmann::json info = nlohmann::json::array();
    for (size_t i = 0; i < o.info_texts.size(); ++i)
      info.push_back({{"icon", SpriteJson(o.info_icons[i])}, {"text", TextJson(o.info_texts[i])}});
    in.Print({{"buttons", buttons},
              {"stats_text", TextJson(o.stats_text)},
              {"trade_title_text", TextJson(o.trade_title_text)},
              {"trade_price_text", TextJson(o.trade_price_text)},
              {"trade_amount_text", TextJson(o.trade_amount_text)},
              {"bldg_info_text", TextJson(o.bldg_info_text)},
              {"credit_title_text", TextJson(o.credit_title_text)},
              {"credit_sum_text", TextJson(o.credit_sum_text)},
              {"days_left_text", TextJson(o.days_left_text)},
              {"msg_text", TextJson(o.msg_text)},
              {"tooltip_text", TextJson(o.tooltip_text)},
              {"bldg_picture", SpriteJson(o.bldg_picture)},
              {"msg_pic", SpriteJson(o.msg_pic)},
              {"credit_panel_bg", SpriteJson(o.credit_panel_bg)},
              {"trade_panel_bg", SpriteJson(o.trade_panel_bg)},
              {"bldg_panel_bg", SpriteJson(o.bldg_panel_bg)},
              {"catalog_frame", SpriteJson(o.catalog_frame)},
              {"msg_panel_bg", SpriteJson(o.msg_panel_bg)},
              {"tutorial_bg", SpriteJson(o.tutorial_bg)},
              {"tutorial_skip_bg", SpriteJson(o.tutorial_skip_bg)},
              {"tutorial_mark", {SpriteJson(o.tutorial_mark[0]), SpriteJson(o.tutorial_mark[2])}},
              {"info", info}});
  });
  // pointer move|down|up X Y [left|right]: the pointer on the 3D view, in view pixels;
  // pointer leave: it leaves the view.
  in.Register("pointer", [](Interpreter& in, const Args& a) {
    if (a.size() == 1 && a[0] == "leave") {
      in.session().world.MsLeave();
      return;
    }
    Interpreter::ExpectArgs(a, 3, 4);
    const int x = Interpreter::ArgInt(a, 1, "x");
    const int y = Interpreter::ArgInt(a, 2, "y");
    bool left = true;
    if (a.size() == 4) {
      if (a[3] != "left" && a[3] != "right") throw CommandError("expected 'left' or 'right'");
      left = a[3] == "left";
    }
    presentation::World& world = in.session().world;
    if (a[0] == "move") {
      world.MsMove(x, y);
    } else if (a[0] == "down") {
      world.MsDown(x, y);
    } else if (a[0] == "up") {
      world.MsUp(x, y, left);
    } else {
      throw CommandError("expected 'move', 'down' or 'up'");
    }
  });
  in.Register("view", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 2, 2);
    const int w = Interpreter::ArgInt(a, 0, "width");
    const int h = Interpreter::ArgInt(a, 1, "height");
    if (w < 1 || h < 1) throw CommandError("the view needs a width and a height of at least 1");
    in.session().world.SetViewSize(w, h);
  });
}

}  // namespace sim
