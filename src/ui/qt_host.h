#pragma once
// The windows' side of core::Host: the message window, questions and error boxes as Qt
// dialogs. The session routes to it (and, under automation, records in front of it).
#include <QPointer>
#include <functional>
#include <string>

#include "core/game.h"

#include <QMessageBox>
#include <QWidget>

namespace ui {

class QtHost : public core::Host {
 public:
  explicit QtHost(core::Game& g);
  ~QtHost() override;

  void SetParentWindow(QWidget* window) { parent_ = window; }

  // Quiet (automated runs: the session records what was said): no message window opens.
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

  // The non-modal message window, or null before the first message.
  QMessageBox* message_window() const { return message_box_; }

 private:
  void Modal(bool open);

  core::Game& g_;
  QPointer<QWidget> parent_;
  QPointer<QMessageBox> message_box_;
  bool quiet_ = false;
};

}  // namespace ui
