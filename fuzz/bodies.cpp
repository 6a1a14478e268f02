#include "bodies.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <random>
#include <sstream>

#include "audio/wav.h"
#include "core/catalog.h"
#include "core/errors.h"
#include "core/grid.h"
#include "core/hiscore.h"
#include "core/text.h"
#include "core/tutorial.h"
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

void Tutorial(const Workspace& ws, std::string_view bytes) {
  ws.Write("tutorial_fz.txt", bytes);
  std::vector<core::TutorialStep> steps;
  try {
    steps = core::ReadTutorial(ws.dir() + "/tutorial_fz.txt");
  } catch (const core::DataError&) {
    return;
  }
  FUZZ_CHECK(!steps.empty() && steps.size() <= core::kMaxTutorialSteps);
  core::Game g;
  core::TutorialFacts f;
  for (const auto& step : steps) {
    FUZZ_CHECK(step.text >= 0 && step.text < core::kLocaleSize);
    std::size_t terms = 0;
    for (const auto& all : step.goal.any_of) terms += all.size();
    FUZZ_CHECK(terms >= 1 && terms <= core::kMaxConditionTerms);
    // The goal as the file wrote it reads back to the same condition.
    FUZZ_CHECK(core::ParseCondition(step.goal_text) == step.goal);
    (void)core::ConditionHolds(step.goal, g, f);
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
  // What a load leaves alone (the options, the view's size, the score table) is put back too.
  ws.session->game.isometric = false;
  ws.session->game.tubes_off = false;
  ws.session->world.SetViewSize(1008, 709);
  ws.session->hiscores = {};
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

// Some play chosen by `r`: every command the interpreter has once, in a random order, then
// `commands` more; a few days and frames at a time, so one input stays well inside a
// second. Only what a player could do: the Speed menu's day lengths, the three levels,
// files only inside the workspace.
std::string PlayOn(const Workspace& ws, std::mt19937& r, int commands) {
  auto pick = [&](int n) { return static_cast<int>(r() % static_cast<unsigned>(n)); };
  static const char* kLooks[] = {"state", "catalog", "placed", "messages", "hud", "readout", "warnings",
                                 "score", "history", "ship", "shuttles", "hiscore-list", "locale 33",
                                 "why", "why upgrade", "ledger"};
  static const char* kDts[] = {"0.016", "0.1", "0.5", "3.5", "40"};
  static const char* kSpeeds[] = {"0.5", "3", "12"};
  static const char* kOnOff[] = {"on", "off"};
  static const char* kGoods[] = {"food", "raw", "products"};
  static const char* kPanels[] = {"build", "bldg", "none"};
  static const char* kPointer[] = {"move", "down", "up"};
  constexpr int kKinds = 29;
  std::vector<int> kinds(kKinds);
  for (int k = 0; k < kKinds; ++k) kinds[static_cast<std::size_t>(k)] = k;
  std::shuffle(kinds.begin(), kinds.end(), r);
  for (int i = 0; i < commands; ++i) kinds.push_back(pick(kKinds));
  // First the loaded game as it stands: its craft fly, a day passes, the ship is called.
  std::ostringstream s;
  s << "frames 30 0.5\nday\nbuy food 1\nframes 5\n";
  for (const int kind : kinds) {
    if (kind == kKinds - 1)  // one kind of look shows them all
      for (const char* look : kLooks) s << look << '\n';
    switch (kind) {
      case 0: s << "new " << (pick(3) == 0 ? 10 : pick(2) ? 5 : 1) << '\n'; break;
      case 1: s << "sandbox " << kOnOff[pick(2)] << '\n'; break;
      case 2: s << "events " << kOnOff[pick(2)] << '\n'; break;
      case 3: case 4: s << "day " << 1 + pick(3) << '\n'; break;
      case 5: case 6: s << "frames " << 1 + pick(20) << ' ' << kDts[pick(5)] << '\n'; break;
      case 7: s << "set day_length " << kSpeeds[pick(3)] << '\n'; break;
      case 8: s << "pointer " << kPointer[pick(3)] << ' ' << pick(1100) << ' ' << pick(800) << (pick(2) ? " right" : "") << '\n'; break;
      case 9: s << "view " << 200 + pick(1400) << ' ' << 200 + pick(1000) << '\n'; break;
      case 10: s << "panel " << kPanels[pick(3)] << '\n'; break;
      case 11: s << "choose " << pick(30) - 1 << '\n'; break;
      case 12: case 13: s << "build " << pick(30) << (pick(2) ? " " + std::to_string(pick(34)) + " " + std::to_string(pick(30)) : "") << '\n'; break;
      case 14: s << (pick(3) == 0 ? "upgrade " : pick(2) ? "toggle " : "destroy ") << pick(40) << '\n'; break;
      case 15: s << (pick(4) ? "select " + std::to_string(pick(40)) : std::string("select none")) << '\n'; break;
      case 16: s << (pick(2) ? "buy " : "sell ") << kGoods[pick(3)] << ' ' << pick(500) << '\n'; break;
      case 17: s << "credit " << pick(40000) << '\n'; break;
      case 18: s << "event " << pick(12) << '\n'; break;
      case 19: s << "hiscore fuzzer\n"; break;
      case 20: s << "save " << ws.dir() << "/played.qsave\n"; break;
      case 21: s << "load " << ws.dir() << "/played.qsave\n"; break;
      case 22: s << "history-csv " << ws.dir() << "/history.csv\n"; break;
      case 23: s << (pick(2) ? "isometric " : "tubes ") << kOnOff[pick(2)] << '\n'; break;
      case 24: s << "pause\n"; break;
      case 25: s << "camera " << pick(700) << ' ' << pick(700) << ' ' << pick(250) << '\n'; break;
      case 26: s << "cell " << pick(36) - 1 << ' ' << pick(32) - 1 << '\n'; break;
      default: s << kLooks[pick(static_cast<int>(std::size(kLooks)))] << '\n'; break;
    }
  }
  return s.str();
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

  // And it plays on: whatever a load lets in must not hang, trap or crash the game later.
  std::seed_seq seed(bytes.begin(), bytes.end());
  std::mt19937 r(seed);
  std::ostringstream out, err;
  sim::Interpreter interpreter(session, out, err);
  sim::RegisterAllCommands(interpreter);
  std::istringstream script(PlayOn(ws, r, 24));
  const int status = interpreter.RunScript(script);
  FUZZ_CHECK(status == 0 || status == 1);
  // What the game wrote after playing on is a save it reads back.
  try {
    session.SaveGame(ws.dir() + "/after.qsave");
    session.LoadGame(ws.dir() + "/after.qsave");
  } catch (const shell::SaveError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    FUZZ_CHECK(!"a save the game wrote after playing on does not load");
  }
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
  for (const char* name : {"leaders.hof", "options.txt", "loc_fz.txt", "tutorial_fz.txt", "played.qsave", "history.csv"}) fs::remove(fs::path(dir_) / name, ec);
}

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = {
      {"text", Text},       {"building", Building}, {"language", Language}, {"language_list", LanguageList},
      {"options", Options}, {"hiscore", HiScore},   {"wav", Wav},           {"tga", Tga},
      {"bmp", Bmp},         {"script", Script},     {"save", Save},         {"tutorial", Tutorial},
  };
  return targets;
}

}  // namespace fuzz
