#pragma once
// The game window: the 3D view of the colony under a menu bar, between the two side panels
// in side-panel mode and alone in HUD mode. It runs the session's start-up sequence; from
// then on the view's idle driving moves the day clock and the frame loop, and the window
// forwards pointer input, keys, menu commands and side-panel controls to the session. It
// owns nothing of the game: the session does.
#include <QMainWindow>
#include <QRect>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "presentation/world.h"
#include "scene/gl/viewer.h"
#include "shell/locale.h"
#include "shell/options.h"
#include "shell/session.h"
#include "ui/end_panel.h"
#include "ui/qt_host.h"
#include "ui/side_panels.h"
#include "ui/tutorial_panel.h"
#include "ui/windows.h"

class QAction;
class QMenu;
class QShortcut;

namespace ui {

// Client area of the window as designed, below the menu bar; in HUD mode the 3D view
// fills it.
inline constexpr int kViewWidth = 1008;
inline constexpr int kViewHeight = 709;

class MainWindow : public QMainWindow, public shell::CaptionSink {
  Q_OBJECT

 public:
  // `windows`: the other windows, created before this one; null creates a set of its own.
  explicit MainWindow(shell::Session& session, Windows* windows = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence (window creation): audio (not yet: silent), options, language,
  // seed, catalog, construction list, start-up tick, read-out, building list, materials,
  // scene, clocks on. `process_events` lets window events run during the slow steps.
  // Throws core::DataError when a required file is missing or malformed.
  void StartUp(const std::string& data_dir, uint32_t seed, std::function<void()> process_events = {});

  // The clocks progress from the view's idle time, one render after each progress; a
  // modal box stops them until it is closed.
  void StartDriving();
  void StopDriving();
  bool driving() const { return drive_wanted_; }
  // One idle step by hand, without rendering (tests): day clock, frame loop, window
  // caption and check marks.
  void Step(double seconds);

  // --- menu commands (each also reachable through its QAction)
  void StartGame(int32_t level);  // Start Easy / Normal / Hard
  void StartTutorial();           // Tutorial (launcher and Game menu)
  void ToggleSandbox();
  // The Sandbox check mark shows the option for the next game.
  // The sandbox mark and the disaster choice's mark, from the options.
  void ShowSandboxMark();
  void ChooseDisasters(int32_t choice);
  void QuitAtOnce();              // Quit: ends without saving the options
  // Saved games. The dialogs open in the saves folder; a failure shows the error box with
  // what went wrong and leaves the running game as it was.
  void SaveGameAs();              // "Save game..."
  void LoadGameFrom();            // "Load game..."
  void SaveGameTo(const std::string& path);
  void LoadGameFrom(const std::string& path);
  void QuickSave();               // F5
  void QuickLoad();               // F9
  // The launcher's Continue: loads the last game (or says why it cannot).
  bool ContinueLastGame();
  void ShowHistory();             // "Colony history"
  // Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z): the day's actions taken back and played again
  // (shell/undo.h); nothing when there is none.
  void Undo();
  void Redo();
  // The Undo and Redo items name the action they would take back or play again and are
  // greyed out without one.
  void ShowUndoItems();
  // The end panel once a game has ended and its high-score window is closed; hidden again
  // while a game runs.
  void ShowEndPanel();
  EndPanel& end_panel() { return *end_panel_; }
  TutorialPanel& tutorial_panel() { return *tutorial_panel_; }
  // The Speed menu's marks: Pause while the game is paused, and the one speed in use.
  void ShowSpeedMarks();
  void TogglePause();             // Pause/Unpause: holds the day clock until undone
  void SetSpeed(double day_length);
  void PirateAttack();
  void Earthquake();
  void ToggleTubes();             // No connection tubes
  void ToggleIsometric();
  void ToggleStatsPanel();        // the colony data list in the HUD
  // Show/Hide HUD: HUD mode or the side panels; the view takes what they leave.
  void ToggleHudMode();
  // F11 and "Fullscreen": the window covers the screen, or goes back to its size and place.
  // The choice follows the window's state, however it changed, and is kept in the options.
  void ToggleFullScreen();
  // A kept full-screen choice applies as the window is shown.
  void setVisible(bool visible) override;
  // Escape: closes the HUD's open panels (and acknowledges a HUD message).
  void CloseHudPanels();
  // Brings every side-panel control up to date with the last read-out.
  void RefreshPanels();

  // Receives the locale's wording for this window's captions.
  void SetCaption(const shell::CaptionEntry& which, const std::string& text) override;
  // Lets a later control take its caption from the locale table under `control`.
  void RegisterCaption(const std::string& control, std::function<void(const QString&)> set);

  // The menu item or menu (its title item) with this caption-table name or its
  // designed name (`Menu1_1` ... `Menu5_2`), or null.
  QAction* action(std::string_view control) const;
  QMenu* menu(std::string_view control) const;

  // How the window ends the program: after the options are saved (closing) or at once
  // (Quit). Tests replace it; the default leaves the event loop with status 0.
  std::function<void()> end_program;

  core::Game& game() { return session_.game; }
  shell::Session& session() { return session_; }
  presentation::World& world() { return session_.world; }
  scene::gl::Viewer& viewer() { return *viewer_; }
  QtHost& host() { return host_; }
  Windows& windows() { return *windows_; }
  LeftPanel& left_panel() { return *left_; }
  RightPanel& right_panel() { return *right_; }
  shell::Options& options() { return session_.options; }

 protected:
  void showEvent(QShowEvent* e) override;    // the Sandbox check mark from the option
  void closeEvent(QCloseEvent* e) override;  // saves the options and ends the program
  void changeEvent(QEvent* e) override;      // the full-screen check mark and option
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildMenus();
  QAction* AddItem(QMenu* menu, const std::string& control, const char* designed_name, const char* design_text,
                   std::function<void()> command, const char* key = nullptr);
  // True while typing goes to a text field: the single-key shortcuts stand back.
  bool TextFieldHasFocus() const;
  // The window caption and the check marks, from the read-out the last frame made.
  void ShowReadout();
  void ModalBox(bool open);
  void AfterUndoOrRedo();
  QString SavesFilter() const;
  // Runs a save; a failure shows the error box with what went wrong.
  void Save(const std::function<void()>& write);
  // The file dialog for saving or loading, opening in the saves folder; "" when cancelled.
  QString ChooseSaveFile(bool saving);

  shell::Session& session_;
  std::unique_ptr<Windows> own_windows_;
  Windows* windows_;
  QtHost host_;
  LeftPanel* left_ = nullptr;
  RightPanel* right_ = nullptr;
  scene::gl::Viewer* viewer_ = nullptr;
  EndPanel* end_panel_ = nullptr;
  TutorialPanel* tutorial_panel_ = nullptr;
  // A game ended and its way on has not been offered yet; the last frame's game_over.
  bool end_due_ = false;
  bool was_over_ = true;

  std::map<std::string, QAction*, std::less<>> actions_;
  std::map<std::string, QMenu*, std::less<>> menus_;
  std::map<std::string, std::function<void(const QString&)>, std::less<>> captions_;
  // Where the window stood before full screen, to stand there again after it.
  QRect windowed_;
  bool drive_wanted_ = false;
  int modal_depth_ = 0;
};

}  // namespace ui
