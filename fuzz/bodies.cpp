#include "bodies.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/wav.h"
#include "core/catalog.h"
#include "core/errors.h"
#include "core/grid.h"
#include "core/hiscore.h"
#include "core/text.h"
#include "scene/gl/image_loader.h"
#include "shell/locale.h"
#include "shell/options.h"
#include "sim/interpreter.h"
#include "shell/save.h"
#include "shell/session.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

// A broken promise of a reader: reported like a sanitizer finding, so the input is kept.
#define FUZZ_CHECK(cond)                                                        \
  do {                                                                          \
    if (!(cond)) {                                                              \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                             \
    }                                                                           \
  } while (0)

// A game whose data folder is the workspace, its English texts loaded.
core::Game GameIn(const Workspace& ws) {
  core::Game g;
  g.exe_dir = ws.dir();
  shell::ReadLocale(g, "en");
  return g;
}

std::size_t Utf8Chars(std::string_view s) {
  std::size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

void Text(const Workspace&, std::string_view bytes) {
  const std::string text = core::DecodeText(bytes);
  for (const std::string& line : core::SplitLines(text)) {
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(Utf8Chars(line) <= core::kMaxLineChars || line.size() <= 4 * core::kMaxLineChars);
  }
  // The same text behind a byte-order mark reads the same.
  if (!bytes.starts_with("\xEF\xBB\xBF") && !bytes.starts_with("\xFF\xFE") && !bytes.starts_with("\xFE\xFF") &&
      core::DecodeText(text) == text)
    FUZZ_CHECK(core::DecodeText("\xEF\xBB\xBF" + text) == text);
}

void Building(const Workspace& ws, std::string_view bytes) {
  ws.Write("Buildings/bldg_1.bld", bytes);
  core::Game g = GameIn(ws);
  try {
    const core::building b = core::LoadBuilding(g, 1);
    FUZZ_CHECK(!b.exists || b.id == 1);
  } catch (const core::DataError& e) {
    FUZZ_CHECK(std::string(e.what()).find("bldg_1.bld") != std::string::npos);
  }
}

void Language(const Workspace& ws, std::string_view bytes) {
  ws.Write("loc_fz.txt", bytes);
  core::Game g = GameIn(ws);
  try {
    shell::ReadLocale(g, "fz");
  } catch (const core::DataError&) {
    return;  // a file over the cap
  }
  FUZZ_CHECK(g.Loc(0).empty());
}

void LanguageList(const Workspace& ws, std::string_view bytes) {
  ws.Write("locs.txt", bytes);
  core::Game g = GameIn(ws);
  const auto codes = core::ReadLines(ws.dir() + "/locs.txt");
  // Each listed language as the language menu would load it; the first few are enough.
  for (std::size_t i = 0; i < codes.size() && i < 4; ++i) {
    const std::string& code = codes[i];
    if (code.empty() || code.find_first_of("/\\:") != std::string::npos || code.find('\0') != std::string::npos)
      continue;
    try {
      shell::ReadLocale(g, code);
    } catch (const core::DataError&) {
    }
  }
}

void Options(const Workspace& ws, std::string_view bytes) {
  ws.Write("options.txt", bytes);
  core::Game g = GameIn(ws);
  shell::Options o;
  const bool read = shell::LoadOptions(g, o);
  for (int v : {o.sound_volume, o.music_volume, o.pan_speed}) FUZZ_CHECK(v >= 0 && v <= 100);
  FUZZ_CHECK(g.cam_height >= core::kMinCamHeight && g.cam_height <= core::kMaxCamHeight);
  // A file that did not read is replaced at once by what was put in place.
  if (!read) FUZZ_CHECK(core::ReadLines(shell::OptionsFile(g)) == shell::OptionLines(g, o));
  // Settings saved read back the same.
  shell::SaveOptions(g, o);
  core::Game again = GameIn(ws);
  shell::Options o2;
  FUZZ_CHECK(shell::LoadOptions(again, o2));
  FUZZ_CHECK(o2 == o);
  FUZZ_CHECK(shell::OptionLines(again, o2) == shell::OptionLines(g, o));
}

void HiScore(const Workspace& ws, std::string_view bytes) {
  ws.Write("leaders.hof", bytes);
  const core::Game g = GameIn(ws);
  core::HiScores first;
  core::MakeList(g, first);
  // A table written back reads as the same table.
  core::SaveList(g, first);
  core::HiScores second;
  core::MakeList(g, second);
  FUZZ_CHECK(first.list == second.list);
  FUZZ_CHECK(first.lines == second.lines);
}

void Wav(const Workspace&, std::string_view bytes) {
  const audio::WavResult r = audio::ParseWav(bytes);
  FUZZ_CHECK(r.ok() == r.sound.has_value());
  FUZZ_CHECK(r.ok() == r.message.empty());
  if (r.ok()) {
    const std::size_t frame = (r.sound->format == audio::SampleFormat::kStereo16) ? 4
                              : (r.sound->format == audio::SampleFormat::kMono8) ? 1 : 2;
    FUZZ_CHECK(r.sound->samples.size() <= bytes.size());
    FUZZ_CHECK(r.sound->samples.size() % frame == 0);
    FUZZ_CHECK(r.sound->sample_rate > 0);
  }
}

void Picture(std::string_view bytes, scene::gl::ImageFormat format) {
  const auto img = scene::gl::DecodeImage(bytes, format);
  if (!img) return;
  FUZZ_CHECK(img->width >= 1 && img->width <= scene::gl::kMaxImageSide);
  FUZZ_CHECK(img->height >= 1 && img->height <= scene::gl::kMaxImageSide);
  FUZZ_CHECK(img->rgba.size() == static_cast<std::size_t>(img->width) * img->height * 4);
}

void Tga(const Workspace&, std::string_view bytes) { Picture(bytes, scene::gl::ImageFormat::kTga); }
void Bmp(const Workspace&, std::string_view bytes) { Picture(bytes, scene::gl::ImageFormat::kBmp); }

// Day and frame counts in the thousands are honest requests that take long, not faults.
bool AsksForLongRuns(std::string_view script) {
  std::size_t digits = 0;
  for (char c : script) {
    digits = (c >= '0' && c <= '9') ? digits + 1 : 0;
    if (digits > 3) return true;
  }
  return false;
}

// The workspace's session, started once (start-up reads every building file), and a save of
// the game as it started. Each input begins by loading that save, so it meets the same game
// whatever the inputs before it did.
shell::Session& StartedSession(const Workspace& ws) {
  if (!ws.session) {
    ws.session = std::make_shared<shell::Session>();
    ws.session->SetRecording(true);
    ws.session->game.locale_code = "en";
    ws.session->StartUp(ws.dir(), 12345);
    ws.session->SaveGame(ws.dir() + "/baseline.qsave");
  }
  ws.session->LoadGame(ws.dir() + "/baseline.qsave");
  ws.session->recorder.messages.clear();
  ws.session->recorder.errors.clear();
  return *ws.session;
}

void Script(const Workspace& ws, std::string_view bytes) {
  // The data folder is no field a script may move: it would write wherever it pointed.
  // Saving and loading are the save target's.
  if (bytes.size() > 4096 || AsksForLongRuns(bytes) || bytes.find("_dir") != std::string_view::npos ||
      bytes.find("save") != std::string_view::npos || bytes.find("load") != std::string_view::npos ||
      bytes.find("history-csv") != std::string_view::npos)
    return;
  shell::Session& session = StartedSession(ws);
  std::ostringstream out, err;
  sim::Interpreter interpreter(session, out, err);
  sim::RegisterAllCommands(interpreter);
  std::istringstream in{std::string(bytes)};
  const int status = interpreter.RunScript(in);
  FUZZ_CHECK(status == 0 || status == 1);
}

void Save(const Workspace& ws, std::string_view bytes) {
  shell::Session& session = StartedSession(ws);
  const nlohmann::json before = shell::SaveJson(session);
  ws.Write("fuzzed.qsave", bytes);
  try {
    session.LoadGame(ws.dir() + "/fuzzed.qsave");
  } catch (const shell::SaveError& e) {
    // Refused: the reason names the file, and the game is exactly as it was.
    FUZZ_CHECK(std::string(e.what()).find("fuzzed.qsave") != std::string::npos);
    FUZZ_CHECK(shell::SaveJson(session) == before);
    return;
  }
  // Accepted: what it loaded saves again and loads back to the same game.
  const nlohmann::json loaded = shell::SaveJson(session);
  session.SaveGame(ws.dir() + "/again.qsave");
  session.LoadGame(ws.dir() + "/again.qsave");
  FUZZ_CHECK(shell::SaveJson(session) == loaded);
}

}  // namespace

Workspace::Workspace(const std::string& bundled_data) {
  std::string tmpl = (fs::temp_directory_path() / "quenmar-fuzz-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) std::abort();
  dir_ = tmpl;
  fs::copy(bundled_data, dir_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

Workspace::~Workspace() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

void Workspace::Write(const std::string& relative, std::string_view bytes) const {
  const fs::path path = fs::path(dir_) / relative;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

void Workspace::Reset() const {
  std::error_code ec;
  for (const char* name : {"leaders.hof", "options.txt", "loc_fz.txt"}) fs::remove(fs::path(dir_) / name, ec);
}

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = {
      {"text", Text},       {"building", Building}, {"language", Language}, {"language_list", LanguageList},
      {"options", Options}, {"hiscore", HiScore},   {"wav", Wav},           {"tga", Tga},
      {"bmp", Bmp},         {"script", Script},     {"save", Save},
  };
  return targets;
}

}  // namespace fuzz
