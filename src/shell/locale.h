#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"

namespace shell {

// A control whose caption comes from the locale table: the window and a stable name the
// window maps to its widget.
struct CaptionEntry {
  int entry;
  std::string_view window;   // "launcher", "main", "hiscore", "credits"
  std::string_view control;  // e.g. "start_easy", "menu_game"
};

// The controls with language-dependent captions, in the order they are set.
const std::vector<CaptionEntry>& CaptionTable();

// Receives the wording when a language is applied; the windows implement it.
class CaptionSink {
 public:
  virtual ~CaptionSink() = default;
  virtual void SetCaption(const CaptionEntry& which, const std::string& text) {
    (void)which;
    (void)text;
  }
  virtual void SetCreditsText(const std::string& text) { (void)text; }
};

// The credits text: title, the locale's headings and closing lines, and the two credits
// files. Throws core::DataError when a credits file is missing.
std::string BuildCreditsText(const core::Game& g);

// Loads language `code`: stores the code, fills the table from "\loc_<code>.txt", pushes
// the captions and the credits text to `sink`. A missing language file throws
// core::DataError with the table and captions unchanged (the code is already stored).
void ReadLocale(core::Game& g, const std::string& code, CaptionSink* sink = nullptr);

}  // namespace shell
