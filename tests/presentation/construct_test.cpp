#include <map>
#include <set>
#include <string>

#include "fixture.h"

namespace {

using presentation_test::WorldTest;

class Construct : public WorldTest {};

TEST_F(Construct, TerrainAndBuildingPlanesColumnByColumn) {
  Build({"terrain_0.tga", "terrain_1.tga", "terrain_2.tga"});
  auto& o = objs();
  ASSERT_EQ(ms().terrain->child_count(), 1001);
  // Tile k: cell (k div 30, k mod 30); tile 1000 is the last, at cell (33, 10).
  EXPECT_EQ(o.terrain_tiles[0]->position(), (scene::Vec3{0, 0, 0}));
  EXPECT_EQ(o.terrain_tiles[31]->position(), (scene::Vec3{20, 20, 0}));
  EXPECT_EQ(o.terrain_tiles[1000]->position(), (scene::Vec3{660, 200, 0}));
  EXPECT_EQ(o.terrain_tiles[1000]->width(), 20.0f);
  EXPECT_EQ(o.terrain_tiles[1000]->height(), 20.0f);
  EXPECT_EQ(ms().terrain->child(1000), o.terrain_tiles[1000]);
  EXPECT_EQ(o.bldg_planes[1000]->position(), (scene::Vec3{660, 200, 2}));
  EXPECT_TRUE(o.bldg_planes[5]->lib_material_name().empty());
  EXPECT_EQ(o.bldg_planes[5]->parent(), ms().buildings);

  // Texture 0 is the common ground: 1/3 + 2/3 x 0.59 of the tiles, about 73 %.
  std::map<std::string, int> count;
  for (auto* t : o.terrain_tiles) ++count[t->lib_material_name()];
  EXPECT_EQ(count.size(), 3u);
  EXPECT_GT(count["m_terrain_0"], 650);
  EXPECT_LT(count["m_terrain_0"], 810);
}

TEST_F(Construct, OneTerrainTextureOrNoneNamesTextureZero) {
  Build({"terrain_0.tga"});
  for (auto* t : objs().terrain_tiles) ASSERT_EQ(t->lib_material_name(), "m_terrain_0");
}

TEST_F(Construct, WithoutTerrainFilesTilesStillNameTextureZero) {
  Build({});
  EXPECT_EQ(world.matlib_info().max_terrain, -1);
  EXPECT_EQ(objs().terrain_tiles[77]->lib_material_name(), "m_terrain_0");
}

TEST_F(Construct, TubesHiddenSizedAndTexturedByKind) {
  Build({"tube_0_0.tga", "tube_0_1.tga", "tube_3_0.tga"});
  auto& o = objs();
  ASSERT_EQ(ms().tubes->child_count(), 8008);
  const char* kind_prefix[8] = {"m_tube_3_", "m_tube_0_", "m_tube_2_", "m_tube_1_",
                                "m_tube_3_", "m_tube_0_", "m_tube_2_", "m_tube_1_"};
  std::set<std::string> kind0;
  for (int k = 0; k < 1001; ++k) {
    for (int d = 0; d < 8; ++d) {
      scene::Plane* t = o.tube_planes[k][d];
      ASSERT_FALSE(t->visible());
      ASSERT_EQ(t->lib_material_name().rfind(kind_prefix[d], 0), 0u) << k << " " << d;
      if (d == 1) kind0.insert(t->lib_material_name());
    }
  }
  EXPECT_EQ(ms().tubes->child(8 * 3 + 2), o.tube_planes[3][2]);
  EXPECT_EQ(o.tube_planes[9][4]->width(), 14.0f);
  EXPECT_EQ(o.tube_planes[9][4]->position(), (scene::Vec3{0, 0, 1}));
  // Both textures of kind 0 are drawn; kinds without files name texture 0.
  EXPECT_EQ(kind0, (std::set<std::string>{"m_tube_0_0", "m_tube_0_1"}));
  EXPECT_EQ(o.tube_planes[0][2]->lib_material_name(), "m_tube_2_0");
}

TEST_F(Construct, CraftMarkersAndWarningsInTheirPlaces) {
  Build();
  auto& o = objs();
  // buildings: 1001 building planes, the trade ship, 10 shuttles, 3 pirates, in that order.
  ASSERT_EQ(ms().buildings->child_count(), 1001 + 1 + 10 + 3);
  EXPECT_EQ(ms().buildings->child(1001), o.trade_ship);
  EXPECT_EQ(ms().buildings->child(1002), o.shuttle_planes[0]);
  EXPECT_EQ(ms().buildings->child(1012), o.pirate_planes[0]);
  EXPECT_EQ(o.trade_ship->lib_material_name(), "m_tradeship");
  EXPECT_EQ(o.trade_ship->position(), (scene::Vec3{0, 0, 60}));
  EXPECT_EQ(o.shuttle_planes[9]->lib_material_name(), "m_shuttle");
  EXPECT_EQ(o.shuttle_planes[9]->width(), 8.0f);
  EXPECT_EQ(o.shuttle_planes[9]->position(), (scene::Vec3{0, 0, 15}));
  EXPECT_TRUE(o.shuttle_planes[9]->visible());
  EXPECT_EQ(o.pirate_planes[2]->lib_material_name(), "m_pirate");
  EXPECT_EQ(o.pirate_planes[2]->height(), 12.0f);
  EXPECT_EQ(o.pirate_planes[2]->position(), (scene::Vec3{-10, 0, 20}));
  EXPECT_EQ(ms().sel_marker->lib_material_name(), "m_selmarker");
  EXPECT_EQ(ms().sel_cube->lib_material_name(), "m_selmarker");
  EXPECT_EQ(ms().upg_bar->lib_material_name(), "m_upg_bar");

  for (int w = 0; w < 5; ++w) {
    EXPECT_EQ(o.warn_sprites[w]->lib_material_name(), "m_tick_ok");
    EXPECT_EQ(o.warn_sprites[w]->width(), 20.0f);
    EXPECT_TRUE(o.warn_sprites[w]->visible());
    EXPECT_EQ(o.warn_texts[w]->text(), "-");
    EXPECT_EQ(o.warn_texts[w]->bitmap_font(), &ms().font2);
    EXPECT_FALSE(o.warn_texts[w]->visible());
  }
  EXPECT_EQ(ms().hud->child(0), o.warn_sprites[0]);
  EXPECT_EQ(ms().hud_text->child(4), o.warn_texts[4]);
}

TEST_F(Construct, HudButtonsOverlayAndInfoBar) {
  Build();
  auto& o = world.hud().objects();
  // Buttons: absent slots and empty captions create nothing.
  EXPECT_EQ(o.button_sprites[0]->lib_material_name(), "mbutup_0");  // provisional bare name
  EXPECT_EQ(o.button_sprites[5]->lib_material_name(), "plain");
  EXPECT_TRUE(o.button_sprites[2]->lib_material_name().empty());
  EXPECT_EQ(o.button_sprites[6], nullptr);
  EXPECT_EQ(o.button_texts[0], nullptr);
  EXPECT_EQ(o.button_sprites[0]->position(), (scene::Vec3{100, 50, 0}));
  EXPECT_EQ(o.button_sprites[0]->width(), 30.0f);
  scene::HUDText* caption = o.button_texts[4];
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->text(), "Buy");
  EXPECT_EQ(caption->position(), (scene::Vec3{104 - 15 + 1, 50 - 10 + 1, 0}));
  EXPECT_EQ(caption->alignment(), scene::Alignment::Center);
  EXPECT_EQ(caption->layout(), scene::TextLayout::Center);
  EXPECT_EQ(caption->bitmap_font(), &ms().font1);
  EXPECT_FALSE(caption->visible());
  EXPECT_FALSE(o.button_sprites[4]->visible());

  // Overlay, in its order within each layer.
  const auto& ov = o;
  EXPECT_EQ(ov.stats_text->bitmap_font(), &ms().font2);
  EXPECT_EQ(ov.days_left_text->bitmap_font(), &ms().font3);
  EXPECT_EQ(ov.stats_text->text(), hud::MemoText(world.readout().colony));
  EXPECT_FALSE(ov.stats_text->text().empty());
  EXPECT_EQ(ov.bldg_picture->width(), 120.0f);
  EXPECT_TRUE(ov.bldg_picture->lib_material_name().empty());
  EXPECT_EQ(ov.credit_panel_bg->position(), (scene::Vec3{130, 50, 0}));
  EXPECT_EQ(ov.credit_panel_bg->width(), 260.0f);
  EXPECT_EQ(ov.msg_panel_bg->height(), 280.0f);
  EXPECT_EQ(ov.msg_pic->width(), 150.0f);
  EXPECT_EQ(ms().hud_bottom->child_count(), 5);
  EXPECT_EQ(ms().hud_bottom->child(0), ov.credit_panel_bg);
  EXPECT_EQ(ms().hud_bottom->child(4), ov.msg_panel_bg);
  // Layer HUDText: 5 warning texts, 1 caption, then the overlay texts and the info texts.
  EXPECT_EQ(ms().hud_text->child(6), ov.stats_text);
  EXPECT_EQ(ms().hud_text->child(14), ov.msg_text);
  EXPECT_EQ(ms().hud_text->child(15), o.info_texts[0]);
  // ... the pause and speed indicator, the tutorial's text and Skip, and the hover help
  // last, over everything.
  EXPECT_EQ(ms().hud_text->child(36), o.status_text);
  EXPECT_EQ(ms().hud_text->child(37), o.tutorial_text);
  EXPECT_EQ(ms().hud_text->child(38), o.tutorial_skip_text);
  EXPECT_FALSE(o.tutorial_text->visible());
  EXPECT_EQ(ms().hud_text->child_count(), 5 + 1 + 9 + 21 + 1 + 2 + 1);
  EXPECT_EQ(ms().hud_text->child(39), o.tooltip_text);
  EXPECT_FALSE(o.tooltip_text->visible());
  EXPECT_EQ(o.info_icons[20]->width(), 10.0f);
  EXPECT_TRUE(o.info_icons[20]->visible());
  EXPECT_EQ(o.info_texts[20]->bitmap_font(), &ms().font1);
  EXPECT_EQ(g.load_status, "Creating UI buttons... (5/100)");
}

TEST_F(Construct, SidePanelModeBuildsNoHudObjects) {
  g.hud_mode = false;
  Build();
  EXPECT_EQ(world.hud().objects().button_sprites[0], nullptr);
  EXPECT_EQ(world.hud().objects().stats_text, nullptr);
  EXPECT_EQ(ms().hud_bottom->child_count(), 0);
  EXPECT_EQ(ms().hud->child_count(), 5);  // the warning ticks only
}

}  // namespace
