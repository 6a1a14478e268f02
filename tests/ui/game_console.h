#pragma once
// The game program driven through its console, as the window tests a player's session with:
// real pointer moves, clicks and keys through the X server, the game's state read back.
#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>
#include <nlohmann/json.hpp>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "support/test_data.h"

namespace ui_test {

using Json = nlohmann::json;

class Game {
 public:
  // The game on `dir`'s data, its saves under `dir`; `extra` adds arguments (a script).
  explicit Game(const testing_support::TempDir& dir, const QStringList& extra = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", QString::fromStdString(dir.path() + "/xdg"));
    p_.setProcessEnvironment(env);
    p_.start(QUENMAR_GAME, QStringList{"--data", QString::fromStdString(dir.path()), "--console"} + extra);
    p_.waitForStarted();
  }
  ~Game() {
    if (p_.state() != QProcess::NotRunning) {
      p_.kill();
      p_.waitForFinished();
    }
  }
  Json Ask(const std::string& command) {
    p_.write((command + "\n").c_str());
    p_.waitForBytesWritten();
    while (!p_.canReadLine())
      if (!p_.waitForReadyRead(60000)) return nullptr;
    return Json::parse(p_.readLine().toStdString(), nullptr, false);
  }
  // Asks until `done` holds (ten seconds at most); the last answer.
  Json Until(const std::string& command, const std::function<bool(const Json&)>& done) {
    Json j;
    for (int i = 0; i < 200; ++i) {
      j = Ask(command);
      if (!j.is_null() && !j.is_discarded() && done(j)) break;
      QThread::msleep(50);
    }
    return j;
  }
  int Step() {
    const Json t = Ask("tutorial");
    return t.is_object() && t["active"] == true ? t["step"].get<int>() : 0;
  }
  // Waits for the tutorial to show `step` (0: over).
  int WaitStep(int step) {
    const Json t = Until("tutorial", [step](const Json& j) { return (j["active"] == true ? j["step"].get<int>() : 0) == step; });
    return t["active"] == true ? t["step"].get<int>() : 0;
  }
  int Quit() {
    p_.write("menu game_quit\n");
    p_.waitForBytesWritten();
    if (p_.state() != QProcess::NotRunning && !p_.waitForFinished(60000)) return -1;
    return p_.exitStatus() == QProcess::NormalExit ? p_.exitCode() : -1;
  }
  std::string Errors() { return p_.readAllStandardError().toStdString(); }

 private:
  QProcess p_;
};

// An X server of its own, `width` x `height`, with openbox on it as a player's desktop has
// (full screen and window placement are the window manager's business) or, not `managed`,
// no window manager at all; a private runtime folder.
class XScreen {
 public:
  XScreen(int width, int height, bool managed = true) {
    // Another server starting at the same moment may take the display it chose: then again.
    QString number;
    for (int attempt = 0; attempt < 3 && number.isEmpty(); ++attempt) {
      Stop(xvfb_);
      xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", QString("%1x%2x24").arg(width).arg(height),
                           "-nolisten", "tcp"});
      if (!xvfb_.waitForStarted()) continue;
      while (!xvfb_.canReadLine() && xvfb_.waitForReadyRead(10000)) {
      }
      number = QString::fromUtf8(xvfb_.readLine()).trimmed();
    }
    if (number.isEmpty()) return;
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("DISPLAY", ":" + number);
    env_.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.path()));
    if (!managed) {
      ready_ = true;
      return;
    }
    wm_.setProcessEnvironment(env_);
    wm_.start("openbox", {"--sm-disable"});
    if (!wm_.waitForStarted()) return;
    // The window manager has taken the screen once it names its check window on the root.
    // A loaded machine may take its time, and a manager that gave up is started again.
    int restarts = 0;
    for (int i = 0; i < 1200 && !ready_; ++i) {
      ready_ = Output("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id");
      if (ready_) break;
      if (wm_.state() == QProcess::NotRunning && restarts++ < 3) {
        wm_.start("openbox", {"--sm-disable"});
        if (!wm_.waitForStarted()) return;
      }
      QThread::msleep(50);
    }
  }
  ~XScreen() {
    Stop(wm_);
    Stop(xvfb_);
  }
  XScreen(const XScreen&) = delete;
  XScreen& operator=(const XScreen&) = delete;

  bool ready() const { return ready_; }
  const QProcessEnvironment& env() const { return env_; }
  // What a program run on this screen writes to its standard output.
  QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessEnvironment(env_);
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
  }
  // A key pressed on the keyboard: it goes to the window that has the focus.
  void Key(const char* key) {
    QProcess p;
    p.setProcessEnvironment(env_);
    p.start("xdotool", {"key", key});
    EXPECT_TRUE(p.waitForFinished(30000) && p.exitCode() == 0) << key;
  }
  // The whole screen as a player sees it; QUENMAR_UI_SHOTS=DIR keeps it for a look.
  QImage Shot(const std::string& dir, const std::string& name) {
    const std::string file = dir + "/" + name;
    Output("import", {"-window", "root", QString::fromStdString(file)});
    QImage img(QString::fromStdString(file));
    if (const char* keep = std::getenv("QUENMAR_UI_SHOTS"); keep && *keep && !img.isNull())
      img.save(QString::fromStdString(std::string(keep) + "/" + name));
    return img;
  }

 private:
  static void Stop(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(5000)) {
      p.kill();
      p.waitForFinished();
    }
  }
  testing_support::TempDir runtime_;
  QProcess xvfb_, wm_;
  QProcessEnvironment env_;
  bool ready_ = false;
};

// A point of a JSON answer's fields, rounded to the pixel.
inline QPoint PointOf(const Json& j, const char* x = "x", const char* y = "y") {
  return {static_cast<int>(std::lrint(j[x].get<double>())), static_cast<int>(std::lrint(j[y].get<double>()))};
}

inline void Xdo(const QStringList& args) { EXPECT_EQ(QProcess::execute("xdotool", args), 0) << args.join(' ').toStdString(); }
inline void Click(QPoint p) { Xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"}); }
inline void Key(const char* key) { Xdo({"key", key}); }

inline Json FindWindow(const Json& list, const std::string& name) {
  if (list.is_array())
    for (const auto& w : list)
      if (w["name"] == name) return w;
  return nullptr;
}

// The game's data as the build made it, copied so that what a run writes stays out of it.
inline void CopyGameData(const testing_support::TempDir& to) {
  namespace fs = std::filesystem;
  const fs::path from = fs::path(QUENMAR_GAME).parent_path();
  for (const char* name : {"Buildings", "Textures"})
    fs::copy(from / name, fs::path(to.path()) / name, fs::copy_options::recursive);
  for (const auto& e : fs::directory_iterator(from))
    if (e.is_regular_file() && e.path().extension() == ".txt" && e.path().filename() != "options.txt")
      fs::copy(e.path(), fs::path(to.path()) / e.path().filename());
}

}  // namespace ui_test
