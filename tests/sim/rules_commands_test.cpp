#include <gtest/gtest.h>

#include "sim_support.h"

using testing_support::PlainType;
using testing_support::SimFixture;

namespace {

// A base with room and food, a cheap plant (type 1) and a unique spaceport (type 2).
std::map<int, core::building> Types() {
  core::building base = PlainType(0);
  base.living = 1000;
  base.storage = 100000;
  base.food = 200;
  base.engout = 100;
  base.upl = 1;
  core::building plant = PlainType(1);
  plant.cst = 250;
  plant.upch = 1;  // sorts between the base (0) and the port (5)
  plant.engout = 50;
  core::building port = PlainType(2);
  port.cst = 3000;
  port.unique = true;
  port.spaceport = true;
  port.sssize = 1;
  port.upch = 5;
  return {{0, base}, {1, plant}, {2, port}};
}

nlohmann::json Placed(SimFixture& sim, int slot) {
  for (const auto& b : sim.One("placed"))
    if (b["slot"] == slot) return b;
  return nullptr;
}

}  // namespace

TEST(SimRules, BuildOnAChosenCellOrAroundTheCentre) {
  SimFixture sim(Types());
  const auto r = sim.Run("events off\nnew 10\nbuild 1\nbuild 1 3 4\nbuild 2\nbuild 2\nbuild 7\nmessages\nstate\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 2u);
  EXPECT_EQ(r.out[0].size(), 2u);  // the start and the unique type's refusal
  EXPECT_EQ(r.out[0][1]["text"], "E78");
  EXPECT_EQ(r.out[0][1]["kind"], 3);
  EXPECT_EQ(r.out[1]["money"], 50000 - 250 - 250 - 3000);
  EXPECT_EQ(r.out[1]["sel_cell_x"], -1);
  EXPECT_EQ(r.out[1]["build_panel"], true);
  const auto first = Placed(sim, 1), second = Placed(sim, 2);
  EXPECT_EQ(first["x"], 14);
  EXPECT_EQ(first["y"], 14);
  EXPECT_EQ(first["construction"], 250);
  EXPECT_EQ(second["x"], 3);
  EXPECT_EQ(second["y"], 4);
  EXPECT_EQ(Placed(sim, 3)["id"], 2);
  EXPECT_TRUE(Placed(sim, 4).is_null());
}

TEST(SimRules, BuildRefusesATakenCellAsAClickWould) {
  SimFixture sim(Types());
  const auto r = sim.Run("events off\nnew 10\nbuild 1 3 4\nbuild 1 3 4\nstate\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("error: line 4: cell 3 4 is taken by slot 1"), std::string::npos) << r.err;
  ASSERT_EQ(r.out.size(), 1u);
  EXPECT_EQ(r.out[0]["money"], 50000 - 250);
  EXPECT_TRUE(Placed(sim, 2).is_null());
}

TEST(SimRules, UpgradeToggleAndDestroyBySlotOrSelection) {
  SimFixture sim(Types());
  auto r = sim.Run("events off\nnew 10\nbuild 1\nupgrade 1\ntoggle 1\nselect 1\nupgrade\nupgrade\ntoggle\n");
  ASSERT_EQ(r.status, 0) << r.err;
  auto plant = Placed(sim, 1);
  EXPECT_EQ(plant["up"], 4);
  EXPECT_EQ(plant["active"], true);
  EXPECT_EQ(sim.One("state")["money"], 50000 - 250 - 250 - 500 - 750);

  r = sim.Run("select none\ndestroy\nupgrade\nmessages\nselect 1\ndestroy\ndestroy\ndestroy 5\nstate\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out[0].back()["text"], "E38.");  // nothing selected: the upgrade is refused
  EXPECT_EQ(r.out[1]["money"], 50000 - 1750 - 10000);
  EXPECT_TRUE(Placed(sim, 1).is_null());
  EXPECT_EQ(sim.session.recorder.questions.size(), 1u);
}

TEST(SimRules, SlotAndGoodsArgumentsAreChecked) {
  SimFixture sim(Types());
  for (const char* line : {"upgrade 1001", "toggle -1", "destroy x", "select 1001", "build",
                           "build 1 2", "buy fuel 3", "sell food", "credit", "event", "upgrade 1 2",
                           "warnings 1"}) {
    const auto r = sim.Run(line);
    EXPECT_EQ(r.status, 1) << line;
    EXPECT_NE(r.err.find("error: line 1:"), std::string::npos) << line;
  }
}

TEST(SimRules, TradeAndCredit) {
  SimFixture sim(Types());
  const auto r = sim.Run(
      "events off\nnew 10\nbuild 2\nday 4\nset food_price 100\nset raw_price 200\n"
      "set product_price 1000\nset money 50000\nset traded 0\nset attraction 10\n"
      "buy raw 10\nsell food 30\nbuy products -4\nsell food -4\ncredit -5\ncredit 100000\n"
      "credit 1000\nstate\nmessages\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto& s = r.out[0];
  EXPECT_EQ(s["raw"], 10);
  EXPECT_EQ(s["traded"], 40);
  EXPECT_EQ(s["money"], 50000 - 2000 + 3000 + 100000);
  EXPECT_EQ(s["credit_sum"], 100000);
  EXPECT_EQ(s["debt"], 100000 + core::Round(100000.0 * s["interest"].get<int>() / 100));
  ASSERT_FALSE(r.out[1].empty());
  EXPECT_EQ(r.out[1].back()["text"], "E72E73");
}

TEST(SimRules, EventsAndWarnings) {
  SimFixture sim(Types());
  const auto r = sim.Run("events off\nnew 1\nday\nevent 8\nevent 3\nmessages\nwarnings\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out[0].size(), 2u);
  EXPECT_EQ(r.out[0][1]["text"], "E107: E108.");
  const auto& w = r.out[1];
  ASSERT_TRUE(w.is_array());
  ASSERT_EQ(w.size(), 5u);
  for (int k = 0; k < 5; ++k) {
    EXPECT_TRUE(w[k]["text"].is_string());
    EXPECT_EQ(w[k]["y"], 454 + 20 * k);  // a 709-pixel view
  }
  EXPECT_EQ(w[4]["text"], "E155");
  EXPECT_EQ(w[4]["state"], 0);
}

TEST(SimRules, TheGameEndsWithAScoreAndDaysStopPassing) {
  SimFixture sim(Types());
  const auto r = sim.Run(
      "events off\nnew 10\nscore\nset days_left 3\nday 10\nstate\nscore\nmessages\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out[0]["points"], 0);
  const auto& s = r.out[1];
  EXPECT_EQ(s["game_over"], true);
  EXPECT_EQ(s["game_running"], false);
  EXPECT_EQ(s["days_left"], 0);
  EXPECT_EQ(s["day"], 3);
  const auto& score = r.out[2];
  EXPECT_EQ(score["level"], 10);
  EXPECT_GT(score["points"].get<int>(), 0);
  EXPECT_TRUE(score["name"].is_string());
  const auto& last = r.out[3].back();
  EXPECT_EQ(last["kind"], 1);
  EXPECT_EQ(last["text"], "E128\r\nE133: E132\r\nE129: " + std::to_string(score["points"].get<int>()));
}

TEST(SimRules, AnIdleHardGameGoesBankrupt) {
  core::building base = PlainType(0);
  base.sc = 3000;
  base.living = 500;
  base.storage = 1000;
  base.food = 150;
  SimFixture sim({{0, base}});
  const auto r = sim.Run("events off\nnew 1\nday 1200\nstate\nmessages\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out[0]["game_over"], true);
  EXPECT_LT(r.out[0]["money"].get<int>(), -100000);
  EXPECT_GT(r.out[0]["days_left"].get<int>(), 0);
  EXPECT_NE(r.out[1].back()["text"].get<std::string>().find("E133: E131"), std::string::npos);
}
