#include "core/game.h"

#include <filesystem>

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

ActionLog& Game::NullActions() {
  static ActionLog a;
  return a;
}

std::string Game::Path(const std::string& relative) const {
  if (!user_dir.empty()) {
    std::string own = DataPath(user_dir, relative);
    std::error_code ec;
    if (std::filesystem::exists(own, ec)) return own;
  }
  return DataPath(exe_dir, relative);
}

std::string Game::WritePath(const std::string& relative) const {
  return DataPath(user_dir.empty() ? exe_dir : user_dir, relative);
}

}  // namespace core
