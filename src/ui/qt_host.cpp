#include "ui/qt_host.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QWidget>

namespace ui {
namespace {
constexpr const char* kMessageTitle = "-- incoming signal --";
constexpr const char* kBoxTitle = "QUENMAR";
constexpr int kPictureSize = 200;

QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

QtHost::QtHost(core::Game& g) : g_(g) {}

QtHost::~QtHost() {
  if (message_box_ && !message_box_->parent()) delete message_box_;
}

void QtHost::Modal(bool open) {
  if (modal_hook) modal_hook(open);
}

void QtHost::ShowInfoMessage(int kind, const std::string& text) {
  if (quiet_) return;
  const bool was_visible = message_box_ && message_box_->isVisible();
  if (!message_box_) {
    message_box_ = new QMessageBox(parent_);
    message_box_->setWindowTitle(kMessageTitle);
    message_box_->setTextFormat(Qt::PlainText);
    message_box_->setStandardButtons(QMessageBox::Ok);
    message_box_->setWindowModality(Qt::NonModal);
  }
  message_box_->setText(Q(text));
  // The picture of the kind is taken when the window opens; a second message while it is
  // open only replaces the text.
  if (!was_visible) {
    const QString pic = Q(g_.Path("\\textures\\pic_" + std::to_string(kind) + ".bmp"));
    QPixmap p;
    if (QFileInfo::exists(pic) && p.load(pic)) {
      message_box_->setIconPixmap(p.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio));
    } else {
      message_box_->setIcon(QMessageBox::Information);
    }
    message_box_->show();
  }
  message_box_->raise();
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
