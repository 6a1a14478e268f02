#include "ui/launcher.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QFont>
#include <QFontMetrics>

#include "core/errors.h"
#include "core/newgame.h"
#include "shell/launcher.h"
#include "shell/options.h"
#include "ui/dialogs.h"
#include "ui/picture.h"

namespace ui {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

Launcher::Launcher(shell::Session& s, shell::CaptionSink& captions) : s_(s), captions_(captions) {
  setObjectName("launcher");
  setWindowTitle("QUENMAR");
  SetUpToolWindow(this, kLauncherSize);
  logo_ = new QLabel(this);
  logo_->setGeometry(0, 0, 634, 210);
  logo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  status_ = new QPlainTextEdit(this);
  status_->setReadOnly(true);
  status_->setGeometry(0, 210, 634, 40);
  status_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  AddButton("start_easy", "Start Easy", 8);
  AddButton("start_normal", "Start Normal", 89);
  AddButton("start_hard", "Start Hard", 170);
  AddButton("sandbox", "Sandbox", 251);
  // Beside the start buttons, over Sandbox: the first game a newcomer plays.
  AddButton("tutorial", "Tutorial", 251)->setGeometry(251, 150, 75, 22);
  // In the free space between Sandbox and Credits.
  AddButton("continue", "Continue", 360);
  AddButton("credits", "Credits", 470);
  AddButton("quit", "Quit", 551);
  languages_ = new QComboBox(this);
  // Wide enough for each language's own name, right-aligned where the codes stood.
  languages_->setObjectName("languages");
  languages_->setGeometry(506, 8, 120, 21);
  languages_->setEditable(false);
  // The disasters of the next game, above the start buttons it applies to.
  disasters_ = new QComboBox(this);
  disasters_->setObjectName("disasters");
  disasters_->setGeometry(8, 150, 237, 22);
  disasters_->setEditable(false);
  disasters_->addItems({"Disasters as the rules say", "Rare disasters", "No disasters"});
  disasters_->setToolTip("Disasters");

  connect(button("start_easy"), &QPushButton::clicked, this, [this] { Start(core::kLevelEasy); });
  connect(button("start_normal"), &QPushButton::clicked, this, [this] { Start(core::kLevelNormal); });
  connect(button("start_hard"), &QPushButton::clicked, this, [this] { Start(core::kLevelHard); });
  connect(button("tutorial"), &QPushButton::clicked, this, [this] {
    if (s_.game.loading || !on_tutorial) return;
    hide();
    on_tutorial();
  });
  connect(button("sandbox"), &QPushButton::clicked, this, [this] {
    s_.game.sandbox_option = !s_.game.sandbox_option;
    Tick();
  });
  connect(button("continue"), &QPushButton::clicked, this, [this] { Continue(); });
  connect(button("credits"), &QPushButton::clicked, this, [this] {
    if (on_credits) on_credits();
  });
  connect(button("quit"), &QPushButton::clicked, this, [this] {
    try {
      shell::SaveOptions(s_.game, s_.options);
    } catch (const core::DataError& e) {
      s_.game.host->ErrorBox(e.what());
    }
    if (end_program) end_program();
  });
  // Only a choice the player makes loads a language, not the box being filled.
  connect(disasters_, &QComboBox::activated, this, [this](int i) {
    if (i < core::kDisastersRules || i > core::kDisastersOff) return;
    s_.game.disasters_option = i;
    try {
      shell::SaveOptions(s_.game, s_.options);
    } catch (const core::DataError& e) {
      s_.game.host->ErrorBox(e.what());
    }
  });
  connect(languages_, &QComboBox::activated, this, [this](int i) { ChooseLanguage(languages_->itemData(i).toString()); });
  end_program = [] {
    QCoreApplication::exit(0);
    // Closed while the game window still loads: the event loop is not running yet.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  };

  // Enter must not start a game: no button is the default.
  NoDefaultButton(this);

  timer_.setInterval(200);
  connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
  timer_.start();
  RefreshContinue();
  Tick();
}

QPushButton* Launcher::AddButton(const char* control, const char* text, int left) {
  auto* b = new QPushButton(text, this);
  b->setGeometry(left, 179, 75, 25);
  buttons_.emplace_back(control, b);
  return b;
}

QPushButton* Launcher::button(std::string_view control) const {
  for (const auto& [name, b] : buttons_)
    if (name == control) return b;
  return nullptr;
}

void Launcher::LoadContents() {
  // A missing logo or language list is reported, and the rest of the contents skipped.
  try {
    const std::string logo = s_.game.Path("\\Textures\\launch_logo.bmp");
    const QPixmap p = LoadPicture(logo);
    if (p.isNull()) throw core::DataError(logo, 0, "", "Cannot open file");
    logo_->setPixmap(p);
    languages_->clear();
    for (const auto& [code, name] : shell::LanguageChoices(s_.game)) languages_->addItem(Q(name), Q(code));
    languages_->setCurrentIndex(languages_->count() > 0 ? 0 : -1);
  } catch (const core::DataError& e) {
    s_.game.host->ErrorBox(e.what());
  }
}

void Launcher::ShowLanguage(const std::string& code) {
  const int i = languages_->findData(Q(code));
  if (i >= 0 && i != languages_->currentIndex()) languages_->setCurrentIndex(i);
}

namespace {

// A caption wider than its button is set a little smaller, down to a legible size, rather
// than cut: the buttons keep their places in every language.
void FitCaption(QPushButton* b) {
  QFont f = b->parentWidget() ? b->parentWidget()->font() : b->font();
  const int room = b->width() - b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
  auto smaller = [&f] {
    if (f.pixelSize() > 0) {
      if (f.pixelSize() <= 9) return false;
      f.setPixelSize(f.pixelSize() - 1);
    } else {
      if (f.pointSizeF() <= 6.5) return false;
      f.setPointSizeF(f.pointSizeF() - 0.5);
    }
    return true;
  };
  while (QFontMetrics(f).size(Qt::TextShowMnemonic, b->text()).width() > room && smaller()) {
  }
  if (f != b->font()) b->setFont(f);
}

}  // namespace

void Launcher::keyPressEvent(QKeyEvent* e) {
  auto* focused = qobject_cast<QPushButton*>(focusWidget());
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && focused && focused->isEnabled()) {
    focused->click();
    return;
  }
  QDialog::keyPressEvent(e);
}

void Launcher::SetCaption(std::string_view control, const QString& text) {
  if (control == "sandbox") {  // built with its check sign
    Tick();
    return;
  }
  if (control == "disasters") {
    disasters_->setToolTip(text);
    return;
  }
  const std::string_view kChoices[] = {"disasters_rules", "disasters_rare", "disasters_off"};
  for (int k = 0; k < 3; ++k)
    if (control == kChoices[k]) {
      disasters_->setItemText(k, text);
      return;
    }
  if (QPushButton* b = button(control)) {
    b->setText(text);
    FitCaption(b);
  }
}

void Launcher::Tick() {
  const shell::LauncherView v = shell::LauncherTick(s_.game);
  QPushButton* sandbox = button("sandbox");
  if (sandbox->text() != Q(v.sandbox_caption)) {
    sandbox->setText(Q(v.sandbox_caption));
    FitCaption(sandbox);
  }
  // The options are read while the launcher shows: their choice appears once they are.
  const int32_t chosen = s_.game.disasters_option;
  if (chosen >= core::kDisastersRules && chosen <= core::kDisastersOff && disasters_->currentIndex() != chosen)
    disasters_->setCurrentIndex(chosen);
  if (disasters_->isEnabled() != v.buttons_enabled) disasters_->setEnabled(v.buttons_enabled);
  for (const auto& [name, b] : buttons_) {
    const bool enabled = v.buttons_enabled && (name != "continue" || has_last_game_);
    if (b->isEnabled() != enabled) b->setEnabled(enabled);
  }
  if (status_->toPlainText() != Q(v.status)) status_->setPlainText(Q(v.status));
  // After loading nothing changes on its own: the steps that change something tick.
  if (v.buttons_enabled) timer_.stop();
}

void Launcher::RefreshContinue() {
  has_last_game_ = s_.HasLastGame();
  Tick();
}

void Launcher::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  RefreshContinue();
}

void Launcher::Start(int32_t level) {
  if (s_.game.loading) return;
  hide();
  if (on_start) on_start(level);
}

void Launcher::Continue() {
  if (s_.game.loading || !on_continue) return;
  hide();
  // A last game that will not load leaves the launcher for another choice.
  if (!on_continue()) show();
}

void Launcher::ChooseLanguage(const QString& code) {
  try {
    shell::ChooseLanguage(s_.game, s_.options, code.toStdString(), &captions_);
    s_.world.hud().RelabelButtons();
  } catch (const core::DataError& e) {
    s_.game.host->ErrorBox(e.what());
  }
}

void Launcher::closeEvent(QCloseEvent* e) {
  // The title-bar close ends the program at once, without saving.
  e->accept();
  if (end_program) end_program();
}

}  // namespace ui
