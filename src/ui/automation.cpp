#include "ui/automation.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QComboBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <cerrno>
#include <fstream>
#include <ostream>
#include <unistd.h>

#include "core/newgame.h"
#include "nlohmann/json.hpp"

namespace ui {
namespace {
// The focused control by its object name ("view" for the 3D view), or "" with none.
std::string FocusName() {
  const QWidget* f = QApplication::focusWidget();
  return f ? f->objectName().toStdString() : std::string();
}
}  // namespace

Automation::Automation(MainWindow& window, const LaunchOptions& options, std::ostream& out, std::ostream& err,
                       QElapsedTimer since_start)
    : window_(window),
      options_(options),
      err_(err),
      interpreter_(window.session(), out, err),
      since_start_(since_start) {
  sim::RegisterAllCommands(interpreter_);
  RegisterWindowCommands();
}

Automation::~Automation() = default;

void Automation::RegisterWindowCommands() {
  using Args = sim::Interpreter::Args;
  // `menu CONTROL`: chooses a menu item by its caption-table name, as a click would.
  interpreter_.Register("menu", [this](sim::Interpreter&, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 1, 1);
    QAction* item = window_.action(a[0]);
    if (!item) throw sim::CommandError("no menu item '" + a[0] + "'");
    if (!item->isEnabled()) throw sim::CommandError("menu item '" + a[0] + "' is disabled");
    item->trigger();
  });
  // `window`: where the 3D view is on the screen, its size, the window caption, whether the
  // window is full screen and its client area (with the menu bar) on the screen; the pause
  // and speed indicator as the HUD and the side panel show it ("" where it is not shown) and
  // the Speed menu's checked items.
  interpreter_.Register("window", [this](sim::Interpreter& in, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 0, 0);
    scene::gl::Viewer& v = window_.viewer();
    const QPoint origin = v.mapToGlobal(QPoint(0, 0));
    const scene::HUDText* hud_status = window_.world().hud().objects().status_text;
    const QLabel* panel_status = window_.right_panel().status();
    nlohmann::json warnings = nlohmann::json::array();
    for (int k = 0; k < core::kWarnings; ++k) {
      const QLabel* label = window_.right_panel().warning(k);
      const QPoint c = label->mapToGlobal(label->rect().center());
      warnings.push_back({{"x", c.x()}, {"y", c.y()}, {"visible", label->isVisible()}, {"text", label->text().toStdString()}});
    }
    nlohmann::json checked = nlohmann::json::array();
    for (const char* control : {"speed_pause", "speed_low", "speed_normal", "speed_fast"})
      if (const QAction* item = window_.action(control); item && item->isChecked()) checked.push_back(control);
    in.Print({{"x", origin.x()},
              {"y", origin.y()},
              {"width", v.width()},
              {"height", v.height()},
              {"title", window_.windowTitle().toStdString()},
              {"paused", window_.world().paused()},
              {"day_clock", window_.world().day_clock().enabled()},
              {"frames", frames_},
              {"fullscreen", window_.isFullScreen()},
              {"hud_scale", window_.world().hud().scale()},
              {"window", {window_.geometry().x(), window_.geometry().y(), window_.width(), window_.height()}},
              {"hud_status", window_.game().hud_mode && hud_status && hud_status->visible() ? hud_status->text() : ""},
              {"panel_status", panel_status->isVisible() ? panel_status->text().toStdString() : ""},
              {"speed_checked", checked},
              {"panel_warnings", warnings},
              // Where the keys go: the focused control's name.
              {"focus", FocusName()}});
  });
  // `windows`: every top-level window with its title, visibility and client area on screen
  // (the message window's with its text).
  interpreter_.Register("windows", [this](sim::Interpreter& in, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 0, 0);
    nlohmann::json list = nlohmann::json::array();
    for (const NamedWindow& w : window_.windows().All()) {
      const QPoint origin = w.client->mapToGlobal(QPoint(0, 0));
      list.push_back({{"name", w.name},
                      {"title", w.widget->windowTitle().toStdString()},
                      {"visible", w.widget->isVisible()},
                      // The X window, for a test that asks the window manager about it.
                      {"id", static_cast<uint64_t>(w.widget->internalWinId())},
                      {"x", origin.x()},
                      {"y", origin.y()},
                      {"width", w.client->width()},
                      {"height", w.client->height()}});
      // What the player reads in the message window.
      if (w.widget == window_.windows().message.get()) list.back()["text"] = window_.windows().message->text().toStdString();
      // Where the history's first chart draws its days, for a click on one.
      if (w.widget == window_.windows().history.get()) {
        const HistoryWindow& h = *window_.windows().history;
        const QRect plot = h.plot_area(0);
        list.back()["plot"] = {plot.x(), plot.y(), plot.width(), plot.height()};
        list.back()["days"] = {h.day_range(0).first, h.day_range(0).second};
      }
    }
    // The panel after a game's end belongs to the game window; where its buttons are, for a
    // click.
    const EndPanel& end = window_.end_panel();
    const QPoint end_origin = end.mapToGlobal(QPoint(0, 0));
    nlohmann::json buttons = nlohmann::json::object();
    for (const auto& [name, button] : {std::pair{"new_game", end.new_game()}, std::pair{"load", end.load()},
                                       std::pair{"quit", end.quit()}}) {
      const QPoint c = button->mapToGlobal(button->rect().center());
      buttons[name] = {{"x", c.x()}, {"y", c.y()}, {"text", button->text().toStdString()}};
    }
    list.push_back({{"name", "end"},
                    {"title", end.windowTitle().toStdString()},
                    {"visible", end.isVisible()},
                    {"id", static_cast<uint64_t>(end.internalWinId())},
                    {"x", end_origin.x()},
                    {"y", end_origin.y()},
                    {"width", end.width()},
                    {"height", end.height()},
                    {"buttons", buttons}});
    in.Print(list);
  });
  // `boxes real|recorded`: error boxes and questions open for real (a window test then
  // answers them with real keys) or are recorded and answered, as the console does.
  interpreter_.Register("boxes", [this](sim::Interpreter&, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 1, 1);
    if (a[0] != "real" && a[0] != "recorded") throw sim::CommandError("boxes: 'real' or 'recorded'");
    window_.session().SetRecording(a[0] == "recorded");
  });
  // `new LEVEL`: while the launcher is up, its start button; otherwise the menu's.
  interpreter_.Register("new", [this](sim::Interpreter& in, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 1, 1);
    const int32_t level = sim::Interpreter::ArgInt(a, 0, "level");
    Launcher& launcher = *window_.windows().launcher;
    if (launcher.isVisible()) {
      if (in.game().loading) throw sim::CommandError("the game is still loading");
      launcher.Start(level);
      return;
    }
    core::StartNewGame(in.game(), level);
  });
  // `language CODE`: the code picked in the launcher's language box.
  interpreter_.Register("language", [this](sim::Interpreter& in, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 1, 1);
    Launcher& launcher = *window_.windows().launcher;
    if (launcher.languages()->findData(QString::fromStdString(a[0])) < 0)
      throw sim::CommandError("no language '" + a[0] + "' in the launcher's box");
    launcher.ShowLanguage(a[0]);
    launcher.ChooseLanguage(QString::fromStdString(a[0]));
    if (in.game().locale_code != a[0]) throw sim::CommandError("language '" + a[0] + "' not loaded");
  });
  // `show NAME`: shows a window by its name, as its menu item or button would.
  interpreter_.Register("show", [this](sim::Interpreter&, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 1, 1);
    for (const NamedWindow& w : window_.windows().All()) {
      if (a[0] != w.name) continue;
      w.widget->show();
      w.widget->raise();
      return;
    }
    throw sim::CommandError("no window '" + a[0] + "'");
  });
  // `shot NAME FILE`: a window's own picture (its client area) as a PNG.
  interpreter_.Register("shot", [this](sim::Interpreter&, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 2, 2);
    for (const NamedWindow& w : window_.windows().All()) {
      if (a[0] != w.name) continue;
      QImage img = w.widget->grab().toImage();
      // The 3D view draws through GL: its own picture goes in over the grab.
      if (w.widget == &window_ && window_.viewer().isVisible()) {
        QPainter p(&img);
        const QPoint at = window_.viewer().mapTo(&window_, QPoint(0, 0));
        p.drawImage(at, window_.viewer().Screenshot());
        // What lies over the view goes in over its picture again.
        TutorialPanel& tp = window_.tutorial_panel();
        for (QWidget* over : {static_cast<QWidget*>(&tp), static_cast<QWidget*>(tp.mark())})
          if (over->isVisible()) p.drawPixmap(over->mapTo(&window_, QPoint(0, 0)), over->grab());
      }
      if (img.isNull() || !img.save(QString::fromStdString(a[1]), "PNG"))
        throw sim::CommandError("cannot write " + a[1]);
      return;
    }
    throw sim::CommandError("no window '" + a[0] + "'");
  });
  // `tooltip`: the window's own tip (side panels and menus) as it stands.
  interpreter_.Register("tooltip", [](sim::Interpreter& in, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 0, 0);
    in.Print({{"visible", QToolTip::isVisible()}, {"text", QToolTip::isVisible() ? QToolTip::text().toStdString() : ""}});
  });
  // `widget NAME`: where the game window's control of that object name stands on the
  // screen (its centre), whether it shows, and its words, for a test that clicks it.
  interpreter_.Register("widget", [this](sim::Interpreter& in, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 1, 1);
    const QWidget* w = window_.findChild<QWidget*>(QString::fromStdString(a[0]));
    if (!w) throw sim::CommandError("no control '" + a[0] + "'");
    const QPoint c = w->mapToGlobal(w->rect().center());
    QString text;
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    if (const auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    if (const auto* box = qobject_cast<const QComboBox*>(w)) text = box->currentText();
    nlohmann::json j = {{"x", c.x()}, {"y", c.y()}, {"width", w->width()}, {"height", w->height()},
                        {"visible", w->isVisible()}, {"text", text.toStdString()}};
    // A text box's lines that show, each with a point on its start, for a pointer to rest on.
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(w)) {
      nlohmann::json lines = nlohmann::json::array();
      for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next()) {
        const QRect r = edit->cursorRect(QTextCursor(b));
        if (!edit->viewport()->rect().contains(r.center())) continue;
        const QPoint at = edit->viewport()->mapToGlobal(r.center() + QPoint(12, 0));
        lines.push_back({{"text", b.text().toStdString()}, {"x", at.x()}, {"y", at.y()}});
      }
      j["lines"] = lines;
    }
    in.Print(j);
  });
  // `modal`: what holds the keyboard and pointer beyond the windows themselves: the modal
  // box or dialog on top (its class and title, "" with none), an open popup (a menu, a
  // combo box's list) and the active window, so that a driver can tell a player who is
  // stuck from one who only has a window open.
  interpreter_.Register("modal", [](sim::Interpreter& in, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 0, 0);
    const QWidget* modal = QApplication::activeModalWidget();
    const QWidget* popup = QApplication::activePopupWidget();
    const QWidget* active = QApplication::activeWindow();
    auto name = [](const QWidget* w) {
      if (!w) return std::string();
      return w->objectName().isEmpty() ? std::string(w->metaObject()->className()) : w->objectName().toStdString();
    };
    const QRect at = modal ? modal->geometry() : QRect();
    in.Print({{"modal", name(modal)},
              {"modal_title", modal ? modal->windowTitle().toStdString() : ""},
              {"modal_area", {at.x(), at.y(), at.width(), at.height()}},
              {"popup", name(popup)},
              {"active", name(active)}});
  });
  // `screenshot FILE`: the 3D view as it stands, as a PNG.
  interpreter_.Register("screenshot", [this](sim::Interpreter&, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 1, 1);
    if (!WriteScreenshot(a[0])) throw sim::CommandError("cannot write screenshot " + a[0]);
  });
  // `close`: the window's close button (the options are saved).
  interpreter_.Register("close", [this](sim::Interpreter&, const Args& a) {
    sim::Interpreter::ExpectArgs(a, 0, 0);
    QTimer::singleShot(0, &window_, [this] { window_.close(); });
  });
}

bool Automation::RunScript() {
  if (options_.script.empty()) return true;
  std::ifstream in(options_.script);
  if (!in) {
    err_ << "error: cannot open script " << options_.script << '\n';
    status_ = 1;
    return false;
  }
  shell::Session& session = window_.session();
  const bool was_recording = session.recording();
  const bool was_quiet = window_.host().quiet();
  session.SetRecording(true);
  // A script before a console shows its messages as the console's commands do.
  window_.host().SetQuiet(!options_.console);
  const int rc = interpreter_.RunScript(in);
  session.SetRecording(was_recording);
  window_.host().SetQuiet(was_quiet);
  if (rc != 0) status_ = 1;
  return rc == 0;
}

bool Automation::RunLine(const std::string& line) {
  std::string l = line;
  if (!l.empty() && l.back() == '\r') l.pop_back();
  const bool ok = interpreter_.RunLine(l, ++console_line_);
  if (!ok) status_ = 1;
  return ok;
}

void Automation::Start() {
  if (options_.console) {
    console_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(console_.get(), &QSocketNotifier::activated, this, [this] { ReadConsole(); });
  }
  // Counted always: the console's `window` reports it, so a driver knows the view is up.
  connect(&window_.viewer(), &scene::gl::Viewer::frameSwapped, this, [this] { OnFrame(); });
  if (options_.frames == 0) QTimer::singleShot(0, this, [this] { Finish(); });
}

void Automation::ReadConsole() {
  char buf[4096];
  const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) {
    // The other end is gone: so is whoever drove the game.
    console_->setEnabled(false);
    if (!console_buffer_.empty()) RunLine(console_buffer_);
    console_buffer_.clear();
    Finish();
    return;
  }
  console_buffer_.append(buf, static_cast<size_t>(n));
  for (size_t eol; (eol = console_buffer_.find('\n')) != std::string::npos;) {
    const std::string line = console_buffer_.substr(0, eol);
    console_buffer_.erase(0, eol + 1);
    RunLine(line);
  }
}

void Automation::OnFrame() {
  if (finished_) return;
  if (frames_++ == 0) {
    frame_clock_.start();
    // The first frame also loads every texture it shows.
    if (options_.timing && since_start_.isValid())
      err_ << "first frame: " << since_start_.elapsed() << " ms after the program started\n";
  }
  if (options_.frames >= 0 && frames_ >= options_.frames) Finish();
}

bool Automation::WriteScreenshot(const std::string& file) {
  const QImage img = window_.viewer().Screenshot();
  return !img.isNull() && img.save(QString::fromStdString(file), "PNG");
}

void Automation::Finish() {
  if (finished_) return;
  finished_ = true;
  window_.StopDriving();
  if (!options_.screenshot.empty() && !WriteScreenshot(options_.screenshot)) {
    err_ << "error: cannot write screenshot " << options_.screenshot << '\n';
    status_ = 1;
  }
  if (options_.timing && frames_ > 1) {
    // The first frame starts the clock, so the rate counts the frames after it.
    const double seconds = static_cast<double>(frame_clock_.nsecsElapsed()) / 1e9;
    const scene::gl::FrameStats& st = window_.viewer().stats();
    err_ << "frames: " << frames_ << " in " << seconds << " s, " << (frames_ - 1) / seconds
         << " frames per second (" << window_.viewer().width() << " x " << window_.viewer().height()
         << ", last frame: " << st.draw_calls << " draw calls, " << st.world_quads << " world quads, "
         << st.hud_quads << " HUD quads, " << st.groups_rebuilt << " groups rebuilt)\n";
  }
  window_.QuitAtOnce();
}

}  // namespace ui
