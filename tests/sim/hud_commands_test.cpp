// The HUD's test hooks: `state` names the HUD's own state, `hud` shows every button and
// overlay text as the frame loop left them, `pointer` and `view` play the 3D view headless.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/sim_support.h"

namespace {

TEST(HudCommands, ABriefingDismissedWithThePointerAtTheOkButton) {
  testing_support::SimFixture sim;
  const auto r = sim.Run("new 10\nview 1200 900\nframes 2\nhud\npointer move 600 565\npointer down 600 565\n"
                         "pointer up 600 565\nframes 1\nstate\nhud\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 3u);
  // The briefing waits on the panel: OK (slot 51) centred at (W/2, H/2 + 115).
  const auto& before = r.out[0];
  const auto& ok = before["buttons"][51];
  EXPECT_EQ(ok["slot"], 51);
  EXPECT_EQ(ok["rx"], 600.0);
  EXPECT_EQ(ok["ry"], 565.0);
  EXPECT_EQ(ok["visible"], true);
  EXPECT_EQ(ok["caption"], "OK");
  EXPECT_EQ(ok["material"], "m_but_0");
  EXPECT_EQ(before["msg_text"]["visible"], true);
  EXPECT_EQ(before["msg_pic"]["material"], "m_pic_0");
  EXPECT_EQ(before["buttons"].size(), 56u);
  EXPECT_EQ(before["days_left_text"]["y"], 870.0);
  // Dismissed: the panel is gone, the button pressed until the pointer leaves it.
  const auto& s = r.out[1];
  EXPECT_EQ(s["msg_panel"], false);
  EXPECT_EQ(s["msg_kind"], 0);
  EXPECT_EQ(s["over_hud"], true);
  for (const char* name : {"cat_scroll", "list_scroll", "hud_trade_goods", "hud_trade_amt", "hud_credit_amt",
                           "stats_panel"})
    EXPECT_TRUE(s.contains(name)) << name;
  EXPECT_EQ(s["hud_trade_amt"], 50);
  EXPECT_EQ(r.out[2]["buttons"][51]["visible"], false);
  EXPECT_EQ(r.out[2]["msg_text"]["visible"], false);
}

// The information bar is in place from the first frame of every game, the first after
// start-up and one begun over a running game alike: no icon is drawn at the corner (over the
// Trade button), each sits on a row of the bar, and the second frame moves none of them.
TEST(HudCommands, TheInformationBarIsLaidOutOnTheFirstFrameOfEveryGame) {
  testing_support::SimFixture sim;
  // Frames run behind the launcher before the first game, as in the window.
  const auto r = sim.Run("view 1200 900\nframes 1\nnew 10\nframes 1\nhud\nframes 1\nhud\n"
                         "new 20\nframes 1\nhud\nframes 1\nhud\nset science_pts 3\nframes 1\nhud\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 5u);
  // A block that turns visible mid-game (the first science point) is placed the frame it shows.
  const auto& science = r.out[4]["info"][9]["icon"];
  EXPECT_TRUE(science["visible"].get<bool>());
  EXPECT_GT(science["y"].get<double>(), 0.0);
  for (size_t game = 0; game < 2; ++game) {
    const auto& first = r.out[2 * game]["info"];
    const auto& second = r.out[2 * game + 1]["info"];
    int shown = 0;
    double last_x = 0, last_y = 0;
    for (size_t i = 0; i < first.size(); ++i) {
      const auto& icon = first[i]["icon"];
      if (!icon["visible"].get<bool>()) continue;
      ++shown;
      const double x = icon["x"].get<double>(), y = icon["y"].get<double>();
      EXPECT_GT(y, 0.0) << "game " << game << " block " << i;
      EXPECT_EQ(std::fmod(y, 25.0), 0.0) << "game " << game << " block " << i;
      EXPECT_TRUE(y > last_y || x > last_x) << "game " << game << " block " << i;
      last_x = x;
      last_y = y;
      EXPECT_EQ(icon["x"], second[i]["icon"]["x"]) << "game " << game << " block " << i;
      EXPECT_EQ(icon["y"], second[i]["icon"]["y"]) << "game " << game << " block " << i;
    }
    EXPECT_GE(shown, 10) << "game " << game;
  }
}

// Leaving the view ends the hover: a tooltip showing goes, one still waiting never comes,
// and the button the pointer left shows its plain face.
TEST(HudCommands, LeavingTheViewEndsTheHoverAndItsTooltip) {
  testing_support::SimFixture sim;
  // Slot 2, the first type of the caption-less column at the left edge of a 1200 x 900 view.
  const auto r = sim.Run("view 1200 900\nframes 1\nnew 10\nset msg_panel 0\nframes 2\n"
                         "pointer move 30 150\nframes 40 0.02\nhud\npointer leave\nframes 2\nhud\n"
                         "pointer move 30 150\nframes 5 0.02\npointer leave\nframes 40 0.02\nhud\nstate\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 4u);
  auto slot2 = [](const nlohmann::json& hud) {
    for (const auto& b : hud["buttons"])
      if (b["slot"] == 2) return b;
    return nlohmann::json();
  };
  EXPECT_TRUE(r.out[0]["tooltip_text"]["visible"].get<bool>()) << "the hover shows a tooltip";
  EXPECT_EQ(slot2(r.out[0])["state"], 2);
  for (size_t k : {1u, 2u}) {
    EXPECT_FALSE(r.out[k]["tooltip_text"]["visible"].get<bool>()) << k;
    EXPECT_EQ(slot2(r.out[k])["state"], 0) << k;
  }
  EXPECT_FALSE(r.out[3]["over_hud"].get<bool>());
}

TEST(HudCommands, PointerAndViewRefuseBadArguments) {
  testing_support::SimFixture sim;
  for (const char* line : {"pointer click 1 2", "pointer move x 2", "pointer up 1 2 middle", "view 0 10"}) {
    const auto r = sim.Run(line);
    EXPECT_EQ(r.status, 1) << line;
  }
}

}  // namespace
