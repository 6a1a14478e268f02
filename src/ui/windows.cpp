#include "ui/windows.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QRegularExpression>

#include "ui/main_window.h"

namespace ui {

Windows::Windows(shell::Session& s) : s_(s) {
  launcher = std::make_unique<Launcher>(s, *this);
  hiscore = std::make_unique<HiScoreWindow>(s);
  message = std::make_unique<MessageWindow>(s);
  editor = std::make_unique<EditorWindow>(s);
  options = std::make_unique<OptionsWindow>(s);
  monitor = std::make_unique<MonitorWindow>(s);
  credits = std::make_unique<CreditsWindow>();
  history = std::make_unique<HistoryWindow>(s);
  launcher->on_credits = [this] {
    credits->show();
    credits->raise();
  };
  s_.on_last_game_changed = [this] { launcher->RefreshContinue(); };
}

Windows::~Windows() {
  s_.on_last_game_changed = nullptr;
  if (qt_words_) QCoreApplication::removeTranslator(qt_words_.get());
}

void Windows::SetMain(MainWindow* main) { main_ = main; }

void Windows::SetCaption(const shell::CaptionEntry& which, const std::string& text) {
  const QString t = QString::fromStdString(text);
  if (which.window == "launcher") {
    launcher->SetCaption(which.control, t);
  } else if (which.window == "hiscore") {
    hiscore->SetPrompt(t);
  } else if (which.window == "credits") {
    credits->setWindowTitle(t);
  } else if (which.window == "history") {
    history->Retranslate();
  } else if (which.window == "main" && main_) {
    main_->SetCaption(which, text);
  }
}

void Windows::SetCreditsText(const std::string& text) {
  credits->SetText(text);
  // A language load also puts its code in the launcher's box, and Qt's words follow.
  launcher->ShowLanguage(s_.game.locale_code);
  UseQtLanguage(s_.game.locale_code);
}

void Windows::UseQtLanguage(const std::string& code) {
  if (qt_words_) {
    QCoreApplication::removeTranslator(qt_words_.get());
    qt_words_.reset();
  }
  auto words = std::make_unique<QTranslator>();
  // The code is the player's; only a plain language code names a translation file.
  const QString c = QString::fromStdString(code);
  static const QRegularExpression plain("^[A-Za-z]{2,3}(_[A-Za-z]{2})?$");
  if (!plain.match(c).hasMatch()) return;
  // The game's Chinese is the simplified script; Qt names its translation by the region.
  const QString file = c == "zh" ? QString("zh_CN") : c;
  if (words->load("qtbase_" + file, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(words.get());
    qt_words_ = std::move(words);
  }
}

std::vector<NamedWindow> Windows::All() const {
  std::vector<NamedWindow> all = {{"launcher", launcher.get(), launcher.get()}};
  if (main_) all.push_back({"main", main_, main_->centralWidget()});
  for (const NamedWindow& w : std::initializer_list<NamedWindow>{{"hiscore", hiscore.get(), hiscore.get()},
                                                                  {"message", message.get(), message.get()},
                                                                  {"editor", editor.get(), editor.get()},
                                                                  {"options", options.get(), options.get()},
                                                                  {"monitor", monitor.get(), monitor.get()},
                                                                  {"credits", credits.get(), credits.get()},
                                                                  {"history", history.get(), history.get()}})
    all.push_back(w);
  return all;
}

}  // namespace ui
