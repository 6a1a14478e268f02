// Many seeded games of random commands; after every step the colony must still make sense.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/construction.h"
#include "core/events.h"
#include "core/newgame.h"
#include "core/trade.h"
#include "rules_fixture.h"
#include "support/test_data.h"

namespace {

std::map<int, core::building> SoakTypes() {
  using testing_support::PlainType;
  core::building base = PlainType(0);
  base.living = 400;
  base.storage = 3000;
  base.food = 150;
  base.engout = 60;
  base.upl = 1;
  core::building farm = PlainType(1);
  farm.cst = 300;
  farm.food = 60;
  farm.pers = 10;
  farm.engcons = 5;
  farm.sc = 3;
  core::building plant = PlainType(2);
  plant.cst = 800;
  plant.engout = 80;
  plant.upch = 7;
  plant.pers = 5;
  core::building port = PlainType(3);
  port.cst = 2500;
  port.unique = true;
  port.spaceport = true;
  port.sssize = 2;
  port.upch = 5;
  core::building barracks = PlainType(4);
  barracks.cst = 1200;
  barracks.military = 15;
  barracks.upch = 3;
  barracks.engcons = 10;
  core::building homes = PlainType(5);
  homes.cst = 600;
  homes.living = 150;
  homes.comfort = 4;
  homes.upch = 1;
  homes.upl = 1;
  return {{0, base}, {1, farm}, {2, plant}, {3, port}, {4, barracks}, {5, homes}};
}

class RulesSoak : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteMinimalData(dir, SoakTypes());
    g.exe_dir = dir.path();
    for (int k = 1; k <= 200; ++k) g.locale_table[k] = "E" + std::to_string(k);
    g.host = &host;
    g.traffic = &traffic;
  }

  void CheckTable(const std::string& where) {
    int uniques = 0;
    for (int i = 0; i < core::kPlacedSize; ++i) {
      const core::building& b = g.placed[i];
      if (!b.exists) continue;
      ASSERT_GE(b.construction, 0) << where;
      ASSERT_GE(b.up, 1) << where;
      ASSERT_LE(b.up, b.upl < 1 ? 1 : b.upl) << where;
      ASSERT_TRUE(core::IsBuilt(g, b.id)) << where;
      if (b.unique) ++uniques;
    }
    ASSERT_LE(uniques, 1) << where;
    for (int x = -3; x <= 33; ++x)
      for (int y = -3; y <= 33; ++y)
        ASSERT_EQ(core::BuildingAt(g, x, y), core::BuildingAtScan(g, x, y)) << where << " " << x << "," << y;
  }

  testing_support::TempDir dir;
  core::Game g;
  rules_test::RecordingHost host;
  rules_test::RecordingTraffic traffic;
};

}  // namespace

TEST_F(RulesSoak, RandomGamesKeepTheColonySound) {
  int32_t most_buildings = 0, finished = 0;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    core::Rng dice(seed * 7919u);
    g.rng.Seed(seed);
    const int32_t levels[] = {10, 5, 1};
    core::StartNewGame(g, levels[dice.Random(3)]);
    for (int step = 0; step < 600 && !g.game_over; ++step) {
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      const int32_t money = g.money, income = g.income_day, expense = g.expense_day;
      bool accounted = true;  // the command's money moves through income and expense
      switch (dice.Random(12)) {
        case 0:
          if (dice.Random(3) == 0) {
            g.sel_cell_x = dice.Random(31);
            g.sel_cell_y = dice.Random(31);
          }
          core::ConstructBuilding(g, dice.Random(9) - 1);
          break;
        case 1: core::UpgradeBuilding(g, dice.Random(40) - 2); break;
        case 2: core::ToggleActive(g, dice.Random(40) - 2); break;
        case 3:
          host.answer = dice.Random(2) == 0;
          core::DestroyBuilding(g, dice.Random(40) - 2);
          break;
        case 4:
          if (dice.Random(10) == 0) core::ClearSelection(g);
          else core::SelectBuilding(g, dice.Random(1003) - 1);
          break;
        case 5: core::UpgradeSelected(g); break;
        case 6: core::DestroySelected(g); break;
        case 7:
          core::Trade(g, dice.Random(3), dice.Random(5), dice.Random(400) - 50);
          break;
        case 8: core::TakeCredit(g, dice.Random(300000) - 1000); break;
        case 9:
          core::MakeEvent(g, dice.Random(12));
          accounted = false;
          break;
        default: {
          core::GLCadencer1Progress(g, g.day_length + 0.001);
          accounted = false;
          ASSERT_GE(g.food, 0) << where;
          ASSERT_GE(g.raw, 0) << where;
          ASSERT_GE(g.products, 0) << where;
          ASSERT_GE(g.population, 0) << where;
          core::CheckGameover(g);
          break;
        }
      }
      if (accounted) {
        ASSERT_EQ(g.money - money, (g.income_day - income) - (g.expense_day - expense)) << where;
      }
      core::ProcessWarnings(g);
      ASSERT_GE(g.selected_bldg, 0) << where;
      ASSERT_LE(g.selected_bldg, 1000) << where;
      const int32_t sel = core::SelectedSlot(g);
      ASSERT_TRUE(sel == -1 || g.placed[sel].exists) << where;
      if (step % 100 == 0) {
        ASSERT_NO_FATAL_FAILURE(CheckTable(where));
      }
      most_buildings = std::max(most_buildings, g.bldg_count);
    }
    ASSERT_NO_FATAL_FAILURE(CheckTable("end of seed " + std::to_string(seed)));
    if (g.game_over) ++finished;
  }
  // The dice did play: colonies grew and some games ended.
  EXPECT_GT(most_buildings, 10);
  EXPECT_GT(finished, 0);
}
