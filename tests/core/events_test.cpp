#include "core/events.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "core/construction.h"
#include "core/economy.h"
#include "core/grid.h"
#include "rules_fixture.h"

using core::MakeEvent;
using rules_test::Colony;

namespace {

class Events : public Colony {
 protected:
  // Seeds the game's generator and forgets the messages shown so far; the first number
  // below `n` the next event will draw, taken from a copy so that the event draws it still.
  int32_t SeedAndPeek(uint32_t seed, int32_t n) {
    g.rng.Seed(seed);
    host.shown.clear();
    core::Rng probe = g.rng;
    return probe.Random(n);
  }
};
class PirateRaid : public Colony {
 protected:
  // A raid from `seed` on 1000 colonists with 500 food and 300 products, defended by
  // `military`; the messages before it forgotten.
  void Raid(uint32_t seed, int32_t military) {
    g.rng.Seed(seed);
    g.military_power = military;
    g.population = 1000;
    g.food = 500;
    g.products = 300;
    host.shown.clear();
    MakeEvent(g, 4);
  }
};
class Earthquake : public Colony {};
class Warnings : public Colony {};
class GameOver : public Colony {
 protected:
  void SetUp() override {
    Colony::SetUp();
    g.game_over = false;
    g.game_running = true;
    g.days_left = 100;
  }
};

}  // namespace

// --- the simple events ----------------------------------------------------------------------

TEST_F(Events, NumbersThatNameNoEventDoNothing) {
  const core::Game before = g;
  core::Rng probe = g.rng;
  for (int e : {-1, 0, 1, 2, 3, 10, 89, -2147483647 - 1, 2147483647}) MakeEvent(g, e);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(g.money, before.money);
  EXPECT_EQ(g.interest, before.interest);
  EXPECT_EQ(g.food, before.food);
  EXPECT_EQ(g.rng.Random(1000000), probe.Random(1000000));  // no number was drawn
}

TEST_F(Events, InterestFallsRoundingHalvesToEvenAndRisesDoubling) {
  g.interest = 5;
  MakeEvent(g, 5);
  EXPECT_EQ(g.interest, 2);
  g.interest = 7;
  MakeEvent(g, 5);
  EXPECT_EQ(g.interest, 4);
  MakeEvent(g, 6);
  EXPECT_EQ(g.interest, 8);
  EXPECT_EQ(host.shown, (std::vector<std::pair<int, std::string>>{
                            {core::kMsgOther, "E111"}, {core::kMsgOther, "E111"}, {core::kMsgOther, "E110"}}));
}

TEST_F(Events, CreditDearerRaisesDebtAndInstalmentByOneRandomPercentage) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    const int32_t a = SeedAndPeek(seed, 100) + 1;
    g.debt = 104000;
    g.installment = 8667;
    MakeEvent(g, 7);
    EXPECT_GE(a, 1);
    EXPECT_LE(a, 100);
    EXPECT_EQ(g.debt, 104000 + core::Round(104000.0 * a / 100));
    EXPECT_EQ(g.installment, 8667 + core::Round(8667.0 * a / 100));
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E109 " + std::to_string(a) + "%."}));
  }
}

TEST_F(Events, FoodSpoiledTakesHalfToAlmostAllAndDoublesTheInterest) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    const int32_t s = SeedAndPeek(seed, 50) + 50;
    g.food = 1001;
    g.interest = 6;
    MakeEvent(g, 9);
    EXPECT_EQ(g.food, core::Round(1001.0 * (100 - s) / 100));
    EXPECT_GE(g.food, core::Round(1001 * 0.01));
    EXPECT_LE(g.food, core::Round(1001 * 0.5));
    EXPECT_EQ(g.interest, 12);
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E136 " + std::to_string(s) + "E137"}));
  }
}

// --- pirate raids ---------------------------------------------------------------------------

TEST_F(PirateRaid, AColonyWithoutDefenceLosesATenthToANineteenth) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Raid(seed, 0);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].first, core::kMsgPirates);
    // The strength is in the message: "E98 (s) E99 casualties E100 E101 loss%E102".
    const std::string& text = host.shown[0].second;
    const int32_t strength = std::stoi(text.substr(text.find('(') + 1));
    EXPECT_GE(strength, 10);
    EXPECT_LE(strength, 19);
    const int32_t casualties = core::Round(1000.0 / strength);
    EXPECT_EQ(g.population, 1000 - casualties);
    EXPECT_EQ(g.military_power, 1);
    EXPECT_EQ(text.substr(0, text.find(" E100")),
              "E98 (" + std::to_string(strength) + ") E99 " + std::to_string(casualties));
    const int32_t loss = std::stoi(text.substr(text.find("E101 ") + 5));
    EXPECT_EQ(text, "E98 (" + std::to_string(strength) + ") E99 " + std::to_string(casualties) +
                        " E100 E101 " + std::to_string(loss) + "E102");
    EXPECT_LE(loss, 10);
    EXPECT_EQ(g.food, 500 - core::Round(500.0 * loss / 100));
    EXPECT_EQ(g.products, 300 - core::Round(300.0 * loss / 100));
  }
  EXPECT_EQ(traffic.pirate_raids, 40);
}

TEST_F(PirateRaid, AStrongEnoughDefenceRepelsTheRaidAndNothingChanges) {
  int repelled = 0, lost = 0;
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    g.level = 10;
    Raid(seed, 100);
    ASSERT_EQ(host.shown.size(), 1u);
    const std::string& text = host.shown[0].second;
    if (text.starts_with("E103 ")) {
      ++repelled;
      const int32_t strength = std::stoi(text.substr(5));
      EXPECT_LE(strength, 100);
      EXPECT_EQ(text, "E103 " + std::to_string(strength) + " E104 E105 E106");
      EXPECT_EQ(g.population, 1000);
      EXPECT_EQ(g.food, 500);
      EXPECT_EQ(g.products, 300);
    } else {
      ++lost;
      const int32_t strength = std::stoi(text.substr(text.find('(') + 1));
      EXPECT_GT(strength, 100);
      EXPECT_LE(strength, 218);
      EXPECT_EQ(g.population, 1000 - core::Round(1000.0 * 100 / strength));
    }
    EXPECT_EQ(g.military_power, 100);
  }
  EXPECT_GT(repelled, 0);
  EXPECT_GT(lost, 0);
}

TEST_F(PirateRaid, LossesNeverExceedTheStocks) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    g.rng.Seed(seed);
    g.level = 1 + static_cast<int32_t>(seed % 10);
    g.military_power = static_cast<int32_t>(seed % 7) * 3;
    g.population = static_cast<int32_t>(seed * 37 % 2000);
    g.food = static_cast<int32_t>(seed * 53 % 5000);
    g.products = static_cast<int32_t>(seed * 11 % 900);
    MakeEvent(g, 4);
    EXPECT_GE(g.population, 0);
    EXPECT_GE(g.food, 0);
    EXPECT_GE(g.products, 0);
  }
}

TEST_F(PirateRaid, BeforeAnyGameTheRaidStillEnds) {
  g.level = 0;
  g.military_power = 5;
  MakeEvent(g, 4);
  g.military_power = 0;
  MakeEvent(g, 4);
  EXPECT_EQ(host.shown.size(), 2u);
}

// --- earthquake -----------------------------------------------------------------------------

TEST_F(Earthquake, WithOnlyTheFirstBuildingNothingFalls) {
  g.debt = 1000;
  g.installment = 100;
  MakeEvent(g, 8);
  EXPECT_TRUE(g.placed[0].exists);
  EXPECT_EQ(host.shown, (std::vector<std::pair<int, std::string>>{{core::kMsgOther, "E107: E108."}}));
  EXPECT_EQ(host.sounds, (std::vector<std::string>{"snd_quake"}));
  EXPECT_EQ(g.debt, 1000);
  EXPECT_EQ(g.installment, 100);
}

TEST_F(Earthquake, EachLevelHasItsOwnChanceAndTheFirstSlotIsSpared) {
  // Level: the lowest draw of Random(100) that destroys (14 %, 22 %, 28 %).
  for (auto [level, first_fatal_draw] : {std::pair{10, 86}, {5, 78}, {1, 72}}) {
    FillTable();
    for (int i = 0; i < core::kPlacedSize; ++i) g.placed[i].name = "N" + std::to_string(i);
    g.level = level;
    g.rng.Seed(static_cast<uint32_t>(level));
    core::Rng probe = g.rng;
    host.shown.clear();
    MakeEvent(g, 8);
    std::string expected;
    int fallen = 0;
    for (int i = 1; i < core::kPlacedSize; ++i) {
      const bool falls = probe.Random(100) >= first_fatal_draw;
      EXPECT_EQ(g.placed[i].exists, !falls) << "level " << level << " slot " << i;
      if (falls) {
        expected += (fallen > 0 ? ", N" : "N") + std::to_string(i);
        ++fallen;
      }
    }
    EXPECT_TRUE(g.placed[0].exists);
    EXPECT_GT(fallen, 0);
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E107: " + expected + "."}));
    EXPECT_EQ(core::BuildingAt(g, 1, 0), core::BuildingAtScan(g, 1, 0));
  }
}

// --- warnings -------------------------------------------------------------------------------

TEST_F(Warnings, MoneyBadBelowZeroAttentionBelowTheMonthsBills) {
  g.population = 100;
  g.wage = 80;
  g.installment = 500;
  for (auto [money, state, text] : {std::tuple{-1, 2, "E147"}, {0, 1, "E148"}, {8499, 1, "E148"},
                                    {8500, 0, "E149"}}) {
    g.money = money;
    core::EvaluateWarnings(g);
    EXPECT_EQ(g.warnings[core::kWarnMoney].state, state) << money;
    EXPECT_EQ(g.warnings[core::kWarnMoney].text, text) << money;
  }
}

TEST_F(Warnings, TrendsPersonnelAndEnergy) {
  g.population = 90;
  g.prev_population = 100;
  g.food = 50;
  g.prev_food = 50;
  g.pers_ratio = 0.99;
  g.energy_out = 10;
  g.energy_use = 11;
  core::EvaluateWarnings(g);
  auto states = [&] {
    std::vector<std::pair<int32_t, std::string>> s;
    for (const auto& w : g.warnings) s.push_back({w.state, w.text});
    return s;
  };
  using V = std::vector<std::pair<int32_t, std::string>>;
  EXPECT_EQ(states(), (V{{0, "E149"}, {2, "E150"}, {2, "E157"}, {1, "E153"}, {2, "E156"}}));
  g.population = 100;
  g.food = 49;
  g.pers_ratio = 1;
  g.energy_use = 10;
  core::EvaluateWarnings(g);
  EXPECT_EQ(states(), (V{{0, "E149"}, {0, "E151"}, {1, "E158"}, {2, "E154"}, {0, "E155"}}));
  g.population = 101;
  g.food = 51;
  core::EvaluateWarnings(g);
  EXPECT_EQ(g.warnings[core::kWarnPopulation].text, "E159");
  EXPECT_EQ(g.warnings[core::kWarnFood].text, "E152");
  EXPECT_EQ(g.warnings[core::kWarnFood].state, 0);
}

TEST_F(Warnings, JumpUpFromTheMiddleOfTheViewAndGlideToRest) {
  g.view_h = 709;
  core::EvaluateWarnings(g);
  // H / 2 + 100 = 454.5 rounds to the even 454.
  for (int k = 0; k < 5; ++k) EXPECT_EQ(g.warnings[k].y, 454 + 20 * k) << k;
  for (int frame = 0; frame < 200; ++frame) core::ProcessWarnings(g);
  for (int k = 0; k < 5; ++k) {
    const int32_t target = 709 - 25 - 20 * (k + 1);
    EXPECT_LE(g.warnings[k].y, target) << k;
    EXPECT_GE(g.warnings[k].y, target - 5) << k;
    EXPECT_EQ(g.warnings[k].x, 57);  // 709 / 15 rounds to 47, plus 10
  }
}

TEST_F(Warnings, TheGlideIsATenthPerFrameAndStopsWithinFivePixels) {
  g.view_h = 600;  // targets 555, 535, 515, 495, 475
  g.warnings[0].y = 300;
  g.warnings[1].y = 700;
  g.warnings[2].y = 515 - 5;
  g.warnings[3].y = 495 - 6;
  g.warnings[4].y = 475 + 5;
  core::ProcessWarnings(g, 30);
  EXPECT_EQ(g.warnings[0].y, 300 + 26);  // 25.5 rounds to 26
  EXPECT_EQ(g.warnings[1].y, 700 - 16);  // 16.5 rounds to 16
  EXPECT_EQ(g.warnings[2].y, 510);
  EXPECT_EQ(g.warnings[3].y, 490);
  EXPECT_EQ(g.warnings[4].y, 480);
  EXPECT_EQ(g.warnings[0].x, 40);
  core::ProcessWarnings(g, 30);
  EXPECT_EQ(g.warnings[3].y, 490);
}

TEST_F(Warnings, HudUnitAndMaterials) {
  EXPECT_EQ(core::HudUnit(450), 30);
  EXPECT_EQ(core::HudUnit(100), 30);
  EXPECT_EQ(core::HudUnit(600), 40);
  EXPECT_EQ(core::HudUnit(615), 41);
  EXPECT_STREQ(core::WarningMaterial(0), "m_tick_ok");
  EXPECT_STREQ(core::WarningMaterial(1), "m_tick_warn");
  EXPECT_STREQ(core::WarningMaterial(2), "m_tick_bad");
}

// --- game over ------------------------------------------------------------------------------

TEST_F(GameOver, ScoreCountsBuildingsPositiveMoneyMilitaryAttractionAndIncome) {
  g.level = 1;
  g.placed[0].cst = 1000;
  g.placed[0].upl = 3;
  Place(1, 0, 1, 1).cst = 500;
  g.placed[1].upl = 1;
  Place(2, 0, 1, 2).cst = 999;
  g.placed[2].exists = false;
  g.money = -50;
  g.military_power = 10;
  g.attraction = 5;
  g.income_total = 20000;
  EXPECT_EQ(core::Score(g), 23515);
  g.money = 1000;
  g.level = 10;
  EXPECT_EQ(core::Score(g), core::Round(24515 / 10.0));
}

TEST_F(GameOver, BankruptcyBelowMinusOneHundredThousandPerLevel) {
  g.level = 5;
  g.money = -500000;
  EXPECT_FALSE(core::CheckGameover(g));
  EXPECT_FALSE(g.game_over);
  g.money = -500001;
  g.placed[0].cst = 100;
  g.placed[0].upl = 5;
  EXPECT_TRUE(core::CheckGameover(g));
  EXPECT_TRUE(g.game_over);
  EXPECT_FALSE(g.game_running);
  EXPECT_EQ(g.score_entry.points, 100);
  EXPECT_EQ(g.score_entry.level, 5);
  EXPECT_EQ(host.shown, (std::vector<std::pair<int, std::string>>{
                            {core::kMsgGameOver, "E128\r\nE133: E131\r\nE129: 100"}}));
  EXPECT_EQ(host.high_scores, (std::vector<bool>{true}));
  // Once over, it stays over without another message.
  EXPECT_FALSE(core::CheckGameover(g));
  EXPECT_EQ(host.shown.size(), 1u);
}

TEST_F(GameOver, TimeUpWinsWhenBothHold) {
  g.level = 1;
  g.money = -100001;
  g.days_left = 0;
  EXPECT_TRUE(core::CheckGameover(g));
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_NE(host.shown[0].second.find("E133: E132\r\n"), std::string::npos);
}

TEST_F(GameOver, ASandboxGameNeverEnds) {
  g.sandbox = true;
  g.money = -2000000000;
  g.days_left = 0;
  EXPECT_FALSE(core::CheckGameover(g));
  EXPECT_FALSE(g.game_over);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(GameOver, ARunningGameWithTimeLeftGoesOn) {
  g.days_left = 1;
  g.money = -1000000;  // level 10: exactly the limit
  EXPECT_FALSE(core::CheckGameover(g));
  g.days_left = -3;  // should the count ever pass 0 unseen
  EXPECT_TRUE(core::CheckGameover(g));
}

namespace {

// One seeded colony played for many days with events on: how many disaster events (raid,
// earthquake, spoiled food) and other events came, and a fingerprint of everything the
// game showed and played and of its stock, so two runs can be told apart.
struct Tally {
  int disasters = 0;
  int others = 0;
  uint64_t print = 1469598103934665603ull;
  void Mix(const std::string& s) {
    for (unsigned char c : s) print = (print ^ c) * 1099511628211ull;
    print = (print ^ 0xffu) * 1099511628211ull;
  }
};

class DisasterChoice : public Colony {
 protected:
  Tally Play(uint32_t seed, int32_t choice, int days) {
    host.shown.clear();
    host.sounds.clear();
    traffic.pirate_raids = 0;
    g.rng.Seed(seed);
    g.events_enabled = true;
    g.money = g.food = 100000;
    g.interest = 5;
    g.debt = g.installment = 1000;
    if (choice != core::kDisastersRules) g.disasters = choice;
    Tally t;
    for (int d = 0; d < days; ++d) {
      const std::size_t shown = host.shown.size(), sounds = host.sounds.size();
      g.day = 5;
      core::ProcessDay(g);
      for (std::size_t k = shown; k < host.shown.size(); ++k) {
        const std::string& text = host.shown[k].second;
        t.Mix(text);
        if (text.rfind("E136 ", 0) == 0) ++t.disasters;
        else if (text == "E110" || text == "E111" || text.rfind("E109 ", 0) == 0) ++t.others;
      }
      for (std::size_t k = sounds; k < host.sounds.size(); ++k) {
        t.Mix(host.sounds[k]);
        if (host.sounds[k] == "snd_quake") ++t.disasters;
      }
      t.Mix(std::to_string(g.money) + " " + std::to_string(g.food) + " " + std::to_string(g.interest));
    }
    t.disasters += traffic.pirate_raids;
    return t;
  }
};

// Over many seeded days: as the rules say, the very game it always was (the fingerprint was
// taken before the choice existed); rare, about half the disasters and the same share of
// other events; off, no disaster at all.
TEST_F(DisasterChoice, RareHalvesOffRemovesRulesUnchanged) {
  constexpr int kDays = 1500;
  const uint64_t kRulesPrint = 14549132147703615543ull;  // seed 7, as the rules say
  int rules_d = 0, rules_o = 0;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SetUp();
    const Tally t = Play(seed, core::kDisastersRules, kDays);
    if (seed == 7) {
      EXPECT_EQ(t.print, kRulesPrint);
    }
    rules_d += t.disasters;
    rules_o += t.others;
  }
  // Three of the 90 draws are disasters and three are other events.
  const double expected = 12.0 * kDays * 3 / 90;
  EXPECT_GT(rules_d, 0.85 * expected);
  EXPECT_LT(rules_d, 1.15 * expected);

  for (const int32_t choice : {core::kDisastersRare, core::kDisastersOff}) {
    int d = 0, o = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
      SetUp();
      const Tally t = Play(seed, choice, kDays);
      d += t.disasters;
      o += t.others;
    }
    SCOPED_TRACE(choice);
    if (choice == core::kDisastersOff) {
      EXPECT_EQ(d, 0);
    } else {
      EXPECT_NEAR(d, rules_d / 2.0, 0.15 * rules_d);
    }
    EXPECT_NEAR(o, rules_o, 0.15 * rules_o);
  }
}

}  // namespace
