#pragma once
// The program's windows besides the game window, created once in the order the program
// needs them (the launcher first) and only shown and hidden afterwards. They take their
// wording from every language load, which reaches them all through here.
#include <QPointer>
#include <QWidget>
#include <QTranslator>
#include <memory>
#include <string>
#include <vector>

#include "shell/locale.h"
#include "shell/session.h"
#include "ui/dialogs.h"
#include "ui/editor_window.h"
#include "ui/history_window.h"
#include "ui/launcher.h"

namespace ui {

class MainWindow;

// A top-level window under its stable name, for the console's `windows` command.
struct NamedWindow {
  const char* name;
  QWidget* widget;
  // The part of the window that counts as its client area (the game window's lies below
  // its menu bar).
  QWidget* client;
};

class Windows : public shell::CaptionSink {
 public:
  explicit Windows(shell::Session& s);
  ~Windows() override;
  Windows(const Windows&) = delete;
  Windows& operator=(const Windows&) = delete;

  // The game window, once it exists.
  void SetMain(MainWindow* main);
  MainWindow* main() const { return main_; }

  void SetCaption(const shell::CaptionEntry& which, const std::string& text) override;
  void SetCreditsText(const std::string& text) override;
  // Qt's own words (the Yes and No of a question, the file dialogs) in language `code`,
  // or Qt's English when it has no translation for it.
  void UseQtLanguage(const std::string& code);

  std::vector<NamedWindow> All() const;

  // Created in this order.
  std::unique_ptr<Launcher> launcher;
  std::unique_ptr<HiScoreWindow> hiscore;
  std::unique_ptr<MessageWindow> message;
  std::unique_ptr<EditorWindow> editor;
  std::unique_ptr<OptionsWindow> options;
  std::unique_ptr<MonitorWindow> monitor;
  std::unique_ptr<CreditsWindow> credits;
  std::unique_ptr<HistoryWindow> history;

 private:
  shell::Session& s_;
  MainWindow* main_ = nullptr;
  std::unique_ptr<QTranslator> qt_words_;
};

}  // namespace ui
