// The windows around the game in this process: the launcher's language box, the switch
// between the HUD and the side panels, the side panels' controls, the options, the
// high-score table and the building editor, each driven through its own controls.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPen>
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QStyle>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QPushButton>
#include <QSlider>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>

#include "core/catalog.h"
#include "core/hiscore.h"
#include "core/newgame.h"
#include "core/text.h"
#include "core/trade.h"
#include "hud/hud.h"
#include "shell/locale.h"
#include "shell/options.h"
#include "ui/history_window.h"
#include "ui/main_window.h"
#include "ui_fixture.h"

namespace {

using testing_support::TempDir;

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_test::WriteGameData(dir);
    std::vector<std::string> ru;
    for (int k = 1; k <= 200; ++k) ru.push_back("R" + std::to_string(k));
    ru.resize(869);
    ru.push_back("Русский");  // the language's own name, for the language box
    dir.WriteLines("loc_ru.txt", ru);
    dir.WriteLines("locs.txt", {"en", "ru", "xx"});
    QImage logo(64, 32, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    std::filesystem::create_directories(dir.path() + "/Textures");
    logo.save(QString::fromStdString(dir.path() + "/Textures/launch_logo.bmp"), "BMP");
    w = std::make_unique<ui::MainWindow>(session);
    w->end_program = [] {};
    session.SetRecording(true);
    w->host().SetQuiet(true);
    w->StartUp(dir.path(), 7);
    // Without a sound card start-up has shown its one box about the device; each test
    // counts only the boxes its own steps show.
    session.recorder.errors.clear();
    launcher().LoadContents();
  }
  void TearDown() override { w.reset(); }

  core::Game& g() { return session.game; }
  ui::Launcher& launcher() { return *w->windows().launcher; }
  const std::vector<std::string>& Errors() { return session.recorder.errors; }
  void Trigger(const char* item) {
    QAction* a = w->action(item);
    ASSERT_NE(a, nullptr) << item;
    a->trigger();
  }
  // Runs the event loop for `ms` milliseconds, so timers fire.
  static void Wait(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  void Show() {
    w->show();
    QElapsedTimer t;
    t.start();
    while (w->viewer().width() != ui::kViewWidth && t.elapsed() < 10000) QApplication::processEvents();
    ASSERT_EQ(w->viewer().width(), ui::kViewWidth);
  }
  // A new game switched to the side panels, its start-up message put away.
  void StartInSidePanels() {
    Show();
    Trigger("Menu1_1");
    w->windows().message->hide();
    g().msg_panel = false;
    Trigger("Menu4_1");
    ASSERT_FALSE(g().hud_mode);
  }
  int ViewWidthAfterLayout() {
    QApplication::processEvents();
    Wait(50);
    return w->viewer().width();
  }
  // QUENMAR_UI_SHOTS=DIR keeps a picture of a window for a look.
  static void Keep(QWidget* widget, const std::string& name) {
    if (const char* keep = std::getenv("QUENMAR_UI_SHOTS"); keep && *keep)
      widget->grab().save(QString::fromStdString(std::string(keep) + "/" + name));
  }

  TempDir dir;
  shell::Session session;
  std::unique_ptr<ui::MainWindow> w;
};

TEST_F(Windows, TheLauncherWaitsForLoadingAndItsLanguageBoxRelabelsEveryWindow) {
  // While loading, only the language box is usable.
  g().loading = true;
  g().load_status = "Loading textures";
  launcher().Tick();
  EXPECT_FALSE(launcher().button("start_easy")->isEnabled());
  EXPECT_FALSE(launcher().button("quit")->isEnabled());
  EXPECT_EQ(launcher().status()->toPlainText(), "Loading textures");
  g().loading = false;
  launcher().Tick();
  EXPECT_TRUE(launcher().button("start_easy")->isEnabled());
  EXPECT_EQ(launcher().status()->toPlainText(), "Load complete...");
  EXPECT_EQ(launcher().button("sandbox")->text(), "( ) E144");
  launcher().button("sandbox")->click();
  launcher().Tick();
  EXPECT_EQ(launcher().button("sandbox")->text(), "(V) E144");

  // Each language by its own name, or by its code where its file names none or is missing;
  // choosing one in the box loads it by its code.
  ASSERT_EQ(launcher().languages()->count(), 3);
  EXPECT_EQ(launcher().languages()->itemText(0), "en");
  EXPECT_EQ(launcher().languages()->itemText(1), "Русский");
  EXPECT_EQ(launcher().languages()->itemText(2), "xx");
  launcher().languages()->setCurrentIndex(1);
  emit launcher().languages()->activated(1);
  EXPECT_EQ(g().locale_code, "ru");
  EXPECT_TRUE(Errors().empty());
  launcher().ChooseLanguage("ru");
  EXPECT_EQ(launcher().button("start_easy")->text(), "R1");
  EXPECT_EQ(launcher().button("credits")->text(), "R171");
  EXPECT_EQ(w->menu("menu_game")->title().remove(QChar('&')), "R24");
  EXPECT_TRUE(w->action("Menu2_1")->text().remove(QChar('&')).startsWith("R26\t")) << "with its key shown";
  EXPECT_TRUE(w->left_panel().build()->text() == "R17");
  EXPECT_EQ(session.world.hud().buttons()[hud::kTradePanel].caption, "R169") << "the HUD's worded buttons too";
  ui::CreditsWindow& credits = *w->windows().credits;
  EXPECT_EQ(credits.windowTitle(), "R171");
  EXPECT_TRUE(credits.text().contains("R176")) << credits.text().toStdString();
  EXPECT_TRUE(credits.text().contains("sounds made here"));
  EXPECT_EQ(core::ReadLines(dir.path() + "/options.txt").at(0), "ru") << "the choice is saved";
  Keep(&launcher(), "launcher_ru.png");
  Keep(&credits, "credits_ru.png");

  // A language without its file: the error box, the wording and the saved file stay.
  launcher().ChooseLanguage("xx");
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_NE(Errors()[0].find("loc_xx.txt"), std::string::npos);
  EXPECT_EQ(launcher().button("start_easy")->text(), "R1");
  EXPECT_EQ(core::ReadLines(dir.path() + "/options.txt").at(0), "ru");

  // A start button hides the launcher and hands over the level.
  int32_t started = 0;
  launcher().on_start = [&](int32_t level) { started = level; };
  launcher().show();
  // By keys: Enter presses the button Tab has brought the focus to.
  launcher().button("start_normal")->setFocus(Qt::TabFocusReason);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(launcher().button("start_normal"), &enter);
  EXPECT_EQ(started, 5) << "Enter on a focused start button";
  launcher().show();
  launcher().button("start_hard")->click();
  EXPECT_EQ(started, 1);
  EXPECT_FALSE(launcher().isVisible());
}

TEST_F(Windows, SwitchingToThePanelsAndBackKeepsTheHudAndGivesTheViewWhatIsLeft) {
  session.SetRecording(false);
  w->host().SetQuiet(false);
  Show();
  Trigger("Menu1_1");
  hud::Hud& hud = w->world().hud();
  // The briefing on the HUD's panel (the test's HUD may lack the panel's pictures).
  w->windows().message->hide();
  g().msg_panel = true;
  session.hud_message = {core::kMsgGameStart, "E33 briefing"};
  hud.cat_scroll = 2;
  hud.hud_trade_amt = 70;
  hud.stats_panel = true;
  g().trade_panel = true;
  w->world().over_hud = true;

  Trigger("Menu4_1");
  EXPECT_FALSE(g().hud_mode);
  EXPECT_TRUE(w->left_panel().isVisible());
  EXPECT_TRUE(w->right_panel().isVisible());
  EXPECT_EQ(ViewWidthAfterLayout(), ui::kViewWidth - ui::kLeftPanelWidth - ui::kRightPanelWidth);
  EXPECT_EQ(w->viewer().height(), ui::kViewHeight);
  EXPECT_FALSE(w->world().main_scene().hud->visible());
  EXPECT_FALSE(w->world().main_scene().hud_text->visible());
  // The pointer no longer counts as over a HUD button, and the briefing moved into the
  // message window, whose OK can be reached.
  EXPECT_FALSE(w->world().over_hud);
  EXPECT_FALSE(g().msg_panel);
  ui::MessageWindow& message = *w->windows().message;
  EXPECT_TRUE(message.isVisible());
  EXPECT_TRUE(message.text().startsWith("E33")) << message.text().toStdString();
  Keep(&message, "message_moved.png");
  message.ok()->click();

  // Wider window: the panels keep their widths, the view takes the rest.
  w->resize(w->width() + 200, w->height());
  EXPECT_EQ(ViewWidthAfterLayout(), ui::kViewWidth + 200 - ui::kLeftPanelWidth - ui::kRightPanelWidth);
  EXPECT_EQ(w->left_panel().width(), ui::kLeftPanelWidth);
  w->resize(w->width() - 200, w->height());

  Trigger("Menu4_1");
  EXPECT_TRUE(g().hud_mode);
  EXPECT_FALSE(w->left_panel().isVisible());
  EXPECT_EQ(ViewWidthAfterLayout(), ui::kViewWidth);
  EXPECT_TRUE(w->world().main_scene().hud->visible());
  EXPECT_EQ(hud.cat_scroll, 2);
  EXPECT_EQ(hud.hud_trade_amt, 70);
  EXPECT_TRUE(hud.stats_panel);
  EXPECT_TRUE(g().trade_panel);
  // Escape closes what the HUD has open.
  w->CloseHudPanels();
  EXPECT_FALSE(g().trade_panel);
}

TEST_F(Windows, SidePanelsTradeBorrowAndSelectWithTypedAmounts) {
  Show();
  Trigger("Menu1_1");
  Trigger("Menu4_1");
  w->Step(0.01);
  ui::LeftPanel& left = w->left_panel();
  ui::RightPanel& right = w->right_panel();

  g().trade_cap = 1000;  // as a spaceport would allow
  const int32_t food = g().food, money = g().money;
  left.trade(core::kGoodsFood).amount->setText("10");
  left.trade(core::kGoodsFood).buy->click();
  EXPECT_EQ(g().food, food + 10);
  EXPECT_LT(g().money, money);

  // Not a whole number: the standard error box, and nothing traded or borrowed.
  const int32_t money_before = g().money;
  for (const char* bad : {"abc", "1.5", ""}) {
    left.trade(core::kGoodsFood).amount->setText(bad);
    left.trade(core::kGoodsFood).sell->click();
  }
  right.credit_sum()->setText("lots");
  right.take()->click();
  ASSERT_EQ(Errors().size(), 4u);
  EXPECT_EQ(Errors()[0], "'abc' is not a valid integer value");
  EXPECT_EQ(Errors()[3], "'lots' is not a valid integer value");
  EXPECT_EQ(g().food, food + 10);
  EXPECT_EQ(g().money, money_before);
  EXPECT_EQ(g().debt, 0);

  // The building list: a click selects the slot; a frame with nothing changed rewrites
  // none of the 1001 lines.
  w->Step(0.01);
  ASSERT_EQ(right.list()->count(), core::kPlacedSize);
  EXPECT_EQ(right.list()->item(0)->text().toStdString(), core::BldgListLine(g(), 0));
  const int rewritten = right.lines_rewritten();
  w->Step(0.01);
  w->Step(0.01);
  EXPECT_EQ(right.lines_rewritten(), rewritten);
  right.list()->setCurrentRow(0);
  EXPECT_EQ(g().selected_bldg, 0);
  w->Step(0.01);
  EXPECT_EQ(right.selected()->text().toStdString(), g().placed[0].name);
  Keep(w.get(), "main_panels.png");
}

// The colony data in every language the game ships, at the window's own size: no line
// broken or running past the memo, none below its bottom, and still a readable size.
TEST_F(Windows, TheColonyDataFitsItsPanelInEveryLanguage) {
  namespace fs = std::filesystem;
  Show();
  Trigger("Menu1_1");
  Trigger("Menu4_1");
  QPlainTextEdit* memo = w->left_panel().colony();
  int languages = 0;
  for (const auto& e : fs::directory_iterator(fs::path(QUENMAR_GAME).parent_path())) {
    const std::string name = e.path().filename().string();
    if (name.rfind("loc_", 0) != 0 || e.path().extension() != ".txt") continue;
    ++languages;
    fs::copy_file(e.path(), fs::path(dir.path()) / name, fs::copy_options::overwrite_existing);
    shell::ReadLocale(g(), name.substr(4, name.size() - 8));
    w->Step(0.01);
    Wait(50);
    w->Step(0.01);
    Wait(50);
    SCOPED_TRACE(name + ": " + memo->toPlainText().toStdString());
    ASSERT_GT(memo->document()->blockCount(), 5);
    EXPECT_EQ(memo->document()->lineCount(), memo->document()->blockCount()) << "a line broken in two";
    EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0) << "lines below the memo's bottom";
    EXPECT_GE(memo->font().pixelSize(), ui::kColonyFontMinPixels);
    Keep(&w->left_panel(), "colony_data_" + name.substr(4, name.size() - 8) + ".png");
  }
  EXPECT_GE(languages, 2);
}

TEST_F(Windows, OptionSlidersActWithinHalfASecondAndOkWritesTheFile) {
  ui::OptionsWindow& o = *w->windows().options;
  EXPECT_EQ(o.size(), ui::kOptionsSize);
  o.show();
  // Crossed rows: the first row's slider is the music volume, its box the sound effects.
  o.slider(0)->setValue(80);
  o.slider(1)->setValue(20);
  o.slider(2)->setValue(90);
  o.check(0)->setChecked(false);
  Wait(700);
  EXPECT_EQ(session.options.music_volume, 80);
  EXPECT_EQ(session.options.sound_volume, 20);
  EXPECT_EQ(w->world().pan_speed, 90);
  EXPECT_FALSE(session.options.sound_on);
  EXPECT_TRUE(session.options.music_on);
  // The close button hides without saving.
  o.close();
  EXPECT_EQ(core::ReadLines(dir.path() + "/options.txt").at(4), "50");
  o.show();
  // Moved just before OK, with no timer step between: OK saves what the controls show.
  // The scale box: automatic first, then the percentages in quarter steps.
  ASSERT_EQ(o.scale()->count(), 7);
  EXPECT_EQ(o.scale()->currentData().toInt(), 0);
  EXPECT_EQ(o.scale()->itemData(6).toInt(), 200);
  o.slider(2)->setValue(35);
  o.scale()->setCurrentIndex(o.scale()->findData(125));
  o.ok()->click();
  EXPECT_FALSE(o.isVisible());
  const auto lines = core::ReadLines(dir.path() + "/options.txt");
  EXPECT_EQ(lines.at(1), "0");
  EXPECT_EQ(lines.at(3), "20");
  EXPECT_EQ(lines.at(4), "80");
  EXPECT_EQ(lines.at(6), "35");
  EXPECT_EQ(lines.at(11), "125");
  EXPECT_EQ(w->world().pan_speed, 35);
  // The HUD takes the scale at once (125 % is the most this window's view holds): its unit
  // is that of a view four fifths as high.
  EXPECT_EQ(w->world().hud().scale(), 1.25);
  EXPECT_EQ(w->world().hud().hud_unit, hud::UnitFor(w->world().view_h, 1.25));
}

TEST_F(Windows, HighScoreOkRecordsOneEntryAndRewritesTheFile) {
  g().score_entry = {"", 10, 5000};
  g().host->ShowHighScores(true);  // as game over does
  ui::HiScoreWindow& hs = *w->windows().hiscore;
  EXPECT_EQ(hs.size(), ui::kHiScoreSize);
  ASSERT_TRUE(hs.isVisible());
  ASSERT_TRUE(hs.ok()->isEnabled());
  hs.name()->setText("Ann");
  hs.ok()->click();
  EXPECT_FALSE(hs.ok()->isEnabled());
  const auto lines = core::ReadLines(dir.path() + "/leaders.hof");
  ASSERT_EQ(lines.size(), 300u);
  // Written at the lowest place; the reload shows it at its sorted one.
  EXPECT_EQ(lines[297], "Ann");
  EXPECT_EQ(lines[299], "5000");
  EXPECT_EQ(hs.list()->toPlainText(), "Ann (E124) - 5000");
  Keep(&hs, "hiscore.png");
  // From the menu the button stays disabled: no second entry for the same game.
  hs.hide();
  Trigger("Menu1_5");
  EXPECT_TRUE(hs.isVisible());
  EXPECT_FALSE(hs.ok()->isEnabled());
}

// Enter typed into the name field is OK once, and an unreadable or unwritable table is
// said once: at game over and when a failed save is retried.
TEST_F(Windows, HighScoreTroubleIsReportedOnceAndEnterIsOkOnce) {
  // Over the size the game reads: there, but unreadable.
  dir.Write("leaders.hof", std::string(core::kMaxTextFileBytes + 1, 'x'));
  g().score_entry = {"", 10, 5000};
  g().host->ShowHighScores(true);  // as game over does
  ui::HiScoreWindow& hs = *w->windows().hiscore;
  ASSERT_TRUE(hs.isVisible());
  ASSERT_EQ(Errors().size(), 1u) << "game over with an unreadable table";
  EXPECT_NE(Errors()[0].find("leaders.hof"), std::string::npos);

  // A folder where the table goes: the save fails, the button stays for another try.
  std::filesystem::remove(dir.path() + "/leaders.hof");
  std::filesystem::create_directories(dir.path() + "/leaders.hof/x");
  hs.name()->setFocus();
  hs.name()->setText("Ann");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(hs.name(), &enter);
  EXPECT_EQ(Errors().size(), 2u) << "Enter pressed OK once";
  EXPECT_TRUE(hs.ok()->isEnabled());
  std::filesystem::remove_all(dir.path() + "/leaders.hof");
  QApplication::sendEvent(hs.name(), &enter);
  EXPECT_EQ(Errors().size(), 2u);
  EXPECT_FALSE(hs.ok()->isEnabled());
  EXPECT_EQ(core::ReadLines(dir.path() + "/leaders.hof").at(297), "Ann");
}

// Continue follows the last game as saves and loads change it and when the launcher is
// shown; nothing looks at the saves folder in between.
TEST_F(Windows, ContinueFollowsSavesLoadsAndShowingNotATimer) {
  const std::string saves = dir.path() + "/saves";
  session.SetSavesFolder(saves);
  session.EnsureSavesFolder();
  ui::Launcher& l = launcher();
  l.show();
  QPushButton* cont = l.button("continue");
  Wait(50);
  EXPECT_FALSE(cont->isEnabled());
  core::StartNewGame(g(), core::kLevelEasy);
  w->SaveGameTo(saves + "/a.qsave");
  EXPECT_TRUE(cont->isEnabled()) << "at once on saving";
  // Gone behind the game's back: seen when the launcher is next shown, not before.
  std::filesystem::remove(saves + "/a.qsave");
  Wait(500);
  EXPECT_TRUE(cont->isEnabled());
  l.hide();
  l.show();
  EXPECT_FALSE(cont->isEnabled());
  w->SaveGameTo(saves + "/b.qsave");
  w->LoadGameFrom(saves + "/b.qsave");
  EXPECT_TRUE(cont->isEnabled());
  EXPECT_TRUE(Errors().empty());
}

// Qt's own words (a question's Yes and No, the file dialogs) follow the game's language.
TEST_F(Windows, QtsOwnWordsFollowTheLanguage) {
  auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
  auto dialog = [] { return QCoreApplication::translate("QFileDialog", "File &name:"); };
  EXPECT_EQ(yes(), "&Yes");
  launcher().ChooseLanguage("ru");
  ASSERT_EQ(g().locale_code, "ru");
  EXPECT_NE(yes(), "&Yes");
  EXPECT_NE(dialog(), "File &name:");
  QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
  EXPECT_NE(box.button(QMessageBox::No)->text(), "&No");
  launcher().ChooseLanguage("en");
  EXPECT_EQ(yes(), "&Yes");
  EXPECT_EQ(dialog(), "File &name:");
}

TEST_F(Windows, TheEditorRoundTripsABuildingAndADescriptionAndRefusesABadBox) {
  ui::EditorWindow& e = *w->windows().editor;
  EXPECT_EQ(e.size(), ui::kEditorSize);
  e.bid()->setText("1");
  e.Load();
  EXPECT_EQ(e.box(0)->text(), "100") << "Cost";
  EXPECT_EQ(e.name_label()->text(), "E182");

  // Saved at once: the boxes as they stand at the moment of Save.
  e.box(0)->setText("250");  // Cost
  e.box(1)->setText("7");    // Support cost
  e.unique()->setChecked(true);
  e.bid()->setText("12");
  e.Save();
  core::building saved = core::LoadBuilding(g(), 12);
  EXPECT_EQ(saved.cst, 250);
  EXPECT_EQ(saved.sc, 7);
  EXPECT_TRUE(saved.unique);
  EXPECT_EQ(saved.cname, "182");
  EXPECT_TRUE(Errors().empty());

  // A box that is no number is refused, named, and nothing is written.
  e.box(0)->setText("cheap");
  e.box(1)->setText("9");
  e.bid()->setText("13");
  e.Save();
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/Buildings/bldg_13.bld"));
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "Cost: 'cheap' is not a valid integer value");

  // "bid" not a number: the error box, nothing loaded or written.
  e.bid()->setText("x1");
  e.Load();
  e.Save();
  ASSERT_EQ(Errors().size(), 3u);
  EXPECT_EQ(Errors()[1], "'x1' is not a valid integer value");
  EXPECT_EQ(e.box(0)->text(), "cheap");

  // The description of the loaded type (1), in a language typed in.
  e.code()->setCurrentText("de");
  e.description()->setPlainText(QString::fromUtf8("Erste Zeile\nzweite Zeile — Ende"));
  e.WriteDescription();
  EXPECT_EQ(dir.Read("Buildings/bldg_1_desc_de.txt"), "Erste Zeile\r\nzweite Zeile \xE2\x80\x94 Ende\r\n");
  e.description()->clear();
  e.ReadDescription();
  EXPECT_EQ(e.description()->toPlainText(), QString::fromUtf8("Erste Zeile\nzweite Zeile — Ende\n"));
  // A code that leads out of the folder is refused.
  e.code()->setCurrentText("../../x");
  e.WriteDescription();
  EXPECT_EQ(Errors().size(), 4u);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/x.txt"));
  Keep(&e, "editor.png");
}

}  // namespace

// Two values that coincide (population and living space do for weeks) must stay two lines:
// every line of a chart differs from the others in colour and in dash pattern, so that
// neither colour vision nor a sharp eye for shades is needed to tell them apart.
TEST_F(Windows, EveryHistoryChartLineHasItsOwnColourAndDashPattern) {
  ui::HistoryWindow& h = *w->windows().history;
  h.show();
  ASSERT_GT(h.chart_count(), 0);
  for (int k = 0; k < h.chart_count(); ++k) {
    const QList<QAbstractSeries*> series = h.chart_view(k)->chart()->series();
    ASSERT_GE(series.size(), 2) << "chart " << k;
    std::set<QRgb> colours;
    std::set<int> dashes;
    for (QAbstractSeries* s : series) {
      const auto* line = qobject_cast<QLineSeries*>(s);
      ASSERT_NE(line, nullptr);
      colours.insert(line->pen().color().rgb());
      dashes.insert(static_cast<int>(line->pen().style()));
      EXPECT_NE(line->pen().style(), Qt::NoPen);
    }
    EXPECT_EQ(colours.size(), static_cast<std::size_t>(series.size())) << "chart " << k;
    EXPECT_EQ(dashes.size(), static_cast<std::size_t>(series.size())) << "chart " << k;
  }
  h.hide();
}

// The launcher's box and the Game menu's three items are one choice, kept in the options
// file at once; it applies to the game started next, never to the running one.
TEST_F(Windows, TheDisasterChoiceOfLauncherAndGameMenuIsOneOptionForTheNextGame) {
  auto* box = launcher().findChild<QComboBox*>("disasters");
  ASSERT_NE(box, nullptr);
  launcher().Tick();
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->currentIndex(), core::kDisastersRules);
  auto eleventh = [&] { return core::LineAt(core::ReadLines(shell::OptionsFile(g())), 10); };
  auto marks = [&] {
    w->Step(0.01);
    return std::vector<bool>{w->action("game_disasters_rules")->isChecked(),
                             w->action("game_disasters_rare")->isChecked(),
                             w->action("game_disasters_off")->isChecked()};
  };
  EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
  Trigger("game_start_easy");
  EXPECT_EQ(g().disasters, core::kDisastersRules);

  box->setCurrentIndex(core::kDisastersRare);
  emit box->activated(core::kDisastersRare);
  EXPECT_EQ(g().disasters_option, core::kDisastersRare);
  EXPECT_EQ(g().disasters, core::kDisastersRules) << "the running game stays what it was";
  EXPECT_EQ(eleventh(), "1");
  EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));
  Trigger("game_start_hard");
  EXPECT_EQ(g().disasters, core::kDisastersRare);

  Trigger("game_disasters_off");
  EXPECT_EQ(eleventh(), "2");
  EXPECT_EQ(marks(), (std::vector<bool>{false, false, true}));
  launcher().Tick();
  EXPECT_EQ(box->currentIndex(), core::kDisastersOff);
  EXPECT_EQ(g().disasters, core::kDisastersRare);
  Trigger("game_start_normal");
  EXPECT_EQ(g().disasters, core::kDisastersOff);
  EXPECT_TRUE(Errors().empty());
}

namespace {
// Every control below `iface` a player can reach: shown and taking focus by Tab.
void Controls(QAccessibleInterface* iface, std::vector<QAccessibleInterface*>& out, int depth = 0) {
  if (!iface || depth > 40) return;
  auto* widget = qobject_cast<QWidget*>(iface->object());
  if (widget && widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled()) out.push_back(iface);
  for (int i = 0; i < iface->childCount(); ++i) Controls(iface->child(i), out, depth + 1);
}
}  // namespace

// With the side panels, in the game's English: every control a player reaches has a name
// and a role for a screen reader, Tab visits every one of them in turn with a focus that
// shows, and a warning that turns bad is announced.
TEST_F(Windows, EverySidePanelControlHasANameARoleAndIsReachedByTabWithAFocusThatShows) {
  namespace fs = std::filesystem;
  fs::copy_file(fs::path(QUENMAR_GAME).parent_path() / "loc_en.txt", fs::path(dir.path()) / "loc_en.txt",
                fs::copy_options::overwrite_existing);
  shell::ReadLocale(g(), "en", &w->windows());
  session.SetRecording(false);
  w->host().SetQuiet(false);
  ASSERT_NO_FATAL_FAILURE(StartInSidePanels());
  w->RefreshPanels();
  w->activateWindow();
  for (int i = 0; i < 100 && !w->isActiveWindow(); ++i) Wait(20);
  ASSERT_TRUE(w->isActiveWindow());

  std::vector<QAccessibleInterface*> controls;
  Controls(QAccessible::queryAccessibleInterface(w.get()), controls);
  std::set<QWidget*> reachable;
  for (QAccessibleInterface* c : controls) {
    auto* widget = static_cast<QWidget*>(c->object());
    const std::string id = widget->objectName().toStdString() + " (" + widget->metaObject()->className() + ")";
    EXPECT_FALSE(c->text(QAccessible::Name).trimmed().isEmpty()) << id << " has no name";
    EXPECT_NE(c->role(), QAccessible::NoRole) << id;
    EXPECT_FALSE(widget->objectName().isEmpty()) << id;
    reachable.insert(widget);
  }
  // Both panels' controls and the view: the construction chooser, three trade boxes, the
  // credit box, the list and the selected building's three buttons.
  EXPECT_GE(reachable.size(), 21u);
  EXPECT_TRUE(reachable.count(&w->viewer())) << "the view takes the keyboard too";
  EXPECT_EQ(w->left_panel().trade(core::kGoodsRaw).sell->accessibleName().toStdString(), "Sell raw materials");

  // Tab from the first control around the whole chain.
  w->left_panel().types()->setFocus(Qt::TabFocusReason);
  Wait(20);
  std::set<QWidget*> visited;
  for (int i = 0; i < 100; ++i) {
    QWidget* f = QApplication::focusWidget();
    ASSERT_NE(f, nullptr);
    if (visited.count(f)) break;
    visited.insert(f);
    if (f == &w->viewer()) {
      EXPECT_GE(w->world().cursor_x, 0) << "tabbed into, the view shows its cell cursor";
    } else {
      // The focus shows: the control looks different without it.
      const QImage with = f->grab().toImage();
      f->clearFocus();
      Wait(20);
      const QImage without = f->grab().toImage();
      f->setFocus(Qt::TabFocusReason);
      Wait(20);
      EXPECT_NE(with, without) << f->objectName().toStdString() << ": the focus does not show";
    }
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(f, &tab);
    Wait(20);
  }
  for (QWidget* c : reachable) EXPECT_TRUE(visited.count(c)) << c->objectName().toStdString() << " is not reached by Tab";

  // A warning turning bad is said at once, with the state's word.
  core::warning& money = g().warnings[core::kWarnMoney];
  money.state = 0;
  w->RefreshPanels();
  money.state = 2;
  money.text = "Money runs out";
  w->RefreshPanels();
  EXPECT_EQ(w->right_panel().warning_said().toStdString(), "Money runs out (bad)");
  EXPECT_EQ(w->right_panel().warnings_said(), 1);
  w->RefreshPanels();
  EXPECT_EQ(w->right_panel().warnings_said(), 1) << "said once, not with every refresh";
  EXPECT_EQ(w->right_panel().status()->accessibleDescription().toStdString(), "Money runs out (bad)");
}

// Every side panel and every window in every language the game ships: no label, button,
// box or title is narrower or lower than its own text needs in its own font. QUENMAR_UI_SHOTS
// keeps each one for a look.
TEST_F(Windows, EveryPanelAndWindowHoldsItsWordsInEveryLanguage) {
  namespace fs = std::filesystem;
  const fs::path data = fs::path(QUENMAR_GAME).parent_path();
  std::vector<std::string> codes;
  for (const std::string& line : core::ReadLines((data / "locs.txt").string()))
    if (!line.empty()) codes.push_back(line);
  ASSERT_GE(codes.size(), 7u);
  for (const std::string& code : codes)
    fs::copy_file(data / ("loc_" + code + ".txt"), fs::path(dir.path()) / ("loc_" + code + ".txt"),
                  fs::copy_options::overwrite_existing);
  fs::copy_file(data / "locs.txt", fs::path(dir.path()) / "locs.txt", fs::copy_options::overwrite_existing);
  ASSERT_NO_FATAL_FAILURE(StartInSidePanels());
  // Every widget that shows a text on one line, against what that text needs.
  auto check = [&](QWidget* top, const std::string& where) {
    for (QWidget* c : top->findChildren<QWidget*>()) {
      if (!c->isVisibleTo(top) || c->width() <= 0) continue;
      const std::string id = where + ": " + c->objectName().toStdString() + " (" + c->metaObject()->className() + ")";
      QString text;
      QSize need;
      if (auto* l = qobject_cast<QLabel*>(c); l && !l->wordWrap() && !l->text().isEmpty() && l->pixmap().isNull()) {
        text = l->text();
        need = l->minimumSizeHint();
        if (l->textFormat() != Qt::RichText && !Qt::mightBeRichText(text)) {
          const QSize used = l->fontMetrics().size(0, text);
          need = need.expandedTo(used + QSize(2 * l->margin() + 2 * l->frameWidth(), 0));
        }
      } else if (auto* b = qobject_cast<QAbstractButton*>(c); b && !b->text().isEmpty()) {
        // The text and the style's margins around it; the style's wish for a wider button is
        // no cut.
        text = b->text();
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        need = b->fontMetrics().size(Qt::TextShowMnemonic, text) + QSize(margin + icon, 0);
        if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) need = b->sizeHint();
      } else if (auto* gb = qobject_cast<QGroupBox*>(c); gb && !gb->title().isEmpty()) {
        text = gb->title();
        need = QSize(gb->fontMetrics().horizontalAdvance(QString(text).remove('&')) + 16, 0);
      } else {
        continue;
      }
      EXPECT_LE(need.width(), c->width()) << id << " cuts \"" << text.toStdString() << "\"";
      EXPECT_LE(need.height(), c->height()) << id << " cuts \"" << text.toStdString() << "\" below";
    }
  };
  for (const std::string& code : codes) {
    SCOPED_TRACE(code);
    launcher().ChooseLanguage(QString::fromStdString(code));
    ASSERT_EQ(g().locale_code, code);
    w->RefreshPanels();
    w->Step(0.01);
    Wait(50);
    check(&w->left_panel(), "left panel");
    check(&w->right_panel(), "right panel");
    Keep(w.get(), "panels_" + code + ".png");
    for (const ui::NamedWindow& nw : w->windows().All()) {
      if (nw.widget == w.get()) continue;
      nw.widget->show();
      Wait(50);
      check(nw.widget, std::string(nw.name));
      Keep(nw.widget, std::string(nw.name) + "_" + code + ".png");
      nw.widget->hide();
    }
  }
}
