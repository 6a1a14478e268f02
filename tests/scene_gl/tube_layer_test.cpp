// The connection tubes drawn through their layer against the same colony drawn plane by
// plane: the game's own full colony and pictures, from every height the player sees it.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>

#include "full_colony.h"
#include "scene/gl/viewer.h"

namespace {

constexpr int kW = 1008, kH = 709;
// 16 x 16 pixel blocks: a tube run missing or drawn twice, or a seam along a tile edge,
// changes a block far more than resampling the same texels does.
constexpr int kBlock = 16;

struct Difference {
  double mean = 0;  // per channel, over the whole view
  double worst_block = 0;  // per channel, over the worst block
  int worst_x = 0, worst_y = 0;
};

Difference Compare(const QImage& a, const QImage& b) {
  Difference d;
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  int64_t total = 0;
  const int bw = (kW + kBlock - 1) / kBlock, bh = (kH + kBlock - 1) / kBlock;
  std::vector<int64_t> blocks(static_cast<size_t>(bw * bh)), counts(blocks.size());
  for (int py = 0; py < kH; ++py) {
    const auto* rx = reinterpret_cast<const QRgb*>(x.constScanLine(py));
    const auto* ry = reinterpret_cast<const QRgb*>(y.constScanLine(py));
    for (int px = 0; px < kW; ++px) {
      const int diff = std::abs(qRed(rx[px]) - qRed(ry[px])) + std::abs(qGreen(rx[px]) - qGreen(ry[px])) +
                       std::abs(qBlue(rx[px]) - qBlue(ry[px]));
      total += diff;
      const size_t k = static_cast<size_t>((py / kBlock) * bw + px / kBlock);
      blocks[k] += diff;
      counts[k] += 3;
    }
  }
  d.mean = static_cast<double>(total) / (3.0 * kW * kH);
  for (size_t k = 0; k < blocks.size(); ++k) {
    const double m = static_cast<double>(blocks[k]) / static_cast<double>(counts[k]);
    if (m > d.worst_block) {
      d.worst_block = m;
      d.worst_x = static_cast<int>(k) % bw * kBlock;
      d.worst_y = static_cast<int>(k) / bw * kBlock;
    }
  }
  return d;
}

// With QUENMAR_TEST_SHOTS naming a folder, both pictures side by side for a person to
// look at.
void Keep(const QImage& direct, const QImage& layered, const std::string& name) {
  const char* dir = std::getenv("QUENMAR_TEST_SHOTS");
  if (!dir || !*dir) return;
  QImage pair(kW * 2 + 8, kH, QImage::Format_RGB32);
  pair.fill(Qt::white);
  QPainter p(&pair);
  p.drawImage(0, 0, direct);
  p.drawImage(kW + 8, 0, layered);
  p.end();
  pair.save(QString::fromUtf8(dir) + "/" + QString::fromStdString(name) + ".png");
}

struct View {
  const char* name;
  int height;
  bool isometric;
};

class TubeLayerLook : public ::testing::Test {
 protected:
  bench_support::FullColony colony{QUENMAR_DATA_DIR};
  scene::gl::OffscreenRenderer renderer;

  void Place(const View& v) {
    if (colony.g.isometric != v.isometric) colony.world.ToggleIsometric();
    colony.world.PlaceCamera(330, 290, v.height);
    colony.world.GLCadencer2Progress(0.016, 0);
  }
  QImage Shot(bool layers) {
    scene::MainScene& ms = colony.world.main_scene();
    renderer.SetLayers(layers);
    return renderer.Render(ms.scene, *ms.camera, kW, kH, true);
  }
  // The same frame both ways: nothing moves between the two pictures. The layer comes in
  // a few tiles a frame: frames are drawn until it is complete.
  void ExpectSameLook(const View& v, const std::string& name) {
    const QImage direct = Shot(false);
    QImage layered = Shot(true);
    for (int k = 0; k < 100 && renderer.stats().layer_tiles_redrawn > 0; ++k) layered = Shot(true);
    EXPECT_EQ(renderer.stats().layers_shown, v.height >= 100 ? 1 : 0) << name;
    Keep(direct, layered, name);
    const Difference d = Compare(direct, layered);
    std::printf("%-16s mean %.2f, worst block %.1f\n", name.c_str(), d.mean, d.worst_block);
    EXPECT_LE(d.mean, 2.0) << name;
    // The isometric view's foreground magnifies the tiles' texels most.
    EXPECT_LE(d.worst_block, v.isometric ? 24.0 : 18.0) << name << ": block at " << d.worst_x << "," << d.worst_y;
  }
};

TEST_F(TubeLayerLook, MatchesThePlanesFromEveryHeightAndAfterChanges) {
  ASSERT_TRUE(renderer.ok()) << renderer.error();
  ASSERT_GE(colony.world.matlib_info().max_terrain, 0) << "no textures in " << QUENMAR_DATA_DIR;
  const View views[] = {{"height10", 10, false},
                        {"height50", 50, false},
                        {"height110", 110, false},
                        {"height200", 200, false},
                        {"isometric50", 50, true},
                        {"isometric110", 110, true},
                        {"isometric200", 200, true}};
  for (const View& v : views) {
    Place(v);
    ExpectSameLook(v, v.name);
  }
  // The layer is really in use from afar, within its memory.
  Place(views[3]);
  Shot(true);
  EXPECT_GT(renderer.stats().layer_bytes, 0u);
  EXPECT_LE(renderer.stats().layer_bytes, size_t{64} << 20);

  // A building goes, another changes its neighbours' tubes: only the tiles around them
  // are drawn again, and the picture still matches plane by plane.
  Place(views[2]);
  for (int slot : {500, 517, 0, 1000}) {
    colony.g.placed[static_cast<size_t>(slot)].exists = false;
    colony.g.PlacedChanged();
    colony.world.GLCadencer2Progress(0.016, 0);
    colony.world.GLCadencer2Progress(0.016, 0);
    Shot(true);
    EXPECT_GT(renderer.stats().layer_tiles_redrawn, 0) << slot;
    EXPECT_LE(renderer.stats().layer_tiles_redrawn, 4) << slot;
    ExpectSameLook(views[2], "removed" + std::to_string(slot));
  }
  Shot(true);
  EXPECT_EQ(renderer.stats().layer_tiles_redrawn, 0);

  // The switch hides every tube; back on, all of them show again.
  for (bool off : {true, false}) {
    colony.g.tubes_off = off;
    colony.world.GLCadencer2Progress(0.016, 0);
    if (!off) {
      // Every tile to draw again: they come in over many frames, which meanwhile show
      // the planes, so that no frame is held up.
      Shot(true);
      EXPECT_EQ(renderer.stats().layer_tiles_redrawn, 4);
      EXPECT_EQ(renderer.stats().layers_shown, 0);
    }
    ExpectSameLook(views[3], off ? "tubes_off" : "tubes_on");
  }
  Place(views[6]);
  ExpectSameLook(views[6], "isometric200_after");

  // A see-through sheet drawn after the tubes, at their height, over much of the view:
  // it shows through the layer's clear texels as through the planes'.
  Place(views[3]);
  scene::MainScene& ms = colony.world.main_scene();
  scene::Material& glass = ms.scene.matlib.Add("test_glass");
  glass.blending_mode = scene::BlendingMode::Transparency;
  glass.diffuse = {0.9f, 0.2f, 0.2f, 0.6f};
  ms.sel_marker->SetLibMaterialName("test_glass");
  ms.sel_marker->SetVisible(true);
  ms.sel_marker->SetWidth(300), ms.sel_marker->SetHeight(300);
  ms.sel_marker->SetPosition(330, 290, colony.world.main_scene().tubes->child(0)->z());
  ExpectSameLook(views[3], "sheet_at_tube_height");
}

}  // namespace
