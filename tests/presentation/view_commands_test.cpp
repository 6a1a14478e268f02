#include <sstream>

#include "fixture.h"
#include "presentation/view_commands.h"
#include "sim/interpreter.h"
#include "sim/session.h"

namespace {

using presentation_test::Place;

// The interpreter's view commands on a live world, as `quenmar --script` runs them.
class ViewCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    s.game.exe_dir = dir.path();
    world.FillMatLib();
    world.ConstructScene();
    world.EnableClocks();
    sim::RegisterAllCommands(in);
    in.SetView(&view);
  }
  bool Run(const std::string& line) { return in.RunLine(line, 1); }

  testing_support::TempDir dir;
  sim::Session s;
  presentation::World world{s.game, s.traffic};
  presentation::WorldViewCommands view{world};
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

TEST(ViewCommandsHeadless, AcceptedAndIgnoredWithoutAView) {
  sim::Session s;
  std::ostringstream out, err;
  sim::Interpreter in(s, out, err);
  sim::RegisterAllCommands(in);
  EXPECT_TRUE(in.RunLine("isometric on", 1));
  EXPECT_TRUE(in.RunLine("camera 1 2 3", 2));
  EXPECT_TRUE(in.RunLine("cell 4 5", 3));
  EXPECT_TRUE(in.RunLine("tubes off", 4));
  EXPECT_FALSE(s.game.isometric);
  EXPECT_EQ(s.game.sel_cell_x, -1);
  // The rules' own select still works without a view.
  EXPECT_TRUE(in.RunLine("select 7", 5));
  EXPECT_EQ(s.game.selected_bldg, 7);
  EXPECT_TRUE(err.str().empty()) << err.str();
}

}  // namespace
