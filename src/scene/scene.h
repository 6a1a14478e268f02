#pragma once
// The scene engine: a retained scene tree as plain data. The game builds the tree once,
// changes properties every frame and lets a renderer (scene/gl) draw it; nothing here
// needs a GL context, so presentation and HUD logic and their tests run without one.
//
// Using it
//   scene::MainScene ms;                       // the main window's fixed tree (below)
//   scene::Material& m = ms.scene.matlib.Add("m_terrain_0");
//   m.texture.image_file = dir + "/Textures/terrain_0.tga";
//   m.texture.disabled = false;                // + mode, filters, alpha: the defaults
//   m.blending_mode = scene::BlendingMode::Transparency;
//   m.emission = {1, 1, 1, 1};                 // bright; {0, 0, 0, 1} = lit
//   scene::Plane* tile = ms.terrain->AddNewChild<scene::Plane>();
//   tile->SetWidth(20); tile->SetHeight(20); tile->SetPosition(x * 20, y * 20, 0);
//   tile->SetLibMaterialName("m_terrain_0");   // no such material: drawn untextured
//   scene::HUDText* t = ms.hud_text->AddNewChild<scene::HUDText>();
//   t->SetBitmapFont(&ms.font1); t->SetText("Line 1\r\nLine 2");
//   t->SetAlignment(scene::Alignment::Center); t->SetLayout(scene::TextLayout::Center);
//   scene::Object* hit = ms.GetPickedObject(view_w, view_h, px, py);
//
// Files
//   math.h      Vec3, Mat4.
//   material.h  Color, Image, Texture, Material, MaterialLibrary (materials by name).
//   font.h      BitmapFont, the covered characters, UTF-8 lines and HUD text layout.
//   object.h    Object and its kinds: DummyCube (container), Plane, Cube, HUDSprite,
//               HUDText, LightSource, Camera. AddNewChild<T>(), position (whole or one
//               coordinate), Visible, Pickable, PitchAngle, RollAngle, sizes,
//               LibMaterialName, text, font, Alignment, Layout. Setters compare first.
//   camera.h    CameraFrustum / ProjectionMatrix (view size -> projection), ViewMatrix,
//               RayThroughPixel, ProjectToView: the one camera model used for drawing
//               and picking.
//   pick.h      PickRay / GetPickedObject: nearest visible, pickable plane or cube.
//   lighting.h  The lighting model (ambient + positional omni lights), on the CPU too.
//   cadencer.h  Cadencer: the frame and day clocks.
//
// Coordinates: world X grows with the grid column, Y with the row, Z up toward the
// camera; one cell is 20 units. HUD objects use view pixels, x right, y down from the
// top-left corner; sprite positions are centres. All stored values are floats.
//
// Changes and rendering: every real change to a drawable property raises the object's
// and its ancestors' subtree_revision(); the renderer rebuilds only containers whose
// revision moved and reads camera, lights and material settings every frame.
#include <cstdint>
#include <memory>
#include <vector>

#include "scene/cadencer.h"
#include "scene/camera.h"
#include "scene/font.h"
#include "scene/lighting.h"
#include "scene/material.h"
#include "scene/math.h"
#include "scene/object.h"
#include "scene/pick.h"

namespace scene {

// One scene: the tree below an invisible root, and the material library its objects name.
class Scene {
 public:
  Scene();
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  DummyCube& root() { return *root_; }
  const DummyCube& root() const { return *root_; }
  MaterialLibrary matlib;
  // View pixels per HUD pixel: HUD objects are placed in HUD pixels and drawn this much
  // larger, their glyphs rendered at the larger size.
  float hud_scale = 1;

  // Number of objects ever created in this scene, the root included (ids are 0..n-1).
  int object_count() const { return next_id_; }
  // Every light source in the tree, in creation order.
  const std::vector<LightSource*>& lights() const { return lights_; }
  // Lives exactly as long as this scene: a cache that may outlive the scene keeps a
  // weak_ptr to it to tell this scene from a later one at the same address.
  const std::shared_ptr<const int>& lifetime_token() const { return token_; }

 private:
  friend class Object;
  void Register(Object* o);

  std::unique_ptr<DummyCube> root_;
  int next_id_ = 0;
  std::vector<LightSource*> lights_;
  std::shared_ptr<const int> token_ = std::make_shared<const int>(0);
};

// The main window's fixed scene tree and engine components, with the settings they are
// created with. The game adds its run-time objects under `terrain`, `tubes`,
// `buildings`, `hud_bottom`, `hud` and `hud_text`.
//
//   root (the scene)
//     supercube                      container of everything drawn, CubeSize 1
//       maincube                     the 3D world
//         terrain                    terrain tiles
//         tubes                      connection-tube half planes
//         buildings                  building planes, trade ship, shuttles, pirates
//         sel_marker   Plane         20 x 20 at (0, 0, 4)
//         sel_cube     Cube          20 x 20 x 20, hidden, not pickable
//         upg_bar      Plane         20 x 1
//       hud_bottom                   first HUD layer (background panels)
//       hud                          second HUD layer (buttons, icons, ticks)
//       hud_text                     third HUD layer (all HUD texts)
//       camera_light LightSource     white, const attenuation 1, at (0, 0, 20)
//       sun          LightSource     diffuse (0.71, 0.65, 0.26), const attenuation 2
//     camera         Camera          at (0, 0, 50), focal length 50, depth of view 100
//
// The material library starts with one material, "LibMaterial", that nothing names.
// Object names are the game's own ("supercube", "HUDbottom", "SelCube", "SUN", ...).
struct MainScene {
  MainScene();
  MainScene(const MainScene&) = delete;
  MainScene& operator=(const MainScene&) = delete;

  Scene scene;
  DummyCube* supercube = nullptr;
  DummyCube* maincube = nullptr;
  DummyCube* terrain = nullptr;
  DummyCube* tubes = nullptr;
  DummyCube* buildings = nullptr;
  Plane* sel_marker = nullptr;
  Cube* sel_cube = nullptr;
  Plane* upg_bar = nullptr;
  DummyCube* hud_bottom = nullptr;
  DummyCube* hud = nullptr;
  DummyCube* hud_text = nullptr;
  LightSource* camera_light = nullptr;  // the light that follows the camera
  LightSource* sun = nullptr;
  Camera* camera = nullptr;

  // The three bitmap fonts: 13 px white, 11 px white, 13 px red.
  BitmapFont font1{"Courier New", 13, {1, 1, 1, 1}};
  BitmapFont font2{"Courier New", 11, {1, 1, 1, 1}};
  BitmapFont font3{"Courier New", 13, {1, 0, 0, 1}};

  // The day clock and the frame clock; both disabled at creation.
  Cadencer day_cadencer;
  Cadencer frame_cadencer;

  // Picking in the main view: what lies under view pixel (x, y), or nullptr.
  Object* GetPickedObject(int view_w, int view_h, float x, float y) {
    return scene::GetPickedObject(scene.root(), *camera, view_w, view_h, x, y);
  }
};

}  // namespace scene
