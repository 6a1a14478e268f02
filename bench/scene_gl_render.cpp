// Frame rate of the renderer on a full colony: 1001 terrain tiles, 1001 building planes
// and every tube between neighbours, in a 1008 x 709 view, lit by the camera light and
// the sun. Run under Xvfb: tests/scene_gl/xvfb_run.sh build/bench/bench_scene_gl
// The synthetic colonies use noise pictures with hard or soft outlines; the game colony
// is the one the game builds itself (material library, scene, frame loop) from the
// build's textures. With QUENMAR_BENCH_SHOTS=<folder> each case also writes its first
// frame there as a PNG, for comparing the look before and after a change.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "core/construction.h"
#include "full_colony.h"
#include "scene/gl/viewer.h"
#include "scene/scene.h"

namespace {

using namespace scene;

// Pictures like the game's: opaque ground; cut-out shapes whose outline is either hard
// (alpha 0 or 255 only) or soft (a rim of half-clear texels).
enum class Edge { None, Hard, Soft };

std::shared_ptr<Image> Noise(std::mt19937& rng, int size, Edge edge) {
  auto img = std::make_shared<Image>();
  img->width = img->height = size;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const auto v = static_cast<uint8_t>(rng() & 0xff);
      const int border = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
      uint8_t a = 255;
      if (edge != Edge::None && border < size / 8) a = 0;
      if (edge == Edge::Soft && border == size / 8) a = 128;
      img->rgba.insert(img->rgba.end(), {v, static_cast<uint8_t>(v / 2), 40, a});
    }
  return img;
}

struct FullColony {
  MainScene ms;
  std::vector<Plane*> shuttles;

  explicit FullColony(Edge edge) {
    std::mt19937 rng(7);
    MaterialLibrary& lib = ms.scene.matlib;
    auto add = [&](const std::string& name, std::shared_ptr<Image> img, bool bright) {
      Material& m = lib.Add(name);
      m.texture.image = std::move(img);
      m.texture.disabled = false;
      m.blending_mode = BlendingMode::Transparency;
      if (bright) m.emission = {1, 1, 1, 1};
    };
    for (int i = 0; i < 4; ++i) add("m_terrain_" + std::to_string(i), Noise(rng, 64, Edge::None), false);
    for (int i = 0; i < 40; ++i) add("m_bldg_" + std::to_string(i), Noise(rng, 64, edge), false);
    for (int k = 0; k < 4; ++k) add("m_tube_" + std::to_string(k) + "_0", Noise(rng, 32, edge), false);
    add("m_shuttle", Noise(rng, 32, edge), false);
    add("m_selmarker", Noise(rng, 32, edge), true);

    const int dx[8] = {1, 1, 0, -1, -1, -1, 0, 1}, dy[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    const int kind[8] = {3, 0, 2, 1, 3, 0, 2, 1};
    std::vector<std::pair<int, int>> cells;
    for (int k = 0; k < 1001; ++k) {
      const int x = k / 30, y = k % 30;
      cells.emplace_back(x, y);
      Plane* t = ms.terrain->AddNewChild<Plane>();
      t->SetWidth(20), t->SetHeight(20), t->SetPosition(x * 20.f, y * 20.f, -1);
      t->SetLibMaterialName("m_terrain_" + std::to_string(k % 4));
    }
    auto occupied = [](int x, int y) { return x >= 0 && y >= 0 && y < 30 && x * 30 + y <= 1000; };
    for (int k = 0; k < 1001; ++k) {
      for (int d = 0; d < 8; ++d) {
        Plane* p = ms.tubes->AddNewChild<Plane>();
        p->SetWidth(14), p->SetHeight(14);
        const auto [x, y] = cells[static_cast<size_t>(k)];
        p->SetLibMaterialName("m_tube_" + std::to_string(kind[d]) + "_0");
        p->SetPosition(x * 20.f + dx[d] * 5.f, y * 20.f + dy[d] * 5.f, 0);
        p->SetVisible(occupied(x + dx[d], y + dy[d]));
      }
    }
    for (int k = 0; k < 1001; ++k) {
      Plane* b = ms.buildings->AddNewChild<Plane>();
      b->SetWidth(20), b->SetHeight(20);
      b->SetPosition(cells[static_cast<size_t>(k)].first * 20.f, cells[static_cast<size_t>(k)].second * 20.f, 2);
      b->SetLibMaterialName("m_bldg_" + std::to_string(k % 40));
    }
    for (int s = 0; s < 10; ++s) {
      Plane* p = ms.buildings->AddNewChild<Plane>();
      p->SetWidth(8), p->SetHeight(8), p->SetPosition(100.f + s * 30, 200, 15);
      p->SetLibMaterialName("m_shuttle");
      shuttles.push_back(p);
    }
    ms.sel_marker->SetLibMaterialName("m_selmarker");
    ms.upg_bar->SetVisible(false);
    ms.sun->SetPosition(300, 300, 300);
  }
};

// Every slot of the game's placed table filled, so every building has its neighbours and
// every tube shows; a few buildings under construction or switched off, shuttles flying.
struct GameColony : bench_support::FullColony {
  GameColony() : bench_support::FullColony(DataDir()) {
    g.day_angle = 60;  // mid-morning: both lights shine
  }

  static std::string DataDir() {
    const char* env = std::getenv("QUENMAR_BENCH_DATA");
    return env && *env ? env : QUENMAR_DATA_DIR;
  }

  // The camera over the middle of the colony at `height`, in the normal or isometric view,
  // after one frame of the game's loop has placed everything.
  void View(int height, bool isometric) {
    if (g.isometric != isometric) world.ToggleIsometric();
    world.PlaceCamera(330, 290, height);
    world.GLCadencer2Progress(0.016, 0);
  }
};

struct Fixture {
  FullColony hard{Edge::Hard};
  FullColony soft{Edge::Soft};
  GameColony game;
  gl::OffscreenRenderer renderer;
};

// Made on first use, and freed in main while the application (and so the GL) still
// exists.
std::unique_ptr<Fixture>& Slot() {
  static std::unique_ptr<Fixture> f;
  return f;
}

Fixture& Shared() {
  if (!Slot()) Slot() = std::make_unique<Fixture>();
  return *Slot();
}

// User and system time of every thread of the process.
double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto sec = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return sec(u.ru_utime) + sec(u.ru_stime);
}

// The first frame, as a picture, when QUENMAR_BENCH_SHOTS names a folder.
void Shot(gl::OffscreenRenderer& r, MainScene& ms, const std::string& name) {
  const char* dir = std::getenv("QUENMAR_BENCH_SHOTS");
  if (!dir || !*dir) return;
  const QImage shot = r.Render(ms.scene, *ms.camera, 1008, 709, true);
  shot.save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

void Measure(benchmark::State& state, const std::string& name, gl::OffscreenRenderer& r,
             MainScene& ms, const std::vector<Plane*>& turning) {
  Shot(r, ms, name);
  // Until every layer tile is drawn: they come in a few a frame, and a frame that still
  // draws tiles is no still frame.
  for (int i = 0; i < 200; ++i) {
    r.Render(ms.scene, *ms.camera, 1008, 709, false);
    r.Finish();
    if (r.stats().layer_tiles_redrawn == 0) break;
  }
  float t = 0;
  const double cpu_before = ProcessCpuSeconds();
  for (auto _ : state) {
    t += 1;
    for (Plane* s : turning) s->SetRollAngle(t);
    r.Render(ms.scene, *ms.camera, 1008, 709, false);
    r.Finish();
  }
  const double cpu = ProcessCpuSeconds() - cpu_before;
  // The software rasterizer's threads included: the work a frame costs whatever else
  // the machine is doing (the wall time depends on how many cores it gets).
  const auto frames = static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  state.counters["cpu_ms"] = cpu * 1000 / frames;
  state.SetItemsProcessed(state.iterations());
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["draw_calls"] = r.stats().draw_calls;
  state.counters["quads"] = r.stats().world_quads;
  state.counters["hud_quads"] = r.stats().hud_quads;
}

void RenderColony(benchmark::State& state, const std::string& name, float height,
                  bool moving_shuttles, Edge edge) {
  Fixture& f = Shared();
  FullColony& colony = edge == Edge::Soft ? f.soft : f.hard;
  if (!f.renderer.ok()) {
    state.SkipWithError(f.renderer.error().c_str());
    return;
  }
  MainScene& ms = colony.ms;
  ms.camera->SetPosition(330, 290, height);
  ms.camera->SetDepthOfView(10000);
  ms.camera_light->SetPosition(330, 290, 50);
  Measure(state, name, f.renderer, ms, moving_shuttles ? colony.shuttles : std::vector<Plane*>{});
}

// The game's own colony and pictures; the scene stays as the frame loop left it.
void RenderGameColony(benchmark::State& state, const std::string& name, int height,
                      bool isometric, bool layers = true) {
  Fixture& f = Shared();
  f.renderer.SetLayers(layers);
  if (!f.renderer.ok()) {
    state.SkipWithError(f.renderer.error().c_str());
    return;
  }
  if (f.game.world.matlib_info().max_terrain < 0) {
    state.SkipWithError("no textures in the data folder (set QUENMAR_BENCH_DATA)");
    return;
  }
  f.game.View(height, isometric);
  MainScene& gms = f.game.world.main_scene();
  // QUENMAR_BENCH_HIDE=terrain, tubes, buildings, hud, hud_text or hud_bottom (or several,
  // separated by commas) leaves those parts out: what the frame spends on them is the
  // difference.
  const char* hide = std::getenv("QUENMAR_BENCH_HIDE");
  const std::string h = "," + std::string(hide ? hide : "") + ",";
  std::vector<DummyCube*> hidden;
  for (const auto& [part, cube] : {std::pair{"terrain", gms.terrain}, {"tubes", gms.tubes},
                                   {"buildings", gms.buildings}, {"hud", gms.hud},
                                   {"hud_text", gms.hud_text}, {"hud_bottom", gms.hud_bottom}})
    if (h.find("," + std::string(part) + ",") != std::string::npos && cube->visible()) {
      cube->SetVisible(false);
      hidden.push_back(cube);
    }
  Measure(state, name, f.renderer, gms, {});
  for (DummyCube* cube : hidden) cube->SetVisible(true);
  state.counters["layer_mb"] = static_cast<double>(f.renderer.stats().layer_bytes) / (1 << 20);
  f.renderer.SetLayers(true);
}

// A building goes up and down again every frame next to the middle of the colony: what a
// construction costs a frame from height 200, the tubes around it drawn anew (compare
// with BM_GameColonyHeight200).
void Construction(benchmark::State& state, bool layers) {
  Fixture& f = Shared();
  f.renderer.SetLayers(layers);
  if (!f.renderer.ok() || f.game.world.matlib_info().max_terrain < 0) {
    state.SkipWithError("no renderer or no textures");
    return;
  }
  f.game.View(200, false);
  MainScene& ms = f.game.world.main_scene();
  core::building& b = f.game.g.placed[517];
  for (int i = 0; i < 200; ++i) {
    f.renderer.Render(ms.scene, *ms.camera, 1008, 709, false);
    f.renderer.Finish();
    if (f.renderer.stats().layer_tiles_redrawn == 0) break;
  }
  int redrawn = 0, rebuilt = 0;
  // The renderer's share only (tiles and containers redrawn, the frame itself), not the
  // game's working out of the new tubes: compare with the still frame's cpu_ms.
  double cpu = 0, world = 0;
  for (auto _ : state) {
    b.exists = !b.exists;
    f.game.g.PlacedChanged();
    const double start = ProcessCpuSeconds();
    f.game.world.GLCadencer2Progress(0.016, 0);
    const double before = ProcessCpuSeconds();
    world += before - start;
    f.renderer.Render(ms.scene, *ms.camera, 1008, 709, false);
    f.renderer.Finish();
    cpu += ProcessCpuSeconds() - before;
    redrawn += f.renderer.stats().layer_tiles_redrawn;
    rebuilt += f.renderer.stats().groups_rebuilt;
  }
  state.counters["groups_rebuilt"] = static_cast<double>(rebuilt) / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  state.counters["cpu_ms"] = cpu * 1000 / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  // The game's own step of the same frame (tubes, building planes, HUD), apart.
  state.counters["world_ms"] = world * 1000 / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  if (!b.exists) {
    b.exists = true;
    f.game.g.PlacedChanged();
    f.game.world.GLCadencer2Progress(0.016, 0);
  }
  state.counters["tiles_redrawn"] = static_cast<double>(redrawn) / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  f.renderer.SetLayers(true);
}
void BM_GameColonyHeight200Construction(benchmark::State& s) { Construction(s, true); }
void BM_GameColonyHeight200ConstructionPlanes(benchmark::State& s) { Construction(s, false); }

// The default camera height, and the highest one, from which the whole colony shows;
// building, tube and craft pictures with hard or soft outlines.
void BM_RenderColonyHeight50(benchmark::State& s) {
  RenderColony(s, "BM_RenderColonyHeight50", 50, false, Edge::Hard);
}
void BM_RenderColonyHeight200(benchmark::State& s) {
  RenderColony(s, "BM_RenderColonyHeight200", 200, false, Edge::Hard);
}
void BM_RenderColonyHeight50SoftEdges(benchmark::State& s) {
  RenderColony(s, "BM_RenderColonyHeight50SoftEdges", 50, false, Edge::Soft);
}
void BM_RenderColonyHeight200SoftEdges(benchmark::State& s) {
  RenderColony(s, "BM_RenderColonyHeight200SoftEdges", 200, false, Edge::Soft);
}
// Shuttles turning every frame: their container is rebuilt each frame.
void BM_RenderColonyHeight50Shuttles(benchmark::State& s) {
  RenderColony(s, "BM_RenderColonyHeight50Shuttles", 50, true, Edge::Hard);
}

// The game's colony from the default height, from the highest, and isometric from both.
void BM_GameColonyHeight50(benchmark::State& s) {
  RenderGameColony(s, "BM_GameColonyHeight50", 50, false);
}
void BM_GameColonyHeight200(benchmark::State& s) {
  RenderGameColony(s, "BM_GameColonyHeight200", 200, false);
}
void BM_GameColonyIsometric50(benchmark::State& s) {
  RenderGameColony(s, "BM_GameColonyIsometric50", 50, true);
}
void BM_GameColonyIsometric200(benchmark::State& s) {
  RenderGameColony(s, "BM_GameColonyIsometric200", 200, true);
}
// The same with every tube drawn plane by plane, to compare within one run
// (--benchmark_enable_random_interleaving=true).
void BM_GameColonyHeight200Planes(benchmark::State& s) {
  RenderGameColony(s, "BM_GameColonyHeight200Planes", 200, false, false);
}
void BM_GameColonyIsometric200Planes(benchmark::State& s) {
  RenderGameColony(s, "BM_GameColonyIsometric200Planes", 200, true, false);
}

BENCHMARK(BM_GameColonyHeight50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GameColonyHeight200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GameColonyIsometric50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GameColonyIsometric200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GameColonyHeight200Construction)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GameColonyHeight200ConstructionPlanes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GameColonyHeight200Planes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GameColonyIsometric200Planes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderColonyHeight50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderColonyHeight200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderColonyHeight50SoftEdges)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderColonyHeight200SoftEdges)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderColonyHeight50Shuttles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  gl::InstallDefaultSurfaceFormat(false);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  Slot().reset();
  benchmark::Shutdown();
  return 0;
}
