#include <gtest/gtest.h>

#include "sim_support.h"

using testing_support::PlainType;
using testing_support::SimFixture;

namespace {

// Two types: a farm (the colony's first building) and a power plant whose level
// multiplies its energy output.
std::map<int, core::building> Types() {
  auto farm = PlainType(0);
  farm.upch = core::kUpFood;
  farm.food = 10;
  auto plant = PlainType(1);
  plant.upch = core::kUpEngout;
  plant.engout = 50;
  plant.engcons = 5;
  plant.cst = 2000;
  plant.sc = 20;
  return {{0, farm}, {1, plant}};
}

TEST(SimReadout, PrintsEveryPartOfTheReadout) {
  SimFixture sim(Types());
  // (the briefing waits on the HUD panel, holding the clock, until its OK)
  const auto r = sim.One("events off\nnew 5\nset msg_panel 0\nset money -50\nset day_length 3\nreadout");
  for (const char* key : {"colony", "info_blocks", "building", "cost", "upkeep", "selected_name",
                          "upgrade_caption", "food_price", "raw_price", "product_price", "interest",
                          "caption", "tubes_checked"})
    EXPECT_TRUE(r.contains(key)) << key;
  ASSERT_FALSE(r["colony"].empty());
  EXPECT_EQ(r["colony"][0], "E54 -50");
  ASSERT_EQ(r["info_blocks"].size(), 11u);
  for (int k = 0; k <= 10; ++k) EXPECT_EQ(r["info_blocks"][k]["icon"], k);
  EXPECT_TRUE(r["info_blocks"][0]["text"].get<std::string>().starts_with("-50 ("));
  EXPECT_EQ(r["info_blocks"][8]["text"], "0/30");
  EXPECT_EQ(r["caption"], "-- QUENMAR (E28) -- ");
  EXPECT_EQ(r["cost"], "E40: 0");
  EXPECT_TRUE(r["building"].empty());
  EXPECT_EQ(r["tubes_checked"], false);
}

TEST(SimReadout, ChooseDescribesTheChosenType) {
  SimFixture sim(Types());
  const auto r = sim.Run("new 10\npanel build\nchoose 1\nreadout\nchoose -1\nreadout\nstate");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 3u);
  EXPECT_EQ(r.out[0]["building"], (nlohmann::json{"E42: 50", "E43: 5"}));
  EXPECT_EQ(r.out[0]["cost"], "E40: 2000");
  EXPECT_EQ(r.out[0]["upkeep"], "E41: 20");
  EXPECT_TRUE(r.out[1]["building"].empty());
  EXPECT_EQ(r.out[1]["cost"], "E40: 0");
  EXPECT_EQ(r.out[2]["constr_choice"], -1);
  EXPECT_EQ(r.out[2]["build_panel"], true);
}

TEST(SimReadout, ChooseRefusesWhatTheListDoesNotHold) {
  SimFixture sim(Types());
  for (const char* bad : {"choose 2", "choose -2", "choose farm", "choose", "panel open", "panel", "readout 1"}) {
    SCOPED_TRACE(bad);
    const auto r = sim.Run(bad);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("error: line 1:"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(sim.session.game.constr_choice, -1);
}

TEST(SimReadout, SelectedBuildingWithSupplyAndUpgradePrice) {
  SimFixture sim(Types());
  const auto r = sim.One(
      "events off\nnew 10\nselect 0\npanel bldg\nset pers_ratio 0.25\nset energy_ratio 1\nreadout");
  EXPECT_EQ(r["selected_name"], "E181");
  // 10 x 0.25 = 2.5 goes to the even neighbour.
  EXPECT_EQ(r["building"], nlohmann::json{"E48: 2"});
  EXPECT_EQ(r["upgrade_caption"], "E39 (1000)");
  EXPECT_EQ(r["cost"], "E40: 1000");
}

TEST(SimReadout, EmptySelectedSlotClosesThePanels) {
  SimFixture sim(Types());
  const auto r = sim.Run("new 10\nselect 7\npanel bldg\nset build_panel 1\nreadout\nstate");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 2u);
  EXPECT_EQ(r.out[0]["selected_name"], "-");
  EXPECT_EQ(r.out[0]["upgrade_caption"], "E38");
  EXPECT_EQ(r.out[1]["bldg_panel"], false);
  EXPECT_EQ(r.out[1]["build_panel"], false);
}

TEST(SimReadout, PanelSetsTheFlags) {
  SimFixture sim(Types());
  const auto r = sim.Run("panel build\nstate\npanel bldg\nstate\npanel none\nstate");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 3u);
  EXPECT_EQ(r.out[0]["build_panel"], true);
  EXPECT_EQ(r.out[0]["bldg_panel"], false);
  EXPECT_EQ(r.out[1]["build_panel"], false);
  EXPECT_EQ(r.out[1]["bldg_panel"], true);
  EXPECT_EQ(r.out[2]["build_panel"], false);
  EXPECT_EQ(r.out[2]["bldg_panel"], false);
}

TEST(SimReadout, CaptionWhileAMessageHoldsTheDayClock) {
  SimFixture sim(Types());
  const auto r = sim.One("sandbox on\nnew 10\nset day_length 3\nset msg_panel 1\nset tubes_off 1\nreadout");
  EXPECT_EQ(r["caption"], "-- QUENMAR (E28) -- E37 - E144");
  EXPECT_EQ(r["tubes_checked"], true);
}

}  // namespace
