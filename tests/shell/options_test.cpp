#include "shell/options.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/errors.h"
#include "support/test_data.h"

using shell::Options;
using Lines = std::vector<std::string>;

namespace {

const std::string kDefaultFile = "en\r\n-1\r\n-1\r\n50\r\n50\r\n0\r\n50\r\n50\r\n0\r\n0\r\n0\r\n0\r\n";

// The error boxes the game would show.
struct Boxes : core::Host {
  void ErrorBox(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

class OptionsTest : public ::testing::Test {
 protected:
  OptionsTest() {
    g.host = &boxes;
    testing_support::WriteMinimalData(dir, {});  // English, entries "E1"...
    std::vector<std::string> de;
    for (int k = 1; k <= 200; ++k) de.push_back("D" + std::to_string(k));
    dir.WriteLines("loc_de.txt", de);
    g.exe_dir = dir.path();
  }

  // Settings far from the defaults, to see that a fallback really replaces them.
  void Scramble() {
    o = Options{false, false, 7, 8, 9, true};
    g.tubes_off = true;
    g.cam_height = 150;
    g.isometric = true;
    g.disasters_option = core::kDisastersOff;
  }

  void ExpectDefaults() const {
    EXPECT_EQ(g.locale_code, "en");
    EXPECT_EQ(g.Loc(1), "E1");
    EXPECT_EQ(o, Options{});
    EXPECT_FALSE(g.tubes_off);
    EXPECT_EQ(g.cam_height, 50);
    EXPECT_FALSE(g.isometric);
    EXPECT_EQ(g.disasters_option, core::kDisastersRules);
    EXPECT_EQ(dir.Read("options.txt"), kDefaultFile);
  }

  // Exactly one box, naming the file, the line and the value; then none again.
  void ExpectRefused(std::size_t line, const std::string& value) {
    ASSERT_EQ(boxes.shown.size(), 1u) << "line " << line << " '" << value << "'";
    const std::string& box = boxes.shown[0];
    EXPECT_NE(box.find(dir.path() + "/options.txt"), std::string::npos) << box;
    EXPECT_NE(box.find("line " + std::to_string(line) + ": \"" + value + "\""), std::string::npos) << box;
    boxes.shown.clear();
  }

  testing_support::TempDir dir;
  Boxes boxes;
  core::Game g;
  Options o;
};

}  // namespace

TEST_F(OptionsTest, FreshInstallationStartsWithDefaultsAndCreatesTheFile) {
  Scramble();
  EXPECT_FALSE(shell::LoadOptions(g, o));
  ExpectDefaults();
  EXPECT_TRUE(boxes.shown.empty()) << "a fresh installation is nothing to report";
}

TEST_F(OptionsTest, CompleteFileIsReadAndItsLanguageApplied) {
  dir.WriteLines("options.txt", {"de", "0", "-1", "30", "70", "-1", "20", "120", "-1", "-1", "2", "175", "extra line"});
  EXPECT_TRUE(shell::LoadOptions(g, o));
  EXPECT_EQ(g.locale_code, "de");
  EXPECT_EQ(g.Loc(1), "D1");
  EXPECT_EQ(o, (Options{false, true, 30, 70, 20, true, 175}));
  EXPECT_TRUE(g.tubes_off);
  EXPECT_EQ(g.cam_height, 120);
  EXPECT_TRUE(g.isometric);
  EXPECT_EQ(g.disasters_option, core::kDisastersOff);

  shell::SaveOptions(g, o);
  EXPECT_EQ(dir.Read("options.txt"), "de\r\n0\r\n-1\r\n30\r\n70\r\n-1\r\n20\r\n120\r\n-1\r\n-1\r\n2\r\n175\r\n");
}

TEST_F(OptionsTest, BooleansReadAsWordsOrAnyNumberAndAreWrittenAsMinusOneAndZero) {
  dir.WriteLines("options.txt", {"en", "True", "fALSE", "50", "50", "7", "50", "50", " 0 "});
  EXPECT_TRUE(shell::LoadOptions(g, o));
  EXPECT_TRUE(o.sound_on);
  EXPECT_FALSE(o.music_on);
  EXPECT_TRUE(g.tubes_off);
  EXPECT_FALSE(g.isometric);
  shell::SaveOptions(g, o);
  EXPECT_EQ(dir.Read("options.txt"), "en\r\n-1\r\n0\r\n50\r\n50\r\n-1\r\n50\r\n50\r\n0\r\n0\r\n0\r\n0\r\n");
}

TEST_F(OptionsTest, LanguageWithoutItsFileFallsBackToEverythingDefault) {
  dir.WriteLines("options.txt", {"xx", "0", "0", "10", "10", "-1", "10", "100", "-1"});
  Scramble();
  EXPECT_FALSE(shell::LoadOptions(g, o));
  ExpectDefaults();
}

TEST_F(OptionsTest, LanguageCodeThatIsAPathFallsBack) {
  dir.WriteLines("sub/loc_en.txt", {"nested"});
  for (const std::string code : {"sub/en", "sub\\en", "", "c:en"}) {
    dir.WriteLines("options.txt", {code, "0", "0", "10", "10", "-1", "10", "100", "-1"});
    Scramble();
    EXPECT_FALSE(shell::LoadOptions(g, o)) << code;
    ExpectDefaults();
  }
}

TEST_F(OptionsTest, AnyBadOrMissingLineFallsBackEvenForSettingsReadBeforeIt) {
  const Lines good = {"de", "0", "0", "10", "10", "-1", "10", "100", "-1"};
  for (std::size_t bad = 1; bad < good.size(); ++bad) {
    for (const std::string value : {"", "x", "1.5", "99999999999"}) {
      Lines lines = good;
      lines[bad] = value;
      dir.WriteLines("options.txt", lines);
      Scramble();
      EXPECT_FALSE(shell::LoadOptions(g, o)) << "line " << bad + 1 << " '" << value << "'";
      ExpectDefaults();
      ExpectRefused(bad + 1, value);
    }
  }
  // Eight lines: the ninth reads empty.
  dir.WriteLines("options.txt", Lines(good.begin(), good.end() - 1));
  Scramble();
  EXPECT_FALSE(shell::LoadOptions(g, o));
  ExpectDefaults();
}

// Full screen came after the nine lines: a file of an older game (nine lines, or a blank
// tenth) reads as windowed and keeps everything else; a tenth line that is no Boolean is
// a bad line like any other. The nine lines before it stay what every reader expects.
TEST_F(OptionsTest, TheFullScreenLineIsOptionalButCheckedWhenPresent) {
  const Lines nine = {"de", "0", "-1", "30", "70", "-1", "20", "120", "-1"};
  const struct {
    std::vector<std::string> tenth;  // empty: the file ends after the ninth line
    bool read;
    bool fullscreen;
  } cases[] = {
      {{}, true, false},        {{""}, true, false},    {{"0"}, true, false},   {{"-1"}, true, true},
      {{"TRUE"}, true, true},   {{"5", "", "", "x"}, true, true}, {{"x"}, false, false}, {{"1.5"}, false, false},
      {{"on"}, false, false},   {{"99999999999"}, false, false},
  };
  for (const auto& c : cases) {
    Lines lines = nine;
    lines.insert(lines.end(), c.tenth.begin(), c.tenth.end());
    dir.WriteLines("options.txt", lines);
    Scramble();
    const std::string what = c.tenth.empty() ? "nine lines" : "'" + c.tenth[0] + "'";
    ASSERT_EQ(shell::LoadOptions(g, o), c.read) << what;
    if (!c.read) {
      ExpectDefaults();
      ExpectRefused(10, c.tenth[0]);
      continue;
    }
    EXPECT_TRUE(boxes.shown.empty()) << what;
    EXPECT_EQ(o, (Options{false, true, 30, 70, 20, c.fullscreen})) << what;
    EXPECT_EQ(g.locale_code, "de") << what;
    EXPECT_EQ(g.cam_height, 120) << what;
    shell::SaveOptions(g, o);
    const auto written = dir.Read("options.txt");
    EXPECT_EQ(written, "de\r\n0\r\n-1\r\n30\r\n70\r\n-1\r\n20\r\n120\r\n-1\r\n" +
                           std::string(c.fullscreen ? "-1" : "0") + "\r\n0\r\n0\r\n")
        << what;
  }
}

// The eleventh line came later still: older files lack it and read as the rules say; when
// there, anything but 0, 1 or 2 is refused like any other bad line.
TEST_F(OptionsTest, TheDisastersLineIsOptionalButCheckedWhenPresent) {
  const Lines ten = {"de", "0", "-1", "30", "70", "-1", "20", "120", "-1", "0"};
  const struct {
    std::vector<std::string> eleventh;  // empty: the file ends after the tenth line
    bool read;
    int32_t disasters;
  } cases[] = {
      {{}, true, 0},     {{""}, true, 0},     {{"0"}, true, 0},      {{"1"}, true, 1},
      {{"2", ""}, true, 2}, {{"3"}, false, 0}, {{"-1"}, false, 0},  {{"rare"}, false, 0},
      {{"1.0"}, false, 0},
  };
  for (const auto& c : cases) {
    Lines lines = ten;
    lines.insert(lines.end(), c.eleventh.begin(), c.eleventh.end());
    dir.WriteLines("options.txt", lines);
    Scramble();
    const std::string what = c.eleventh.empty() ? "ten lines" : "'" + c.eleventh[0] + "'";
    ASSERT_EQ(shell::LoadOptions(g, o), c.read) << what;
    if (!c.read) {
      ExpectDefaults();
      ExpectRefused(11, c.eleventh[0]);
      continue;
    }
    EXPECT_TRUE(boxes.shown.empty()) << what;
    EXPECT_EQ(g.disasters_option, c.disasters) << what;
    EXPECT_EQ(g.locale_code, "de") << what;
    shell::SaveOptions(g, o);
    EXPECT_EQ(dir.Read("options.txt"),
              "de\r\n0\r\n-1\r\n30\r\n70\r\n-1\r\n20\r\n120\r\n-1\r\n0\r\n" + std::to_string(c.disasters) + "\r\n0\r\n")
        << what;
  }
}

// The twelfth line, the UI scale in percent, came last: older files lack it and read as
// automatic (0); when there, it is 0 or within 75..200, else refused like any bad line.
TEST_F(OptionsTest, TheScaleLineIsOptionalButCheckedWhenPresent) {
  const Lines eleven = {"de", "0", "-1", "30", "70", "-1", "20", "120", "-1", "-1", "1"};
  const struct {
    std::vector<std::string> twelfth;  // empty: the file ends after the eleventh line
    bool read;
    int32_t scale;
  } cases[] = {
      {{}, true, 0},       {{""}, true, 0},      {{"0"}, true, 0},     {{"75"}, true, 75},
      {{"150", "x"}, true, 150}, {{"200"}, true, 200}, {{"74"}, false, 0},  {{"201"}, false, 0},
      {{"-100"}, false, 0}, {{"1.5"}, false, 0},  {{"auto"}, false, 0},
  };
  for (const auto& c : cases) {
    Lines lines = eleven;
    lines.insert(lines.end(), c.twelfth.begin(), c.twelfth.end());
    dir.WriteLines("options.txt", lines);
    Scramble();
    o.ui_scale = 125;
    const std::string what = c.twelfth.empty() ? "eleven lines" : "'" + c.twelfth[0] + "'";
    ASSERT_EQ(shell::LoadOptions(g, o), c.read) << what;
    if (!c.read) {
      ExpectDefaults();
      ExpectRefused(12, c.twelfth[0]);
      continue;
    }
    EXPECT_TRUE(boxes.shown.empty()) << what;
    EXPECT_EQ(o.ui_scale, c.scale) << what;
    EXPECT_TRUE(o.fullscreen) << what;
    shell::SaveOptions(g, o);
    EXPECT_EQ(dir.Read("options.txt"),
              "de\r\n0\r\n-1\r\n30\r\n70\r\n-1\r\n20\r\n120\r\n-1\r\n-1\r\n1\r\n" + std::to_string(c.scale) + "\r\n")
        << what;
  }
}

TEST_F(OptionsTest, ValuesOutOfRangeAreTakenToTheNearestEnd) {
  dir.WriteLines("options.txt", {"en", "-1", "-1", "-5", "250", "0", "101", "5", "0"});
  EXPECT_TRUE(shell::LoadOptions(g, o));
  EXPECT_EQ(o.sound_volume, 0);
  EXPECT_EQ(o.music_volume, 100);
  EXPECT_EQ(o.pan_speed, 100);
  EXPECT_EQ(g.cam_height, 10);

  dir.WriteLines("options.txt", {"en", "-1", "-1", "0", "100", "0", "-2147483648", "2147483647", "0"});
  EXPECT_TRUE(shell::LoadOptions(g, o));
  EXPECT_EQ(o.sound_volume, 0);
  EXPECT_EQ(o.music_volume, 100);
  EXPECT_EQ(o.pan_speed, 0);
  EXPECT_EQ(g.cam_height, 200);
}

TEST_F(OptionsTest, WithoutEnglishTheErrorLeavesAndNothingIsSaved) {
  std::filesystem::remove(dir.path() + "/loc_en.txt");
  Scramble();
  EXPECT_THROW(shell::LoadOptions(g, o), core::DataError);
  EXPECT_EQ(o, (Options{false, false, 7, 8, 9, true}));
  EXPECT_EQ(g.cam_height, 150);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/options.txt"));
}

TEST_F(OptionsTest, FailedWriteReachesTheCaller) {
  std::filesystem::create_directory(dir.path() + "/options.txt");
  EXPECT_THROW(shell::SaveOptions(g, o), core::DataError);
  // The fallback's write too: the defaults are in place, the error is not swallowed.
  Scramble();
  EXPECT_THROW(shell::LoadOptions(g, o), core::DataError);
  EXPECT_EQ(o, Options{});
  EXPECT_EQ(g.cam_height, 50);
}
