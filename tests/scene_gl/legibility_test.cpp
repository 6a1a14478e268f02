// HUD texts over the grounds they may lie on, measured on the rendered picture: the colour
// of the text against what surrounds its strokes must reach the 4.5:1 contrast ratio of
// the web's accessibility guidelines, over the brightest and darkest ground, a ground of
// the text's own colour and the night, at each UI scale.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "scene/gl/viewer.h"
#include "plain_ground.h"
#include "scene/scene.h"

using namespace scene;

namespace {

// Relative luminance of an sRGB colour, 0..1.
double Luminance(const QColor& c) {
  auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue());
}

double Contrast(double la, double lb) { return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05); }

TEST(Legibility, EveryHudFontReadsAtLeastFourAndAHalfToOneOverAnyGround) {
  gl::OffscreenRenderer renderer;
  ASSERT_TRUE(renderer.ok()) << renderer.error();
  constexpr int kW = 300, kH = 80;
  struct Ground {
    const char* name;
    QColor colour;
  };
  // The brightest ground, the darkest, a red crater floor under the red days-left text, a
  // sunlit crystal field and the ground at night.
  const std::vector<Ground> grounds = {{"white", QColor(255, 255, 255)},
                                       {"black", QColor(0, 0, 0)},
                                       {"red", QColor(255, 0, 0)},
                                       {"crystal", QColor(200, 230, 255)},
                                       {"night", QColor(12, 14, 30)}};
  for (const int font_index : {0, 1, 2}) {
    for (const float scale : {1.0f, 1.5f, 2.0f}) {
      // The text over a ground of a colour given, or (for the strokes' mask) over black.
      QColor ink;
      auto draw = [&](const QColor& colour, bool with_text) {
        MainScene ms;
        scene_gl_test::PlainGround(ms, scale, colour, kW, kH);
        const BitmapFont* font = font_index == 0 ? &ms.font1 : font_index == 1 ? &ms.font2 : &ms.font3;
        ink = QColor::fromRgbF(font->color.r, font->color.g, font->color.b);
        if (with_text) {
          HUDText* text = ms.hud_text->AddNewChild<HUDText>();
          text->SetBitmapFont(font);
          text->SetText("Days left: 88 Жж");
          text->SetPosition(8, 8, 0);
        }
        return renderer.Render(ms.scene, *ms.camera, kW, kH);
      };
      // The strokes: where the text shows its colour over black (the outline being dark,
      // the same pixels whatever the ground).
      const QImage probe = draw(QColor(0, 0, 0), true);
      ASSERT_FALSE(probe.isNull());
      std::vector<char> stroke(static_cast<size_t>(kW * kH), 0);
      int strokes = 0;
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
          const QColor c(probe.pixel(x, y));
          if (std::max({std::abs(c.red() - ink.red()), std::abs(c.green() - ink.green()), std::abs(c.blue() - ink.blue())}) < 60)
            stroke[static_cast<size_t>(y * kW + x)] = 1, ++strokes;
        }
      ASSERT_GT(strokes, 40 * scale * scale) << "the text's strokes show in its colour";
      // Distance (in pixels, the larger of the two axes) to the nearest stroke, up to 3.
      auto distance = [&](int x, int y) {
        for (int r = 0; r <= 2; ++r)
          for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
              const int px = x + dx, py = y + dy;
              if (px >= 0 && py >= 0 && px < kW && py < kH && stroke[static_cast<size_t>(py * kW + px)]) return r;
            }
        return 3;
      };
      for (const Ground& ground : grounds) {
        const std::string trace = std::string(ground.name) + ", font " + std::to_string(font_index + 1) + ", scale " +
                                  std::to_string(scale);
        SCOPED_TRACE(trace);
        const QImage shot = draw(ground.colour, true);
        ASSERT_FALSE(shot.isNull());
        if (const char* dir = std::getenv("QUENMAR_TEST_SHOTS"))
          shot.save(QString::fromUtf8(dir) + "/legibility_" + QString::fromStdString(ground.name) +
                    QString("_%1_%2.png").arg(font_index + 1).arg(scale));
        // What lies two pixels off the strokes: past the pixel where a smoothed edge blends
        // into whatever is next to it. The strokes themselves are in the font's colour.
        std::vector<double> behind;
        int inked = 0;
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) {
            const int d = distance(x, y);
            if (d == 2) behind.push_back(Luminance(QColor(shot.pixel(x, y))));
            if (d == 0 && QColor(shot.pixel(x, y)) == QColor(probe.pixel(x, y))) ++inked;
          }
        EXPECT_GE(inked, strokes * 9 / 10) << "the strokes are drawn over the outline as over black";
        ASSERT_FALSE(behind.empty());
        std::nth_element(behind.begin(), behind.begin() + static_cast<long>(behind.size() / 2), behind.end());
        const double around = behind[behind.size() / 2];
        // A little below 4.5 for the odd pixel of a smoothed edge.
        EXPECT_GE(Contrast(Luminance(ink), around), 4.4) << "against " << around;
      }
    }
  }
}

}  // namespace
