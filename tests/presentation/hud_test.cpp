// The in-scene HUD on the scene model: the button table laid out for a view, the hit test,
// hover and press with their sounds, the commands and the panels, the overlay and the
// message panel, driven through the world's pointer handlers and frame loop.
#include <algorithm>
#include <string>
#include <vector>

#include "core/grid.h"
#include "fixture.h"
#include "hud/hud.h"
#include "scene/font.h"

namespace {

using presentation_test::Place;
using presentation_test::WorldTest;

class SoundHost : public core::Host {
 public:
  void PlaySound(const std::string& name) override { sounds.push_back(name); }
  void ShowInfoMessage(int kind, const std::string& text) override { messages.push_back({kind, text}); }
  bool Confirm(const std::string&) override { return true; }
  std::vector<std::string> sounds;
  std::vector<std::pair<int, std::string>> messages;
};

class Hud : public WorldTest {
 protected:
  void SetUp() override { Start(23); }

  // A catalog of `types` building types, the table of the game, a scene, one frame.
  void Start(int types) {
    for (int k = 0; k < types; ++k) {
      core::building& b = g.catalog[static_cast<size_t>(k)];
      b.exists = true;
      b.id = k + 1;
      b.cst = 1000 + k;
      b.sc = 7;
      b.upl = 3;
      b.cname = std::to_string(181 + k);
      g.constr_list.push_back("Type " + std::to_string(k));
    }
    g.catalog_count = types;
    for (int n = 0; n < 300; ++n) g.locale_table[static_cast<size_t>(n)] = "E" + std::to_string(n);
    g.money = 100000;
    g.host = &host;
    hud().InitHudButtons();
    WriteTextures(dir, {});
    g.exe_dir = dir.path();
    world.FillMatLib();
    world.ConstructScene();
    world.EnableClocks();
    View(1008, 709);
  }
  void View(int w, int h) {
    world.SetViewSize(w, h);
    Frame();
    Frame();  // the picture-relative buttons follow the picture one frame later
  }
  hud::Hud& hud() { return world.hud(); }
  const hud::hudbtn& Btn(int slot) { return hud().buttons()[static_cast<size_t>(slot)]; }
  // A click in the middle of a button, as the pointer does it.
  void Click(int slot) {
    const hud::hudbtn& b = Btn(slot);
    ASSERT_TRUE(b.visible) << "slot " << slot;
    const int x = static_cast<int>(b.rx), y = static_cast<int>(b.ry);
    world.MsMove(x, y);
    world.MsDown(x, y);
    world.MsUp(x, y, true);
    Frame();
  }
  static void WriteTextures(const testing_support::TempDir& d, const std::vector<std::string>& files) {
    presentation_test::WriteTextures(d, files);
  }

  SoundHost host;
};

TEST_F(Hud, TheTableIsLaidOutForTheView) {
  // Centres and sizes at 1008 x 709 (u = 47) and in a larger window (u = 60), with every
  // panel open that shows them.
  struct Case {
    int slot;
    double rx, ry, w, h;
  };
  for (const auto& [vw, vh] : {std::pair{1008, 709}, std::pair{1200, 900}}) {
    SCOPED_TRACE(vw);
    View(vw, vh);
    const double W = vw, H = vh, u = core::HudUnit(vh);
    const std::vector<Case> cases = {
        {0, 15, H / 2 - 6 * u, 30, 30},          {1, 15, H / 2 + 5 * u, 30, 30},
        {2, u / 2, H / 2 - 5 * u, u, u},         {11, u / 2, H / 2 + 4 * u, u, u},
        {13, W - 110, H / 2 - 200, 210, 19},     {33, W - 110, H / 2 - 200 + 20 * 19, 210, 19},
        {34, W - 15, H / 2 - 225, 30, 30},       {35, W - 15, H / 2 + 225, 30, 30},
        {37, W / 2 - 105, H - 110, 100, 30},     {39, W / 2 + 105, H - 110, 100, 30},
        {40, W / 2 - 55, H - 20, 100, 30},       {43, W / 2 - 120, H - 70, 30, 30},
        {45, W / 2 + 50, H - 15, 100, 20},       {46, W / 2 - 110, H - 40, 20, 20},
        {49, 55, 12, 100, 20},                   {50, 160, 12, 100, 20},
        {51, W / 2, H / 2 + 115, 100, 20},       {52, W - 105, H - 30, 25, 25},
        {54, W - 35, H - 30, 25, 25},
    };
    for (const Case& c : cases) {
      EXPECT_EQ(Btn(c.slot).rx, c.rx) << c.slot;
      EXPECT_EQ(Btn(c.slot).ry, c.ry) << c.slot;
      EXPECT_EQ(Btn(c.slot).width, c.w) << c.slot;
      EXPECT_EQ(Btn(c.slot).height, c.h) << c.slot;
      const scene::HUDSprite* s = hud().objects().button_sprites[static_cast<size_t>(c.slot)];
      EXPECT_EQ(s->x(), static_cast<float>(c.rx)) << c.slot;
      EXPECT_EQ(s->width(), static_cast<float>(c.w)) << c.slot;
    }
    // Under the building picture (150 x 150 at (W/2 - 150, H - 171)) once a panel opened.
    g.sel_cell_x = g.sel_cell_y = 3;
    g.build_panel = true;
    Frame();  // the picture takes its size,
    Frame();  // then its place,
    Frame();  // and the buttons under it follow
    EXPECT_EQ(Btn(12).rx, W / 2 - 195);
    EXPECT_EQ(Btn(12).ry, H - 63);
    EXPECT_EQ(Btn(55).rx, W / 2 - 115);
    EXPECT_EQ(Btn(55).width, 80);
    EXPECT_EQ(Btn(44).rx, W / 2 - 150 - 2 - 37.5);
    EXPECT_EQ(Btn(36).ry, H - 171 + 75 + 37.5 / 2 + 3);
    g.build_panel = false;
    Frame();
  }
  for (const auto& [h, u] : {std::pair{450, 30}, std::pair{300, 30}, std::pair{600, 40}, std::pair{615, 41}}) {
    View(800, h);
    EXPECT_EQ(hud().hud_unit, u) << h;
  }
}

TEST_F(Hud, HitTestIsStrictLowestSlotWinsHiddenNeverHit) {
  hud::hudbtn& trade = hud().buttons()[49];  // 100 x 20 at (55, 12): x 5..105, y 2..22
  struct Case {
    int x, y, want;
  };
  for (const Case& c : std::vector<Case>{{55, 12, 49}, {5, 12, -1}, {6, 12, 49}, {104, 12, 49}, {105, 12, -1},
                                         {55, 2, -1}, {55, 3, 49}, {55, 21, 49}, {55, 22, -1}}) {
    EXPECT_EQ(hud().HudButtonAt(c.x, c.y), c.want) << c.x << "," << c.y;
  }
  // Slot 50 moved onto slot 49: the lower slot wins; hidden, 49 lets 50 through.
  hud::hudbtn& credit = hud().buttons()[50];
  credit.rx = trade.rx;
  EXPECT_EQ(hud().HudButtonAt(55, 12), 49);
  trade.visible = false;
  EXPECT_EQ(hud().HudButtonAt(55, 12), 50);
  // The trade buttons are hidden while their panel is closed: no hover, no hit.
  Frame();
  world.MsMove(static_cast<int>(Btn(40).rx), static_cast<int>(Btn(40).ry));
  EXPECT_FALSE(world.over_hud);
  EXPECT_EQ(Btn(40).state, 0);
}

TEST_F(Hud, HoverAndClickStatesAndSounds) {
  auto at = [&](int slot) { return std::pair{static_cast<int>(Btn(slot).rx), static_cast<int>(Btn(slot).ry)}; };
  auto [x49, y49] = at(49);
  auto [x50, y50] = at(50);
  world.MsMove(x49, y49);
  world.MsMove(x49 + 3, y49);  // within the same button: no second sound
  EXPECT_EQ(host.sounds, std::vector<std::string>{"snd_btnovr"});
  EXPECT_TRUE(world.over_hud);
  world.MsMove(x50, y50);  // straight onto the next one
  EXPECT_EQ(Btn(49).state, 0);
  EXPECT_EQ(Btn(50).state, 2);
  Frame();
  EXPECT_EQ(hud().objects().button_sprites[50]->lib_material_name(), "m_but_2");
  host.sounds.clear();
  // A press alone runs nothing; press and release play the click twice and run it once.
  world.MsDown(x50, y50);
  EXPECT_FALSE(g.credit_panel);
  EXPECT_EQ(Btn(50).state, 1);
  world.MsUp(x50, y50, true);
  EXPECT_TRUE(g.credit_panel);
  EXPECT_EQ(host.sounds, (std::vector<std::string>{"snd_btn", "snd_btn"}));
  // Pressed stays pressed while the pointer moves over it; off every button all go normal.
  world.MsMove(x50 + 2, y50);
  EXPECT_EQ(Btn(50).state, 1);
  world.MsMove(500, 300);
  EXPECT_EQ(Btn(50).state, 0);
  EXPECT_FALSE(world.over_hud);
  EXPECT_EQ(host.sounds.size(), 2u);
}

TEST_F(Hud, ScrollLimitsAndAmountFloors) {
  struct Case {
    int slot;
    int32_t hud::Hud::*field;
    int32_t before, after;
  };
  const std::vector<Case> cases = {
      {0, &hud::Hud::cat_scroll, 3, 0},        {0, &hud::Hud::cat_scroll, 10, 5},
      {1, &hud::Hud::cat_scroll, 5, 10},       {1, &hud::Hud::cat_scroll, 10, 13},  // 23 types: the last ten
      {34, &hud::Hud::list_scroll, 0, 0},      {35, &hud::Hud::list_scroll, 979, 980},
      {35, &hud::Hud::list_scroll, 980, 980},  {43, &hud::Hud::hud_trade_amt, 5, 0},
      {42, &hud::Hud::hud_trade_amt, 100, 110},  // no upper bound
      {46, &hud::Hud::hud_credit_amt, 500, 0}, {47, &hud::Hud::hud_credit_amt, 10000, 11000},
  };
  for (const Case& c : cases) {
    // The panel the button belongs to is open (a scroll click closes it again).
    g.trade_panel = c.slot >= 42 && c.slot <= 43;
    g.credit_panel = c.slot >= 46 && c.slot <= 47;
    Frame();
    hud().*c.field = c.before;
    Click(c.slot);
    EXPECT_EQ(hud().*c.field, c.after) << "slot " << c.slot << " from " << c.before;
  }
}

TEST_F(Hud, ShortCatalogNeverReadsPastItsEnd) {
  // A fresh world with four types: the column shows them and hides the other six.
  for (int k = 4; k < 23; ++k) g.catalog[static_cast<size_t>(k)].exists = false;
  g.catalog_count = 4;
  g.constr_list.resize(4);
  Frame();
  Click(1);
  EXPECT_EQ(hud().cat_scroll, 0);
  EXPECT_TRUE(Btn(5).visible);
  EXPECT_FALSE(Btn(6).visible);
  EXPECT_EQ(hud().objects().button_sprites[5]->lib_material_name(), "mb_bldg_4");
  // Build and describe without a chosen type: nothing is built, nothing is said.
  g.sel_cell_x = g.sel_cell_y = 4;
  g.build_panel = true;
  Frame();
  Frame();
  Click(12);
  Click(1);  // (the build click closed nothing: it is a handled button)
  g.build_panel = true;
  Frame();
  Click(55);
  EXPECT_EQ(g.money, 100000);
  EXPECT_TRUE(host.messages.empty());
  // Choosing a type and building it.
  Click(3);
  EXPECT_EQ(g.constr_choice, 1);
  EXPECT_TRUE(g.build_panel);
  Click(12);
  EXPECT_EQ(g.money, 100000 - 1001);
  EXPECT_EQ(g.placed[0].id, 2);
  EXPECT_EQ(g.placed[0].x, 4);
}

TEST_F(Hud, PanelStateMachine) {
  Click(49);
  EXPECT_TRUE(g.trade_panel);
  Click(49);
  EXPECT_FALSE(g.trade_panel);
  Click(49);
  Click(50);  // credit while trade is open: credit instead
  EXPECT_TRUE(g.credit_panel);
  EXPECT_FALSE(g.trade_panel);
  // A handled button opens the construction panel and closes the others.
  Click(0);
  EXPECT_TRUE(g.build_panel);
  EXPECT_FALSE(g.credit_panel);
  // Pressed on a button, released over empty scene far off the grid: the construction
  // panel closes and the choice of site stays.
  g.sel_cell_x = g.sel_cell_y = 2;
  world.PlaceCamera(5000, 5000, 50);
  world.MsMove(static_cast<int>(Btn(49).rx), static_cast<int>(Btn(49).ry));
  world.MsDown(static_cast<int>(Btn(49).rx), static_cast<int>(Btn(49).ry));
  world.MsUp(500, 350, true);
  EXPECT_FALSE(g.build_panel);
  EXPECT_EQ(g.sel_cell_x, 2);
  // A release over a HUD button leaves the chosen site and the selection alone.
  Place(g, 5, 9, 9);
  core::SelectBuilding(g, 5);
  Click(49);
  EXPECT_EQ(g.sel_cell_x, 2);
  EXPECT_EQ(g.selected_bldg, 5);
}

TEST_F(Hud, ListRowsFollowTheTableAndTheHighlightMovesWithScrolling) {
  Place(g, 3, 6, 7);
  Frame();
  Click(16);  // row 4 shows slot 3
  EXPECT_EQ(g.selected_bldg, 3);
  EXPECT_TRUE(g.bldg_panel);
  EXPECT_EQ(g.cam_target_x, 120);
  EXPECT_EQ(g.cam_target_y, 140);
  Frame();
  EXPECT_EQ(hud().objects().button_sprites[16]->lib_material_name(), "m_gbut_1");  // lit and pressed
  EXPECT_EQ(Btn(16).caption, core::BldgListLine(g, 3));
  hud().list_scroll = 2;
  Frame();
  Frame();
  EXPECT_EQ(Btn(14).texture, "gbut");
  EXPECT_EQ(Btn(16).texture, "but");
  hud().list_scroll = 4;  // slot 3 scrolled out of the window: nothing lit
  Frame();
  for (int s = 13; s <= 33; ++s) EXPECT_EQ(Btn(s).texture, "but") << s;
  // The last slot is lit only when it is selected, not for "nothing selected" (1000).
  hud().list_scroll = 980;
  core::ClearSelection(g);
  Frame();
  EXPECT_EQ(Btn(33).texture, "but");
}

TEST_F(Hud, InformationBarWrapsAndClosesGaps) {
  g.money = 12345;
  View(700, 600);  // u = 40
  hud().ArrangeInfoIcons();
  const auto& b = g.info_blocks;
  ASSERT_TRUE(b[0].visible);
  EXPECT_EQ(b[0].x, 250);
  EXPECT_EQ(b[0].y, 25);
  // Each block follows the previous one by 13 pixels a character plus the icon.
  EXPECT_EQ(b[1].x, 250 + core::Round(13.0 * static_cast<double>(b[0].text.size()) + 20));
  // Somewhere the row is full: that block starts the next row at u + 5, and the block
  // after it follows on that row.
  int wrapped = -1;
  for (int i = 1; i <= 10 && wrapped == -1; ++i)
    if (b[static_cast<size_t>(i)].visible && b[static_cast<size_t>(i)].y == 50) wrapped = i;
  ASSERT_NE(wrapped, -1);
  EXPECT_EQ(b[static_cast<size_t>(wrapped)].x, 45);
  EXPECT_EQ(b[static_cast<size_t>(wrapped + 1)].y, 50);
  EXPECT_GT(b[static_cast<size_t>(wrapped + 1)].x, 45);
  // Science (block 9) hidden leaves no gap: block 10 follows block 8.
  ASSERT_FALSE(b[9].visible);
  EXPECT_EQ(b[10].x, b[8].x + core::Round(13.0 * static_cast<double>(b[8].text.size()) + 20));
  // The icons and texts stand where the layout says.
  Frame();
  const auto& o = hud().objects();
  EXPECT_EQ(o.info_icons[0]->x(), 250.0f);
  EXPECT_EQ(o.info_icons[0]->lib_material_name(), "m_icon_0");
  EXPECT_EQ(o.info_texts[0]->x(), 260.0f);
  EXPECT_EQ(o.info_texts[0]->y(), 15.0f);
  EXPECT_FALSE(o.info_icons[9]->visible());
}

TEST_F(Hud, OverlayTextsOfTheTradeAndBuildingPanels) {
  const auto& o = hud().objects();
  g.food_price = 11;
  g.food = 22;
  g.products = 33;
  g.product_price = 44;
  Click(49);
  EXPECT_EQ(o.trade_price_text->text(), "E113: 11; E119: 22");
  EXPECT_EQ(o.trade_price_text->x(), 1008 / 2 - 100.0f);
  EXPECT_EQ(o.trade_title_text->text(), "- E118 -");
  EXPECT_EQ(o.trade_amount_text->text(), "50");
  EXPECT_EQ(o.trade_amount_text->position(), (scene::Vec3{1008 / 2 - 90.0f, 709 - 80.0f, 0}));
  EXPECT_TRUE(o.trade_panel_bg->visible());
  Click(39);  // products: the line switches with the next frame
  EXPECT_EQ(o.trade_price_text->text(), "E113: 44; E119: 33");
  Frame();  // the face follows a frame after the layout chose it
  EXPECT_EQ(o.button_sprites[39]->lib_material_name(), "m_gbut_1");  // chosen and pressed
  EXPECT_EQ(o.button_sprites[37]->lib_material_name(), "m_but_0");
  // Buying at the panel's amount.
  const int32_t money = g.money;
  g.trade_cap = 1000;
  Click(40);
  EXPECT_EQ(g.products, 33 + 50);
  EXPECT_EQ(g.money, money - 50 * 44);

  // A building under construction shows its progress instead of its properties.
  Place(g, 2, 5, 5, 4, true, 25);
  g.placed[2].cname = "184";
  g.placed[2].sc = 9;
  core::SelectBuilding(g, 2);
  g.bldg_panel = true;
  Frame();
  Frame();
  EXPECT_EQ(o.bldg_info_text->text(), "E184\n\rE41: 9; \n\r - 75/100 - ");
  EXPECT_EQ(o.bldg_picture->position(), (scene::Vec3{1008 / 2 - 150.0f, 709 - 171.0f, 0}));
  EXPECT_EQ(o.bldg_picture->lib_material_name(), "mb_bldg_4");
  EXPECT_EQ(o.bldg_info_text->position(), (scene::Vec3{1008 / 2 - 75.0f, 709 - 243.0f, 0}));
  // Finished: the property list and the upgrade caption.
  g.placed[2].construction = 0;
  g.placed[2].living = 50;
  g.placed[2].engcons = 3;
  Frame();
  const std::string& text = o.bldg_info_text->text();
  EXPECT_EQ(text.rfind("E184\n\rE41: 9; \n\r", 0), 0u) << text;
  EXPECT_EQ(text.substr(text.size() - world.readout().upgrade_caption.size()), world.readout().upgrade_caption);
  // As the font draws it: the name, the upkeep, each property and the caption, no blank line.
  const std::vector<std::u32string> lines = scene::SplitTextLines(text);
  ASSERT_EQ(world.readout().building.size(), 2u);
  EXPECT_EQ(lines.size(), 5u) << text;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), std::u32string()), 0) << text;
  // A file that does not name a locale entry leaves the text as it was; nothing breaks.
  g.placed[2].cname = "Dome";
  g.placed[2].construction = 50;
  Frame();
  EXPECT_EQ(o.bldg_info_text->text(), text);
  // The construction panel with no type chosen hides the picture.
  core::ClearSelection(g);
  g.sel_cell_x = g.sel_cell_y = 1;
  g.build_panel = true;
  g.bldg_panel = false;
  g.constr_choice = -1;
  Frame();
  EXPECT_FALSE(o.bldg_picture->visible());
  EXPECT_TRUE(o.bldg_panel_bg->visible());
}

TEST(HudMessage, LineBreaks) {
  struct Case {
    std::string in, out;
  };
  const std::string w25(25, 'a'), w35(35, 'b');
  for (const Case& c : std::vector<Case>{
           {w25, w25},
           {w35, std::string(31, 'b') + "\r\n" + std::string(4, 'b')},
           {"one two three four five six seven", "one two three four five \r\nsix seven"},
           {"one two\r\nthree four five six seven eight", "one two\r\nthree four five six seven \r\neight"},
           {"", ""},
           // Counted in characters: 24 two-byte letters stay on one line.
           {"жжжжжжжжжжжжжжжжжжжжжжжж", "жжжжжжжжжжжжжжжжжжжжжжжж"},
           // Chinese characters are twice as wide: 16 to a line, no more.
           {"殖民地殖民地殖民地殖民地殖民地殖民地", "殖民地殖民地殖民地殖民地殖民地殖\r\n民地"},
           {"殖民地仍欠银行的钱。 在还清当前贷款之前", "殖民地仍欠银行的钱。 \r\n在还清当前贷款之前"},
       }) {
    EXPECT_EQ(hud::BreakMessageLines(c.in), c.out) << c.in;
  }
}

TEST_F(Hud, MessageHoldsTheDayUntilOkAndNeverEndsThePlayersPause) {
  const auto& o = hud().objects();
  g.game_running = true;
  g.game_over = false;
  g.day_length = 0.5;
  ASSERT_TRUE(hud().ShowInfoMessage(2, "one two three four five six seven"));
  g.trade_panel = true;
  const int32_t day = g.day;
  for (int i = 0; i < 10; ++i) world.Progress(0.2);
  EXPECT_EQ(g.day, day);
  EXPECT_FALSE(g.trade_panel);  // panels opened under a message close again
  EXPECT_TRUE(o.msg_panel_bg->visible());
  EXPECT_EQ(o.msg_pic->lib_material_name(), "m_pic_2");
  EXPECT_EQ(o.msg_text->text(), "one two three four five \r\nsix seven");
  EXPECT_EQ(o.msg_text->position(), (scene::Vec3{1008 / 2 - 80.0f, 709 / 2.0f - 130, 0}));
  EXPECT_NE(world.readout().caption.find("E37"), std::string::npos);
  // The player pauses too; OK ends the message, not the pause.
  world.TogglePause();
  Click(51);
  EXPECT_FALSE(g.msg_panel);
  for (int i = 0; i < 10; ++i) world.Progress(0.2);
  EXPECT_EQ(g.day, day);
  EXPECT_NE(world.readout().caption.find("E37"), std::string::npos);
  world.TogglePause();
  for (int i = 0; i < 10; ++i) world.Progress(0.2);
  EXPECT_GT(g.day, day);
  EXPECT_EQ(world.readout().caption.find("E37"), std::string::npos);
  EXPECT_FALSE(o.msg_panel_bg->visible());
}

TEST_F(Hud, TooltipAfterARestOnACaptionlessButton) {
  const auto& o = hud().objects();
  g.locale_table[400] = "Scroll up";
  const int x = static_cast<int>(Btn(0).rx), y = static_cast<int>(Btn(0).ry);
  world.MsMove(x, y);
  Frame(0.1);
  EXPECT_FALSE(o.tooltip_text->visible());
  for (int i = 0; i < 8; ++i) Frame(0.1);
  EXPECT_TRUE(o.tooltip_text->visible());
  EXPECT_EQ(o.tooltip_text->text(), "Scroll up");
  EXPECT_GT(o.tooltip_text->x(), x);
  // A type button names its type and cost; moving off hides the help.
  EXPECT_EQ(hud().TooltipFor(3, world.readout()), "Type 1 (E40: 1001)");
  world.MsMove(500, 300);
  Frame(0.1);
  EXPECT_FALSE(o.tooltip_bg->visible());
}

}  // namespace
