#pragma once
// The windows' side of core::Host: the message window, the high-score window, questions
// and error boxes. The session routes to it (and, under automation, records in front of
// it).
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "core/game.h"

namespace ui {

class Windows;

class QtHost : public core::Host {
 public:
  explicit QtHost(core::Game& g);
  ~QtHost() override;

  // The game window, the last choice of parent for a box.
  void SetParentWindow(QWidget* window) { parent_ = window; }
  // The window the player is looking at, which every box and file dialog is given as its
  // parent so that it opens over it: the active window, else (nothing of ours active, as
  // with no window manager) a visible tool window, which stays on top, else the game
  // window, else the launcher; null when nothing is on screen.
  QWidget* WindowInView() const;
  void SetWindows(Windows* windows) { windows_ = windows; }

  // Quiet (runs nobody watches: the session records what was said): no message window
  // opens. A console run is not quiet: its driver sees the windows a player would.
  void SetQuiet(bool on) { quiet_ = on; }
  bool quiet() const { return quiet_; }

  // Called with true before a modal box opens and with false once it is closed, so the
  // clocks stand still while the box waits: no day and no frame step may run inside one
  // (a question can be asked from inside the frame loop).
  std::function<void(bool open)> modal_hook;

  // The message window: a message replaces the one shown; it never blocks the caller.
  void ShowInfoMessage(int kind, const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ErrorBox(const std::string& text) override;
  // Game over or the menu: the high-score window, beside the message window.
  void ShowHighScores(bool accept_entry) override;

 private:
  void Modal(bool open);

  core::Game& g_;
  QPointer<QWidget> parent_;
  Windows* windows_ = nullptr;
  bool quiet_ = false;
};

}  // namespace ui
