#pragma once
// Where the five warning rows are drawn.
#include <array>

#include "core/game.h"

namespace hud {

// A warning row's height in HUD pixels: its tick's, which is taller than a line of its text
// in every language the game ships.
inline constexpr double kWarnRowHeight = 20;

// The centre of each warning's row in HUD pixels, for a view `view_h` HUD pixels high. Each
// row sits where its glide has brought it, pushed apart from the others just enough that no
// two rows cover each other, and kept inside the view: the rows cross while they glide,
// and at rest each may stop up to 5 pixels short of its place.
std::array<double, core::kWarnings> WarningRows(const core::Game& g, double view_h);

}  // namespace hud
