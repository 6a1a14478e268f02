#pragma once
#include <string>
#include <vector>

#include "core/game.h"
#include "shell/locale.h"

namespace shell {

// The player's settings that are not part of the game state. The language
// (`locale_code`), the tube switch (`tubes_off`), `cam_height` and `isometric` live in
// core::Game; these are the audio settings, the pointer-drag speed and full screen.
struct Options {
  bool sound_on = true;
  bool music_on = true;
  int32_t sound_volume = 50;  // 0..100
  int32_t music_volume = 50;  // 0..100
  int32_t pan_speed = 50;     // 0..100
  bool fullscreen = false;    // the game window covers the screen
  int32_t ui_scale = 0;       // percent, kMinUiScale..kMaxUiScale; 0 follows the window
  bool operator==(const Options&) const = default;
};

// The nine lines every version has read, the tenth (full screen) and the eleventh (the
// disasters of the next game: 0 as the rules say, 1 rare, 2 off) and the twelfth (the UI
// scale in percent, 0 automatic) that came later: a file without them reads as windowed,
// as the rules say and automatic, and an older reader ignores them.
inline constexpr int kOptionLines = 12;

// The file the settings are written to: under the game's config_dir when it has one, else
// beside the data. Reading falls back to the data's own file until the player's exists.
std::string OptionsFile(const core::Game& g);

// The lines of the options file for the current settings.
std::vector<std::string> OptionLines(const core::Game& g, const Options& o);

// Every setting back to its default; the language is left alone.
void SetDefaultOptions(core::Game& g, Options& o);

// Reads the options file and applies its language with ReadLocale. A missing file, a line
// that does not convert, an empty or missing line or a language without its language file
// puts English and every default in place and writes them back at once; returns false
// then; a bad line is also shown in an error box naming the file, the line and its value.
// The tenth line (full screen) may be missing or empty (off); any other value that is no
// Boolean is a bad line like the others; so is an eleventh line (disasters) that is there
// and not 0, 1 or 2, and a twelfth (UI scale) that is there and neither 0 nor within
// 75..200. Volumes and drag speed read outside 0..100 and a camera height outside 10..200
// are taken to the nearest end of the range. Throws core::DataError when even English
// cannot be loaded (nothing else is changed or saved then) or when the defaults cannot
// be written.
bool LoadOptions(core::Game& g, Options& o, CaptionSink* sink = nullptr);

// Writes the twelve lines, replacing the file. Throws core::DataError on failure.
void SaveOptions(const core::Game& g, const Options& o);

}  // namespace shell
