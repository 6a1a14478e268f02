// Every number explains itself: the real pointer rests on each number of the HUD's
// information bar, and on each line of the side panel's colony data, and the tip that comes
// up names what that number is and shows the same value.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "game_console.h"

namespace {

using testing_support::TempDir;
using namespace ui_test;

// A colony whose numbers are told apart: each value of its own, a credit and research so that
// their lines show; the player's pause holds it still.
const char* kScript =
    "new 10\n"
    "events off\n"
    "menu speed_pause\n"
    "set msg_panel 0\n"
    "set money 12345\n"
    "set food 777\n"
    "set raw 31\n"
    "set products 42\n"
    "set debt 5000\n"
    "set science_pts 3\n";

// The first whole number in a text, as written.
std::string FirstNumber(const std::string& s) {
  const auto at = s.find_first_of("-0123456789");
  if (at == std::string::npos) return {};
  return s.substr(at, s.find_first_not_of("0123456789", at + 1) - at);
}

// The tip that comes up while the pointer rests at `p`, once its first line starts with
// `name` (or the last one seen).
std::string RestOn(Game& game, QPoint p, const std::string& name, bool hud) {
  Xdo({"mousemove", QString::number(p.x()), QString::number(p.y())});
  std::string tip;
  for (int i = 0; i < 80 && tip.rfind(name + ": ", 0) != 0; ++i) {
    QThread::msleep(50);
    const Json t = hud ? game.Ask("hud")["tooltip_text"] : game.Ask("tooltip");
    tip = t["visible"] == true ? t["text"].get<std::string>() : "";
  }
  return tip.substr(0, tip.find('\n'));
}

TEST(AdvisorTips, EveryBarNumberAndColonyLineNamesItselfWithItsValue) {
  TempDir dir;
  CopyGameData(dir);
  dir.Write("tips.script", kScript);
  Game game(dir, {"--seed", "7", "--script", QString::fromStdString(dir.path() + "/tips.script")});
  Json view = game.Until("window", [](const Json& j) { return j["frames"].get<int>() > 2; });
  ASSERT_TRUE(view.is_object()) << game.Errors();

  // The information bar, left to right as it is filled; what its picture stands for.
  const char* const kBar[] = {"Money", "Population", "Food", "Energy", "Raw materials", "Products",
                              "Trade quota", "Wages due", "Day of the month", "Science", "Military strength"};
  const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
  const Json hud = game.Ask("hud");
  ASSERT_EQ(hud["info"].size(), 21u);
  int shown = 0;
  for (std::size_t k = 0; k < std::size(kBar); ++k) {
    const Json& text = hud["info"][k]["text"];
    SCOPED_TRACE(std::string(kBar[k]) + " " + text.dump());
    ASSERT_EQ(text["visible"], true);
    ++shown;
    // On the number itself, a little into its first character.
    const std::string tip = RestOn(game, origin + PointOf(text) + QPoint(4, 6), kBar[k], true);
    EXPECT_EQ(tip.rfind(std::string(kBar[k]) + ": ", 0), 0u) << tip;
    EXPECT_EQ(FirstNumber(tip), FirstNumber(text["text"])) << tip;
  }
  EXPECT_EQ(shown, 11);

  // The colony data with the side panels: each line by its label.
  const std::map<std::string, std::string> kLines = {
      {"Money", "Money"},
      {"Income/expenses today", "Money"},
      {"Income/expenses in total", "Money"},
      {"Population", "Population"},
      {"Population/living space", "Living space"},
      {"Personnel needed", "Personnel needed"},
      {"Attraction", "Attraction"},
      {"Energy use/output", "Energy"},
      {"Food", "Food"},
      {"Raw materials", "Raw materials"},
      {"Products", "Products"},
      {"Goods stored/capacity", "Storage"},
      {"Traded this month/quota", "Trade quota"},
      {"Military strength", "Military strength"},
      {"Wages due at month end", "Wages due"},
      {"Credit installment/debt", "Credit"},
      {"Day", "Day of the month"},
      {"Research progress", "Science"},
  };
  const Json main = FindWindow(game.Ask("windows"), "main");
  Xdo({"windowfocus", "--sync", QString::number(main["id"].get<uint64_t>())});
  Key("h");
  ASSERT_EQ(game.Until("state", [](const Json& j) { return j["hud_mode"] == false; })["hud_mode"], false);
  QThread::msleep(500);
  // The box scrolls: the lines in view, then the wheel over it, until every line was rested on.
  std::map<std::string, bool> seen;
  for (int page = 0; page < 8 && seen.size() < kLines.size(); ++page) {
    const Json colony = game.Ask("widget colony");
    ASSERT_TRUE(colony["lines"].is_array()) << colony.dump();
    for (const Json& line : colony["lines"]) {
      const std::string text = line["text"];
      const std::string label = text.substr(0, text.find(':'));
      if (seen.count(label)) continue;
      SCOPED_TRACE(text);
      const auto want = kLines.find(label);
      ASSERT_NE(want, kLines.end()) << "a colony line the table lacks";
      const std::string tip = RestOn(game, PointOf(line), want->second, false);
      EXPECT_EQ(tip.rfind(want->second + ": ", 0), 0u) << tip;
      // The value the line shows first, but for the day's and the game's sums of money.
      if (want->second != "Money" || label == "Money") {
        EXPECT_EQ(FirstNumber(tip), FirstNumber(text.substr(label.size()))) << tip;
      }
      seen[label] = true;
    }
    Xdo({"mousemove", QString::number(colony["x"].get<int>()), QString::number(colony["y"].get<int>()), "click", "5",
         "click", "5", "click", "5"});
    QThread::msleep(300);
  }
  EXPECT_EQ(seen.size(), kLines.size());
  EXPECT_EQ(game.Quit(), 0);
}

}  // namespace
