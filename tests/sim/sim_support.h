#pragma once
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "shell/session.h"
#include "sim/interpreter.h"
#include "support/test_data.h"

namespace testing_support {

// What a script printed: its JSON lines, its error text and its exit status.
struct ScriptRun {
  std::vector<nlohmann::json> out;
  std::string err;
  int status = 0;
};

// A started headless game on a test data folder, ready to run script text.
class SimFixture {
 public:
  explicit SimFixture(const std::map<int, core::building>& buildings = {{0, PlainType(0)}},
                      uint32_t seed = 1) {
    WriteMinimalData(dir, buildings);
    session.SetRecording(true);
    session.StartUp(dir.path(), seed);
  }
  ScriptRun Run(const std::string& script) {
    std::ostringstream out, err;
    sim::Interpreter in(session, out, err);
    sim::RegisterAllCommands(in);
    std::istringstream src(script);
    ScriptRun r;
    r.status = in.RunScript(src);
    r.err = err.str();
    std::istringstream lines(out.str());
    for (std::string l; std::getline(lines, l);) r.out.push_back(nlohmann::json::parse(l));
    return r;
  }
  // The one JSON answer of a script that must print exactly one line.
  nlohmann::json One(const std::string& script) {
    auto r = Run(script);
    if (r.out.size() != 1 || r.status != 0) throw std::runtime_error("script did not print one line: " + r.err);
    return r.out[0];
  }

  TempDir dir;
  shell::Session session;
};

}  // namespace testing_support
