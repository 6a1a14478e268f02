// Where the game finds its data and where the player's own files go: beside the data in
// a build folder or a folder of the player's, in the player's XDG folders for an installed
// game - read back over the installed files, which are never written.
#include "shell/folders.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/catalog.h"
#include "core/hiscore.h"
#include "core/text.h"
#include "shell/options.h"
#include "support/test_data.h"

namespace fs = std::filesystem;
using shell::FolderHints;
using shell::GameFolders;
using testing_support::TempDir;

TEST(GameFolders, DataIsFoundAndThePlayersFilesGoWhereTheyMay) {
  TempDir t;
  t.Write("build/loc_en.txt", "x");       // a build folder: the data beside the program
  t.Write("usr/share/quenmar/loc_en.txt", "x");
  t.Write("usr/bin/.keep", "");          // an installed program
  t.Write("mine/loc_en.txt", "x");
  t.Write("mine/Buildings/.keep", "");
  const std::string p = t.path();
  const struct {
    const char* what;
    FolderHints hints;
    GameFolders expected;
  } cases[] = {
      {"build folder", {p + "/build", "", "", "", "", "/home/ann"}, {p + "/build", "", ""}},
      {"installed", {p + "/usr/bin/", "", "", "", "", "/home/ann"},
       {p + "/usr/share/quenmar", "/home/ann/.config/quenmar", "/home/ann/.local/share/quenmar"}},
      {"installed, XDG folders set", {p + "/usr/bin", "", "", "/x/cfg", "/x/data", "/home/ann"},
       {p + "/usr/share/quenmar", "/x/cfg/quenmar", "/x/data/quenmar"}},
      {"installed, relative XDG folders ignored", {p + "/usr/bin", "", "", "cfg", "data", "/home/ann"},
       {p + "/usr/share/quenmar", "/home/ann/.config/quenmar", "/home/ann/.local/share/quenmar"}},
      {"QUENMAR_DATA over the installed data", {p + "/usr/bin", "", p + "/mine", "", "", "/home/ann"},
       {p + "/mine", "", ""}},
      {"--data over QUENMAR_DATA", {p + "/usr/bin", p + "/build", p + "/mine", "", "", "/home/ann"},
       {p + "/build", "", ""}},
      {"no data anywhere: the program's folder", {p + "/mine/Buildings", "", "", "", "", "/home/ann"},
       {p + "/mine/Buildings", "", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(shell::FindGameFolders(c.hints), c.expected) << c.what;
}

TEST(GameFolders, ThePlayersFilesOverlayTheInstalledDataWhichIsNeverWritten) {
  TempDir installed, player;
  core::building shipped = testing_support::PlainType(0);
  shipped.cst = 100;
  testing_support::WriteMinimalData(installed, {{0, shipped}});
  installed.WriteLines("options.txt", {"en", "0", "0", "11", "12", "0", "13", "60", "0"});
  installed.WriteLines("leaders.hof", {"Shipped", "10", "5"});
  const auto snapshot = [&] {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& e : fs::recursive_directory_iterator(installed.path()))
      files.emplace_back(e.path().string(), e.is_regular_file() ? installed.Read(fs::relative(e.path(), installed.path()).string()) : "");
    return files;
  };
  const auto before = snapshot();

  core::Game g;
  shell::UseFolders(g, {installed.path(), player.path() + "/config", player.path() + "/data"});
  g.exe_dir = installed.path();
  shell::Options o;
  // Until the player has options of their own, the installed ones are read.
  ASSERT_TRUE(shell::LoadOptions(g, o));
  EXPECT_EQ(o.sound_volume, 11);
  o.sound_volume = 77;
  shell::SaveOptions(g, o);
  shell::Options again;
  ASSERT_TRUE(shell::LoadOptions(g, again));
  EXPECT_EQ(again.sound_volume, 77);
  EXPECT_EQ(core::ReadLines(player.path() + "/config/options.txt")[3], "77");

  // An edited building type is saved to the player's folder and wins from then on.
  core::InitCatalog(g);
  EXPECT_EQ(g.catalog[0].cst, 100);
  core::building edited = g.catalog[0];
  edited.cst = 250;
  core::SaveBuilding(g, 0, edited);
  core::InitCatalog(g);
  EXPECT_EQ(g.catalog[0].cst, 250);

  // The high-score table starts from the installed one and is written to the player's.
  core::HiScores hs;
  core::ShowHiScores(g, hs, true);
  g.score_entry = {"", 10, 900};
  EXPECT_EQ(core::AcceptScore(g, hs, "Ann"), core::OkResult::kRecorded);
  EXPECT_EQ(hs.list[0].name, "Ann");
  EXPECT_EQ(hs.list[1].name, "Shipped");
  EXPECT_TRUE(fs::is_regular_file(player.path() + "/data/leaders.hof"));

  EXPECT_EQ(snapshot(), before);
}
