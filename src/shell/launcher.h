#pragma once
// The launcher's rules, without its window: the language list, what its 200 ms timer
// shows, and a language chosen in its box.
#include <string>
#include <vector>

#include "core/game.h"
#include "shell/locale.h"
#include "shell/options.h"

namespace shell {

// The language codes of "\locs.txt", in file order. Throws core::DataError when the file
// cannot be read.
std::vector<std::string> LanguageList(const core::Game& g);

// What the launcher shows after a tick of its timer.
struct LauncherView {
  std::string status;           // the status box
  bool buttons_enabled = false;  // the six buttons
  std::string sandbox_caption;  // "(V) Sandbox" or "( ) Sandbox"
};
LauncherView LauncherTick(const core::Game& g);

// A language picked in the box: ReadLocale, then the options saved. Throws
// core::DataError when the language cannot be loaded (nothing is saved then) or the
// options cannot be written.
void ChooseLanguage(core::Game& g, const Options& o, const std::string& code, CaptionSink* sink);

}  // namespace shell
