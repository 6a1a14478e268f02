#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "sim_support.h"

using testing_support::PlainType;
using testing_support::SimFixture;

TEST(SimGame, StateNamesEveryVariable) {
  SimFixture sim;
  const auto s = sim.One("state");
  for (const char* name : {"money", "food", "raw", "products", "population", "days_left", "day",
                           "energy_ratio", "pers_ratio", "level", "game_over", "sandbox",
                           "day_length", "traded", "wage_bill", "bldg_count", "catalog_count"})
    EXPECT_TRUE(s.contains(name)) << name;
  EXPECT_EQ(s["game_over"], true);
  EXPECT_EQ(s["level"], 0);
  EXPECT_EQ(s["load_status"], "Done loading");
}

TEST(SimGame, NewGameSetAndDays) {
  SimFixture sim;
  const auto r = sim.Run("# a comment\n\nevents off\nnew 5\nset money 1234\nday 3\nstate\nmessages\nmessages\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 3u);
  EXPECT_EQ(r.out[0]["level"], 5);
  EXPECT_EQ(r.out[0]["day"], 3);
  EXPECT_EQ(r.out[0]["days_left"], 597);
  ASSERT_EQ(r.out[1].size(), 1u);
  EXPECT_EQ(r.out[1][0]["kind"], 0);
  EXPECT_EQ(r.out[1][0]["text"], "E33\r\nE34: 5.\r\nE35: 25000; E36: 100.");
  EXPECT_TRUE(r.out[2].empty());
}

TEST(SimGame, SetReachesEveryKindOfVariable) {
  SimFixture sim;
  const auto s = sim.One("set day 29\nset day_length 0.5\nset sandbox_option true\nset locale_code ru\nstate");
  EXPECT_EQ(s["day"], 29);
  EXPECT_EQ(s["day_length"], 0.5);
  EXPECT_EQ(s["sandbox_option"], true);
  EXPECT_EQ(s["locale_code"], "ru");
}

TEST(SimGame, SandboxGamesKeepTheirTimeLimit) {
  SimFixture sim;
  const auto s = sim.One("sandbox on\nevents off\nnew 10\nday 40\nstate");
  EXPECT_EQ(s["sandbox"], true);
  EXPECT_EQ(s["days_left"], 300);
  EXPECT_EQ(s["day"], 10);
}

TEST(SimGame, CatalogAndPlacedListEveryField) {
  auto farm = PlainType(4);
  farm.upch = 0;
  farm.food = 12;
  auto house = PlainType(2);
  house.upch = 1;
  house.living = 50;
  SimFixture sim({{4, farm}, {2, house}});
  const auto c = sim.One("catalog");
  EXPECT_EQ(c["catalog_count"], 2);
  ASSERT_EQ(c["entries"].size(), 2u);
  EXPECT_EQ(c["entries"][0]["id"], 4);
  EXPECT_EQ(c["entries"][0]["food"], 12);
  EXPECT_EQ(c["entries"][0]["name"], "E185");
  EXPECT_EQ(c["entries"][1]["living"], 50);
  EXPECT_EQ(c["entries"][1].size(), 32u);
  const auto p = sim.One("placed");
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0]["slot"], 0);
  EXPECT_EQ(p[0]["id"], 4);
  EXPECT_EQ(p[0]["x"], 15);
}

TEST(SimGame, LocaleEntries) {
  SimFixture sim;
  EXPECT_EQ(sim.One("locale 33"), (nlohmann::json{{"n", 33}, {"text", "E33"}}));
  EXPECT_EQ(sim.One("locale 0")["text"], "");
}

TEST(SimGame, AByteOrderMarkBeforeTheFirstCommandIsSkipped) {
  SimFixture sim;
  const auto r = sim.Run("\xEF\xBB\xBFlocale 33\r\nlocale 34\r\n");
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.size(), 2u);
  EXPECT_EQ(r.out[0]["text"], "E33");
  // Only the very first line may carry the mark.
  EXPECT_EQ(sim.Run("state\n\xEF\xBB\xBFstate\n").status, 1);
}

TEST(SimGame, ScriptLinesMayEndInCarriageReturnsAlone) {
  SimFixture sim;
  const auto r = sim.Run("locale 33\rlocale 34\r\rfrobnicate\r\nlocale 35");
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(r.out.size(), 3u);
  EXPECT_EQ(r.out[1]["text"], "E34");
  EXPECT_EQ(r.out[2]["text"], "E35");
  // The blank line between the CRs still counts.
  EXPECT_NE(r.err.find("error: line 4: "), std::string::npos) << r.err;
}

TEST(SimGame, ProblemsAreReportedWithTheirLineAndTheScriptGoesOn) {
  SimFixture sim;
  const auto r = sim.Run("frobnicate\nset nothing 1\nset money lots\nday -1\nlocale 10001\nnew\nstate\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.size(), 1u);
  for (int line = 1; line <= 6; ++line)
    EXPECT_NE(r.err.find("error: line " + std::to_string(line) + ": "), std::string::npos) << r.err;
}

TEST(SimGame, TheSameSeedPlaysTheSameGame) {
  SimFixture a, b;
  auto sa = a.One("new 10\nday 60\nstate");
  auto sb = b.One("new 10\nday 60\nstate");
  sa.erase("exe_dir");
  sb.erase("exe_dir");
  EXPECT_EQ(sa, sb);
}

namespace {

struct Process {
  std::string out;
  int status;
};

Process RunSim(const std::string& args, const std::string& input) {
  testing_support::TempDir tmp;
  const std::string in = tmp.path() + "/in.txt";
  std::ofstream(in) << input;
  const std::string cmd = std::string(QUENMAR_BUILD_DIR) + "/quenmar-sim " + args + " < " + in + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  Process r{"", -1};
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace

TEST(SimProgram, ReadsStandardInputAndSetsTheExitStatus) {
  testing_support::TempDir data;
  testing_support::WriteMinimalData(data, {{0, PlainType(0)}});
  const auto ok = RunSim("--data " + data.path() + " --seed 3", "locale 2\n");
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "{\"n\":2,\"text\":\"E2\"}\n");
  const auto bad = RunSim("--data " + data.path(), "nope\nlocale 1\n");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("error: line 1: "), std::string::npos);
  EXPECT_NE(bad.out.find("\"E1\""), std::string::npos);
}

TEST(SimProgram, FailedStartUpExitsWithOne) {
  testing_support::TempDir empty;
  const auto r = RunSim("--data " + empty.path(), "state\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("loc_en.txt"), std::string::npos);
  testing_support::TempDir data;
  testing_support::WriteMinimalData(data, {{0, PlainType(0)}}, "ru");
  EXPECT_EQ(RunSim("--data " + data.path() + " --lang ru", "locale 1\n").status, 0);
  EXPECT_EQ(RunSim("--data " + data.path() + " --lang de", "locale 1\n").status, 1);
}
