// Seeded games with events on and a player who builds, trades and borrows at random: every
// day, each of the advisor's balances must start where the colony stood after the day
// before, add up term by term to where it stands now, carry the player's own trades and
// spending exactly, and agree with the warning it explains.
#include <gtest/gtest.h>

#include <array>

#include "core/advisor.h"
#include "core/construction.h"
#include "core/events.h"
#include "core/newgame.h"
#include "core/trade.h"
#include "rules_fixture.h"
#include "support/test_data.h"

namespace {

std::map<int, core::building> Types() {
  using testing_support::PlainType;
  core::building base = PlainType(0);
  base.living = 300;
  base.storage = 900;  // small: goods spill over it
  base.food = 120;
  base.engout = 40;
  base.upl = 1;
  core::building farm = PlainType(1);
  farm.cst = 300;
  farm.food = 70;
  farm.pers = 30;
  farm.engcons = 15;
  farm.sc = 3;
  farm.upch = core::kUpFood;
  core::building plant = PlainType(2);
  plant.cst = 800;
  plant.engout = 50;
  plant.upch = core::kUpEngout;
  plant.pers = 20;
  core::building port = PlainType(3);
  port.cst = 2500;
  port.unique = true;
  port.spaceport = true;
  port.sssize = 1;
  port.upch = core::kUpSssize;
  core::building mine = PlainType(4);
  mine.cst = 700;
  mine.raw = 60;
  mine.pers = 25;
  mine.engcons = 10;
  mine.upch = core::kUpRaw;
  core::building works = PlainType(5);
  works.cst = 900;
  works.prod = 40;
  works.pers = 25;
  works.engcons = 20;
  works.income = 50;
  works.upch = core::kUpProd;
  core::building homes = PlainType(6);
  homes.cst = 600;
  homes.living = 150;
  homes.comfort = 6;
  homes.upch = core::kUpLiving;
  core::building barracks = PlainType(7);
  barracks.cst = 1200;
  barracks.military = 10;
  barracks.engcons = 10;
  barracks.upch = core::kUpMilitary;
  return {{0, base}, {1, farm}, {2, plant}, {3, port}, {4, mine}, {5, works}, {6, homes}, {7, barracks}};
}

// The colony's values each balanced topic accounts for.
struct Stocks {
  int32_t money, population, food, raw, products;
};
Stocks Now(const core::Game& g) { return {g.money, g.population, g.food, g.raw, g.products}; }

constexpr std::array<core::Topic, 5> kBalanced = {core::Topic::kMoney, core::Topic::kPopulation, core::Topic::kFood,
                                                  core::Topic::kRaw, core::Topic::kProducts};
int32_t Of(const Stocks& s, core::Topic t) {
  switch (t) {
    case core::Topic::kMoney: return s.money;
    case core::Topic::kPopulation: return s.population;
    case core::Topic::kFood: return s.food;
    case core::Topic::kRaw: return s.raw;
    default: return s.products;
  }
}

// The term a balance names by its key; 0 when it has none.
int32_t Term(const core::Explanation& e, std::string_view key) {
  for (const auto& t : e.terms)
    if (core::TermKey(t.entry) == key) return t.value;
  return 0;
}

class Advisor : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteMinimalData(dir, Types());
    g.exe_dir = dir.path();
    g.host = &host;
    g.traffic = &traffic;
  }
  testing_support::TempDir dir;
  core::Game g;
  rules_test::RecordingHost host;
  rules_test::RecordingTraffic traffic;
};

}  // namespace

TEST_F(Advisor, EveryBalanceAddsUpToTheNextDay) {
  int days = 0, famines = 0, spills = 0, raids = 0, paydays = 0;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    core::Rng dice(seed * 104729u);
    g.rng.Seed(seed);
    core::StartNewGame(g, std::array{10, 5, 1}[seed % 3]);
    ASSERT_TRUE(g.events_enabled);
    Stocks seen = Now(g);
    // What the player did since the last tick, as the test saw the stocks move.
    std::array<int32_t, 3> bought{}, sold{};  // food, raw, products
    int32_t spent = 0, received = 0;
    for (int day = 0; day < 240 && !g.game_over; ++day) {
      const std::string where = "seed " + std::to_string(seed) + " day " + std::to_string(day);
      for (int act = dice.Random(4); act > 0; --act) {
        const int32_t money = g.money;
        switch (dice.Random(6)) {
          case 0:
            if (dice.Random(3) == 0) {
              g.sel_cell_x = dice.Random(31);
              g.sel_cell_y = dice.Random(31);
            }
            core::ConstructBuilding(g, dice.Random(8));
            break;
          case 1: core::UpgradeBuilding(g, dice.Random(20)); break;
          case 2:
            host.answer = dice.Random(4) == 0;
            core::DestroyBuilding(g, 1 + dice.Random(20));
            break;
          case 3: core::TakeCredit(g, dice.Random(4) == 0 ? dice.Random(30000) : 0); break;
          default: {
            const int32_t goods = 1 + dice.Random(3), dir = dice.Random(2);
            int32_t* stock = goods == core::kGoodsFood ? &g.food : goods == core::kGoodsRaw ? &g.raw : &g.products;
            const int32_t before = *stock;
            core::Trade(g, dir, goods, dice.Random(80));
            const std::size_t k = goods == core::kGoodsFood ? 0 : goods == core::kGoodsRaw ? 1 : 2;
            (dir == core::kBuy ? bought[k] : sold[k]) += dir == core::kBuy ? *stock - before : before - *stock;
            break;
          }
        }
        if (g.money < money) spent += money - g.money;
        else received += g.money - money;
      }

      core::GLCadencer1Progress(g, g.day_length + 0.001);
      ++days;
      const Stocks now = Now(g);
      for (core::Topic t : kBalanced) {
        const core::Explanation e = core::Explain(g, t);
        const std::string topic = where + " " + std::string(core::TopicName(t));
        ASSERT_TRUE(e.balanced) << topic;
        EXPECT_EQ(e.before, Of(seen, t)) << topic;
        EXPECT_EQ(e.after, Of(now, t)) << topic;
        int32_t sum = e.before;
        for (const auto& term : e.terms) sum += term.value;
        EXPECT_EQ(sum, e.after) << topic;
      }
      const core::Explanation money = core::Explain(g, core::Topic::kMoney);
      EXPECT_EQ(-Term(money, "building") - Term(money, "purchases"), spent) << where;
      EXPECT_EQ(Term(money, "credit") + Term(money, "sales"), received) << where;
      const std::array<core::Topic, 3> goods = {core::Topic::kFood, core::Topic::kRaw, core::Topic::kProducts};
      for (std::size_t k = 0; k < 3; ++k) {
        const core::Explanation e = core::Explain(g, goods[k]);
        EXPECT_EQ(Term(e, "bought"), bought[k]) << where << " goods " << k;
        EXPECT_EQ(-Term(e, "sold"), sold[k]) << where << " goods " << k;
      }

      // The warnings read the tick alone: the balance without the player's trades.
      const core::Explanation food = core::Explain(g, core::Topic::kFood);
      const int32_t tick_food = food.after - food.before - Term(food, "bought") - Term(food, "sold");
      EXPECT_EQ(g.warnings[core::kWarnFood].state, tick_food < 0 ? 2 : tick_food == 0 ? 1 : 0) << where;
      const core::Explanation pop = core::Explain(g, core::Topic::kPopulation);
      EXPECT_EQ(g.warnings[core::kWarnPopulation].state, pop.after < pop.before ? 2 : pop.after == pop.before ? 1 : 0)
          << where;
      EXPECT_EQ(g.warnings[core::kWarnEnergy].state == 2, g.ledger.energy_out < g.ledger.energy_use) << where;
      EXPECT_EQ(g.warnings[core::kWarnPersonnel].state == 2, g.ledger.pers_available < g.ledger.pers_needed) << where;
      if (::testing::Test::HasFailure()) return;

      famines += Term(pop, "hungry") < 0;
      spills += Term(food, "spilled") < 0 || Term(core::Explain(g, core::Topic::kRaw), "spilled") < 0;
      raids += Term(pop, "raided") < 0 || Term(food, "lost") < 0;
      paydays += Term(money, "wages") < 0;
      seen = now;
      bought = sold = {};
      spent = received = 0;
      core::CheckGameover(g);
    }
  }
  // The dice reached every kind of entry.
  EXPECT_GT(days, 1000);
  EXPECT_GT(famines, 0);
  EXPECT_GT(spills, 0);
  EXPECT_GT(raids, 0);
  EXPECT_GT(paydays, 10);
}
