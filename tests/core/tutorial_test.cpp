#include "core/tutorial.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "support/test_data.h"

namespace {

// A colony with a little of everything, so that every value reads something of its own.
core::Game SampleGame() {
  core::Game g;
  g.money = 1200;
  g.day = 7;
  g.food = 50;
  g.prev_food = 62;
  g.energy_out = 30;
  g.energy_use = 31;
  g.population = 40;
  g.pers_needed = 40;
  g.traded = 0;
  g.debt = 5000;
  const auto put = [&](int slot, bool exists, int id) {
    g.placed[static_cast<std::size_t>(slot)].exists = exists;
    g.placed[static_cast<std::size_t>(slot)].id = id;
  };
  put(0, true, 14);
  put(3, true, 14);
  put(9, false, 14);  // demolished: not counted
  put(5, true, 1);
  g.warnings[core::kWarnFood].state = 2;
  g.sel_cell_x = 3;
  g.sel_cell_y = 0;
  return g;
}

TEST(TutorialCondition, ReadsAndEvaluatesAsWritten) {
  const core::Game g = SampleGame();
  core::TutorialFacts f;
  f.camera_moved = 2;
  f.step_days = 1;
  struct Case {
    const char* text;
    bool holds;
  };
  const Case cases[] = {
      {"money > 1199", true},
      {"money > 1200", false},
      {"1200 >= money", true},
      {"food_change = -12", true},
      {"energy_out > energy_use", false},
      {"energy_out < energy_use", true},
      {"population >= personnel_needed", true},
      {"built.14 = 2", true},
      {"built.1 = 1 and built.3 = 0", true},
      {"built.100 != 0", false},
      {"warn.3 = 2 and red_warnings = 1", true},
      {"warn.4 = 0", true},
      {"site_chosen = 1 and selected = 0", true},
      {"camera_moved > 0 and camera_zoomed > 0", false},
      {"traded > 0 or debt > 0", true},
      // "and" binds tighter than "or": (false and true) or true, then true or (true and false)
      {"day = 8 and money > 0 or step_days = 1", true},
      {"day = 7 or money > 0 and day = 9", true},
      {"day = 8 or money > 0 and day = 9", false},
      {"  day   =   7  ", true},
      {"-2147483648 < day", true},
  };
  for (const Case& c : cases) {
    std::string why;
    const auto cond = core::ParseCondition(c.text, &why);
    ASSERT_TRUE(cond) << c.text << ": " << why;
    EXPECT_EQ(core::ConditionHolds(*cond, g, f), c.holds) << c.text;
  }
}

TEST(TutorialCondition, RefusesWhatIsNotACondition) {
  std::string too_long = "day > 0";
  for (std::size_t i = 1; i < core::kMaxConditionTerms; ++i) too_long += " and day > 0";
  ASSERT_TRUE(core::ParseCondition(too_long));
  const std::string bad[] = {
      "", "   ", "day", "day >", "day > 0 and", "day > 0 and or day > 1", "day >> 0", "day => 0",
      "money > cash", "built.101 > 0", "built. > 0", "built.x > 0", "warn.5 = 0", "warn.-1 = 0",
      "day > 0 but day < 3", "day > 2147483648", "(day > 0)", "day>0", too_long + " and day > 0",
  };
  for (const std::string& text : bad) {
    std::string why;
    EXPECT_FALSE(core::ParseCondition(text, &why)) << text;
    EXPECT_FALSE(why.empty()) << text;
  }
}

TEST(TutorialFile, ReadsGoodStepsAndRefusesEachBadLineByFileLineAndValue) {
  testing_support::TempDir dir;
  const std::vector<std::string> good = {
      "# a comment",
      "",
      "560 | none | off | day > 0",
      "  561|button build|on|built.14 > 0 or money < 10  ",
      "562 | cell 17 15 | off | site_chosen = 1",
  };
  dir.WriteLines("t.txt", good);
  const auto steps = core::ReadTutorial(dir.path() + "/t.txt");
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].text, 560);
  EXPECT_EQ(steps[0].mark, core::MarkKind::kNone);
  EXPECT_FALSE(steps[0].events);
  EXPECT_EQ(steps[1].mark, core::MarkKind::kButton);
  EXPECT_EQ(steps[1].button, "build");
  EXPECT_TRUE(steps[1].events);
  EXPECT_EQ(steps[1].goal_text, "built.14 > 0 or money < 10");
  EXPECT_EQ(steps[1].goal.any_of.size(), 2u);
  EXPECT_EQ(steps[2].mark, core::MarkKind::kCell);
  EXPECT_EQ(steps[2].cell_x, 17);
  EXPECT_EQ(steps[2].cell_y, 15);

  const std::string bad_lines[] = {
      "560 | none | off",                      // three fields
      "560 | none | off | day > 0 | x",        // five
      "x | none | off | day > 0",              // no entry
      "10001 | none | off | day > 0",          // past the locale table
      "-1 | none | off | day > 0",
      "560 | button nothing | off | day > 0",  // no such control
      "560 | button | off | day > 0",
      "560 | cell 17 | off | day > 0",
      "560 | cell 1000 0 | off | day > 0",
      "560 | cell -1 0 | off | day > 0",
      "560 | somewhere | off | day > 0",
      "560 | none | yes | day > 0",
      "560 | none | off | day >",
      "560 | none | off | ",
  };
  for (const std::string& line : bad_lines) {
    auto lines = good;
    lines.push_back(line);
    dir.WriteLines("t.txt", lines);
    try {
      core::ReadTutorial(dir.path() + "/t.txt");
      ADD_FAILURE() << "accepted: " << line;
    } catch (const core::DataError& e) {
      EXPECT_EQ(e.line(), 6) << line;
      EXPECT_EQ(e.text(), line);
      EXPECT_NE(std::string(e.what()).find("t.txt"), std::string::npos);
    }
  }

  // No step at all, and more steps than a tutorial may have.
  dir.WriteLines("t.txt", {"# nothing"});
  EXPECT_THROW(core::ReadTutorial(dir.path() + "/t.txt"), core::DataError);
  std::vector<std::string> many(core::kMaxTutorialSteps + 1, "560 | none | off | day > 0");
  dir.WriteLines("t.txt", many);
  EXPECT_THROW(core::ReadTutorial(dir.path() + "/t.txt"), core::DataError);
  many.pop_back();
  dir.WriteLines("t.txt", many);
  EXPECT_EQ(core::ReadTutorial(dir.path() + "/t.txt").size(), core::kMaxTutorialSteps);
}

}  // namespace
