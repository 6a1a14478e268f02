// Where a site shows on screen, for the tutorial's frame around the site it names.
#include "core/grid.h"
#include "presentation/world.h"
#include "scene/camera.h"

namespace presentation {

std::optional<std::pair<double, double>> World::CellOnView(int32_t cx, int32_t cy) const {
  if (!ms_.camera) return std::nullopt;
  const scene::Vec3 centre{static_cast<float>(cx * core::kCellSize), static_cast<float>(cy * core::kCellSize), 0.0f};
  const auto p = scene::ProjectToView(*ms_.camera, viewer_w_, viewer_h_, centre);
  if (!p) return std::nullopt;
  return std::pair<double, double>{p->x, p->y};
}

}  // namespace presentation
