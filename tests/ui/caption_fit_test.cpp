// Every captioned HUD button, in every language the game ships, drawn by the real renderer
// where the HUD's table puts it: no pixel of its caption lies outside its button, at the
// game's own size and at the larger UI scales. A new language file is covered as soon as
// it is in the data folder.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "core/game.h"
#include "hud/hud.h"
#include "scene/gl/viewer.h"
#include "scene/scene.h"
#include "shell/locale.h"

namespace {

namespace fs = std::filesystem;

// The language codes of the data folder the game was built with.
std::vector<std::string> LanguageCodes(const fs::path& data) {
  std::vector<std::string> codes;
  for (const auto& e : fs::directory_iterator(data)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("loc_", 0) == 0 && e.path().extension() == ".txt") codes.push_back(name.substr(4, name.size() - 8));
  }
  return codes;
}

TEST(CaptionFit, EveryCaptionStaysOnItsButtonInEveryLanguageAndScale) {
  const fs::path data = fs::path(QUENMAR_GAME).parent_path();
  const std::vector<std::string> codes = LanguageCodes(data);
  ASSERT_GE(codes.size(), 2u) << data;
  scene::gl::OffscreenRenderer renderer;
  ASSERT_TRUE(renderer.ok()) << renderer.error();
  constexpr int kW = 1008, kH = 709;
  for (const std::string& code : codes) {
    core::Game g;
    g.exe_dir = data.string();
    shell::ReadLocale(g, code);
    // Every panel open: every captioned button is shown.
    g.trade_panel = g.credit_panel = g.build_panel = g.msg_panel = true;
    for (const double scale : {1.0, 1.5, 2.0}) {
      scene::MainScene ms;
      ms.scene.hud_scale = static_cast<float>(scale);
      hud::Hud hud(g);
      hud.InitHudButtons();
      std::vector<int> captioned;
      for (int i = 0; i < hud::kSlotsInUse; ++i) {
        const hud::hudbtn& b = hud.buttons()[static_cast<size_t>(i)];
        // The list rows show the colony's buildings, not a language's words.
        if (b.caption.empty() || b.listb >= 1) continue;
        scene::HUDText* t = ms.hud_text->AddNewChild<scene::HUDText>();
        t->SetBitmapFont(&ms.font1);
        t->SetAlignment(scene::Alignment::Center);
        t->SetLayout(scene::TextLayout::Center);
        hud.objects().button_texts[static_cast<size_t>(i)] = t;
        captioned.push_back(i);
      }
      ASSERT_GE(captioned.size(), 10u);
      hud.SetScale(scale);
      hud.ProcessButtons(kW, kH);
      hud.ProcessButtons(kW, kH);  // the describe button follows the build button's place
      // Only the captions: the scene's own markers stay out of the picture.
      ms.sel_marker->SetVisible(false);
      ms.upg_bar->SetVisible(false);
      for (const int i : captioned) {
        const hud::hudbtn& b = hud.buttons()[static_cast<size_t>(i)];
        for (const int j : captioned) hud.objects().button_texts[static_cast<size_t>(j)]->SetVisible(j == i);
        SCOPED_TRACE(code + " at " + std::to_string(scale) + ": slot " + std::to_string(i) + " \"" + b.caption + "\"");
        ASSERT_TRUE(b.visible);
        const QImage shot = renderer.Render(ms.scene, *ms.camera, kW, kH);
        ASSERT_FALSE(shot.isNull());
        // The button in view pixels; the caption's lit pixels and their extent.
        const double left = (b.rx - b.width / 2) * scale, right = (b.rx + b.width / 2) * scale;
        const double top = (b.ry - b.height / 2) * scale, bottom = (b.ry + b.height / 2) * scale;
        int lit = 0, min_x = kW, max_x = -1, min_y = kH, max_y = -1;
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) {
            if (QColor(shot.pixel(x, y)).lightness() < 128) continue;
            ++lit;
            min_x = std::min(min_x, x), max_x = std::max(max_x, x);
            min_y = std::min(min_y, y), max_y = std::max(max_y, y);
          }
        if (b.caption == " ") continue;  // a language without the word
        EXPECT_GT(lit, 2) << "the caption is drawn";
        EXPECT_GE(min_x, left) << "past the left edge";
        EXPECT_LT(max_x, right) << "past the right edge";
        EXPECT_GE(min_y, top) << "past the top edge";
        EXPECT_LT(max_y, bottom) << "past the bottom edge";
        // Shrunk to fit, a word stays readable: its letters at least 6 pixels of the
        // game's size tall (the signs are as short as they are).
        if (b.caption.size() > 1) {
          EXPECT_GE(max_y - min_y + 1, 6 * scale) << "still legible";
        }
      }
    }
  }
}

}  // namespace
