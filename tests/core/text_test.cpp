#include "core/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/errors.h"
#include "support/test_data.h"

using core::DecodeText;
using core::SplitLines;
using Lines = std::vector<std::string>;

TEST(TextLines, LineBreaksOfAllKindsEndLines) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\n\n"), (Lines{"", ""}));
}

TEST(TextLines, FinalLineBreakAddsNoLine) {
  EXPECT_EQ(SplitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitLines("a\r\nb"), (Lines{"a", "b"}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextLines, BlanksAreKept) {
  EXPECT_EQ(SplitLines("  a \t\r\n"), (Lines{"  a \t"}));
}

TEST(TextLines, LongLinesAreCutToTheirFirst4096Characters) {
  const auto lines = SplitLines(std::string(5000, 'x') + "\r\nnext");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(4096, 'x'));
  EXPECT_EQ(lines[1], "next");
  // Characters, not bytes: a Cyrillic line keeps 4096 letters of two bytes each.
  std::string cyr;
  for (int i = 0; i < 5000; ++i) cyr += "\xD0\x96";
  EXPECT_EQ(SplitLines(cyr)[0].size(), 4096u * 2);
}

TEST(TextLines, MissingLineReadsEmpty) {
  const Lines lines{"a"};
  EXPECT_EQ(core::LineAt(lines, 0), "a");
  EXPECT_EQ(core::LineAt(lines, 5), "");
}

TEST(TextDecoding, ByteOrderMarksSelectTheEncoding) {
  EXPECT_EQ(DecodeText("\xEF\xBB\xBFhi"), "hi");
  EXPECT_EQ(DecodeText(std::string("\xFF\xFEh\0i\0", 6)), "hi");
  EXPECT_EQ(DecodeText(std::string("\xFE\xFF\0h\0i", 6)), "hi");
  // UTF-16 little endian: Cyrillic Zhe and a surrogate pair (U+1F600).
  EXPECT_EQ(DecodeText(std::string("\xFF\xFE\x16\x04\x3D\xD8\x00\xDE", 8)), "\xD0\x96\xF0\x9F\x98\x80");
}

TEST(TextDecoding, WithoutMarkValidUtf8IsKeptElseWindows1251) {
  EXPECT_EQ(DecodeText("\xD0\x9F\xD1\x80\xD0\xB8"), "\xD0\x9F\xD1\x80\xD0\xB8");  // "При" in UTF-8
  EXPECT_EQ(DecodeText("\xCF\xF0\xE8"), "\xD0\x9F\xD1\x80\xD0\xB8");              // "При" in 1251
  EXPECT_EQ(DecodeText("\xA8\xB8\xB9"), "\xD0\x81\xD1\x91\xE2\x84\x96");          // Ё ё №
}

TEST(TextNumbers, IntegersAndBooleans) {
  EXPECT_EQ(core::ParseInt("42"), 42);
  EXPECT_EQ(core::ParseInt(" -7 "), -7);
  EXPECT_EQ(core::ParseInt("+3"), 3);
  EXPECT_EQ(core::ParseInt("-2147483648"), INT32_MIN);
  EXPECT_FALSE(core::ParseInt("2147483648"));
  EXPECT_FALSE(core::ParseInt("12a"));
  EXPECT_FALSE(core::ParseInt(""));
  EXPECT_FALSE(core::ParseInt("1.5"));
  for (const char* t : {"True", "true", "TRUE", "1", "-1", "7"}) EXPECT_EQ(core::ParseBool(t), true) << t;
  for (const char* f : {"False", "false", "0"}) EXPECT_EQ(core::ParseBool(f), false) << f;
  EXPECT_FALSE(core::ParseBool("yes"));
}

TEST(TextFiles, WriteThenReadRoundTripsWithCrLf) {
  testing_support::TempDir dir;
  const std::string path = dir.path() + "/out.txt";
  core::WriteLines(path, {"one", "", "\xD0\x96"});
  EXPECT_EQ(dir.Read("out.txt"), "one\r\n\r\n\xD0\x96\r\n");
  EXPECT_EQ(core::ReadLines(path), (Lines{"one", "", "\xD0\x96"}));
  core::WriteLines(path, {"x"}, /*bom=*/true);
  EXPECT_EQ(dir.Read("out.txt"), "\xEF\xBB\xBFx\r\n");
}

// The file is written under a new name of its own and renamed over the old: a link planted
// at the name a temporary once had is never followed.
TEST(TextFiles, WritingNeverFollowsALinkAtTheTemporaryName) {
  testing_support::TempDir dir;
  const std::string path = dir.path() + "/leaders.hof";
  std::ofstream(dir.path() + "/victim.txt") << "keep me";
  std::filesystem::create_symlink(dir.path() + "/victim.txt", path + ".tmp");
  core::WriteLines(path, {"a"});
  EXPECT_EQ(dir.Read("leaders.hof"), "a\r\n");
  EXPECT_EQ(dir.Read("victim.txt"), "keep me");
  EXPECT_TRUE(std::filesystem::is_symlink(path + ".tmp"));
  // Nothing else is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 3);
}

TEST(TextFiles, MissingFileIsAnErrorNamingIt) {
  testing_support::TempDir dir;
  try {
    core::ReadLines(dir.path() + "/nope.txt");
    FAIL();
  } catch (const core::DataError& e) {
    EXPECT_NE(std::string(e.what()).find("nope.txt"), std::string::npos);
  }
}

TEST(TextSentence, EndsWithTheFullStopOfItsScriptOnce) {
  const std::pair<std::string, std::string> cases[] = {
      {"Nothing was lost", "Nothing was lost."},
      {"Nothing was lost.  ", "Nothing was lost."},
      {"Really?", "Really?"},
      {"Wait\u2026", "Wait\u2026"},
      {"Ничего не потеряно", "Ничего не потеряно."},
      {"Séisme ! Bâtiments détruits: aucun", "Séisme ! Bâtiments détruits: aucun."},
      {"地震！被毁的建筑: 无，殖民地安然无恙", "地震！被毁的建筑: 无，殖民地安然无恙\u3002"},
      {"无法升级\u3002", "无法升级\u3002"},
      {"真的吗\uFF1F", "真的吗\uFF1F"},
      {"当前额度: 120000", "当前额度: 120000."},
      {"", ""},
  };
  for (const auto& [text, sentence] : cases) EXPECT_EQ(core::Sentence(text), sentence) << text;
}
