#include <cmath>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

using presentation_test::Place;
using presentation_test::Remove;
using presentation_test::WorldTest;

class FrameLoop : public WorldTest {
 protected:
  void SetUp() override { Build(); }
};

TEST_F(FrameLoop, BuildingPlanesShowEachStateInItsLookAndFreeSlotsHidden) {
  Place(g, 0, 3, 4, 12, true, 0);
  Place(g, 1, 5, 6, 12, false, 0);
  Place(g, 2, 7, 8, 12, true, 50);
  Place(g, 3, 9, 9, 12, false, 50);
  Frame();
  auto& p = objs().bldg_planes;
  EXPECT_EQ(p[0]->lib_material_name(), "m_bldg_12");
  EXPECT_EQ(p[1]->lib_material_name(), "m_bldg_12_off");
  EXPECT_EQ(p[2]->lib_material_name(), "m_bldg_constr");
  EXPECT_EQ(p[3]->lib_material_name(), "m_bldg_constr");  // under construction wins over off
  EXPECT_EQ(p[1]->position(), (scene::Vec3{100, 120, 2}));
  EXPECT_TRUE(p[0]->visible());
  EXPECT_FALSE(p[4]->visible());
  EXPECT_FALSE(p[1000]->visible());

  // Finished, switched, demolished: the next frame follows.
  g.placed[2].construction = 0;
  g.placed[0].active = false;
  Remove(g, 1);
  Frame();
  EXPECT_EQ(p[2]->lib_material_name(), "m_bldg_12");
  EXPECT_EQ(p[0]->lib_material_name(), "m_bldg_12_off");
  EXPECT_FALSE(p[1]->visible());

  // An unchanged frame touches nothing.
  const uint64_t rev = ms().buildings->subtree_revision();
  Frame();
  EXPECT_EQ(ms().buildings->subtree_revision(), rev);
}

TEST_F(FrameLoop, SunCirclesWithTheDayAngle) {
  g.day_angle = 0;
  Frame();
  EXPECT_EQ(ms().sun->position(), (scene::Vec3{600, 300, 0}));
  g.day_angle = 90;  // 3.14, not pi: a little off overhead
  Frame();
  EXPECT_NEAR(ms().sun->x(), 300.24f, 0.01f);
  EXPECT_EQ(ms().sun->y(), 300.0f);
  EXPECT_NEAR(ms().sun->z(), 300.0f, 0.01f);
  g.day_angle = 270;  // night: below the ground
  Frame();
  EXPECT_LT(ms().sun->z(), -299.0f);
}

TEST(CameraTravel, ATenthOfTheWayPerFrameAndNeverOvershooting) {
  EXPECT_EQ(presentation::TravelToward(0.0f, 100), 10.0f);
  EXPECT_EQ(presentation::TravelToward(100.0f, 0), 90.0f);
  EXPECT_EQ(presentation::TravelToward(42.0f, 42), 42.0f);
  float x = 0;
  float prev_gap = 100;
  for (int i = 1; i <= 400; ++i) {
    x = presentation::TravelToward(x, 100);
    ASSERT_LE(x, 100.0f);
    ASSERT_LE(100.0f - x, prev_gap);
    prev_gap = 100.0f - x;
    // The snap after the move never fires early: the gap shrinks by a tenth each frame
    // for as long as single precision can tell it apart.
    if (i <= 60) {
      ASSERT_NEAR(100.0f - x, 100.0 * std::pow(0.9, i), 1e-3) << "frame " << i;
    }
  }
  EXPECT_NEAR(x, 100.0f, 1e-3f);
}

TEST_F(FrameLoop, CameraGlidesToTheTargetAtItsHeightAndTheLampFollows) {
  g.cam_target_x = 300;
  g.cam_target_y = 200;
  g.cam_height = 80;
  Frame();
  scene::Camera& cam = *ms().camera;
  EXPECT_EQ(cam.z(), 80.0f);
  EXPECT_EQ(cam.x(), 30.0f);
  EXPECT_EQ(cam.y(), 20.0f);
  Frame();
  // The lamp was placed before the travel: it shows where the camera was.
  EXPECT_EQ(ms().camera_light->position(), (scene::Vec3{30, 20, 50}));
  for (int i = 0; i < 300; ++i) Frame();
  EXPECT_NEAR(cam.x(), 300.0f, 0.01f);
  EXPECT_NEAR(cam.y(), 200.0f, 0.01f);
}

TEST_F(FrameLoop, ZoomIsClampedAndZeroRestoresTheDefault) {
  g.cam_height = 10;
  world.Wheel(-1);
  EXPECT_EQ(g.cam_height, 10);
  g.cam_height = 199;
  world.Wheel(+1);
  EXPECT_EQ(g.cam_height, 200);
  world.modcamera(-3);
  EXPECT_EQ(g.cam_height, 197);
  world.modcamera(0);
  EXPECT_EQ(g.cam_height, 50);
  world.Wheel(+2);
  EXPECT_EQ(g.cam_height, 56);
}

TEST_F(FrameLoop, IsometricViewTiltsCameraAndBuildingsAndLowersTheGround) {
  Place(g, 0, 3, 3);
  Place(g, 1, 4, 3);
  g.selected_bldg = 0;
  Frame();
  EXPECT_EQ(objs().terrain_tiles[500]->z(), -1.0f);
  EXPECT_EQ(objs().tube_planes[0][0]->z(), 1.0f);  // shown this frame, lowered at the next
  Frame();
  EXPECT_EQ(objs().tube_planes[0][0]->z(), 0.0f);
  EXPECT_EQ(ms().camera->depth_of_view(), 10000.0f);
  EXPECT_TRUE(ms().sel_marker->visible());
  EXPECT_FALSE(ms().sel_cube->visible());

  world.ToggleIsometric();
  EXPECT_TRUE(g.isometric);
  EXPECT_EQ(ms().camera->pitch_angle(), 30.0f);
  EXPECT_EQ(ms().camera->depth_of_view(), 60000.0f);
  EXPECT_EQ(objs().terrain_tiles[0]->z(), -5.0f);
  EXPECT_EQ(objs().bldg_planes[0]->pitch_angle(), -30.0f);
  EXPECT_EQ(objs().bldg_planes[2]->pitch_angle(), 0.0f);  // no building there
  EXPECT_EQ(objs().tube_planes[0][0]->z(), -4.0f);
  EXPECT_EQ(objs().tube_planes[0][1]->z(), 1.0f);  // hidden tubes stay
  Frame();
  EXPECT_FALSE(ms().sel_marker->visible());
  EXPECT_TRUE(ms().sel_cube->visible());
  EXPECT_EQ(ms().sel_cube->position(), (scene::Vec3{60, 60, 5}));
  Frame();
  EXPECT_EQ(ms().upg_bar->z(), 15.0f);  // one frame behind the cube

  // A building added in the isometric view is pitched on the next frame.
  Place(g, 7, 10, 10);
  Frame();
  EXPECT_EQ(objs().bldg_planes[7]->pitch_angle(), -30.0f);

  world.ToggleIsometric();
  EXPECT_EQ(ms().camera->pitch_angle(), 0.0f);
  EXPECT_EQ(objs().bldg_planes[7]->pitch_angle(), 0.0f);
  EXPECT_EQ(objs().terrain_tiles[0]->z(), -1.0f);
  EXPECT_EQ(ms().upg_bar->z(), 4.0f);
}

TEST_F(FrameLoop, MarkerFollowsSelectionOrChosenCellElseHidden) {
  Frame();
  EXPECT_FALSE(ms().sel_marker->visible());
  EXPECT_FALSE(ms().sel_cube->visible());
  EXPECT_FALSE(ms().upg_bar->visible());
  g.sel_cell_x = 6;
  g.sel_cell_y = 2;
  Frame();
  EXPECT_TRUE(ms().sel_marker->visible());
  EXPECT_EQ(ms().sel_marker->position(), (scene::Vec3{120, 40, 4}));
  Place(g, 4, 8, 9);
  core::SelectBuilding(g, 4);
  Frame();
  EXPECT_EQ(ms().sel_marker->position(), (scene::Vec3{160, 180, 4}));
  g.sel_cell_x = -1;
  core::ClearSelection(g);
  Frame();
  EXPECT_FALSE(ms().sel_marker->visible());
}

TEST_F(FrameLoop, ProgressBarShowsConstructionThenUpgradeLevel) {
  Place(g, 0, 5, 5, 1, true, 25);
  g.placed[0].cst = 100;
  g.placed[0].upl = 4;
  core::SelectBuilding(g, 0);
  Frame();
  scene::Plane& bar = *ms().upg_bar;
  ASSERT_TRUE(bar.visible());
  EXPECT_FLOAT_EQ(bar.width(), 13.5f);
  EXPECT_EQ(bar.height(), 1.0f);
  EXPECT_FLOAT_EQ(bar.x() - bar.width() / 2, 100.0f - 9.0f);  // starts 9 left of the centre
  EXPECT_EQ(bar.y(), 109.0f);

  g.placed[0].construction = 0;
  g.placed[0].up = 2;
  Frame();
  EXPECT_FLOAT_EQ(bar.width(), 9.0f);  // level 2 of 4

  g.placed[0].upl = 1;  // a building that cannot be upgraded never shows the bar
  g.placed[0].construction = 25;
  Frame();
  EXPECT_FALSE(bar.visible());

  // A record without cost gives no endless bar.
  g.placed[0].upl = 3;
  g.placed[0].cst = 0;
  Frame();
  EXPECT_TRUE(std::isfinite(bar.width()));
  EXPECT_GE(bar.width(), 0.0f);
}

TEST_F(FrameLoop, NoSelectionIsNotTheBuildingInTheLastSlot) {
  Place(g, 1000, 2, 2, 1, true, 0);
  g.placed[1000].upl = 5;
  g.sel_cell_x = 9;
  g.sel_cell_y = 9;
  core::ClearSelection(g);
  Frame();
  EXPECT_EQ(ms().sel_marker->position(), (scene::Vec3{180, 180, 4}));
  EXPECT_FALSE(ms().upg_bar->visible());
  core::SelectBuilding(g, 1000);
  Frame();
  EXPECT_EQ(ms().sel_marker->position(), (scene::Vec3{40, 40, 4}));
  EXPECT_TRUE(ms().upg_bar->visible());
}

TEST_F(FrameLoop, AnOpenMessageHoldsTheDayClockAndClosesThePanels) {
  EXPECT_TRUE(world.day_clock().enabled());
  g.msg_panel = true;
  g.build_panel = g.bldg_panel = g.trade_panel = g.credit_panel = true;
  Frame();
  EXPECT_FALSE(world.day_clock().enabled());
  EXPECT_FALSE(g.build_panel || g.bldg_panel || g.trade_panel || g.credit_panel);
  g.day_timer = 1;
  world.Progress(5.0);  // the day clock is off: no time counts
  EXPECT_EQ(g.day_timer, 1);
  g.msg_panel = false;
  Frame();
  EXPECT_TRUE(world.day_clock().enabled());
  world.Progress(0.5);
  EXPECT_DOUBLE_EQ(g.day_timer, 1.5);
}

TEST_F(FrameLoop, ThePlayersPauseHoldsAgainstTheFrameLoop) {
  world.TogglePause();
  EXPECT_FALSE(world.day_clock().enabled());
  Frame();
  Frame();
  EXPECT_FALSE(world.day_clock().enabled());
  world.TogglePause();
  EXPECT_TRUE(world.day_clock().enabled());
}

TEST_F(FrameLoop, GameOverStopsTheDayClockUntilTheNextFrame) {
  g.game_running = true;
  g.game_over = false;
  g.level = 1;
  g.money = -200000;
  Frame();
  EXPECT_TRUE(g.game_over);
  EXPECT_FALSE(world.day_clock().enabled());
  Frame();
  EXPECT_TRUE(world.day_clock().enabled());
}

TEST_F(FrameLoop, CraftPlanesFollowTheTraffic) {
  Frame();
  for (auto* s : objs().shuttle_planes) EXPECT_FALSE(s->visible());
  for (auto* p : objs().pirate_planes) EXPECT_FALSE(p->visible());

  traffic::shuttle& sh = world.traffic().shuttles()[3];
  sh.active = true;
  sh.x = 120;
  sh.y = 80;
  sh.height = 15;
  sh.angle = 45;
  world.traffic().SendPirates();
  Frame(0.1);
  // The shuttle moved on during the frame; its plane shows where it is now.
  scene::Plane* plane = objs().shuttle_planes[3];
  EXPECT_TRUE(plane->visible());
  EXPECT_FLOAT_EQ(plane->x(), static_cast<float>(sh.x));
  EXPECT_FLOAT_EQ(plane->y(), static_cast<float>(sh.y));
  EXPECT_FLOAT_EQ(plane->roll_angle(), static_cast<float>(sh.angle));
  EXPECT_TRUE(objs().pirate_planes[0]->visible());
  EXPECT_FLOAT_EQ(objs().pirate_planes[0]->x(), 595.0f);
  EXPECT_EQ(objs().pirate_planes[1]->y(), traffic::PirateLane(1));
  EXPECT_EQ(objs().pirate_planes[2]->z(), 20.0f);
  EXPECT_EQ(objs().trade_ship->z(), 60.0f);
}

TEST_F(FrameLoop, WarningTicksShowTheirStateAndText) {
  g.warnings[2].state = 2;
  g.warnings[2].text = "Colonists leave";
  g.warnings[4].state = 1;
  Frame();
  // Lines apart from each other are drawn where their glide has brought them.
  for (int k = 0; k < core::kWarnings; ++k) g.warnings[static_cast<size_t>(k)].y = g.view_h - 45 - 30 * k;
  Frame();
  EXPECT_EQ(objs().warn_sprites[2]->lib_material_name(), "m_tick_bad");
  EXPECT_EQ(objs().warn_sprites[4]->lib_material_name(), "m_tick_warn");
  EXPECT_EQ(objs().warn_sprites[0]->lib_material_name(), "m_tick_ok");
  EXPECT_TRUE(objs().warn_texts[2]->visible());
  EXPECT_EQ(objs().warn_texts[2]->text(), "Colonists leave");
  const core::warning& w = g.warnings[2];
  EXPECT_EQ(objs().warn_sprites[2]->position(), (scene::Vec3{static_cast<float>(w.x), static_cast<float>(w.y), 0}));
  EXPECT_EQ(objs().warn_texts[2]->x(), static_cast<float>(w.x) + 20);
  EXPECT_EQ(objs().warn_texts[2]->y(), static_cast<float>(w.y) - 10);
}

TEST_F(FrameLoop, TheHudLaysItselfOutForTheViewEveryFrame) {
  world.SetViewSize(800, 600);
  Frame();
  EXPECT_EQ(world.hud().hud_unit, 40);
  // The overlay follows the view: days left at the bottom left, the column frame at the
  // left edge; the statistics read-out waits for its menu item.
  EXPECT_FALSE(world.hud().objects().stats_text->visible());
  EXPECT_EQ(world.hud().objects().days_left_text->y(), 600 - 30.0f);
  EXPECT_EQ(world.hud().objects().catalog_frame->x(), 20.0f);
  // In side-panel mode the buttons are not refreshed.
  g.hud_mode = false;
  world.SetViewSize(800, 900);
  Frame();
  EXPECT_EQ(world.hud().hud_unit, 40);
}

TEST_F(FrameLoop, ViewSizeReachesTheGameEveryFrame) {
  world.SetViewSize(800, 600);
  Frame();
  EXPECT_EQ(world.view_w, 800);
  EXPECT_EQ(world.view_h, 600);
  EXPECT_EQ(g.view_h, 600);
}

TEST_F(FrameLoop, ProgressRunsTheDayClockBeforeTheFrame) {
  g.day_length = 1.0;
  world.Progress(0.25);
  // The frame placed the sun for the angle the day clock had just moved to.
  EXPECT_EQ(ms().sun->position(), presentation::SunPosition(90.0));
}

}  // namespace
