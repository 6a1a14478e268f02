// The tutorial's panel in the HUD: the step's heading and text, a Skip button, and a
// pulsing frame around the control the step asks for (or around the site it names).
#include <algorithm>
#include <cmath>

#include "hud/hud.h"
#include "hud/sprites.h"

namespace hud {
namespace {

// Font 1 is Courier New of 13 pixels: a character about 8 pixels wide, a line 16 high.
constexpr double kCharW = 8, kLineH = 16, kPad = 8;
constexpr double kSkipH = 20;
// Room kept between the panel and the columns beside it; a panel narrower than this wraps
// too tightly to read.
constexpr double kMargin = 6, kMinPanelW = 200;
// The frame is drawn for this part of each second: a pulse the eye finds without hunting.
constexpr double kPulseOn = 0.6;
constexpr double kBar = 3;

// Breaks the text into lines of at most `width` columns, at blanks and, in Chinese, between
// any two characters (a longer word stands on a line of its own), so the panel's height
// follows from its width.
std::vector<std::string> Wrap(const std::string& text, std::size_t width) {
  struct Piece {
    std::string s;
    std::size_t cols = 0;
    bool blank_before = false;
  };
  std::vector<std::string> lines;
  std::string line;
  std::size_t line_n = 0;
  const auto put = [&](const Piece& p) {
    std::size_t sep = line_n > 0 && p.blank_before ? 1 : 0;
    if (line_n > 0 && line_n + sep + p.cols > width) {
      lines.push_back(line);
      line.clear();
      line_n = 0;
      sep = 0;
    }
    if (sep) line += ' ';
    line += p.s;
    line_n += sep + p.cols;
  };
  Piece word;
  bool blank = false;
  const auto flush_word = [&] {
    if (word.s.empty()) return;
    word.cols = Columns(word.s);
    put(word);
    word = {};
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    len = std::min(len, text.size() - i);
    const std::string_view ch(text.data() + i, len);
    i += len;
    if (ch == " " || ch == "\n") {
      flush_word();
      blank = true;
      if (ch == "\n" && line_n > 0) {
        lines.push_back(line);
        line.clear();
        line_n = 0;
      }
    } else if (ch == "\r") {
    } else if (WideCharacter(ch)) {
      flush_word();
      put({std::string(ch), 2, blank});
      blank = false;
    } else {
      if (word.s.empty()) word.blank_before = blank;
      blank = false;
      word.s += ch;
    }
  }
  flush_word();
  if (line_n > 0) lines.push_back(line);
  return lines;
}

}  // namespace

bool Hud::TutorialPanelAt(int x, int y) const {
  // The boxes lie in HUD pixels, the pointer in view pixels.
  return g_.hud_mode && tutorial.visible && tutorial_box_.Holds(x / scale_, y / scale_);
}

bool Hud::ReleaseOnTutorial(int x, int y) {
  if (!TutorialPanelAt(x, y)) return false;
  if (skip_box_.Holds(x / scale_, y / scale_)) tutorial_skip = true;
  return true;
}

void Hud::ShowTutorial(double dt) {
  HudObjects& o = objects_;
  const TutorialView& t = tutorial;
  const bool on = t.visible;
  for (scene::Object* obj : std::initializer_list<scene::Object*>{o.tutorial_bg, o.tutorial_text, o.tutorial_skip_bg,
                                                                 o.tutorial_skip_text})
    Show(obj, on);
  if (!on) {
    tutorial_box_ = skip_box_ = {};
    for (auto* bar : o.tutorial_mark) Show(bar, false);
    return;
  }
  // In the free middle of the HUD: right of the catalog column, left of the building list
  // and below the information bar, whose captions would otherwise be drawn over the panel
  // (every HUD text lies over every HUD picture). A view too narrow for that gets the
  // panel across its top.
  double left = 0, right = view_w_, top = 34;
  for (int slot = 0; slot < kSlotsInUse; ++slot) {
    const hudbtn& b = buttons_[static_cast<std::size_t>(slot)];
    if (!b.exists || !b.visible) continue;
    if (b.bldgb >= 1 || slot == kCatUp || slot == kCatDown) left = std::max(left, b.rx + b.width / 2);
    if (b.listb >= 1 || slot == kListUp || slot == kListDown) right = std::min(right, b.rx - b.width / 2);
  }
  // An icon of the bar is 20 pixels high, centred on its place.
  for (const core::infoblock& b : g_.info_blocks)
    if (b.visible) top = std::max(top, b.y + 10 + 4);
  if (right - left - 2 * kMargin < kMinPanelW) {
    left = 0;
    right = view_w_;
  }
  const double room = std::max(0.0, right - left - 2 * kMargin);
  const double pw = std::min(440.0, room);
  const auto width = static_cast<std::size_t>(std::max(10.0, (pw - 2 * kPad) / kCharW));
  // The heading wraps as the text does: a long language's "Step 12 of 13" is wider than
  // the panel at its narrowest.
  std::vector<std::string> lines = Wrap(t.heading, width);
  for (auto& l : Wrap(t.text, width)) lines.push_back(std::move(l));
  std::string body;
  for (const auto& l : lines) body += (body.empty() ? "" : "\r\n") + l;
  const double ph = kPad + kLineH * static_cast<double>(lines.size()) + kPad + kSkipH + kPad;
  const double px = left + kMargin + (room - pw) / 2, py = top;
  tutorial_box_ = {px, py, pw, ph};
  Size(o.tutorial_bg, pw, ph);
  Place(o.tutorial_bg, px + pw / 2, py + ph / 2);
  Text(o.tutorial_text, body);
  Place(o.tutorial_text, px + kPad, py + kPad);
  const double sw = static_cast<double>(Columns(t.skip)) * kCharW + 2 * kPad;
  skip_box_ = {px + pw - kPad - sw, py + ph - kPad - kSkipH, sw, kSkipH};
  Size(o.tutorial_skip_bg, sw, kSkipH);
  Place(o.tutorial_skip_bg, skip_box_.x + sw / 2, skip_box_.y + kSkipH / 2);
  Text(o.tutorial_skip_text, t.skip);
  Place(o.tutorial_skip_text, skip_box_.x + kPad, skip_box_.y + 2);

  // The frame: around every visible marked button together, or around the site.
  Box mark;
  bool any = false;
  for (int slot : t.mark_slots) {
    if (slot < 0 || slot >= kHudButtonSlots) continue;
    const hudbtn& b = buttons_[static_cast<std::size_t>(slot)];
    if (!b.visible) continue;
    const Box bb{b.rx - b.width / 2, b.ry - b.height / 2, b.width, b.height};
    if (!any) {
      mark = bb;
    } else {
      const double x2 = std::max(mark.x + mark.w, bb.x + bb.w), y2 = std::max(mark.y + mark.h, bb.y + bb.h);
      mark.x = std::min(mark.x, bb.x);
      mark.y = std::min(mark.y, bb.y);
      mark.w = x2 - mark.x;
      mark.h = y2 - mark.y;
    }
    any = true;
  }
  if (!any && t.mark_point) {
    mark = {t.point_x - 20, t.point_y - 20, 40, 40};
    any = true;
  }
  if (std::isfinite(dt) && dt > 0) pulse_ = std::fmod(pulse_ + dt, 1.0);
  const bool lit = any && pulse_ < kPulseOn;
  const double x = mark.x - kBar, y = mark.y - kBar, w = mark.w + 2 * kBar, h = mark.h + 2 * kBar;
  const Box bars[4] = {{x, y, w, kBar}, {x, y + h - kBar, w, kBar}, {x, y, kBar, h}, {x + w - kBar, y, kBar, h}};
  for (int i = 0; i < 4; ++i) {
    scene::HUDSprite* bar = o.tutorial_mark[static_cast<std::size_t>(i)];
    Show(bar, lit);
    if (!lit) continue;
    Size(bar, bars[i].w, bars[i].h);
    Place(bar, bars[i].x + bars[i].w / 2, bars[i].y + bars[i].h / 2);
  }
}

}  // namespace hud
