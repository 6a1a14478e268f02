#pragma once
// The session: everything a running game is made of — the game state, the high-score
// table, the options, the craft and the world on screen with its HUD — created once by the
// program (the game window or the simulator) and handed to whatever drives it. Windows
// reach the game only through it, and it reaches the windows only through `core::Host`.
//
//   shell::Session s;
//   s.SetWindows(&qt_host);              // the message window, boxes, high scores
//   s.StartUp(data_dir, seed, {.read_options = true, .captions = &sink});
//   s.world.Progress(dt);                // the idle step, as often as the window can
//   s.SetSavesFolder(shell::DefaultSavesFolder());  // saves, autosaves and Continue on
//
// The game's host is the session's own: in HUD mode a message goes to the in-scene panel,
// otherwise (or while the HUD has no panel for it) to the windows. Under automation
// (scripts, the console, tests) a recorder sits in front of it: messages are recorded and
// still shown; questions are answered and error boxes recorded instead of opening.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "audio/sound_system.h"
#include "core/game.h"
#include "core/hiscore.h"
#include "presentation/world.h"
#include "shell/locale.h"
#include "shell/options.h"
#include "shell/rewind.h"
#include "shell/save.h"
#include "shell/tutorial.h"
#include "shell/undo.h"
#include "traffic/traffic.h"

namespace shell {

class Session;

// A message the game showed, as a script sees it.
struct ShownMessage {
  int kind;
  std::string text;
};

// Wraps the real host for scripts and tests.
class RecordingHost : public core::Host {
 public:
  explicit RecordingHost(core::Host& inner) : inner_(inner) {}

  void ShowInfoMessage(int kind, const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ErrorBox(const std::string& text) override;
  void PlaySound(const std::string& name) override { inner_.PlaySound(name); }
  void ShowHighScores(bool accept_entry) override { inner_.ShowHighScores(accept_entry); }
  void ShowData() override { inner_.ShowData(); }
  void UpdateBldgList() override { inner_.UpdateBldgList(); }

  std::vector<ShownMessage> messages;
  std::vector<std::string> questions;
  std::vector<std::string> errors;
  // What every question is answered.
  bool answer = true;
  // Error texts are also written here as "error: TEXT" when set.
  std::ostream* echo = nullptr;

 private:
  core::Host& inner_;
};

// The game's host: routes to the HUD or the windows.
class SessionHost : public core::Host {
 public:
  explicit SessionHost(Session& s) : s_(s) {}

  void ShowInfoMessage(int kind, const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ErrorBox(const std::string& text) override;
  void PlaySound(const std::string& name) override;
  // Brings the high-score table up to date as showing the window does, then shows it.
  void ShowHighScores(bool accept_entry) override;
  void ShowData() override;
  void UpdateBldgList() override;

 private:
  Session& s_;
};

// How a program starts its session.
struct SessionStartUp {
  // Read the options file (the game window); the simulator keeps the language it was given.
  bool read_options = false;
  CaptionSink* captions = nullptr;
  // Lets pending window events run during the slow loading steps.
  std::function<void()> process_events;
  // Open the default sound device (the game window); without it, or when it cannot be
  // opened, the game runs silent (`audio_ok` false).
  bool audio = false;
};

class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The start-up sequence: audio, options, language, seed, catalog, construction list,
  // start-up tick, read-out, building list, HUD table, materials, scene, clocks on.
  // Throws core::DataError when a required file is missing or malformed.
  void StartUp(const std::string& data_dir, uint32_t seed, const SessionStartUp& how = {});

  // After the options changed: the world's drag speed and sound settings follow them.
  void ApplyOptions();
  audio::AudioSettings AudioSettings() const;

  // The windows' side of the host; null: none (headless).
  void SetWindows(core::Host* windows);
  core::Host& windows() { return *windows_; }
  // The HUD/side-panel switch: in side-panel mode the HUD's containers are hidden and the
  // side panels shown. Leaving HUD mode forgets that the pointer was over a HUD button (it
  // would keep picking suppressed) and moves an open in-scene message into the message
  // window, since its OK button can no longer be reached.
  void SetHudMode(bool on);
  // What the view shows, fitted to the mode the game is in now (after the switch and after
  // a load): in HUD mode an open message fills the in-scene panel; in side-panel mode it
  // goes to the message window and `over_hud` is forgotten.
  void FitViewToMode();
  void ToggleHudMode() { SetHudMode(!game.hud_mode); }

  // Automation on: the recorder answers and records in front of the session's host.
  void SetRecording(bool on);
  bool recording() const { return game.host == &recorder; }

  // --- saved games (the file format is in shell/save.h). Every function that writes or
  // reads a file throws shell::SaveError, whose text names the file and what is wrong; a
  // failed load leaves the game exactly as it was. A successful save or load makes that
  // file the last game, which Continue loads.

  // The folder for quick saves, autosaves, the save on closing and the last-game marker;
  // "" (the default, and what scripts and tests get) writes nothing there and makes no
  // autosaves. Created when first written to.
  void SetSavesFolder(std::string folder) {
    saves_folder_ = std::move(folder);
    // The last game is the folder's.
    if (on_last_game_changed) on_last_game_changed();
  }
  const std::string& saves_folder() const { return saves_folder_; }
  // Creates the saves folder when missing (for a file dialog to open in); its path.
  std::string EnsureSavesFolder();
  // "Save game..." / "Load game..." with the file the dialog chose.
  void SaveGame(const std::string& path);
  void LoadGame(const std::string& path);
  // The quick save keys (F5 and F9): one save in the saves folder.
  std::string QuickSavePath() const;
  void QuickSave();
  void QuickLoad();
  // The main window closing: a game in progress is saved and becomes the last game (true);
  // with no game in progress there is nothing to continue and the last-game mark is removed.
  bool SaveOnClose();
  // The launcher's Continue: enabled while HasLastGame(); loads the last game saved or
  // loaded (the save on closing, an autosave, a quick or named save).
  bool HasLastGame() const;
  std::string LastGamePath() const;
  void ContinueLastGame();
  // Called whenever the last game changes (a save or load, or the mark removed on
  // closing), so that whoever shows Continue need not look for it all the time.
  std::function<void()> on_last_game_changed;
  // After every frame (and every day a script passes): once a month has ended in the
  // running game, saves it as the newest of three autosaves. A failed autosave is shown
  // as an error box and the game goes on.
  void CheckAutosave();
  static constexpr int kAutosavesKept = 3;

  core::Game game;
  core::HiScores hiscores;
  Options options;
  traffic::Traffic traffic{game};
  // Effects and music; silent until started (the game window does, the simulator not).
  audio::SoundSystem sound;
  presentation::World world{game, traffic};
  SessionHost host{*this};
  RecordingHost recorder{host};
  // The message the in-scene panel shows or showed last.
  ShownMessage hud_message{0, ""};
  // The day's actions for undo and redo (shell/undo.h); every game operation notes here.
  UndoHistory undo{*this};
  // The days the game can go back to (shell/rewind.h).
  Rewind rewind{*this};
  // The guided first colony, when one runs (shell/tutorial.h).
  Tutorial tutorial{game};

 private:
  void Autosave();
  void MarkLastGame(const std::string& path);

  core::Host* windows_ = &core::Game::NullHost();
  std::string saves_folder_;
  // The history's last day when CheckAutosave last looked.
  int32_t checked_day_ = 0;
};

}  // namespace shell
