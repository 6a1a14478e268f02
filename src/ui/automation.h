#pragma once
// The test and demo hooks of the game window: a script of simulator commands run on the
// live game after start-up, a console reading more of them from standard input while the
// game runs, and a frame count after which the 3D view is written to a PNG and the
// program ends.
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <iosfwd>
#include <memory>
#include <string>

#include "sim/interpreter.h"
#include "ui/command_line.h"
#include "ui/main_window.h"

namespace ui {

class Automation : public QObject {
  Q_OBJECT

 public:
  // Commands print their answers on `out` and their errors on `err`. `since_start` runs
  // from the program's start (for the timing report).
  Automation(MainWindow& window, const LaunchOptions& options, std::ostream& out, std::ostream& err,
             QElapsedTimer since_start = {});
  ~Automation() override;

  // Runs the --script file; false when it cannot be read or a command failed. Nothing
  // waits for a player meanwhile: messages are recorded, questions answered Yes.
  bool RunScript();
  // Starts the console and the frame count (call once the clocks are driven).
  void Start();
  // Runs one command line as the console would.
  bool RunLine(const std::string& line);

  // 1 once a command failed or the screenshot could not be written, else 0.
  int status() const { return status_; }
  int frames_seen() const { return frames_; }
  sim::Interpreter& interpreter() { return interpreter_; }

 private:
  void RegisterWindowCommands();
  void OnFrame();
  void ReadConsole();
  // Writes the screenshot (when asked for), reports the frame rate and ends the program.
  void Finish();
  bool WriteScreenshot(const std::string& file);

  MainWindow& window_;
  LaunchOptions options_;
  std::ostream& err_;
  sim::Interpreter interpreter_;
  std::unique_ptr<QSocketNotifier> console_;
  std::string console_buffer_;
  int console_line_ = 0;
  int frames_ = 0;
  bool finished_ = false;
  int status_ = 0;
  QElapsedTimer frame_clock_;
  QElapsedTimer since_start_;
};

}  // namespace ui
