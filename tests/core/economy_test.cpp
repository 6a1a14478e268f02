#include "core/economy.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// A colony with nothing placed, a month in progress and no events, so the tick is
// deterministic but for prices.
core::Game Colony() {
  core::Game g;
  g.level = 10;
  g.day = 5;
  g.events_enabled = false;
  g.population = 100;
  g.food = 100;
  g.money = 10000;
  g.wage = 80;
  return g;
}

core::building& Place(core::Game& g, int slot) {
  auto& b = g.placed[slot];
  b = core::building{};
  b.exists = b.active = true;
  b.up = 1;
  b.upch = 100;
  return b;
}

// Living space, storage and food enough that only the rule under test bites.
void Comfortable(core::Game& g) {
  auto& home = Place(g, 0);
  home.living = 100000;
  home.storage = 100000;
}

}  // namespace

TEST(Economy, NoPersonnelNeededMeansNoShortage) {
  auto g = Colony();
  Comfortable(g);
  Place(g, 1).food = 50;
  core::ProcessDay(g);
  EXPECT_EQ(g.pers_ratio, 1.0);
  EXPECT_EQ(g.food, 100 + 50 - 100);
}

TEST(Economy, ZeroOverZeroCountsAsNoShortage) {
  auto g = Colony();
  g.population = 0;
  Comfortable(g);
  Place(g, 1).food = 40;
  core::ProcessDay(g);
  EXPECT_EQ(g.energy_ratio, 1.0);
  EXPECT_EQ(g.pers_ratio, 1.0);
  EXPECT_EQ(g.food, 140);
}

TEST(Economy, EnergyUseZeroWithOutputIsNoShortage) {
  auto g = Colony();
  Comfortable(g);
  Place(g, 1).engout = 10;
  Place(g, 2).food = 30;
  core::ProcessDay(g);
  EXPECT_EQ(g.energy_ratio, 1.0);
  EXPECT_EQ(g.energy_out, 10);
  EXPECT_EQ(g.food, 30);
}

TEST(Economy, PersonnelAndEnergyShortagesBothScale) {
  auto g = Colony();
  g.population = 10;
  Comfortable(g);
  auto& farm = Place(g, 1);
  farm.food = 100;
  farm.pers = 20;
  farm.engcons = 2;
  Place(g, 2).engout = 1;
  core::ProcessDay(g);
  EXPECT_DOUBLE_EQ(g.pers_ratio, 0.5);
  EXPECT_DOUBLE_EQ(g.energy_ratio, 0.5);
  EXPECT_EQ(g.food, 100 + 25 - 10);
}

TEST(Economy, MilitaryIsScaledByPersonnelButNotByEnergy) {
  auto g = Colony();
  g.population = 10;
  Comfortable(g);
  auto& fort = Place(g, 1);
  fort.military = 10;
  fort.pers = 20;
  fort.engcons = 4;
  Place(g, 2).engout = 1;
  core::ProcessDay(g);
  EXPECT_EQ(g.military_power, 5);
}

TEST(Economy, UpgradeLevelMultipliesOnlyTheSelectedValueAndEnergyUse) {
  auto g = Colony();
  Comfortable(g);
  auto& b = Place(g, 1);
  b.up = 3;
  b.upch = core::kUpFood;
  b.food = 10;
  b.raw = 4;
  b.engcons = 2;
  b.engout = 100;
  b.comfort = 5;
  b.entertain = 1;
  core::ProcessDay(g);
  EXPECT_EQ(g.food, 100 + 30 - 100);
  EXPECT_EQ(g.raw, 4);
  EXPECT_EQ(g.energy_use, 6);
  EXPECT_EQ(g.attraction, 6);
}

TEST(Economy, CrowdingTakesATenthThenGrowthAdds) {
  auto g = Colony();
  g.population = 1000;
  g.food = 5000;
  Comfortable(g);
  Place(g, 1).comfort = 7;
  core::ProcessDay(g);
  EXPECT_EQ(g.population, 907);
}

TEST(Economy, FoodExactlyGoneMeansNoGrowthAndFamine) {
  auto g = Colony();
  g.population = 25;
  g.food = 25;
  Comfortable(g);
  Place(g, 1).comfort = 10;
  core::ProcessDay(g);
  EXPECT_EQ(g.food, 0);
  EXPECT_EQ(g.population, 22);  // Round(22.5) is 22, the even neighbour
}

// The storage limit takes the excess from food, then raw materials, then products, each
// giving at most what it holds; what one cannot give is taken from the next.
TEST(Economy, StorageLimitTakesTheExcessFromEachGoodInTurn) {
  struct Case {
    const char* what;
    int32_t population, food, raw, products, storage, raw_made, prod_made;
    int32_t food_after, raw_after, products_after;
  };
  const Case cases[] = {
      {"exactly full after eating", 10, 60, 50, 0, 100, 0, 0, 50, 50, 0},
      {"food fits, new raw overflows", 0, 80, 0, 0, 100, 50, 10, 80, 10, 10},
      {"food covers the whole excess", 0, 300, 100, 100, 400, 0, 0, 200, 100, 100},
      {"food gives all it has, raw the rest", 10, 50, 500, 400, 600, 0, 0, 0, 200, 400},
      {"food and raw empty, products give the rest", 0, 0, 100, 700, 600, 0, 0, 0, 0, 600},
      {"food eaten below zero takes up no room", 100, 50, 500, 400, 850, 0, 0, 0, 450, 400},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto g = Colony();
    g.population = c.population;
    g.food = c.food;
    g.raw = c.raw;
    g.products = c.products;
    auto& b = Place(g, 0);
    b.storage = c.storage;
    b.living = 1000;
    b.raw = c.raw_made;
    b.prod = c.prod_made;
    core::ProcessDay(g);
    EXPECT_EQ(g.food, c.food_after);
    EXPECT_EQ(g.raw, c.raw_after);
    EXPECT_EQ(g.products, c.products_after);
  }
}

// An overfull store (a depot lost to an earthquake) is brought within the capacity on the
// first day and stays within it; food is still the first good to go.
TEST(Economy, OverfullStoreIsBroughtWithinTheCapacityAtOnce) {
  auto g = Colony();
  auto& home = Place(g, 0);
  home.storage = 600;
  home.living = 100;
  home.food = 100;
  g.raw = 500;
  g.products = 400;
  for (int day = 0; day < 5; ++day) {
    core::ProcessDay(g);
    EXPECT_GE(g.food, 0);
    EXPECT_LE(g.food + g.raw + g.products, 600);
  }
  EXPECT_EQ(g.raw, 200);
  EXPECT_EQ(g.products, 400);
}

TEST(Economy, IndustryUsesWhatRawThereIs) {
  auto g = Colony();
  Comfortable(g);
  g.raw = 3;
  Place(g, 1).prod = 10;
  core::ProcessDay(g);
  EXPECT_EQ(g.products, 3);
  EXPECT_EQ(g.raw, 0);
}

TEST(Economy, ConstructionOf150WorksFromTheThirdTickOn) {
  auto g = Colony();
  Comfortable(g);
  auto& farm = Place(g, 1);
  farm.food = 10;
  farm.construction = 150;
  g.population = 0;
  core::ProcessDay(g);
  EXPECT_EQ(g.placed[1].construction, 50);
  EXPECT_EQ(g.food, 100);
  core::ProcessDay(g);
  EXPECT_EQ(g.placed[1].construction, 0);
  EXPECT_EQ(g.food, 100);
  core::ProcessDay(g);
  EXPECT_EQ(g.food, 110);
}

TEST(Economy, SupportIsPaidForEveryBuildingWorkingOrNot) {
  auto g = Colony();
  Comfortable(g);
  Place(g, 1).sc = 10;
  auto& off = Place(g, 2);
  off.sc = 20;
  off.active = false;
  auto& building_site = Place(g, 3);
  building_site.sc = 40;
  building_site.construction = 500;
  g.wage = 0;
  core::ProcessDay(g);
  EXPECT_EQ(g.money, 10000 - 70);
  EXPECT_EQ(g.expense_day, 70);
  EXPECT_EQ(g.bldg_count, 4);
  core::ProcessDay(g);
  EXPECT_EQ(g.expense_total, 70);
}

TEST(Economy, UnpaidWagesOnDay30CostPeopleButTheOldBillIsPaid) {
  // The bill is 8000: money that just covers it keeps everyone.
  const struct {
    int32_t money, population_after;
  } rows[] = {{1000, 90}, {7999, 90}, {8000, 100}, {8001, 100}};
  for (const auto& row : rows) {
    auto g = Colony();
    Comfortable(g);
    g.day = 30;
    g.money = row.money;
    g.population = 100;
    g.food = 1000;
    g.wage = 80;
    g.traded = 40;
    core::ProcessDay(g);
    EXPECT_EQ(g.wage_bill, 8000);
    EXPECT_EQ(g.population, row.population_after) << "money " << row.money;
    EXPECT_EQ(g.money, row.money - 8000);
    EXPECT_EQ(g.traded, 0);
  }
}

TEST(Economy, PricesAreLiftedOnlyBelowTheirFloorAndCutOnlyAboveTheCeiling) {
  // Each starts one day's largest fall above its limit: it may reach the limit but is
  // never pushed off it, so over many days it stays within one day's drift.
  const struct {
    const char* name;
    int32_t core::Game::*field;
    int32_t start, lo, hi;
  } rows[] = {
      {"food_price", &core::Game::food_price, 6, 5, 7},
      {"raw_price", &core::Game::raw_price, 29, 25, 32},
      {"product_price", &core::Game::product_price, 63, 50, 79},
      {"interest low", &core::Game::interest, 2, 1, 3},
      {"interest high", &core::Game::interest, 49, 48, 50},
  };
  for (const auto& row : rows) {
    for (uint32_t seed = 1; seed <= 300; ++seed) {
      auto g = Colony();
      Comfortable(g);
      g.rng.Seed(seed);
      g.*row.field = row.start;
      core::ProcessDay(g);
      ASSERT_GE(g.*row.field, row.lo) << row.name << " seed " << seed;
      ASSERT_LE(g.*row.field, row.hi) << row.name << " seed " << seed;
    }
  }
}

TEST(Economy, WagesIncludeNineForEachPointOfMilitary) {
  auto g = Colony();
  Comfortable(g);
  g.population = 10;
  Place(g, 1).military = 2;
  g.wage = 100;
  core::ProcessDay(g);
  EXPECT_EQ(g.wage_bill, 100 * 10 + 9 * 100 * 2);
  EXPECT_EQ(g.money, 10000);  // paid only at month end
}

// Month end pays one instalment; the debt is cleared once what is left is less than an
// instalment, and not while exactly one more instalment is still due.
TEST(Economy, InstalmentPaysTheDebtOff) {
  struct Case {
    int32_t debt, installment, day;
    int32_t money_after, debt_after, installment_after;
  };
  for (const Case& c : std::initializer_list<Case>{
           {1500, 1000, 30, 9000, 0, 0},        // 500 left is less than an instalment: forgiven
           {2000, 1000, 30, 9000, 1000, 1000},  // exactly the last instalment still due
           {1000, 1000, 30, 9000, 0, 0},        // the last instalment paid
           {2000, 1000, 29, 10000, 2000, 1000},  // not month end: nothing paid
       }) {
    auto g = Colony();
    Comfortable(g);
    g.wage = 0;
    g.day = c.day;
    g.debt = c.debt;
    g.installment = c.installment;
    core::ProcessDay(g);
    EXPECT_EQ(g.money, c.money_after) << c.debt << " day " << c.day;
    EXPECT_EQ(g.debt, c.debt_after) << c.debt << " day " << c.day;
    EXPECT_EQ(g.installment, c.installment_after) << c.debt << " day " << c.day;
  }
}

// The monthly quota: 200 units per spaceport size, plus five per level point.
TEST(Economy, TradeCapGrowsWithSpaceportsAndTheLevel) {
  struct Case {
    int32_t level, sssize;
    int32_t cap;
  };
  for (const Case& c : std::initializer_list<Case>{{10, 0, 50}, {5, 0, 25}, {1, 2, 405}, {10, 3, 650}}) {
    auto g = Colony();
    Comfortable(g);
    g.level = c.level;
    if (c.sssize) Place(g, 1).sssize = c.sssize;
    core::ProcessDay(g);
    EXPECT_EQ(g.trade_cap, c.cap) << "level " << c.level << " size " << c.sssize;
  }
}

TEST(Economy, ScienceBreakthroughPaysADecayingDividend) {
  auto g = Colony();
  Comfortable(g);
  g.science_pts = 1001;
  core::ProcessDay(g);
  EXPECT_EQ(g.science_pts, 0);
  EXPECT_EQ(g.science_bonus, 199);
  EXPECT_EQ(g.income_day, 20);
  core::ProcessDay(g);
  EXPECT_EQ(g.income_day, 20);  // Round(19.9)
  EXPECT_EQ(g.science_bonus, 198);
}

TEST(Economy, NoBreakthroughBeforeTheFirstGame) {
  auto g = Colony();
  g.level = 0;
  g.science_pts = 1000000;
  core::ProcessDay(g);
  EXPECT_EQ(g.science_pts, 1000000);
  EXPECT_EQ(g.science_bonus, 0);
}

TEST(Economy, StocksNeverStayNegative) {
  auto g = Colony();
  g.food = 10;
  g.population = 500;
  Comfortable(g);
  core::ProcessDay(g);
  EXPECT_EQ(g.food, 0);
  EXPECT_EQ(g.prev_food, 10);
  EXPECT_EQ(g.prev_population, 500);
}

namespace {
class CountingTraffic : public core::TrafficLink {
 public:
  int ActiveShuttles() const override { return active; }
  void AddShuttle() override { ++added; }
  int active = 0;
  int added = 0;
};
}  // namespace

TEST(Economy, AShuttleIsAskedForPerTenBuildings) {
  auto g = Colony();
  CountingTraffic t;
  g.traffic = &t;
  for (int i = 0; i < 15; ++i) Place(g, i);
  core::ProcessDay(g);  // Round(1.5) = 2 wanted, 0 flying
  EXPECT_EQ(t.added, 1);
  t.active = 2;
  core::ProcessDay(g);
  EXPECT_EQ(t.added, 1);
}
