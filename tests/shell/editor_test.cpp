// The building editor can only write what the catalog reads: whatever it saves loads back
// to the same values, and whatever the catalog would refuse it refuses first, naming the
// field, with no file written.
#include "shell/editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/catalog.h"
#include "core/errors.h"
#include "core/text.h"
#include "support/test_data.h"

namespace {

using testing_support::TempDir;

core::Game GameIn(const TempDir& dir) {
  core::Game g;
  g.exe_dir = dir.path();
  for (int k = 1; k <= 200; ++k) g.locale_table[k] = "E" + std::to_string(k);
  return g;
}

// Texts a player may type into a box: numbers at and past the edges of 32 bits, blanks,
// signs, words, line breaks, a byte-order mark and a line longer than the reader keeps.
const std::vector<std::string>& Typed() {
  static const std::vector<std::string> texts = {
      "0", "1", "-1", "7", "100", "101", "2147483647", "-2147483648", "2147483648", "-2147483649", "",
      " ", "+5", " 12", "12 ", "\t3", "0005", "-0", "1e3", "0x10", "x", "cheap", "5\n6", "5\r", "\xEF\xBB\xBF" "5",
      std::string(4096, '0'), std::string(4095, '0') + "9", std::string(4097, '0'), "--1", "+", "١"};
  return texts;
}

TEST(BuildingEditor, WhatItSavesTheCatalogLoadsToTheSameValuesAndWhatItRefusesItNames) {
  TempDir dir;
  testing_support::WriteMinimalData(dir, {{1, testing_support::PlainType(1)}});
  core::Game g = GameIn(dir);
  const auto& fields = shell::EditorFields();
  std::mt19937 rng(20261210);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  int saved = 0, refused = 0;
  for (int round = 0; round < 600; ++round) {
    shell::BuildingEditor e(g);
    e.Load("1");
    shell::EditorBoxes boxes = e.Boxes();
    // Each box: its loaded value, a random number or one of the typed texts.
    auto text = [&]() -> std::string {
      switch (pick(3)) {
        case 0: return Typed()[pick(Typed().size())];
        case 1: return std::to_string(static_cast<int32_t>(rng()));
        default: return std::to_string(static_cast<int>(pick(240)) - 20);
      }
    };
    if (pick(2)) boxes.cname = text();
    for (auto& n : boxes.numbers)
      if (pick(4) == 0) n = text();
    boxes.unique = pick(2);
    boxes.spaceport = pick(2);
    const int32_t bid = static_cast<int32_t>(pick(101));
    const std::string file = dir.path() + "/Buildings/bldg_" + std::to_string(bid) + ".bld";
    std::filesystem::remove(file);
    const core::building before = e.record();
    try {
      e.Save(std::to_string(bid), boxes);
    } catch (const shell::InputError& err) {
      ++refused;
      // Named: the label of a box whose text is no whole number, or a field the catalog
      // checks; nothing written and the edited record as it was.
      const std::string what = err.what();
      bool named = false;
      for (const auto& f : fields) named |= what.starts_with(std::string(f.label) + ": ");
      named |= what.starts_with("cname: ");
      EXPECT_TRUE(named) << what;
      EXPECT_FALSE(std::filesystem::exists(file)) << what;
      EXPECT_EQ(e.record(), before);
      continue;
    }
    ++saved;
    // Every box that the editor took is what the catalog reads.
    const core::building loaded = core::LoadBuilding(g, bid);
    ASSERT_TRUE(loaded.exists) << "round " << round;
    EXPECT_EQ(loaded.cname, boxes.cname) << "round " << round;
    for (std::size_t i = 0; i < fields.size(); ++i)
      EXPECT_EQ(loaded.*fields[i].member, *core::ParseInt(boxes.numbers[i])) << fields[i].label << " round " << round;
    EXPECT_EQ(loaded.unique, boxes.unique);
    EXPECT_EQ(loaded.spaceport, boxes.spaceport);
    EXPECT_EQ(loaded.food, e.record().food);
    EXPECT_EQ(loaded.sssize, e.record().sssize);
    // And a new game starts on it.
    EXPECT_NO_THROW(core::InitCatalog(g)) << "round " << round;
    std::filesystem::remove(file);
  }
  // Both sides of the property were seen often.
  EXPECT_GT(saved, 100);
  EXPECT_GT(refused, 100);
}

TEST(BuildingEditor, TheFormOfANumberWithoutAFileAndOtherRefusalsNameTheirField) {
  TempDir dir;
  testing_support::WriteMinimalData(dir, {{1, testing_support::PlainType(1)}});
  core::Game g = GameIn(dir);
  struct Case {
    const char* what;
    std::function<void(shell::EditorBoxes&)> edit;
    std::string message;
  };
  const std::vector<Case> cases = {
      // Loading a number without a file gives an empty name entry: saved as it is, no
      // new game could start.
      {"empty form", [](shell::EditorBoxes&) {}, "cname: '': "},
      {"name not a number", [](shell::EditorBoxes& b) { b.cname = "Farm"; }, "cname: 'Farm': "},
      {"upch over 100", [](shell::EditorBoxes& b) { b.cname = "5", b.numbers[14] = "101"; }, "upch: '101': "},
      {"cost not a number", [](shell::EditorBoxes& b) { b.cname = "5", b.numbers[0] = "cheap"; },
       "Cost: 'cheap' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    shell::BuildingEditor e(g);
    e.Load("50");
    shell::EditorBoxes boxes = e.Boxes();
    c.edit(boxes);
    try {
      e.Save("50", boxes);
      ADD_FAILURE() << c.what << ": saved";
    } catch (const shell::InputError& err) {
      EXPECT_TRUE(std::string(err.what()).starts_with(c.message)) << c.what << ": " << err.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/Buildings/bldg_50.bld")) << c.what;
  }
  // upch 100 is what a missing type sorts by: allowed.
  shell::BuildingEditor e(g);
  e.Load("50");
  shell::EditorBoxes boxes = e.Boxes();
  boxes.cname = "5";
  EXPECT_NO_THROW(e.Save("50", boxes));
  EXPECT_EQ(core::LoadBuilding(g, 50).upch, 100);
}

TEST(BuildingEditor, DescriptionLinesTheReaderWouldCutAreRefusedNotCut) {
  TempDir dir;
  testing_support::WriteMinimalData(dir, {{1, testing_support::PlainType(1)}});
  core::Game g = GameIn(dir);
  shell::BuildingEditor e(g);
  e.Load("1");
  const std::string file = dir.path() + "/buildings/bldg_1_desc_en.txt";
  // 4096 characters of two bytes each fit; one more does not, in any line.
  std::string longest;
  for (int i = 0; i < 4096; ++i) longest += "\xD0\x96";
  e.WriteDescription("en", "first\n" + longest + "\nlast");
  EXPECT_EQ(e.ReadDescription("en"), "first\r\n" + longest + "\r\nlast\r\n");
  for (const std::string& text : {"first\n" + longest + "x\nlast", longest + "\xD0\x96", "a\r\n" + std::string(5000, 'b')}) {
    try {
      e.WriteDescription("en", text);
      ADD_FAILURE() << "written";
    } catch (const shell::InputError& err) {
      EXPECT_NE(std::string(err.what()).find("4096"), std::string::npos) << err.what();
    }
  }
  EXPECT_EQ(e.ReadDescription("en"), "first\r\n" + longest + "\r\nlast\r\n") << "the file as it was";
}

}  // namespace
