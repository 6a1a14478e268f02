#include "ui/end_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QVBoxLayout>

namespace ui {

EndPanel::EndPanel(QWidget* parent) : QDialog(parent) {
  setObjectName("end");
  setWindowTitle("QUENMAR");
  // Not modal: the finished colony can still be looked at, and the menus still work.
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  question_ = new QLabel(this);
  question_->setAlignment(Qt::AlignCenter);
  question_->setWordWrap(true);
  layout->addWidget(question_);
  auto* row = new QHBoxLayout;
  new_game_ = new QPushButton(this);
  load_ = new QPushButton(this);
  quit_ = new QPushButton(this);
  for (QPushButton* b : {new_game_, load_, quit_}) {
    b->setAutoDefault(false);
    b->setMinimumWidth(100);
    row->addWidget(b);
  }
  layout->addLayout(row);
  auto wire = [this](QPushButton* b, std::function<void()> EndPanel::*what) {
    connect(b, &QPushButton::clicked, this, [this, what] {
      hide();
      if (this->*what) (this->*what)();
    });
  };
  wire(new_game_, &EndPanel::on_new_game);
  wire(load_, &EndPanel::on_load);
  wire(quit_, &EndPanel::on_quit);
}

void EndPanel::Open(const QString& question, const QString& new_game, const QString& load, const QString& quit) {
  question_->setText(question);
  new_game_->setText(new_game);
  load_->setText(load);
  quit_->setText(quit);
  adjustSize();
  // Below the middle, where the game-over message above it stays readable.
  if (QWidget* p = parentWidget()) {
    const QRect g = p->geometry();
    move(g.center().x() - width() / 2, g.top() + g.height() * 3 / 4 - height() / 2);
  }
  show();
  raise();
  activateWindow();
}

}  // namespace ui
