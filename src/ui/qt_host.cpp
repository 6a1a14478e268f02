#include "ui/qt_host.h"

#include <QMessageBox>

#include "ui/windows.h"

namespace ui {
namespace {
constexpr const char* kBoxTitle = "QUENMAR";
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

QtHost::QtHost(core::Game& g) : g_(g) {}

QtHost::~QtHost() = default;

void QtHost::Modal(bool open) {
  if (modal_hook) modal_hook(open);
}

void QtHost::ShowInfoMessage(int kind, const std::string& text) {
  if (quiet_ || !windows_) return;
  windows_->message->ShowMessage(kind, text);
}

void QtHost::ShowHighScores(bool accept_entry) {
  if (!windows_) return;
  HiScoreWindow& hs = *windows_->hiscore;
  const MessageWindow& msg = *windows_->message;
  // Beside the message window that reports the game's end.
  if (accept_entry) hs.move(msg.frameGeometry().right() + 8, msg.frameGeometry().top());
  hs.Open(accept_entry);
}

bool QtHost::Confirm(const std::string& text) {
  Modal(true);
  const auto answer = QMessageBox::question(parent_, kBoxTitle, Q(text), QMessageBox::Yes | QMessageBox::No);
  Modal(false);
  return answer == QMessageBox::Yes;
}

void QtHost::ErrorBox(const std::string& text) {
  Modal(true);
  QMessageBox::critical(parent_, kBoxTitle, Q(text));
  Modal(false);
}

}  // namespace ui
