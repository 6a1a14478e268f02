#include "shell/locale.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/errors.h"
#include "support/test_data.h"

using testing_support::TempDir;

namespace {

class Captions : public shell::CaptionSink {
 public:
  void SetCaption(const shell::CaptionEntry& c, const std::string& text) override {
    set.push_back(std::string(c.window) + "." + std::string(c.control) + "=" + text);
  }
  void SetCreditsText(const std::string& text) override { credits = text; }
  std::vector<std::string> set;
  std::string credits;
};

class Locale : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.WriteLines("sound_credits.txt", {"beeps: made here"});
    dir.Write("music_credits.txt", "tunes\nmade here");
    g.exe_dir = dir.path();
  }
  void WriteLanguage(const std::string& code, int lines, const std::string& prefix) {
    std::vector<std::string> l;
    for (int k = 1; k <= lines; ++k) l.push_back(prefix + std::to_string(k));
    dir.WriteLines("loc_" + code + ".txt", l);
  }
  TempDir dir;
  core::Game g;
  Captions sink;
};

}  // namespace

TEST_F(Locale, FillsTheTableAndPushesCaptionsAndCredits) {
  WriteLanguage("en", 180, "e");
  shell::ReadLocale(g, "en", &sink);
  EXPECT_EQ(g.locale_code, "en");
  EXPECT_EQ(g.Loc(1), "e1");
  EXPECT_EQ(g.Loc(180), "e180");
  EXPECT_EQ(g.Loc(0), "");
  EXPECT_EQ(sink.set.size(), shell::CaptionTable().size());
  EXPECT_EQ(sink.set.front(), "launcher.start_easy=e1");
  EXPECT_EQ(sink.set.back(), "credits.window_caption=e171");
  EXPECT_EQ(sink.credits,
            "--- QUENMAR ---\r\n\r\ne176\r\ne172\r\nbeeps: made here\r\n\r\n\r\n"
            "e173\r\ntunes\r\nmade here\r\n\r\ne174\r\ne175\r\n");
}

TEST_F(Locale, AShorterLanguageLeavesTheLongerOnesTail) {
  WriteLanguage("ru", 200, "r");
  WriteLanguage("en", 180, "e");
  shell::ReadLocale(g, "ru", &sink);
  shell::ReadLocale(g, "en", &sink);
  EXPECT_EQ(g.Loc(180), "e180");
  EXPECT_EQ(g.Loc(181), "r181");
  EXPECT_EQ(g.Loc(200), "r200");
}

TEST_F(Locale, AnEmptyFileChangesNothingButCaptionsAreSetAgain) {
  WriteLanguage("en", 180, "e");
  shell::ReadLocale(g, "en", &sink);
  dir.Write("loc_xx.txt", "");
  sink.set.clear();
  shell::ReadLocale(g, "xx", &sink);
  EXPECT_EQ(g.locale_code, "xx");
  EXPECT_EQ(g.Loc(5), "e5");
  EXPECT_EQ(sink.set.size(), shell::CaptionTable().size());
}

TEST_F(Locale, LinesAreTakenExactlyAsWritten) {
  dir.Write("loc_en.txt", std::string("  one \r\n\r\n") + std::string(5000, 'z') + "\nlast");
  shell::ReadLocale(g, "en");
  EXPECT_EQ(g.Loc(1), "  one ");
  EXPECT_EQ(g.Loc(2), "");
  EXPECT_EQ(g.Loc(3), std::string(4096, 'z'));
  EXPECT_EQ(g.Loc(4), "last");
  EXPECT_EQ(g.Loc(5), "");
}

TEST_F(Locale, MissingLanguageIsAnErrorThatKeepsEverythingButTheCode) {
  WriteLanguage("en", 180, "e");
  shell::ReadLocale(g, "en", &sink);
  sink.set.clear();
  sink.credits.clear();
  EXPECT_THROW(shell::ReadLocale(g, "de", &sink), core::DataError);
  EXPECT_EQ(g.locale_code, "de");
  EXPECT_EQ(g.Loc(1), "e1");
  EXPECT_TRUE(sink.set.empty());
  EXPECT_TRUE(sink.credits.empty());
}

TEST_F(Locale, MissingCreditsFileFailsAfterTheCaptions) {
  WriteLanguage("en", 180, "e");
  std::filesystem::remove(dir.path() + "/music_credits.txt");
  EXPECT_THROW(shell::ReadLocale(g, "en", &sink), core::DataError);
  EXPECT_EQ(g.Loc(1), "e1");
  EXPECT_EQ(sink.set.size(), shell::CaptionTable().size());
  EXPECT_TRUE(sink.credits.empty());
}

TEST_F(Locale, LinesPastTenThousandAreIgnored) {
  WriteLanguage("en", 10005, "e");
  shell::ReadLocale(g, "en");
  EXPECT_EQ(g.Loc(10000), "e10000");
  EXPECT_EQ(g.locale_table.size(), 10001u);
}

TEST_F(Locale, Windows1251FilesAreDecoded) {
  dir.Write("loc_ru.txt", "\xCF\xF3\xF1\xEA\r\n");  // "Пуск"
  shell::ReadLocale(g, "ru");
  EXPECT_EQ(g.Loc(1), "\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA");
}
