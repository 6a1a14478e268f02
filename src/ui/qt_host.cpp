#include "ui/qt_host.h"

#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QWidget>
#include <iostream>

#include "scene/gl/image_loader.h"

namespace ui {
namespace {
constexpr const char* kMessageTitle = "-- incoming signal --";
constexpr const char* kBoxTitle = "QUENMAR";
constexpr int kPictureSize = 200;

QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

QtHost::QtHost(core::Game& g, sim::RecordingHost& record, core::HiScores& hiscores)
    : g_(g), record_(record), hiscores_(hiscores) {}

QtHost::~QtHost() {
  if (message_box_ && !message_box_->parent()) delete message_box_;
}

void QtHost::Modal(bool open) {
  if (modal_hook) modal_hook(open);
}

void QtHost::ShowInfoMessage(int kind, const std::string& text) {
  if (automated_) {
    record_.ShowInfoMessage(kind, text);
    return;
  }
  if (g_.hud_mode && show_in_scene) {
    show_in_scene(kind, text);
    return;
  }
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
    // The game's own picture loader: only a regular file, its header checked before decoding.
    const auto img = scene::gl::LoadImageFile(g_.Path("\\textures\\pic_" + std::to_string(kind) + ".bmp"));
    if (img) {
      const QImage q(img->rgba.data(), img->width, img->height, img->width * 4, QImage::Format_RGBA8888);
      const QPixmap p = QPixmap::fromImage(q);
      message_box_->setIconPixmap(p.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio));
    } else {
      message_box_->setIcon(QMessageBox::Information);
    }
    message_box_->show();
  }
  message_box_->raise();
}

bool QtHost::Confirm(const std::string& text) {
  if (automated_) return record_.Confirm(text);
  Modal(true);
  const auto answer = QMessageBox::question(parent_, kBoxTitle, Q(text), QMessageBox::Yes | QMessageBox::No);
  Modal(false);
  return answer == QMessageBox::Yes;
}

void QtHost::ErrorBox(const std::string& text) {
  if (automated_) {
    record_.ErrorBox(text);
    std::cerr << "error: " << text << '\n';
    return;
  }
  Modal(true);
  QMessageBox::critical(parent_, kBoxTitle, Q(text));
  Modal(false);
}

void QtHost::ShowHighScores(bool accept_entry) { core::ShowHiScores(g_, hiscores_, accept_entry); }

}  // namespace ui
