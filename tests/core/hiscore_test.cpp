#include "core/hiscore.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/text.h"
#include "support/test_data.h"

using core::HiScores;
using core::OkResult;
using core::score;
using Lines = std::vector<std::string>;

namespace {

class ErrorRecorder : public core::Host {
 public:
  void ErrorBox(const std::string& text) override { errors.push_back(text); }
  std::vector<std::string> errors;
};

class HiScoreTest : public ::testing::Test {
 protected:
  HiScoreTest() {
    g.exe_dir = dir.path();
    g.host = &host;
    g.locale_table[124] = "easy";
    g.locale_table[125] = "normal";
    g.locale_table[126] = "hard";
  }

  // The file as 300 lines of groups, padded with empty groups of 0 points.
  void WriteTable(const std::vector<score>& entries) const {
    Lines lines;
    for (const auto& s : entries) {
      lines.push_back(s.name);
      lines.push_back(std::to_string(s.level));
      lines.push_back(std::to_string(s.points));
    }
    dir.WriteLines("leaders.hof", lines);
  }

  Lines FileLines() const { return core::SplitLines(core::DecodeText(dir.Read("leaders.hof"))); }

  // What game over does: the score is set and the window opens with OK enabled.
  void FinishGame(int level, int points) {
    g.score_entry = score{"", level, points};
    core::ShowHiScores(g, hs, true);
  }

  testing_support::TempDir dir;
  ErrorRecorder host;
  core::Game g;
  HiScores hs;
};

}  // namespace

TEST_F(HiScoreTest, MissingFileLeavesTheListAsItIs) {
  EXPECT_TRUE(core::MakeList(g, hs).empty());
  EXPECT_EQ(hs.list[0], score{});

  hs.list[0] = score{"Ada", 5, 40};
  EXPECT_EQ(core::MakeList(g, hs), (Lines{"Ada (normal) - 40"}));
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/leaders.hof"));
}

TEST_F(HiScoreTest, ShortGroupResetsItsPositionAndLaterPositionsKeepTheirs) {
  // Seven lines: two complete groups and the name of a third.
  dir.WriteLines("leaders.hof", {"Ann", "5", "300", "Bob", "10", "700", "Cyd"});
  hs.list[2] = score{"was here", 1, 900};
  hs.list[3] = score{"kept", 1, 50};
  core::MakeList(g, hs);
  EXPECT_EQ(hs.list[0], (score{"Bob", 10, 700}));
  EXPECT_EQ(hs.list[1], (score{"Ann", 5, 300}));
  EXPECT_EQ(hs.list[2], (score{"kept", 1, 50}));
  EXPECT_EQ(hs.list[3], (score{"", 10, 0}));
  EXPECT_EQ(hs.lines, (Lines{"Bob (easy) - 700", "Ann (normal) - 300", "kept (hard) - 50"}));
}

TEST_F(HiScoreTest, PositionAfterTheLastCompleteGroupIsReset) {
  hs.list[1] = score{"old", 10, 5};
  hs.list[2] = score{"older", 10, 4};
  dir.WriteLines("leaders.hof", {"Ann", "5", "300"});
  core::MakeList(g, hs);
  EXPECT_EQ(hs.list[0], (score{"Ann", 5, 300}));
  EXPECT_EQ(hs.list[1], (score{"older", 10, 4}));
  EXPECT_EQ(hs.list[2], (score{"", 10, 0}));

  // An empty file resets position 0 only.
  HiScores fresh;
  fresh.list[0] = score{"x", 1, 9};
  fresh.list[1] = score{"y", 1, 8};
  dir.Write("leaders.hof", "");
  core::MakeList(g, fresh);
  EXPECT_EQ(fresh.list[0], (score{"y", 1, 8}));
  EXPECT_EQ(fresh.list[1], (score{"", 10, 0}));
}

TEST_F(HiScoreTest, GroupThatDoesNotConvertBecomesAnEmptyEntry) {
  dir.WriteLines("leaders.hof", {"Ann", "five", "300", "Bob", "10", "70x", "Cyd", "1", "20", "Dee", "1", ""});
  core::MakeList(g, hs);
  EXPECT_EQ(hs.list[0], (score{"Cyd", 1, 20}));
  EXPECT_EQ(hs.list[1], (score{"", 10, 0}));
  EXPECT_EQ(hs.list[2], (score{"", 10, 0}));
  EXPECT_EQ(hs.list[3], (score{"", 10, 0}));
  EXPECT_EQ(hs.lines, (Lines{"Cyd (hard) - 20"}));
}

TEST_F(HiScoreTest, FullTableAndGroupsBeyondTheHundredth) {
  std::vector<score> entries;
  for (int i = 0; i < 120; ++i) entries.push_back(score{"p" + std::to_string(i), 5, 1000 + i});
  WriteTable(entries);
  hs.list[99] = score{"stale", 5, 1};
  core::MakeList(g, hs);
  // Only the first 100 groups count, so the best shown is p99; nothing is reset.
  EXPECT_EQ(hs.list[0], (score{"p99", 5, 1099}));
  EXPECT_EQ(hs.list[99], (score{"p0", 5, 1000}));
  EXPECT_EQ(hs.lines.size(), 100u);
}

TEST_F(HiScoreTest, OrderIsDescendingAndEqualPointsKeepTheirOrder) {
  WriteTable({{"a", 1, 10}, {"b", 1, 30}, {"c", 1, 10}, {"d", 1, 30}, {"e", 1, -5}, {"f", 1, 20}});
  core::MakeList(g, hs);
  Lines names;
  for (int i = 0; i < 5; ++i) names.push_back(hs.list[i].name);
  EXPECT_EQ(names, (Lines{"b", "d", "f", "a", "c"}));
  // Negative points sink below all the empty entries.
  EXPECT_EQ(hs.list[99], (score{"e", 1, -5}));
}

TEST_F(HiScoreTest, DisplayLinesSkipEntriesWithoutPointsAndReuseTheLastLevelName) {
  WriteTable({{"first", 7, 900}, {"Ann", 10, 800}, {"zero", 5, 0}, {"Bob", 3, 700},
              {"neg", 1, -4}, {"Cyd", 1, 600}, {"Dee", 99, 500}, {"Eve", 5, 400}});
  core::MakeList(g, hs);
  EXPECT_EQ(hs.lines, (Lines{"first () - 900", "Ann (easy) - 800", "Bob (easy) - 700",
                             "Cyd (hard) - 600", "Dee (hard) - 500", "Eve (normal) - 400"}));
  // What is not shown is still kept and saved.
  core::SaveList(g, hs);
  const Lines file = FileLines();
  EXPECT_NE(std::find(file.begin(), file.end(), "zero"), file.end());
  EXPECT_NE(std::find(file.begin(), file.end(), "-4"), file.end());
}

TEST_F(HiScoreTest, SavedFileIsThreeHundredLinesOfUtf8BehindAByteOrderMark) {
  hs.list[0] = score{"Жора", 1, 12};
  core::SaveList(g, hs);
  const std::string bytes = dir.Read("leaders.hof");
  ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
  EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF\xD0\x96\xD0\xBE\xD1\x80\xD0\xB0\r\n1\r\n12\r\n\r\n0\r\n0\r\n"));
  EXPECT_TRUE(bytes.ends_with("\r\n0\r\n0\r\n"));
  EXPECT_EQ(FileLines().size(), 300u);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/leaders.hof.tmp"));
}

TEST_F(HiScoreTest, FileWithoutByteOrderMarkIsReadInTheEightBitCodePage) {
  dir.Write("leaders.hof", "\xC6\xEE\xF0\xE0\r\n5\r\n77\r\n");
  core::MakeList(g, hs);
  EXPECT_EQ(hs.list[0], (score{"Жора", 5, 77}));
}

TEST_F(HiScoreTest, LongNamesSurviveSaveAndReload) {
  const std::string long_name(10000, 'n');
  std::string cyr;
  for (int i = 0; i < 5000; ++i) cyr += "\xD0\x96";
  hs.list[0] = score{long_name, 10, 3};
  hs.list[1] = score{cyr, 10, 2};
  hs.list[2] = score{"  spaced  ", 5, 1};
  core::SaveList(g, hs);
  HiScores reloaded;
  core::MakeList(g, reloaded);
  EXPECT_EQ(reloaded.list, hs.list);
}

TEST_F(HiScoreTest, OkIsDisabledUntilAGameIsOver) {
  g.score_entry = score{"", 10, 5000};
  EXPECT_EQ(core::AcceptScore(g, hs, "early"), OkResult::kDisabled);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/leaders.hof"));
}

TEST_F(HiScoreTest, NewBestScoreReplacesTheLowestAndIsShownInItsPlace) {
  WriteTable({{"Ann", 5, 9000}, {"Bob", 10, 100}});
  FinishGame(1, 5000);
  EXPECT_EQ(core::AcceptScore(g, hs, "Cyd"), OkResult::kRecorded);
  // Written before the reload: the new entry is the file's last group.
  const Lines file = FileLines();
  ASSERT_EQ(file.size(), 300u);
  EXPECT_EQ((Lines{file[297], file[298], file[299]}), (Lines{"Cyd", "1", "5000"}));
  EXPECT_EQ(hs.lines, (Lines{"Ann (normal) - 9000", "Cyd (hard) - 5000", "Bob (easy) - 100"}));
  EXPECT_EQ(g.score_entry.name, "Cyd");
  EXPECT_TRUE(hs.accepted);

  // One entry per finished game.
  EXPECT_EQ(core::AcceptScore(g, hs, "Cyd again"), OkResult::kDisabled);
  EXPECT_EQ(hs.lines.size(), 3u);

  // The next game over opens it again.
  FinishGame(10, 6000);
  EXPECT_EQ(core::AcceptScore(g, hs, "Dee"), OkResult::kRecorded);
  EXPECT_EQ(hs.lines, (Lines{"Ann (normal) - 9000", "Dee (easy) - 6000", "Cyd (hard) - 5000",
                             "Bob (easy) - 100"}));
}

TEST_F(HiScoreTest, ScoreNotBeatingTheLowestIsNotRecordedButTheFileIsRewritten) {
  std::vector<score> full;
  for (int i = 0; i < 100; ++i) full.push_back(score{"p" + std::to_string(i), 5, 1000 - i});
  WriteTable(full);
  FinishGame(5, 901);  // equal to the lowest: not enough
  std::filesystem::remove(dir.path() + "/leaders.hof");
  EXPECT_EQ(core::AcceptScore(g, hs, "Low"), OkResult::kNotRecorded);
  EXPECT_TRUE(hs.accepted);
  const Lines file = FileLines();
  ASSERT_EQ(file.size(), 300u);
  EXPECT_EQ(std::find(file.begin(), file.end(), "Low"), file.end());
  EXPECT_EQ(file[299], "901");
  EXPECT_EQ(g.score_entry.name, "");
}

TEST_F(HiScoreTest, EmptyNameIsAcceptedAndLineBreaksInANameCannotShiftTheFile) {
  FinishGame(10, 50);
  EXPECT_EQ(core::AcceptScore(g, hs, ""), OkResult::kRecorded);
  EXPECT_EQ(hs.lines, (Lines{" (easy) - 50"}));

  FinishGame(5, 70);
  EXPECT_EQ(core::AcceptScore(g, hs, "two\r\nlines\n99"), OkResult::kRecorded);
  EXPECT_EQ(hs.lines, (Lines{"two  lines 99 (normal) - 70", " (easy) - 50"}));
  EXPECT_EQ(FileLines().size(), 300u);
}

TEST_F(HiScoreTest, FailedWriteIsReportedAndKeepsTheButtonEnabled) {
  // A folder in the file's place cannot be replaced.
  std::filesystem::create_directory(dir.path() + "/leaders.hof");
  FinishGame(10, 400);
  EXPECT_EQ(core::AcceptScore(g, hs, "Ann"), OkResult::kWriteFailed);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("leaders.hof"), std::string::npos);
  EXPECT_FALSE(hs.accepted);
  EXPECT_EQ(hs.list[99], (score{"Ann", 10, 400}));

  // Pressing again once the file can be written does not enter the score twice.
  std::filesystem::remove(dir.path() + "/leaders.hof");
  EXPECT_EQ(core::AcceptScore(g, hs, "Ann"), OkResult::kNotRecorded);
  EXPECT_EQ(hs.lines, (Lines{"Ann (easy) - 400"}));
  EXPECT_TRUE(hs.accepted);
}

TEST_F(HiScoreTest, SavedAndReloadedListEqualsWhatWasShown) {
  core::Rng rng(7);
  for (int round = 0; round < 50; ++round) {
    HiScores shown;
    for (auto& s : shown.list) {
      std::string name;
      const int len = rng.Random(12);
      for (int i = 0; i < len; ++i) name += static_cast<char>('a' + rng.Random(26));
      const int levels[] = {1, 5, 10, 3};
      s = score{name, levels[rng.Random(4)], rng.Random(2001) - 500, rng.Random(3)};
    }
    core::SaveList(g, shown);
    core::MakeList(g, shown);
    HiScores reloaded;
    core::MakeList(g, reloaded);
    ASSERT_EQ(reloaded.list, shown.list);
    ASSERT_EQ(reloaded.lines, shown.lines);
    for (int i = 0; i + 1 < core::kHiScoreEntries; ++i) ASSERT_GE(shown.list[i].points, shown.list[i + 1].points);
  }
}

// A game played with rare or no disasters, or rewound, keeps its marks through the file and
// shows them, both together too; a table written before the marks existed reads as played
// by the rules and not rewound, and the marked file keeps the old layout (a reader without
// marks sees them as part of the name).
TEST_F(HiScoreTest, TheDisastersMarkRoundTripsAndOlderTablesReadAsTheRules) {
  g.locale_table[544] = "rare disasters";
  g.locale_table[545] = "no disasters";
  g.locale_table[core::kLocRewoundMark] = "rewound";
  WriteTable({{"Ann", 5, 9000}, {"Tab\tin name", 10, 100}});
  core::MakeList(g, hs);
  EXPECT_EQ(hs.list[0], (score{"Ann", 5, 9000, core::kDisastersRules}));
  EXPECT_EQ(hs.list[1], (score{"Tab\tin name", 10, 100, core::kDisastersRules}));

  const struct {
    int32_t disasters;
    bool rewound;
    std::string typed, name_line, shown;
  } cases[] = {
      {core::kDisastersRare, false, "Cyd", "Cyd\t[disasters rare]", "Cyd (hard) - 5000 [rare disasters]"},
      {core::kDisastersOff, false, "Dee", "Dee\t[disasters off]", "Dee (hard) - 5001 [no disasters]"},
      // A typed tab cannot forge a mark.
      {core::kDisastersRules, false, "Eve\t[disasters off]", "Eve [disasters off]", "Eve [disasters off] (hard) - 5002"},
      {core::kDisastersRules, true, "Fay", "Fay\t[rewound]", "Fay (hard) - 5003 [rewound]"},
      {core::kDisastersOff, true, "Gil", "Gil\t[disasters off]\t[rewound]", "Gil (hard) - 5004 [no disasters] [rewound]"},
      {core::kDisastersRules, false, "Hal\t[rewound]", "Hal [rewound]", "Hal [rewound] (hard) - 5005"},
  };
  int32_t points = 5000;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name_line);
    g.score_entry = score{"", 1, points, c.disasters, c.rewound};
    core::ShowHiScores(g, hs, true);
    EXPECT_EQ(core::AcceptScore(g, hs, c.typed), OkResult::kRecorded);
    const Lines file = FileLines();
    ASSERT_EQ(file.size(), 300u);
    // The lowest position was taken: the entry is the file's last group, level and points
    // in the lines and form every reader takes.
    EXPECT_EQ((Lines{file[297], file[298], file[299]}), (Lines{c.name_line, "1", std::to_string(points)}));
    HiScores reloaded;
    core::MakeList(g, reloaded);
    EXPECT_EQ(reloaded.list[1].disasters, c.disasters);
    EXPECT_EQ(reloaded.list[1].rewound, c.rewound);
    EXPECT_EQ(reloaded.lines[1], c.shown);
    EXPECT_EQ(reloaded.list, hs.list);
    ++points;
  }
}
