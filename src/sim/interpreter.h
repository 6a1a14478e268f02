#pragma once
#include <functional>
#include <iosfwd>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "shell/session.h"

namespace sim {

// A command that cannot run: bad arguments, a refused file, an unknown name.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs script lines against a session: one command per line, '#' comments and blank lines
// skipped, JSON answers on one line each, problems as "error: line N: ..." on `err`.
class Interpreter {
 public:
  using Args = std::vector<std::string>;
  using Command = std::function<void(Interpreter&, const Args&)>;

  Interpreter(shell::Session& session, std::ostream& out, std::ostream& err);

  void Register(const std::string& name, Command command);
  // Work that follows every day a script passes while a game runs (the game-over check).
  void AddAfterDay(std::function<void(Interpreter&)> step) { after_day_.push_back(std::move(step)); }
  void AfterDay() {
    for (auto& step : after_day_) step(*this);
  }

  // Runs one line; returns false when the command failed.
  bool RunLine(const std::string& line, int line_number);
  // Runs every line of `in`; returns the exit status (1 when any command failed).
  int RunScript(std::istream& in);

  shell::Session& session() { return session_; }
  core::Game& game() { return session_.game; }
  void Print(const nlohmann::json& value);

  // Argument helpers that throw CommandError with a clear text.
  static int ArgInt(const Args& args, std::size_t i, const char* what);
  static double ArgDouble(const Args& args, std::size_t i, const char* what);
  static bool ArgOnOff(const Args& args, std::size_t i);
  static void ExpectArgs(const Args& args, std::size_t min, std::size_t max);

 private:
  shell::Session& session_;
  std::ostream& out_;
  std::ostream& err_;
  std::map<std::string, Command> commands_;
  std::vector<std::function<void(Interpreter&)>> after_day_;
};

// Command sets, each in its own file.
void RegisterGameCommands(Interpreter& in);
void RegisterReadoutCommands(Interpreter& in);
void RegisterRulesCommands(Interpreter& in);
void RegisterTrafficCommands(Interpreter& in);
void RegisterHiScoreCommands(Interpreter& in);
void RegisterViewCommands(Interpreter& in);
void RegisterHudCommands(Interpreter& in);

// The HUD's own state by name (cat_scroll, list_scroll, amounts, over_hud, ...).
nlohmann::json HudStateJson(shell::Session& s);
void RegisterSaveCommands(Interpreter& in);
// The advisor's explanations (`why`) and the day's ledger.
void RegisterAdvisorCommands(Interpreter& in);
// The guided first colony (`tutorial start`, `tutorial`, `tutorial skip`).
void RegisterTutorialCommands(Interpreter& in);

// Registers every command set.
void RegisterAllCommands(Interpreter& in);

}  // namespace sim
