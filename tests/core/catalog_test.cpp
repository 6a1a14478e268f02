#include "core/catalog.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "support/test_data.h"

using testing_support::BuildingLines;
using testing_support::PlainType;
using testing_support::TempDir;

namespace {

// A game whose data folder is `dir`, with locale entries "E1".."E200".
core::Game GameIn(const TempDir& dir) {
  core::Game g;
  g.exe_dir = dir.path();
  for (int k = 1; k <= 200; ++k) g.locale_table[k] = "E" + std::to_string(k);
  return g;
}

core::building TypeWith(int id, int upch) {
  auto b = PlainType(id);
  b.upch = upch;
  return b;
}

}  // namespace

TEST(Catalog, LoadedTypesComeFirstInUpchOrderTiesByFileNumber) {
  TempDir dir;
  testing_support::WriteMinimalData(dir, {{0, TypeWith(0, 4)}, {3, TypeWith(3, 1)}, {7, TypeWith(7, 4)}});
  auto g = GameIn(dir);
  core::InitCatalog(g);
  EXPECT_EQ(g.catalog[0].id, 3);
  EXPECT_EQ(g.catalog[1].id, 0);
  EXPECT_EQ(g.catalog[2].id, 7);
  EXPECT_FALSE(g.catalog[3].exists);
  EXPECT_EQ(core::CountCatalog(g), 3);
  core::FillConstrList(g);
  EXPECT_EQ(g.constr_list, (std::vector<std::string>{"E184", "E181", "E188"}));
}

TEST(Catalog, UnusualUpchSortsBehindTheOrdinaryOnes) {
  TempDir dir;
  testing_support::WriteMinimalData(dir, {{1, TypeWith(1, 100)}, {2, TypeWith(2, 10)}, {5, TypeWith(5, 42)}, {9, TypeWith(9, 0)}});
  auto g = GameIn(dir);
  core::InitCatalog(g);
  EXPECT_EQ(g.catalog[0].id, 9);
  EXPECT_EQ(g.catalog[1].id, 2);
  EXPECT_EQ(g.catalog[2].id, 5);
  EXPECT_EQ(g.catalog[3].id, 1);
  EXPECT_EQ(core::CountCatalog(g), 4);
}

TEST(Catalog, AllFilesPresentCountsAHundredAndOne) {
  TempDir dir;
  std::map<int, core::building> all;
  for (int n = 0; n <= 100; ++n) all[n] = TypeWith(n, n % 11);
  testing_support::WriteMinimalData(dir, all);
  auto g = GameIn(dir);
  core::InitCatalog(g);
  EXPECT_EQ(core::CountCatalog(g), 101);
  for (int i = 0; i + 1 < 101; ++i) {
    ASSERT_LE(g.catalog[i].upch, g.catalog[i + 1].upch);
    if (g.catalog[i].upch == g.catalog[i + 1].upch) {
      ASSERT_LT(g.catalog[i].id, g.catalog[i + 1].id);
    }
  }
}

TEST(Catalog, FirstTypeIsPlacedInSlotZeroAndTheColonyIsReset) {
  TempDir dir;
  auto base = TypeWith(4, 0);
  base.x = 12;
  base.y = 17;
  base.up = 3;
  testing_support::WriteMinimalData(dir, {{4, base}, {6, TypeWith(6, 2)}});
  auto g = GameIn(dir);
  g.money = 5;
  g.food = 1;
  g.population = 7;
  g.science_pts = 9;
  g.placed[12].exists = true;
  g.info_blocks[3].visible = true;
  g.info_blocks[3].text = "x";
  core::InitCatalog(g);
  EXPECT_EQ(g.money, 20000);
  EXPECT_EQ(g.food, 100);
  EXPECT_EQ(g.population, 100);
  EXPECT_EQ(g.science_pts, 0);
  EXPECT_FALSE(g.placed[12].exists);
  EXPECT_FALSE(g.info_blocks[3].visible);
  EXPECT_EQ(g.info_blocks[3].text, "");
  EXPECT_EQ(g.placed[0], g.catalog[0]);
  EXPECT_EQ(g.placed[0].x, 12);
  EXPECT_EQ(g.placed[0].y, 17);
  EXPECT_EQ(g.placed[0].up, 3);
  EXPECT_TRUE(g.placed[0].active);
}

TEST(BuildingFile, SaveThenLoadGivesTheSameRecord) {
  TempDir dir;
  auto g = GameIn(dir);
  core::building b;
  b.cname = "190";
  b.name = "ignored";
  b.unique = true;
  b.cst = 1;
  b.sc = 2;
  b.storage = 3;
  b.pers = 4;
  b.living = 5;
  b.comfort = 6;
  b.prod = 7;
  b.raw = 8;
  b.entertain = 9;
  b.engout = 10;
  b.engcons = 11;
  b.military = 12;
  b.food = 13;
  b.sssize = 14;
  b.up = 15;
  b.upl = 16;
  b.upch = 7;
  b.income = -18;
  b.spaceport = true;
  b.x = 20;
  b.y = 21;
  b.science = 22;
  b.budget = 99;
  b.construction = 77;
  core::SaveBuilding(g, 42, b);
  const auto back = core::LoadBuilding(g, 42);
  auto expected = b;
  expected.name = "E190";
  expected.exists = expected.active = true;
  expected.id = 42;
  expected.budget = expected.construction = 0;
  EXPECT_EQ(back, expected);
  EXPECT_EQ(dir.Read("Buildings/bldg_42.bld").substr(0, 12), "190\r\n-1\r\n1\r\n");
}

TEST(BuildingFile, MissingFileIsNoTypeAndNoError) {
  TempDir dir;
  auto g = GameIn(dir);
  const auto b = core::LoadBuilding(g, 5);
  EXPECT_FALSE(b.exists);
  EXPECT_FALSE(b.active);
  EXPECT_EQ(b.upch, 100);
}

TEST(BuildingFile, BooleansReadAsNumbersOrWords) {
  TempDir dir;
  auto g = GameIn(dir);
  auto lines = BuildingLines(PlainType(1));
  for (const auto& [text, value] : std::vector<std::pair<std::string, bool>>{
           {"True", true}, {"true", true}, {"1", true}, {"-1", true}, {"0", false}, {"false", false}}) {
    lines[1] = text;
    lines[20] = text;
    dir.WriteLines("Buildings/bldg_1.bld", lines);
    const auto b = core::LoadBuilding(g, 1);
    EXPECT_EQ(b.unique, value) << text;
    EXPECT_EQ(b.spaceport, value) << text;
  }
}

TEST(BuildingFile, ScienceLineIsOptionalAndLaterLinesIgnored) {
  TempDir dir;
  auto g = GameIn(dir);
  auto lines = BuildingLines(PlainType(1));
  lines.resize(23);
  dir.WriteLines("Buildings/bldg_1.bld", lines);
  EXPECT_EQ(core::LoadBuilding(g, 1).science, 0);
  lines.push_back("abc");
  dir.WriteLines("Buildings/bldg_1.bld", lines);
  EXPECT_EQ(core::LoadBuilding(g, 1).science, 0);
  lines[23] = "12";
  lines.push_back("garbage");
  dir.WriteLines("Buildings/bldg_1.bld", lines);
  EXPECT_EQ(core::LoadBuilding(g, 1).science, 12);
}

TEST(BuildingFile, NameEntryOutsideTheTableGivesAnEmptyName) {
  TempDir dir;
  auto g = GameIn(dir);
  auto lines = BuildingLines(PlainType(1));
  for (const char* entry : {"0", "10001", "-3", "99999"}) {
    lines[0] = entry;
    dir.WriteLines("Buildings/bldg_1.bld", lines);
    const auto b = core::LoadBuilding(g, 1);
    EXPECT_EQ(b.name, "") << entry;
    EXPECT_EQ(b.cname, entry);
  }
}

TEST(BuildingFile, MalformedFilesReportPathLineAndText) {
  TempDir dir;
  auto g = GameIn(dir);
  struct Case {
    int line;  // 1-based line to spoil, 0 = cut the file short
    std::string text;
  };
  for (const auto& c : std::vector<Case>{{3, "12x"}, {1, "name"}, {2, "maybe"}, {21, "yes"}, {23, ""}, {19, "101"}, {0, ""}}) {
    auto lines = BuildingLines(PlainType(1));
    if (c.line == 0) lines.resize(22);
    else lines[c.line - 1] = c.text;
    dir.WriteLines("Buildings/bldg_1.bld", lines);
    try {
      core::LoadBuilding(g, 1);
      ADD_FAILURE() << "line " << c.line << " '" << c.text << "' was accepted";
    } catch (const core::DataError& e) {
      EXPECT_NE(e.path().find("bldg_1.bld"), std::string::npos);
      EXPECT_EQ(e.line(), c.line == 0 ? 23 : c.line);
      EXPECT_EQ(e.text(), c.text);
    }
  }
}

TEST(BuildingFile, AFailedCatalogLoadLeavesEverythingAsItWas) {
  TempDir dir;
  testing_support::WriteMinimalData(dir, {{0, TypeWith(0, 1)}, {2, TypeWith(2, 3)}});
  auto g = GameIn(dir);
  core::InitCatalog(g);
  g.money = 777;
  g.placed[5] = g.catalog[1];
  const core::Game before = g;
  dir.WriteLines("Buildings/bldg_9.bld", {"181", "0", "oops"});
  EXPECT_THROW(core::InitCatalog(g), core::DataError);
  EXPECT_EQ(g.catalog, before.catalog);
  EXPECT_EQ(g.placed, before.placed);
  EXPECT_EQ(g.money, 777);
}

TEST(BuildingFile, FoldersAreFoundWhateverTheirLetterCase) {
  TempDir dir;
  dir.WriteLines("BUILDINGS/bldg_3.bld", BuildingLines(PlainType(3)));
  dir.WriteLines("BUILDINGS/bldg_3_desc_en.txt", {"A fine", "building"});
  auto g = GameIn(dir);
  core::InitCatalog(g);
  EXPECT_EQ(g.catalog[0].id, 3);
  EXPECT_EQ(core::ReadDescription(g, 0), "A fine\r\nbuilding\r\n");
  EXPECT_EQ(core::ReadDescription(g, 1), "");
}

// A refused file in the player's folder never stops the game: each is reported once per
// read, naming the file, and the installed file of that number is used (or none, when
// there is none); a good file of the player's still wins.
TEST(BuildingFile, ARefusedFileOfThePlayersIsReportedAndTheInstalledOneUsed) {
  TempDir data, own;
  testing_support::WriteMinimalData(data, {{0, TypeWith(0, 1)}, {2, TypeWith(2, 3)}});
  auto g = GameIn(data);
  g.user_dir = own.path();
  struct Boxes : core::Host {
    void ErrorBox(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> errors;
  } host;
  g.host = &host;
  auto spoiled = [](int id, int line, const std::string& text) {
    auto lines = BuildingLines(TypeWith(id, 4));
    lines[line - 1] = text;
    return lines;
  };
  own.WriteLines("Buildings/bldg_0.bld", spoiled(0, 1, "Farm"));  // the editor's old fault
  own.WriteLines("Buildings/bldg_2.bld", spoiled(2, 19, "101"));
  own.WriteLines("Buildings/bldg_5.bld", spoiled(5, 3, "12x"));  // no installed file 5
  auto good = TypeWith(7, 2);
  good.cst = 4321;
  own.WriteLines("Buildings/bldg_7.bld", BuildingLines(good));
  ASSERT_NO_THROW(core::InitCatalog(g));
  ASSERT_EQ(host.errors.size(), 3u);
  for (const char* file : {"bldg_0.bld", "bldg_2.bld", "bldg_5.bld"}) {
    int said = 0;
    for (const auto& e : host.errors) said += e.find(own.path()) != std::string::npos && e.find(file) != std::string::npos;
    EXPECT_EQ(said, 1) << file;
  }
  EXPECT_EQ(core::CountCatalog(g), 3);
  EXPECT_EQ(g.catalog[0].id, 0);
  EXPECT_EQ(g.catalog[0].upch, 1) << "the installed type 0";
  EXPECT_EQ(g.catalog[1].id, 7);
  EXPECT_EQ(g.catalog[1].cst, 4321) << "the player's good file wins";
  EXPECT_EQ(g.catalog[2].id, 2);
  EXPECT_EQ(g.catalog[2].upch, 3);
  // A refused installed file still stops the catalog, as before.
  data.WriteLines("Buildings/bldg_2.bld", spoiled(2, 1, "Farm"));
  host.errors.clear();
  EXPECT_THROW(core::InitCatalog(g), core::DataError);
}
