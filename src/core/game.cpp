#include "core/game.h"

#include "core/paths.h"

namespace core {

Host& Game::NullHost() {
  static Host h;
  return h;
}

TrafficLink& Game::NullTraffic() {
  static TrafficLink t;
  return t;
}

std::string Game::Path(const std::string& relative) const { return DataPath(exe_dir, relative); }

}  // namespace core
