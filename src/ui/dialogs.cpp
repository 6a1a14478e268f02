#include "ui/dialogs.h"
#include "ui/picture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QTextEdit>
#include <QVBoxLayout>

#include "core/errors.h"
#include "core/hiscore.h"
#include "hud/hud.h"
#include "traffic/monitor.h"

namespace ui {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

QString Lines(const std::vector<std::string>& lines) {
  QStringList l;
  for (const auto& s : lines) l << Q(s);
  return l.join('\n');
}

// A read-only memo whose every line is centred.
QTextEdit* CentredMemo(QWidget* parent, const QFont& font) {
  auto* m = new QTextEdit(parent);
  m->setReadOnly(true);
  m->setAcceptRichText(false);
  m->setFont(font);
  m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m->setStyleSheet("QTextEdit { color: black; background: white; }");
  return m;
}

void SetCentredText(QTextEdit* m, QString text) {
  m->setPlainText(text.replace("\r\n", "\n"));
  QTextCursor c(m->document());
  c.select(QTextCursor::Document);
  QTextBlockFormat f;
  f.setAlignment(Qt::AlignHCenter);
  c.mergeBlockFormat(f);
}

// The options window's row icons, drawn here rather than shipped as pictures.
QPixmap Icon(int row) {
  QPixmap p(32, 32);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(Qt::black, 2));
  g.setBrush(Qt::black);
  if (row == 0) {  // a musical note
    g.drawEllipse(QRectF(6, 21, 9, 7));
    g.drawLine(QPointF(14.5, 24), QPointF(14.5, 5));
    g.drawLine(QPointF(14.5, 5), QPointF(24, 11));
  } else if (row == 1) {  // a loudspeaker
    QPolygonF cone;
    cone << QPointF(4, 12) << QPointF(10, 12) << QPointF(18, 5) << QPointF(18, 27) << QPointF(10, 20)
         << QPointF(4, 20);
    g.drawPolygon(cone);
    g.setBrush(Qt::NoBrush);
    g.drawArc(QRectF(16, 10, 8, 12), -60 * 16, 120 * 16);
    g.drawArc(QRectF(15, 6, 14, 20), -60 * 16, 120 * 16);
  } else {  // a mouse pointer
    QPolygonF arrow;
    arrow << QPointF(8, 3) << QPointF(8, 26) << QPointF(13, 21) << QPointF(17, 29) << QPointF(20, 28)
          << QPointF(16, 20) << QPointF(23, 20);
    g.setBrush(Qt::white);
    g.drawPolygon(arrow);
  }
  return p;
}
}  // namespace

void CentreOnScreen(QWidget* w) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

void NoDefaultButton(QDialog* dialog) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
}

void SetUpToolWindow(QWidget* w, QSize size, bool resizable) {
  Qt::WindowFlags f = Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  if (resizable) f |= Qt::WindowMinMaxButtonsHint;
  w->setWindowFlags(f);
  if (resizable) {
    w->resize(size);
  } else {
    w->setFixedSize(size);
  }
  CentreOnScreen(w);
}

void InstallFonts() {
  if (QFontInfo(QFont("Tahoma")).family() != "Tahoma") {
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
      if (QFileInfo::exists(file)) QFontDatabase::addApplicationFont(file);
  }
  // Every window's default font, as designed.
  QFont font("Tahoma");
  font.setPixelSize(11);
  QApplication::setFont(font);
}

QFont MemoFont(int pixels, bool bold) {
  QFont f("Courier New");
  f.setStyleHint(QFont::TypeWriter);
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

// --- message window -----------------------------------------------------------------------

MessageWindow::MessageWindow(shell::Session& s) : s_(s) {
  setObjectName("message");
  setWindowTitle("-- incoming signal --");
  SetUpToolWindow(this, kMessageSize);
  // No close button: the OK button is the way out.
  setWindowFlags((windowFlags() & ~Qt::WindowCloseButtonHint) | Qt::CustomizeWindowHint);
  picture_ = new QLabel(this);
  picture_->setGeometry(8, 8, 200, 200);
  picture_->setAlignment(Qt::AlignCenter);
  memo_ = CentredMemo(this, MemoFont(16, true));
  memo_->setGeometry(214, 8, 272, 177);
  ok_ = new QPushButton("OK", this);
  ok_->setGeometry(214, 185, 272, 25);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, [this] { Ok(); });
}

void MessageWindow::ShowMessage(int kind, const std::string& text) {
  kind_ = kind;
  SetCentredText(memo_, Q(text));
  if (!isVisible()) show();
  raise();
}

QString MessageWindow::text() const { return memo_->toPlainText(); }

void MessageWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // A missing picture leaves the frame empty; the message is what matters.
  const QPixmap p = LoadPicture(s_.game.Path("\\textures\\pic_" + std::to_string(kind_) + ".bmp"));
  if (!p.isNull()) {
    picture_->setPixmap(p.width() > 200 || p.height() > 200 ? p.scaled(200, 200, Qt::KeepAspectRatio) : p);
  } else {
    picture_->clear();
  }
  s_.world.day_clock().SetEnabled(false);
}

void MessageWindow::Ok() {
  hide();
  // Only the message's own hold ends: a game the player paused (or a message still open on
  // the HUD panel) keeps the day clock off.
  if (!s_.world.paused() && !s_.game.msg_panel) s_.world.day_clock().SetEnabled(true);
}

// --- high scores ----------------------------------------------------------------------------

HiScoreWindow::HiScoreWindow(shell::Session& s) : s_(s) {
  setObjectName("hiscore");
  setWindowTitle("HiScore");
  SetUpToolWindow(this, kHiScoreSize);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* strip = new QHBoxLayout;
  prompt_ = new QLabel("Enter Your Name", this);
  name_ = new QLineEdit(this);
  ok_ = new QPushButton("OK", this);
  ok_->setEnabled(false);
  ok_->setFixedWidth(48);
  strip->addWidget(prompt_);
  strip->addWidget(name_, 1);
  strip->addWidget(ok_);
  layout->addLayout(strip);
  list_ = new QPlainTextEdit(this);
  list_->setReadOnly(true);
  list_->setFont(MemoFont(21, true));
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(list_, 1);
  connect(ok_, &QPushButton::clicked, this, [this] { Ok(); });
  // Enter in the name field is OK, once: the button is no default that Enter presses too.
  NoDefaultButton(this);
  connect(name_, &QLineEdit::returnPressed, this, [this] {
    if (ok_->isEnabled()) Ok();
  });
}

void HiScoreWindow::SetPrompt(const QString& text) { prompt_->setText(text); }

void HiScoreWindow::Open(bool accept_entry) {
  // The table knows whether a finished game's score still waits for its name.
  (void)accept_entry;
  ok_->setEnabled(!s_.hiscores.accepted);
  ShowList();
  if (!isVisible()) show();
  raise();
}

void HiScoreWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  ShowList();
}

// The table as the host last read it: reading the file again here would report an
// unreadable one a second time.
void HiScoreWindow::ShowList() { list_->setPlainText(Lines(s_.hiscores.lines)); }

void HiScoreWindow::Ok() {
  const core::OkResult r = core::AcceptScore(s_.game, s_.hiscores, name_->text().toStdString());
  if (r == core::OkResult::kWriteFailed) return;
  list_->setPlainText(Lines(s_.hiscores.lines));
  ok_->setEnabled(!s_.hiscores.accepted);
}

// --- options ---------------------------------------------------------------------------------

OptionsWindow::OptionsWindow(shell::Session& s) : s_(s) {
  setObjectName("options");
  setWindowTitle("Options");
  SetUpToolWindow(this, kOptionsSize);
  for (int row = 0; row < 3; ++row) {
    const int top = 8 + row * 44;
    auto* icon = new QLabel(this);
    icon->setPixmap(Icon(row));
    icon->setGeometry(8, top, 32, 32);
    sliders_[row] = new QSlider(Qt::Horizontal, this);
    sliders_[row]->setRange(0, 100);
    sliders_[row]->setGeometry(46, top + 4, row < 2 ? 150 : 176, 24);
    if (row < 2) {
      checks_[row] = new QCheckBox(this);
      checks_[row]->setGeometry(202, top + 6, 22, 20);
    }
  }
  scale_label_ = new QLabel(this);
  scale_label_->setGeometry(8, 134, 118, 22);
  scale_ = new QComboBox(this);
  scale_->setObjectName("ui_scale");
  scale_->setGeometry(128, 134, 96, 22);
  scale_->addItem(QString(), 0);
  for (int p = hud::kMinUiScale; p <= hud::kMaxUiScale; p += hud::kUiScaleStep)
    scale_->addItem(QString("%1 %").arg(p), p);
  scale_label_->setBuddy(scale_);
  ok_ = new QPushButton("OK", this);
  ok_->setGeometry(149, 162, 75, 25);
  // Nothing to type here: Enter is OK.
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, [this] { Ok(); });
  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, [this] { Copy(); });
}

// The rows are wired crosswise: the first row's slider is the music volume but its check
// box switches the sound effects, and the second row the other way round.
void OptionsWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  const shell::Options& o = s_.options;
  sliders_[0]->setValue(o.music_volume);
  sliders_[1]->setValue(o.sound_volume);
  sliders_[2]->setValue(o.pan_speed);
  checks_[0]->setChecked(o.sound_on);
  checks_[1]->setChecked(o.music_on);
  // The language may have changed since the window was made.
  scale_label_->setText(Q(s_.game.Loc(850)));
  scale_->setItemText(0, Q(s_.game.Loc(851)));
  const int at = scale_->findData(o.ui_scale);
  // A scale the file had between the steps stays until the player picks another.
  if (at >= 0) scale_->setCurrentIndex(at);
  else {
    scale_->addItem(QString("%1 %").arg(o.ui_scale), o.ui_scale);
    scale_->setCurrentIndex(scale_->count() - 1);
  }
  timer_.start();
}

void OptionsWindow::hideEvent(QHideEvent* e) {
  timer_.stop();
  QDialog::hideEvent(e);
}

void OptionsWindow::Copy() {
  shell::Options& o = s_.options;
  o.music_volume = sliders_[0]->value();
  o.sound_volume = sliders_[1]->value();
  o.pan_speed = sliders_[2]->value();
  o.sound_on = checks_[0]->isChecked();
  o.music_on = checks_[1]->isChecked();
  o.ui_scale = scale_->currentData().toInt();
  // The frame loop plays and pans with these from its next frame.
  s_.ApplyOptions();
}

void OptionsWindow::Ok() {
  // The controls as they are now, not as the timer last saw them.
  Copy();
  try {
    shell::SaveOptions(s_.game, s_.options);
  } catch (const core::DataError& e) {
    s_.game.host->ErrorBox(e.what());
    return;
  }
  hide();
}

// --- credits ---------------------------------------------------------------------------------

CreditsWindow::CreditsWindow() {
  setObjectName("credits");
  setWindowTitle("Form8");
  SetUpToolWindow(this, kCreditsSize);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  memo_ = CentredMemo(this, MemoFont(16, false));
  layout->addWidget(memo_);
}

void CreditsWindow::SetText(const std::string& text) { SetCentredText(memo_, Q(text)); }

QString CreditsWindow::text() const { return memo_->toPlainText(); }

// --- shuttle monitor -------------------------------------------------------------------------

MonitorWindow::MonitorWindow(shell::Session& s) : s_(s) {
  setObjectName("monitor");
  setWindowTitle("Form7");
  SetUpToolWindow(this, kMonitorSize, true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  memo_ = new QPlainTextEdit(this);
  layout->addWidget(memo_);
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, [this] { Refresh(); });
}

void MonitorWindow::Refresh() {
  // The numbers are written with the system's decimal separator.
  QString text = Lines(traffic::ShuttleMonitorLines(s_.traffic.shuttles()));
  text.replace('.', QLocale::system().decimalPoint());
  memo_->setPlainText(text);
}

void MonitorWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  timer_.start();
}

void MonitorWindow::hideEvent(QHideEvent* e) {
  timer_.stop();
  QDialog::hideEvent(e);
}

}  // namespace ui
