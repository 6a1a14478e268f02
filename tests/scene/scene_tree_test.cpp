#include <gtest/gtest.h>

#include <cmath>

#include "scene/scene.h"

using namespace scene;

namespace {

void ExpectNear(const Vec3& a, const Vec3& b, float eps = 1e-4f) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

}  // namespace

TEST(SceneTree, MainSceneHasTheFixedTreeInDrawingOrder) {
  MainScene ms;
  Object& root = ms.scene.root();
  ASSERT_EQ(root.child_count(), 2);
  EXPECT_EQ(root.child(0), ms.supercube);
  EXPECT_EQ(root.child(1), ms.camera);

  const char* super_order[] = {"maincube", "HUDbottom", "HUD", "HUDText", "GLLightSource1", "SUN"};
  ASSERT_EQ(ms.supercube->child_count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ms.supercube->child(i)->name(), super_order[i]);
  const char* main_order[] = {"terrain", "tubes", "buildings", "sel_marker", "SelCube", "upg_bar"};
  ASSERT_EQ(ms.maincube->child_count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ms.maincube->child(i)->name(), main_order[i]);

  EXPECT_EQ(ms.sel_marker->width(), 20);
  EXPECT_EQ(ms.sel_marker->position(), (Vec3{0, 0, 4}));
  EXPECT_FALSE(ms.sel_cube->visible());
  EXPECT_FALSE(ms.sel_cube->pickable());
  EXPECT_EQ(ms.sel_cube->cube_height(), 20);
  EXPECT_EQ(ms.upg_bar->height(), 1);
  EXPECT_EQ(ms.camera_light->const_attenuation(), 1.0f);
  EXPECT_EQ(ms.camera_light->position(), (Vec3{0, 0, 20}));
  EXPECT_EQ(ms.sun->const_attenuation(), 2.0f);
  EXPECT_EQ(ms.sun->diffuse(), (Color{0.71f, 0.65f, 0.26f, 1}));
  EXPECT_EQ(ms.camera->position(), (Vec3{0, 0, 50}));
  EXPECT_EQ(ms.camera->focal_length(), 50);
  EXPECT_EQ(ms.camera->depth_of_view(), 100);
  EXPECT_EQ(ms.scene.matlib.size(), 1);
  EXPECT_NE(ms.scene.matlib.Find("LibMaterial"), nullptr);
  EXPECT_FALSE(ms.day_cadencer.enabled());
  EXPECT_FALSE(ms.frame_cadencer.enabled());
  EXPECT_EQ(ms.font1.pixel_height, 13);
  EXPECT_EQ(ms.font2.pixel_height, 11);
  EXPECT_EQ(ms.font3.color, (Color{1, 0, 0, 1}));
  ASSERT_EQ(ms.scene.lights().size(), 2u);
  EXPECT_EQ(ms.scene.lights()[1], ms.sun);
}

TEST(SceneTree, ChildrenAppendInOrderWithDenseIdsAndCanBeFound) {
  MainScene ms;
  const int before = ms.scene.object_count();
  Plane* a = ms.terrain->AddNewChild<Plane>();
  HUDSprite* b = ms.hud->AddNewChild<HUDSprite>();
  Plane* c = ms.terrain->AddNewChild<Plane>();
  c->SetName("tile");
  EXPECT_EQ(a->id(), before);
  EXPECT_EQ(b->id(), before + 1);
  EXPECT_EQ(c->id(), before + 2);
  EXPECT_EQ(ms.scene.object_count(), before + 3);
  EXPECT_EQ(ms.terrain->child(1), c);
  EXPECT_EQ(c->parent(), ms.terrain);
  EXPECT_EQ(c->scene(), &ms.scene);
  EXPECT_EQ(ms.scene.root().FindChild("tile"), c);
  EXPECT_EQ(ms.scene.root().FindChild("no such"), nullptr);
}

TEST(SceneTree, UnchangedWritesCostNothingAndChangesMarkTheAncestors) {
  MainScene ms;
  Plane* p = ms.buildings->AddNewChild<Plane>();
  p->SetWidth(20);
  p->SetHeight(20);
  p->SetPosition(40, 60, 2);
  p->SetLibMaterialName("m_bldg_3");
  HUDText* t = ms.hud_text->AddNewChild<HUDText>();
  t->SetText("abc");

  const uint64_t plane_rev = p->subtree_revision();
  const uint64_t buildings_rev = ms.buildings->subtree_revision();
  const uint64_t terrain_rev = ms.terrain->subtree_revision();
  const uint64_t root_rev = ms.scene.root().subtree_revision();
  // The same values again: nothing moves.
  p->SetWidth(20);
  p->SetHeight(20);
  p->SetPosition(40, 60, 2);
  p->SetX(40);
  p->SetLibMaterialName("m_bldg_3");
  p->SetVisible(true);
  p->SetPitchAngle(0);
  p->SetRollAngle(0);
  t->SetText("abc");
  t->SetAlignment(Alignment::LeftJustify);
  EXPECT_EQ(p->subtree_revision(), plane_rev);
  EXPECT_EQ(ms.scene.root().subtree_revision(), root_rev);

  p->SetLibMaterialName("m_bldg_3_off");
  EXPECT_GT(p->subtree_revision(), plane_rev);
  EXPECT_GT(ms.buildings->subtree_revision(), buildings_rev);
  EXPECT_GT(ms.scene.root().subtree_revision(), root_rev);
  EXPECT_EQ(ms.terrain->subtree_revision(), terrain_rev);  // siblings untouched

  // Lights and the camera are read every frame and rebuild nothing.
  const uint64_t super_rev = ms.supercube->subtree_revision();
  ms.sun->SetPosition(300, 300, 300);
  ms.camera->SetPosition(100, 100, 50);
  ms.camera->SetPitchAngle(30);
  EXPECT_EQ(ms.supercube->subtree_revision(), super_rev);
  EXPECT_EQ(ms.sun->position(), (Vec3{300, 300, 300}));
}

TEST(SceneTree, VisibilityOfAContainerHidesItsSubtree) {
  MainScene ms;
  Plane* p = ms.terrain->AddNewChild<Plane>();
  EXPECT_TRUE(p->VisibleInTree());
  ms.maincube->SetVisible(false);
  EXPECT_TRUE(p->visible());
  EXPECT_FALSE(p->VisibleInTree());
}

TEST(SceneTree, PitchAndRollFollowTheGameConventions) {
  MainScene ms;
  // The camera: pitch +30 looks 30 degrees off the vertical toward +Y.
  ms.camera->SetPitchAngle(30);
  const float s = std::sin(30 * std::acos(-1.0f) / 180), c = std::cos(30 * std::acos(-1.0f) / 180);
  ExpectNear(ms.camera->Direction(), {0, s, -c});
  ExpectNear(ms.camera->Up(), {0, c, s});

  // A plane: pitch -30 raises its +Y edge, turning its face toward that camera.
  Plane* p = ms.buildings->AddNewChild<Plane>();
  p->SetWidth(20);
  p->SetHeight(20);
  p->SetPosition(100, 100, 2);
  p->SetPitchAngle(-30);
  const Vec3 top_edge = p->WorldMatrix().TransformPoint({0, 10, 0});
  ExpectNear(top_edge, {100, 100 + 10 * c, 2 + 10 * s});
  const Vec3 normal = p->Direction();
  EXPECT_NEAR(Dot(normal, ms.camera->Direction()), -1, 1e-5);

  // Roll turns about the plane's own facing: +90 takes +X to +Y seen from above.
  Plane* q = ms.buildings->AddNewChild<Plane>();
  q->SetRollAngle(90);
  ExpectNear(q->WorldMatrix().TransformVector({1, 0, 0}), {0, 1, 0});
  ExpectNear(q->Direction(), {0, 0, 1});
}

TEST(SceneTree, ChildPositionsAreInTheParentsFrame) {
  MainScene ms;
  DummyCube* group = ms.buildings->AddNewChild<DummyCube>();
  group->SetPosition(10, 20, 0);
  Plane* p = group->AddNewChild<Plane>();
  p->SetPosition(1, 2, 3);
  ExpectNear(p->WorldMatrix().TransformPoint({}), {11, 22, 3});
}

TEST(MaterialLibrary, FindsByNameAndKeepsNamesUnique) {
  MaterialLibrary lib;
  EXPECT_EQ(lib.Find("m_a"), nullptr);
  EXPECT_EQ(lib.IndexOf("m_a"), -1);
  const uint64_t r0 = lib.revision();
  Material& a = lib.Add("m_a");
  a.emission = {1, 1, 1, 1};
  a.texture.image_file = "x.tga";
  Material& b = lib.Add("m_b");
  EXPECT_GT(lib.revision(), r0);
  EXPECT_EQ(lib.size(), 2);
  EXPECT_EQ(lib.Find("m_a"), &a);  // addresses stay put while the library grows
  EXPECT_EQ(lib.IndexOf("m_b"), 1);
  EXPECT_EQ(&lib.at(1), &b);
  for (int i = 0; i < 500; ++i) lib.Add("m_" + std::to_string(i));
  EXPECT_EQ(lib.Find("m_a"), &a);
  // Adding an existing name starts that material afresh instead of making a twin.
  Material& again = lib.Add("m_a");
  EXPECT_EQ(&again, &a);
  EXPECT_EQ(lib.size(), 502);
  EXPECT_EQ(a.emission, (Color{0, 0, 0, 1}));
  EXPECT_TRUE(a.texture.image_file.empty());
  EXPECT_EQ(a.name, "m_a");
}

TEST(Lighting, LitAndBrightMaterials) {
  MainScene ms;
  Material lit;
  Material bright;
  bright.emission = {1, 1, 1, 1};
  const Vec3 up{0, 0, 1};
  const Vec3 p{300, 300, 0};

  // Sun straight overhead, camera light far to the side at ground level (N.L = 0).
  ms.sun->SetPosition(300, 300, 300);
  ms.camera_light->SetPosition(10000, 300, 0);
  auto lights = ShiningLights(ms.scene);
  ASSERT_EQ(lights.size(), 2u);
  Color f = LightFactor(lit, p, up, lights);
  EXPECT_NEAR(f.r, 0.04f + 0.71f * 0.8f / 2, 1e-5);
  EXPECT_NEAR(f.g, 0.04f + 0.65f * 0.8f / 2, 1e-5);
  EXPECT_NEAR(f.b, 0.04f + 0.26f * 0.8f / 2, 1e-5);
  EXPECT_EQ(LightFactor(bright, p, up, lights), (Color{1, 1, 1, 1}));

  // Night: the sun under the ground gives nothing; only the ambient term is left.
  ms.sun->SetPosition(300, 300, -300);
  f = LightFactor(lit, p, up, ShiningLights(ms.scene));
  EXPECT_NEAR(f.r, 0.04f, 1e-6);

  // Camera light overhead adds white x 0.8; together with the sun it clamps at 1.
  ms.camera_light->SetPosition(300, 300, 50);
  ms.sun->SetPosition(300, 300, 300);
  f = LightFactor(lit, p, up, ShiningLights(ms.scene));
  EXPECT_FLOAT_EQ(f.r, 1.0f);
  EXPECT_NEAR(f.b, 0.04f + 0.8f + 0.26f * 0.8f / 2, 1e-5);

  // A hidden light does not shine.
  ms.sun->SetVisible(false);
  EXPECT_EQ(ShiningLights(ms.scene).size(), 1u);
}
