// Whatever takes a data file's place - a pipe, an endless device, a file far too large -
// is refused at once with an error naming it, by every reader of text.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "core/catalog.h"
#include "core/errors.h"
#include "core/files.h"
#include "core/hiscore.h"
#include "core/text.h"
#include "shell/locale.h"
#include "shell/options.h"
#include "support/test_data.h"

namespace {

enum class Hostile { kPipe, kEndlessDevice, kOversized };

// Puts something hostile where `relative` should be. An oversized file is sparse: it costs
// no disk, and reading it would cost `cap` bytes of memory.
void Plant(const testing_support::TempDir& dir, const std::string& relative, Hostile what, std::size_t cap) {
  const std::string path = dir.path() + "/" + relative;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::filesystem::remove(path);
  switch (what) {
    case Hostile::kPipe: ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); break;
    case Hostile::kEndlessDevice: std::filesystem::create_symlink("/dev/zero", path); break;
    case Hostile::kOversized:
      dir.Write(relative, "");
      std::filesystem::resize_file(path, cap + 1);
      break;
  }
}

class RecordingHost : public core::Host {
 public:
  void ErrorBox(const std::string& text) override { errors.push_back(text); }
  void ShowInfoMessage(int, const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> errors, shown;
};

struct Case {
  const char* file;
  std::size_t cap;
  bool non_regular_reads_as_missing;  // a reader that has always looked for a regular file first
  // Reads the file the game's way; returns the error it reports, "" when none.
  std::function<std::string(core::Game&, RecordingHost&)> read;
};

std::string Thrown(const std::function<void()>& f) {
  try {
    f();
  } catch (const core::DataError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(NonRegularFiles, EveryTextReaderRefusesPipesDevicesAndOversizedFilesNamingThem) {
  const std::vector<Case> cases = {
      {"loc_en.txt", core::kMaxTextFileBytes, false,
       [](core::Game& g, RecordingHost&) { return Thrown([&] { shell::ReadLocale(g, "en"); }); }},
      {"music_credits.txt", core::kMaxTextFileBytes, false,
       [](core::Game& g, RecordingHost&) { return Thrown([&] { shell::ReadLocale(g, "en"); }); }},
      {"Buildings/bldg_0.bld", core::kMaxBuildingFileBytes, true,
       [](core::Game& g, RecordingHost&) { return Thrown([&] { core::LoadBuilding(g, 0); }); }},
      {"Buildings/bldg_0_desc_en.txt", core::kMaxDescriptionFileBytes, false,
       [](core::Game& g, RecordingHost& host) {
         core::ShowDescription(g, 0);
         EXPECT_TRUE(host.shown.empty());
         return host.errors.empty() ? std::string() : host.errors.back();
       }},
      {"leaders.hof", core::kMaxTextFileBytes, true,
       [](core::Game& g, RecordingHost& host) {
         core::HiScores hs;
         core::MakeList(g, hs);
         return host.errors.empty() ? std::string() : host.errors.back();
       }},
  };
  for (const Case& c : cases) {
    for (Hostile what : {Hostile::kPipe, Hostile::kEndlessDevice, Hostile::kOversized}) {
      SCOPED_TRACE(std::string(c.file) + " as kind " + std::to_string(static_cast<int>(what)));
      testing_support::TempDir dir;
      testing_support::WriteMinimalData(dir, {{0, testing_support::PlainType(0)}});
      dir.WriteLines("Buildings/bldg_0_desc_en.txt", {"fine"});
      dir.WriteLines("leaders.hof", {"Ann", "10", "500"});
      RecordingHost host;
      core::Game g;
      g.exe_dir = dir.path();
      g.host = &host;
      shell::ReadLocale(g, "en");
      core::InitCatalog(g);
      Plant(dir, c.file, what, c.cap);
      const std::string error = c.read(g, host);
      if (c.non_regular_reads_as_missing && what != Hostile::kOversized) {
        EXPECT_EQ(error, "");
        continue;
      }
      EXPECT_NE(error.find(c.file), std::string::npos) << error;
      EXPECT_NE(error.find(what == Hostile::kOversized ? "larger than" : "Not a regular file"), std::string::npos)
          << error;
    }
  }
}

TEST(NonRegularFiles, OptionsThatCannotBeReadFallBackToTheDefaultsAndAreWrittenAnew) {
  for (Hostile what : {Hostile::kPipe, Hostile::kEndlessDevice, Hostile::kOversized}) {
    testing_support::TempDir dir;
    testing_support::WriteMinimalData(dir, {});
    core::Game g;
    g.exe_dir = dir.path();
    shell::Options o{false, false, 7, 8, 9};
    Plant(dir, "options.txt", what, core::kMaxOptionsFileBytes);
    EXPECT_FALSE(shell::LoadOptions(g, o));
    EXPECT_EQ(o, shell::Options{});
    // The pipe or link is replaced by a plain file; what it pointed to is untouched.
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(dir.path() + "/options.txt")));
    EXPECT_EQ(core::ReadLines(dir.path() + "/options.txt").size(), static_cast<std::size_t>(shell::kOptionLines));
  }
}

TEST(NonRegularFiles, AFileJustWithinItsCapIsRead) {
  testing_support::TempDir dir;
  dir.Write("big.txt", std::string(core::kMaxOptionsFileBytes - 1, 'a') + "\n");
  EXPECT_EQ(core::ReadLines(dir.path() + "/big.txt", core::kMaxOptionsFileBytes).size(), 1u);
  dir.Write("big.txt", std::string(core::kMaxOptionsFileBytes, 'a') + "\n");
  EXPECT_THROW(core::ReadLines(dir.path() + "/big.txt", core::kMaxOptionsFileBytes), core::DataError);
}
