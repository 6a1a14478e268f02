#pragma once
// The small windows the program creates at start-up and only shows and hides: the
// "-- incoming signal --" message window, the high-score table, the options, the credits
// and the shuttle monitor. Each is handed the session and refreshes itself from it.
#include <QDialog>
#include <QTimer>
#include <string>

#include "shell/session.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTextEdit;

namespace ui {

// Fixed client-area sizes of the windows.
inline constexpr QSize kMessageSize{494, 221};
inline constexpr QSize kHiScoreSize{373, 545};
inline constexpr QSize kOptionsSize{232, 193};
inline constexpr QSize kCreditsSize{610, 410};
inline constexpr QSize kMonitorSize{635, 299};

// A top-level window kept above the others, `size` of client area, fixed unless
// `resizable`, centred on the screen.
void SetUpToolWindow(QWidget* w, QSize size, bool resizable = false);
void CentreOnScreen(QWidget* w);
// No push button of `dialog` is pressed by Enter: a dialog makes its first button the
// default, and Enter typed into a field would press it.
void NoDefaultButton(QDialog* dialog);
// "Tahoma" is found through fontconfig; where it only offers a substitute of other
// metrics, the metric-compatible Tahoma of the system's Windows-font package is added.
// It becomes the application's font, 11 pixels.
void InstallFonts();
// The bold fixed-pitch font of the memos, `pixels` high.
QFont MemoFont(int pixels, bool bold);

// Messages in side-panel mode: picture, centred text, OK. Not modal; while it opens the
// day clock is stopped (the frame loop starts it again in its next frame).
class MessageWindow : public QDialog {
  Q_OBJECT
 public:
  explicit MessageWindow(shell::Session& s);
  // A second message while the window is open replaces the text; the picture is taken
  // when the window opens.
  void ShowMessage(int kind, const std::string& text);
  QString text() const;
  QPushButton* ok() const { return ok_; }

 protected:
  void showEvent(QShowEvent* e) override;
  // Escape acts as OK: the day clock must not stay stopped.
  void reject() override { Ok(); }

 private:
  void Ok();
  shell::Session& s_;
  QLabel* picture_;
  QTextEdit* memo_;
  QPushButton* ok_;
  int kind_ = 0;
};

// The hundred best results, and the name of a finished game's player.
class HiScoreWindow : public QDialog {
  Q_OBJECT
 public:
  explicit HiScoreWindow(shell::Session& s);
  // Game over (the OK button waits for a name) or the menu.
  void Open(bool accept_entry);
  void SetPrompt(const QString& text);
  QLineEdit* name() const { return name_; }
  QPushButton* ok() const { return ok_; }
  QPlainTextEdit* list() const { return list_; }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void Ok();
  void ShowList();
  shell::Session& s_;
  QLabel* prompt_;
  QLineEdit* name_;
  QPushButton* ok_;
  QPlainTextEdit* list_;
};

// Audio volumes and switches, drag speed, UI scale. Slider moves act within half a second; OK
// saves, the title-bar close only hides.
class OptionsWindow : public QDialog {
  Q_OBJECT
 public:
  explicit OptionsWindow(shell::Session& s);
  QSlider* slider(int row) const { return sliders_[row]; }
  QCheckBox* check(int row) const { return checks_[row]; }
  QPushButton* ok() const { return ok_; }
  // Automatic first, then the percentages from small to large.
  QComboBox* scale() const { return scale_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void Copy();
  void Ok();
  shell::Session& s_;
  QSlider* sliders_[3];
  QCheckBox* checks_[2];
  QLabel* scale_label_;
  QComboBox* scale_;
  QPushButton* ok_;
  QTimer timer_;
};

// The credits text, set by every language load.
class CreditsWindow : public QDialog {
  Q_OBJECT
 public:
  CreditsWindow();
  void SetText(const std::string& text);
  QString text() const;

 private:
  QTextEdit* memo_;
};

// Every active shuttle's record as text, once a second while shown.
class MonitorWindow : public QDialog {
  Q_OBJECT
 public:
  explicit MonitorWindow(shell::Session& s);
  void Refresh();
  QPlainTextEdit* memo() const { return memo_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  shell::Session& s_;
  QPlainTextEdit* memo_;
  QTimer timer_;
};

}  // namespace ui
