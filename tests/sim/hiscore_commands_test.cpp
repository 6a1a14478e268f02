#include <gtest/gtest.h>

#include <filesystem>

#include "core/text.h"
#include "sim_support.h"

using testing_support::SimFixture;

namespace {

// Ends a game at `level` by its time limit and returns the score it reached.
int FinishGame(SimFixture& sim, int level) {
  const auto s = sim.One("events off\nnew " + std::to_string(level) + "\nset days_left 1\nday\nscore");
  EXPECT_EQ(s["level"], level);
  EXPECT_TRUE(sim.session.game.game_over);
  return s["points"].get<int>();
}

std::vector<std::string> FileLines(const SimFixture& sim) {
  return core::SplitLines(core::DecodeText(sim.dir.Read("leaders.hof")));
}

}  // namespace

TEST(SimHiScore, OkWithoutAFinishedGameDoesNothing) {
  SimFixture sim;
  const auto r = sim.Run("hiscore Early Bird\nhiscore-list\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 1u);
  EXPECT_TRUE(r.out[0].empty());
  EXPECT_FALSE(std::filesystem::exists(sim.dir.path() + "/leaders.hof"));
}

TEST(SimHiScore, OneEntryPerFinishedGameWrittenBesideTheData) {
  SimFixture sim;
  const int first = FinishGame(sim, 10);
  ASSERT_GT(first, 0);
  auto r = sim.Run("hiscore Ann  Lee\nhiscore Bob\nhiscore-list\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 1u);
  EXPECT_EQ(r.out[0], nlohmann::json::array({"Ann Lee (E124) - " + std::to_string(first)}));

  const auto file = FileLines(sim);
  ASSERT_EQ(file.size(), 300u);
  EXPECT_TRUE(sim.dir.Read("leaders.hof").starts_with("\xEF\xBB\xBF"));
  // Saved before the reload sorts it: the last group.
  EXPECT_EQ(file[297], "Ann Lee");

  // The next game over takes a name again; an empty one is fine.
  const int second = FinishGame(sim, 1);
  r = sim.Run("hiscore\nhiscore-list\nscore\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 2u);
  const std::string a = "Ann Lee (E124) - " + std::to_string(first);
  const std::string b = " (E126) - " + std::to_string(second);
  EXPECT_EQ(r.out[0], first >= second ? nlohmann::json::array({a, b}) : nlohmann::json::array({b, a}));
  EXPECT_EQ(r.out[1]["name"], "");
}

TEST(SimHiScore, ListIsReadFromTheFileEachTimeItIsShown) {
  SimFixture sim;
  sim.dir.WriteLines("leaders.hof", {"Zed", "5", "10", "Yan", "1", "99", "Xu"});
  const auto lines = sim.One("hiscore-list");
  EXPECT_EQ(lines, nlohmann::json::array({"Yan (E126) - 99", "Zed (E125) - 10"}));
  EXPECT_EQ(sim.session.hiscores.list[2], (core::score{"", 10, 0}));
}

TEST(SimHiScore, TableThatCannotBeWrittenIsAnErrorAndOkStaysEnabled) {
  SimFixture sim;
  std::filesystem::create_directory(sim.dir.path() + "/leaders.hof");
  const int points = FinishGame(sim, 5);
  auto r = sim.Run("hiscore Ann\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("leaders.hof"), std::string::npos) << r.err;
  EXPECT_EQ(sim.session.recorder.errors.size(), 1u);

  std::filesystem::remove(sim.dir.path() + "/leaders.hof");
  r = sim.Run("hiscore Ann\nhiscore-list\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out[0], nlohmann::json::array({"Ann (E125) - " + std::to_string(points)}));
}
