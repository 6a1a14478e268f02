#include "shell/session.h"

#include <filesystem>
#include <fstream>
#include <ostream>

#include "shell/startup.h"

namespace shell {

void RecordingHost::ShowInfoMessage(int kind, const std::string& text) {
  messages.push_back({kind, text});
  inner_.ShowInfoMessage(kind, text);
}

bool RecordingHost::Confirm(const std::string& text) {
  questions.push_back(text);
  return answer;
}

void RecordingHost::ErrorBox(const std::string& text) {
  errors.push_back(text);
  if (echo) *echo << "error: " << text << '\n';
}

void SessionHost::ShowInfoMessage(int kind, const std::string& text) {
  if (s_.game.hud_mode && s_.world.hud().ShowInfoMessage(kind, text)) {
    s_.hud_message = {kind, text};
    return;
  }
  s_.windows().ShowInfoMessage(kind, text);
}

bool SessionHost::Confirm(const std::string& text) { return s_.windows().Confirm(text); }

void SessionHost::ErrorBox(const std::string& text) { s_.windows().ErrorBox(text); }

void SessionHost::PlaySound(const std::string& name) { s_.sound.DoSound(name, s_.AudioSettings()); }

void SessionHost::ShowHighScores(bool accept_entry) {
  core::ShowHiScores(s_.game, s_.hiscores, accept_entry);
  s_.windows().ShowHighScores(accept_entry);
}

void SessionHost::ShowData() {
  s_.world.ShowData();
  s_.windows().ShowData();
}

void SessionHost::UpdateBldgList() { s_.windows().UpdateBldgList(); }

Session::Session() {
  game.host = &host;
  game.traffic = &traffic;
  game.actions = &undo;
  // The end of a frame is where an autosave belongs: the day and the frame are both done,
  // as at any save the player asks for between frames.
  world.frame_clock().SetHandler([this](double dt, double t) {
    world.GLCadencer2Progress(dt, t);
    // The day's start is kept first: a month's autosave holds it too.
    rewind.CheckDay();
    CheckAutosave();
    tutorial.Update();
    ShowTutorial(tutorial, game, world);
  });
}

Session::~Session() {
  // Whatever outlives the session must not reach back into it.
  game.host = &core::Game::NullHost();
  game.traffic = &core::Game::NullTraffic();
  game.actions = &core::Game::NullActions();
}

void Session::SetWindows(core::Host* windows) { windows_ = windows ? windows : &core::Game::NullHost(); }

void Session::SetHudMode(bool on) {
  if (game.hud_mode == on) return;
  game.hud_mode = on;
  scene::MainScene& ms = world.main_scene();
  if (ms.hud) ms.hud->SetVisible(on);
  if (ms.hud_text) ms.hud_text->SetVisible(on);
  FitViewToMode();
}

void Session::FitViewToMode() {
  if (game.hud_mode) {
    // The panel's text object is no game state: it is filled from the message it stands for.
    if (game.msg_panel) world.hud().ShowInfoMessage(hud_message.kind, hud_message.text);
    return;
  }
  world.over_hud = false;
  if (game.msg_panel) {
    game.msg_panel = false;
    windows_->ShowInfoMessage(hud_message.kind, hud_message.text);
  }
}

void Session::SetRecording(bool on) { game.host = on ? static_cast<core::Host*>(&recorder) : &host; }

void Session::StartUp(const std::string& data_dir, uint32_t seed, const SessionStartUp& how) {
  world.SetLoadPump(how.process_events);
  StartupHooks hooks;
  hooks.open_audio = [this, &how] {
    game.audio_ok = false;
    if (!how.audio) return;
    game.audio_ok = sound.StartAudio().ok;
    // No language is loaded yet at this step: the box falls back to its English text.
    if (!game.audio_ok) game.host->ErrorBox(audio::AudioErrorText(game.Loc(audio::kAudioErrorEntry)));
  };
  if (how.read_options) hooks.load_options = [this, &how] { LoadOptions(game, options, how.captions); };
  hooks.build_hud = [this] { world.hud().InitHudButtons(); };
  hooks.fill_matlib = [this] { world.FillMatLib(); };
  hooks.load_sounds = [this, &how] { sound.LoadSounds(game, how.process_events); };
  hooks.construct_scene = [this] { world.ConstructScene(); };
  hooks.enable_clocks = [this] { world.EnableClocks(); };
  hooks.captions = how.captions;
  shell::StartUp(game, data_dir, seed, hooks);
  world.sound_system = &sound;
  ApplyOptions();
}

audio::AudioSettings Session::AudioSettings() const {
  return {.sound_on = options.sound_on,
          .music_on = options.music_on,
          .sound_volume = options.sound_volume,
          .music_volume = options.music_volume};
}

void Session::ApplyOptions() {
  world.pan_speed = options.pan_speed;
  if (world.ui_scale != options.ui_scale) {
    world.ui_scale = options.ui_scale;
    world.ApplyUiScale();
  }
  world.audio_settings = AudioSettings();
}

namespace {

namespace fs = std::filesystem;

constexpr const char* kLastGameMark = "last-game.txt";
constexpr const char* kClosedGame = "last-game";
constexpr const char* kQuickSave = "quick";
constexpr const char* kAutosavePrefix = "autosave-";

std::string InFolder(const std::string& folder, const std::string& stem) {
  return (fs::path(folder) / (stem + std::string(kSaveExtension))).string();
}

// The number N of an autosave's file name "autosave-N.qsave", or -1.
long AutosaveNumber(const std::string& name) {
  const std::string ext(kSaveExtension);
  if (!name.starts_with(kAutosavePrefix) || !name.ends_with(ext)) return -1;
  const std::string digits = name.substr(std::strlen(kAutosavePrefix), name.size() - ext.size() - std::strlen(kAutosavePrefix));
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::stol(digits);
}

}  // namespace

std::string Session::EnsureSavesFolder() {
  if (saves_folder_.empty()) throw SaveError("", "no folder for saved games (neither XDG_DATA_HOME nor HOME is set)");
  std::error_code ec;
  fs::create_directories(saves_folder_, ec);
  if (ec) throw SaveError(saves_folder_, "the folder cannot be created: " + ec.message());
  return saves_folder_;
}

void Session::SaveGame(const std::string& path) {
  // Counted before writing, so the save itself holds it: loading it then finds the save made.
  if (tutorial.active()) tutorial.NoteSave();
  try {
    WriteSave(*this, path);
  } catch (...) {
    if (tutorial.active()) tutorial.SaveFailed();
    throw;
  }
  MarkLastGame(path);
}

void Session::LoadGame(const std::string& path) {
  ReadSave(*this, path);
  if (tutorial.active()) tutorial.NoteLoad();
  // The actions taken belong to the game that was left.
  undo.Clear();
  // The month the loaded game was saved in has been autosaved already (or was not meant to be).
  checked_day_ = game.history.days().empty() ? 0 : game.history.days().back().day;
  MarkLastGame(path);
}

std::string Session::QuickSavePath() const { return saves_folder_.empty() ? "" : InFolder(saves_folder_, kQuickSave); }

void Session::QuickSave() { SaveGame(InFolder(EnsureSavesFolder(), kQuickSave)); }

void Session::QuickLoad() {
  if (saves_folder_.empty()) throw SaveError("", "no folder for saved games (neither XDG_DATA_HOME nor HOME is set)");
  LoadGame(QuickSavePath());
}

bool Session::SaveOnClose() {
  if (saves_folder_.empty()) return false;
  if (game.game_running && !game.game_over) {
    SaveGame(InFolder(EnsureSavesFolder(), kClosedGame));
    return true;
  }
  std::error_code ec;
  fs::remove(fs::path(saves_folder_) / kLastGameMark, ec);
  if (on_last_game_changed) on_last_game_changed();
  return false;
}

std::string Session::LastGamePath() const {
  if (saves_folder_.empty()) return "";
  std::ifstream in(fs::path(saves_folder_) / kLastGameMark);
  std::string path;
  if (!in || !std::getline(in, path)) return "";
  return path;
}

bool Session::HasLastGame() const {
  const std::string path = LastGamePath();
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

void Session::ContinueLastGame() {
  const std::string path = LastGamePath();
  if (path.empty()) throw SaveError(saves_folder_, "no last game to continue");
  LoadGame(path);
}

void Session::MarkLastGame(const std::string& path) {
  if (saves_folder_.empty()) return;
  std::error_code ec;
  const std::string absolute = fs::absolute(path, ec).string();
  fs::create_directories(saves_folder_, ec);
  // The game itself is saved; a mark that cannot be written only loses Continue.
  try {
    WriteFileAtomically((fs::path(saves_folder_) / kLastGameMark).string(), (ec ? path : absolute) + "\n");
  } catch (const SaveError&) {
  }
  if (on_last_game_changed) on_last_game_changed();
}

void Session::CheckAutosave() {
  const auto& days = game.history.days();
  const int32_t last = days.empty() ? 0 : days.back().day;
  if (last == checked_day_) return;
  checked_day_ = last;
  if (saves_folder_.empty() || !game.game_running || game.game_over || game.day != 30) return;
  try {
    Autosave();
  } catch (const SaveError& e) {
    game.host->ErrorBox(game.Loc(kLocAutosaveFailed) + "\r\n" + e.what());
  }
}

void Session::Autosave() {
  const std::string folder = EnsureSavesFolder();
  long newest = 0;
  std::vector<std::pair<long, fs::path>> autosaves;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const long n = AutosaveNumber(entry.path().filename().string());
    if (n < 0) continue;
    newest = std::max(newest, n);
    autosaves.emplace_back(n, entry.path());
  }
  const long next = newest + 1;
  SaveGame(InFolder(folder, kAutosavePrefix + std::to_string(next)));
  for (const auto& [n, file] : autosaves)
    if (n <= next - kAutosavesKept) fs::remove(file, ec);
}

}  // namespace shell
