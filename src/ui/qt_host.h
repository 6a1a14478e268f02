#pragma once
// The main window's side of core::Host: messages, questions and error boxes as Qt
// dialogs, or recorded for a script when nobody is there to click.
#include <QPointer>
#include <functional>
#include <string>

#include "core/game.h"
#include "core/hiscore.h"
#include "sim/session.h"

#include <QMessageBox>
#include <QWidget>

namespace ui {

class QtHost : public core::Host {
 public:
  // `record` keeps what the game said for scripts (the simulator's `messages` command);
  // `hiscores` is the high-score window's table.
  QtHost(core::Game& g, sim::RecordingHost& record, core::HiScores& hiscores);
  ~QtHost() override;

  void SetParentWindow(QWidget* window) { parent_ = window; }

  // Automated runs (scripts, tests) record messages, answer questions as the record says
  // and write error texts to standard error instead of opening boxes.
  void SetAutomated(bool on) { automated_ = on; }
  bool automated() const { return automated_; }

  // Called with true before a modal box opens and with false once it is closed, so the
  // clocks stand still while the box waits: no day and no frame step may run inside one
  // (a question can be asked from inside the frame loop).
  std::function<void(bool open)> modal_hook;

  // The in-scene message panel of HUD mode, once the HUD provides one; until then (and
  // in side-panel mode) messages go to the message window.
  std::function<void(int kind, const std::string& text)> show_in_scene;

  // The message window: a message replaces the one shown; it never blocks the caller.
  void ShowInfoMessage(int kind, const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ErrorBox(const std::string& text) override;
  // The high-score window is not there yet; its table is brought up to date as the
  // window would on show.
  void ShowHighScores(bool accept_entry) override;

  // The non-modal message window, or null before the first message.
  QMessageBox* message_window() const { return message_box_; }

 private:
  void Modal(bool open);

  core::Game& g_;
  sim::RecordingHost& record_;
  core::HiScores& hiscores_;
  QPointer<QWidget> parent_;
  QPointer<QMessageBox> message_box_;
  bool automated_ = false;
};

}  // namespace ui
