#pragma once
// The game program driven through its console, as the window tests a player's session with:
// real pointer moves, clicks and keys through the X server, the game's state read back.
#include <gtest/gtest.h>

#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>
#include <nlohmann/json.hpp>
#include <cmath>
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
