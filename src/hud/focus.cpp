// The HUD played from the keyboard: Tab walks the buttons, Enter or Space presses one.
#include "hud/hud.h"

#include <algorithm>

#include "core/grid.h"

namespace hud {
namespace {

constexpr int kTypeButtons = kLastType - kFirstType + 1;
constexpr int kListRows = kLastRow - kFirstRow + 1;
// The frame's edges: this thick, this far outside the button.
constexpr double kEdge = 2, kGap = 2;

}  // namespace

std::vector<FocusStop> Hud::FocusOrder() const {
  const core::Game& g = g_;
  std::vector<FocusStop> order;
  auto add = [&](std::initializer_list<int> slots) {
    for (int s : slots) order.push_back({s, -1});
  };
  if (g.msg_panel) add({kMessageOk});
  if (g.build_panel) add({kBuild, kDescribe});
  if (g.bldg_panel) add({kUpgrade, kToggle, kDestroy});
  if (g.trade_panel) add({kFood, kRaw, kProducts, kAmountDown, kAmountUp, kBuy, kSell});
  if (g.credit_panel) add({kCreditDown, kCreditUp, kTakeCredit});
  add({kTradePanel, kCreditPanel});
  // The column and the list stand for the whole catalog and every building: the arrow
  // buttons beside them are not needed from the keyboard.
  for (int32_t k = 0; k < core::kCatalogSize && k < static_cast<int32_t>(g.constr_list.size()); ++k)
    if (g.catalog[static_cast<size_t>(k)].exists) order.push_back({kFirstType, k});
  for (int32_t k = 0; k < core::kPlacedSize; ++k)
    if (g.placed[static_cast<size_t>(k)].exists) order.push_back({kFirstRow, k});
  add({kCamDown, kCamUp, kCamMid});
  return order;
}

FocusStop Hud::Focused() const {
  if (focus_slot >= kFirstType && focus_slot <= kLastType) return {kFirstType, cat_scroll + (focus_slot - kFirstType)};
  if (focus_slot >= kFirstRow && focus_slot <= kLastRow) return {kFirstRow, list_scroll + (focus_slot - kFirstRow)};
  return {focus_slot, -1};
}

void Hud::MoveFocus(bool back) {
  const std::vector<FocusStop> order = FocusOrder();
  if (order.empty()) {
    focus_slot = -1;
    return;
  }
  const auto n = static_cast<std::ptrdiff_t>(order.size());
  const auto at = std::find(order.begin(), order.end(), Focused());
  std::ptrdiff_t next = 0;
  if (at == order.end()) {
    next = back ? n - 1 : 0;
  } else {
    next = ((at - order.begin()) + (back ? n - 1 : 1)) % n;
  }
  const FocusStop stop = order[static_cast<size_t>(next)];
  // The column or the list moves just far enough to show the stop.
  auto reveal = [](int32_t& scroll, int32_t k, int rows) {
    if (k < scroll) scroll = k;
    if (k > scroll + rows - 1) scroll = k - (rows - 1);
    return k - scroll;
  };
  if (stop.slot == kFirstType) {
    focus_slot = kFirstType + reveal(cat_scroll, stop.index, kTypeButtons);
  } else if (stop.slot == kFirstRow) {
    focus_slot = kFirstRow + reveal(list_scroll, stop.index, kListRows);
  } else {
    focus_slot = stop.slot;
  }
}

bool Hud::HasFocus() const {
  if (focus_slot < 0) return false;
  const std::vector<FocusStop> order = FocusOrder();
  return std::find(order.begin(), order.end(), Focused()) != order.end();
}

bool Hud::PressFocused() {
  if (!HasFocus()) return false;
  PressSlot(focus_slot, 0);
  PressSlot(focus_slot, 1);
  // Pressed, not hovered: the button looks as it does without a pointer.
  SetButtonState(-1, 0);
  return true;
}

void Hud::ShowFocus() {
  auto& edges = objects_.focus_edges;
  const bool shown = focus_slot >= 0 && focus_slot < kHudButtonSlots &&
                     buttons_[static_cast<size_t>(focus_slot)].visible && HasFocus();
  for (size_t e = 0; e < edges.size(); ++e) {
    scene::HUDSprite* s = edges[e];
    if (!s) continue;
    s->SetVisible(shown);
    if (!shown) continue;
    const hudbtn& b = buttons_[static_cast<size_t>(focus_slot)];
    const double w = b.width + 2 * (kGap + kEdge), h = b.height + 2 * (kGap + kEdge);
    const bool across = e < 2;  // top and bottom
    const double sign = e % 2 == 0 ? -1 : 1;
    s->SetWidth(static_cast<float>(across ? w : kEdge));
    s->SetHeight(static_cast<float>(across ? kEdge : h));
    const double x = across ? b.rx : b.rx + sign * (w - kEdge) / 2;
    const double y = across ? b.ry + sign * (h - kEdge) / 2 : b.ry;
    s->SetPosition(static_cast<float>(x), static_cast<float>(y), 0);
  }
}

}  // namespace hud
