#include <algorithm>
#include <string>

#include "presentation/world.h"

namespace presentation {
namespace {

constexpr float kTubeSize = 14.0f;
constexpr float kTubeZ = 1.0f;
constexpr float kShuttleSize = 8.0f;
constexpr float kShuttleZ = 15.0f;
constexpr float kPirateSize = 12.0f;
constexpr float kPirateStartX = -10.0f;
constexpr float kPirateZ = 20.0f;
constexpr float kTradeShipZ = 60.0f;
constexpr float kWarnTickSize = 20.0f;
// A terrain variant other than the common ground keeps its draw only this often in 100.
constexpr int32_t kVariantKeep = 40;

scene::Plane* NewPlane(scene::DummyCube* parent, const std::string& material, float w, float h,
                       float x, float y, float z) {
  scene::Plane* p = parent->AddNewChild<scene::Plane>();
  if (!material.empty()) p->SetLibMaterialName(material);
  p->SetWidth(w);
  p->SetHeight(h);
  p->SetPosition(x, y, z);
  return p;
}

scene::HUDText* NewText(scene::DummyCube* parent, const scene::BitmapFont* font,
                        const std::string& text) {
  scene::HUDText* t = parent->AddNewChild<scene::HUDText>();
  t->SetBitmapFont(font);
  t->SetText(text);
  return t;
}

scene::HUDSprite* NewSprite(scene::DummyCube* parent, const std::string& material) {
  scene::HUDSprite* s = parent->AddNewChild<scene::HUDSprite>();
  if (!material.empty()) s->SetLibMaterialName(material);
  return s;
}

// The overlay's objects, in the order the HUD layer expects them drawn.
void CreateOverlay(scene::MainScene& ms, const std::string& colony_text, hud::HudObjects& o) {
  const scene::BitmapFont* f1 = &ms.font1;
  const scene::BitmapFont* f2 = &ms.font2;
  const scene::BitmapFont* f3 = &ms.font3;
  // The HUD layer places and fills every text before the first frame is drawn; until then
  // the read-out texts carry the colony data and the others a dash.
  o.stats_text = NewText(ms.hud_text, f2, colony_text);
  o.trade_title_text = NewText(ms.hud_text, f1, colony_text);
  o.trade_price_text = NewText(ms.hud_text, f2, colony_text);
  o.trade_amount_text = NewText(ms.hud_text, f1, colony_text);
  o.bldg_info_text = NewText(ms.hud_text, f2, colony_text);
  o.bldg_picture = NewSprite(ms.hud, "");
  o.bldg_picture->SetWidth(120);
  o.bldg_picture->SetHeight(120);
  o.bldg_picture->SetPosition(0, 0, 0);
  o.credit_title_text = NewText(ms.hud_text, f1, "-");
  o.credit_sum_text = NewText(ms.hud_text, f1, "-");
  o.days_left_text = NewText(ms.hud_text, f3, "-");
  o.credit_panel_bg = NewSprite(ms.hud_bottom, "m_panel");
  o.credit_panel_bg->SetWidth(260);
  o.credit_panel_bg->SetHeight(100);
  o.credit_panel_bg->SetPosition(130, 50, 0);
  o.trade_panel_bg = NewSprite(ms.hud_bottom, "m_panel");
  o.bldg_panel_bg = NewSprite(ms.hud_bottom, "m_panel");
  o.catalog_frame = NewSprite(ms.hud_bottom, "m_panel");
  o.msg_panel_bg = NewSprite(ms.hud_bottom, "m_panel");
  o.msg_panel_bg->SetWidth(500);
  o.msg_panel_bg->SetHeight(280);
  o.msg_pic = NewSprite(ms.hud, "");
  o.msg_pic->SetWidth(150);
  o.msg_pic->SetHeight(150);
  o.msg_text = NewText(ms.hud_text, f1, "-");
}

}  // namespace

void ConstructScene(core::Game& g, scene::MainScene& ms, const MatLibInfo& info,
                    const hud::ButtonTable& buttons, const std::string& colony_text, SceneObjects& objs,
                    hud::HudObjects& hud_objs, LoadPump& pump) {
  AddKeyboardMaterials(ms.scene.matlib, g.hud_mode);
  // Terrain and building planes, column by column.
  for (int32_t k = 0; k < core::kPlacedSize; ++k) {
    g.load_status = "Building scene... " + std::to_string(k) + "/1000";
    pump();
    const float x = static_cast<float>(k / core::kGridRows) * kCellSize;
    const float y = static_cast<float>(k % core::kGridRows) * kCellSize;
    int32_t t = g.Random(info.max_terrain + 1);
    // Variant 0 is the common ground: the others are thinned out.
    if (t != 0 && g.Random(100) > kVariantKeep) t = 0;
    objs.terrain_tiles[static_cast<size_t>(k)] =
        NewPlane(ms.terrain, "m_terrain_" + std::to_string(t), kCellSize, kCellSize, x, y, 0);
    objs.bldg_planes[static_cast<size_t>(k)] =
        NewPlane(ms.buildings, "", kCellSize, kCellSize, x, y, kBuildingZ);
  }

  // Eight hidden tube halves per slot; ControlTubes places and shows them.
  for (int32_t k = 0; k < core::kPlacedSize; ++k) {
    g.load_status = "Constructing connection tubes... " + std::to_string(k) + "/1000";
    pump();
    for (int d = 0; d < kTubeDirections; ++d) {
      const int32_t kind = TubeDir(d).kind;
      const int32_t r = g.Random(info.tube_tex_count[static_cast<size_t>(kind)]);
      scene::Plane* tube = NewPlane(ms.tubes, "m_tube_" + std::to_string(kind) + "_" + std::to_string(r),
                                    kTubeSize, kTubeSize, 0, 0, kTubeZ);
      tube->SetVisible(false);
      objs.tube_planes[static_cast<size_t>(k)][static_cast<size_t>(d)] = tube;
    }
  }

  for (int w = 0; w < core::kWarnings; ++w) {
    g.load_status = "Creating warning messages...";
    pump();
    scene::HUDSprite* tick = NewSprite(ms.hud, "m_tick_ok");
    tick->SetWidth(kWarnTickSize);
    tick->SetHeight(kWarnTickSize);
    tick->SetPosition(0, 0, 0);
    objs.warn_sprites[static_cast<size_t>(w)] = tick;
    scene::HUDText* text = NewText(ms.hud_text, &ms.font2, "-");
    text->SetPosition(0, 0, 0);
    text->SetVisible(false);
    objs.warn_texts[static_cast<size_t>(w)] = text;
  }

  objs.trade_ship = NewPlane(ms.buildings, "m_tradeship", kCellSize, kCellSize, 0, 0, kTradeShipZ);

  ms.sel_marker->SetLibMaterialName("m_selmarker");
  ms.sel_cube->SetLibMaterialName("m_selmarker");
  ms.upg_bar->SetLibMaterialName("m_upg_bar");
  // Above the marker, so that the cursor on the chosen cell still shows; clicks pass it.
  objs.cursor = NewPlane(ms.maincube, "m_cursor", kCellSize, kCellSize, 0, 0, kMarkerZ + 0.5f);
  objs.cursor->SetPickable(false);
  objs.cursor->SetVisible(false);

  // Shown until the first frame hides those not flying.
  for (int s = 0; s < kShuttlePlanes; ++s)
    objs.shuttle_planes[static_cast<size_t>(s)] =
        NewPlane(ms.buildings, "m_shuttle", kShuttleSize, kShuttleSize, 0, 0, kShuttleZ);

  // Parked off the grid: the first frame hides them.
  for (int p = 0; p < kPiratePlanes; ++p)
    objs.pirate_planes[static_cast<size_t>(p)] =
        NewPlane(ms.buildings, "m_pirate", kPirateSize, kPirateSize, kPirateStartX, 0, kPirateZ);

  if (!g.hud_mode) return;

  for (size_t b = 0; b < buttons.size(); ++b) {
    const hud::hudbtn& btn = buttons[b];
    if (!btn.exists) continue;
    // The bare texture name is provisional: the HUD refresh gives the "m_" form.
    std::string material;
    if (!btn.texture.empty()) material = btn.hasstates ? btn.texture + "_0" : btn.texture;
    scene::HUDSprite* sprite = NewSprite(ms.hud, material);
    sprite->SetPosition(static_cast<float>(btn.x), static_cast<float>(btn.y), 0);
    sprite->SetWidth(static_cast<float>(btn.width));
    sprite->SetHeight(static_cast<float>(btn.height));
    sprite->SetVisible(btn.visible);
    hud_objs.button_sprites[b] = sprite;
    if (!btn.caption.empty()) {
      scene::HUDText* text = NewText(ms.hud_text, &ms.font1, btn.caption);
      text->SetPosition(static_cast<float>(btn.x - btn.width / 2 + 1),
                        static_cast<float>(btn.y - btn.height / 2 + 1), 0);
      text->SetVisible(btn.visible);
      text->SetAlignment(scene::Alignment::Center);
      text->SetLayout(scene::TextLayout::Center);
      hud_objs.button_texts[b] = text;
    }
    g.load_status = "Creating UI buttons... (" + std::to_string(b) + "/100)";
    pump();
  }

  CreateOverlay(ms, colony_text, hud_objs);

  for (int j = 0; j < core::kInfoBlocks; ++j) {
    scene::HUDSprite* icon = NewSprite(ms.hud, "");
    icon->SetWidth(10);
    icon->SetHeight(10);
    hud_objs.info_icons[static_cast<size_t>(j)] = icon;
    hud_objs.info_texts[static_cast<size_t>(j)] = NewText(ms.hud_text, &ms.font1, "");
  }

  hud_objs.status_text = NewText(ms.hud_text, &ms.font3, "");

  // The tutorial's panel over the buttons and the overlay, under the hover help.
  hud_objs.tutorial_bg = NewSprite(ms.hud, "m_tooltip");
  hud_objs.tutorial_bg->SetVisible(false);
  hud_objs.tutorial_skip_bg = NewSprite(ms.hud, "m_tooltip");
  hud_objs.tutorial_skip_bg->SetVisible(false);
  for (auto*& bar : hud_objs.tutorial_mark) {
    bar = NewSprite(ms.hud, "m_upg_bar");
    bar->SetVisible(false);
  }
  hud_objs.tutorial_text = NewText(ms.hud_text, &ms.font1, "");
  hud_objs.tutorial_text->SetVisible(false);
  hud_objs.tutorial_skip_text = NewText(ms.hud_text, &ms.font1, "");
  hud_objs.tutorial_skip_text->SetVisible(false);
  // The keyboard focus frame, over the buttons.
  for (scene::HUDSprite*& edge : hud_objs.focus_edges) {
    edge = NewSprite(ms.hud, "m_focus");
    edge->SetVisible(false);
  }

  // The hover help comes last in both layers, so it is drawn over every button and text.
  hud_objs.tooltip_bg = NewSprite(ms.hud, "m_tooltip");
  hud_objs.tooltip_bg->SetVisible(false);
  hud_objs.tooltip_text = NewText(ms.hud_text, &ms.font1, "");
  hud_objs.tooltip_text->SetVisible(false);
}

}  // namespace presentation
