#include "hud/warning_rows.h"

#include <algorithm>
#include <numeric>

namespace hud {

std::array<double, core::kWarnings> WarningRows(const core::Game& g, double view_h) {
  std::array<int, core::kWarnings> order{};
  std::iota(order.begin(), order.end(), 0);
  // Top to bottom; of two at the same height the one that rests higher goes first, so the
  // order at rest never flickers.
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int32_t ya = g.warnings[static_cast<size_t>(a)].y, yb = g.warnings[static_cast<size_t>(b)].y;
    return ya != yb ? ya < yb : a > b;
  });
  std::array<double, core::kWarnings> rows{};
  const double half = kWarnRowHeight / 2;
  double above = half - kWarnRowHeight;  // the bottom of the view's top edge, as a row
  for (const int k : order) {
    rows[static_cast<size_t>(k)] = std::max<double>(g.warnings[static_cast<size_t>(k)].y, above + kWarnRowHeight);
    above = rows[static_cast<size_t>(k)];
  }
  double below = view_h - half + kWarnRowHeight;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    double& y = rows[static_cast<size_t>(*it)];
    y = std::min(y, below - kWarnRowHeight);
    below = y;
  }
  return rows;
}

}  // namespace hud
