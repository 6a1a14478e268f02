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

int32_t HudUnit(double view_h) {
  const int32_t u = Round(view_h / 15.0);
  return u < 30 ? 30 : u;
}

}  // namespace core
