#include "shell/options.h"

#include <algorithm>
#include <filesystem>

#include "core/errors.h"
#include "core/grid.h"
#include "core/paths.h"
#include "core/text.h"
#include "hud/hud.h"

namespace shell {
namespace {

// A line that does not convert; caught below, it sends LoadOptions to the defaults.
struct BadLine {
  std::size_t index;
  std::string value;
};

int32_t IntLine(const std::vector<std::string>& lines, std::size_t i) {
  const auto v = core::ParseInt(core::LineAt(lines, i));
  if (!v) throw BadLine{i, core::LineAt(lines, i)};
  return *v;
}

bool BoolLine(const std::vector<std::string>& lines, std::size_t i) {
  const auto v = core::ParseBool(core::LineAt(lines, i));
  if (!v) throw BadLine{i, core::LineAt(lines, i)};
  return *v;
}

// The code becomes part of a file name: it must name a file beside the program, not a path.
bool UsableLanguageCode(const std::string& code) {
  return !code.empty() && code.find_first_of("/\\:") == std::string::npos &&
         code.find('\0') == std::string::npos;
}

std::string BoolText(bool v) { return v ? "-1" : "0"; }

}  // namespace

std::string OptionsFile(const core::Game& g) {
  return g.config_dir.empty() ? g.Path("\\options.txt") : core::DataPath(g.config_dir, "options.txt");
}

namespace {
// The player's own options once written, else any that came with the data.
std::string OptionsToRead(const core::Game& g) {
  const std::string own = OptionsFile(g);
  std::error_code ec;
  return g.config_dir.empty() || std::filesystem::exists(own, ec) ? own : g.Path("\\options.txt");
}
}  // namespace

std::vector<std::string> OptionLines(const core::Game& g, const Options& o) {
  return {g.locale_code,
          BoolText(o.sound_on),
          BoolText(o.music_on),
          std::to_string(o.sound_volume),
          std::to_string(o.music_volume),
          BoolText(g.tubes_off),
          std::to_string(o.pan_speed),
          std::to_string(g.cam_height),
          BoolText(g.isometric),
          BoolText(o.fullscreen),
          std::to_string(g.disasters_option),
          std::to_string(o.ui_scale)};
}

void SetDefaultOptions(core::Game& g, Options& o) {
  o = Options{};
  g.tubes_off = false;
  g.cam_height = 50;
  g.isometric = false;
  g.disasters_option = core::kDisastersRules;
}

void SaveOptions(const core::Game& g, const Options& o) { core::WriteLines(OptionsFile(g), OptionLines(g, o)); }

bool LoadOptions(core::Game& g, Options& o, CaptionSink* sink) {
  const std::string file = OptionsToRead(g);
  std::string refused;
  try {
    const auto lines = core::ReadLines(file, core::kMaxOptionsFileBytes);
    const std::string code = core::LineAt(lines, 0);
    if (!UsableLanguageCode(code)) throw BadLine{0, code};
    ReadLocale(g, code, sink);
    // Everything is converted before anything is assigned: a bad line leaves no half-read set.
    Options read;
    read.sound_on = BoolLine(lines, 1);
    read.music_on = BoolLine(lines, 2);
    read.sound_volume = std::clamp(IntLine(lines, 3), 0, 100);
    read.music_volume = std::clamp(IntLine(lines, 4), 0, 100);
    const bool tubes_off = BoolLine(lines, 5);
    read.pan_speed = std::clamp(IntLine(lines, 6), 0, 100);
    const int32_t cam_height = std::clamp(IntLine(lines, 7), core::kMinCamHeight, core::kMaxCamHeight);
    const bool isometric = BoolLine(lines, 8);
    // Older files end at the ninth line: they were written by a windowed game.
    read.fullscreen = !core::LineAt(lines, 9).empty() && BoolLine(lines, 9);
    // Older files end before the eleventh line: their games had disasters as the rules say.
    int32_t disasters = core::kDisastersRules;
    if (!core::LineAt(lines, 10).empty()) {
      disasters = IntLine(lines, 10);
      if (disasters < core::kDisastersRules || disasters > core::kDisastersOff)
        throw BadLine{10, core::LineAt(lines, 10)};
    }
    // Older files end before the twelfth line: the scale follows the window.
    if (!core::LineAt(lines, 11).empty()) {
      read.ui_scale = IntLine(lines, 11);
      if (read.ui_scale != 0 && (read.ui_scale < hud::kMinUiScale || read.ui_scale > hud::kMaxUiScale))
        throw BadLine{11, core::LineAt(lines, 11)};
    }
    o = read;
    g.disasters_option = disasters;
    g.tubes_off = tubes_off;
    g.cam_height = cam_height;
    g.isometric = isometric;
    return true;
  } catch (const BadLine& bad) {
    refused = file + ": line " + std::to_string(bad.index + 1) + ": \"" + bad.value + "\" is not a setting";
  } catch (const core::DataError&) {
    // No file yet (a fresh installation) or its language is gone: the defaults, quietly.
  }
  // English first: if even that fails, the error leaves here with nothing else changed.
  ReadLocale(g, "en", sink);
  SetDefaultOptions(g, o);
  SaveOptions(g, o);
  // The player learns why the settings are gone, once they are rewritten.
  if (!refused.empty()) g.host->ErrorBox(refused + "; every setting is back to its default");
  return false;
}

}  // namespace shell
