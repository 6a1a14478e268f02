// A disaster called between ticks (the Disasters menu, a script's `event`) is counted in the
// day the next tick closes: every stock the advisor balances still adds up.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <cstdint>
#include <sstream>
#include <string>

#include "shell/session.h"
#include "sim/interpreter.h"

namespace {

TEST(DisasterLedger, ADisasterBetweenTicksKeepsEveryBalanceAddingUp) {
  // 4 pirate raid, 8 earthquake, 9 food spoiled, each alone and one after another.
  for (const std::string events : {"event 4\n", "event 8\n", "event 9\n", "event 9\nevent 4\nevent 8\n"}) {
    SCOPED_TRACE(events);
    shell::Session s;
    s.SetRecording(true);
    s.StartUp(QUENMAR_BUILD_DIR, 3);
    std::ostringstream out, err;
    sim::Interpreter in(s, out, err);
    sim::RegisterAllCommands(in);
    std::istringstream script("new 10\nevents off\nday 2\n" + events + "day 1\nwhy\n");
    ASSERT_EQ(in.RunScript(script), 0) << err.str();
    std::string last;
    std::istringstream lines(out.str());
    for (std::string l; std::getline(lines, l);) last = l;
    int balanced = 0;
    for (const auto& e : nlohmann::json::parse(last)) {
      if (!e.contains("balance")) continue;
      ++balanced;
      uint32_t sum = static_cast<uint32_t>(e["balance"]["before"].get<int32_t>());
      for (const auto& [term, value] : e["balance"]["terms"].items()) sum += static_cast<uint32_t>(value.get<int32_t>());
      EXPECT_EQ(static_cast<int32_t>(sum), e["balance"]["after"].get<int32_t>()) << e.dump();
    }
    EXPECT_GT(balanced, 0);
  }
}

}  // namespace
