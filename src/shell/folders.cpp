#include "shell/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace shell {
namespace {

namespace fs = std::filesystem;

// A folder holding the game's data has its English texts.
bool HoldsData(const fs::path& dir) {
  std::error_code ec;
  return fs::is_regular_file(dir / "loc_en.txt", ec);
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// An XDG base folder, or the default under the home folder when it is unset or relative.
std::string Base(const std::string& xdg, const std::string& home, const char* below_home) {
  if (!xdg.empty() && xdg.front() == '/') return (fs::path(xdg) / "quenmar").string();
  if (home.empty()) return "";
  return (fs::path(home) / below_home / "quenmar").string();
}

}  // namespace

GameFolders FindGameFolders(const FolderHints& h) {
  GameFolders f;
  bool installed = false;
  fs::path exe = h.exe_dir.empty() ? fs::path(".") : fs::path(h.exe_dir);
  if (!exe.has_filename()) exe = exe.parent_path();  // "/usr/bin/" is "/usr/bin"
  const fs::path shared = exe.parent_path() / "share" / "quenmar";
  if (!h.data_option.empty()) {
    f.data = h.data_option;
  } else if (!h.data_env.empty()) {
    f.data = h.data_env;
  } else if (!HoldsData(exe) && HoldsData(shared)) {
    f.data = shared.lexically_normal().string();
    installed = true;
  } else {
    f.data = exe.string();
  }
  if (installed || ::access(f.data.c_str(), W_OK) != 0) {
    f.config = Base(h.xdg_config_home, h.home, ".config");
    f.user = Base(h.xdg_data_home, h.home, ".local/share");
  }
  return f;
}

FolderHints HintsFromEnvironment(const std::string& exe_dir, const std::string& data_option) {
  FolderHints h;
  h.exe_dir = exe_dir;
  h.data_option = data_option;
  h.data_env = Env("QUENMAR_DATA");
  h.xdg_config_home = Env("XDG_CONFIG_HOME");
  h.xdg_data_home = Env("XDG_DATA_HOME");
  h.home = Env("HOME");
  if (h.home.empty())
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) h.home = pw->pw_dir;
  return h;
}

void UseFolders(core::Game& g, const GameFolders& folders) {
  g.config_dir = folders.config;
  g.user_dir = folders.user;
}

}  // namespace shell
