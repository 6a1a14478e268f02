// Plays the bundled building types with the balance players (bench/balance, the steady
// governor and the greedy player described in colony_player.h) on the data directory the
// build copies beside the executables, random events on, fixed seeds. Only the shape is
// asserted, never figures: `make balance` plays many more games and prints them.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "balance/colony_player.h"

namespace {

using balance::GameResult;
using balance::Player;

struct Game {
  int level;
  uint32_t seed;
};
// A few games at every level: together they reach every part of the catalog.
const Game kGoverned[] = {{10, 1007}, {10, 2007}, {10, 3007}, {5, 1007}, {5, 2007}, {1, 1007}, {1, 2007}};

int Term(int level) { return level == 10 ? 300 : level == 5 ? 600 : 1200; }

std::ostream& operator<<(std::ostream& os, const GameResult& r) {
  return os << "level " << r.level << ", seed " << r.seed << ": days " << r.days
            << (r.bankrupt ? " bankrupt" : r.game_over ? " term over" : " running") << ", money " << r.money
            << ", score " << r.points << ", population " << r.population << ", buildings " << r.buildings;
}

TEST(Balance, EasyColonyWithSimpleStrategyLastsItsTermAndEveryTypeIsBuilt) {
  std::set<int> used;
  for (const auto& game : kGoverned) {
    const GameResult r = balance::PlayGame(QUENMAR_BUILD_DIR, game.seed, game.level, Player::kGovernor, 1300);
    SCOPED_TRACE(::testing::PrintToString(r.seed) + " at level " + std::to_string(r.level));
    std::cout << "governor, " << r << '\n';
    // The storage limit holds at the end of every day.
    EXPECT_EQ(r.overfull_day, 0);
    if (game.level == 10) {
      EXPECT_TRUE(r.game_over);
      EXPECT_FALSE(r.bankrupt);
      EXPECT_EQ(r.days, Term(10));
      // The strategy pays: the colony ends richer than it started and grew.
      EXPECT_GT(r.money, 50000);
      EXPECT_GT(r.population, 150);
    }
    for (const auto& [id, t] : r.types)
      if (t.built > 0 || t.upgrades > 0) used.insert(id);
  }
  for (const auto& [id, name] : balance::TypeNames(QUENMAR_BUILD_DIR))
    EXPECT_TRUE(used.count(id)) << "the strategy never built or upgraded " << name << " (type " << id << ")";
}

// The content must not depend on one way of playing: the greedy player (no pairing of the
// trade chain, a reserve against earthquakes, no military) lasts the easy and the normal
// term too and ends richer than it started; and, valuing a port's quota at what the catalog
// measure gives it, it builds a port in every game, not only the pairing governor.
TEST(Balance, GreedyPlayerLastsItsTerm) {
  const Game games[] = {{10, 1007}, {10, 2007}, {5, 1007}, {5, 2007}, {1, 1007}};
  std::set<int> ports;
  for (const auto& r : balance::TypeReturns(QUENMAR_BUILD_DIR, 10))
    if (r.port) ports.insert(r.id);
  ASSERT_FALSE(ports.empty());
  for (const auto& game : games) {
    const GameResult r = balance::PlayGame(QUENMAR_BUILD_DIR, game.seed, game.level, Player::kGreedy, 1300);
    SCOPED_TRACE(::testing::PrintToString(r.seed) + " at level " + std::to_string(r.level));
    std::cout << "greedy, " << r << '\n';
    EXPECT_EQ(r.overfull_day, 0);
    if (game.level != 1) {
      EXPECT_TRUE(r.game_over);
      EXPECT_FALSE(r.bankrupt);
      EXPECT_EQ(r.days, Term(game.level));
      EXPECT_GT(r.money, 5000 * game.level);
    }
    EXPECT_EQ(r.raids.with_military, 0) << "the greedy player keeps no defence";
    EXPECT_TRUE(std::any_of(ports.begin(), ports.end(), [&](int id) {
      const auto t = r.types.find(id);
      return t != r.types.end() && t->second.built > 0;
    })) << "the greedy player built no port";
  }
}

// Judged from the catalog alone, at the opening prices of every level: every type that
// earns money pays for itself within 20 to 80 days; none earns more than three times
// another per money over the same days from its order (construction time, inputs bought
// and the quota it uses counted); and military adds no more to a last-day score per money
// than 1.2 times the best civil type.
TEST(Balance, EveryEarningTypePaysBackInTimeEarnsAlikeAndMilitaryScoresNoMoreThanOthers) {
  for (int level : {10, 5, 1}) {
    SCOPED_TRACE(level);
    double best_civil = 0, best_military = 0;
    double most = 0, least = 0;
    int most_id = 0, least_id = 0;
    for (const auto& r : balance::TypeReturns(QUENMAR_BUILD_DIR, level)) {
      double& best = r.military ? best_military : best_civil;
      best = std::max(best, r.score_per_money);
      if (!r.earns) continue;
      EXPECT_GE(r.payback, 20) << "type " << r.id;
      EXPECT_LE(r.payback, 80) << "type " << r.id;
      if (!most_id || r.per_money > most) most = r.per_money, most_id = r.id;
      if (!least_id || r.per_money < least) least = r.per_money, least_id = r.id;
    }
    EXPECT_GT(least, 0) << "type " << least_id << " earns nothing over its first days";
    EXPECT_LE(most, 3 * least) << "type " << most_id << " earns " << most << " per money, type " << least_id
                               << " only " << least;
    EXPECT_LE(best_military, 1.2 * best_civil);
  }
}

TEST(Balance, IdleHardColonyGoesBankruptBeforeItsTerm) {
  for (uint32_t seed : {1007u, 2007u}) {
    const GameResult r = balance::PlayGame(QUENMAR_BUILD_DIR, seed, 1, Player::kIdle, 1300);
    SCOPED_TRACE(seed);
    std::cout << "idle, " << r << '\n';
    EXPECT_TRUE(r.bankrupt);
    // With a wide margin: well before the 1200-day term.
    EXPECT_LT(r.days, 900);
    EXPECT_LT(r.money, -100000);
    EXPECT_EQ(r.overfull_day, 0);
  }
}

}  // namespace
