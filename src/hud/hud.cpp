#include "hud/hud.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>

#include "core/advisor.h"
#include "core/catalog.h"
#include "core/construction.h"
#include "core/grid.h"
#include "core/numeric.h"
#include "core/text.h"
#include "core/trade.h"
#include "hud/sprites.h"
#include "hud/warning_rows.h"

namespace hud {
namespace {

constexpr int kTypeButtons = 10;
constexpr int kListRows = 21;
// The list never scrolls past the row that shows the last slot at the bottom.
constexpr int32_t kLastListScroll = core::kPlacedSize - kListRows;  // 980
constexpr int32_t kCatalogStep = 5;
constexpr int32_t kTradeStep = 10;
constexpr int32_t kCreditStep = 1000;
// The overlay's rows of the information bar, and where the first one starts (right of
// the trade and credit buttons).
constexpr double kInfoRowHeight = 25, kInfoFirstX = 250, kInfoCharWidth = 13;
constexpr float kInfoIconSize = 20;
// The warning indicator's tick, as the scene draws it.
constexpr double kWarnTickSize = 20;
// The message panel and its picture.
constexpr double kMsgPanelW = 500, kMsgPanelH = 280, kMsgPicSize = 150;
// The building panel and its picture.
constexpr float kBldgPanelW = 450, kBldgPanelH = 250, kPictureSize = 150;
constexpr float kDefaultPicture = 120;  // the picture's size before the panel first opened

int32_t Sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }

std::string Num(int32_t v) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// Characters of a UTF-8 text (the information bar's width estimate counts characters).
size_t CharCount(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

void Material(scene::HUDSprite* s, const std::string& name) {
  if (s && s->lib_material_name() != name) s->SetLibMaterialName(name);
}

// Catalog position k holds a loaded type.
bool TypeExists(const core::Game& g, int32_t k) {
  return k >= 0 && k < core::kCatalogSize && g.catalog[static_cast<size_t>(k)].exists;
}

}  // namespace

bool WideCharacter(std::string_view utf8) {
  const auto* b = reinterpret_cast<const unsigned char*>(utf8.data());
  char32_t c = 0;
  if (utf8.size() == 3) {
    c = (static_cast<char32_t>(b[0] & 0x0Fu) << 12) | (static_cast<char32_t>(b[1] & 0x3Fu) << 6) | (b[2] & 0x3Fu);
  } else if (utf8.size() == 4) {
    c = (static_cast<char32_t>(b[0] & 0x07u) << 18) | (static_cast<char32_t>(b[1] & 0x3Fu) << 12) |
        (static_cast<char32_t>(b[2] & 0x3Fu) << 6) | (b[3] & 0x3Fu);
  }
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::size_t Columns(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0) len = 4;
    else if (lead >= 0xE0) len = 3;
    else if (lead >= 0xC0) len = 2;
    len = std::min(len, text.size() - i);
    n += WideCharacter(text.substr(i, len)) ? 2 : 1;
    i += len;
  }
  return n;
}

std::string BreakMessageLines(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  int count = 0;
  // Counted in characters, so a Cyrillic letter (two bytes) counts once and a Chinese one,
  // twice as wide, twice; a line is never broken inside a character.
  for (size_t i = 0; i < text.size();) {
    size_t len = 1;
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xC0) {
      while (i + len < text.size() && (static_cast<unsigned char>(text[i + len]) & 0xC0) == 0x80) ++len;
    }
    out.append(text, i, len);
    const char c = text[i];
    count += WideCharacter(text.substr(i, len)) ? 2 : 1;
    i += len;
    if ((count > 20 && c == ' ') || count > 30) {
      out += "\r\n";
      count = 0;
    }
    if (c == '\r' || c == '\n') count = 0;
  }
  return out;
}

void Hud::InitHudButtons() {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i] = hudbtn{};
    buttons_[i].id = static_cast<int32_t>(i);
  }
  auto set = [&](int slot, const char* texture, bool states, double w, double h, std::string caption = {}) {
    hudbtn& b = buttons_[static_cast<size_t>(slot)];
    b.exists = true;
    b.visible = true;
    b.texture = texture;
    b.hasstates = states;
    b.width = w;
    b.height = h;
    b.caption = std::move(caption);
  };
  set(kCatUp, "mbutup", true, 30, 30);
  set(kCatDown, "mbutdown", true, 30, 30);
  for (int k = 0; k < kTypeButtons; ++k) {
    set(kFirstType + k, "", false, 30, 30);
    buttons_[static_cast<size_t>(kFirstType + k)].bldgb = k + 1;
  }
  set(kBuild, "mbuild", true, 30, 30);
  for (int r = 0; r < kListRows; ++r) {
    set(kFirstRow + r, "but", true, 210, 19, "-waiting for list-");
    buttons_[static_cast<size_t>(kFirstRow + r)].listb = r + 1;
  }
  set(kListUp, "mbutup", true, 30, 30);
  set(kListDown, "mbutdown", true, 30, 30);
  set(kUpgrade, "ubut", true, 60, 60);
  set(kFood, "but", true, 100, 30);
  set(kRaw, "but", true, 100, 30);
  set(kProducts, "but", true, 100, 30);
  set(kBuy, "but", true, 100, 30);
  set(kSell, "but", true, 100, 30);
  set(kAmountUp, "but", true, 30, 30, "+");
  set(kAmountDown, "but", true, 30, 30, "-");
  set(kDestroy, "butblow", true, 60, 60);
  set(kTakeCredit, "but", true, 100, 20);
  set(kCreditDown, "but", true, 20, 20, "-");
  set(kCreditUp, "but", true, 20, 20, "+");
  set(kToggle, "but_tog_off", true, 60, 60);
  set(kTradePanel, "but", true, 100, 20);
  set(kCreditPanel, "but", true, 100, 20);
  set(kMessageOk, "but", true, 100, 20, "OK");
  set(kCamDown, "but_cam_down", true, 25, 25);
  set(kCamUp, "but_cam_up", true, 25, 25);
  set(kCamMid, "but_cam_mid", true, 25, 25);
  set(kDescribe, "but", true, 25, 25);
  RelabelButtons();
}

void Hud::RelabelButtons() {
  // The buttons worded in the game's language, so that a language chosen in the launcher
  // reaches them at once.
  static constexpr std::pair<int, int> kWorded[] = {{kFood, 115},       {kRaw, 116},        {kProducts, 117},
                                                    {kBuy, 18},         {kSell, 19},        {kTakeCredit, 20},
                                                    {kTradePanel, 169}, {kCreditPanel, 170}, {kDescribe, 179}};
  for (const auto& [slot, entry] : kWorded) buttons_[static_cast<size_t>(slot)].caption = g_.Loc(entry);
}

namespace {
// Pixels a caption keeps clear of each side of its button together, its outline included.
constexpr double kCaptionMargin = 6;
// The view height, in view pixels, whose every multiple the automatic scale grows by 100 %.
constexpr double kAutoScaleHeight = 700;
// The least HUD a chosen scale may leave, in HUD pixels: less high and the building list's
// lower arrow runs into the camera buttons, less wide and the information bar into the list.
constexpr double kMinHudWidth = 800, kMinHudHeight = 565;
}  // namespace

int32_t UnitFor(double view_h, double scale) { return core::HudUnit(view_h / (scale > 0 ? scale : 1)); }

double AutoUiScale(double view_h) {
  // Half steps: a window a little taller than the game's own keeps the HUD as it is; a
  // 1080-line screen gets 150 %, a 1440-line one and taller 200 %.
  const double halves = std::floor(view_h / kAutoScaleHeight * 2.0 + 1e-9);
  return std::clamp(halves / 2.0, 1.0, kMaxUiScale / 100.0);
}

double UiScale(int32_t percent, double view_w, double view_h) {
  if (percent == 0) return AutoUiScale(view_h);
  const double chosen = std::clamp(percent, kMinUiScale, kMaxUiScale) / 100.0;
  if (chosen <= 1.0) return chosen;
  // Below this many HUD pixels the panels, the building list and the information bar run
  // into each other; a larger scale than the view holds is lowered to the quarter step that
  // fits, but never below the game's own size.
  const double fits = std::min(view_w / kMinHudWidth, view_h / kMinHudHeight);
  return std::max(1.0, std::min(chosen, std::floor(fits * 4.0 + 1e-9) / 4.0));
}

int Hud::HudButtonAt(int view_x, int view_y) const {
  const double x = view_x / scale_, y = view_y / scale_;
  for (int i = 0; i < kHudButtonSlots; ++i) {
    const hudbtn& b = buttons_[static_cast<size_t>(i)];
    if (!b.exists || !b.visible) continue;
    if (x > b.rx - b.width / 2 && x < b.rx + b.width / 2 && y > b.ry - b.height / 2 && y < b.ry + b.height / 2)
      return i;
  }
  return -1;
}

int Hud::ButtonState(int slot) const {
  if (slot < 0 || slot >= kHudButtonSlots) return 0;
  return buttons_[static_cast<size_t>(slot)].state;
}

void Hud::SetButtonState(int slot, int state) {
  for (int i = 0; i < kHudButtonSlots; ++i) {
    hudbtn& b = buttons_[static_cast<size_t>(i)];
    if (i != slot) {
      b.state = 0;
      continue;
    }
    b.state = state;
    if (state == 2) g_.host->PlaySound("snd_btnovr");
    if (state == 1) g_.host->PlaySound("snd_btn");
  }
}

void Hud::PressVirButton(int x, int y, int phase) { PressSlot(HudButtonAt(x, y), phase); }

void Hud::PressSlot(int i, int phase) {
  if (i < -1 || i >= kHudButtonSlots) i = -1;
  bool handled = false;
  if (i != -1) {
    SetButtonState(i, 1);
    const hudbtn& b = buttons_[static_cast<size_t>(i)];
    if (b.bldgb >= 1 && phase == 1) {
      const int32_t k = cat_scroll + b.bldgb - 1;
      // A button past the end of a short catalog stands for no type.
      if (TypeExists(g_, k) && k < static_cast<int32_t>(g_.constr_list.size())) g_.constr_choice = k;
      handled = true;
    }
    if (b.listb >= 1 && phase == 1) {
      core::SelectBuilding(g_, list_scroll + b.listb - 1);
      g_.bldg_panel = true;
      if (const core::building* sel = SelectedPlaced(g_)) {
        g_.cam_target_x = sel->x * core::kCellSize;
        g_.cam_target_y = sel->y * core::kCellSize;
        // The tilted view looks ahead of the camera: stand back so the building is centred.
        if (g_.isometric) g_.cam_target_y -= 30;
      }
    }
  }
  if (phase != 1) return;
  if (i >= 0 && i < kSlotsInUse) RunCommand(i, handled);
  if (handled) {
    g_.build_panel = true;
    g_.bldg_panel = g_.trade_panel = g_.credit_panel = false;
  } else {
    g_.build_panel = false;
  }
}

void Hud::RunCommand(int slot, bool& handled) {
  core::Game& g = g_;
  switch (slot) {
    case kCatUp:
      cat_scroll -= kCatalogStep;
      if (cat_scroll < 0) cat_scroll = 0;
      handled = true;
      break;
    case kCatDown:
      cat_scroll += kCatalogStep;
      // The last ten types fill the column; a catalog of fewer than ten starts at 0.
      if (!TypeExists(g, cat_scroll + kTypeButtons - 1)) cat_scroll = g.catalog_count - kTypeButtons;
      if (cat_scroll < 0) cat_scroll = 0;
      handled = true;
      break;
    case kBuild:
      core::ConstructBuilding(g, g.constr_choice);
      handled = true;
      break;
    case kListUp:
      list_scroll -= 1;
      if (list_scroll < 0) list_scroll = 0;
      break;
    case kListDown:
      list_scroll += 1;
      if (list_scroll + kListRows - 1 > core::kPlacedSize - 1) list_scroll = kLastListScroll;
      break;
    case kUpgrade: core::UpgradeSelected(g); break;
    case kFood: hud_trade_goods = core::kGoodsFood; break;
    case kRaw: hud_trade_goods = core::kGoodsRaw; break;
    case kProducts: hud_trade_goods = core::kGoodsProducts; break;
    case kBuy: core::Trade(g, core::kBuy, hud_trade_goods, hud_trade_amt); break;
    case kSell: core::Trade(g, 0, hud_trade_goods, hud_trade_amt); break;
    case kAmountUp: hud_trade_amt = static_cast<int32_t>(static_cast<uint32_t>(hud_trade_amt) + kTradeStep); break;
    case kAmountDown:
      hud_trade_amt = Sub(hud_trade_amt, kTradeStep);
      if (hud_trade_amt < 0) hud_trade_amt = 0;
      break;
    case kDestroy: core::DestroySelected(g); break;
    case kTakeCredit: core::TakeCredit(g, hud_credit_amt); break;
    case kCreditDown:
      hud_credit_amt = Sub(hud_credit_amt, kCreditStep);
      if (hud_credit_amt < 0) hud_credit_amt = 0;
      break;
    case kCreditUp:
      hud_credit_amt = static_cast<int32_t>(static_cast<uint32_t>(hud_credit_amt) + kCreditStep);
      break;
    case kToggle: core::ToggleSelected(g); break;
    case kTradePanel:
      if (g.trade_panel) {
        g.credit_panel = g.trade_panel = g.build_panel = g.bldg_panel = false;
      } else {
        g.trade_panel = true;
        g.credit_panel = g.build_panel = g.bldg_panel = false;
      }
      break;
    case kCreditPanel:
      if (g.credit_panel) {
        g.credit_panel = g.trade_panel = g.build_panel = g.bldg_panel = false;
      } else {
        g.credit_panel = true;
        g.trade_panel = g.build_panel = g.bldg_panel = false;
      }
      break;
    case kMessageOk: g.msg_panel = false; break;
    case kCamDown: core::ModCamera(g, -3); break;
    case kCamUp: core::ModCamera(g, +3); break;
    case kCamMid: core::ModCamera(g, 0); break;
    case kDescribe:
      // Without a chosen type there is nothing to describe.
      if (TypeExists(g, g.constr_choice)) core::ShowDescription(g, g.constr_choice);
      break;
    default:
      if (slot >= kFirstType && slot <= kLastType) handled = true;
      break;
  }
}

void Hud::ArrangeInfoIcons() {
  const double w = view_w_;
  const double u = hud_unit;
  int row = 1;
  double cursor = kInfoFirstX, previous = 0;
  for (int i = 0; i < core::kInfoBlocks; ++i) {
    core::infoblock& b = g_.info_blocks[static_cast<size_t>(i)];
    if (!b.visible) continue;
    b.y = row * kInfoRowHeight;
    b.x = cursor + previous;
    cursor = b.x;
    // The width the icon is drawn at, not the sprite's width of the moment: a sprite keeps
    // its creation size until its first frame, so a bar laid out by it would shift on the
    // next frame, and a game would lay out unlike itself after a load into a fresh window.
    previous = core::Round(kInfoCharWidth * static_cast<double>(CharCount(b.text)) + kInfoIconSize);
    if (cursor + previous > w) {
      b.x = u + 5;
      cursor = u + 5;
      ++row;
      b.y = row * kInfoRowHeight;
    }
  }
}

void Hud::LayOut(hudbtn& b, int slot) {
  const double w = view_w_, h = view_h_, u = hud_unit;
  const scene::HUDSprite* pic = objects_.bldg_picture;
  const double px = pic ? pic->x() : 0, py = pic ? pic->y() : 0;
  const double pw = pic ? pic->width() : kDefaultPicture, ph = pic ? pic->height() : kDefaultPicture;
  const double s = pw / 4;
  auto at = [&](double x, double y) {
    b.rx = x;
    b.ry = y;
  };
  if (b.bldgb >= 1) {
    b.width = b.height = u;
    at(u / 2, h / 2 - 5 * u + (b.bldgb - 1) * u);
    return;
  }
  if (b.listb >= 1) {
    at(w - 110, h / 2 - 200 + (b.listb - 1) * 19);
    const int32_t row = list_scroll + b.listb - 1;
    b.texture = row == core::SelectedSlot(g_) ? "gbut" : "but";
    return;
  }
  switch (slot) {
    case kCatUp: at(15, h / 2 - 6 * u); break;
    case kCatDown: at(15, h / 2 + 5 * u); break;
    case kBuild:
      b.width = b.height = 60;
      at(px - pw / 2 + 30, py + ph / 2 + 33);
      b.visible = g_.build_panel;
      break;
    case kListUp: at(w - 15, h / 2 - 225); break;
    case kListDown: at(w - 15, h / 2 + 225); break;
    case kUpgrade:
    case kDestroy:
    case kToggle:
      b.width = b.height = s;
      at(px + (slot == kUpgrade ? 0 : slot == kDestroy ? -2 - s : 2 + s), py + ph / 2 + s / 2 + 3);
      b.visible = g_.bldg_panel;
      if (slot == kToggle) {
        const core::building* sel = SelectedPlaced(g_);
        b.texture = sel && sel->active ? "but_tog_on" : "but_tog_off";
      }
      break;
    case kFood:
    case kRaw:
    case kProducts: {
      const int32_t goods = slot == kFood ? core::kGoodsFood : slot == kRaw ? core::kGoodsRaw : core::kGoodsProducts;
      at(w / 2 + (slot == kFood ? -105 : slot == kRaw ? 0 : 105), h - 110);
      b.visible = g_.trade_panel;
      b.texture = hud_trade_goods == goods ? "gbut" : "but";
      break;
    }
    case kBuy: at(w / 2 - 55, h - 20); b.visible = g_.trade_panel; break;
    case kSell: at(w / 2 + 55, h - 20); b.visible = g_.trade_panel; break;
    case kAmountUp: at(w / 2 + 120, h - 70); b.visible = g_.trade_panel; break;
    case kAmountDown: at(w / 2 - 120, h - 70); b.visible = g_.trade_panel; break;
    case kTakeCredit: at(w / 2 + 50, h - 15); b.visible = g_.credit_panel; break;
    case kCreditDown: at(w / 2 - 110, h - 40); b.visible = g_.credit_panel; break;
    case kCreditUp: at(w / 2 + 110, h - 40); b.visible = g_.credit_panel; break;
    case kTradePanel: at(55, 12); break;
    case kCreditPanel: at(160, 12); break;
    case kMessageOk: at(w / 2, h / 2 + kMsgPanelH / 2 - 25); b.visible = g_.msg_panel; break;
    case kCamDown: at(w - 105, h - 30); break;
    case kCamUp: at(w - 70, h - 30); break;
    case kCamMid: at(w - 35, h - 30); break;
    case kDescribe: {
      const hudbtn& build = buttons_[kBuild];
      b.width = 80;
      b.height = 30;
      at(build.rx + 80, build.ry);
      b.visible = g_.build_panel;
      break;
    }
    default: break;
  }
}

void Hud::ProcessButtons(double view_w, double view_h) {
  view_w_ = view_w / scale_;
  view_h_ = view_h / scale_;
  hud_unit = UnitFor(view_h, scale_);
  std::string wanted;
  wanted.reserve(40);
  for (int i = 0; i < kHudButtonSlots; ++i) {
    hudbtn& b = buttons_[static_cast<size_t>(i)];
    if (!b.exists) continue;
    scene::HUDSprite* sprite = objects_.button_sprites[static_cast<size_t>(i)];

    const char* prefix = "m";
    if (b.bldgb >= 1) {
      const int32_t k = cat_scroll + b.bldgb - 1;
      // A short catalog leaves the buttons past its end without a type: they are hidden.
      if (TypeExists(g_, k)) {
        b.texture = "bldg_" + Num(g_.catalog[static_cast<size_t>(k)].id);
        b.visible = true;
      } else {
        b.texture.clear();
        b.visible = false;
      }
      prefix = "mb";
    }
    if (!b.texture.empty()) {
      wanted = prefix;
      wanted += '_';
      wanted += b.texture;
      if (b.hasstates) {
        wanted += '_';
        wanted += static_cast<char>('0' + (b.state >= 0 && b.state <= 9 ? b.state : 0));
      }
      Material(sprite, wanted);
    }

    if (b.x != 0) {
      b.rx = b.x;
      b.ry = b.y;
    } else {
      LayOut(b, i);
    }

    Place(sprite, b.rx, b.ry);
    Size(sprite, b.width, b.height);
    Show(sprite, b.visible);

    if (b.caption.empty()) continue;
    if (b.listb >= 1) {
      b.caption = core::BldgListLine(g_, list_scroll + b.listb - 1);
      if (b.caption.empty()) b.caption = "-";
    } else {
      switch (i) {
        case kFood: b.caption = g_.Loc(115); break;
        case kRaw: b.caption = g_.Loc(116); break;
        case kProducts: b.caption = g_.Loc(117); break;
        case kBuy: b.caption = g_.Loc(18); break;
        case kSell: b.caption = g_.Loc(19); break;
        case kTakeCredit: b.caption = g_.Loc(20); break;
        default: break;
      }
      // A language without the word keeps the button's caption object alive.
      if (b.caption.empty()) b.caption = " ";
    }
    scene::HUDText* text = objects_.button_texts[static_cast<size_t>(i)];
    Place(text, b.rx, b.ry);
    Show(text, b.visible);
    Text(text, b.caption);
    // A word longer than the button (another language's, or the English "Raw materials")
    // is drawn smaller rather than past the button's edges; its outline stays inside too.
    if (text) text->SetFitWidth(static_cast<float>(std::max(1.0, b.width - kCaptionMargin)));
  }
}

void Hud::ProcessUI(double view_w, double view_h, const Readout& readout, double dt) {
  view_w_ = view_w / scale_;
  view_h_ = view_h / scale_;
  HudObjects& o = objects_;
  const double w = view_w_, h = view_h_, u = hud_unit;
  const core::Game& g = g_;
  if (!g.hud_mode) {
    // The mode switch hides the HUD's sprites and texts with their parents; the panel
    // backgrounds sit apart and go here, so no panel hangs over the side-panel view.
    for (scene::Object* obj : std::initializer_list<scene::Object*>{
             o.credit_panel_bg, o.trade_panel_bg, o.catalog_frame, o.bldg_panel_bg, o.msg_panel_bg, o.tooltip_bg,
             o.tutorial_bg, o.tutorial_skip_bg, o.tutorial_mark[0], o.tutorial_mark[1], o.tutorial_mark[2],
             o.tutorial_mark[3]})
      Show(obj, false);
    for (scene::HUDSprite* edge : o.focus_edges) Show(edge, false);
    return;
  }
  auto btn = [&](int slot) -> const hudbtn& { return buttons_[static_cast<size_t>(slot)]; };

  // 1. Statistics read-out.
  if (stats_panel) {
    Place(o.stats_text, u + 10, h / 2 - 150);
    if (o.stats_text) Text(o.stats_text, MemoText(readout.colony));
    Show(o.stats_text, true);
  } else {
    Show(o.stats_text, false);
  }

  // 2. Trade panel.
  if (g.trade_panel) {
    const hudbtn& minus = btn(kAmountDown);
    Place(o.trade_amount_text, minus.rx + minus.width, minus.ry - minus.height / 3);
    Text(o.trade_amount_text, Num(hud_trade_amt));
    Show(o.trade_amount_text, true);
    const hudbtn& raw = btn(kRaw);
    Place(o.trade_price_text, raw.rx - raw.width, raw.ry + raw.height / 2 + 1);
    std::string price = g.Loc(113) + ": ";
    if (hud_trade_goods == core::kGoodsFood)
      price += Num(g.food_price) + "; " + g.Loc(119) + ": " + Num(g.food);
    else if (hud_trade_goods == core::kGoodsProducts)
      price += Num(g.product_price) + "; " + g.Loc(119) + ": " + Num(g.products);
    else if (hud_trade_goods == core::kGoodsRaw)
      price += Num(g.raw_price) + "; " + g.Loc(119) + ": " + Num(g.raw);
    Text(o.trade_price_text, price);
    Show(o.trade_price_text, true);
    const hudbtn& food = btn(kFood);
    Place(o.trade_title_text, food.rx + food.width / 2, food.ry - food.height / 2 - 20);
    Text(o.trade_title_text, "- " + g.Loc(118) + " -");
    Show(o.trade_title_text, true);
    Size(o.trade_panel_bg, 310, 120);
    Place(o.trade_panel_bg, w / 2, h - 60);
    Show(o.trade_panel_bg, true);
  } else {
    for (scene::Object* obj : {static_cast<scene::Object*>(o.trade_amount_text), static_cast<scene::Object*>(o.trade_price_text),
                               static_cast<scene::Object*>(o.trade_title_text), static_cast<scene::Object*>(o.trade_panel_bg)})
      Show(obj, false);
  }

  // 3. Construction or building panel.
  if (g.build_panel || g.bldg_panel) {
    Size(o.bldg_panel_bg, kBldgPanelW, kBldgPanelH);
    Place(o.bldg_panel_bg, w / 2, h - kBldgPanelH / 2 - 2);
    Show(o.bldg_panel_bg, true);
    const core::building* chosen = ChosenType(g);
    const core::building* sel = SelectedPlaced(g);
    if (scene::HUDSprite* pic = o.bldg_picture) {
      if (g.build_panel && chosen) Material(pic, "mb_bldg_" + Num(chosen->id));
      if (g.bldg_panel && sel) Material(pic, "mb_bldg_" + Num(sel->id));
      const double bg_h = o.bldg_panel_bg ? o.bldg_panel_bg->height() : kBldgPanelH;
      const double py = h - bg_h + pic->height() / 2 + 4;
      const double px = w / 2 - pic->width();
      Size(pic, kPictureSize, kPictureSize);
      Place(pic, px, py);
      Show(pic, chosen != nullptr || sel != nullptr);
    }
    if (scene::HUDText* info = o.bldg_info_text) {
      const scene::HUDSprite* pic = o.bldg_picture;
      const double px = pic ? pic->x() : 0, py = pic ? pic->y() : 0;
      const double pw = pic ? pic->width() : kPictureSize, ph = pic ? pic->height() : kPictureSize;
      Place(info, px + pw / 2, py - ph / 2 + 3);
      std::string a, b;
      bool ok = true;
      if (g.bldg_panel) {
        if (sel) {
          // The display name is the locale entry the building file names; a file that does
          // not name one leaves the text as it was.
          const auto entry = core::ParseInt(sel->cname);
          if (entry) {
            a = g.Loc(*entry) + "\n\r" + g.Loc(41) + ": " + Num(sel->sc);
          } else {
            ok = false;
          }
        }
        b = readout.upgrade_caption;
      }
      if (g.build_panel) {
        const std::string name =
            g.constr_choice >= 0 && g.constr_choice < static_cast<int32_t>(g.constr_list.size())
                ? g.constr_list[static_cast<size_t>(g.constr_choice)]
                : std::string();
        a = name + "\n\r" + readout.cost + "; " + readout.upkeep;
        b.clear();
      }
      if (ok) {
        std::string text;
        if (g.bldg_panel && sel && sel->construction > 0) {
          text = a + "; \n\r - " + Num(Sub(sel->cst, sel->construction)) + "/" + Num(sel->cst) + " - ";
        } else {
          // One break before each property and before the caption: the memo's own final
          // break followed by the caption's would draw as an empty line.
          text = a + "; ";
          for (const std::string& line : readout.building) text += "\n\r" + line;
          if (!b.empty()) text += "\n\r" + b;
        }
        Text(info, text);
      }
      Show(info, true);
    }
  } else {
    Show(o.bldg_panel_bg, false);
    Show(o.bldg_info_text, false);
    Show(o.bldg_picture, false);
  }

  // 4. The frame behind the building-type column.
  if (scene::HUDSprite* frame = o.catalog_frame) {
    const hudbtn& up = btn(kCatUp);
    const hudbtn& down = btn(kCatDown);
    Size(frame, u, std::fabs(down.ry - up.ry) + u);
    Place(frame, u / 2, (up.ry + down.ry) / 2);
    Show(frame, true);
  }

  // 5. Credit panel.
  if (g.credit_panel) {
    if (o.credit_title_text) o.credit_title_text->SetAlignment(scene::Alignment::Center);
    Place(o.credit_title_text, w / 2, h - 80);
    Text(o.credit_title_text, g.Loc(122) + " (" + Num(g.interest) + "%)");
    Show(o.credit_title_text, true);
    const hudbtn& minus = btn(kCreditDown);
    Place(o.credit_sum_text, minus.rx + minus.width / 2 + 3, minus.ry - minus.height / 2);
    Text(o.credit_sum_text, Num(hud_credit_amt));
    Show(o.credit_sum_text, true);
    Size(o.credit_panel_bg, 260, 60);
    Place(o.credit_panel_bg, w / 2, h - 30);
    Show(o.credit_panel_bg, true);
  } else {
    Show(o.credit_title_text, false);
    Show(o.credit_sum_text, false);
    Show(o.credit_panel_bg, false);
  }

  // 6. Incoming-signal message.
  if (g.msg_panel) {
    Size(o.msg_panel_bg, kMsgPanelW, kMsgPanelH);
    Place(o.msg_panel_bg, w / 2, h / 2);
    Show(o.msg_panel_bg, true);
    Place(o.msg_pic, w / 2 - kMsgPanelW / 2 + kMsgPicSize / 2 + 15, h / 2);
    Material(o.msg_pic, "m_pic_" + Num(msg_kind));
    Show(o.msg_pic, true);
    Place(o.msg_text, w / 2 - kMsgPanelW / 2 + kMsgPicSize + 20, h / 2 - kMsgPanelH / 2 + 10);
    Show(o.msg_text, true);
  } else {
    Show(o.msg_panel_bg, false);
    Show(o.msg_pic, false);
    Show(o.msg_text, false);
  }

  // 7. Days left.
  const std::string days_left = g.Loc(130) + ": " + Num(g.days_left);
  Place(o.days_left_text, 10, h - 30);
  Text(o.days_left_text, days_left);
  Show(o.days_left_text, true);
  // Beside the days left, clear of the warnings above them, and after the days' text in a
  // language that words it longer (its font is about 8 pixels a character).
  Place(o.status_text, std::max(160.0, 10 + 8.0 * static_cast<double>(CharCount(days_left)) + 16), h - 30);
  Text(o.status_text, readout.status);
  Show(o.status_text, true);

  // 8. Information bar.
  for (int i = 0; i < core::kInfoBlocks; ++i) {
    const core::infoblock& b = g.info_blocks[static_cast<size_t>(i)];
    scene::HUDSprite* icon = o.info_icons[static_cast<size_t>(i)];
    scene::HUDText* text = o.info_texts[static_cast<size_t>(i)];
    if (!b.visible) {
      Show(icon, false);
      Show(text, false);
      continue;
    }
    Place(icon, b.x, b.y);
    Size(icon, kInfoIconSize, kInfoIconSize);
    Material(icon, "m_icon_" + Num(b.icon));
    Place(text, b.x + kInfoIconSize / 2, b.y - kInfoIconSize / 2);
    Text(text, b.text);
    Show(icon, true);
    Show(text, true);
  }

  ShowTutorial(dt);
  ShowFocus();
  ShowTooltip(readout, dt);
}

void Hud::PointerAt(int x, int y) {
  pointer_x_ = x;
  pointer_y_ = y;
  pointer_in_view_ = true;
}

void Hud::PointerLeft() { pointer_in_view_ = false; }

int Hud::AdvisorTargetAt(int view_x, int view_y) const {
  const core::Game& g = g_;
  // Warnings and blocks lie in HUD pixels, the pointer in view pixels.
  const double x = view_x / scale_, y = view_y / scale_;
  // Only the HUD shows them in the view; the side panels have their own, with Qt's tips.
  if (g.level == 0 || !g.hud_mode) return -1;
  // A warning: its tick (centred on x, y) and its text to the right; font 2 is about 8
  // pixels a character.
  const auto rows = WarningRows(g, g.view_h);
  for (int k = 0; k < core::kWarnings; ++k) {
    const core::warning& w = g.warnings[static_cast<size_t>(k)];
    const double half = kWarnTickSize / 2, row = rows[static_cast<size_t>(k)];
    const double right = w.x + half + kWarnTickSize + 8.0 * static_cast<double>(CharCount(w.text));
    if (x >= w.x - half && x <= right && y >= row - half && y <= row + half) return kTipWarning + k;
  }
  for (int i = 0; i < core::kInfoBlocks; ++i) {
    const core::infoblock& b = g.info_blocks[static_cast<size_t>(i)];
    if (!b.visible) continue;
    const double half = kInfoIconSize / 2;
    const double right = b.x + half + kInfoCharWidth * static_cast<double>(CharCount(b.text));
    if (x >= b.x - half && x <= right && y >= b.y - half && y <= b.y + half) return kTipInfoBlock + i;
  }
  return -1;
}

std::string Hud::AdvisorTipAt(int x, int y) const {
  const int target = AdvisorTargetAt(x, y);
  if (target >= kTipInfoBlock) return core::ExplainText(g_, core::InfoBlockTopic(target - kTipInfoBlock));
  if (target >= kTipWarning) return core::ExplainWarning(g_, target - kTipWarning);
  return {};
}

std::string Hud::TooltipFor(int slot, const Readout& readout) const {
  const core::Game& g = g_;
  if (slot >= kTipInfoBlock) return core::ExplainText(g, core::InfoBlockTopic(slot - kTipInfoBlock));
  if (slot >= kTipWarning) return core::ExplainWarning(g, slot - kTipWarning);
  if (slot < 0 || slot >= kSlotsInUse) return {};
  const hudbtn& b = buttons_[static_cast<size_t>(slot)];
  if (b.bldgb >= 1) {
    const int32_t k = cat_scroll + b.bldgb - 1;
    if (!TypeExists(g, k)) return {};
    const core::building& type = g.catalog[static_cast<size_t>(k)];
    const std::string name = k < static_cast<int32_t>(g.constr_list.size()) ? g.constr_list[static_cast<size_t>(k)] : type.name;
    return name + " (" + g.Loc(40) + ": " + Num(type.cst) + ")";
  }
  auto entry = [&](int n) { return g.Loc(kTooltipEntries + n); };
  switch (slot) {
    case kCatUp: return entry(0);
    case kCatDown: return entry(1);
    case kBuild: {
      const core::building* chosen = ChosenType(g);
      if (!chosen) return entry(2);
      const std::string name = g.constr_list[static_cast<size_t>(g.constr_choice)];
      return entry(3) + ": " + name + " (" + Num(chosen->cst) + ")";
    }
    case kListUp: return entry(4);
    case kListDown: return entry(5);
    case kUpgrade:
      return readout.upgrade_preview.empty() ? readout.upgrade_caption
                                             : readout.upgrade_caption + "\n" + readout.upgrade_preview;
    case kTakeCredit:
    case kCreditPanel: return readout.credit_summary;
    case kDestroy: return entry(6) + " (" + Num(core::kDemolitionCost) + ")";
    case kToggle: {
      const core::building* sel = SelectedPlaced(g);
      return sel && sel->active ? entry(7) : entry(8);
    }
    case kCamDown: return entry(9);
    case kCamUp: return entry(10);
    case kCamMid: return entry(11);
    default: return {};
  }
}

void Hud::ShowTooltip(const Readout& readout, double dt) {
  HudObjects& o = objects_;
  if (!o.tooltip_bg || !o.tooltip_text) return;
  // The button the pointer rests on: hovered, or pressed and still under the pointer.
  int slot = -1;
  for (int i = 0; i < kSlotsInUse; ++i)
    if (buttons_[static_cast<size_t>(i)].state != 0 && buttons_[static_cast<size_t>(i)].visible) slot = i;
  if (slot != -1 && (!pointer_in_view_ || HudButtonAt(pointer_x_, pointer_y_) != slot)) slot = -1;
  // Off the buttons: a warning or a number the advisor explains.
  if (slot == -1 && pointer_in_view_ && HudButtonAt(pointer_x_, pointer_y_) == -1)
    slot = AdvisorTargetAt(pointer_x_, pointer_y_);
  if (slot != hover_slot_) {
    hover_slot_ = slot;
    hover_time_ = 0;
  } else if (std::isfinite(dt) && dt > 0) {
    hover_time_ += dt;
  }
  const std::string text = hover_slot_ == -1 || hover_time_ < kTooltipDelay ? std::string() : TooltipFor(hover_slot_, readout);
  if (text.empty()) {
    Show(o.tooltip_bg, false);
    Show(o.tooltip_text, false);
    return;
  }
  // A character of font 1 is about 8 pixels wide and a line 16 high; the box keeps 6
  // pixels around the text.
  size_t widest = 0, rows = 1, from = 0;
  for (size_t nl = text.find('\n'); ; nl = text.find('\n', from)) {
    widest = std::max(widest, Columns(std::string_view(text).substr(from, nl == std::string::npos ? nl : nl - from)));
    if (nl == std::string::npos) break;
    from = nl + 1;
    ++rows;
  }
  const double tw = static_cast<double>(widest) * 8 + 12, th = static_cast<double>(rows) * 17 + 10;
  const double px = pointer_x_ / scale_, py = pointer_y_ / scale_;
  double x = px + 14, y = py + 22;
  // Texts are drawn over every sprite, the tip's box included: the advisor's tall tips
  // open clear of the texts around their target, above the warnings or below the bar.
  if (hover_slot_ >= kTipInfoBlock) {
    double bottom = 0;
    for (const core::infoblock& b : g_.info_blocks)
      if (b.visible) bottom = std::max(bottom, b.y + kInfoIconSize / 2);
    y = bottom + 4;
  } else if (hover_slot_ >= kTipWarning) {
    double top = view_h_;
    for (const core::warning& w : g_.warnings) top = std::min(top, w.y - kWarnTickSize / 2);
    y = top - 4 - th;
  }
  // Kept inside the view: near the right or bottom edge it opens to the other side.
  if (x + tw > view_w_) x = px - 6 - tw;
  if (y + th > view_h_) y = py - 8 - th;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  Size(o.tooltip_bg, tw, th);
  Place(o.tooltip_bg, x + tw / 2, y + th / 2);
  Show(o.tooltip_bg, true);
  Place(o.tooltip_text, x + 6, y + 5);
  Text(o.tooltip_text, text);
  Show(o.tooltip_text, true);
}

bool Hud::ShowInfoMessage(int kind, const std::string& text) {
  if (!objects_.msg_text) return false;
  msg_kind = kind;
  g_.msg_panel = true;
  objects_.msg_text->SetText(BreakMessageLines(text));
  return true;
}

}  // namespace hud
