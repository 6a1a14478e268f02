#include <vector>

#include "fixture.h"

namespace {

using presentation_test::Place;
using presentation_test::WorldTest;

// The view is 1008 x 709 with the camera straight above (x, y): the pixel at the middle
// of the view looks straight down onto (x, y).
constexpr int kMidX = 503, kMidY = 354;

class Pointer : public WorldTest {
 protected:
  void SetUp() override { Build(); }
  // Looks straight down on (x, y) and clicks the middle of the view.
  void ClickAt(float x, float y, bool left = true) {
    world.PlaceCamera(static_cast<int>(x), static_cast<int>(y), 50);
    world.MsDown(kMidX, kMidY);
    world.MsUp(kMidX, kMidY, left);
  }
};

TEST_F(Pointer, DraggingMovesTheCameraWithThePointer) {
  world.PlaceCamera(300, 300, 50);
  world.MsMove(400, 300);  // hovering: remembered, nothing moves
  world.MsDown(400, 300);
  world.MsMove(500, 300);  // 100 px right at speed 50: 50 units toward +X
  EXPECT_EQ(ms().camera->x(), 350.0f);
  EXPECT_EQ(g.cam_target_x, 350);
  world.MsMove(500, 260);  // up on the screen is +Y
  EXPECT_EQ(ms().camera->y(), 320.0f);
  EXPECT_EQ(g.cam_target_y, 320);
  // The camera travel then holds it there.
  Frame();
  EXPECT_EQ(ms().camera->x(), 350.0f);

  world.pan_speed = 100;
  world.MsMove(2000, 260);  // past the edge: stops at 600
  EXPECT_EQ(ms().camera->x(), 600.0f);
  world.MsMove(-3000, 5000);
  EXPECT_EQ(ms().camera->x(), 0.0f);
  EXPECT_EQ(ms().camera->y(), 0.0f);
  EXPECT_EQ(g.cam_target_x, 0);
}

TEST_F(Pointer, DragTargetRoundsHalvesToEven) {
  world.PlaceCamera(0, 0, 50);
  world.pan_speed = 50;
  world.MsMove(0, 0);
  world.MsDown(0, 0);
  world.MsMove(5, 0);  // 2.5 units
  EXPECT_EQ(ms().camera->x(), 2.5f);
  EXPECT_EQ(g.cam_target_x, 2);
  world.MsUp(5, 0, false);
  EXPECT_FALSE(world.pointer_down);
}

TEST_F(Pointer, LeftClickOnAnEmptyCellChoosesItAndOpensConstruction) {
  core::SelectBuilding(g, 3);
  ClickAt(140, 160);
  EXPECT_EQ(g.sel_cell_x, 7);
  EXPECT_EQ(g.sel_cell_y, 8);
  EXPECT_EQ(g.selected_bldg, 1000);
  EXPECT_EQ(core::SelectedSlot(g), -1);
  EXPECT_TRUE(g.build_panel);
  EXPECT_FALSE(g.bldg_panel);
}

TEST_F(Pointer, ClickingABuildingSelectsItWithAnyButton) {
  Place(g, 12, 7, 8);
  Frame();  // the plane stands on its cell
  g.trade_panel = true;
  ClickAt(140, 160);
  EXPECT_EQ(g.selected_bldg, 12);
  EXPECT_TRUE(g.bldg_panel);
  EXPECT_FALSE(g.trade_panel);
  EXPECT_FALSE(g.build_panel);
  EXPECT_EQ(g.sel_cell_x, 7);  // the choice holds the building's own cell
  EXPECT_EQ(g.sel_cell_y, 8);

  core::ClearSelection(g);
  g.bldg_panel = false;
  ClickAt(143, 157, false);
  EXPECT_EQ(g.selected_bldg, 12);
  EXPECT_TRUE(g.bldg_panel);
  EXPECT_EQ(g.sel_cell_x, -1);
}

TEST_F(Pointer, RightClickOnAnEmptyCellClearsTheChoiceAndChangesNoPanel) {
  g.sel_cell_x = 3;
  g.sel_cell_y = 3;
  g.trade_panel = true;
  ClickAt(200, 200, false);
  EXPECT_EQ(g.sel_cell_x, -1);
  EXPECT_EQ(g.sel_cell_y, -1);
  EXPECT_EQ(g.selected_bldg, 1000);
  EXPECT_TRUE(g.trade_panel);
  EXPECT_FALSE(g.build_panel);
}

TEST_F(Pointer, AnEmptySelectionDoesNotOpenTheLastSlotsPanel) {
  Place(g, 1000, 20, 20);
  Frame();
  ClickAt(40, 40);
  EXPECT_EQ(core::SelectedSlot(g), -1);
  EXPECT_TRUE(g.build_panel);
  EXPECT_FALSE(g.bldg_panel);
  ClickAt(400, 400);
  EXPECT_EQ(core::SelectedSlot(g), 1000);
  EXPECT_TRUE(g.bldg_panel);
}

TEST_F(Pointer, ReleasingOverNothingKeepsTheSelection) {
  g.sel_cell_x = 4;
  g.sel_cell_y = 5;
  // Far off the grid there is no terrain under the pointer.
  world.PlaceCamera(5000, 5000, 50);
  world.MsDown(kMidX, kMidY);
  world.MsUp(kMidX, kMidY, true);
  EXPECT_EQ(g.sel_cell_x, 4);
  EXPECT_EQ(g.sel_cell_y, 5);
  EXPECT_FALSE(world.pointer_down);
}

TEST_F(Pointer, APickedPirateShipNamesCellZero) {
  scene::Plane* pirate = objs().pirate_planes[0];
  pirate->SetVisible(true);  // parked at (-10, 0), above the ground
  ClickAt(-10, 0);
  EXPECT_EQ(g.sel_cell_x, 0);  // Round(-0.5) = 0
  EXPECT_EQ(g.sel_cell_y, 0);
}

TEST_F(Pointer, ATubeHalfNamesItsBuildingsCell) {
  Place(g, 0, 3, 3);
  Place(g, 1, 4, 3);
  Frame();
  Frame();
  ASSERT_TRUE(objs().tube_planes[0][0]->visible());
  // The halves lie under the building planes, so pick with the planes hidden.
  objs().bldg_planes[0]->SetVisible(false);
  objs().bldg_planes[1]->SetVisible(false);
  ClickAt(65, 60);
  EXPECT_EQ(g.sel_cell_x, 3);
  EXPECT_EQ(g.selected_bldg, 0);
}

TEST_F(Pointer, IsometricPickPassesThroughTheCube) {
  Place(g, 2, 10, 10);
  core::SelectBuilding(g, 2);
  world.ToggleIsometric();
  Frame();
  ASSERT_TRUE(ms().sel_cube->visible());
  // Find the pixel that shows the building's centre and click it.
  const auto p = scene::ProjectToView(*ms().camera, 1008, 709, scene::Vec3{200, 200, -5});
  ASSERT_TRUE(p.has_value());
  core::ClearSelection(g);
  world.MsDown(static_cast<int>(p->x), static_cast<int>(p->y));
  world.MsUp(static_cast<int>(p->x), static_cast<int>(p->y), true);
  EXPECT_EQ(g.selected_bldg, 2);
}

// One HUD button (slot 7) over the top-left corner of the view.
class PointerHud : public Pointer {
 protected:
  void SetUp() override {
    Pointer::SetUp();
    hud::hudbtn& b = world.hud().buttons()[7];
    b.exists = b.visible = true;
    b.rx = b.ry = 25;
    b.width = b.height = 50;
  }
  int state() { return world.hud().ButtonState(7); }
};

TEST_F(PointerHud, HoverSetsTheButtonAndLeavingResetsIt) {
  world.MsMove(10, 10);
  EXPECT_TRUE(world.over_hud);
  EXPECT_EQ(state(), 2);
  world.MsMove(300, 300);
  EXPECT_FALSE(world.over_hud);
  EXPECT_EQ(state(), 0);
}

TEST_F(PointerHud, AReleaseOverAButtonLeavesTheSelectionAlone) {
  Place(g, 0, 15, 15);
  Frame();
  g.sel_cell_x = 2;
  g.sel_cell_y = 2;
  core::SelectBuilding(g, 5);
  world.PlaceCamera(300, 300, 50);
  world.MsMove(10, 10);
  world.MsDown(10, 10);
  world.MsUp(10, 10, true);
  EXPECT_EQ(g.selected_bldg, 5);
  EXPECT_EQ(g.sel_cell_x, 2);
}

TEST_F(PointerHud, SidePanelModeAsksTheHudNothing) {
  g.hud_mode = false;
  world.MsMove(10, 10);
  world.MsDown(10, 10);
  world.MsUp(10, 10, true);
  EXPECT_EQ(state(), 0);
  EXPECT_FALSE(world.over_hud);
}

}  // namespace
