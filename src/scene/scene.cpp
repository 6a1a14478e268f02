#include "scene/scene.h"

namespace scene {

Scene::Scene() : root_(new DummyCube()) {
  root_->scene_ = this;
  root_->SetName("GLScene1");
  Register(root_.get());
}

Scene::~Scene() = default;

void Scene::Register(Object* o) {
  o->id_ = next_id_++;
  if (o->kind() == ObjectKind::LightSource) lights_.push_back(static_cast<LightSource*>(o));
}

namespace {
template <class T>
T* Child(Object* parent, const char* name) {
  T* c = parent->AddNewChild<T>();
  c->SetName(name);
  return c;
}
}  // namespace

MainScene::MainScene() {
  scene.matlib.Add("LibMaterial");
  supercube = Child<DummyCube>(&scene.root(), "supercube");
  maincube = Child<DummyCube>(supercube, "maincube");
  terrain = Child<DummyCube>(maincube, "terrain");
  tubes = Child<DummyCube>(maincube, "tubes");
  tubes->SetLayered(true);
  buildings = Child<DummyCube>(maincube, "buildings");
  sel_marker = Child<Plane>(maincube, "sel_marker");
  sel_marker->SetWidth(20);
  sel_marker->SetHeight(20);
  sel_marker->SetPosition(0, 0, 4);
  sel_cube = Child<Cube>(maincube, "SelCube");
  sel_cube->SetCubeSize(20, 20, 20);
  sel_cube->SetVisible(false);
  sel_cube->SetPickable(false);
  upg_bar = Child<Plane>(maincube, "upg_bar");
  upg_bar->SetWidth(20);
  upg_bar->SetHeight(1);
  hud_bottom = Child<DummyCube>(supercube, "HUDbottom");
  hud = Child<DummyCube>(supercube, "HUD");
  hud_text = Child<DummyCube>(supercube, "HUDText");
  camera_light = Child<LightSource>(supercube, "GLLightSource1");
  camera_light->SetConstAttenuation(1.0f);
  camera_light->SetPosition(0, 0, 20);
  sun = Child<LightSource>(supercube, "SUN");
  sun->SetConstAttenuation(2.0f);
  sun->SetDiffuse({0.71f, 0.65f, 0.26f, 1.0f});
  camera = Child<Camera>(&scene.root(), "GLCamera1");
  camera->SetPosition(0, 0, 50);
  camera->SetFocalLength(50);
  camera->SetDepthOfView(100);
}

}  // namespace scene
