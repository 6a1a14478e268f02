// The `quenmar` program itself, driven like a test or a demo would: a script builds a
// colony, the screenshot must show every object where the scene puts it, and a real
// pointer click (through the X server) must select what lies under it.
#include <gtest/gtest.h>

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QThread>
#include <nlohmann/json.hpp>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text.h"
#include "game_console.h"
#include "ui_fixture.h"

namespace {

using testing_support::TempDir;
using ui_test::CellPixel;
using ui_test::KindAt;

struct Result {
  int exit_code = -1;
  std::string out, err;
};

QStringList Args(std::initializer_list<std::string> list) {
  QStringList l;
  for (const auto& s : list) l << QString::fromStdString(s);
  return l;
}

Result RunGame(const QStringList& args) {
  QProcess p;
  p.start(QUENMAR_GAME, args);
  Result r;
  if (!p.waitForStarted() || !p.waitForFinished(180000)) {
    p.kill();
    p.waitForFinished();
    r.err = "did not finish";
    return r;
  }
  r.exit_code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

// A colony that shows every look: a working building at (10, 10), a switched-off one at
// (12, 10), one between them at (11, 11) joined to both by diagonal tubes, one under
// construction at (10, 12), and the building site (12, 12) chosen. The camera stands over
// (11, 11); the player's pause keeps the day from moving on while the test looks.
const char* kColonyScript =
    "new 10\n"
    "set msg_panel 0\n"  // the briefing's OK, so that no panel covers the colony
    "events off\n"
    "menu speed_pause\n"
    "build 0 10 10\n"
    "build 0 12 10\n"
    "build 0 11 11\n"
    "day 2\n"
    "cell 12 10\n"
    "toggle\n"
    "build 0 10 12\n"
    "cell 12 12\n"
    "panel none\n"  // the construction panel the site opened would cover the colony's south
    "camera 220 220 50\n";

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_test::WriteGameData(dir);
    dir.Write("colony.script", kColonyScript);
  }
  std::string Path(const std::string& rel) const { return dir.path() + "/" + rel; }
  QImage Screenshot(const std::string& extra_script, const std::string& name) {
    dir.Write("extra.script", std::string(kColonyScript) + extra_script);
    const Result r = RunGame(Args({"--data", dir.path(), "--seed", "7", "--script", Path("extra.script"),
                                   "--frames", "3", "--screenshot", Path(name)}));
    EXPECT_EQ(r.exit_code, 0) << r.err;
    QImage img(QString::fromStdString(Path(name)));
    EXPECT_FALSE(img.isNull()) << "no screenshot; stderr: " << r.err;
    // QUENMAR_UI_SHOTS=DIR keeps the screenshots for a look.
    if (const char* keep = std::getenv("QUENMAR_UI_SHOTS"); keep && *keep && !img.isNull())
      img.save(QString::fromStdString(std::string(keep) + "/" + name));
    return img;
  }
  TempDir dir;
};

TEST_F(Program, ScreenshotShowsTheColonyWhereTheSceneHasIt) {
  const QImage img = Screenshot("", "colony.png");
  ASSERT_FALSE(img.isNull());
  // The view keeps its designed size below the menu bar.
  EXPECT_EQ(img.width(), 1008);
  EXPECT_EQ(img.height(), 709);
  auto at = [&](int cx, int cy, float z = 2) { return CellPixel(220, 220, 50, img.width(), img.height(), cx, cy, z); };
  EXPECT_EQ(KindAt(img, at(10, 10)), "red") << "working look";
  EXPECT_EQ(KindAt(img, at(12, 10)), "blue") << "switched-off look";
  EXPECT_EQ(KindAt(img, at(10, 12)), "yellow") << "construction look";
  EXPECT_EQ(KindAt(img, at(12, 12, 4)), "cyan") << "selection marker on the chosen site";
  // (West of the colony: its east lies under the HUD's building list.)
  EXPECT_EQ(KindAt(img, at(9, 11, -1)), "green") << "bare ground";
  // Halfway between diagonal neighbours lies their tube; halfway between two buildings
  // that are no neighbours lies ground.
  const QPoint a = at(10, 10, 0), b = at(11, 11, 0);
  EXPECT_EQ(KindAt(img, (a + b) / 2), "magenta") << "tube between (10,10) and (11,11)";
  EXPECT_EQ(KindAt(img, at(11, 10, -1)), "green") << "no tube between (10,10) and (12,10)";
}

TEST_F(Program, TubesSwitchedOffLeaveTheGroundBetweenNeighbours) {
  const QImage img = Screenshot("tubes off\n", "no_tubes.png");
  ASSERT_FALSE(img.isNull());
  auto at = [&](int cx, int cy, float z) { return CellPixel(220, 220, 50, img.width(), img.height(), cx, cy, z); };
  EXPECT_EQ(KindAt(img, (at(10, 10, 0) + at(11, 11, 0)) / 2), "green");
  EXPECT_EQ(KindAt(img, at(10, 10, 2)), "red");
}

TEST_F(Program, TheIsometricViewLooksAtTheColonyFromTheSouth) {
  const QImage img = Screenshot("isometric on\n", "isometric.png");
  ASSERT_FALSE(img.isNull());
  auto at = [&](int cx, int cy, float z) {
    return CellPixel(220, 220, 50, img.width(), img.height(), cx, cy, z, true);
  };
  // The planes turn to face the camera about their centres, which stay where they were.
  EXPECT_EQ(KindAt(img, at(11, 11, 2)), "red");
  EXPECT_EQ(KindAt(img, at(10, 12, 2)), "yellow");
  EXPECT_EQ(KindAt(img, at(8, 13, -5)), "green");
  // The chosen site is marked by the cube standing on the ground.
  EXPECT_EQ(KindAt(img, at(12, 12, 5)), "cyan");
  // Seen from an angle the cell (11, 11) is no longer in the middle of the picture.
  EXPECT_GT(std::abs(at(11, 11, 2).y() - img.height() / 2), 20);
}

// Reads JSON answers of the console, one line each.
class Console {
 public:
  explicit Console(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    p_.setProcessEnvironment(env);
    p_.start(QUENMAR_GAME, args);
    p_.waitForStarted();
  }
  ~Console() {
    if (p_.state() != QProcess::NotRunning) {
      p_.kill();
      p_.waitForFinished();
    }
  }
  nlohmann::json Ask(const std::string& command) {
    p_.write((command + "\n").c_str());
    p_.waitForBytesWritten();
    while (!p_.canReadLine()) {
      if (!p_.waitForReadyRead(60000)) return nullptr;
    }
    return nlohmann::json::parse(p_.readLine().toStdString(), nullptr, false);
  }
  void Say(const std::string& command) {
    p_.write((command + "\n").c_str());
    p_.waitForBytesWritten();
  }
  int Finish() {
    if (!p_.waitForFinished(60000)) return -1;
    return p_.exitStatus() == QProcess::NormalExit ? p_.exitCode() : -1;
  }
  std::string Errors() { return p_.readAllStandardError().toStdString(); }

 private:
  QProcess p_;
};

// A real click through the X server, then the selection asked for until the game has
// seen the click (the click and the question travel different ways into the program).
nlohmann::json ClickAndWait(Console& game, QPoint screen, const char* button,
                            const std::function<bool(const nlohmann::json&)>& done) {
  const int rc = QProcess::execute("xdotool", {"mousemove", QString::number(screen.x()), QString::number(screen.y()),
                                               "click", button});
  EXPECT_EQ(rc, 0) << "xdotool failed";
  nlohmann::json state;
  for (int i = 0; i < 200; ++i) {
    state = game.Ask("state");
    if (state.is_object() && done(state)) break;
    QThread::msleep(50);
  }
  return state;
}

TEST_F(Program, ClicksOnTheViewSelectBuildingsAndChooseSites) {
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("colony.script"), "--console"}));
  // Clicks reach the view once it is on the screen: after its first frame.
  nlohmann::json view;
  for (int i = 0; i < 200; ++i) {
    view = game.Ask("window");
    if (!view.is_object() || view["frames"].get<int>() > 0) break;
    QThread::msleep(50);
  }
  ASSERT_TRUE(view.is_object()) << game.Errors();
  ASSERT_GT(view["frames"].get<int>(), 0);
  const int w = view["width"], h = view["height"];
  const QPoint origin(view["x"].get<int>(), view["y"].get<int>());

  int32_t off_slot = -1;
  for (const auto& b : game.Ask("placed"))
    if (b["x"] == 12 && b["y"] == 10) off_slot = b["slot"];
  ASSERT_NE(off_slot, -1);

  // Left click on the switched-off building: it is selected and its cell chosen.
  QPoint p = origin + CellPixel(220, 220, 50, w, h, 12, 10);
  nlohmann::json s = ClickAndWait(game, p, "1", [](const nlohmann::json& j) { return j["sel_cell_y"] == 10; });
  EXPECT_EQ(s["selected_bldg"], off_slot);
  EXPECT_EQ(s["sel_cell_x"], 12);
  EXPECT_EQ(s["sel_cell_y"], 10);

  // Left click on bare ground: nothing selected, the site chosen.
  p = origin + CellPixel(220, 220, 50, w, h, 13, 11);
  s = ClickAndWait(game, p, "1", [](const nlohmann::json& j) { return j["sel_cell_x"] == 13; });
  EXPECT_EQ(s["selected_bldg"], 1000);
  EXPECT_EQ(s["sel_cell_x"], 13);
  EXPECT_EQ(s["sel_cell_y"], 11);

  // A right click on a building selects it and clears the site.
  p = origin + CellPixel(220, 220, 50, w, h, 12, 10);
  s = ClickAndWait(game, p, "3", [](const nlohmann::json& j) { return j["sel_cell_x"] == -1; });
  EXPECT_EQ(s["selected_bldg"], off_slot);
  EXPECT_EQ(s["sel_cell_y"], -1);

  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

TEST(ProgramStatus, UsageErrorsFailedCommandsAndMissingDataAreReported) {
  const Result usage = RunGame(Args({"--frames", "many"}));
  EXPECT_EQ(usage.exit_code, 2);
  EXPECT_NE(usage.err.find("usage:"), std::string::npos);

  TempDir empty;
  const Result missing = RunGame(Args({"--data", empty.path(), "--frames", "1"}));
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("loc_en.txt"), std::string::npos) << missing.err;

  TempDir data;
  ui_test::WriteGameData(data);
  data.Write("bad.script", "new 10\nno-such-command\nstate\n");
  const Result bad = RunGame(Args({"--data", data.path(), "--script", data.path() + "/bad.script", "--frames", "1"}));
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_NE(bad.err.find("line 2"), std::string::npos) << bad.err;
  // The other lines still ran, on the live game: an easy game was started.
  EXPECT_NE(bad.out.find("\"level\":10"), std::string::npos) << bad.out;
}

TEST(ProgramStatus, QuitEndsWithoutSavingAndTheCloseButtonSaves) {
  TempDir data;
  ui_test::WriteGameData(data);
  // Start-up writes the default options (camera height 50) when there are none.
  data.Write("quit.script", "set cam_height 77\nmenu game_quit\n");
  const Result quit = RunGame(Args({"--data", data.path(), "--script", data.path() + "/quit.script"}));
  EXPECT_EQ(quit.exit_code, 0) << quit.err;
  EXPECT_EQ(data.Read("options.txt").find("77"), std::string::npos) << data.Read("options.txt");

  data.Write("close.script", "set cam_height 77\nclose\n");
  const Result close = RunGame(Args({"--data", data.path(), "--script", data.path() + "/close.script"}));
  EXPECT_EQ(close.exit_code, 0) << close.err;
  EXPECT_NE(data.Read("options.txt").find("77"), std::string::npos) << data.Read("options.txt");
}

// The window of this name in the console's `windows` answer.
nlohmann::json FindWindow(const nlohmann::json& list, const std::string& name) {
  if (list.is_array())
    for (const auto& w : list)
      if (w["name"] == name) return w;
  return nullptr;
}

// Asks `command` until `done` holds (or ten seconds have passed); the last answer.
nlohmann::json AskUntil(Console& game, const std::string& command, const std::function<bool(const nlohmann::json&)>& done) {
  nlohmann::json j;
  for (int i = 0; i < 200; ++i) {
    j = game.Ask(command);
    if (!j.is_null() && done(j)) break;
    QThread::msleep(50);
  }
  return j;
}

void Key(const char* key) { EXPECT_EQ(QProcess::execute("xdotool", {"key", key}), 0); }
void ClickAt(QPoint p) {
  EXPECT_EQ(QProcess::execute("xdotool", {"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"}), 0);
}

TEST(ProgramWindows, TheLauncherComesFirstAndItsStartButtonOpensTheGame) {
  TempDir data;
  ui_test::WriteGameData(data);
  data.WriteLines("locs.txt", {"en"});
  QImage logo(634, 210, QImage::Format_RGB32);
  logo.fill(Qt::darkBlue);
  logo.save(QString::fromStdString(data.path() + "/Textures/launch_logo.bmp"), "BMP");
  Console game(Args({"--data", data.path(), "--seed", "7", "--console"}));

  // The launcher alone on screen until loading has ended.
  nlohmann::json all = AskUntil(game, "windows", [](const nlohmann::json& j) {
    return FindWindow(j, "launcher")["visible"] == true;
  });
  const nlohmann::json launcher = FindWindow(all, "launcher");
  ASSERT_TRUE(launcher.is_object()) << game.Errors();
  EXPECT_EQ(launcher["title"], "QUENMAR");
  EXPECT_EQ(launcher["width"], 634);
  EXPECT_EQ(launcher["height"], 250);
  EXPECT_EQ(FindWindow(all, "main")["visible"], false);
  for (const char* name : {"hiscore", "message", "editor", "options", "monitor", "credits"})
    EXPECT_EQ(FindWindow(all, name)["visible"], false) << name;
  AskUntil(game, "state", [](const nlohmann::json& j) { return j["loading"] == false; });
  // The buttons enable on the launcher's next tick.
  QThread::msleep(400);

  // A real click on "Start Easy".
  ClickAt(QPoint(launcher["x"].get<int>() + 8 + 37, launcher["y"].get<int>() + 179 + 12));
  all = AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "main")["visible"] == true; });
  const nlohmann::json main = FindWindow(all, "main");
  EXPECT_EQ(main["visible"], true);
  EXPECT_EQ(main["width"], 1008);
  EXPECT_EQ(main["height"], 709);
  EXPECT_EQ(FindWindow(all, "launcher")["visible"], false);
  nlohmann::json state = game.Ask("state");
  EXPECT_EQ(state["game_running"], true);
  EXPECT_EQ(state["level"], 10);

  // Keys: H shows the side panels, Space pauses, but not while a text field has focus.
  AskUntil(game, "window", [](const nlohmann::json& j) { return j["frames"].get<int>() > 0; });
  ClickAt(QPoint(main["x"].get<int>() + 500, main["y"].get<int>() + 600));
  Key("h");
  state = AskUntil(game, "state", [](const nlohmann::json& j) { return j["hud_mode"] == false; });
  EXPECT_EQ(state["hud_mode"], false);
  Key("space");
  nlohmann::json view = AskUntil(game, "window", [](const nlohmann::json& j) { return j["paused"] == true; });
  EXPECT_EQ(view["paused"], true);
  EXPECT_EQ(view["width"], 1008 - 249 - 185);
  // The credit sum field at the top of the right panel.
  ClickAt(QPoint(main["x"].get<int>() + 1008 - 185 + 100, main["y"].get<int>() + 28));
  QThread::msleep(300);
  Key("space");
  QThread::msleep(300);
  EXPECT_EQ(game.Ask("window")["paused"], true) << "the blank went into the field";

  game.Say("menu Menu1_4");
  EXPECT_EQ(game.Finish(), 0);
}

// --- under a real window manager: Enter presses only what the player means, and every
// box opens over the window the player is looking at ------------------------------------

// The window manager's stacking order of the managed windows, bottom to top.
std::vector<uint64_t> WindowIds(const QStringList& xprop_args) {
  QProcess p;
  p.start("xprop", xprop_args);
  p.waitForFinished();
  const std::string out = p.readAllStandardOutput().toStdString();
  std::vector<uint64_t> ids;
  const auto hash = out.find('#');
  if (hash == std::string::npos) return ids;
  for (std::size_t at = out.find("0x", hash); at != std::string::npos; at = out.find("0x", at + 2))
    ids.push_back(std::stoull(out.substr(at), nullptr, 16));
  return ids;
}
std::vector<uint64_t> Stacking() { return WindowIds({"-root", "_NET_CLIENT_LIST_STACKING"}); }
uint64_t TransientFor(uint64_t id) {
  const auto ids = WindowIds({"-id", QString::number(id), "WM_TRANSIENT_FOR"});
  return ids.empty() ? 0 : ids.front();
}

// Where the window manager has put a window's client area (the game's own idea can lag
// behind a reparenting manager).
QPoint ScreenOrigin(uint64_t id) {
  QProcess p;
  p.start("xwininfo", {"-id", QString::number(id)});
  p.waitForFinished();
  const QString out = QString::fromUtf8(p.readAllStandardOutput());
  const auto m = QRegularExpression("Absolute upper-left X: +(-?\\d+)\\s+Absolute upper-left Y: +(-?\\d+)").match(out);
  return m.hasMatch() ? QPoint(m.captured(1).toInt(), m.captured(2).toInt()) : QPoint(-1, -1);
}

// Our windows' X ids, asked before a box opens (the console waits while it is open).
std::vector<uint64_t> OurWindows(Console& game) {
  std::vector<uint64_t> ours;
  for (const auto& w : game.Ask("windows")) ours.push_back(w["id"].get<uint64_t>());
  return ours;
}

// Waits for a window none of `ours` to come out on top: the box; 0 when none does.
uint64_t BoxOnTop(const std::vector<uint64_t>& ours) {
  for (int i = 0; i < 200; ++i) {
    const auto stack = Stacking();
    if (!stack.empty() && std::find(ours.begin(), ours.end(), stack.back()) == ours.end()) return stack.back();
    QThread::msleep(50);
  }
  return 0;
}

// Enter answers the box, which has the keyboard.
void CloseBox(uint64_t box) {
  Key("Return");
  bool gone = false;
  for (int i = 0; i < 100 && !gone; ++i, QThread::msleep(50)) {
    const auto stack = Stacking();
    gone = std::find(stack.begin(), stack.end(), box) == stack.end();
  }
  EXPECT_TRUE(gone) << "Enter did not close the box";
}

// The whole screen, kept for a look when QUENMAR_UI_SHOTS names a folder.
void KeepScreen(const std::string& name) {
  QThread::msleep(300);  // the box drawn
  if (const char* keep = std::getenv("QUENMAR_UI_SHOTS"); keep && *keep)
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(std::string(keep) + "/" + name));
}

void TypeText(const char* text) { EXPECT_EQ(QProcess::execute("xdotool", {"type", "--delay", "30", text}), 0); }

TEST(ProgramWindows, UnderAWindowManagerEnterPressesNothingUnmeantAndBoxesOpenOverTheWindowInView) {
  QProcess wm;
  wm.start("openbox", {"--sm-disable"});
  ASSERT_TRUE(wm.waitForStarted()) << "openbox is needed (scripts/install-deps)";
  for (int i = 0; i < 100 && WindowIds({"-root", "_NET_SUPPORTING_WM_CHECK"}).empty(); ++i) QThread::msleep(50);
  ASSERT_FALSE(WindowIds({"-root", "_NET_SUPPORTING_WM_CHECK"}).empty()) << "the window manager runs";

  TempDir data;
  ui_test::WriteGameData(data);
  data.WriteLines("locs.txt", {"en", "xx"});  // no loc_xx.txt: choosing it is an error box
  QImage logo(634, 210, QImage::Format_RGB32);
  logo.fill(Qt::darkBlue);
  logo.save(QString::fromStdString(data.path() + "/Textures/launch_logo.bmp"), "BMP");
  Console game(Args({"--data", data.path(), "--seed", "7", "--console"}));
  ASSERT_TRUE(AskUntil(game, "state", [](const nlohmann::json& j) { return j["loading"] == false; }).is_object());
  QThread::msleep(400);
  nlohmann::json all = game.Ask("windows");
  const nlohmann::json launcher = FindWindow(all, "launcher");
  ASSERT_EQ(launcher["visible"], true) << game.Errors();
  const QPoint at = ScreenOrigin(launcher["id"].get<uint64_t>());

  // Enter on the launcher starts no game: no button is its default.
  ClickAt(at + QPoint(300, 100));
  Key("Return");
  QThread::msleep(600);
  EXPECT_EQ(game.Ask("state")["game_running"], false) << "Enter started a game";

  // A box while only the launcher, which stays on top, is on screen: over it.
  game.Say("boxes real");
  std::vector<uint64_t> ours = OurWindows(game);
  game.Say("language xx");
  uint64_t box = BoxOnTop(ours);
  ASSERT_NE(box, 0u) << "the box is not on top of the launcher";
  EXPECT_EQ(TransientFor(box), launcher["id"].get<uint64_t>());
  KeepScreen("wm_box_over_launcher.png");
  CloseBox(box);
  game.Say("boxes recorded");

  // The editor over the game window: Enter in a box keeps the edits, Save writes them.
  game.Say("new 10");
  game.Say("set msg_panel 0");
  game.Say("show editor");
  AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "editor")["visible"] == true; });
  QThread::msleep(500);  // where the window manager has put it
  const nlohmann::json editor = FindWindow(game.Ask("windows"), "editor");
  ASSERT_EQ(editor["visible"], true);
  const QPoint e = ScreenOrigin(editor["id"].get<uint64_t>());
  const QPoint bid = e + QPoint(74, 20), load = e + QPoint(42, 48), save = e + QPoint(110, 48);
  const QPoint cost = e + QPoint(8 + 104 + 45, 68 + 22 + 10);
  ClickAt(bid);
  Key("ctrl+a");
  TypeText("1");
  ClickAt(load);
  QThread::msleep(300);
  ClickAt(cost);
  Key("ctrl+a");
  TypeText("250");
  Key("Return");
  KeepScreen("wm_editor_enter.png");
  ClickAt(save);
  const std::string file = data.path() + "/Buildings/bldg_1.bld";
  std::string line3;
  for (int i = 0; i < 100 && line3 != "250"; ++i, QThread::msleep(50)) {
    const std::string text = data.Read("Buildings/bldg_1.bld");
    std::size_t a = 0;
    for (int n = 0; n < 2 && a != std::string::npos; ++n) a = text.find("\r\n", a) + 2;
    line3 = text.substr(a, text.find("\r\n", a) - a);
  }
  EXPECT_EQ(line3, "250") << "Enter in the Cost box loaded the file over the edit";

  // An error box from the editor opens over the editor, not under it.
  game.Say("boxes real");
  ours = OurWindows(game);
  ClickAt(bid);
  Key("ctrl+a");
  TypeText("x");
  ClickAt(load);
  box = BoxOnTop(ours);
  ASSERT_NE(box, 0u) << "the box is not on top of the editor";
  EXPECT_EQ(TransientFor(box), editor["id"].get<uint64_t>());
  KeepScreen("wm_box_over_editor.png");
  CloseBox(box);
  game.Say("boxes recorded");
  game.Say("menu Menu1_4");
  EXPECT_EQ(game.Finish(), 0);
  wm.terminate();
  wm.waitForFinished();
}

}  // namespace

// --- the in-scene HUD played with real clicks, on the game's own content ---------------

using ui_test::CopyGameData;

// HUD places of the button table for a view of w x h view pixels at UI scale s: the table
// lays the HUD out in HUD pixels (the view divided by s; u: the layout unit), and a place
// on screen is s times its place there.
struct HudPlaces {
  double w, h, s;
  int u;
  explicit HudPlaces(int w_, int h_, double s_ = 1)
      : w(w_ / s_), h(h_ / s_), s(s_), u(std::max(30, static_cast<int>(std::lrint(h_ / s_ / 15.0)))) {}
  QPoint At(double x, double y) const { return {static_cast<int>(std::lround(x * s)), static_cast<int>(std::lround(y * s))}; }
  QPoint ok() const { return At(w / 2, h / 2 + 115); }
  QPoint type(int k) const { return At(u / 2, h / 2 - 5 * u + k * u); }
  QPoint build() const { return At(w / 2 - 195, h - 63); }
  QPoint trade() const { return At(55, 12); }
  QPoint credit() const { return At(160, 12); }
  QPoint amount_up() const { return At(w / 2 + 120, h - 70); }
  QPoint buy() const { return At(w / 2 - 55, h - 20); }
  QPoint take() const { return At(w / 2 + 50, h - 15); }
};

// An easy game held by the player's pause, with quota and credit allowed; the briefing waits
// on the HUD panel.
const char* kHudScript =
    "new 10\n"
    "events off\n"
    "menu speed_pause\n"
    "set trade_cap 1000\n"
    "set attraction 5\n"
    "camera 220 220 50\n";

class HudPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyGameData(dir);
    dir.Write("hud.script", kHudScript);
  }
  std::string Path(const std::string& rel) const { return dir.path() + "/" + rel; }
  TempDir dir;
};

nlohmann::json WaitForView(Console& game) {
  nlohmann::json view;
  for (int i = 0; i < 200; ++i) {
    view = game.Ask("window");
    if (!view.is_object() || view["frames"].get<int>() > 2) break;
    QThread::msleep(50);
  }
  return view;
}

// Plays the HUD's round: dismiss the briefing, choose a site, a type, build, open trade,
// raise the amount, buy, open credit, borrow; every step by a click where the table puts it.
void PlayRound(Console& game, const nlohmann::json& view) {
  const int w = view["width"], h = view["height"];
  const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
  const HudPlaces at(w, h, view.value("hud_scale", 1.0));
  SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + " at " + std::to_string(at.s));

  nlohmann::json s = game.Ask("state");
  ASSERT_TRUE(s["msg_panel"].get<bool>()) << "the briefing waits on the panel";
  s = ClickAndWait(game, origin + at.ok(), "1", [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); });
  EXPECT_FALSE(s["msg_panel"].get<bool>());
  EXPECT_TRUE(game.Ask("window")["paused"].get<bool>()) << "OK leaves the player's pause alone";

  const int32_t money = s["money"];
  s = ClickAndWait(game, origin + CellPixel(220, 220, 50, w, h, 11, 10), "1",
                   [](const nlohmann::json& j) { return j["sel_cell_x"] == 11; });
  EXPECT_TRUE(s["build_panel"].get<bool>());
  s = ClickAndWait(game, origin + at.type(1), "1", [](const nlohmann::json& j) { return j["constr_choice"] == 1; });
  EXPECT_EQ(s["constr_choice"], 1);
  QThread::msleep(200);  // the build button stands under the picture from the next frame on
  s = ClickAndWait(game, origin + at.build(), "1", [&](const nlohmann::json& j) { return j["money"] != money; });
  EXPECT_LT(s["money"].get<int32_t>(), money) << "built by a click at " << at.build().x() << ", " << at.build().y()
                                               << " on " << game.Ask("hud")["buttons"][12].dump() << " in " << s.dump();
  bool built = false;
  for (const auto& b : game.Ask("placed")) built = built || (b["x"] == 11 && b["y"] == 10);
  EXPECT_TRUE(built);

  s = ClickAndWait(game, origin + at.trade(), "1", [](const nlohmann::json& j) { return j["trade_panel"].get<bool>(); });
  EXPECT_TRUE(s["trade_panel"].get<bool>());
  const int32_t amount = s["hud_trade_amt"];
  QThread::msleep(200);
  s = ClickAndWait(game, origin + at.amount_up(), "1",
                   [&](const nlohmann::json& j) { return j["hud_trade_amt"] != amount; });
  EXPECT_EQ(s["hud_trade_amt"], amount + 10);
  const int32_t food = s["food"];
  s = ClickAndWait(game, origin + at.buy(), "1", [&](const nlohmann::json& j) { return j["food"] != food; });
  EXPECT_EQ(s["food"], food + amount + 10) << "bought food";

  s = ClickAndWait(game, origin + at.credit(), "1", [](const nlohmann::json& j) { return j["credit_panel"].get<bool>(); });
  EXPECT_TRUE(s["credit_panel"].get<bool>());
  EXPECT_FALSE(s["trade_panel"].get<bool>());
  QThread::msleep(200);
  s = ClickAndWait(game, origin + at.take(), "1", [](const nlohmann::json& j) { return j["debt"] != 0; });
  EXPECT_GT(s["debt"].get<int32_t>(), 0) << "borrowed " << s["hud_credit_amt"];
}

TEST_F(HudPlay, ARoundOfClicksAtTheTablesPlaces) {
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("hud.script"), "--console"}));
  const nlohmann::json view = WaitForView(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  PlayRound(game, view);
  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

// A building put up by clicks and taken back with Ctrl+Z: gone, and the money back; a
// demolition clicked by mistake and taken back: the building stands again. Ctrl+Y and
// Ctrl+Shift+Z play them again, and the keys work with the side panels as in the HUD.
TEST_F(HudPlay, CtrlZTakesBackABuildingAndADemolition) {
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("hud.script"), "--console"}));
  const nlohmann::json view = WaitForView(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  const int w = view["width"], h = view["height"];
  const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
  const HudPlaces at(w, h);
  auto standing = [&] {
    for (const auto& b : game.Ask("placed"))
      if (b["x"] == 11 && b["y"] == 10) return true;
    return false;
  };
  auto money_is = [&](int32_t m) {
    return AskUntil(game, "state", [m](const nlohmann::json& j) { return j["money"] == m; })["money"].get<int32_t>();
  };

  nlohmann::json s = ClickAndWait(game, origin + at.ok(), "1", [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); });
  const int32_t start = s["money"];
  ClickAndWait(game, origin + CellPixel(220, 220, 50, w, h, 11, 10), "1", [](const nlohmann::json& j) { return j["sel_cell_x"] == 11; });
  ClickAndWait(game, origin + at.type(1), "1", [](const nlohmann::json& j) { return j["constr_choice"] == 1; });
  QThread::msleep(200);
  s = ClickAndWait(game, origin + at.build(), "1", [&](const nlohmann::json& j) { return j["money"] != start; });
  const int32_t built = s["money"];
  ASSERT_LT(built, start);
  ASSERT_TRUE(standing());

  Key("ctrl+z");
  EXPECT_EQ(money_is(start), start) << "the money is back";
  EXPECT_FALSE(standing()) << "the building is gone";
  Key("ctrl+y");
  EXPECT_EQ(money_is(built), built);
  ASSERT_TRUE(standing());

  // Its panel's demolish button, where the HUD has it (the construction panel closed first).
  Key("Escape");
  AskUntil(game, "state", [](const nlohmann::json& j) { return !j["build_panel"].get<bool>(); });
  // The camera went to the new building; back over the colony as before.
  game.Say("camera 220 220 50");
  AskUntil(game, "state", [](const nlohmann::json& j) { return j["cam_target_y"] == 220; });
  s = ClickAndWait(game, origin + CellPixel(220, 220, 50, w, h, 11, 10), "1",
                   [](const nlohmann::json& j) { return j["bldg_panel"].get<bool>(); });
  ASSERT_TRUE(s["bldg_panel"].get<bool>()) << s.dump();
  // The panel's buttons stand from the next frame on.
  QPoint destroy;
  const nlohmann::json hud = AskUntil(game, "hud", [&](const nlohmann::json& j) {
    for (const auto& b : j["buttons"])
      if (b["slot"] == 44 && b["visible"] == true) destroy = QPoint(std::lrint(b["rx"].get<double>()), std::lrint(b["ry"].get<double>()));
    return !destroy.isNull();
  });
  ASSERT_FALSE(destroy.isNull()) << "no demolish button on the panel: " << hud["buttons"].dump();
  const int32_t demolished = built - 10000;
  ClickAndWait(game, origin + destroy, "1", [&](const nlohmann::json& j) { return j["money"] == demolished; });
  EXPECT_EQ(money_is(demolished), demolished);
  EXPECT_FALSE(standing()) << "demolished";
  Key("ctrl+z");
  EXPECT_EQ(money_is(built), built);
  EXPECT_TRUE(standing()) << "the building stands again";

  // With the side panels.
  Key("h");
  AskUntil(game, "state", [](const nlohmann::json& j) { return j["hud_mode"] == false; });
  Key("ctrl+shift+z");
  EXPECT_EQ(money_is(demolished), demolished);
  EXPECT_FALSE(standing());
  Key("ctrl+z");
  EXPECT_EQ(money_is(built), built);
  EXPECT_TRUE(standing());

  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

// Space and 1/2/3 pressed on the keyboard, and a script's own day length: the indicator says
// what the clock does and the Speed menu marks the pause and the one speed in use, in the
// HUD and with the side panels alike.
TEST_F(HudPlay, TheIndicatorAndTheSpeedMarksFollowTheKeysInBothModes) {
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("hud.script"), "--console"}));
  const nlohmann::json view = WaitForView(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
  // The briefing's OK, so that only the player's pause holds the clock.
  ClickAndWait(game, origin + HudPlaces(view["width"], view["height"]).ok(), "1",
               [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); });
  struct Step {
    const char* key;  // a key, or a console line when it has a blank
    std::string shown;
    std::vector<std::string> checked;
  };
  const std::vector<Step> steps = {
      {"space", "Speed: low", {"speed_low"}},  // a new game's speed
      {"2", "Speed: normal", {"speed_normal"}},
      {"3", "Speed: fast", {"speed_fast"}},
      {"space", "Paused", {"speed_pause", "speed_fast"}},
      {"2", "Paused", {"speed_pause", "speed_normal"}},
      {"set day_length 12", "Paused", {"speed_pause", "speed_low"}},
      {"space", "Speed: low", {"speed_low"}},
      {"set day_length 0.5", "Speed: fast", {"speed_fast"}},
      {"2", "Speed: normal", {"speed_normal"}},
      {"1", "Speed: low", {"speed_low"}},
      {"space", "Paused", {"speed_pause", "speed_low"}},  // as the round began
  };
  for (const bool hud : {true, false}) {
    SCOPED_TRACE(hud ? "HUD" : "side panels");
    if (!hud) {
      Key("h");
      AskUntil(game, "state", [](const nlohmann::json& j) { return j["hud_mode"] == false; });
    }
    const char* shown_at = hud ? "hud_status" : "panel_status";
    const char* hidden_at = hud ? "panel_status" : "hud_status";
    for (const Step& step : steps) {
      SCOPED_TRACE(step.key);
      if (std::string_view(step.key).find(' ') == std::string_view::npos) Key(step.key);
      else game.Say(step.key);
      const nlohmann::json w = AskUntil(game, "window", [&](const nlohmann::json& j) {
        return j[shown_at] == step.shown && j["speed_checked"] == step.checked;
      });
      EXPECT_EQ(w[shown_at], step.shown);
      EXPECT_EQ(w[hidden_at], "") << "the other mode's indicator stays hidden";
      EXPECT_EQ(w["speed_checked"].get<std::vector<std::string>>(), step.checked);
      EXPECT_EQ(w["paused"].get<bool>(), step.shown == "Paused");
    }
  }
  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

// A game run to its end: once the high-score window is closed (Escape, as a player would),
// the end panel stands over the game window, the colony still shown around it, and its
// "New game" starts a game and goes away.
TEST_F(HudPlay, AfterTheEndAndTheHighScoresThePanelOffersANewGame) {
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("hud.script"), "--console"}));
  const nlohmann::json view = WaitForView(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  game.Say("set days_left 1");
  game.Say("day 2");
  nlohmann::json all = AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "hiscore")["visible"] == true; });
  const nlohmann::json hiscore = FindWindow(all, "hiscore");
  ASSERT_EQ(hiscore["visible"], true) << "game over opens the high scores";
  ASSERT_EQ(game.Ask("state")["game_over"], true);
  QThread::msleep(300);
  EXPECT_EQ(FindWindow(game.Ask("windows"), "end")["visible"], false) << "the name comes first";

  // Into the name field, then Escape.
  ClickAt(QPoint(hiscore["x"].get<int>() + hiscore["width"].get<int>() / 2, hiscore["y"].get<int>() + 14));
  Key("Escape");
  all = AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "end")["visible"] == true; });
  EXPECT_EQ(FindWindow(all, "hiscore")["visible"], false);
  const nlohmann::json end = FindWindow(all, "end");
  const nlohmann::json main = FindWindow(all, "main");
  ASSERT_EQ(end["visible"], true) << all.dump();
  EXPECT_EQ(main["visible"], true) << "the colony stays in view";
  const QRect main_area(main["x"], main["y"], main["width"], main["height"]);
  const QRect end_area(end["x"], end["y"], end["width"], end["height"]);
  EXPECT_TRUE(main_area.contains(end_area)) << "over the game window";
  EXPECT_LT(end_area.width() * end_area.height(), main_area.width() * main_area.height() / 4) << "the colony shows around it";
  for (const auto& [name, text] : {std::pair{"new_game", "New game"}, std::pair{"load", "Load"}, std::pair{"quit", "Quit"}})
    EXPECT_EQ(end["buttons"][name]["text"], text);

  const nlohmann::json& button = end["buttons"]["new_game"];
  ClickAt(QPoint(button["x"], button["y"]));
  const nlohmann::json s = AskUntil(game, "state", [](const nlohmann::json& j) { return j["game_over"] == false; });
  EXPECT_EQ(s["game_over"], false) << "a new game runs";
  EXPECT_GT(s["days_left"].get<int>(), 1);
  EXPECT_EQ(s["level"], 10) << "at the level just played";
  all = AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "end")["visible"] == false; });
  EXPECT_EQ(FindWindow(all, "end")["visible"], false);

  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

// The pointer rests on a caption-less button at the view's left edge until its tooltip
// shows, then leaves the window across that edge: the hover ends with it, so neither the
// tooltip nor the button's hover face stays behind.
TEST_F(HudPlay, LeavingTheViewFromAHoveredButtonLeavesNoTooltip) {
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("hud.script"), "--console"}));
  const nlohmann::json view = WaitForView(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  const int w = view["width"], h = view["height"];
  const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
  ASSERT_GT(origin.x(), 20) << "room left of the window to leave it to";
  const HudPlaces at(w, h);
  ClickAndWait(game, origin + at.ok(), "1", [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); });

  auto move = [](QPoint p) {
    EXPECT_EQ(QProcess::execute("xdotool", {"mousemove", QString::number(p.x()), QString::number(p.y())}), 0);
  };
  auto first_type = [](const nlohmann::json& hud) {
    for (const auto& b : hud["buttons"])
      if (b["slot"] == 2) return b;
    return nlohmann::json();
  };
  const QPoint button = origin + at.type(0);
  move(button);
  nlohmann::json hud;
  for (int i = 0; i < 100; ++i) {
    hud = game.Ask("hud");
    if (hud.is_object() && hud["tooltip_text"]["visible"].get<bool>()) break;
    QThread::msleep(50);
  }
  ASSERT_TRUE(hud["tooltip_text"]["visible"].get<bool>()) << "the hover shows the type's tooltip";
  EXPECT_EQ(first_type(hud)["state"], 2);

  move({origin.x() - 15, button.y()});
  QThread::msleep(1500);  // more than the tooltip's delay, many frames
  hud = game.Ask("hud");
  EXPECT_FALSE(hud["tooltip_text"]["visible"].get<bool>()) << hud["tooltip_text"];
  EXPECT_EQ(first_type(hud)["state"], 0);
  EXPECT_FALSE(game.Ask("state")["over_hud"].get<bool>());
  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

// The pointer rests on the food and then the money warning, in the HUD and then on the side
// panel's warning lines: the tip starts with the warning itself, then says why in the last day's
// numbers (the very balance `why` adds up) and what is coming.
TEST_F(HudPlay, RestingOnAWarningSaysWhyInBothModes) {
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("hud.script"), "--console"}));
  nlohmann::json view = WaitForView(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  ClickAndWait(game, QPoint(view["x"].get<int>(), view["y"].get<int>()) + HudPlaces(view["width"], view["height"]).ok(),
               "1", [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); });
  game.Say("day 2");
  const nlohmann::json food = game.Ask("why food");
  ASSERT_TRUE(food.contains("balance")) << food;
  const std::string last_day = "Last day: from " + std::to_string(food["balance"]["before"].get<int>()) + " to " +
                               std::to_string(food["balance"]["after"].get<int>());
  for (const bool hud : {true, false}) {
    SCOPED_TRACE(hud ? "HUD" : "side panels");
    if (!hud) {
      Key("h");
      AskUntil(game, "state", [](const nlohmann::json& j) { return j["hud_mode"] == false; });
    }
    view = game.Ask("window");
    const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
    // The indicators glide to their places: wait until they rest.
    nlohmann::json warnings = game.Ask("warnings"), before;
    for (int i = 0; i < 100 && warnings != before; ++i) {
      QThread::msleep(100);
      before = warnings;
      warnings = game.Ask("warnings");
    }
    for (const int k : {3, 0}) {  // food, money
      SCOPED_TRACE(k);
      const std::string text = warnings[k]["text"];
      // In the view over the HUD's indicator, or on the side panel's line.
      const nlohmann::json line = view["panel_warnings"][k];
      if (!hud) {
        EXPECT_EQ(line["text"], text);
      }
      const QPoint at = hud ? origin + QPoint(warnings[k]["x"].get<int>() + 30, static_cast<int>(warnings[k]["row"].get<double>()))
                            : QPoint(line["x"].get<int>(), line["y"].get<int>());
      EXPECT_EQ(QProcess::execute("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y())}), 0);
      std::string tip;
      for (int i = 0; i < 100 && tip.rfind(text + "\n", 0) != 0; ++i) {
        QThread::msleep(50);
        const nlohmann::json t = hud ? game.Ask("hud")["tooltip_text"] : game.Ask("tooltip");
        tip = t["visible"].get<bool>() ? t["text"].get<std::string>() : "";
      }
      EXPECT_EQ(tip.rfind(text + "\n", 0), 0u) << tip;
      EXPECT_NE(tip.find(k == 3 ? last_day : "Next wages: "), std::string::npos) << tip;
      KeepScreen(std::string("advisor_") + (hud ? "hud_" : "panels_") + (k == 3 ? "food" : "money") + ".png");
    }
  }
  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

// The game window opens centred; moved to the corner, the grown window stays on the screen.
TEST_F(HudPlay, TheSameInAWindowResizedTo1200x900) {
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("hud.script"), "--console"}));
  nlohmann::json view = WaitForView(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  const int rc = QProcess::execute("sh", {"-c", "xdotool search --name QUENMAR | while read id; do xdotool windowsize "
                                                "$id 1200 900; xdotool windowmove $id 0 0; done"});
  ASSERT_EQ(rc, 0);
  for (int i = 0; i < 200 && view["height"].get<int>() < 800; ++i) {
    QThread::msleep(50);
    view = game.Ask("window");
  }
  ASSERT_GT(view["height"].get<int>(), 800) << view.dump();
  QThread::msleep(300);  // a frame at the new size lays the HUD out for it
  PlayRound(game, game.Ask("window"));
  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

// Screenshots of each panel: its background where the overlay layout puts it, and its text.
class HudPanels : public HudPlay {
 protected:
  QImage Shot(const std::string& extra, const std::string& name) {
    dir.Write(name + ".script", std::string(kHudScript) + extra);
    const Result r = RunGame(Args({"--data", dir.path(), "--seed", "7", "--script", Path(name + ".script"),
                                   "--frames", "4", "--screenshot", Path(name + ".png")}));
    EXPECT_EQ(r.exit_code, 0) << r.err;
    QImage img(QString::fromStdString(Path(name + ".png")));
    if (const char* keep = std::getenv("QUENMAR_UI_SHOTS"); keep && *keep && !img.isNull())
      img.save(QString::fromStdString(std::string(keep) + "/" + name + ".png"));
    return img;
  }
  // Light pixels (text) in a rectangle.
  static int Light(const QImage& img, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (img.rect().contains(x, y) && QColor(img.pixel(x, y)).lightness() > 200) ++n;
    return n;
  }
  static bool Differs(const QImage& a, const QImage& b, QPoint p) {
    const QColor x(a.pixel(p)), y(b.pixel(p));
    return std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) + std::abs(x.blue() - y.blue()) > 24;
  }
};

TEST_F(HudPanels, EachPanelShowsItsBackgroundAndText) {
  const QImage base = Shot("set msg_panel 0\n", "hud_base");
  ASSERT_FALSE(base.isNull());
  const int W = base.width(), H = base.height();
  struct Case {
    const char* name;
    const char* script;
    QPoint background;  // inside the panel, clear of buttons and texts
    QRect text;
  };
  const std::vector<Case> cases = {
      {"hud_message", "", {W / 2 - 240, H / 2 - 120}, {W / 2 - 80, H / 2 - 130, 200, 40}},
      {"hud_trade", "set msg_panel 0\nset trade_panel 1\n", {W / 2, H - 50}, {W / 2 - 100, H - 94, 120, 12}},
      {"hud_credit", "set msg_panel 0\nset credit_panel 1\n", {W / 2 - 120, H - 10}, {W / 2 - 97, H - 50, 50, 14}},
      {"hud_build", "set msg_panel 0\ncell 11 10\nchoose 1\n", {W / 2 + 200, H - 20}, {W / 2 - 75, H - 243, 200, 40}},
      {"hud_building", "set msg_panel 0\nselect 0\npanel bldg\n", {W / 2 + 200, H - 20}, {W / 2 - 75, H - 243, 200, 40}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage img = Shot(c.script, c.name);
    ASSERT_FALSE(img.isNull());
    EXPECT_TRUE(Differs(img, base, c.background)) << "panel background";
    EXPECT_GT(Light(img, c.text), 20) << "panel text";
    EXPECT_LT(Light(base, c.text), Light(img, c.text));
  }
  // Days left (red) and the information bar along the top are always there.
  EXPECT_GT(Light(base, {250, 15, 200, 20}), 20);
}

// --- saved games in the real window: quick save and load by key, the history window, the
// game kept on closing and the launcher's Continue after a restart ---------------------

// A click on a day ten days back in the history window, and Yes to "Rewind to day 5?",
// bring the game back to the start of that day: the charts end there.
TEST(ProgramSaves, AClickOnAPastDayInTheHistoryRewindsToIt) {
  TempDir dir;
  CopyGameData(dir);
  Console game(Args({"--data", dir.path(), "--seed", "7", "--console"}));
  ASSERT_TRUE(AskUntil(game, "state", [](const nlohmann::json& j) { return j.is_object() && j["loading"] == false; }).is_object())
      << game.Errors();
  QThread::msleep(400);
  game.Say("new 10");
  game.Say("set msg_panel 0");
  game.Say("menu speed_pause");  // days pass by the script alone
  game.Say("day 15");
  nlohmann::json all = AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "main")["visible"] == true; });
  const nlohmann::json main = FindWindow(all, "main");
  ClickAt(QPoint(main["x"].get<int>() + 500, main["y"].get<int>() + 300));
  const nlohmann::json at_five = game.Ask("history")[4];
  Key("F3");
  all = AskUntil(game, "windows", [](const nlohmann::json& j) {
    const nlohmann::json h = FindWindow(j, "history");
    return h["visible"] == true && h["days"][1] == 15 && h["plot"][2] > 100;
  });
  const nlohmann::json h = FindWindow(all, "history");
  ASSERT_EQ(h["days"][1], 15) << h.dump();
  QThread::msleep(300);
  const double first = h["days"][0], last = h["days"][1];
  const int x = h["plot"][0].get<int>() + static_cast<int>(std::lround((5 - first) / (last - first) * h["plot"][2].get<double>()));
  const int y = h["plot"][1].get<int>() + h["plot"][3].get<int>() / 2;
  game.Say("boxes real");
  ClickAt(QPoint(x, y));
  QThread::msleep(800);
  Key("Return");  // Yes
  const nlohmann::json s = AskUntil(game, "state", [](const nlohmann::json& j) { return j["rewound"] == true; });
  EXPECT_EQ(s["rewound"], true) << game.Errors();
  const nlohmann::json history = game.Ask("history");
  ASSERT_EQ(history.size(), 5u);
  EXPECT_EQ(history.back(), at_five);
  all = AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "history")["days"][1] == 5; });
  EXPECT_EQ(FindWindow(all, "history")["days"][1], 5) << "the charts end at day 5";
  game.Say("boxes recorded");
  game.Say("menu Menu1_4");
  EXPECT_EQ(game.Finish(), 0);
}

TEST(ProgramSaves, QuickSaveLoadHistoryAndContinueAfterARestart) {
  TempDir dir;
  CopyGameData(dir);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", QString::fromStdString(dir.path() + "/xdg"));
  const std::filesystem::path saves = std::filesystem::path(dir.path()) / "xdg" / "quenmar" / "saves";
  auto running = [](const nlohmann::json& j) { return j.is_object() && j["loading"] == false; };
  int32_t money = 0, day = 0;
  {
    Console game(Args({"--data", dir.path(), "--seed", "7", "--console"}), env);
    ASSERT_TRUE(AskUntil(game, "state", running).is_object()) << game.Errors();
    QThread::msleep(400);  // the launcher's buttons enable on its next tick
    game.Say("new 10");
    game.Say("events off");
    game.Say("set msg_panel 0");
    game.Say("menu speed_pause");  // days pass by the script alone
    game.Say("day 12");
    nlohmann::json all = AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "main")["visible"] == true; });
    const nlohmann::json main = FindWindow(all, "main");
    // The keys go to the game window once it has been clicked (no window manager here).
    ClickAt(QPoint(main["x"].get<int>() + 500, main["y"].get<int>() + 300));
    nlohmann::json s = game.Ask("state");
    money = s["money"];
    day = s["day"];

    Key("F5");
    for (int i = 0; i < 100 && !std::filesystem::exists(saves / "quick.qsave"); ++i) QThread::msleep(50);
    ASSERT_TRUE(std::filesystem::exists(saves / "quick.qsave")) << game.Errors();
    game.Say("day 7");
    game.Say("set money 1");
    ASSERT_EQ(game.Ask("state")["money"], 1);  // both taken before the key arrives
    Key("F9");
    s = AskUntil(game, "state", [&](const nlohmann::json& j) { return j["money"] == money; });
    EXPECT_EQ(s["money"], money) << "the quick save came back";
    EXPECT_EQ(s["day"], day);
    EXPECT_EQ(game.Ask("history").size(), 12u);

    // The history window: four charts with their lines drawn.
    Key("F3");
    all = AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "history")["visible"] == true; });
    EXPECT_EQ(FindWindow(all, "history")["visible"], true);
    QThread::msleep(300);
    const std::string shot = dir.path() + "/history.png";
    game.Say("shot history " + shot);
    game.Ask("state");
    const QImage img(QString::fromStdString(shot));
    ASSERT_FALSE(img.isNull());
    if (const char* keep = std::getenv("QUENMAR_UI_SHOTS"); keep && *keep) img.save(QString(keep) + "/history.png");
    int coloured = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) coloured += QColor(img.pixel(x, y)).hsvSaturation() > 120;
    EXPECT_GT(coloured, 400) << "the series' lines";

    game.Say("close");
    EXPECT_EQ(game.Finish(), 0);
  }
  ASSERT_TRUE(std::filesystem::exists(saves / "last-game.qsave")) << "the game in progress is kept on closing";

  // Started again: Continue stands between Sandbox and Credits, and a real click on it
  // brings the colony back as it was left.
  Console game(Args({"--data", dir.path(), "--seed", "8", "--console"}), env);
  ASSERT_TRUE(AskUntil(game, "state", running).is_object()) << game.Errors();
  QThread::msleep(400);
  const nlohmann::json launcher = FindWindow(game.Ask("windows"), "launcher");
  ASSERT_EQ(launcher["visible"], true);
  ClickAt(QPoint(launcher["x"].get<int>() + 360 + 37, launcher["y"].get<int>() + 179 + 12));
  const nlohmann::json s = AskUntil(game, "state", [](const nlohmann::json& j) { return j["game_running"] == true; });
  EXPECT_EQ(s["game_running"], true) << game.Errors();
  EXPECT_EQ(s["money"], money);
  EXPECT_EQ(s["day"], day);
  EXPECT_EQ(FindWindow(game.Ask("windows"), "main")["visible"], true);
  game.Say("menu Menu1_4");
  EXPECT_EQ(game.Finish(), 0);
}

// --- messages as the player sees them, through a mode switch, the player's pause and a
// save: the message window is driven with real clicks, so the console must show it ---------

TEST(ProgramMessages, MessagesSurviveTheModeSwitchThePauseAndASave) {
  TempDir dir;
  ui_test::WriteGameData(dir);
  const std::string save = dir.path() + "/message.qsave";
  Console game(Args({"--data", dir.path(), "--seed", "7", "--console"}));
  game.Say("new 10");
  game.Say("events off");
  game.Say("camera 220 220 50");
  const nlohmann::json view = WaitForView(game);
  ASSERT_TRUE(view.is_object()) << game.Errors();
  const int w = view["width"], h = view["height"];
  const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
  auto message = [&game] { return FindWindow(game.Ask("windows"), "message"); };

  // The briefing's OK on the HUD panel, then a click at the same place without moving the
  // pointer: the button has gone, so the ground under it is chosen.
  ASSERT_TRUE(game.Ask("state")["msg_panel"].get<bool>());
  const QPoint ok = origin + HudPlaces(w, h).ok();
  nlohmann::json s =
      ClickAndWait(game, ok, "1", [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); });
  ASSERT_FALSE(s["msg_panel"].get<bool>());
  EXPECT_EQ(s["sel_cell_x"], -1) << "the click on OK chose nothing";
  QThread::msleep(300);  // frames hide the OK button
  EXPECT_EQ(QProcess::execute("xdotool", {"click", "1"}), 0);
  s = AskUntil(game, "state", [](const nlohmann::json& j) { return j["sel_cell_x"] != -1; });
  EXPECT_NE(s["sel_cell_x"], -1) << "a click without motion after OK reaches the ground";
  EXPECT_TRUE(s["build_panel"].get<bool>());

  // A report on the HUD panel, saved while it is open and the pointer rests on a button.
  game.Say("panel none");
  game.Say("menu disasters_earthquake");
  const std::string report = AskUntil(game, "hud", [](const nlohmann::json& j) {
                               return j["msg_text"]["text"].get<std::string>().starts_with("E107");
                             })["msg_text"]["text"];
  ASSERT_TRUE(report.starts_with("E107")) << report;
  EXPECT_EQ(QProcess::execute("xdotool", {"mousemove", QString::number(origin.x() + HudPlaces(w, h).trade().x()),
                                          QString::number(origin.y() + HudPlaces(w, h).trade().y())}),
            0);
  ASSERT_EQ(AskUntil(game, "state", [](const nlohmann::json& j) { return j["over_hud"] == true; })["over_hud"], true);
  game.Say("save " + save);

  // Side panels: the open report moves to the message window, where it can be read.
  game.Say("menu options_hud");
  nlohmann::json box = AskUntil(game, "windows", [](const nlohmann::json& j) {
    return FindWindow(j, "message")["visible"] == true;
  });
  box = FindWindow(box, "message");
  ASSERT_EQ(box["visible"], true) << "the console shows the message window";
  EXPECT_TRUE(box["text"].get<std::string>().starts_with("E107")) << box.dump();
  EXPECT_FALSE(game.Ask("state")["msg_panel"].get<bool>());

  // The player pauses while the window is open; its OK leaves that pause alone.
  game.Say("menu speed_fast");
  game.Say("menu speed_pause");
  const int32_t day = game.Ask("state")["day"];
  ClickAt(QPoint(box["x"].get<int>() + 214 + 136, box["y"].get<int>() + 185 + 12));
  ASSERT_EQ(AskUntil(game, "windows", [](const nlohmann::json& j) {
              return FindWindow(j, "message")["visible"] == false;
            }).is_array(),
            true);
  EXPECT_EQ(message()["visible"], false);
  nlohmann::json clock = game.Ask("window");
  EXPECT_TRUE(clock["paused"].get<bool>());
  EXPECT_FALSE(clock["day_clock"].get<bool>()) << "OK un-paused the player's pause";
  QThread::msleep(1200);  // two fast days
  EXPECT_EQ(game.Ask("state")["day"], day);

  // A new message in side-panel mode opens the window as well.
  game.Say("menu disasters_pirates");
  box = FindWindow(AskUntil(game, "windows", [](const nlohmann::json& j) {
                     return FindWindow(j, "message")["visible"] == true;
                   }),
                   "message");
  EXPECT_EQ(box["visible"], true);
  EXPECT_FALSE(box["text"].get<std::string>().starts_with("E107")) << box.dump();
  ClickAt(QPoint(box["x"].get<int>() + 214 + 136, box["y"].get<int>() + 185 + 12));
  AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "message")["visible"] == false; });

  // The save loaded in side-panel mode: the report opens in the window, nothing holds the
  // day unseen, and a real click on the view chooses a cell again.
  game.Say("load " + save);
  box = FindWindow(AskUntil(game, "windows", [](const nlohmann::json& j) {
                     return FindWindow(j, "message")["visible"] == true;
                   }),
                   "message");
  EXPECT_EQ(box["visible"], true) << "the loaded message opens in the window";
  EXPECT_TRUE(box["text"].get<std::string>().starts_with("E107")) << box.dump();
  s = game.Ask("state");
  EXPECT_FALSE(s["msg_panel"].get<bool>());
  EXPECT_EQ(s["over_hud"], false);
  const nlohmann::json panels_view = game.Ask("window");
  const int32_t cell_x = s["sel_cell_x"], cell_y = s["sel_cell_y"];
  // Near the view's top left corner, clear of the centred message window.
  s = ClickAndWait(game, QPoint(panels_view["x"].get<int>() + 40, panels_view["y"].get<int>() + 40), "1",
                   [&](const nlohmann::json& j) { return j["sel_cell_x"] != cell_x || j["sel_cell_y"] != cell_y; });
  EXPECT_TRUE(s["sel_cell_x"] != cell_x || s["sel_cell_y"] != cell_y) << "the click on the view was dropped";
  ClickAt(QPoint(box["x"].get<int>() + 214 + 136, box["y"].get<int>() + 185 + 12));
  AskUntil(game, "windows", [](const nlohmann::json& j) { return FindWindow(j, "message")["visible"] == false; });

  // Back in HUD mode another report covers the panel; the save brings its own text back.
  game.Say("menu options_hud");
  game.Say("menu disasters_pirates");
  AskUntil(game, "hud", [](const nlohmann::json& j) {
    return !j["msg_text"]["text"].get<std::string>().starts_with("E107");
  });
  game.Say("load " + save);
  s = game.Ask("state");
  EXPECT_TRUE(s["msg_panel"].get<bool>());
  EXPECT_EQ(game.Ask("hud")["msg_text"]["text"], report) << "the loaded message's text is on the panel";
  EXPECT_EQ(message()["visible"], false);

  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0) << game.Errors();
}

// --- full screen on a desktop of 1920 x 1080 with a window manager ---------------------

// The screen's corners, where a window of the designed size leaves the desktop showing.
QImage Corners(const QImage& screen) {
  QImage c(400, 100, QImage::Format_RGB32);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      c.setPixel(x, y, screen.pixel(x, y));
      c.setPixel(200 + x, y, screen.pixel(screen.width() - 200 + x, screen.height() - 100 + y));
    }
  return c;
}

TEST(ProgramFullScreen, F11CoversTheScreenInBothModesAndTheChoiceOutlivesARestart) {
  ui_test::XScreen screen(1920, 1080);
  ASSERT_TRUE(screen.ready()) << "no Xvfb with openbox";
  TempDir dir;
  CopyGameData(dir);
  // The briefing's OK: in side-panel mode its message window would take the keys.
  dir.Write("hud.script", std::string(kHudScript) + "set msg_panel 0\n");
  const QStringList args = Args({"--data", dir.path(), "--seed", "7", "--script", dir.path() + "/hud.script", "--console"});
  const nlohmann::json whole = nlohmann::json::array({0, 0, 1920, 1080});
  auto full = [&](const nlohmann::json& j) { return j.is_object() && j["fullscreen"] == true && j["window"] == whole; };
  nlohmann::json windowed;
  {
    Console game(args, screen.env());
    nlohmann::json view = WaitForView(game);
    ASSERT_TRUE(view.is_object()) << game.Errors();
    QThread::msleep(300);  // the window manager has placed and drawn the window
    view = game.Ask("window");
    ASSERT_EQ(view["fullscreen"], false);
    windowed = view["window"];
    ASSERT_EQ(windowed[2], 1008) << view.dump();
    const QImage desktop = Corners(screen.Shot(dir.path(), "fullscreen_windowed.png"));
    for (const bool panels : {false, true}) {
      const std::string mode = panels ? "panels" : "hud";
      if (panels) {
        screen.Key("h");
        ASSERT_TRUE(AskUntil(game, "window", [](const nlohmann::json& j) { return j["x"].get<int>() > 0; }).is_object());
      }
      screen.Key("F11");
      view = AskUntil(game, "window", full);
      EXPECT_TRUE(full(view)) << mode << ' ' << view.dump();
      // The 3D view takes the screen's width, or what the panels leave of it.
      const int right = view["x"].get<int>() + view["width"].get<int>();
      EXPECT_EQ(view["x"].get<int>() == 0 && right == 1920, !panels) << mode << ' ' << view.dump();
      EXPECT_GT(view["height"].get<int>(), 1000) << mode << ' ' << view.dump();
      QThread::msleep(500);  // a frame at the new size
      EXPECT_NE(Corners(screen.Shot(dir.path(), "fullscreen_" + mode + ".png")), desktop) << mode;
      screen.Key("F11");
      view = AskUntil(game, "window", [&](const nlohmann::json& j) { return j["window"] == windowed; });
      EXPECT_EQ(view["fullscreen"], false) << mode;
      EXPECT_EQ(view["window"], windowed) << mode << ": the old size and place";
      QThread::msleep(500);
      EXPECT_EQ(Corners(screen.Shot(dir.path(), "fullscreen_" + mode + "_left.png")), desktop) << mode;
    }
    // Closed in full screen: the choice is kept.
    screen.Key("F11");
    EXPECT_TRUE(full(AskUntil(game, "window", full)));
    game.Say("close");
    EXPECT_EQ(game.Finish(), 0) << game.Errors();
  }
  EXPECT_EQ(core::ReadLines(dir.path() + "/options.txt").at(9), "-1");
  {
    Console game(args, screen.env());
    nlohmann::json view = AskUntil(game, "window", [&](const nlohmann::json& j) { return full(j) && j["frames"] > 2; });
    EXPECT_TRUE(full(view)) << "the kept choice at start-up: " << view.dump() << game.Errors();
    EXPECT_TRUE(full(view)) << "the kept choice at start-up: " << view.dump() << game.Errors();
    QThread::msleep(300);
    screen.Shot(dir.path(), "fullscreen_restart.png");
    screen.Key("F11");
    view = AskUntil(game, "window", [](const nlohmann::json& j) { return j["fullscreen"] == false && j["width"] == 1008; });
    EXPECT_EQ(view["width"], 1008) << view.dump();
    EXPECT_EQ(view["height"], 709) << view.dump();
    game.Say("close");
    EXPECT_EQ(game.Finish(), 0) << game.Errors();
  }
  EXPECT_EQ(core::ReadLines(dir.path() + "/options.txt").at(9), "0");
}

namespace {
// Presses `key` until `done` holds for the answer to `command`, waiting after each press
// until the answer changes (the key and the question reach the game by different ways).
nlohmann::json PressUntil(Console& game, const char* key, const std::string& command,
                          const std::function<bool(const nlohmann::json&)>& done, int presses = 60) {
  nlohmann::json j = game.Ask(command);
  for (int i = 0; i < presses && !done(j); ++i) {
    const nlohmann::json before = j;
    Key(key);
    for (int t = 0; t < 40 && j == before; ++t) {
      QThread::msleep(25);
      j = game.Ask(command);
    }
  }
  return j;
}

// The catalog position of the cheapest type with `field` above 0.
int CheapestWith(Console& game, const char* field) {
  const nlohmann::json cat = game.Ask("catalog");
  int best = -1;
  for (size_t k = 0; k < cat["entries"].size(); ++k) {
    const auto& e = cat["entries"][k];
    if (e[field].get<int>() > 0 && (best < 0 || e["cst"] < cat["entries"][static_cast<size_t>(best)]["cst"]))
      best = static_cast<int>(k);
  }
  return best;
}

bool StandsAt(Console& game, const nlohmann::json& cell) {
  for (const auto& b : game.Ask("placed"))
    if (b["x"] == cell[0] && b["y"] == cell[1]) return true;
  return false;
}
}  // namespace

// A short game with no mouse at all: energy, food and a workshop built, food sold, a credit
// taken and the game saved, first on the HUD (cell cursor, Tab and Enter), then with the
// side panels (Tab through the controls, Space, typed amounts).
TEST_F(HudPlay, AShortGamePlayedByKeysAloneInBothModes) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", QString::fromStdString(dir.path() + "/xdg"));
  const std::filesystem::path quick = std::filesystem::path(dir.path()) / "xdg" / "quenmar" / "saves" / "quick.qsave";
  Console game(Args({"--data", dir.path(), "--seed", "7", "--script", Path("hud.script"), "--console"}), env);
  ASSERT_TRUE(WaitForView(game).is_object()) << game.Errors();
  // The window takes the keyboard without a click.
  const nlohmann::json main = FindWindow(game.Ask("windows"), "main");
  ASSERT_EQ(QProcess::execute("xdotool", {"windowfocus", "--sync", QString::number(main["id"].get<uint64_t>())}), 0);
  AskUntil(game, "window", [](const nlohmann::json& j) { return j["focus"] == "view"; });

  auto state = [&] { return game.Ask("state"); };
  // The briefing's OK answers Enter at once, with the focus nowhere yet, and chooses no cell.
  nlohmann::json s = PressUntil(game, "Return", "state", [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); }, 1);
  ASSERT_FALSE(s["msg_panel"].get<bool>());
  EXPECT_EQ(s["sel_cell_x"], -1) << "a cell chosen under the message";

  const int energy = CheapestWith(game, "engout"), food = CheapestWith(game, "food"), workshop = CheapestWith(game, "prod");
  ASSERT_TRUE(energy >= 0 && food >= 0 && workshop >= 0);
  for (const int type : {energy, food, workshop}) {
    SCOPED_TRACE("HUD, type " + std::to_string(type));
    const nlohmann::json before = state();
    s = PressUntil(game, "Right", "state", [&](const nlohmann::json& j) {
      return j["cursor_x"].get<int>() >= before["cursor_x"].get<int>() + 2;
    }, 2);
    const nlohmann::json cell = {s["cursor_x"], s["cursor_y"]};
    s = PressUntil(game, "Return", "state", [&](const nlohmann::json& j) { return j["sel_cell_x"] == cell[0]; }, 1);
    ASSERT_EQ(s["sel_cell_y"], cell[1]);
    ASSERT_TRUE(s["build_panel"].get<bool>());
    // Tab down the column to the type (it scrolls to show it), Enter chooses it.
    s = PressUntil(game, "Tab", "state", [&](const nlohmann::json& j) {
      return j["hud_focus_index"] == type && j["hud_focus"].get<int>() >= 2 && j["hud_focus"].get<int>() <= 11;
    });
    ASSERT_EQ(s["hud_focus_index"], type);
    const int32_t scroll = s["cat_scroll"];
    EXPECT_TRUE(type >= scroll && type < scroll + 10) << "the column shows the framed type";
    s = PressUntil(game, "Return", "state", [&](const nlohmann::json& j) { return j["constr_choice"] == type; }, 1);
    ASSERT_EQ(s["constr_choice"], type);
    // Back to the build button, which comes first while the panel is open.
    s = PressUntil(game, "shift+Tab", "state", [](const nlohmann::json& j) { return j["hud_focus"] == 12; });
    ASSERT_EQ(s["hud_focus"], 12);
    const int32_t money = s["money"];
    s = PressUntil(game, "Return", "state", [&](const nlohmann::json& j) { return j["money"] != money; }, 1);
    EXPECT_LT(s["money"].get<int32_t>(), money);
    EXPECT_TRUE(StandsAt(game, cell)) << cell.dump();
  }

  // Sell food from the trade panel.
  s = PressUntil(game, "Tab", "state", [](const nlohmann::json& j) { return j["hud_focus"] == 49; });
  s = PressUntil(game, "Return", "state", [](const nlohmann::json& j) { return j["trade_panel"].get<bool>(); }, 1);
  ASSERT_TRUE(s["trade_panel"].get<bool>());
  s = PressUntil(game, "Tab", "state", [](const nlohmann::json& j) { return j["hud_focus"] == 37; });
  s = PressUntil(game, "space", "state", [](const nlohmann::json& j) { return j["hud_trade_goods"] == 1; }, 1);
  EXPECT_EQ(s["hud_trade_goods"], 1);
  EXPECT_TRUE(game.Ask("window")["paused"].get<bool>()) << "Space on a framed button presses it, not the pause";
  s = PressUntil(game, "Tab", "state", [](const nlohmann::json& j) { return j["hud_focus"] == 41; });
  const int32_t stock = s["food"];
  s = PressUntil(game, "Return", "state", [&](const nlohmann::json& j) { return j["food"] != stock; }, 1);
  EXPECT_EQ(s["food"], stock - s["hud_trade_amt"].get<int32_t>()) << "sold food";

  // Borrow from the credit panel.
  s = PressUntil(game, "Tab", "state", [](const nlohmann::json& j) { return j["hud_focus"] == 50; });
  s = PressUntil(game, "Return", "state", [](const nlohmann::json& j) { return j["credit_panel"].get<bool>(); }, 1);
  s = PressUntil(game, "Tab", "state", [](const nlohmann::json& j) { return j["hud_focus"] == 45; });
  s = PressUntil(game, "Return", "state", [](const nlohmann::json& j) { return j["debt"] != 0; }, 1);
  const int32_t debt = s["debt"];
  EXPECT_GT(debt, 0);

  // Saved.
  Key("F5");
  for (int i = 0; i < 100 && !std::filesystem::exists(quick); ++i) QThread::msleep(50);
  ASSERT_TRUE(std::filesystem::exists(quick)) << game.Errors();
  std::filesystem::remove(quick);

  // The same with the side panels.
  s = PressUntil(game, "h", "state", [](const nlohmann::json& j) { return !j["hud_mode"].get<bool>(); }, 1);
  ASSERT_FALSE(s["hud_mode"].get<bool>());
  auto focus_on = [](const char* name) { return [name](const nlohmann::json& j) { return j["focus"] == name; }; };
  nlohmann::json win = PressUntil(game, "Tab", "window", focus_on("view"));
  ASSERT_EQ(win["focus"], "view");
  s = state();
  const nlohmann::json before = s;
  s = PressUntil(game, "Down", "state", [&](const nlohmann::json& j) { return j["cursor_y"] != before["cursor_y"]; }, 1);
  s = PressUntil(game, "Down", "state", [&](const nlohmann::json& j) {
    return std::abs(j["cursor_y"].get<int>() - before["cursor_y"].get<int>()) >= 2;
  }, 1);
  const nlohmann::json cell = {s["cursor_x"], s["cursor_y"]};
  s = PressUntil(game, "Return", "state", [&](const nlohmann::json& j) { return j["sel_cell_y"] == cell[1]; }, 1);
  ASSERT_EQ(s["sel_cell_x"], cell[0]);
  win = PressUntil(game, "Tab", "window", focus_on("types"));
  ASSERT_EQ(win["focus"], "types");
  const int32_t choice = state()["constr_choice"];
  s = PressUntil(game, food < choice ? "Up" : "Down", "state", [&](const nlohmann::json& j) { return j["constr_choice"] == food; });
  ASSERT_EQ(s["constr_choice"], food);
  win = PressUntil(game, "Tab", "window", focus_on("build"));
  ASSERT_EQ(win["focus"], "build");
  int32_t money = state()["money"];
  s = PressUntil(game, "space", "state", [&](const nlohmann::json& j) { return j["money"] != money; }, 1);
  EXPECT_LT(s["money"].get<int32_t>(), money);
  EXPECT_TRUE(StandsAt(game, cell)) << cell.dump();

  win = PressUntil(game, "Tab", "window", focus_on("food_amount"));
  ASSERT_EQ(win["focus"], "food_amount");
  Key("ctrl+a");
  TypeText("10");
  win = PressUntil(game, "Tab", "window", focus_on("food_sell"));
  ASSERT_EQ(win["focus"], "food_sell");
  const int32_t left = state()["food"];
  s = PressUntil(game, "space", "state", [&](const nlohmann::json& j) { return j["food"] != left; }, 1);
  EXPECT_EQ(s["food"], left - 10) << "sold the typed amount";

  // One credit at a time: the HUD's is paid off first.
  game.Say("set debt 0");
  win = PressUntil(game, "Tab", "window", focus_on("credit_sum"));
  ASSERT_EQ(win["focus"], "credit_sum");
  Key("ctrl+a");
  TypeText("5000");
  win = PressUntil(game, "Tab", "window", focus_on("take"));
  ASSERT_EQ(win["focus"], "take");
  s = PressUntil(game, "space", "state", [&](const nlohmann::json& j) { return j["debt"] != 0; }, 1);
  EXPECT_GE(s["debt"].get<int32_t>(), 5000) << "borrowed the typed sum";

  Key("F5");
  for (int i = 0; i < 100 && !std::filesystem::exists(quick); ++i) QThread::msleep(50);
  EXPECT_TRUE(std::filesystem::exists(quick)) << "F5 saves with a button focused";

  game.Say("menu game_quit");
  EXPECT_EQ(game.Finish(), 0);
}

// --- the UI scale: the HUD drawn larger by the chosen or the automatic scale, its buttons
// answering real clicks where the table puts them ---------------------------------------

// The clicks of ClickAndWait go to the screen named by DISPLAY: a test playing on a screen of
// its own points it there while it plays.
class ClicksGoTo {
 public:
  explicit ClicksGoTo(const QProcessEnvironment& env) : old_(qgetenv("DISPLAY")) {
    qputenv("DISPLAY", env.value("DISPLAY").toUtf8());
  }
  ~ClicksGoTo() { qputenv("DISPLAY", old_); }

 private:
  QByteArray old_;
};

TEST(ProgramScale, TheHudGrowsWithTheScaleAndAnswersClicksWhereTheTablePutsItsButtons) {
  struct Case {
    const char* name;
    int screen_w, screen_h;
    bool full;
    int percent;  // the options file's; 0 automatic
    double want;
  };
  const std::vector<Case> cases = {
      {"scale_100", 1920, 1080, false, 100, 1.0},
      {"scale_125", 1920, 1080, false, 125, 1.25},
      {"scale_150_full_1080", 1920, 1080, true, 150, 1.5},
      // 200 % would leave the HUD too low for its own layout: the step that fits.
      {"scale_200_full_1080", 1920, 1080, true, 200, 1.75},
      {"scale_auto_full_1080", 1920, 1080, true, 0, 1.5},
      {"scale_auto_full_2160", 3840, 2160, true, 0, 2.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui_test::XScreen screen(c.screen_w, c.screen_h);
    ASSERT_TRUE(screen.ready()) << "no Xvfb with openbox";
    TempDir dir;
    CopyGameData(dir);
    dir.Write("options.txt", std::string("en\r\n-1\r\n-1\r\n50\r\n50\r\n0\r\n50\r\n50\r\n0\r\n") +
                                 (c.full ? "-1" : "0") + "\r\n0\r\n" + std::to_string(c.percent) + "\r\n");
    dir.Write("hud.script", kHudScript);
    Console game(Args({"--data", dir.path(), "--seed", "7", "--script", dir.path() + "/hud.script", "--console"}),
                 screen.env());
    nlohmann::json view = AskUntil(game, "window", [&](const nlohmann::json& j) {
      return j.is_object() && j["frames"].get<int>() > 2 && j["fullscreen"] == c.full;
    });
    ASSERT_TRUE(view.is_object()) << game.Errors();
    QThread::msleep(500);  // the window manager has placed the window and a frame has drawn it
    view = game.Ask("window");
    const int w = view["width"], h = view["height"];
    EXPECT_EQ(view["hud_scale"].get<double>(), c.want) << view.dump();
    if (c.full) {
      EXPECT_GT(h, c.screen_h - 60) << view.dump();
    }

    // The table's unit is the HUD's height's, and every button it shows lies in the view.
    const nlohmann::json hud = game.Ask("hud");
    EXPECT_EQ(game.Ask("state")["hud_unit"], std::max(30L, std::lrint(h / c.want / 15.0))) << h;
    for (const auto& b : hud["buttons"]) {
      if (!b["visible"].get<bool>()) continue;
      const double rx = b["rx"], ry = b["ry"], bw = b["width"], bh = b["height"];
      EXPECT_GE((rx - bw / 2) * c.want, -0.5) << b.dump();
      EXPECT_LE((rx + bw / 2) * c.want, w + 0.5) << b.dump();
      EXPECT_GE((ry - bh / 2) * c.want, -0.5) << b.dump();
      EXPECT_LE((ry + bh / 2) * c.want, h + 0.5) << b.dump();
    }
    // The view as the player sees it, for a look, then a round of clicks.
    auto shot = [&](const std::string& name) {
      const std::string file = dir.path() + "/" + name + ".png";
      game.Say("screenshot " + file);
      QImage img;
      for (int i = 0; i < 200 && img.isNull(); ++i) {
        QThread::msleep(100);
        img.load(QString::fromStdString(file));
      }
      EXPECT_EQ(img.size(), QSize(w, h)) << name;
      if (const char* keep = std::getenv("QUENMAR_UI_SHOTS"); keep && *keep && !img.isNull())
        img.save(QString::fromStdString(std::string(keep) + "/" + name + ".png"));
    };
    shot(c.name);
    {
      // The buttons of the panels, each by a real click where the table puts it at this scale.
      const ClicksGoTo clicks(screen.env());
      const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
      const HudPlaces at(w, h, c.want);
      nlohmann::json s = ClickAndWait(game, origin + at.ok(), "1", [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); });
      EXPECT_FALSE(s["msg_panel"].get<bool>()) << "OK";
      // The map answers where the view draws its cells, whatever the scale and the screen.
      for (const QPoint cell : {QPoint(11, 10), QPoint(10, 12), QPoint(12, 11)}) {
        const QPoint p = origin + CellPixel(220, 220, 50, w, h, cell.x(), cell.y(), 0);
        s = ClickAndWait(game, p, "1", [&](const nlohmann::json& j) {
          return j["sel_cell_x"] == cell.x() && j["sel_cell_y"] == cell.y();
        });
        EXPECT_EQ(s["sel_cell_x"], cell.x()) << "a click on the cell's centre at " << p.x() << ", " << p.y();
        EXPECT_EQ(s["sel_cell_y"], cell.y()) << "a click on the cell's centre at " << p.x() << ", " << p.y();
      }
      s = ClickAndWait(game, origin + at.trade(), "1", [](const nlohmann::json& j) { return j["trade_panel"].get<bool>(); });
      EXPECT_TRUE(s["trade_panel"].get<bool>()) << "Trade";
      const int32_t amount = s["hud_trade_amt"];
      QThread::msleep(300);  // the panel's buttons are laid out from the next frame on
      s = ClickAndWait(game, origin + at.amount_up(), "1", [&](const nlohmann::json& j) { return j["hud_trade_amt"] != amount; });
      EXPECT_EQ(s["hud_trade_amt"], amount + 10) << "+";
      const int32_t food = s["food"];
      s = ClickAndWait(game, origin + at.buy(), "1", [&](const nlohmann::json& j) { return j["food"] != food; });
      EXPECT_EQ(s["food"], food + amount + 10) << "Buy";
      s = ClickAndWait(game, origin + at.credit(), "1", [](const nlohmann::json& j) { return j["credit_panel"].get<bool>(); });
      EXPECT_TRUE(s["credit_panel"].get<bool>()) << "Credit";
      QThread::msleep(300);
      s = ClickAndWait(game, origin + at.take(), "1", [](const nlohmann::json& j) { return j["debt"] != 0; });
      EXPECT_GT(s["debt"].get<int32_t>(), 0) << "Take";
    }
    shot(std::string(c.name) + "_played");
    {
      // The tutorial's panel and its frame around a site, where the view shows them: a click
      // on the panel stays on it, one in the frame chooses the site, Skip skips.
      const ClicksGoTo clicks(screen.env());
      const QPoint origin(view["x"].get<int>(), view["y"].get<int>());
      // No site chosen yet (a new game keeps the last one), so that the step waits for one.
      game.Say("set sel_cell_x -1");
      game.Say("set sel_cell_y -1");
      game.Say("tutorial start");
      const HudPlaces at(w, h, c.want);
      AskUntil(game, "state", [](const nlohmann::json& j) { return j["msg_panel"].get<bool>(); });
      QThread::msleep(300);
      ClickAndWait(game, origin + at.ok(), "1", [](const nlohmann::json& j) { return !j["msg_panel"].get<bool>(); });
      // The first step asks for the camera moved and its height changed.
      game.Say("camera 320 300 60");
      AskUntil(game, "tutorial", [](const nlohmann::json& j) { return j["step"] == 2; });
      game.Say("camera 300 300 50");
      AskUntil(game, "tutorial", [](const nlohmann::json& j) { return j["step"] == 2; });
      const QPoint site = CellPixel(300, 300, 50, w, h, 16, 15, 0);
      // The frame pulses and follows the step from the next frame on.
      const nlohmann::json hud = AskUntil(game, "hud", [&](const nlohmann::json& j) {
        const nlohmann::json& bar = j["tutorial_mark"][0];
        return j["tutorial_bg"]["visible"] == true && bar["visible"] == true &&
               std::abs(bar["x"].get<double>() * c.want - site.x()) <= 3;
      });
      const nlohmann::json top = hud["tutorial_mark"][0], left = hud["tutorial_mark"][1];
      EXPECT_NEAR(top["x"].get<double>() * c.want, site.x(), 3) << "the frame around the site";
      EXPECT_NEAR(left["y"].get<double>() * c.want, site.y(), 3) << "the frame around the site";
      const nlohmann::json panel = hud["tutorial_bg"], skip = hud["tutorial_skip_bg"];
      auto on_screen = [&](double x, double y) {
        return origin + QPoint(static_cast<int>(std::lround(x * c.want)), static_cast<int>(std::lround(y * c.want)));
      };
      const nlohmann::json before = game.Ask("state");
      ClickAt(on_screen(panel["x"].get<double>() - panel["width"].get<double>() / 2 + 4, skip["y"]));
      QThread::msleep(500);  // a few frames for the click to arrive
      nlohmann::json s = game.Ask("state");
      EXPECT_EQ(s["sel_cell_x"], before["sel_cell_x"]) << "a click on the panel chose a site";
      EXPECT_EQ(s["sel_cell_y"], before["sel_cell_y"]) << "a click on the panel chose a site";
      s = ClickAndWait(game, origin + site, "1", [](const nlohmann::json& j) { return j["sel_cell_x"] == 16; });
      EXPECT_EQ(s["sel_cell_x"], 16);
      EXPECT_EQ(s["sel_cell_y"], 15);
      const int step = AskUntil(game, "tutorial", [](const nlohmann::json& j) { return j["step"] == 3; })["step"];
      EXPECT_EQ(step, 3) << "the site chosen in the frame passes the step";
      QThread::msleep(300);  // the next step's panel is laid out from the next frame on
      const nlohmann::json now = game.Ask("hud")["tutorial_skip_bg"];
      ClickAt(on_screen(now["x"], now["y"]));
      EXPECT_EQ(AskUntil(game, "tutorial", [](const nlohmann::json& j) { return j["active"] == false; })["active"], false)
          << "Skip";
    }
    game.Say("menu game_quit");
    EXPECT_EQ(game.Finish(), 0) << game.Errors();
  }
}
