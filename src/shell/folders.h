#pragma once
#include <string>

#include "core/game.h"

namespace shell {

// What the game is told, or finds, about where it runs. Both programs fill this from their
// command line and environment; nothing here reads either by itself.
struct FolderHints {
  std::string exe_dir;          // folder of the running program
  std::string data_option;      // --data; empty when not given
  std::string data_env;         // QUENMAR_DATA; empty when not set
  std::string xdg_config_home;  // XDG_CONFIG_HOME; ignored unless absolute
  std::string xdg_data_home;    // XDG_DATA_HOME; ignored unless absolute
  std::string home;             // the player's home folder
};

// Where the game reads and writes. `config` and `user` are empty when the game writes
// beside its data, as it does in a build folder or a data folder of the player's own.
struct GameFolders {
  std::string data;    // the bundled data: building types, languages, textures, sounds
  std::string config;  // options
  std::string user;    // high scores, edited building and description files, saves
  bool operator==(const GameFolders&) const = default;
};

// The data folder is --data, else QUENMAR_DATA, else the program's own folder when the
// data lies beside it (a build folder), else ../share/quenmar beside it (an installed game),
// else the program's folder. An installed data folder is never written, nor is one the
// player cannot write: the player's files then go to $XDG_CONFIG_HOME/quenmar (default
// ~/.config/quenmar) and $XDG_DATA_HOME/quenmar (default ~/.local/share/quenmar).
GameFolders FindGameFolders(const FolderHints& hints);

// The hints from the process environment, for a program in `exe_dir`.
FolderHints HintsFromEnvironment(const std::string& exe_dir, const std::string& data_option);

// Tells the game where the player's own files go; the data folder is set by StartUp.
void UseFolders(core::Game& g, const GameFolders& folders);

}  // namespace shell
