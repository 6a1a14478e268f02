#include "hud/readout.h"

#include "core/construction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

using ::hud::Readout;
using ::hud::ReadoutClock;

// A game with every locale entry k reading "Ek" and no colony to speak of.
std::unique_ptr<core::Game> MakeGame() {
  auto g = std::make_unique<core::Game>();
  for (int k = 1; k <= 200; ++k) g->locale_table[k] = "E" + std::to_string(k);
  g->day_length = 3.0;
  return g;
}

bool HasLineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); });
}

// A placed building in `slot` with the building panel open on it.
core::building& SelectPlaced(core::Game& g, int slot) {
  core::building& b = g.placed[slot];
  b.exists = true;
  b.active = true;
  b.name = "Hall";
  b.up = 1;
  b.upl = 1;
  g.selected_bldg = slot;
  g.bldg_panel = true;
  g.pers_ratio = 1.0;
  g.energy_ratio = 1.0;
  return b;
}

// A construction list of `n` loaded types, catalog entry k named "Type k".
void LoadTypes(core::Game& g, int n) {
  g.constr_list.clear();
  for (int k = 0; k < n; ++k) {
    g.catalog[k].exists = true;
    g.catalog[k].name = "Type " + std::to_string(k);
    g.constr_list.push_back(g.catalog[k].name);
  }
}

TEST(ColonyData, ListsTheValuesInOrder) {
  auto g = MakeGame();
  g->money = 5000;
  g->income_day = 120;
  g->expense_day = 80;
  g->income_total = 900;
  g->expense_total = 700;
  g->population = 50;
  g->prev_population = 45;
  g->living_space = 60;
  g->pers_needed = 30;
  g->attraction = 7;
  g->energy_use = 40;
  g->energy_out = 100;
  g->food = 10;
  g->prev_food = 10;
  g->raw = 20;
  g->prev_raw = 15;
  g->products = 30;
  g->prev_products = 31;
  g->storage_cap = 500;
  g->traded = 3;
  g->trade_cap = 1000;
  g->military_power = 12;
  g->wage_bill = 250;
  g->day = 17;
  const Readout r = hud::ShowData(*g);
  const std::vector<std::string> want = {
      "E54 5000",  "E55 120/80",   "E56 900/700", "E57 50 (5)",   "E58 50/60",
      "E59 30",    "E60 7",        "E61 40/100",  "E62 10 (0)",   "E63 20 (5)",
      "E64 30 (-1)", "E65 60/500", "E66 3/1000",  "E67 12",       "E68 250",
      "E70 17/30",
  };
  EXPECT_EQ(r.colony, want);
  EXPECT_EQ(hud::MemoText({"a", "b"}), "a\r\nb\r\n");
}

TEST(ColonyData, InstalmentLineOnlyWhileInDebt) {
  auto g = MakeGame();
  EXPECT_FALSE(HasLineStarting(hud::ShowData(*g).colony, "E69"));
  g->debt = 10000;
  g->installment = 834;
  const Readout r = hud::ShowData(*g);
  ASSERT_EQ(r.colony.size(), 17u);
  // Between the wages and the day of the month.
  EXPECT_EQ(r.colony[15], "E69 834/10000");
  EXPECT_EQ(r.colony[16], "E70 0/30");
}

TEST(ColonyData, NegativeValuesAndFallingStocksShowTheirSign) {
  auto g = MakeGame();
  g->money = -2500;
  g->food = 80;
  g->prev_food = 100;
  const Readout r = hud::ShowData(*g);
  EXPECT_EQ(r.colony[0], "E54 -2500");
  EXPECT_EQ(r.colony[8], "E62 80 (-20)");
}

TEST(ColonyData, ScienceLinesWhilePositiveWithTheShareRoundedToEven) {
  auto g = MakeGame();
  EXPECT_FALSE(HasLineStarting(hud::ShowData(*g).colony, "E165"));
  EXPECT_FALSE(HasLineStarting(hud::ShowData(*g).colony, "E166"));
  g->science_bonus = 25;
  EXPECT_EQ(hud::ShowData(*g).colony.back(), "E165 25/2");
  g->science_bonus = 35;
  EXPECT_EQ(hud::ShowData(*g).colony.back(), "E165 35/4");
  g->science_pts = 7;
  const Readout r = hud::ShowData(*g);
  ASSERT_GE(r.colony.size(), 2u);
  EXPECT_EQ(r.colony[r.colony.size() - 2], "E166 7");
  g->science_bonus = -5;
  EXPECT_EQ(hud::ShowData(*g).colony.back(), "E166 7");
}

TEST(ColonyData, SumsWrapLikeTheColonyValues) {
  auto g = MakeGame();
  g->food = INT32_MAX;
  g->raw = 1;
  g->prev_food = -1;
  const Readout r = hud::ShowData(*g);
  EXPECT_EQ(r.colony[8], "E62 2147483647 (-2147483648)");
  EXPECT_EQ(r.colony[11], "E65 -2147483648/0");
}

TEST(InfoBar, FillsTheElevenBlocksWhileTheHudIsShown) {
  auto g = MakeGame();
  g->money = -40;
  g->income_day = 10;
  g->expense_day = 30;
  g->population = 8;
  g->prev_population = 9;
  g->living_space = 20;
  g->food = 5;
  g->prev_food = 2;
  g->energy_use = 3;
  g->energy_out = 4;
  g->raw = 6;
  g->products = 7;
  g->prev_products = 9;
  g->traded = 11;
  g->trade_cap = 12;
  g->wage_bill = 13;
  g->day = 30;
  g->military_power = 14;
  g->info_blocks[3].x = 77;  // the layout's positions stay
  hud::ShowData(*g);
  const std::vector<std::string> want = {"-40 (-20)", "8/20 (-1)", "5 (3)", "3/4", "6 (6)", "7 (-2)",
                                         "11/12",     "13",        "30/30", "0/0", "14"};
  for (int k = 0; k <= 10; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(g->info_blocks[k].text, want[k]);
    EXPECT_EQ(g->info_blocks[k].icon, k);
    EXPECT_EQ(g->info_blocks[k].visible, k != 9);
  }
  EXPECT_EQ(g->info_blocks[3].x, 77);
  for (int k = 11; k < core::kInfoBlocks; ++k) EXPECT_EQ(g->info_blocks[k], core::infoblock{});
}

TEST(InfoBar, ScienceBlockShownWhenEitherValueIsPositive) {
  auto g = MakeGame();
  g->science_pts = 1;
  hud::ShowData(*g);
  EXPECT_TRUE(g->info_blocks[9].visible);
  EXPECT_EQ(g->info_blocks[9].text, "1/0");
  g->science_pts = 0;
  g->science_bonus = 4;
  hud::ShowData(*g);
  EXPECT_TRUE(g->info_blocks[9].visible);
  EXPECT_EQ(g->info_blocks[9].text, "0/4");
  g->science_bonus = 0;
  hud::ShowData(*g);
  EXPECT_FALSE(g->info_blocks[9].visible);
}

TEST(InfoBar, LeftAloneInSidePanelMode) {
  auto g = MakeGame();
  g->hud_mode = false;
  g->money = 123;
  hud::ShowData(*g);
  for (const auto& b : g->info_blocks) EXPECT_EQ(b, core::infoblock{});
}

TEST(BuildingLines, UpgradeLevelMultipliesOnlyTheNamedProperty) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 4);
  b.engout = 50;
  b.engcons = 6;
  b.up = 3;
  b.upl = 5;
  b.upch = core::kUpEngout;
  Readout r = hud::ShowData(*g);
  EXPECT_EQ(r.building, (std::vector<std::string>{"E42: 150", "E43: 18"}));
  b.upch = core::kUpFood;
  r = hud::ShowData(*g);
  // Energy consumption follows the level whatever the level multiplies.
  EXPECT_EQ(r.building, (std::vector<std::string>{"E42: 50", "E43: 18"}));
}

TEST(BuildingLines, EachCharacteristicMultipliesItsOwnLine) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 0);
  b.engout = 1, b.engcons = 1, b.income = 1, b.pers = 1, b.living = 1, b.comfort = 1;
  b.military = 1, b.food = 1, b.raw = 1, b.prod = 1, b.entertain = 1, b.sssize = 1;
  b.storage = 1, b.science = 1;
  b.up = 2;
  b.upl = 3;
  const std::vector<std::pair<int, std::string>> lines = {
      {7, "E42"}, {9, "E44"}, {1, "E46"}, {3, "E134"}, {0, "E48"}, {8, "E49"},
      {4, "E50"}, {2, "E51"}, {5, "E52"}, {6, "E53"},  {10, "E164"}};
  for (const auto& [upch, entry] : lines) {
    SCOPED_TRACE(upch);
    b.upch = upch;
    const Readout r = hud::ShowData(*g);
    ASSERT_EQ(r.building.size(), 14u);
    for (const auto& line : r.building) {
      const bool doubled = line.starts_with(entry + ":") || line.starts_with("E43:");
      EXPECT_EQ(line.substr(line.find(':')), doubled ? ": 2" : ": 1") << line;
    }
  }
  // The order of the list, pers and comfort never multiplied.
  b.upch = core::kUpMissing;
  const std::vector<std::string> want = {"E42: 1",  "E43: 2",  "E44: 1",  "E45: 1",  "E46: 1",
                                         "E47: 1",  "E134: 1", "E48: 1",  "E49: 1",  "E50: 1",
                                         "E51: 1",  "E52: 1",  "E53: 1",  "E164: 1"};
  EXPECT_EQ(hud::ShowData(*g).building, want);
}

TEST(BuildingLines, SupplyFactorsRoundHalvesToEven) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 2);
  b.food = 10;
  g->pers_ratio = 0.5;
  g->energy_ratio = 1;
  EXPECT_EQ(hud::ShowData(*g).building, std::vector<std::string>{"E48: 5"});
  g->pers_ratio = 0.25;
  EXPECT_EQ(hud::ShowData(*g).building, std::vector<std::string>{"E48: 2"});
  g->pers_ratio = 0.35;
  EXPECT_EQ(hud::ShowData(*g).building, std::vector<std::string>{"E48: 4"});
}

TEST(BuildingLines, MilitaryDependsOnPersonnelOnly) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 2);
  b.military = 10;
  b.income = 10;
  g->pers_ratio = 0.5;
  g->energy_ratio = 0;
  EXPECT_EQ(hud::ShowData(*g).building, (std::vector<std::string>{"E44: 0", "E134: 5"}));
}

TEST(BuildingLines, ZeroAndNegativeValuesAreLeftOut) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 2);
  b.food = -3;
  b.pers = 0;
  b.storage = 40;
  EXPECT_EQ(hud::ShowData(*g).building, std::vector<std::string>{"E53: 40"});
}

TEST(BuildingLines, ChosenTypeIsDescribedWithoutLevelOrSupply) {
  auto g = MakeGame();
  LoadTypes(*g, 3);
  core::building& t = g->catalog[1];
  t.engout = 50;
  t.engcons = 4;
  t.food = 10;
  t.up = 3;
  t.upch = core::kUpEngout;
  t.cst = 2500;
  t.sc = 40;
  g->pers_ratio = 0.5;
  g->energy_ratio = 0.5;
  g->build_panel = true;
  g->constr_choice = 1;
  const Readout r = hud::ShowData(*g);
  EXPECT_EQ(r.building, (std::vector<std::string>{"E42: 50", "E43: 4", "E48: 10"}));
  EXPECT_EQ(r.cost, "E40: 2500");
  EXPECT_EQ(r.upkeep, "E41: 40");
  EXPECT_TRUE(g->build_panel);
}

TEST(BuildingLines, NoLoadedTypeChosenDescribesAnEmptyRecord) {
  auto g = MakeGame();
  LoadTypes(*g, 2);
  g->catalog[0].cst = 700;
  g->catalog[0].food = 3;
  g->catalog[5].cst = 900;  // a leftover beyond the list
  g->build_panel = true;
  for (int choice : {-1, 2, 5, 101, INT32_MIN}) {
    SCOPED_TRACE(choice);
    g->constr_choice = choice;
    const Readout r = hud::ShowData(*g);
    EXPECT_TRUE(r.building.empty());
    EXPECT_EQ(r.cost, "E40: 0");
    EXPECT_EQ(r.upkeep, "E41: 0");
  }
}

TEST(BuildingLines, SelectedBuildingWinsOverTheChosenType) {
  auto g = MakeGame();
  LoadTypes(*g, 1);
  g->catalog[0].food = 99;
  g->catalog[0].cst = 1;
  g->constr_choice = 0;
  g->build_panel = true;
  core::building& b = SelectPlaced(*g, 6);
  b.storage = 8;
  b.cst = 300;
  b.sc = 7;
  const Readout r = hud::ShowData(*g);
  EXPECT_EQ(r.building, std::vector<std::string>{"E53: 8"});
  EXPECT_EQ(r.cost, "E40: 300");
  EXPECT_EQ(r.upkeep, "E41: 7");
}

TEST(BuildingLines, NeitherPanelOpenShowsNothingAndZeroCosts) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 6);
  b.food = 5;
  b.cst = 300;
  g->bldg_panel = false;
  const Readout r = hud::ShowData(*g);
  EXPECT_TRUE(r.building.empty());
  EXPECT_EQ(r.cost, "E40: 0");
  EXPECT_EQ(r.upkeep, "E41: 0");
  // The name and upgrade button follow the selection, open panel or not.
  EXPECT_EQ(r.selected_name, "Hall");
}

TEST(Panels, EmptySelectedSlotClosesBothPanels) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 9);
  b.food = 5;
  b.up = 2;
  b.upl = 4;
  b.cst = 100;
  EXPECT_EQ(hud::ShowData(*g).selected_name, "Hall");
  EXPECT_TRUE(g->bldg_panel);
  // Demolition leaves the record's other fields behind.
  b.exists = false;
  g->build_panel = true;
  const Readout r = hud::ShowData(*g);
  EXPECT_FALSE(g->bldg_panel);
  EXPECT_FALSE(g->build_panel);
  EXPECT_EQ(r.selected_name, "-");
  EXPECT_TRUE(r.building.empty());
  // No upgrade price for a building that is not there.
  EXPECT_EQ(r.upgrade_caption, "E38");
}

TEST(Panels, SelectionOutsideTheTableIsNoBuilding) {
  auto g = MakeGame();
  for (int sel : {-1, core::kPlacedSize, INT32_MAX}) {
    SCOPED_TRACE(sel);
    g->selected_bldg = sel;
    g->bldg_panel = true;
    const Readout r = hud::ShowData(*g);
    EXPECT_FALSE(g->bldg_panel);
    EXPECT_EQ(r.selected_name, "-");
    EXPECT_EQ(r.upgrade_caption, "E38");
  }
}

TEST(Panels, NothingSelectedIsNotTheLastSlot) {
  auto g = MakeGame();
  core::building& last = SelectPlaced(*g, core::kNoSelection);
  last.name = "Last";
  core::ClearSelection(*g);
  Readout r = hud::ShowData(*g);
  EXPECT_EQ(r.selected_name, "-");
  EXPECT_FALSE(g->bldg_panel);
  core::SelectBuilding(*g, core::kNoSelection);
  g->bldg_panel = true;
  r = hud::ShowData(*g);
  EXPECT_EQ(r.selected_name, "Last");
  EXPECT_TRUE(g->bldg_panel);
}

TEST(Panels, ConstructionPanelStaysOpenWithoutSelection) {
  auto g = MakeGame();
  g->build_panel = true;
  hud::ShowData(*g);
  EXPECT_TRUE(g->build_panel);
}

TEST(Labels, UpgradeButtonShowsThePriceBelowTheLimit) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 3);
  b.cst = 1000;
  b.up = 3;
  b.upl = 5;
  EXPECT_EQ(hud::ShowData(*g).upgrade_caption, "E39 (3000)");
  b.upl = 3;
  EXPECT_EQ(hud::ShowData(*g).upgrade_caption, "E38");
  b.upl = 1;
  EXPECT_EQ(hud::ShowData(*g).upgrade_caption, "E38");
}

TEST(Labels, PricesAndInterest) {
  auto g = MakeGame();
  g->food_price = 12;
  g->raw_price = -3;
  g->product_price = 40;
  g->interest = 7;
  const Readout r = hud::ShowData(*g);
  EXPECT_EQ(r.food_price, "E113: 12");
  EXPECT_EQ(r.raw_price, "E113: -3");
  EXPECT_EQ(r.product_price, "E113: 40");
  EXPECT_EQ(r.interest, "E112: 7");
}

TEST(Labels, EmptyLocaleEntriesGiveBareValues) {
  core::Game g;
  g.money = 3;
  const Readout r = hud::ShowData(g);
  EXPECT_EQ(r.colony[0], " 3");
  EXPECT_EQ(r.cost, ": 0");
}

TEST(Caption, SpeedWordPauseWordAndSandbox) {
  auto g = MakeGame();
  g->sandbox = true;
  g->day_length = 3.0;
  EXPECT_EQ(hud::ShowData(*g, ReadoutClock{.day_clock_running = false}).caption, "-- QUENMAR (E28) -- E37 - E144");
  g->sandbox = false;
  EXPECT_EQ(hud::ShowData(*g).caption, "-- QUENMAR (E28) -- ");
  const std::vector<std::pair<double, std::string>> speeds = {
      {12.0, "E27"}, {10.0, "E27"}, {9.99, "E28"}, {1.0, "E28"}, {0.5, "E29"},
      {0.1, "E29"},  {0.09, ""},    {0.0, ""},     {-1.0, ""}};
  for (const auto& [len, word] : speeds) {
    SCOPED_TRACE(len);
    g->day_length = len;
    EXPECT_EQ(hud::ShowData(*g).caption, "-- QUENMAR (" + word + ") -- ");
  }
}

TEST(Caption, TubesCheckMarkFollowsTheOption) {
  auto g = MakeGame();
  EXPECT_FALSE(hud::ShowData(*g).tubes_checked);
  g->tubes_off = true;
  EXPECT_TRUE(hud::ShowData(*g).tubes_checked);
}

TEST(Refresh, ReusedReadoutEqualsAFreshOne) {
  auto g = MakeGame();
  core::building& b = SelectPlaced(*g, 1);
  b.food = 4;
  b.storage = 9;
  g->debt = 100;
  g->science_pts = 3;
  Readout reused;
  hud::ShowData(*g, {}, reused);
  EXPECT_EQ(reused, hud::ShowData(*g));
  // Fewer lines next time: the old ones go.
  g->debt = 0;
  g->science_pts = 0;
  b.storage = 0;
  hud::ShowData(*g, {}, reused);
  EXPECT_EQ(reused, hud::ShowData(*g));
  EXPECT_EQ(reused.building.size(), 1u);
}

}  // namespace
