#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "scene/scene.h"

using namespace scene;

namespace {

double Degrees(double rad) { return rad * 180 / std::numbers::pi; }

// A grid of 20 x 20 terrain tiles at Z -1 and a building plane at Z 2 on cell (5, 5).
struct Colony {
  MainScene ms;
  std::vector<Plane*> tiles;
  Plane* building = nullptr;

  Colony() {
    for (int x = 0; x < 12; ++x)
      for (int y = 0; y < 12; ++y) {
        Plane* t = ms.terrain->AddNewChild<Plane>();
        t->SetWidth(20);
        t->SetHeight(20);
        t->SetPosition(x * 20.0f, y * 20.0f, -1);
        tiles.push_back(t);
      }
    building = ms.buildings->AddNewChild<Plane>();
    building->SetWidth(20);
    building->SetHeight(20);
    building->SetPosition(100, 100, 2);
  }
  Plane* Tile(int x, int y) { return tiles[static_cast<size_t>(x * 12 + y)]; }
};

}  // namespace

TEST(CameraProjection, FrustumFollowsTheLensOnA96DpiScreen) {
  const Frustum f = CameraFrustum(50, 100, 1008, 709);
  EXPECT_NEAR(Degrees(2 * std::atan(f.right / f.near_plane)), 106.3, 0.1);
  EXPECT_NEAR(Degrees(2 * std::atan(f.top / f.near_plane)), 86.3, 0.1);
  EXPECT_NEAR(f.near_plane, 50.0 * 2 * 96 / (25.4 * 1008), 1e-5);
  EXPECT_NEAR(f.far_plane, f.near_plane + 100, 1e-4);
  // At height 50 about 6.7 cells fit across.
  EXPECT_NEAR(2 * 50 * f.right / f.near_plane / 20, 6.67, 0.01);

  // A bigger window shows more at the same scale: the angle per pixel near the centre
  // stays the same.
  const Frustum big = CameraFrustum(50, 100, 2016, 709);
  EXPECT_NEAR(big.right / big.near_plane, 2 * f.right / f.near_plane, 1e-4);
  // The near plane follows the larger side.
  const Frustum tall = CameraFrustum(50, 100, 300, 900);
  EXPECT_NEAR(tall.near_plane, 50.0 * 2 * 96 / (25.4 * 900), 1e-5);

  // A collapsed view is taken as one pixel instead of dividing by zero.
  const Frustum none = CameraFrustum(50, 100, 0, 0);
  EXPECT_TRUE(std::isfinite(none.near_plane) && none.near_plane > 0);
  EXPECT_TRUE(std::isfinite(none.right) && none.right > 0);
}

TEST(CameraProjection, MatrixMapsTheFrustumToClipSpace) {
  MainScene ms;
  ms.camera->SetDepthOfView(10000);
  const Frustum f = CameraFrustum(*ms.camera, 1008, 709);
  const Mat4 p = ProjectionMatrix(*ms.camera, 1008, 709);
  auto ndc = [&](Vec3 eye) {
    const float cx = p.at(0, 0) * eye.x + p.at(0, 2) * eye.z;
    const float cy = p.at(1, 1) * eye.y + p.at(1, 2) * eye.z;
    const float cz = p.at(2, 2) * eye.z + p.at(2, 3);
    const float cw = p.at(3, 2) * eye.z;
    return Vec3{cx / cw, cy / cw, cz / cw};
  };
  const Vec3 corner = ndc({f.right, f.top, -f.near_plane});
  EXPECT_NEAR(corner.x, 1, 1e-5);
  EXPECT_NEAR(corner.y, 1, 1e-5);
  EXPECT_NEAR(corner.z, -1, 1e-5);
  EXPECT_NEAR(ndc({0, 0, -f.far_plane}).z, 1, 1e-4);
}

TEST(CameraProjection, PointsLandWhereTheRaysLeave) {
  MainScene ms;
  ms.camera->SetPosition(300, 200, 80);
  ms.camera->SetPitchAngle(30);
  ms.camera->SetDepthOfView(60000);
  // The ray through a pixel, projected back, lands in the middle of that pixel.
  for (auto [px, py] : {std::pair{0, 0}, {504, 354}, {1007, 708}, {100, 600}}) {
    const Ray r = RayThroughPixel(*ms.camera, 1008, 709, float(px), float(py));
    auto v = ProjectToView(*ms.camera, 1008, 709, r.origin + r.direction * 50);
    ASSERT_TRUE(v);
    EXPECT_NEAR(v->x, px + 0.5f, 1e-2);
    EXPECT_NEAR(v->y, py + 0.5f, 1e-2);
  }
  // Behind the camera nothing lands.
  EXPECT_FALSE(ProjectToView(*ms.camera, 1008, 709, {300, 100, 200}));
  // Screen up is world +Y in the plain view.
  ms.camera->SetPitchAngle(0);
  auto above = ProjectToView(*ms.camera, 1008, 709, {300, 210, 0});
  ASSERT_TRUE(above);
  EXPECT_LT(above->y, 709 / 2.0f);
  auto right = ProjectToView(*ms.camera, 1008, 709, {310, 200, 0});
  EXPECT_GT(right->x, 1008 / 2.0f);
}

TEST(Picking, NearestVisiblePickableObjectWins) {
  Colony c;
  MainScene& ms = c.ms;
  ms.camera->SetPosition(100, 100, 50);
  ms.camera->SetDepthOfView(10000);
  const int w = 1008, h = 709;
  auto at_world = [&](Vec3 p) {
    auto v = ProjectToView(*ms.camera, w, h, p);
    return ms.GetPickedObject(w, h, std::floor(v->x), std::floor(v->y));
  };
  // The building plane lies over the terrain tile of its cell.
  EXPECT_EQ(at_world({100, 100, 2}), c.building);
  EXPECT_EQ(at_world({121, 100, -1}), c.Tile(6, 5));
  EXPECT_EQ(at_world({79, 119, -1}), c.Tile(4, 6));
  EXPECT_EQ(at_world({69, 101, -1}), c.Tile(3, 5));

  // Hidden: the tile below shows through.
  c.building->SetVisible(false);
  EXPECT_EQ(at_world({100, 100, 2}), c.Tile(5, 5));
  c.building->SetVisible(true);
  // Not pickable: passed through as well.
  c.building->SetPickable(false);
  EXPECT_EQ(at_world({100, 100, 2}), c.Tile(5, 5));
  c.building->SetPickable(true);
  // A hidden container hides everything in it.
  ms.buildings->SetVisible(false);
  EXPECT_EQ(at_world({100, 100, 2}), c.Tile(5, 5));
  ms.buildings->SetVisible(true);

  // HUD sprites are not picked: the world under them is.
  HUDSprite* s = ms.hud->AddNewChild<HUDSprite>();
  s->SetPosition(504, 354, 0);
  s->SetWidth(400);
  s->SetHeight(400);
  EXPECT_EQ(ms.GetPickedObject(w, h, 504, 354), c.building);

  // Beyond the edge of the terrain nothing is there.
  ms.camera->SetPosition(2000, 2000, 50);
  EXPECT_EQ(ms.GetPickedObject(w, h, 504, 354), nullptr);
  // An empty view picks nothing.
  EXPECT_EQ(ms.GetPickedObject(0, 0, 0, 0), nullptr);
}

TEST(Picking, OnlyWhatLiesWithinTheDepthOfViewIsPicked) {
  Colony c;
  MainScene& ms = c.ms;
  ms.camera->SetPosition(100, 100, 150);
  ms.camera->SetDepthOfView(100);  // the terrain 151 units below is beyond the far plane
  EXPECT_EQ(ms.GetPickedObject(1008, 709, 504, 354), nullptr);
  ms.camera->SetDepthOfView(10000);
  EXPECT_EQ(ms.GetPickedObject(1008, 709, 504, 354), c.building);
  // Closer than the near plane is not drawn, so not picked.
  ms.camera->SetPosition(100, 100, 2.01f);
  EXPECT_EQ(ms.GetPickedObject(1008, 709, 504, 354), c.Tile(5, 5));
}

TEST(Picking, EqualDistancesGoToTheLaterObject) {
  Colony c;
  MainScene& ms = c.ms;
  ms.camera->SetPosition(100, 100, 50);
  ms.camera->SetDepthOfView(10000);
  Plane* tube_a = ms.tubes->AddNewChild<Plane>();
  Plane* tube_b = ms.tubes->AddNewChild<Plane>();
  for (Plane* t : {tube_a, tube_b}) {
    t->SetWidth(14);
    t->SetHeight(14);
    t->SetPosition(100, 100, 0);
  }
  c.building->SetVisible(false);
  EXPECT_EQ(ms.GetPickedObject(1008, 709, 504, 354), tube_b);
}

TEST(Picking, IsometricViewPicksPitchedPlanesAndTheCube) {
  Colony c;
  MainScene& ms = c.ms;
  // The isometric set-up: the camera looks 30 degrees off the vertical toward +Y, the
  // terrain sinks to -5 and the building plane turns to face the camera.
  ms.camera->SetPosition(100, 60, 50);
  ms.camera->SetPitchAngle(30);
  ms.camera->SetDepthOfView(60000);
  for (Plane* t : c.tiles) t->SetZ(-5);
  c.building->SetPitchAngle(-30);
  const int w = 1008, h = 709;
  auto pick_world = [&](Vec3 p) {
    auto v = ProjectToView(*ms.camera, w, h, p);
    EXPECT_TRUE(v);
    return ms.GetPickedObject(w, h, std::floor(v->x), std::floor(v->y));
  };
  // The raised +Y edge of the pitched plane covers ground that lies behind the cell.
  const float s = 0.5f, co = std::sqrt(3.0f) / 2;
  EXPECT_EQ(pick_world({100, 100 + 9 * co, 2 + 9 * s}), c.building);
  EXPECT_EQ(pick_world({100, 100 - 9 * co, 2 - 9 * s}), c.building);
  // A ray that passes just above the raised edge reaches the ground further back.
  EXPECT_EQ(pick_world({100, 100 + 10 * co, 2 + 12 * s}), c.Tile(5, 6));
  // The same screen point with the plane lying flat hits ground of the cell behind.
  c.building->SetPitchAngle(0);
  EXPECT_NE(pick_world({100, 100 + 9 * co, 2 + 9 * s}), c.building);

  // The selection cube is not pickable: the pick passes through to the building.
  c.building->SetPitchAngle(-30);
  ms.sel_cube->SetPosition(100, 100, 5);
  ms.sel_cube->SetVisible(true);
  EXPECT_EQ(pick_world({100, 100, 2}), c.building);
  // A pickable cube is hit on its near face.
  ms.sel_cube->SetPickable(true);
  EXPECT_EQ(pick_world({100, 100, 2}), ms.sel_cube);
  const Ray r = RayThroughPixel(*ms.camera, w, h, 504, 354);
  auto hit = PickRay(ms.scene.root(), r);
  ASSERT_TRUE(hit);
}

TEST(Picking, RolledPlanesAreHitWithinTheirTurnedOutline) {
  MainScene ms;
  ms.camera->SetPosition(0, 0, 50);
  ms.camera->SetDepthOfView(1000);
  Plane* ship = ms.buildings->AddNewChild<Plane>();
  ship->SetWidth(40);
  ship->SetHeight(4);
  ship->SetPosition(0, 0, 20);
  auto pick_world = [&](Vec3 p) {
    auto v = ProjectToView(*ms.camera, 1008, 709, p);
    return ms.GetPickedObject(1008, 709, std::floor(v->x), std::floor(v->y));
  };
  EXPECT_EQ(pick_world({15, 0, 20}), ship);
  EXPECT_EQ(pick_world({0, 15, 20}), nullptr);
  ship->SetRollAngle(90);
  EXPECT_EQ(pick_world({15, 0, 20}), nullptr);
  EXPECT_EQ(pick_world({0, 15, 20}), ship);
}
