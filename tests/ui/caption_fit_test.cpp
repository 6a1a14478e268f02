// Every captioned HUD button, in every language the game ships, drawn by the real renderer
// where the HUD's table puts it: no pixel of its caption lies outside its button, at the
// game's own size and at the larger UI scales. A new language file is covered as soon as
// it is in the data folder. The warning lines likewise stay apart and in the view.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "core/game.h"
#include "hud/hud.h"
#include "hud/warning_rows.h"
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

// The five warning lines where the HUD draws them, in every language and at every scale,
// at the moments that bring them closest: resting short of their places from both sides,
// and all at one height while they cross on their glide. No line's pixels meet another's,
// and none leaves the view.
TEST(CaptionFit, WarningLinesNeverCoverEachOtherInEveryLanguageAndScale) {
  const fs::path data = fs::path(QUENMAR_GAME).parent_path();
  scene::gl::OffscreenRenderer renderer;
  ASSERT_TRUE(renderer.ok()) << renderer.error();
  constexpr int kW = 1008, kH = 709;
  for (const std::string& code : LanguageCodes(data)) {
    core::Game g;
    g.exe_dir = data.string();
    shell::ReadLocale(g, code);
    // The longest of each warning's texts.
    const int entries[core::kWarnings][3] = {{147, 148, 149}, {150, 151, 151}, {157, 158, 159}, {154, 153, 152}, {156, 155, 155}};
    for (int k = 0; k < core::kWarnings; ++k) {
      std::string text;
      for (const int e : entries[k])
        if (g.Loc(e).size() > text.size()) text = g.Loc(e);
      g.warnings[static_cast<size_t>(k)].text = text;
    }
    for (const double scale : {1.0, 1.5, 2.0}) {
      const int hud_h = static_cast<int>(std::lround(kH / scale));
      g.view_h = hud_h;
      for (const char* moment : {"resting", "crossing", "low"}) {
        for (int k = 0; k < core::kWarnings; ++k) {
          const int32_t place = hud_h - 25 - 20 * (k + 1);
          int32_t& y = g.warnings[static_cast<size_t>(k)].y;
          if (moment == std::string("resting")) y = place + (k % 2 ? 5 : -5);
          if (moment == std::string("crossing")) y = hud_h / 2 + 140;
          if (moment == std::string("low")) y = hud_h - 8 - k;  // a glide from below the view
          g.warnings[static_cast<size_t>(k)].x = 40;
        }
        const auto rows = hud::WarningRows(g, hud_h);
        SCOPED_TRACE(code + " at " + std::to_string(scale) + ", " + moment);
        std::vector<std::pair<int, int>> extents;
        for (int k = 0; k < core::kWarnings; ++k) {
          scene::MainScene ms;
          ms.scene.hud_scale = static_cast<float>(scale);
          ms.sel_marker->SetVisible(false);
          ms.upg_bar->SetVisible(false);
          scene::HUDText* t = ms.hud_text->AddNewChild<scene::HUDText>();
          t->SetBitmapFont(&ms.font2);
          t->SetText(g.warnings[static_cast<size_t>(k)].text);
          // As the frame places it: right of its tick, the tick's top its top.
          t->SetPosition(40 + 20, static_cast<float>(rows[static_cast<size_t>(k)] - 10), 0);
          const QImage shot = renderer.Render(ms.scene, *ms.camera, kW, kH);
          ASSERT_FALSE(shot.isNull());
          int top = kH, bottom = -1;
          for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
              if (QColor(shot.pixel(x, y)).lightness() >= 128) top = std::min(top, y), bottom = std::max(bottom, y);
          ASSERT_GE(bottom, 0) << "warning " << k << " is drawn";
          EXPECT_LT(bottom, kH - 1) << "warning " << k << " reaches the view's bottom edge";
          for (size_t j = 0; j < extents.size(); ++j)
            EXPECT_TRUE(bottom < extents[j].first || top > extents[j].second)
                << "warning " << k << " (rows " << top << "-" << bottom << ") covers warning " << j << " ("
                << extents[j].first << "-" << extents[j].second << ")";
          extents.emplace_back(top, bottom);
        }
      }
    }
  }
}

}  // namespace
