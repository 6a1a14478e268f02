#include "core/newgame.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "support/test_data.h"

namespace {

class MessageLog : public core::Host {
 public:
  void ShowInfoMessage(int kind, const std::string& text) override { shown.push_back({kind, text}); }
  std::vector<std::pair<int, std::string>> shown;
};

class NewGame : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteMinimalData(dir, {{0, testing_support::PlainType(0)}});
    g.exe_dir = dir.path();
    for (int k = 1; k <= 200; ++k) g.locale_table[k] = "E" + std::to_string(k);
    g.host = &log;
    g.events_enabled = false;
  }
  testing_support::TempDir dir;
  core::Game g;
  MessageLog log;
};

}  // namespace

TEST_F(NewGame, EachLevelSetsItsMoneyWagesInterestPricesAndTimeLimit) {
  struct Expect {
    int level, money, wage, interest, food_price, raw_price, product_price, days;
  };
  for (const auto& e : {Expect{10, 50000, 80, 4, 110, 210, 1010, 300},
                        Expect{5, 25000, 100, 8, 105, 205, 1005, 600},
                        Expect{1, 5000, 116, 40, 101, 201, 1001, 1200}}) {
    g.debt = 5;
    g.installment = 6;
    g.credit_sum = 7;
    g.science_bonus = 8;
    core::StartNewGame(g, e.level);
    EXPECT_EQ(g.level, e.level);
    EXPECT_EQ(g.money, e.money);
    EXPECT_EQ(g.wage, e.wage);
    EXPECT_EQ(g.interest, e.interest);
    EXPECT_EQ(g.food_price, e.food_price);
    EXPECT_EQ(g.raw_price, e.raw_price);
    EXPECT_EQ(g.product_price, e.product_price);
    EXPECT_EQ(g.days_left, e.days);
    EXPECT_EQ(g.debt + g.installment + g.credit_sum + g.science_bonus, 0);
    EXPECT_TRUE(g.game_running);
    EXPECT_FALSE(g.game_over);
    EXPECT_EQ(g.cam_target_x, 300);
    EXPECT_EQ(g.cam_target_y, 300);
    EXPECT_TRUE(g.placed[0].exists);
  }
}

TEST_F(NewGame, ShowsTheStartMessage) {
  core::StartNewGame(g, 5);
  ASSERT_EQ(log.shown.size(), 1u);
  EXPECT_EQ(log.shown[0].first, core::kMsgGameStart);
  EXPECT_EQ(log.shown[0].second, "E33\r\nE34: 5.\r\nE35: 25000; E36: 100.");
}

TEST_F(NewGame, KeepsDaySelectionAndTimeLimitForOtherLevels) {
  g.day = 17;
  g.traded = 33;
  g.selected_bldg = 4;
  g.sel_cell_x = 3;
  core::StartNewGame(g, 10);
  g.days_left = 123;
  core::StartNewGame(g, 7);
  EXPECT_EQ(g.days_left, 123);
  EXPECT_EQ(g.day, 17);
  EXPECT_EQ(g.traded, 33);
  EXPECT_EQ(g.selected_bldg, 4);
  EXPECT_EQ(g.sel_cell_x, 3);
}

TEST_F(NewGame, SandboxChoiceTakesEffectAtTheNextGame) {
  g.sandbox_option = true;
  core::StartNewGame(g, 10);
  EXPECT_TRUE(g.sandbox);
  g.sandbox_option = false;
  EXPECT_TRUE(g.sandbox);
  core::StartNewGame(g, 10);
  EXPECT_FALSE(g.sandbox);
}

TEST_F(NewGame, RestartingEasyStartsFromScratch) {
  core::StartNewGame(g, 1);
  g.money = 3;
  g.placed[9].exists = true;
  core::StartNewGame(g, 10);
  EXPECT_EQ(g.money, 50000);
  EXPECT_EQ(g.wage, 80);
  EXPECT_EQ(g.interest, 4);
  EXPECT_EQ(g.days_left, 300);
  EXPECT_FALSE(g.placed[9].exists);
}

TEST_F(NewGame, ABrokenCatalogLeavesTheOldGameRunning) {
  core::StartNewGame(g, 10);
  g.money = 1234;
  dir.WriteLines("Buildings/bldg_3.bld", {"x"});
  EXPECT_THROW(core::StartNewGame(g, 1), core::DataError);
  EXPECT_EQ(g.money, 1234);
  EXPECT_EQ(g.level, 10);
  EXPECT_TRUE(g.game_running);
}

namespace {

// A game under way with its random events off, so that only the clock moves it.
core::Game RunningGame() {
  core::Game g;
  g.game_running = true;
  g.game_over = false;
  g.events_enabled = false;
  return g;
}

}  // namespace

TEST(DayClock, BeforeAnyGameNoDayPassesButTheAngleCycles) {
  core::Game g;
  g.game_running = false;
  core::GLCadencer1Progress(g, 5.0);
  EXPECT_DOUBLE_EQ(g.day_angle, 180.0);
  core::GLCadencer1Progress(g, 5.5);
  EXPECT_EQ(g.day, 0);
  EXPECT_EQ(g.day_timer, 0.0);
  EXPECT_GT(g.day_angle, 360.0);  // the step that ends a day leaves it just past 360
}

TEST(DayClock, ExactlyOneDayLengthIsNotYetADay) {
  core::Game g = RunningGame();
  g.day_length = 3.0;
  core::GLCadencer1Progress(g, 3.0);
  EXPECT_EQ(g.day, 0);
  core::GLCadencer1Progress(g, 0.001);
  EXPECT_EQ(g.day, 1);
}

TEST(DayClock, ExcessTimeIsDroppedAndTheMonthWraps) {
  core::Game g = RunningGame();
  g.day_length = 0.5;
  g.day = 29;
  g.days_left = 10;
  core::GLCadencer1Progress(g, 2.0);  // four day lengths, one day
  EXPECT_EQ(g.day, 30);
  EXPECT_EQ(g.days_left, 9);
  EXPECT_EQ(g.day_timer, 0.0);
  core::GLCadencer1Progress(g, 0.6);
  EXPECT_EQ(g.day, 1);
  EXPECT_EQ(g.days_left, 8);
}

TEST(DayClock, SandboxAndFinishedGamesKeepTheirDaysLeft) {
  core::Game g = RunningGame();
  g.sandbox = true;
  g.days_left = 300;
  core::GLCadencer1Progress(g, 11);
  EXPECT_EQ(g.day, 1);
  EXPECT_EQ(g.days_left, 300);
  g.sandbox = false;
  g.game_over = true;
  core::GLCadencer1Progress(g, 11);
  EXPECT_EQ(g.day, 2);
  EXPECT_EQ(g.days_left, 300);
}
