#include "shell/session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presentation/fixture.h"
#include "support/test_data.h"

namespace {

// The start-up sequence of a session: the loading texts in order, the window's events let
// run while loading, the scene built and the clocks on at the end.
TEST(Session, StartUpRunsTheLoadingStepsAndSwitchesTheClocksOn) {
  testing_support::TempDir dir;
  testing_support::WriteMinimalData(dir, {{1, testing_support::PlainType(1)}});
  presentation_test::WriteTextures(dir, {"terrain_0.tga", "bldg_1.tga"});
  shell::Session s;
  std::vector<std::string> seen;
  s.StartUp(dir.path(), 7, {.process_events = [&] { seen.push_back(s.game.load_status); }});
  EXPECT_EQ(s.game.load_status, "Done loading");
  EXPECT_FALSE(s.game.loading);
  EXPECT_TRUE(s.world.day_clock().enabled());
  EXPECT_TRUE(s.world.frame_clock().enabled());
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), "Loading terrain... (1)");
  // Throttled: far fewer than the some 2,300 progress updates.
  EXPECT_LT(seen.size(), 200u);
  EXPECT_EQ(s.world.scene().matlib.Find("m_bldg_1_off")->texture.image_file,
            dir.path() + "/Textures/bldg_1.tga");
  EXPECT_NE(s.world.objects().terrain_tiles[1000], nullptr);
  EXPECT_EQ(s.game.traffic, &s.traffic);
}

// What the windows are told, with and without the recorder in front: messages are recorded
// and still reach the windows; questions and error boxes never do under automation.
class WindowsSpy : public core::Host {
 public:
  void ShowInfoMessage(int kind, const std::string& text) override { shown.push_back(std::to_string(kind) + text); }
  bool Confirm(const std::string& text) override {
    asked.push_back(text);
    return false;
  }
  void ErrorBox(const std::string& text) override { errors.push_back(text); }
  void ShowHighScores(bool accept_entry) override { high_scores.push_back(accept_entry); }
  std::vector<std::string> shown, asked, errors;
  std::vector<bool> high_scores;
};

TEST(Session, TheHostRoutesToTheWindowsAndTheRecorderAnswersInFront) {
  shell::Session s;
  WindowsSpy windows;
  s.SetWindows(&windows);
  core::Host& h = *s.game.host;
  h.ShowInfoMessage(3, "hello");
  EXPECT_FALSE(h.Confirm("sure?"));
  h.ErrorBox("bad");
  s.game.score_entry = {"", 10, 500};
  h.ShowHighScores(true);
  EXPECT_EQ(windows.shown, (std::vector<std::string>{"3hello"}));
  EXPECT_EQ(windows.asked, (std::vector<std::string>{"sure?"}));
  EXPECT_EQ(windows.errors, (std::vector<std::string>{"bad"}));
  EXPECT_EQ(windows.high_scores, (std::vector<bool>{true}));
  // The table was brought up to date for the window: OK now waits for a name.
  EXPECT_FALSE(s.hiscores.accepted);

  s.SetRecording(true);
  ASSERT_TRUE(s.recording());
  core::Host& r = *s.game.host;
  r.ShowInfoMessage(0, "briefing");
  EXPECT_TRUE(r.Confirm("demolish?"));
  r.ErrorBox("worse");
  EXPECT_EQ(windows.shown.back(), "0briefing");
  EXPECT_EQ(windows.asked.size(), 1u);
  EXPECT_EQ(windows.errors.size(), 1u);
  ASSERT_EQ(s.recorder.messages.size(), 1u);
  EXPECT_EQ(s.recorder.messages[0].text, "briefing");
  EXPECT_EQ(s.recorder.questions, (std::vector<std::string>{"demolish?"}));
  EXPECT_EQ(s.recorder.errors, (std::vector<std::string>{"worse"}));

  s.SetWindows(nullptr);
  s.SetRecording(false);
  s.game.host->ShowInfoMessage(3, "nobody listens");  // and nothing breaks
  EXPECT_EQ(windows.shown.size(), 2u);
}

}  // namespace
