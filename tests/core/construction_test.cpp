#include "core/construction.h"

#include <gtest/gtest.h>

#include "core/catalog.h"
#include "core/economy.h"
#include "core/events.h"
#include "rules_fixture.h"
#include "support/test_data.h"

using core::BuildingAt;
using core::ConstructBuilding;
using rules_test::Colony;

namespace {

class Construction : public Colony {};
class Upgrade : public Colony {};
class Demolition : public Colony {};
class Selection : public Colony {};
class CellLookup : public Colony {};
class BuildingList : public Colony {};

}  // namespace

// --- construction ---------------------------------------------------------------------------

TEST_F(Construction, ChargesCopiesTheTypeAndStartsTheWork) {
  g.expense_day = 5;
  g.catalog[1].construction = 0;
  g.catalog[1].up = 4;  // a catalog entry's own level is not used
  ConstructBuilding(g, 1);
  const core::building& b = g.placed[1];
  EXPECT_TRUE(b.exists);
  EXPECT_EQ(b.id, 7);
  EXPECT_EQ(b.name, "B7");
  EXPECT_EQ(b.up, 1);
  EXPECT_EQ(b.construction, 250);
  EXPECT_EQ(g.money, 100000 - 250);
  EXPECT_EQ(g.expense_day, 5 + 250);
  EXPECT_TRUE(g.build_panel);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(host.list_rebuilds, 1);
}

TEST_F(Construction, WithoutAChosenCellRingsAroundTheCentre) {
  ConstructBuilding(g, 1);
  EXPECT_EQ(g.placed[1].x, 14);
  EXPECT_EQ(g.placed[1].y, 14);
  ConstructBuilding(g, 1);
  EXPECT_EQ(g.placed[2].x, 14);
  EXPECT_EQ(g.placed[2].y, 15);
  // The rest of ring 1, then ring 2 from its corner: the centre is taken by slot 0.
  for (int i = 0; i < 6; ++i) ConstructBuilding(g, 1);
  EXPECT_EQ(g.placed[8].x, 16);
  EXPECT_EQ(g.placed[8].y, 16);
  ConstructBuilding(g, 1);
  EXPECT_EQ(g.placed[9].x, 13);
  EXPECT_EQ(g.placed[9].y, 13);
}

TEST_F(Construction, TheNewBuildingsOwnFileCellCountsAsTakenDuringTheSearch) {
  g.catalog[1].x = 14;
  g.catalog[1].y = 14;
  ConstructBuilding(g, 1);
  EXPECT_EQ(g.placed[1].x, 14);
  EXPECT_EQ(g.placed[1].y, 15);
}

TEST_F(Construction, AChosenCellIsUsedEvenWhenTakenAndThenCleared) {
  g.sel_cell_x = 15;
  g.sel_cell_y = 15;
  ConstructBuilding(g, 1);
  EXPECT_EQ(g.placed[1].x, 15);
  EXPECT_EQ(g.placed[1].y, 15);
  EXPECT_EQ(BuildingAt(g, 15, 15), 1);
  EXPECT_EQ(g.sel_cell_x, -1);
  EXPECT_EQ(g.sel_cell_y, -1);
}

TEST_F(Construction, OneChosenCoordinateIsEnoughToSkipTheSearch) {
  g.sel_cell_x = 3;
  g.sel_cell_y = -1;
  ConstructBuilding(g, 1);
  EXPECT_EQ(g.placed[1].x, 3);
  EXPECT_EQ(g.placed[1].y, -1);
}

TEST_F(Construction, SendsTheCameraToTheCell) {
  g.sel_cell_x = 4;
  g.sel_cell_y = 7;
  ConstructBuilding(g, 1);
  EXPECT_EQ(g.cam_target_x, 80);
  EXPECT_EQ(g.cam_target_y, 140);
  g.isometric = true;
  g.sel_cell_x = 4;
  g.sel_cell_y = 7;
  ConstructBuilding(g, 1);
  EXPECT_EQ(g.cam_target_x, 80);
  EXPECT_EQ(g.cam_target_y, 110);
}

TEST_F(Construction, EnergyOutputExactlyEqualToTheNeedIsEnough) {
  g.energy_out = 50;
  g.money = 2000;
  ConstructBuilding(g, 2);
  EXPECT_TRUE(g.placed[1].exists);
  EXPECT_EQ(g.money, 0);
}

TEST_F(Construction, ShortagesAreReportedEnergyFirstAndNothingIsBuilt) {
  g.energy_out = 49;
  g.money = 1999;
  g.sel_cell_x = 2;
  const core::Game before = g;
  ConstructBuilding(g, 2);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E80", "E81"}));
  for (const auto& m : host.shown) EXPECT_EQ(m.first, core::kMsgOther);
  EXPECT_FALSE(g.placed[1].exists);
  EXPECT_EQ(g.money, before.money);
  EXPECT_EQ(g.expense_day, before.expense_day);
  EXPECT_EQ(g.sel_cell_x, 2);  // the choice stays for the next try
  EXPECT_FALSE(g.build_panel);
  EXPECT_EQ(host.list_rebuilds, 1);

  host.shown.clear();
  g.energy_out = 50;
  ConstructBuilding(g, 2);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E81"}));
  host.shown.clear();
  g.money = 2000;
  g.energy_out = 0;
  ConstructBuilding(g, 2);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E80"}));
}

TEST_F(Construction, TheEnergyTestIsAgainstTotalOutputNotWhatIsLeft) {
  g.energy_out = 50;
  g.energy_use = 50;
  ConstructBuilding(g, 2);
  EXPECT_TRUE(g.placed[1].exists);
}

TEST_F(Construction, AUniqueTypeIsBuiltOnlyOnce) {
  ConstructBuilding(g, 2);
  ASSERT_TRUE(g.placed[1].exists);
  const int rebuilds = host.list_rebuilds;
  const int32_t money = g.money;
  ConstructBuilding(g, 2);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E78"}));
  EXPECT_FALSE(g.placed[2].exists);
  EXPECT_EQ(g.money, money);
  EXPECT_EQ(host.list_rebuilds, rebuilds);  // the list is left alone
  // Once it is gone it may be built again.
  g.placed[1].exists = false;
  g.PlacedChanged();
  ConstructBuilding(g, 2);
  EXPECT_TRUE(g.placed[1].exists);
}

TEST_F(Construction, AFullTableIsReportedAfterTheAffordabilityMessages) {
  FillTable();
  ConstructBuilding(g, 1);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E79"}));
  EXPECT_EQ(g.money, 100000);
  host.shown.clear();
  g.money = 0;
  g.energy_out = 0;
  ConstructBuilding(g, 2);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E80", "E81", "E79"}));
}

TEST_F(Construction, AnIndexThatIsNoLoadedTypeBuildsNothing) {
  for (int bid : {-1, 3, 100, 101, -2147483647 - 1, 2147483647}) {
    ConstructBuilding(g, bid);
    EXPECT_FALSE(g.placed[1].exists) << bid;
  }
  EXPECT_EQ(g.money, 100000);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(Construction, TheLowestFreeSlotIsReusedAndOverwrittenWhole) {
  ConstructBuilding(g, 1);
  ConstructBuilding(g, 1);
  g.placed[1].active = false;
  g.placed[1].up = 4;
  g.placed[1].exists = false;
  g.PlacedChanged();
  EXPECT_EQ(core::FindFreeSlot(g), 1);
  ConstructBuilding(g, 2);
  EXPECT_EQ(g.placed[1].id, 9);
  EXPECT_TRUE(g.placed[1].active);
  EXPECT_EQ(g.placed[1].up, 1);
}

TEST_F(Construction, FindFreeSlotAndIsBuilt) {
  EXPECT_EQ(core::FindFreeSlot(g), 1);
  EXPECT_TRUE(core::IsBuilt(g, 0));
  EXPECT_FALSE(core::IsBuilt(g, 7));
  FillTable();
  EXPECT_EQ(core::FindFreeSlot(g), -1);
  g.placed[1000].exists = false;
  EXPECT_EQ(core::FindFreeSlot(g), 1000);
}

TEST_F(Construction, ACostOf250WorksFromTheFourthTick) {
  g.catalog[1].food = 30;
  g.catalog[1].upch = 0;
  g.placed[0].storage = 100000;
  g.placed[0].living = 100000;
  ConstructBuilding(g, 1);
  g.population = 0;
  g.food = 0;
  for (int expected : {150, 50, 0}) {
    core::ProcessDay(g);
    EXPECT_EQ(g.placed[1].construction, expected);
    EXPECT_EQ(g.food, 0);
  }
  core::ProcessDay(g);
  EXPECT_EQ(g.food, 30);
}

// --- upgrades and switching -----------------------------------------------------------------

TEST_F(Upgrade, CostsCostTimesLevelAndTakesEffectAtOnce) {
  core::building& b = Place(1, 0, 3, 3);
  b.up = 3;
  b.construction = 600;  // allowed while building
  b.active = false;      // and while switched off
  g.expense_day = 0;
  core::UpgradeBuilding(g, 1);
  EXPECT_EQ(b.up, 4);
  EXPECT_EQ(g.money, 100000 - 3000);
  EXPECT_EQ(g.expense_day, 3000);
  EXPECT_EQ(host.list_rebuilds, 1);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(Upgrade, RefusedAtTheLimitWithoutMoneyOrWithoutABuilding) {
  core::building& b = Place(1, 0, 3, 3);
  b.up = 5;
  core::UpgradeBuilding(g, 1);
  b.up = 2;
  g.money = 1999;
  core::UpgradeBuilding(g, 1);
  g.money = 100000;
  core::UpgradeBuilding(g, 2);
  core::UpgradeBuilding(g, -1);
  core::UpgradeBuilding(g, 1001);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>(5, "E38.")));
  EXPECT_EQ(b.up, 2);
  EXPECT_EQ(g.money, 100000);
  EXPECT_EQ(host.list_rebuilds, 0);
  g.money = 2000;
  core::UpgradeBuilding(g, 1);
  EXPECT_EQ(b.up, 3);
  EXPECT_EQ(g.money, 0);
}

TEST_F(Upgrade, ALimitOfOneNeverUpgrades) {
  g.placed[0].upl = 1;
  core::UpgradeBuilding(g, 0);
  EXPECT_EQ(g.placed[0].up, 1);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E38."}));
}

TEST_F(Upgrade, ToggleSwitchesOnlyExistingBuildings) {
  core::ToggleActive(g, 0);
  EXPECT_FALSE(g.placed[0].active);
  EXPECT_EQ(host.list_rebuilds, 1);
  core::ToggleActive(g, 0);
  EXPECT_TRUE(g.placed[0].active);
  for (int slot : {1, -1, 1001}) core::ToggleActive(g, slot);
  EXPECT_FALSE(g.placed[1].active);
  EXPECT_EQ(host.list_rebuilds, 2);
  EXPECT_TRUE(host.shown.empty());
}

// --- demolition -----------------------------------------------------------------------------

TEST_F(Demolition, AsksAndChargesTenThousand) {
  Place(1, 1, 2, 2);
  g.money = 10000;
  g.expense_day = 0;
  core::DestroyBuilding(g, 1);
  EXPECT_EQ(host.questions, (std::vector<std::string>{"E77"}));
  EXPECT_FALSE(g.placed[1].exists);
  EXPECT_EQ(g.placed[1].id, 7);  // the rest of the record stays until the slot is reused
  EXPECT_EQ(g.money, 0);
  EXPECT_EQ(g.expense_day, 10000);
  EXPECT_EQ(BuildingAt(g, 2, 2), -1);
}

TEST_F(Demolition, NoAnswerOrTooLittleMoneyChangesNothing) {
  Place(1, 1, 2, 2);
  host.answer = false;
  core::DestroyBuilding(g, 1);
  EXPECT_EQ(host.questions.size(), 1u);
  EXPECT_TRUE(g.placed[1].exists);
  EXPECT_EQ(g.money, 100000);
  host.answer = true;
  g.money = 9999;
  core::DestroyBuilding(g, 1);
  EXPECT_EQ(host.questions.size(), 1u);  // not even asked
  EXPECT_TRUE(g.placed[1].exists);
  EXPECT_EQ(g.money, 9999);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(Demolition, AnEmptySlotIsNotOfferedAndCostsNothing) {
  Place(1, 1, 2, 2);
  core::DestroyBuilding(g, 1);
  core::DestroyBuilding(g, 1);  // the same slot again, still selected
  for (int slot : {5, -1, 1001}) core::DestroyBuilding(g, slot);
  EXPECT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(g.money, 90000);
}

// --- selection ------------------------------------------------------------------------------

TEST_F(Selection, NothingSelectedNeverActsOnTheLastSlotOfAFullTable) {
  FillTable();
  core::ClearSelection(g);
  EXPECT_EQ(g.selected_bldg, 1000);
  EXPECT_EQ(core::SelectedSlot(g), -1);
  core::UpgradeSelected(g);
  core::ToggleSelected(g);
  core::DestroySelected(g);
  EXPECT_EQ(g.placed[1000].up, 1);
  EXPECT_TRUE(g.placed[1000].active);
  EXPECT_TRUE(g.placed[1000].exists);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E38."}));
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(g.money, 100000);
}

TEST_F(Selection, TheLastSlotItselfCanBeSelectedAndWorkedOn) {
  FillTable();
  core::SelectBuilding(g, 1000);
  EXPECT_EQ(core::SelectedSlot(g), 1000);
  core::UpgradeSelected(g);
  EXPECT_EQ(g.placed[1000].up, 2);
  core::ToggleSelected(g);
  EXPECT_FALSE(g.placed[1000].active);
  core::DestroySelected(g);
  EXPECT_FALSE(g.placed[1000].exists);
  // Selecting another slot, or nothing, drops the last-slot choice.
  core::SelectBuilding(g, 1000);
  core::SelectBuilding(g, 4);
  core::ClearSelection(g);
  g.placed[1000].exists = true;
  EXPECT_EQ(core::SelectedSlot(g), -1);
  core::SelectBuilding(g, 1000);
  core::SelectBuilding(g, 2000);
  EXPECT_EQ(g.selected_bldg, 1000);
  EXPECT_EQ(core::SelectedSlot(g), -1);
}

TEST_F(Selection, ASelectedSlotWithoutABuildingIsNoSelection) {
  core::SelectBuilding(g, 7);
  EXPECT_EQ(g.selected_bldg, 7);
  EXPECT_EQ(core::SelectedSlot(g), -1);
  Place(7, 1, 1, 1);
  EXPECT_EQ(core::SelectedSlot(g), 7);
  core::DestroySelected(g);
  EXPECT_EQ(g.money, 90000);
  core::DestroySelected(g);  // the selection still points at the now free slot
  EXPECT_EQ(g.money, 90000);
  EXPECT_EQ(host.questions.size(), 1u);
}

// --- the cell lookup ------------------------------------------------------------------------

TEST_F(CellLookup, TheHighestSlotOnACellWins) {
  Place(3, 1, 5, 6);
  Place(9, 1, 5, 6);
  Place(4, 1, 5, 6);
  EXPECT_EQ(BuildingAt(g, 5, 6), 9);
  EXPECT_EQ(core::BuildingAtScan(g, 5, 6), 9);
  EXPECT_EQ(BuildingAt(g, 6, 5), -1);
  EXPECT_EQ(BuildingAt(g, -1, -1), -1);
  EXPECT_EQ(BuildingAt(g, 2147483647, -2147483647 - 1), -1);
}

TEST_F(CellLookup, FollowsEveryRuleThatChangesTheTable) {
  auto agree = [&](const char* after) {
    for (int x = -2; x <= 42; ++x)
      for (int y = -2; y <= 27; ++y)
        ASSERT_EQ(BuildingAt(g, x, y), core::BuildingAtScan(g, x, y)) << after << " at " << x << "," << y;
  };
  agree("start");
  for (int i = 0; i < 30; ++i) ConstructBuilding(g, 1);
  agree("construction");
  g.sel_cell_x = 15;
  g.sel_cell_y = 15;
  ConstructBuilding(g, 1);
  agree("construction on a taken cell");
  core::DestroyBuilding(g, 31);
  core::DestroyBuilding(g, 4);
  agree("demolition");
  g.level = 1;
  for (int i = 0; i < 5; ++i) core::MakeEvent(g, 8);
  agree("earthquakes");
  FillTable();
  agree("full table");
}

TEST_F(CellLookup, FollowsANewCatalog) {
  testing_support::TempDir dir;
  core::building first = testing_support::PlainType(0);
  first.x = 30;
  first.y = 2;
  testing_support::WriteMinimalData(dir, {{0, first}});
  g.exe_dir = dir.path();
  FillTable();
  EXPECT_EQ(BuildingAt(g, 0, 0), 0);
  core::InitCatalog(g);
  EXPECT_EQ(BuildingAt(g, 0, 0), -1);
  EXPECT_EQ(BuildingAt(g, 30, 2), 0);
}

// --- the building list ----------------------------------------------------------------------

TEST_F(BuildingList, OneLinePerSlotShowingStateAndLevel) {
  core::building& off = Place(1, 0, 1, 1);
  off.active = false;
  off.up = 2;
  off.upl = 5;
  core::building& single = Place(2, 0, 1, 2);
  single.upl = 1;
  core::building& building_site = Place(3, 0, 1, 3);
  building_site.construction = 400;
  building_site.upl = 0;
  const auto lines = core::BldgListLines(g);
  ASSERT_EQ(lines.size(), 1001u);
  EXPECT_EQ(lines[0], "(1/5) B0");
  EXPECT_EQ(lines[1], "X(2/5) B0");
  EXPECT_EQ(lines[2], "(*) B0");
  EXPECT_EQ(lines[3], "(*) B0");
  EXPECT_EQ(lines[4], "E71");
  EXPECT_EQ(lines[1000], "E71");
  EXPECT_EQ(core::BldgListLine(g, 1001), "E71");
}
