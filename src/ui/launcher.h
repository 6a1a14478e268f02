#pragma once
// The launcher: the first window, and the application's main window. It shows the logo,
// the load progress of the game window's start-up on its 200 ms timer (which stops once
// loading has ended), the language box and the buttons that start a game once loading has
// finished. Continue is looked at when the launcher is shown and when a game is saved or
// loaded, not on the timer.
#include <QDialog>
#include <QTimer>
#include <functional>
#include <string>

#include "shell/locale.h"
#include "shell/session.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ui {

inline constexpr QSize kLauncherSize{634, 250};

class Launcher : public QDialog {
  Q_OBJECT
 public:
  // `captions` receives the wording when a language is picked.
  Launcher(shell::Session& s, shell::CaptionSink& captions);

  void SetCaption(std::string_view control, const QString& text);
  // The timer's step: status box, button states, sandbox caption; the timer stops once
  // loading has ended.
  void Tick();
  // Continue enabled while there is a last game to go back to.
  void RefreshContinue();
  // Start button `level`: hides the launcher and starts the game through `on_start`.
  void Start(int32_t level);
  // Continue: hides the launcher and loads the last game through `on_continue`; back on
  // screen when it could not be loaded.
  void Continue();
  void ChooseLanguage(const QString& code);
  // The language box shows `code` (options file, language loads).
  void ShowLanguage(const std::string& code);

  // Shows the game window and starts a new game at `level` (set by the program).
  std::function<void(int32_t level)> on_start;
  // Tutorial: hides the launcher and starts the tutorial's game.
  std::function<void()> on_tutorial;
  std::function<void()> on_credits;
  // Shows the game window and loads the last game; false when it could not.
  std::function<bool()> on_continue;
  // Ends the program at once (the Quit button has saved the options before).
  std::function<void()> end_program;
  // Reads the logo and the language list (the data folder must be known).
  void LoadContents();

  QPushButton* button(std::string_view control) const;
  QComboBox* languages() const { return languages_; }
  QPlainTextEdit* status() const { return status_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // Enter presses the button that has the focus (there is no default button to press).
  void keyPressEvent(QKeyEvent* e) override;
  // Escape would hide the launcher and leave nothing on screen: it does nothing.
  void reject() override {}

 private:
  QPushButton* AddButton(const char* control, const char* text, int left);
  shell::Session& s_;
  shell::CaptionSink& captions_;
  QLabel* logo_;
  QPlainTextEdit* status_;
  QComboBox* languages_;
  QComboBox* disasters_;
  std::vector<std::pair<std::string, QPushButton*>> buttons_;
  QTimer timer_;
  bool has_last_game_ = false;
};

}  // namespace ui
