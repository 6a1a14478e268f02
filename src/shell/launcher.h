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

// The entry of a language file that holds the language's own name ("Deutsch", "中文"),
// which the language boxes show instead of its code.
inline constexpr int kLocLanguageName = 870;
// A language's own name from the lines of its file; empty when the file names none.
std::string LanguageName(const std::vector<std::string>& lines);

struct LanguageChoice {
  std::string code;
  std::string name;  // its own name, or the code when its file names none or cannot be read
};
// The languages of "\locs.txt" in file order (blank lines skipped), each by its own name.
// Throws core::DataError when the list cannot be read; a language file that cannot be read
// costs only its name, and choosing it reports the file.
std::vector<LanguageChoice> LanguageChoices(const core::Game& g);

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
