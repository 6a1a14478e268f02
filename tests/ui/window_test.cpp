// The game window in this process: start-up, the menu commands, the player's pause
// against the frame loop, pointer input on the view, closing and quitting, the boxes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include "core/errors.h"
#include "shell/locale.h"
#include "shell/options.h"
#include "sim/interpreter.h"
#include "ui/main_window.h"
#include "ui_fixture.h"

namespace {

using testing_support::TempDir;

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_test::WriteGameData(dir);
    w = std::make_unique<ui::MainWindow>(session);
    // Nobody is there to click: messages are recorded, questions answered Yes.
    Automate(true);
    w->end_program = [this] { ++ended; };
    w->StartUp(dir.path(), 7);
  }
  void TearDown() override { w.reset(); }

  core::Game& g() { return w->game(); }
  void Automate(bool on) {
    session.SetRecording(on);
    w->host().SetQuiet(on);
  }
  void Trigger(const char* control) {
    QAction* a = w->action(control);
    ASSERT_NE(a, nullptr) << control;
    a->trigger();
  }
  // Runs script lines on the live game, view commands included.
  void Script(const std::string& lines) {
    std::ostringstream out, err;
    sim::Interpreter in(w->session(), out, err);
    sim::RegisterAllCommands(in);
    std::istringstream s(lines);
    EXPECT_EQ(in.RunScript(s), 0) << err.str();
  }
  const std::vector<shell::ShownMessage>& Messages() { return session.recorder.messages; }
  // Shows the window and waits until the view has its size.
  void ShowWindow() {
    w->show();
    QElapsedTimer t;
    t.start();
    while (w->viewer().width() != ui::kViewWidth && t.elapsed() < 10000) QApplication::processEvents();
    ASSERT_EQ(w->viewer().width(), ui::kViewWidth);
    ASSERT_EQ(w->viewer().height(), ui::kViewHeight);
  }
  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
    scene::gl::Viewer& v = w->viewer();
    QMouseEvent e(type, QPointF(p), v.mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&v, &e);
  }
  void Click(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonPress, p, button, button);
    Mouse(QEvent::MouseButtonRelease, p, button, Qt::NoButton);
  }
  void Wheel(int delta) {
    scene::gl::Viewer& v = w->viewer();
    const QPointF p(100, 100);
    QWheelEvent e(p, v.mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(&v, &e);
  }

  TempDir dir;
  shell::Session session;
  std::unique_ptr<ui::MainWindow> w;
  int ended = 0;
};

TEST_F(Window, StartUpLoadsTheGameAndWordsTheMenusFromTheLanguage) {
  EXPECT_EQ(g().load_status, "Done loading");
  EXPECT_FALSE(g().loading);
  EXPECT_FALSE(g().game_running);
  EXPECT_FALSE(g().audio_ok);
  EXPECT_TRUE(w->world().day_clock().enabled());
  EXPECT_TRUE(w->world().frame_clock().enabled());
  // The language file reads "Ek" for entry k.
  EXPECT_EQ(w->menu("menu_game")->title().remove(QChar('&')), "E24");
  EXPECT_EQ(w->menu("menu_speed")->title().remove(QChar('&')), "E25");
  EXPECT_EQ(w->menu("menu_disasters")->title().remove(QChar('&')), "E30");
  EXPECT_EQ(w->menu("menu_options")->title().remove(QChar('&')), "E145");
  EXPECT_EQ(w->action("game_start_easy")->text().remove(QChar('&')), "E1");
  EXPECT_EQ(w->action("game_quit")->text().remove(QChar('&')), "E4");
  EXPECT_EQ(w->action("game_sandbox")->text().remove(QChar('&')), "E144");
  EXPECT_EQ(w->action("speed_pause")->text().remove(QChar('&')).section('\t', 0, 0), "E26");
  EXPECT_EQ(w->action("speed_fast")->text().remove(QChar('&')).section('\t', 0, 0), "E29");
  EXPECT_EQ(w->action("disasters_earthquake")->text().remove(QChar('&')), "E32");
  EXPECT_EQ(w->action("options_tubes")->text().remove(QChar('&')).section('\t', 0, 0), "E167");
  EXPECT_EQ(w->action("options_isometric")->text().remove(QChar('&')).section('\t', 0, 0), "E177");
  // Fullscreen is no locale entry.
  EXPECT_EQ(w->action("options_fullscreen")->text().remove(QChar('&')).section('\t', 0, 0), "Fullscreen");
  EXPECT_TRUE(w->action("options_fullscreen")->isEnabled());
}

// The check mark and the kept choice follow the window's state whoever changes it: the
// menu, or the window manager (here the state set from outside the window's commands).
TEST_F(Window, TheFullscreenMarkAndOptionFollowTheWindowsState) {
  ShowWindow();
  QAction* item = w->action("options_fullscreen");
  ASSERT_TRUE(item->isCheckable());
  EXPECT_FALSE(item->isChecked());
  Trigger("options_fullscreen");
  EXPECT_TRUE(w->isFullScreen());
  EXPECT_TRUE(item->isChecked());
  EXPECT_TRUE(session.options.fullscreen);
  w->setWindowState(w->windowState() & ~Qt::WindowFullScreen);
  EXPECT_FALSE(item->isChecked());
  EXPECT_FALSE(session.options.fullscreen);
  w->setWindowState(w->windowState() | Qt::WindowFullScreen);
  EXPECT_TRUE(item->isChecked());
  EXPECT_TRUE(session.options.fullscreen);
  Trigger("options_fullscreen");
  EXPECT_FALSE(w->isFullScreen());
  EXPECT_FALSE(item->isChecked());
  // Kept on, the choice applies as the window is shown again.
  w->hide();
  session.options.fullscreen = true;
  w->show();
  EXPECT_TRUE(w->isFullScreen());
  EXPECT_TRUE(item->isChecked());
}

TEST(WindowStartUp, AMissingLanguageFileIsADataError) {
  TempDir empty;
  shell::Session session;
  session.SetRecording(true);
  ui::MainWindow w(session);
  EXPECT_THROW(w.StartUp(empty.path(), 1), core::DataError);
}

TEST_F(Window, GameMenuStartsGamesAndTheSandboxOptionWaitsForTheNext) {
  ShowWindow();
  // Designed checked; showing the window puts the option's value in.
  EXPECT_FALSE(w->action("game_sandbox")->isChecked());

  Trigger("game_start_easy");
  EXPECT_TRUE(g().game_running);
  EXPECT_FALSE(g().game_over);
  EXPECT_EQ(g().level, 10);
  EXPECT_EQ(g().money, 50000);
  EXPECT_EQ(g().days_left, 300);
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages().back().kind, core::kMsgGameStart);

  Trigger("game_sandbox");
  EXPECT_TRUE(g().sandbox_option);
  EXPECT_TRUE(w->action("game_sandbox")->isChecked());
  EXPECT_FALSE(g().sandbox) << "the running game stays what it was";

  Trigger("game_start_hard");
  EXPECT_EQ(g().level, 1);
  EXPECT_EQ(g().days_left, 1200);
  EXPECT_TRUE(g().sandbox);

  Trigger("game_sandbox");
  Trigger("game_start_normal");
  EXPECT_EQ(g().level, 5);
  EXPECT_EQ(g().days_left, 600);
  EXPECT_FALSE(g().sandbox);

  // A loaded game brings its option back, and the check mark shows it at once.
  const std::string file = dir.path() + "/sandbox.qsave";
  Trigger("game_sandbox");
  w->SaveGameTo(file);
  Trigger("game_sandbox");
  ASSERT_FALSE(w->action("game_sandbox")->isChecked());
  w->LoadGameFrom(file);
  EXPECT_TRUE(g().sandbox_option);
  EXPECT_TRUE(w->action("game_sandbox")->isChecked()) << "the check mark follows the loaded game";
  // Changed elsewhere (the launcher, a script), the option shows by the next frame.
  Script("sandbox off\nnew 10\n");
  w->Step(0.01);
  EXPECT_FALSE(g().sandbox);
  EXPECT_FALSE(w->action("game_sandbox")->isChecked());
}

TEST_F(Window, SpeedMenuSetsTheDayLength) {
  Trigger("speed_low");
  EXPECT_EQ(g().day_length, 12.0);
  Trigger("speed_normal");
  EXPECT_EQ(g().day_length, 3.0);
  Trigger("speed_fast");
  EXPECT_EQ(g().day_length, 0.5);
}

TEST_F(Window, PlayerPauseHoldsTheDayClockUntilUndone) {
  Trigger("game_start_easy");
  // The briefing holds the day on the HUD panel until its OK.
  ASSERT_TRUE(g().msg_panel);
  g().msg_panel = false;
  Trigger("speed_fast");
  w->Step(0.1);
  const int32_t day = g().day;
  const double timer = g().day_timer;

  Trigger("speed_pause");
  // The frame loop would switch the clock on again in every frame; the pause holds.
  for (int i = 0; i < 10; ++i) w->Step(0.3);
  EXPECT_EQ(g().day, day);
  EXPECT_EQ(g().day_timer, timer);
  EXPECT_FALSE(w->world().day_clock().enabled());
  EXPECT_TRUE(w->windowTitle().contains("E37")) << "the caption carries the pause word: "
                                                 << w->windowTitle().toStdString();

  // A speed chosen while paused changes the length, not the pause.
  Trigger("speed_low");
  w->Step(0.3);
  EXPECT_EQ(g().day_length, 12.0);
  EXPECT_FALSE(w->world().day_clock().enabled());

  Trigger("speed_fast");
  Trigger("speed_pause");
  w->Step(0.3);
  w->Step(0.3);
  EXPECT_EQ(g().day, day % 30 + 1);
  EXPECT_FALSE(w->windowTitle().contains("E37"));
}

TEST_F(Window, DisastersMenuRaidsAndShakesTheColony) {
  Trigger("game_start_easy");
  Trigger("disasters_pirates");
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages().back().kind, core::kMsgPirates);
  Trigger("disasters_earthquake");
  EXPECT_EQ(Messages().back().kind, core::kMsgOther);
  EXPECT_EQ(Messages().back().text.rfind("E107", 0), 0u);
}

TEST_F(Window, OptionsMenuSwitchesTubesAndTheIsometricView) {
  Trigger("options_tubes");
  EXPECT_TRUE(g().tubes_off);
  w->Step(0.01);
  EXPECT_TRUE(w->action("options_tubes")->isChecked());
  Trigger("options_tubes");
  w->Step(0.01);
  EXPECT_FALSE(g().tubes_off);
  EXPECT_FALSE(w->action("options_tubes")->isChecked());

  Trigger("options_isometric");
  EXPECT_TRUE(g().isometric);
  EXPECT_EQ(w->world().main_scene().camera->pitch_angle(), 30.0f);
  Trigger("options_isometric");
  EXPECT_FALSE(g().isometric);
  EXPECT_EQ(w->world().main_scene().camera->pitch_angle(), 0.0f);
}

TEST_F(Window, QuitEndsWithoutSavingAndClosingSavesTheOptions) {
  const std::string file = shell::OptionsFile(g());
  ASSERT_TRUE(std::filesystem::exists(file)) << "start-up writes the defaults";
  std::filesystem::remove(file);
  g().cam_height = 77;

  Trigger("game_quit");
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(std::filesystem::exists(file));

  ShowWindow();
  w->close();
  EXPECT_EQ(ended, 2);
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_NE(dir.Read("options.txt").find("77"), std::string::npos);
}

TEST_F(Window, PointerOnTheViewSelectsPansAndZooms) {
  ShowWindow();
  Script("new 10\nevents off\nbuild 0 10 10\ncamera 220 220 50\n");
  int32_t slot = -1;
  for (int i = 0; i < core::kPlacedSize; ++i)
    if (g().placed[i].exists && g().placed[i].x == 10 && g().placed[i].y == 10) slot = i;
  ASSERT_NE(slot, -1);
  w->Step(0.01);

  const QPoint building = ui_test::CellPixel(220, 220, 50, ui::kViewWidth, ui::kViewHeight, 10, 10);
  Click(building);
  EXPECT_EQ(g().selected_bldg, slot);
  EXPECT_EQ(g().sel_cell_x, 10);
  EXPECT_EQ(g().sel_cell_y, 10);

  const QPoint ground = ui_test::CellPixel(220, 220, 50, ui::kViewWidth, ui::kViewHeight, 12, 11, -1);
  Click(ground, Qt::RightButton);
  EXPECT_EQ(g().selected_bldg, core::kNoSelection);
  EXPECT_EQ(g().sel_cell_x, -1);

  // Turning the wheel away from the player raises the camera, toward lowers it.
  Wheel(120);
  EXPECT_EQ(g().cam_height, 53);
  Wheel(-240);
  EXPECT_EQ(g().cam_height, 47);

  // A drag of 100 pixels to the right moves the camera 50 units (drag speed 50).
  Mouse(QEvent::MouseMove, ground, Qt::NoButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonPress, ground, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, ground + QPoint(100, 0), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(g().cam_target_x, 270);
  EXPECT_EQ(g().cam_target_y, 220);
  Mouse(QEvent::MouseButtonRelease, ground + QPoint(100, 0), Qt::LeftButton, Qt::NoButton);
}

TEST_F(Window, MessagesOpenTheSignalWindowWithoutWaiting) {
  Automate(false);
  ShowWindow();
  w->host().ShowInfoMessage(core::kMsgOther, "first");
  ui::MessageWindow& box = *w->windows().message;
  EXPECT_TRUE(box.isVisible());
  EXPECT_FALSE(box.isModal());
  EXPECT_EQ(box.windowTitle(), "-- incoming signal --");
  EXPECT_EQ(box.size(), ui::kMessageSize);
  EXPECT_EQ(box.text(), "first");
  EXPECT_FALSE(w->world().day_clock().enabled()) << "opening stops the day clock";
  // A second message replaces the first: there is one window.
  w->host().ShowInfoMessage(core::kMsgPirates, "second");
  EXPECT_EQ(box.text(), "second");
  box.ok()->click();
  EXPECT_FALSE(box.isVisible());
  EXPECT_TRUE(w->world().day_clock().enabled());
}

TEST_F(Window, AQuestionStopsTheClocksUntilAnswered) {
  Automate(false);
  ShowWindow();
  w->StartDriving();
  bool driving_while_asked = true;
  bool asked = false;
  QTimer::singleShot(100, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    asked = true;
    driving_while_asked = w->viewer().driving();
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(w->host().Confirm("Really?"));
  EXPECT_TRUE(asked);
  EXPECT_FALSE(driving_while_asked);
  EXPECT_TRUE(w->viewer().driving());
  w->StopDriving();
}

// The Undo and Redo items name what they would take back or play again, in the game's
// words, and are greyed out with nothing to undo or redo; a new day closes the list.
TEST_F(Window, UndoAndRedoItemsNameTheActionAndGreyOutWithoutOne) {
  namespace fs = std::filesystem;
  // The game's own words for the items.
  fs::copy_file(fs::path(QUENMAR_GAME).parent_path() / "loc_en.txt", fs::path(dir.path()) / "loc_en.txt",
                fs::copy_options::overwrite_existing);
  shell::ReadLocale(g(), "en");
  QAction* undo = w->action("game_undo");
  QAction* redo = w->action("game_redo");
  ASSERT_NE(undo, nullptr);
  ASSERT_NE(redo, nullptr);
  auto caption = [](QAction* a) { return a->text().remove(QChar('&')).section('\t', 0, 0).toStdString(); };
  Script("new 10\nset msg_panel 0\nevents off\nset trade_cap 1000\nset money 100000\n");
  w->ShowUndoItems();
  EXPECT_EQ(caption(undo), "Undo");
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());
  EXPECT_EQ(redo->text().section('\t', 1).toStdString(), "Ctrl+Y") << "the key shows with the item greyed out too";

  const std::string name = g().catalog[0].name;
  Script("build 0\nbuy food 40\n");
  w->ShowUndoItems();
  EXPECT_EQ(caption(undo), "Undo: buy 40 food");
  EXPECT_EQ(undo->text().section('\t', 1).toStdString(), "Ctrl+Z");
  EXPECT_TRUE(undo->isEnabled());
  const int32_t food = g().food;
  Trigger("game_undo");
  EXPECT_EQ(g().food, food - 40);
  EXPECT_EQ(caption(undo), "Undo: build " + name);
  EXPECT_EQ(caption(redo), "Redo: buy 40 food");
  EXPECT_TRUE(redo->isEnabled());
  Trigger("game_undo");
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_EQ(caption(redo), "Redo: build " + name);
  Trigger("game_redo");
  Trigger("game_redo");
  EXPECT_EQ(g().food, food);
  EXPECT_FALSE(redo->isEnabled());
  Script("day 1\n");
  w->ShowUndoItems();
  EXPECT_FALSE(undo->isEnabled()) << "the day's tick closes the list";
  EXPECT_EQ(caption(undo), "Undo");
}

}  // namespace

namespace {
// The Alt letter of a menu caption: the character after its one single '&', or none.
std::optional<QChar> AltLetter(const QString& text) {
  std::optional<QChar> letter;
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    if (letter) return std::nullopt;  // two are none
    letter = text[i + 1].toLower();
  }
  return letter;
}
}  // namespace

// Every menu title and every item of every menu has an Alt letter of its own in the game's
// English and Russian, also once the undo items name an action.
TEST_F(Window, EveryMenuItemHasItsOwnAltLetterInEveryLanguage) {
  namespace fs = std::filesystem;
  for (const char* code : {"en", "ru"})
    fs::copy_file(fs::path(QUENMAR_GAME).parent_path() / (std::string("loc_") + code + ".txt"),
                  fs::path(dir.path()) / (std::string("loc_") + code + ".txt"), fs::copy_options::overwrite_existing);
  Script("new 10\nset msg_panel 0\nevents off\nset money 100000\nbuild 0\n");
  // (The test language's captions, "E1" and so on, have too few letters between them.)
  for (const char* code : {"en", "ru"}) {
    SCOPED_TRACE(code);
    shell::ReadLocale(g(), code, w.get());
    w->ShowUndoItems();
    std::vector<QMenu*> menus;
    std::set<QChar> titles;
    for (QAction* m : w->menuBar()->actions()) {
      ASSERT_NE(m->menu(), nullptr);
      menus.push_back(m->menu());
      const auto letter = AltLetter(m->menu()->title());
      ASSERT_TRUE(letter) << m->menu()->title().toStdString();
      EXPECT_TRUE(titles.insert(*letter).second) << m->menu()->title().toStdString();
    }
    EXPECT_EQ(menus.size(), 5u);
    for (QMenu* m : menus) {
      std::set<QChar> taken;
      int items = 0;
      for (QAction* a : m->actions()) {
        if (a->isSeparator()) continue;
        ++items;
        QString caption = a->text().section('\t', 0, 0);
        EXPECT_FALSE(caption.isEmpty());
        const auto letter = AltLetter(a->text().section('\t', 0, 0));
        ASSERT_TRUE(letter) << a->text().toStdString();
        EXPECT_TRUE(letter->isLetterOrNumber()) << a->text().toStdString();
        EXPECT_TRUE(taken.insert(*letter).second) << "twice in " << m->title().toStdString() << ": "
                                                  << a->text().toStdString();
      }
      EXPECT_GE(items, 2);
    }
  }
  EXPECT_TRUE(w->action("game_undo")->isEnabled());
  EXPECT_TRUE(w->action("game_undo")->text().contains('\t')) << "the key still shows";
}
