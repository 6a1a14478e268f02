#pragma once
// What the window tests share: a data folder whose textures are flat colours, so a
// screenshot shows at a glance which object lies under a pixel, and where a cell of the
// colony lands in the view.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdint>
#include <string>

#include "scene/camera.h"
#include "scene/scene.h"
#include "support/test_data.h"

namespace ui_test {

// The colours of the test textures.
inline const QColor kTerrain(40, 200, 40);      // green ground
inline const QColor kWorking(230, 30, 30);      // red: a working building
inline const QColor kSwitchedOff(30, 30, 230);  // blue: switched off
inline const QColor kConstruction(230, 230, 30);  // yellow: under construction
inline const QColor kTube(230, 30, 230);        // magenta tubes
inline const QColor kMarker(30, 230, 230);      // cyan selection marker

// An uncompressed 32-bit TGA of w x h pixels: `inner` fills the middle half of each side,
// `outer` the rest (alpha 0 makes it see-through).
inline std::string Tga(int w, int h, QColor inner, QColor outer) {
  std::string s(18, '\0');
  s[2] = 2;  // uncompressed true colour
  s[12] = static_cast<char>(w & 0xff);
  s[13] = static_cast<char>(w >> 8);
  s[14] = static_cast<char>(h & 0xff);
  s[15] = static_cast<char>(h >> 8);
  s[16] = 32;
  s[17] = 8;  // 8 alpha bits, rows bottom-up
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool in = x >= w / 4 && x < w - w / 4 && y >= h / 4 && y < h - h / 4;
      const QColor c = in ? inner : outer;
      s += static_cast<char>(c.blue());
      s += static_cast<char>(c.green());
      s += static_cast<char>(c.red());
      s += static_cast<char>(c.alpha());
    }
  }
  return s;
}
inline std::string SolidTga(QColor c) { return Tga(4, 4, c, c); }

// Type 1 is built in one day (cost 100) and has no upgrades, so no progress bar shows.
inline core::building QuickType() {
  core::building b = testing_support::PlainType(1);
  b.cst = 100;
  b.upl = 1;
  return b;
}

// A complete data folder: language (entry k reads "Ek"), credits, building type 1, and
// flat textures for the ground, the three looks, the tubes and the marker. Buildings
// cover only the middle of their cell, so the tubes between them show.
inline void WriteGameData(const testing_support::TempDir& dir) {
  testing_support::WriteMinimalData(dir, {{1, QuickType()}});
  const QColor clear(0, 0, 0, 0);
  dir.Write("Textures/terrain_0.tga", SolidTga(kTerrain));
  dir.Write("Textures/bldg_1.tga", Tga(8, 8, kWorking, clear));
  dir.Write("Textures/bldg_1_off.tga", Tga(8, 8, kSwitchedOff, clear));
  dir.Write("Textures/bldg_constr.tga", Tga(8, 8, kConstruction, clear));
  for (int k = 0; k < 4; ++k) dir.Write("Textures/tube_" + std::to_string(k) + "_0.tga", SolidTga(kTube));
  dir.Write("Textures/selmarker.tga", SolidTga(kMarker));
}

// Where the centre of cell (cx, cy) at height z lands in a view of w x h pixels, the
// camera standing at (x, y, height), pitched as the isometric view does or not.
inline QPoint CellPixel(float cam_x, float cam_y, float cam_height, int w, int h, int cx, int cy, float z = 2,
                        bool isometric = false) {
  scene::MainScene ms;
  ms.camera->SetPosition(cam_x, cam_y, cam_height);
  ms.camera->SetDepthOfView(isometric ? 60000 : 10000);
  ms.camera->SetPitchAngle(isometric ? 30 : 0);
  const auto p = scene::ProjectToView(*ms.camera, w, h, scene::Vec3{cx * 20.0f, cy * 20.0f, z});
  if (!p) return {-1, -1};
  return {static_cast<int>(p->x), static_cast<int>(p->y)};
}

// The flat colour a pixel shows, told apart by which channels are lit: the lights scale
// the texture's channels but never light a channel the texture lacks.
inline std::string Kind(QColor c) {
  const int m = std::max({c.red(), c.green(), c.blue()});
  if (m < 40) return "dark";
  const bool r = c.red() > m / 2, g = c.green() > m / 2, b = c.blue() > m / 2;
  if (r && g && b) return "white";
  if (r && g) return "yellow";
  if (r && b) return "magenta";
  if (g && b) return "cyan";
  if (r) return "red";
  if (g) return "green";
  return "blue";
}
inline std::string KindAt(const QImage& img, QPoint p) {
  if (!img.rect().contains(p)) return "outside";
  return Kind(img.pixelColor(p));
}

}  // namespace ui_test
