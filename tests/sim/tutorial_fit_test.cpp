// The tutorial's panel in the HUD, in every language the game lists and at the designed and
// the smallest view: every step's text wraps inside the panel, the panel stays in the view,
// and nothing else the HUD writes (button captions, the information bar and, where there is
// room, the warnings) is drawn over it - HUD texts lie over every HUD picture, so an overlap
// mixes two texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "core/text.h"
#include "hud/hud.h"
#include "shell/locale.h"
#include "shell/session.h"
#include "sim/interpreter.h"

namespace {

const std::string kData = QUENMAR_BUILD_DIR;

struct Box {
  double x0, y0, x1, y1;
  bool Meets(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
  std::string Str() const {
    std::ostringstream s;
    s << "(" << x0 << ", " << y0 << ") - (" << x1 << ", " << y1 << ")";
    return s.str();
  }
};

TEST(TutorialFit, EveryStepInEveryLanguageFitsItsPanelClearOfTheHudsTexts) {
  shell::Session session;
  session.SetRecording(true);
  session.StartUp(kData, 1);
  const auto run = [&](const std::string& script) {
    std::ostringstream out, err;
    sim::Interpreter in(session, out, err);
    sim::RegisterAllCommands(in);
    std::istringstream src(script);
    ASSERT_EQ(in.RunScript(src), 0) << script << "\n" << err.str();
  };
  run("tutorial start\nset msg_panel 0");
  const std::vector<core::TutorialStep> steps = session.tutorial.ReadSteps();
  const std::vector<std::string> codes = core::ReadLines(kData + "/locs.txt");
  ASSERT_GE(codes.size(), 2u);
  hud::Hud& h = session.world.hud();
  const hud::HudObjects& o = h.objects();
  // The designed view and the smallest the game window leaves the HUD (498 x 400 less the
  // menu bar).
  for (const auto& [w, hh] : {std::pair{1008, 709}, std::pair{498, 382}}) {
    for (const std::string& code : codes) {
      if (code.empty()) continue;
      shell::ReadLocale(session.game, code);
      for (std::size_t k = 0; k < steps.size(); ++k) {
        SCOPED_TRACE(code + " at " + std::to_string(w) + " x " + std::to_string(hh) + ", step " + std::to_string(k + 1));
        session.tutorial.Adopt(steps, static_cast<int32_t>(k), {});
        run("view " + std::to_string(w) + " " + std::to_string(hh) + "\nframes 2");
        const scene::HUDSprite& bg = *o.tutorial_bg;
        ASSERT_TRUE(bg.visible());
        const Box panel{bg.position().x - bg.width() / 2.0, bg.position().y - bg.height() / 2.0,
                        bg.position().x + bg.width() / 2.0, bg.position().y + bg.height() / 2.0};
        EXPECT_GE(panel.x0, 0);
        EXPECT_LE(panel.x1, w);
        EXPECT_LE(panel.y1, hh);
        // Font 1: 8 pixels a column, 16 a line.
        const std::string& shown = o.tutorial_text->text();
        std::size_t widest = 0, lines = 0;
        for (std::size_t from = 0;; ++lines) {
          const std::size_t nl = shown.find('\n', from);
          std::string line = shown.substr(from, nl == std::string::npos ? std::string::npos : nl - from);
          if (!line.empty() && line.back() == '\r') line.pop_back();
          widest = std::max(widest, hud::Columns(line));
          if (nl == std::string::npos) break;
          from = nl + 1;
        }
        EXPECT_LE(static_cast<double>(widest) * 8 + 16, panel.x1 - panel.x0) << shown;
        EXPECT_LE(o.tutorial_text->position().y + 16.0 * static_cast<double>(lines),
                  o.tutorial_skip_bg->position().y - o.tutorial_skip_bg->height() / 2.0)
            << "the text ends above Skip";
        // Every captioned or column button that shows.
        for (int slot = 0; slot < hud::kSlotsInUse; ++slot) {
          const hud::hudbtn& b = h.buttons()[static_cast<std::size_t>(slot)];
          if (!b.exists || !b.visible || (b.caption.empty() && b.bldgb < 1 && b.listb < 1)) continue;
          const Box button{b.rx - b.width / 2, b.ry - b.height / 2, b.rx + b.width / 2, b.ry + b.height / 2};
          EXPECT_FALSE(panel.Meets(button)) << "button " << slot << " " << button.Str() << " under " << panel.Str();
        }
        for (std::size_t i = 0; i < o.info_texts.size(); ++i) {
          const scene::HUDText* t = o.info_texts[i];
          if (!t->visible() || t->text().empty()) continue;
          const Box text{t->position().x, t->position().y, t->position().x + 8.0 * static_cast<double>(hud::Columns(t->text())),
                         t->position().y + 16.0};
          EXPECT_FALSE(panel.Meets(text)) << "information " << i << " " << text.Str() << " under " << panel.Str();
        }
        // The smallest view has no room left for the longer texts above the warning lights:
        // there the panel may reach over them (they stay readable beside it).
        if (w < 1008) continue;
        for (const core::warning& wn : session.game.warnings) {
          const double x = wn.x, y = wn.y;
          const Box text{x - 10, y - 10, x + 30 + 8.0 * static_cast<double>(hud::Columns(wn.text)), y + 10};
          EXPECT_FALSE(panel.Meets(text)) << "warning " << wn.text << " " << text.Str() << " under " << panel.Str();
        }
      }
    }
  }
}

}  // namespace
