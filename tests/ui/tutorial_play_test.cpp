// The tutorial played as a newcomer plays it: from the launcher's Tutorial button, every step
// done with real clicks and keys where the HUD (or the side panel) puts the control the step's
// text names, the step read back after each action. Days pass by the console only where a
// step waits for them; the clock is paused with Space so that nothing else moves on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game_console.h"

namespace {

using testing_support::TempDir;
using namespace ui_test;

// The state's fields a failed step is told by.
std::string Brief(const Json& s) {
  Json b;
  for (const char* k : {"money", "food", "traded", "trade_cap", "debt", "trade_panel", "credit_panel", "build_panel",
                        "msg_panel", "hud_trade_goods", "hud_trade_amt", "constr_choice", "cat_scroll", "sel_cell_x",
                        "sel_cell_y", "day"})
    if (s.is_object() && s.contains(k)) b[k] = s[k];
  return b.dump();
}

// The launcher's Tutorial button, clicked once the launcher has loaded; the game window's
// view once it draws.
Json StartFromTheLauncher(Game& game) {
  const Json all = game.Until("windows", [](const Json& j) { return FindWindow(j, "launcher")["visible"] == true; });
  const Json launcher = FindWindow(all, "launcher");
  EXPECT_TRUE(launcher.is_object()) << game.Errors();
  if (!launcher.is_object()) return nullptr;
  game.Until("state", [](const Json& j) { return j["loading"] == false; });
  QThread::msleep(400);  // the buttons enable on the launcher's next tick
  Click(QPoint(launcher["x"].get<int>() + 251 + 37, launcher["y"].get<int>() + 150 + 11));
  game.Until("windows", [](const Json& j) { return FindWindow(j, "main")["visible"] == true; });
  return game.Until("window", [](const Json& j) { return j["frames"].get<int>() > 2; });
}

// Plays in the HUD: every click lands where the HUD's table has put the button.
class HudPlayer {
 public:
  HudPlayer(Game& game, const Json& view)
      : game_(game), origin_(view["x"].get<int>(), view["y"].get<int>()), w_(view["width"]), h_(view["height"]) {}

  // The button of `slot`, once it shows.
  void Press(int slot, const std::function<bool(const Json&)>& done) {
    QPoint at;
    game_.Until("hud", [&](const Json& j) {
      for (const auto& b : j["buttons"]) {
        if (b["slot"] == slot && b["visible"] == true)
          at = PointOf(b, "rx", "ry");
      }
      return !at.isNull();
    });
    ASSERT_FALSE(at.isNull()) << "no button in slot " << slot;
    Click(origin_ + at);
    const Json s = game_.Until("state", done);
    EXPECT_TRUE(done(s)) << "slot " << slot << " at " << at.x() << ", " << at.y() << ": " << Brief(s);
  }
  // A click on the view where cell (x, y) shows; true when it chose that site.
  bool ChooseSite(int x, int y) {
    const Json p = game_.Ask("where " + std::to_string(x) + " " + std::to_string(y));
    if (p["on_view"] != true) return false;
    const QPoint at = PointOf(p);
    // Clear of the tutorial's panel at the top and the HUD along the edges.
    if (at.x() < 80 || at.x() > w_ - 80 || at.y() < 280 || at.y() > h_ - 260) return false;
    Click(origin_ + at);
    const Json s = game_.Until("state", [&](const Json& j) { return j["sel_cell_x"] == x && j["sel_cell_y"] == y; });
    return s["sel_cell_x"] == x && s["sel_cell_y"] == y && s["build_panel"] == true;
  }
  // The construction-list position of the type the step's text names.
  int TypeNamed(const std::string& name) {
    const Json c = game_.Ask("catalog");
    int k = 0;
    for (const auto& e : c["entries"]) {
      if (e["name"] == name) return k;
      ++k;
    }
    ADD_FAILURE() << "no type named " << name;
    return -1;
  }
  // Builds the named type on a free site near the camera, as a player does: a click on the
  // ground, the catalog scrolled until the type shows, a click on it and on Build.
  void Build(const std::string& name) {
    SCOPED_TRACE(name);
    const int type = TypeNamed(name);
    ASSERT_GE(type, 0);
    // The camera comes to rest over the last building first.
    Json s = game_.Ask("state");
    QThread::msleep(800);
    s = game_.Ask("state");
    const int cx = (s["cam_target_x"].get<int>() + 10) / 20, cy = (s["cam_target_y"].get<int>() + 10) / 20;
    bool chosen = false;
    for (int r = 1; r <= 4 && !chosen; ++r)
      for (int dy = -r; dy <= r && !chosen; ++dy)
        for (int dx = -r; dx <= r && !chosen; ++dx) {
          if (std::max(std::abs(dx), std::abs(dy)) != r || Taken(cx + dx, cy + dy)) continue;
          chosen = ChooseSite(cx + dx, cy + dy);
        }
    ASSERT_TRUE(chosen) << "no free site near " << cx << ", " << cy;
    for (int i = 0; i < 10; ++i) {
      s = game_.Ask("state");
      const int scroll = s["cat_scroll"];
      if (type >= scroll && type < scroll + 10) break;
      Press(type < scroll ? 0 : 1, [scroll](const Json& j) { return j["cat_scroll"] != scroll; });
    }
    const int scroll = game_.Ask("state")["cat_scroll"];
    Press(2 + type - scroll, [type](const Json& j) { return j["constr_choice"] == type; });
    const int count = Placed();
    QThread::msleep(200);  // Build stands under the picture from the next frame on
    Press(12, [](const Json&) { return true; });
    EXPECT_EQ(game_.Until("placed", [count](const Json& j) { return static_cast<int>(j.size()) > count; }).size(),
              static_cast<std::size_t>(count + 1));
  }
  QPoint origin() const { return origin_; }

 private:
  bool Taken(int x, int y) {
    for (const auto& b : game_.Ask("placed"))
      if (b["x"] == x && b["y"] == y) return true;
    return false;
  }
  int Placed() { return static_cast<int>(game_.Ask("placed").size()); }
  Game& game_;
  QPoint origin_;
  int w_, h_;
};

// Lets days pass one by one, as the paused player would by letting the clock run, until the
// step moves on (a step waiting for days asks at most a few).
void DaysUntilNext(Game& game, int step) {
  for (int d = 0; d < 20 && game.Step() == step; ++d) game.Ask("day 1\nstate");
}

// The tutorial's answer once the marker on the view has come to rest with the camera.
Json SettledMark(Game& game) {
  Json t, before;
  for (int i = 0; i < 100 && (!t.is_object() || t["mark_at"].is_null() || t["mark_at"] != before["mark_at"]); ++i) {
    before = t;
    QThread::msleep(100);
    t = game.Ask("tutorial");
  }
  return t;
}

class TutorialPlay : public ::testing::Test {
 protected:
  void SetUp() override { CopyGameData(dir); }
  TempDir dir;
};

TEST_F(TutorialPlay, EveryStepByClicksAndKeysInTheHud) {
  Game game(dir);
  const Json view = StartFromTheLauncher(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  ASSERT_EQ(game.Step(), 1);
  HudPlayer hud(game, view);
  const int w = view["width"], h = view["height"];
  const QPoint middle = hud.origin() + QPoint(w / 2, h / 2 + 60);

  // The briefing's OK, then Space: the player's pause.
  if (game.Ask("state")["msg_panel"] == true) hud.Press(51, [](const Json& j) { return j["msg_panel"] == false; });
  Xdo({"mousemove", QString::number(middle.x()), QString::number(middle.y())});
  Key("space");
  ASSERT_EQ(game.Until("window", [](const Json& j) { return j["paused"] == true; })["paused"], true);

  // 1: drag the ground with the right button held (a left drag would end in a pick and
  // choose a site before the lesson asks for it), turn the wheel.
  Xdo({"mousemove", QString::number(middle.x()), QString::number(middle.y()), "mousedown", "3"});
  for (int i = 1; i <= 6; ++i) {
    Xdo({"mousemove", QString::number(middle.x() - 6 * i), QString::number(middle.y() - 4 * i)});
    QThread::msleep(30);
  }
  Xdo({"mouseup", "3"});
  EXPECT_EQ(game.Step(), 1) << "a drag alone is half the step";
  Xdo({"click", "5"});
  ASSERT_EQ(game.WaitStep(2), 2);

  // 2: the marked site, brought into view wherever the drag left the camera.
  Json t = SettledMark(game);
  ASSERT_TRUE(t["mark_at"].is_object()) << "the site is marked on the view: " << t.dump();
  Click(hud.origin() + PointOf(t["mark_at"]));
  ASSERT_EQ(game.WaitStep(3), 3) << t.dump();
  EXPECT_EQ(game.Ask("state")["build_panel"], true) << "the construction panel opened";

  // 3 to 5: buildings, each on a site of its own.
  struct Building {
    int step;
    std::vector<std::string> types;
  };
  auto build = [&](const Building& b) {
    for (std::size_t i = 0; i < b.types.size(); ++i) {
      hud.Build(b.types[i]);
      if (i + 1 < b.types.size()) {
        EXPECT_EQ(game.Step(), b.step) << "half of the step";
      }
    }
    EXPECT_EQ(game.WaitStep(b.step + 1), b.step + 1);
  };
  // Step 3 names the site chosen already: its panel is open.
  {
    const int type = hud.TypeNamed("Solar Array");
    for (int i = 0; i < 10; ++i) {
      const int scroll = game.Ask("state")["cat_scroll"];
      if (type >= scroll && type < scroll + 10) break;
      hud.Press(1, [scroll](const Json& j) { return j["cat_scroll"] != scroll; });
    }
    const int scroll = game.Ask("state")["cat_scroll"];
    hud.Press(2 + type - scroll, [type](const Json& j) { return j["constr_choice"] == type; });
    QThread::msleep(200);
    hud.Press(12, [](const Json&) { return true; });
    ASSERT_EQ(game.WaitStep(4), 4);
  }
  build({4, {"Hydroponic Farm"}});
  build({5, {"Habitat Module", "Recreation Hall"}});
  ASSERT_EQ(game.Step(), 6);

  // 6: days pass and workers come.
  DaysUntilNext(game, 6);
  ASSERT_EQ(game.Step(), 7);
  build({7, {"Mining Rig", "Fabricator Workshop"}});
  ASSERT_EQ(game.Step(), 8);

  // 8: the trade panel: food, an amount within the month's quota, Buy.
  hud.Press(49, [](const Json& j) { return j["trade_panel"] == true; });
  hud.Press(37, [](const Json& j) { return j["hud_trade_goods"] == 1; });
  const int amount = game.Ask("state")["hud_trade_amt"];
  hud.Press(43, [amount](const Json& j) { return j["hud_trade_amt"] != amount; });
  EXPECT_EQ(game.Step(), 8);
  const int food = game.Ask("state")["food"];
  hud.Press(40, [food](const Json& j) { return j["food"] != food; });
  ASSERT_EQ(game.WaitStep(9), 9);

  // 9: the credit panel, Take.
  hud.Press(50, [](const Json& j) { return j["credit_panel"] == true; });
  EXPECT_EQ(game.Step(), 9);
  hud.Press(45, [](const Json& j) { return j["debt"] != 0; });
  ASSERT_EQ(game.WaitStep(10), 10);

  // 10: two days with no light red.
  DaysUntilNext(game, 10);
  ASSERT_EQ(game.Step(), 11);
  t = game.Ask("tutorial");
  EXPECT_EQ(t["events"], true) << "events from here on";

  // 11: a Garrison.
  build({11, {"Garrison"}});
  ASSERT_EQ(game.Step(), 12);

  // 12: F5 saves, F9 loads; the loaded game goes on at the step.
  Xdo({"mousemove", QString::number(middle.x()), QString::number(middle.y())});
  Key("F5");
  game.Until("tutorial", [](const Json& j) { return j["saves"].get<int>() > 0; });
  EXPECT_EQ(game.Step(), 12);
  Key("F9");
  ASSERT_EQ(game.WaitStep(13), 13);

  // 13: free play; the panel goes after some days.
  DaysUntilNext(game, 13);
  EXPECT_EQ(game.Step(), 0);
  const Json s = game.Ask("state");
  EXPECT_EQ(s["game_over"], false);
  EXPECT_EQ(game.Quit(), 0);
}

// In side-panel mode, in the smallest window the game allows, the same lessons start through
// the Qt controls: the site on the view, the type from the list, Build (the panel keeps clear
// of the control its step asks for); Skip then leaves a normal game.
TEST_F(TutorialPlay, TheFirstStepsWithTheSidePanelsInTheSmallestWindowThenSkip) {
  Game game(dir);
  const Json view = StartFromTheLauncher(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  HudPlayer hud(game, view);
  if (game.Ask("state")["msg_panel"] == true) hud.Press(51, [](const Json& j) { return j["msg_panel"] == false; });
  const QPoint mid = hud.origin() + QPoint(view["width"].get<int>() / 2, view["height"].get<int>() / 2 + 60);
  Xdo({"mousemove", QString::number(mid.x()), QString::number(mid.y())});
  Key("h");
  ASSERT_EQ(game.Until("state", [](const Json& j) { return j["hud_mode"] == false; })["hud_mode"], false);
  Key("space");
  ASSERT_EQ(game.Until("window", [](const Json& j) { return j["paused"] == true; })["paused"], true);
  // Shrunk as far as it goes: the window's least width leaves the view 64 pixels.
  const Json main = FindWindow(game.Ask("windows"), "main");
  Xdo({"windowsize", QString::number(main["id"].get<uint64_t>()), "498", "400"});
  const Json v = game.Until("window", [](const Json& j) { return j["width"] == 64; });
  ASSERT_EQ(v["width"], 64) << v.dump();
  QThread::msleep(500);  // the panels laid out anew
  const QPoint origin(v["x"].get<int>(), v["y"].get<int>());
  const QPoint middle = origin + QPoint(v["width"].get<int>() / 2, v["height"].get<int>() / 2 + 60);
  EXPECT_EQ(game.Until("widget tutorial_panel", [](const Json& j) { return j["visible"] == true; })["visible"], true);

  // 1: a drag with the right button, then the wheel (the step passes on the wheel, so no
  // drag goes on moving the camera once the next step has brought the site into view).
  Xdo({"mousemove", QString::number(middle.x()), QString::number(middle.y()), "mousedown", "3"});
  for (int i = 1; i <= 6; ++i) {
    Xdo({"mousemove", QString::number(middle.x() + 5 * i), QString::number(middle.y() + 3 * i)});
    QThread::msleep(30);
  }
  Xdo({"mouseup", "3"});
  EXPECT_EQ(game.Step(), 1);
  Xdo({"click", "4"});
  ASSERT_EQ(game.WaitStep(2), 2);

  // 2: the marked site, on the smaller view.
  const Json t = SettledMark(game);
  ASSERT_TRUE(t["mark_at"].is_object()) << t.dump();
  Click(origin + PointOf(t["mark_at"]));
  ASSERT_EQ(game.WaitStep(3), 3);

  // 3: the list opened by a click, the type typed, Build pressed.
  const int low = v["y"].get<int>() + 200;
  const Json panel = game.Until("widget tutorial_panel", [low](const Json& j) { return j["y"].get<int>() > low; });
  EXPECT_GT(panel["y"].get<int>(), low) << "the panel went down, clear of the construction controls";
  const Json types = game.Ask("widget types");
  ASSERT_EQ(types["visible"], true);
  Click(PointOf(types));
  QThread::msleep(400);
  Xdo({"type", "--delay", "40", "Solar"});
  Key("Return");
  EXPECT_EQ(game.Until("widget types", [](const Json& j) { return j["text"] == "Solar Array"; })["text"], "Solar Array");
  EXPECT_EQ(game.Step(), 3);
  // The frame stands around the Build button the step names.
  const Json build = game.Ask("widget build");
  const Json mark = game.Until("widget tutorial_mark", [&](const Json& j) {
    return j["visible"] == true && std::abs(j["x"].get<int>() - build["x"].get<int>()) <= 2 &&
           std::abs(j["y"].get<int>() - build["y"].get<int>()) <= 2;
  });
  EXPECT_EQ(mark["visible"], true) << mark.dump() << " around " << build.dump();
  Click(PointOf(build));
  ASSERT_EQ(game.WaitStep(4), 4);

  // Skip: a normal game, its events back, the panel gone.
  const Json skip = game.Ask("widget tutorial_skip");
  ASSERT_EQ(skip["visible"], true);
  Click(PointOf(skip));
  EXPECT_EQ(game.WaitStep(0), 0);
  EXPECT_EQ(game.Until("widget tutorial_panel", [](const Json& j) { return j["visible"] == false; })["visible"], false);
  EXPECT_EQ(game.Ask("state")["game_running"], true);
  EXPECT_EQ(game.Quit(), 0);
}

}  // namespace
