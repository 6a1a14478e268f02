#pragma once
// The building grid and the camera over it: shared by the rules, the frame loop, the HUD
// and the windows, so each of them agrees on where a cell is and how high the camera goes.
#include <cstdint>

namespace core {

struct Game;

// A cell is this many scene units wide; the object of cell (x, y) stands at (20x, 20y).
inline constexpr int32_t kCellSize = 20;
inline constexpr float kCellSizeF = 20.0f;
// Cells per column of the grid: slot k lies in column k / 30, row k % 30.
inline constexpr int32_t kGridRows = 30;
// The cell automatic placement searches around and the camera first looks at.
inline constexpr int32_t kHomeCell = 15;

// Range the camera height is kept in, and where the "reset" step puts it.
inline constexpr int32_t kMinCamHeight = 10, kMaxCamHeight = 200, kDefaultCamHeight = 50;

// cam_height += step, kept in 10..200; step 0 resets it to 50.
void ModCamera(Game& g, int32_t step);

// The tilted view looks ahead of the camera: the camera stands this far short of a cell
// it brings into view.
inline constexpr int32_t kIsometricStandBack = 30;
// The camera target that brings cell (x, y) into the middle of the view.
void LookAtCell(Game& g, int32_t x, int32_t y);

// The HUD's layout unit for a view `view_h` pixels high: view_h / 15, at least 30.
int32_t HudUnit(double view_h);

}  // namespace core
