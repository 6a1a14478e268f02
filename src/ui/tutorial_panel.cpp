#include "ui/tutorial_panel.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr int kPanelWidth = 360;
constexpr int kMarkBorder = 3;

}  // namespace

TutorialPanel::TutorialPanel(shell::Session& s, std::function<QWidget*(const std::string&)> find, QWidget* parent)
    : QFrame(parent), s_(s), find_(std::move(find)) {
  setObjectName("tutorial_panel");
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(8, 6, 8, 6);
  heading_ = new QLabel(this);
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  text_ = new QLabel(this);
  text_->setObjectName("tutorial_text");
  text_->setWordWrap(true);
  skip_ = new QPushButton(this);
  skip_->setObjectName("tutorial_skip");
  skip_->setFocusPolicy(Qt::NoFocus);
  col->addWidget(heading_);
  col->addWidget(text_);
  col->addWidget(skip_, 0, Qt::AlignRight);
  connect(skip_, &QPushButton::clicked, this, [this] { s_.tutorial.Skip(); Refresh(); });

  // The frame is a sibling over the marked control, not a child of this panel.
  mark_ = new QFrame(parent);
  mark_->setObjectName("tutorial_mark");
  mark_->setAttribute(Qt::WA_TransparentForMouseEvents);
  mark_->setStyleSheet(QString("#tutorial_mark { border: %1px solid #ffb000; background: transparent; }").arg(kMarkBorder));
  mark_->hide();
  hide();
  pulse_.setInterval(400);
  connect(&pulse_, &QTimer::timeout, this, [this] { Pulse(); });
  // Frames refresh it; the timer covers the times no frame reaches the screen (a paused
  // or hidden view) and the mode switch.
  refresh_.setInterval(250);
  connect(&refresh_, &QTimer::timeout, this, [this] { Refresh(); });
  refresh_.start();
}

void TutorialPanel::Refresh() {
  const shell::Tutorial& t = s_.tutorial;
  const core::TutorialStep* step = t.Current();
  const bool on = step && !s_.game.hud_mode;
  if (!on) {
    if (isVisible()) hide();
    if (mark_->isVisible()) mark_->hide();
    pulse_.stop();
    return;
  }
  const core::Game& g = s_.game;
  const QString heading = Q(g.Loc(shell::kLocTutorial) + " - " + t.Heading());
  if (heading_->text() != heading) heading_->setText(heading);
  const QString text = Q(t.Text());
  if (text_->text() != text) text_->setText(text);
  const QString skip = Q(g.Loc(shell::kLocTutorialSkip));
  if (skip_->text() != skip) skip_->setText(skip);

  // Top centre of the client area, as narrow as the smallest window needs. In a window so
  // small that the panel reaches over the side panels, it goes to the bottom rather than
  // hide the very control its step asks for.
  const QWidget* host = parentWidget();
  const int w = std::min(kPanelWidth, host->width() - 16);
  const int h = heightForWidth(w) > 0 ? heightForWidth(w) : sizeHint().height();
  QWidget* target = step->mark == core::MarkKind::kButton ? find_(step->button) : nullptr;
  if (target && !target->isVisible()) target = nullptr;
  QRect want((host->width() - w) / 2, 8, w, h);
  if (target && want.intersects(QRect(target->mapTo(host, QPoint(0, 0)), target->size())))
    want.moveBottom(host->height() - 9);
  if (geometry() != want) setGeometry(want);
  if (!isVisible()) show();
  raise();

  if (target) {
    const QPoint at = target->mapTo(host, QPoint(0, 0));
    const QRect r(at.x() - kMarkBorder - 1, at.y() - kMarkBorder - 1, target->width() + 2 * (kMarkBorder + 1),
                  target->height() + 2 * (kMarkBorder + 1));
    if (mark_->geometry() != r) mark_->setGeometry(r);
    if (!pulse_.isActive()) pulse_.start();
    if (mark_->isVisible() != lit_) mark_->setVisible(lit_);
    mark_->raise();
  } else {
    pulse_.stop();
    if (mark_->isVisible()) mark_->hide();
  }
}

void TutorialPanel::Pulse() {
  lit_ = !lit_;
  if (mark_->isVisible() != lit_ && s_.tutorial.active()) mark_->setVisible(lit_);
}

}  // namespace ui
