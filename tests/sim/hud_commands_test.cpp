// The HUD's test hooks: `state` names the HUD's own state, `hud` shows every button and
// overlay text as the frame loop left them, `pointer` and `view` play the 3D view headless.
#include <gtest/gtest.h>

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

TEST(HudCommands, PointerAndViewRefuseBadArguments) {
  testing_support::SimFixture sim;
  for (const char* line : {"pointer click 1 2", "pointer move x 2", "pointer up 1 2 middle", "view 0 10"}) {
    const auto r = sim.Run(line);
    EXPECT_EQ(r.status, 1) << line;
  }
}

}  // namespace
