#include <sstream>

#include "presentation/fixture.h"
#include "shell/session.h"
#include "sim/interpreter.h"
#include "sim/sim_support.h"

namespace {

using presentation_test::Place;

// The interpreter's view commands on the session's world, headless as in the game window.
class ViewCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    s.game.exe_dir = dir.path();
    world.FillMatLib();
    world.ConstructScene();
    world.EnableClocks();
    sim::RegisterAllCommands(in);
  }
  bool Run(const std::string& line) { return in.RunLine(line, 1); }

  testing_support::TempDir dir;
  shell::Session s;
  presentation::World& world = s.world;
  std::ostringstream out, err;
  sim::Interpreter in{s, out, err};
  core::Game& g = s.game;
};

TEST_F(ViewCommands, IsometricAndTubesSwitchTheView) {
  EXPECT_TRUE(Run("isometric on"));
  EXPECT_TRUE(g.isometric);
  EXPECT_EQ(world.main_scene().camera->pitch_angle(), 30.0f);
  EXPECT_TRUE(Run("isometric on"));  // already on: stays on
  EXPECT_TRUE(g.isometric);
  EXPECT_TRUE(Run("isometric off"));
  EXPECT_FALSE(g.isometric);
  EXPECT_TRUE(Run("tubes off"));
  EXPECT_TRUE(g.tubes_off);
  EXPECT_TRUE(Run("tubes on"));
  EXPECT_FALSE(g.tubes_off);
  EXPECT_FALSE(Run("tubes maybe"));
  EXPECT_NE(err.str().find("expected 'on' or 'off'"), std::string::npos);
}

TEST_F(ViewCommands, CameraIsPlacedAtOnceWithItsHeightKeptInRange) {
  EXPECT_TRUE(Run("camera 120 340 80"));
  EXPECT_EQ(world.main_scene().camera->position(), (scene::Vec3{120, 340, 80}));
  EXPECT_EQ(g.cam_target_x, 120);
  EXPECT_EQ(g.cam_target_y, 340);
  EXPECT_EQ(g.cam_height, 80);
  EXPECT_TRUE(Run("camera 0 0 5000"));
  EXPECT_EQ(g.cam_height, 200);
  EXPECT_FALSE(Run("camera 1 2"));
  EXPECT_FALSE(Run("camera a 2 3"));
}

TEST_F(ViewCommands, CellChoosesASiteOrSelectsTheBuildingOnIt) {
  EXPECT_TRUE(Run("cell 4 5"));
  EXPECT_EQ(g.sel_cell_x, 4);
  EXPECT_EQ(g.sel_cell_y, 5);
  EXPECT_TRUE(g.build_panel);
  Place(g, 9, 7, 7);
  EXPECT_TRUE(Run("cell 7 7"));
  EXPECT_EQ(g.selected_bldg, 9);
  EXPECT_TRUE(g.bldg_panel);
  // Only cells that have ground.
  EXPECT_TRUE(Run("cell 33 10"));
  EXPECT_FALSE(Run("cell 33 11"));
  EXPECT_FALSE(Run("cell -1 0"));
  EXPECT_FALSE(Run("cell 0 30"));
  EXPECT_EQ(g.sel_cell_x, 33);
}

TEST_F(ViewCommands, SelectKeepsTheRulesCommandAndSendsTheCamera) {
  Place(g, 3, 6, 2);
  EXPECT_TRUE(Run("select 3"));
  EXPECT_EQ(g.selected_bldg, 3);
  EXPECT_EQ(g.cam_target_x, 120);
  EXPECT_EQ(g.cam_target_y, 40);
  EXPECT_TRUE(Run("select none"));
  EXPECT_EQ(core::SelectedSlot(g), -1);
}

// `frames` is the window's idle step without drawing: the day clock runs, a message holds
// it, the game-over check runs every frame and stops it, the camera travels.
TEST(SimFrames, RunTheWindowsIdleStep) {
  testing_support::SimFixture f;
  core::Game& g = f.session.game;
  presentation::World& world = f.session.world;
  f.Run("events off\nnew 10\nset day_length 0.5\nmessages");
  const int left = g.days_left;
  // A message on screen holds the day clock however much time passes.
  f.Run("set msg_panel true\nframes 120 0.1");
  EXPECT_EQ(g.days_left, left);
  EXPECT_FALSE(world.day_clock().enabled());
  // Without it the clock runs again from the next frame: about 12 s of half-second days.
  f.Run("set msg_panel false\nframes 120 0.1");
  EXPECT_TRUE(world.day_clock().enabled());
  EXPECT_GE(left - g.days_left, 19);
  EXPECT_LE(left - g.days_left, 24);
  // The camera travels toward its target frame by frame.
  f.Run("select none\nset cam_target_x 400\nframes 1");
  EXPECT_GT(world.main_scene().camera->x(), 0.0f);
  EXPECT_LT(world.main_scene().camera->x(), 400.0f);
  // The time limit ends the game in the next frame, as in the window.
  f.Run("set days_left 0\nframes 1");
  EXPECT_TRUE(g.game_over);
  EXPECT_FALSE(world.day_clock().enabled());
  const auto said = f.One("messages");
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0]["kind"], 1);
}

}  // namespace
