// quenmar-sim: the game without a window, driven by a script.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "core/errors.h"
#include "core/text.h"
#include "shell/folders.h"
#include "shell/session.h"
#include "sim/interpreter.h"

namespace {

std::string ExecutableDir(const char* argv0) {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) p = std::filesystem::absolute(argv0, ec);
  return p.parent_path().string();
}

int Usage() {
  std::cerr << "usage: quenmar-sim [--data DIR] [--seed N] [--lang CODE] [SCRIPT]\n"
               "  the data folder defaults to QUENMAR_DATA, the program's folder or ../share/quenmar\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string data_option;
  std::string lang = "en";
  std::string script;
  uint32_t seed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--data" && has_value) {
      data_option = argv[++i];
    } else if (arg == "--seed" && has_value) {
      const auto v = core::ParseInt(argv[++i]);
      if (!v) return Usage();
      seed = static_cast<uint32_t>(*v);
    } else if (arg == "--lang" && has_value) {
      lang = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    } else if (!arg.starts_with("--") && script.empty()) {
      script = arg;
    } else {
      return Usage();
    }
  }

  const shell::GameFolders folders =
      shell::FindGameFolders(shell::HintsFromEnvironment(ExecutableDir(argv[0]), data_option));
  shell::Session session;
  // Nobody is there to answer: questions are answered Yes, messages and errors recorded.
  session.SetRecording(true);
  session.game.locale_code = lang;
  shell::UseFolders(session.game, folders);
  try {
    session.StartUp(folders.data, seed);
  } catch (const core::DataError& e) {
    std::cerr << "error: start-up: " << e.what() << '\n';
    return 1;
  }

  sim::Interpreter interpreter(session, std::cout, std::cerr);
  sim::RegisterAllCommands(interpreter);
  if (script.empty()) return interpreter.RunScript(std::cin);
  std::ifstream in(script);
  if (!in) {
    std::cerr << "error: cannot open script " << script << '\n';
    return 1;
  }
  return interpreter.RunScript(in);
}
