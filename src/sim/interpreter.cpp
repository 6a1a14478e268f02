#include "sim/interpreter.h"

#include <istream>
#include <ostream>
#include <sstream>

#include "core/errors.h"
#include "core/text.h"

namespace sim {

Interpreter::Interpreter(shell::Session& session, std::ostream& out, std::ostream& err)
    : session_(session), out_(out), err_(err) {}

void Interpreter::Register(const std::string& name, Command command) {
  commands_[name] = std::move(command);
}

void Interpreter::Print(const nlohmann::json& value) {
  out_ << value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
  out_.flush();
}

bool Interpreter::RunLine(const std::string& raw, int line_number) {
  std::istringstream words(raw);
  Args args;
  for (std::string w; words >> w;) args.push_back(w);
  if (args.empty() || args[0].starts_with('#')) return true;
  const std::string name = args[0];
  args.erase(args.begin());
  try {
    const auto it = commands_.find(name);
    if (it == commands_.end()) throw CommandError("unknown command '" + name + "'");
    it->second(*this, args);
    return true;
  } catch (const CommandError& e) {
    err_ << "error: line " << line_number << ": " << e.what() << '\n';
  } catch (const core::DataError& e) {
    err_ << "error: line " << line_number << ": " << e.what() << '\n';
  }
  return false;
}

int Interpreter::RunScript(std::istream& in) {
  int status = 0, n = 0;
  for (std::string chunk; std::getline(in, chunk);) {
    // Lines end at LF, CR LF or a lone CR, as in every text file the game reads; reading
    // up to each LF keeps standard input usable as a console.
    if (!chunk.empty() && chunk.back() == '\r') chunk.pop_back();
    for (std::size_t start = 0;;) {
      const std::size_t cr = chunk.find('\r', start);
      std::string line = chunk.substr(start, cr == std::string::npos ? std::string::npos : cr - start);
      // Scripts saved by Windows editors start with a UTF-8 byte-order mark, which is no
      // part of the first command.
      if (n == 0 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
      if (!RunLine(line, ++n)) status = 1;
      if (cr == std::string::npos) break;
      start = cr + 1;
    }
  }
  return status;
}

int Interpreter::ArgInt(const Args& args, std::size_t i, const char* what) {
  if (i >= args.size()) throw CommandError(std::string("missing ") + what);
  const auto v = core::ParseInt(args[i]);
  if (!v) throw CommandError(std::string("not an integer for ") + what + ": '" + args[i] + "'");
  return *v;
}

double Interpreter::ArgDouble(const Args& args, std::size_t i, const char* what) {
  if (i >= args.size()) throw CommandError(std::string("missing ") + what);
  std::size_t used = 0;
  double v = 0;
  try {
    v = std::stod(args[i], &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != args[i].size())
    throw CommandError(std::string("not a number for ") + what + ": '" + args[i] + "'");
  return v;
}

bool Interpreter::ArgOnOff(const Args& args, std::size_t i) {
  if (i < args.size() && args[i] == "on") return true;
  if (i < args.size() && args[i] == "off") return false;
  throw CommandError("expected 'on' or 'off'");
}

void Interpreter::ExpectArgs(const Args& args, std::size_t min, std::size_t max) {
  if (args.size() < min || args.size() > max) {
    std::ostringstream s;
    s << "expected " << min;
    if (max != min) s << " to " << max;
    s << " argument" << (max == 1 ? "" : "s") << ", got " << args.size();
    throw CommandError(s.str());
  }
}

void RegisterAllCommands(Interpreter& in) {
  RegisterGameCommands(in);
  RegisterReadoutCommands(in);
  RegisterRulesCommands(in);
  RegisterTrafficCommands(in);
  RegisterHiScoreCommands(in);
  RegisterViewCommands(in);
  RegisterHudCommands(in);
  RegisterSaveCommands(in);
  RegisterAdvisorCommands(in);
  RegisterTutorialCommands(in);
}

}  // namespace sim
