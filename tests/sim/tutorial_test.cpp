// The tutorial played headless on the bundled data: every step reached, held until its
// goal holds and passed by the action its text asks for; steps already done pass at once;
// a save carries the step; and the colony the tutorial leaves gets through two months.
#include <gtest/gtest.h>

#include <sstream>

#include "hud/hud.h"
#include "shell/session.h"
#include "sim/interpreter.h"
#include "support/test_data.h"

namespace {

const std::string kData = QUENMAR_BUILD_DIR;

class TutorialPlay {
 public:
  TutorialPlay() {
    session.SetRecording(true);
    session.StartUp(kData, 1);
  }
  // Runs script lines; every one must succeed.
  void Run(const std::string& script) {
    std::ostringstream out, err;
    sim::Interpreter in(session, out, err);
    sim::RegisterAllCommands(in);
    std::istringstream src(script);
    ASSERT_EQ(in.RunScript(src), 0) << script << "\n" << err.str();
  }
  // The step shown (1-based), 0 when the tutorial is over; as `tutorial` prints it.
  int Step() {
    session.tutorial.Update();
    return session.tutorial.active() ? session.tutorial.step() + 1 : 0;
  }
  testing_support::TempDir dir;
  shell::Session session;
};

// What a player who follows each step's text does (sim commands; build takes the
// construction-list position of the type the text names).
struct StepPlay {
  int step;
  const char* action;
  bool events;  // random events allowed while the step shows
};
const StepPlay kPlay[] = {
    {1, "camera 300 320 60", false},   // drag and wheel
    {2, "cell 16 15", false},          // the marked site
    {3, "build 15", false},            // Solar Array
    {4, "build 1", false},             // Hydroponic Farm
    {5, "build 3\nbuild 5", false},    // Habitat Module, Recreation Hall
    {6, "day 2", false},               // workers arrive
    {7, "build 17\nbuild 10", false},  // Mining Rig, Fabricator Workshop
    {8, "buy food 20", false},
    {9, "credit 10000", false},
    {10, "day 2", false},              // the warnings read
    {11, "build 8", true},             // Garrison
    {12, "save SAVE\nload SAVE", true},
    {13, "day 10", true},              // free play, then the panel goes
};

TEST(Tutorial, EveryStepWaitsForItsGoalAndPassesOnTheActionItsTextAsks) {
  TutorialPlay t;
  t.Run("tutorial start");
  ASSERT_EQ(t.session.tutorial.size(), std::size(kPlay));
  EXPECT_EQ(t.session.game.level, 10);
  const std::string save = t.dir.path() + "/t.qsave";
  for (const StepPlay& p : kPlay) {
    SCOPED_TRACE(p.action);
    ASSERT_EQ(t.Step(), p.step);
    EXPECT_EQ(t.session.game.events_enabled, p.events);
    // A day passing alone does not pass a step that asks for something else.
    if (p.step != 6 && p.step != 10 && p.step != 13) {
      t.Run("day 1");
      ASSERT_EQ(t.Step(), p.step);
    }
    std::string action = p.action;
    for (auto at = action.find("SAVE"); at != std::string::npos; at = action.find("SAVE")) action.replace(at, 4, save);
    t.Run(action);
    ASSERT_EQ(t.Step(), p.step + 1 == static_cast<int>(std::size(kPlay)) + 1 ? 0 : p.step + 1);
  }
  // The tutorial is over and the game a normal one.
  EXPECT_FALSE(t.session.tutorial.active());
  EXPECT_TRUE(t.session.game.events_enabled);
  EXPECT_FALSE(t.session.game.game_over);

  // The colony it leaves, with the bank the last step names, the second farm the food
  // light asks for and its products sold, gets through two months without one ending in
  // the red.
  t.Run("build 20\nbuild 1");
  while (t.session.game.history.days().size() < 60 && !t.session.game.game_over) t.Run("day 1\nsell products 5");
  EXPECT_FALSE(t.session.game.game_over);
  for (const auto& d : t.session.game.history.days()) {
    if (d.day % 30 == 0) {
      EXPECT_GE(d.money, 0) << "day " << d.day;
    }
  }
}

TEST(Tutorial, StepsDoneAheadPassAtOnceAndTheStepGoesOnAfterALoad) {
  TutorialPlay t;
  // Ahead of the tutorial: the camera moved, a reactor and a farm built before the site.
  t.Run("tutorial start\ncamera 280 300 70\nbuild 15\nbuild 1");
  EXPECT_EQ(t.Step(), 2);
  t.Run("cell 16 15");
  EXPECT_EQ(t.Step(), 5);

  // The step is saved with the game and comes back with it.
  const std::string save = t.dir.path() + "/a.qsave";
  t.Run("save " + save);
  t.Run("build 3\nbuild 5");
  EXPECT_EQ(t.Step(), 6);
  t.Run("load " + save);
  EXPECT_EQ(t.Step(), 5);

  // A game started otherwise, or a load of a save without a tutorial, ends it; so does Skip,
  // leaving a normal game with its events.
  t.Run("new 10\nsave " + t.dir.path() + "/plain.qsave\ntutorial start");
  EXPECT_EQ(t.Step(), 1);
  t.Run("load " + t.dir.path() + "/plain.qsave");
  EXPECT_EQ(t.Step(), 0);
  t.Run("tutorial start\ntutorial skip");
  EXPECT_EQ(t.Step(), 0);
  EXPECT_TRUE(t.session.game.events_enabled);
  EXPECT_TRUE(t.session.game.game_running);

  // A trade of the game played before, in the same month, is no trade of the tutorial's:
  // the trade step waits for one of its own.
  t.Run("new 10\nday 1\nbuy food 20\ntutorial start");
  ASSERT_GT(t.session.game.traded, 0);
  t.session.tutorial.Adopt(t.session.tutorial.ReadSteps(), 7, {});
  EXPECT_EQ(t.Step(), 8);
  t.Run("buy food 10");
  EXPECT_EQ(t.Step(), 9);
}

}  // namespace

namespace {

TEST(Tutorial, HudPanelFramesTheStepsControlAndItsSkipEndsTheTutorialWithoutAPick) {
  TutorialPlay t;
  t.Run("view 1008 709\ntutorial start\nframes 3");
  const hud::HudObjects& o = t.session.world.hud().objects();
  ASSERT_TRUE(o.tutorial_bg && o.tutorial_text && o.tutorial_skip_bg);
  EXPECT_TRUE(o.tutorial_bg->visible());
  EXPECT_NE(o.tutorial_text->text().find(t.session.game.Loc(560).substr(0, 20)), std::string::npos);
  // The frame lies around the three camera buttons (step 1 marks them).
  const auto& cam = t.session.world.hud().buttons()[hud::kCamDown];
  ASSERT_TRUE(o.tutorial_mark[0]->visible());
  EXPECT_LT(o.tutorial_mark[2]->position().x, cam.rx - cam.width / 2);
  EXPECT_LT(o.tutorial_mark[0]->position().y, cam.ry - cam.height / 2);

  // At the smallest view the game window allows, the panel still lies inside it.
  t.Run("view 434 370\nframes 2");
  const scene::HUDSprite& bg = *o.tutorial_bg;
  EXPECT_GE(bg.position().x - bg.width() / 2, 0.0f);
  EXPECT_LE(bg.position().x + bg.width() / 2, 434.0f);
  EXPECT_LE(bg.position().y + bg.height() / 2, 370.0f);
  // A text without blanks (Chinese) wraps between its characters, inside the panel too.
  std::string chinese;
  for (int i = 0; i < 80; ++i) chinese += "殖民";
  t.session.game.locale_table[560] = chinese;
  t.Run("frames 2");
  const std::string& shown = o.tutorial_text->text();
  std::size_t widest = 0, from = 0;
  for (std::size_t nl = shown.find('\n');; nl = shown.find('\n', from)) {
    widest = std::max(widest, hud::Columns(std::string_view(shown).substr(from, nl == std::string::npos ? nl : nl - from)));
    if (nl == std::string::npos) break;
    from = nl + 1;
  }
  EXPECT_LE(static_cast<double>(widest) * 8, bg.width()) << shown;
  EXPECT_LE(bg.position().y + bg.height() / 2, 370.0f);
  t.Run("view 1008 709\nframes 2");

  // A click on Skip belongs to the panel: the tutorial ends, no site is chosen under it.
  const int x = static_cast<int>(o.tutorial_skip_bg->position().x);
  const int y = static_cast<int>(o.tutorial_skip_bg->position().y);
  const int32_t cell_x = t.session.game.sel_cell_x;
  t.Run("pointer move " + std::to_string(x) + " " + std::to_string(y) + "\npointer down " + std::to_string(x) + " " +
        std::to_string(y) + "\npointer up " + std::to_string(x) + " " + std::to_string(y) + "\nframes 2");
  EXPECT_FALSE(t.session.tutorial.active());
  EXPECT_EQ(t.session.game.sel_cell_x, cell_x);
  EXPECT_FALSE(o.tutorial_bg->visible());
  EXPECT_FALSE(o.tutorial_skip_bg->visible());
}

}  // namespace
