#include "ui/qt_host.h"

#include <QApplication>
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

QWidget* QtHost::WindowInView() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow(); active && active->isVisible()) return active;
  QWidget* main = nullptr;
  QWidget* launcher = nullptr;
  if (windows_) {
    for (const NamedWindow& w : windows_->All()) {
      if (!w.widget->isVisible()) continue;
      if (std::string_view(w.name) == "main") main = w.widget;
      else if (std::string_view(w.name) == "launcher") launcher = w.widget;
      else return w.widget;
    }
  }
  if (main) return main;
  if (parent_ && parent_->isVisible()) return parent_;
  return launcher;
}

namespace {
// A box over the window in view; kept above the windows that stay on top, so that a
// window manager never stacks it beneath one of them while it holds the game.
QMessageBox::StandardButton Box(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
                                QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, kBoxTitle, Q(text), buttons, parent);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.setObjectName("box");
  return static_cast<QMessageBox::StandardButton>(box.exec());
}
}  // namespace

bool QtHost::Confirm(const std::string& text) {
  Modal(true);
  const auto answer = Box(WindowInView(), QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No);
  Modal(false);
  return answer == QMessageBox::Yes;
}

void QtHost::ErrorBox(const std::string& text) {
  Modal(true);
  Box(WindowInView(), QMessageBox::Critical, text, QMessageBox::Ok);
  Modal(false);
}

}  // namespace ui
