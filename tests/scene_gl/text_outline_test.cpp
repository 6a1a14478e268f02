// The dark outline round HUD texts, checked on the rendered picture at each UI scale: it
// lies round every stroke at one and two outline steps in all eight directions, and
// nowhere farther, whatever the glyphs (Latin, Cyrillic, Chinese, the missing-glyph sign).
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "scene/gl/viewer.h"
#include "plain_ground.h"
#include "scene/scene.h"

using namespace scene;

TEST(TextOutline, RingsEveryStrokeAtOneAndTwoStepsAndNoFarther) {
  gl::OffscreenRenderer renderer;
  ASSERT_TRUE(renderer.ok()) << renderer.error();
  constexpr int kW = 360, kH = 90;
  for (const float scale : {1.0f, 1.5f, 2.0f}) {
    SCOPED_TRACE("scale " + std::to_string(scale));
    // The texts over a ground of one grey level: over black only the white glyphs show
    // (their alpha), over grey the outline too.
    auto draw = [&](uint8_t ground) {
      MainScene ms;
      scene_gl_test::PlainGround(ms, scale, QColor(ground, ground, ground), kW, kH);
      // Two texts close together, so that one's outline lies over the other's glyphs.
      float x = 6;
      for (const char* s : {"Wg|Жж 88", "%中\x01"}) {
        HUDText* text = ms.hud_text->AddNewChild<HUDText>();
        text->SetBitmapFont(&ms.font1);
        text->SetText(s);
        text->SetPosition(x, 8, 0);
        x += 70;
      }
      return renderer.Render(ms.scene, *ms.camera, kW, kH);
    };
    const QImage black = draw(0), grey = draw(128);
    ASSERT_FALSE(black.isNull());
    ASSERT_FALSE(grey.isNull());
    if (const char* dir = std::getenv("QUENMAR_TEST_SHOTS"))
      grey.save(QString::fromUtf8(dir) + QString("/text_outline_%1.png").arg(scale));
    auto level = [](const QImage& img, int px, int py) {
      const QRgb c = img.pixel(px, py);
      return (qRed(c) + qGreen(c) + qBlue(c)) / 3.0;
    };
    // The glyphs' alpha, and (where they are faint enough to tell; -1 elsewhere) the share
    // of the ground the outline leaves.
    std::vector<double> glyph(static_cast<size_t>(kW * kH)), ground(glyph.size(), -1.0);
    for (int py = 0; py < kH; ++py)
      for (int px = 0; px < kW; ++px) {
        const size_t i = static_cast<size_t>(py * kW + px);
        glyph[i] = level(black, px, py) / 255;
        if (glyph[i] < 0.5) ground[i] = (level(grey, px, py) - 255 * glyph[i]) / (128 * (1 - glyph[i]));
      }
    const int step = std::max(1, static_cast<int>(std::lround(scale)));
    auto inside = [&](int px, int py) { return px >= 0 && py >= 0 && px < kW && py < kH; };
    int strokes = 0, missing = 0;
    for (int py = 0; py < kH; ++py)
      for (int px = 0; px < kW; ++px) {
        const double a = glyph[static_cast<size_t>(py * kW + px)];
        if (a < 0.8) continue;
        ++strokes;
        // Each copy of this texel hides the ground round it by as much as it is opaque.
        for (const int r : {step, 2 * step})
          for (int dy = -r; dy <= r; dy += r)
            for (int dx = -r; dx <= r; dx += r)
              if (inside(px + dx, py + dy) && ground[static_cast<size_t>((py + dy) * kW + px + dx)] > 1 - a + 0.06)
                ++missing;
      }
    ASSERT_GT(strokes, 100);
    EXPECT_EQ(missing, 0) << "the ground shows where the outline should hide it";
    // Nothing darkened beyond the outline's reach from every glyph texel.
    int stray = 0;
    for (int py = 0; py < kH; ++py)
      for (int px = 0; px < kW; ++px) {
        const double left = ground[static_cast<size_t>(py * kW + px)];
        if (left < 0 || left > 0.94) continue;
        bool near = false;
        for (int dy = -2 * step; dy <= 2 * step && !near; ++dy)
          for (int dx = -2 * step; dx <= 2 * step && !near; ++dx)
            near = inside(px + dx, py + dy) && glyph[static_cast<size_t>((py + dy) * kW + px + dx)] > 0.01;
        stray += near ? 0 : 1;
      }
    EXPECT_EQ(stray, 0) << "the outline darkens the ground beyond its reach";
  }
}
