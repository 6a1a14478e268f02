#include <string>
#include <vector>

#include "fixture.h"

namespace {

using presentation::LoadPump;
using presentation::MatLibInfo;
using presentation_test::SampleButtons;
using presentation_test::WriteTextures;

class MatLib : public ::testing::Test {
 protected:
  void Fill(const std::vector<std::string>& files, const hud::ButtonTable& buttons = SampleButtons()) {
    WriteTextures(dir, files);
    g.exe_dir = dir.path();
    presentation::FillMatLib(g, lib, buttons, info, pump);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < lib.size(); ++i) names.push_back(lib.at(i).name);
    return names;
  }
  bool Has(const std::string& name) const { return lib.Find(name) != nullptr; }
  float Emission(const std::string& name) const { return lib.Find(name)->emission.r; }
  std::string File(const std::string& name) const { return lib.Find(name)->texture.image_file; }

  testing_support::TempDir dir;
  core::Game g;
  scene::MaterialLibrary lib;
  MatLibInfo info;
  LoadPump pump;
};

TEST_F(MatLib, EveryGroupInItsOrderWithItsSettings) {
  Fill({"terrain_0.tga", "terrain_1.tga", "bldg_constr.tga", "bldg_0.tga", "bldg_0_off.tga", "bldg_5.tga",
        "cargoship.tga", "pirate_ship.tga", "shuttle.tga", "selmarker.tga", "upg_bar.tga", "tube_0_0.tga",
        "tube_3_0.tga", "tube_3_1.tga", "pic_0.tga", "pic_3.tga", "icon_0.tga", "icon_20.tga", "gbut_0.tga",
        "panel.tga", "mbutup_0.tga", "mbutup_1.tga", "mbutup_2.tga", "plain.tga", "tick_ok.tga"});
  const std::vector<std::string> expected = {
      "m_terrain_0", "m_terrain_1", "m_bldg_constr", "m_bldg_0",    "m_bldg_0_off", "m_bldg_5",
      "m_bldg_5_off", "mb_bldg_0",  "mb_bldg_5",     "m_tradeship", "m_pirate",     "m_shuttle",
      "m_selmarker", "m_upg_bar",   "m_tube_0_0",    "m_tube_3_0",  "m_tube_3_1",   "m_pic_0",
      "m_pic_3",     "m_icon_0",    "m_icon_20",     "m_gbut_0",    "m_tick_ok",    "m_panel",
      "m_mbutup_0",  "m_mbutup_1",  "m_mbutup_2",    "m_plain"};
  EXPECT_EQ(Names(), expected);

  // Lit world, bright markers and HUD.
  for (const char* lit : {"m_terrain_0", "m_bldg_constr", "m_bldg_0", "m_bldg_0_off", "m_tradeship",
                          "m_pirate", "m_shuttle", "m_tube_3_1"})
    EXPECT_EQ(Emission(lit), 0.0f) << lit;
  for (const char* bright : {"mb_bldg_0", "m_selmarker", "m_upg_bar", "m_pic_0", "m_icon_20", "m_gbut_0",
                             "m_mbutup_2", "m_plain"})
    EXPECT_EQ(Emission(bright), 1.0f) << bright;

  const scene::Material& m = *lib.Find("m_bldg_0");
  EXPECT_FALSE(m.texture.disabled);
  EXPECT_EQ(m.texture.mode, scene::TextureMode::Modulate);
  EXPECT_EQ(m.texture.image_alpha, scene::ImageAlpha::Default);
  EXPECT_EQ(m.texture.mag_filter, scene::TextureFilter::Nearest);
  EXPECT_EQ(m.texture.min_filter, scene::TextureFilter::Nearest);
  EXPECT_EQ(m.blending_mode, scene::BlendingMode::Transparency);
  EXPECT_EQ(File("m_bldg_0_off"), dir.path() + "/Textures/bldg_0_off.tga");
  EXPECT_EQ(File("mb_bldg_0"), dir.path() + "/Textures/bldg_0.tga");

  EXPECT_EQ(info.max_terrain, 1);
  EXPECT_EQ(info.tube_tex_count, (std::array<int32_t, 4>{1, 0, 0, 2}));
}

TEST_F(MatLib, BuildingLooksFallBackAndGoMissingAsTheFilesSay) {
  Fill({"bldg_7.tga", "bldg_8_off.tga"});
  // No switched-off picture: switched off looks like working.
  EXPECT_EQ(File("m_bldg_7_off"), dir.path() + "/Textures/bldg_7.tga");
  EXPECT_TRUE(Has("mb_bldg_7"));
  // Only a switched-off picture: no working look, no button face.
  EXPECT_TRUE(Has("m_bldg_8_off"));
  EXPECT_FALSE(Has("m_bldg_8"));
  EXPECT_FALSE(Has("mb_bldg_8"));
  EXPECT_FALSE(Has("m_bldg_constr"));
}

TEST_F(MatLib, SequencesStopAtTheFirstGap) {
  Fill({"terrain_0.tga", "terrain_1.tga", "terrain_3.tga", "tube_2_1.tga", "tube_1_0.tga", "tube_1_2.tga"});
  EXPECT_EQ(info.max_terrain, 1);
  EXPECT_FALSE(Has("m_terrain_3"));
  EXPECT_EQ(info.tube_tex_count[2], 0);
  EXPECT_FALSE(Has("m_tube_2_1"));
  EXPECT_EQ(info.tube_tex_count[1], 1);
  EXPECT_FALSE(Has("m_tube_1_2"));
}

TEST_F(MatLib, NoTexturesAtAllLeavesOnlyCountersAndNoMaterials) {
  Fill({});
  EXPECT_EQ(info.max_terrain, -1);
  EXPECT_EQ(info.tube_tex_count, (std::array<int32_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(lib.size(), 0);
  EXPECT_EQ(g.load_status, "Loading building ui... (100)");
}

TEST_F(MatLib, FileNamesMatchWithoutRegardToLetterCase) {
  Fill({"Terrain_0.TGA", "BLDG_3.tga"});
  EXPECT_TRUE(Has("m_terrain_0"));
  EXPECT_TRUE(Has("m_bldg_3"));
  EXPECT_EQ(File("m_bldg_3"), dir.path() + "/Textures/BLDG_3.tga");
}

TEST_F(MatLib, HudTexturesOnlyInHudMode) {
  g.hud_mode = false;
  Fill({"panel.tga", "mbutup_0.tga"});
  EXPECT_FALSE(Has("m_panel"));
  EXPECT_TRUE(info.hud_textures.empty());
}

TEST(HudTextureList, FixedTenThenEachButtonsFacesOnce) {
  const std::vector<std::string> list = presentation::HudTextureList(SampleButtons());
  const std::vector<std::string> expected = {
      "gbut_0",    "gbut_1",    "gbut_2",    "but_tog_on_0", "but_tog_on_1", "but_tog_on_2", "tick_ok",
      "tick_warn", "tick_bad",  "panel",     "mbutup_0",     "mbutup_1",     "mbutup_2",     "mbutdown_0",
      "mbutdown_1", "mbutdown_2", "but_0",   "but_1",        "but_2",        "plain"};
  EXPECT_EQ(list, expected);
}

TEST(HudTextureList, AbsentButtonsAndEmptyTexturesAddNothing) {
  hud::ButtonTable b{};
  b[7].texture = "ghost";  // exists is false
  b[8].exists = true;      // no texture yet
  EXPECT_EQ(presentation::HudTextureList(b).size(), 10u);
}

TEST(LoadPump, RunsFirstTimeThenAtMostOncePerInterval) {
  int calls = 0;
  LoadPump pump([&] { ++calls; }, std::chrono::hours(1));
  for (int i = 0; i < 1000; ++i) pump();
  EXPECT_EQ(calls, 1);
  LoadPump every([&] { ++calls; }, std::chrono::milliseconds(0));
  every();
  every();
  EXPECT_EQ(calls, 3);
  LoadPump none;
  none();  // no callback: nothing to run
  EXPECT_EQ(none.runs(), 0);
}

}  // namespace
