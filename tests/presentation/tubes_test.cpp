#include <vector>

#include "fixture.h"

namespace {

using presentation_test::Place;
using presentation_test::Remove;
using presentation_test::WorldTest;

class Tubes : public WorldTest {
 protected:
  void SetUp() override { Build({"tube_0_0.tga", "tube_0_1.tga", "tube_0_2.tga", "tube_3_0.tga", "tube_3_1.tga"}); }
  scene::Plane* T(int slot, int d) { return objs().tube_planes[slot][d]; }
  int Visible() {
    int n = 0;
    for (auto& halves : objs().tube_planes)
      for (auto* t : halves) n += t->visible();
    return n;
  }
  void Tick() { presentation::ControlTubes(g, objs()); }
};

TEST_F(Tubes, ALoneBuildingShowsNone) {
  Place(g, 0, 10, 10);
  Tick();
  EXPECT_EQ(Visible(), 0);
}

TEST_F(Tubes, DiagonalNeighboursAreJoinedByTwoHalves) {
  Place(g, 0, 3, 4);
  Place(g, 1, 4, 5);
  Tick();
  EXPECT_EQ(Visible(), 2);
  ASSERT_TRUE(T(0, 1)->visible());
  ASSERT_TRUE(T(1, 5)->visible());
  EXPECT_EQ(T(0, 1)->x(), 65.0f);
  EXPECT_EQ(T(0, 1)->y(), 85.0f);
  EXPECT_EQ(T(1, 5)->x(), 75.0f);
  EXPECT_EQ(T(1, 5)->y(), 95.0f);
  // Both halves carry the lower slot's texture.
  EXPECT_EQ(T(1, 5)->lib_material_name(), T(0, 1)->lib_material_name());
}

TEST_F(Tubes, EveryDirectionAndTheGridEdges) {
  // A full ring around (5, 5): eight halves on the centre building.
  Place(g, 0, 5, 5);
  int slot = 1;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy)
      if (dx || dy) Place(g, slot++, 5 + dx, 5 + dy);
  Tick();
  for (int d = 0; d < 8; ++d) {
    const auto& dir = presentation::TubeDir(d);
    ASSERT_TRUE(T(0, d)->visible()) << d;
    EXPECT_EQ(T(0, d)->x(), 100.0f + 5.0f * dir.dx) << d;
    EXPECT_EQ(T(0, d)->y(), 100.0f + 5.0f * dir.dy) << d;
    EXPECT_EQ(presentation::TubeDir(dir.opposite).opposite, d);
  }
  EXPECT_EQ(T(0, 0)->lib_material_name().rfind("m_tube_3_", 0), 0u);

  Place(g, 20, 0, 7);
  Place(g, 21, 0, 8);
  Place(g, 22, 12, 0);
  Place(g, 23, 13, 0);
  Tick();
  EXPECT_EQ(T(20, 2)->position(), (scene::Vec3{0, 145, 1}));
  EXPECT_EQ(T(22, 0)->position(), (scene::Vec3{245, 0, 1}));
  EXPECT_FALSE(T(20, 4)->visible());  // nothing west of column 0
}

TEST_F(Tubes, TheMenuSwitchHidesAndRestoresEveryTube) {
  Place(g, 0, 3, 3);
  Place(g, 1, 4, 3);
  Place(g, 2, 4, 4);
  Tick();
  const int shown = Visible();
  EXPECT_EQ(shown, 6);
  world.ToggleTubes();
  EXPECT_TRUE(g.tubes_off);
  Tick();
  EXPECT_EQ(Visible(), 0);
  world.ToggleTubes();
  Tick();
  EXPECT_EQ(Visible(), shown);
}

TEST_F(Tubes, ADemolishedNeighboursHalvesGoAndTheRestStay) {
  Place(g, 0, 3, 3);
  Place(g, 1, 4, 3);
  Place(g, 2, 3, 4);
  Tick();
  EXPECT_TRUE(T(0, 0)->visible());
  EXPECT_TRUE(T(0, 2)->visible());
  Remove(g, 1);
  Tick();
  EXPECT_FALSE(T(0, 0)->visible());
  EXPECT_FALSE(T(1, 4)->visible());  // the freed slot's own halves too
  EXPECT_TRUE(T(0, 2)->visible());
  EXPECT_TRUE(T(2, 6)->visible());
}

TEST_F(Tubes, AReusedSlotIsPlacedAnew) {
  Place(g, 0, 3, 3);
  Place(g, 1, 4, 3);
  Tick();
  Remove(g, 1);
  Place(g, 1, 3, 2);
  Tick();
  EXPECT_FALSE(T(1, 4)->visible());
  ASSERT_TRUE(T(1, 2)->visible());
  EXPECT_EQ(T(1, 2)->position(), (scene::Vec3{60, 45, 1}));
}

TEST_F(Tubes, IndexedAndScannedLookupsGiveTheSameScene) {
  // A crowded, irregular colony with two buildings sharing a cell.
  int slot = 0;
  for (int x = 0; x < 12; ++x)
    for (int y = 0; y < 12; ++y)
      if ((x * 7 + y * 3) % 5 != 0) Place(g, slot++, x, y);
  Place(g, slot++, 4, 4);
  presentation::ControlTubes(g, objs(), core::BuildingAt);
  std::vector<std::string> fast;
  std::vector<bool> fast_vis;
  for (auto& halves : objs().tube_planes)
    for (auto* t : halves) {
      fast.push_back(t->lib_material_name());
      fast_vis.push_back(t->visible());
    }
  for (auto& halves : objs().tube_planes)
    for (auto* t : halves) t->SetVisible(false);
  presentation::ControlTubes(g, objs(), core::BuildingAtScan);
  size_t k = 0;
  for (auto& halves : objs().tube_planes)
    for (auto* t : halves) {
      ASSERT_EQ(t->visible(), fast_vis[k]) << k;
      ASSERT_EQ(t->lib_material_name(), fast[k]) << k;
      ++k;
    }
}

TEST_F(Tubes, TheFrameLoopRunsThemAndSetsTheirHeight) {
  Place(g, 0, 3, 3);
  Place(g, 1, 4, 3);
  Frame();
  Frame();
  EXPECT_TRUE(T(0, 0)->visible());
  EXPECT_EQ(T(0, 0)->z(), 0.0f);
  g.tubes_off = true;
  Frame();
  EXPECT_FALSE(T(0, 0)->visible());
}

}  // namespace
