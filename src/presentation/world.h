#pragma once
// The game's world on screen: the material library, the run-time scene objects, the frame
// loop with the camera, the connection tubes and the pointer input of the 3D view.
// Plain C++ on the scene engine's data model (src/scene): no window, no GL, so all of it
// runs in tests and benchmarks.
//
// Using it (shell::Session does this for the window and the simulator alike)
//   presentation::World world(game, traffic);
//   world.SetLoadPump([&] { app.processEvents(); });  // the launcher stays responsive
//   world.hud().InitHudButtons(); world.FillMatLib(); world.ConstructScene();
//   world.EnableClocks();                         // the end of start-up
//   // idle timer (zero interval):
//   world.SetViewSize(viewer.width(), viewer.height());
//   world.Progress(seconds_since_last_idle);      // day clock, then the frame loop
//   viewer.render(world.scene());                 // one render per progress
//   // viewer events:
//   world.MsDown(x, y); world.MsMove(x, y); world.MsUp(x, y, button == Qt::LeftButton);
//   world.Wheel(angle_delta > 0 ? +1 : -1);       // away from the user = up = +1
//   // menu: world.ToggleIsometric(); world.ToggleTubes(); world.TogglePause();
//   // in HUD mode a press and a release reach world.hud() first; a release over a HUD
//   // button leaves the chosen site and the selection as they were.
//   // after the frame, the side panels show world.readout() (colony read-out).
//
// Files
//   world.h        this header: World and the reference tables.
//   matlib.cpp     FillMatLib: every texture under its material name.
//   construct.cpp  ConstructScene: the run-time objects in their order.
//   frame.cpp      the frame loop steps, reorient, camera travel, markers.
//   tubes.cpp      ControlTubes.
//   pointer.cpp    MsDown, MsMove, MsUp, MsLeave, the wheel.
//   keys.cpp       the cell cursor of the keyboard.
//
// The frame loop (GLCadencer2Progress), in its order: the information bar's layout; message
// pause of the day clock; view size; reorient; pirates; colony read-out (hud::ShowData),
// then a place for any information block it made visible; camera light; tubes; warnings; shuttles and their planes; music (game running); sun; HUD
// buttons (HUD mode); overlay; game-over check (stops the day clock); building planes;
// camera travel; trade ship; selection marker and progress bar.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/construction.h"
#include "core/game.h"
#include "audio/sound_system.h"
#include "core/grid.h"
#include "hud/hud.h"
#include "hud/readout.h"
#include "scene/scene.h"
#include "traffic/traffic.h"

namespace presentation {

inline constexpr int kTubeDirections = 8;
inline constexpr int kTubeKinds = 4;
inline constexpr int kShuttlePlanes = 10;
inline constexpr int kPiratePlanes = 3;
inline constexpr float kCellSize = core::kCellSizeF;
// Normal and isometric camera depth of view.
inline constexpr float kDepthOfView = 10000.0f;
inline constexpr float kIsometricDepthOfView = 60000.0f;
inline constexpr float kIsometricPitch = 30.0f;
// Building planes rest at this height; the marker above them.
inline constexpr float kBuildingZ = 2.0f;
inline constexpr float kMarkerZ = 4.0f;

// The counters FillMatLib leaves for ConstructScene and the HUD.
struct MatLibInfo {
  int32_t max_terrain = -1;                         // terrain materials found - 1
  std::array<int32_t, kTubeKinds> tube_tex_count{};  // consecutive tube_K_R files per kind
  std::vector<std::string> hud_textures;            // HUD texture names, without "m_"
};

// The reference tables of the run-time scene objects; every entry is set by ConstructScene
// (the HUD's own objects go to hud::HudObjects).
struct SceneObjects {
  std::array<scene::Plane*, core::kPlacedSize> terrain_tiles{};
  std::array<scene::Plane*, core::kPlacedSize> bldg_planes{};
  std::array<std::array<scene::Plane*, kTubeDirections>, core::kPlacedSize> tube_planes{};
  std::array<scene::Plane*, kShuttlePlanes> shuttle_planes{};
  std::array<scene::Plane*, kPiratePlanes> pirate_planes{};
  scene::Plane* trade_ship = nullptr;
  std::array<scene::HUDSprite*, core::kWarnings> warn_sprites{};
  std::array<scene::HUDText*, core::kWarnings> warn_texts{};
  // The keyboard's cell cursor: a frame around one cell.
  scene::Plane* cursor = nullptr;
};

// Lets pending window events run during loading, at most once per interval, so the
// launcher repaints without loading slowing down.
class LoadPump {
 public:
  LoadPump() = default;
  explicit LoadPump(std::function<void()> process_events,
                    std::chrono::milliseconds interval = std::chrono::milliseconds(50));
  void operator()();
  int runs() const { return runs_; }

 private:
  std::function<void()> process_events_;
  std::chrono::milliseconds interval_{50};
  std::chrono::steady_clock::time_point last_{};
  int runs_ = 0;
};

// --- the building blocks (World calls them; tests and benchmarks may call them directly)

// One material per texture file found under Textures, with the names, order, counters and
// load_status texts the rest of the game relies on. HUD textures only in HUD mode.
void FillMatLib(core::Game& g, scene::MaterialLibrary& matlib, const hud::ButtonTable& buttons,
                MatLibInfo& info, LoadPump& pump);

// The looks the keyboard's marks need, drawn here rather than read from files: the cell
// cursor's frame and, in HUD mode, the HUD's focus frame ("m_cursor", "m_focus").
void AddKeyboardMaterials(scene::MaterialLibrary& matlib, bool hud_mode);

// The HUD texture list: the ten fixed names, then every existing button's faces.
std::vector<std::string> HudTextureList(const hud::ButtonTable& buttons);

// Creates every run-time object under the main scene's containers, fills `objs` (and, in
// HUD mode, `hud_objs` from the button table) and gives the markers their materials.
// `colony_text` starts the five read-out overlay texts.
void ConstructScene(core::Game& g, scene::MainScene& ms, const MatLibInfo& info,
                    const hud::ButtonTable& buttons, const std::string& colony_text, SceneObjects& objs,
                    hud::HudObjects& hud_objs, LoadPump& pump);

// The cell lookup the tubes use: core::BuildingAt (indexed) or core::BuildingAtScan.
using CellLookupFn = int32_t (*)(const core::Game&, int32_t, int32_t);

// Shows, places and hides the tube halves of every slot from the placed table.
void ControlTubes(const core::Game& g, SceneObjects& objs, CellLookupFn lookup = core::BuildingAt);

// Tube direction d: cell offset toward the neighbour, the opposite direction, the kind.
struct TubeDirection {
  int32_t dx, dy, opposite, kind;
};
const TubeDirection& TubeDir(int d);

// One frame of camera travel on one axis toward `target` (a tenth of the way, stored as a
// single; snaps onto the target when within 1.5 steps).
float TravelToward(float coordinate, int32_t target);
// The sun's place for a day angle in degrees.
scene::Vec3 SunPosition(double day_angle);
// Normal or isometric geometry: camera pitch and depth, ground, tube and bar heights,
// building pitch.
void Reorient(const core::Game& g, scene::MainScene& ms, SceneObjects& objs);
// Building planes in their looks and places; free slots hidden.
void ShowBuildingPlanes(const core::Game& g, SceneObjects& objs);
// The wanted material of a placed building: construction, working or switched-off look.
std::string BuildingMaterial(const core::building& b);
// Selection marker (or the cube in the isometric view) and the progress bar.
void ShowMarkers(const core::Game& g, scene::MainScene& ms, const SceneObjects& objs);

// The scene, the two clocks, the craft and the view state of one main window, working
// on one core::Game.
class World {
 public:
  // Owns its traffic and plugs it into `g.traffic`.
  explicit World(core::Game& g);
  // Uses `traffic` (already plugged into the game by its owner).
  World(core::Game& g, traffic::Traffic& traffic);
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // Lets pending window events run (throttled) during the slow loading steps.
  void SetLoadPump(std::function<void()> process_events);
  void FillMatLib();
  void ConstructScene();
  // Both clocks on (end of start-up).
  void EnableClocks();

  // One idle step: the day clock, then the frame loop, each with `real_delta` seconds
  // (a disabled clock lets its time pass unseen). The window renders once after it.
  void Progress(double real_delta);
  // The frame loop's game-over check (the simulator's `day` runs it after every day).
  void CheckGameover();
  // The frame loop itself (the frame clock's handler).
  void GLCadencer2Progress(double deltaTime, double newTime);
  // What the game asks for when it shows its data between frames (start-up, a new game,
  // a load): an information bar that shows nothing yet (a new game clears it) is filled
  // and laid out, so that the next frame draws it in place, not at the corner.
  void ShowData();

  // The 3D view's size in pixels; read by the next frame and by picking.
  void SetViewSize(int width, int height);

  // Camera and view.
  void reorient();
  void modcamera(int32_t step);
  void ToggleIsometric();  // the "Isometric" menu item
  void ToggleTubes();      // the "No connection tubes" menu item (next frame shows it)
  // "Pause/Unpause": the player's pause holds the day clock off until undone (the frame
  // loop would otherwise switch it on again in the next frame); the message pause and
  // the game-over stop work as before on top of it.
  void TogglePause();
  bool paused() const { return paused_; }
  // Where the centre of cell (cx, cy) shows in the view, in view pixels; nothing when it
  // lies behind the camera or off the view (presentation/tutorial_mark.cpp).
  std::optional<std::pair<double, double>> CellOnView(int32_t cx, int32_t cy) const;
  // Camera target and height, the camera placed there at once.
  void PlaceCamera(int32_t x, int32_t y, int32_t height);

  // Pointer input on the 3D view (view pixels, y down).
  void MsDown(int x, int y);
  void MsMove(int x, int y);
  void MsUp(int x, int y, bool left);
  // The pointer resting at (x, y): which HUD button it is over (`over_hud`) and its look.
  void Hover(int x, int y);
  // The pointer has left the view: the hover ends, so no tooltip waits on a button.
  void MsLeave();
  // One wheel notch: +1 away from the user (camera up), -1 toward the user.
  void Wheel(int notches);
  // What a release picking cell (cx, cy) does to the cell choice, selection and panels.
  void PickCell(int32_t cx, int32_t cy, bool left);

  // Selects slot `slot` as the building list does and sends the camera to it.
  void SelectSlot(int32_t slot);

  // --- the keyboard (keys.cpp)
  // The cell cursor moved `right` cells to the right and `down` cells down as the view
  // shows them, within the grid; the camera follows once it nears the view's edge. The
  // first move starts it on the chosen cell, the selected building or the cell under the
  // camera, and (0, 0) just shows it there.
  void MoveCursor(int right, int down);
  // Enter on the view: a left click on the cursor's cell (it chooses the site or selects
  // the building there).
  void ChooseCursorCell();
  // The cell cursor's cell; -1 while it is not shown.
  int32_t cursor_x = -1, cursor_y = -1;

  // --- state
  core::Game& game() { return g_; }
  scene::MainScene& main_scene() { return ms_; }
  scene::Scene& scene() { return ms_.scene; }
  SceneObjects& objects() { return *objs_; }
  const MatLibInfo& matlib_info() const { return info_; }
  traffic::Traffic& traffic() { return *traffic_; }
  const hud::Readout& readout() const { return readout_; }
  hud::Hud& hud() { return hud_; }
  scene::Cadencer& day_clock() { return ms_.day_cadencer; }
  scene::Cadencer& frame_clock() { return ms_.frame_cadencer; }

  // The music the frame loop keeps playing while a game runs (none: silent), and the
  // player's sound settings it plays with (the session keeps them as the options say).
  audio::SoundSystem* sound_system = nullptr;
  audio::AudioSettings audio_settings;
  // Drag sensitivity, hundredths of a scene unit per pixel (options file).
  int32_t pan_speed = 50;
  // The UI scale in percent (options file); 0 follows the view's height. Every frame
  // applies it; ApplyUiScale does at once, the HUD's unit included.
  int32_t ui_scale = 0;
  void ApplyUiScale();
  // The tubes' neighbour lookup (the benchmark swaps in the literal scan).
  CellLookupFn cell_lookup = core::BuildingAt;

  // Pointer state.
  bool pointer_down = false;
  bool over_hud = false;
  int32_t last_px = 0, last_py = 0;
  // Size of the 3D view, refreshed every frame from SetViewSize.
  double view_w = 1008, view_h = 709;

 private:
  void Init();
  void ArrangeInfoIcons();
  bool InfoBarHasUnplacedBlock() const;
  // A release that picked cell (cx, cy); `on_hud` keeps it from reaching the world.
  void ApplyPick(int32_t cx, int32_t cy, bool left, bool on_hud);
  void MirrorCraft();
  void MirrorWarnings();
  void MirrorShuttles();
  void ShowCursor();

  core::Game& g_;
  std::unique_ptr<traffic::Traffic> own_traffic_;
  traffic::Traffic* traffic_ = nullptr;
  scene::MainScene ms_;
  std::unique_ptr<SceneObjects> objs_;
  MatLibInfo info_;
  hud::Readout readout_;
  hud::Hud hud_;
  LoadPump pump_;
  int viewer_w_ = 1008, viewer_h_ = 709;
  bool paused_ = false;
};

}  // namespace presentation
