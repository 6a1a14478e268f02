#include "core/grid.h"

#include <algorithm>

#include "core/game.h"

namespace core {

void ModCamera(Game& g, int32_t step) {
  if (step == 0) {
    g.cam_height = kDefaultCamHeight;
    return;
  }
  g.cam_height = std::clamp(g.cam_height + step, kMinCamHeight, kMaxCamHeight);
}

void LookAtCell(Game& g, int32_t x, int32_t y) {
  g.cam_target_x = kCellSize * x;
  g.cam_target_y = kCellSize * y - (g.isometric ? kIsometricStandBack : 0);
}

int32_t HudUnit(double view_h) {
  const int32_t u = Round(view_h / 15.0);
  return u < 30 ? 30 : u;
}

}  // namespace core
