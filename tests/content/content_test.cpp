// The bundled content is complete and consistent: every type loads, is named and described
// in every language, the catalog offers every kind of upgrade, and the starting base is the
// type that sorts first.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "core/construction.h"
#include "core/events.h"
#include "core/newgame.h"
#include "core/text.h"
#include "core/trade.h"
#include "shell/launcher.h"
#include "shell/locale.h"
#include "shell/session.h"

namespace {

const std::string kData = QUENMAR_BUILD_DIR;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Languages() { return core::ReadLines(kData + "/locs.txt"); }

// Every listed language is a full translation of English: the same lines, worded where English
// is and empty where it is not, the same placeholders and line ends, and its own name to show
// in the language box. A language added to the list is held to this without touching the test.
TEST(Content, EveryListedLanguageMatchesEnglishLineForLine) {
  const auto codes = Languages();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), "en");
  for (const char* code : {"en", "ru", "de", "fr", "zh"})
    EXPECT_EQ(std::count(codes.begin(), codes.end(), code), 1) << code;
  const std::string english = Bytes(kData + "/loc_en.txt");
  const auto en = core::ReadLines(kData + "/loc_en.txt");
  std::set<std::string> names;
  for (const auto& code : codes) {
    SCOPED_TRACE(code);
    const std::string bytes = Bytes(kData + "/loc_" + code + ".txt");
    const auto lines = core::ReadLines(kData + "/loc_" + code + ".txt");
    ASSERT_EQ(lines.size(), en.size());
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(english.begin(), english.end(), '\n'));
    EXPECT_EQ(core::DecodeText(bytes), bytes) << "not UTF-8";
    for (std::size_t i = 0; i < en.size(); ++i) {
      const int n = static_cast<int>(i) + 1;
      EXPECT_EQ(lines[i].empty(), en[i].empty()) << "entry " << n;
      for (const std::string mark : {"%1", "%2", "%d", "%s"}) {
        auto count = [&](const std::string& t) {
          std::size_t k = 0;
          for (auto at = t.find(mark); at != std::string::npos; at = t.find(mark, at + 1)) ++k;
          return k;
        };
        EXPECT_EQ(count(lines[i]), count(en[i])) << "entry " << n << " " << mark;
      }
    }
    const std::string name = shell::LanguageName(lines);
    EXPECT_FALSE(name.empty());
    EXPECT_TRUE(names.insert(name).second) << "two languages named " << name;
  }
}

TEST(Content, BuildingFilesHaveTheirTwentyFourLinesWithCrLf) {
  shell::Session s;
  s.StartUp(kData, 1);
  for (const auto& b : s.game.catalog) {
    if (!b.exists) continue;
    const std::string path = kData + "/Buildings/bldg_" + std::to_string(b.id) + ".bld";
    const std::string bytes = Bytes(path);
    SCOPED_TRACE(path);
    EXPECT_EQ(core::ReadLines(path).size(), 24u);
    std::size_t lf = 0, crlf = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] == '\n') {
        ++lf;
        crlf += i > 0 && bytes[i - 1] == '\r';
      }
    EXPECT_EQ(lf, 24u);
    EXPECT_EQ(crlf, lf);
  }
}

TEST(Content, CatalogOffersEveryKindOfBuildingAndUpgrade) {
  shell::Session s;
  s.StartUp(kData, 1);
  const core::Game& g = s.game;
  ASSERT_GE(g.catalog_count, 20);
  std::set<int> upgrades;
  int spaceports = 0, uniques = 0;
  std::set<int> port_sizes;
  bool producer = false, consumer = false, farm = false, housing = false, fun = false, comfort = false;
  bool military = false, factory = false, mine = false, storage = false, income = false, science = false;
  for (int k = 0; k < g.catalog_count; ++k) {
    const auto& b = g.catalog[k];
    SCOPED_TRACE(b.name);
    upgrades.insert(b.upch);
    EXPECT_GE(b.upl, 1);
    EXPECT_GT(b.cst, 0);
    if (k > 0) {
      // Ordered by what upgrades improve, ties by file number.
      const auto& prev = g.catalog[k - 1];
      EXPECT_TRUE(prev.upch < b.upch || (prev.upch == b.upch && prev.id < b.id));
    }
    if (b.spaceport) {
      ++spaceports;
      port_sizes.insert(b.sssize);
    }
    uniques += b.unique;
    producer |= b.engout > 0;
    consumer |= b.engcons > 0;
    farm |= b.food > 0 && k > 0;
    housing |= b.living > 0 && k > 0;
    fun |= b.entertain > 0;
    comfort |= b.comfort > 0;
    military |= b.military > 0;
    factory |= b.prod > 0;
    mine |= b.raw > 0;
    storage |= b.storage > 0 && b.upch == core::kUpStorage;
    income |= b.income > 0;
    science |= b.science > 0;
  }
  for (int u = 0; u <= 10; ++u) EXPECT_TRUE(upgrades.count(u)) << "no type upgrades characteristic " << u;
  EXPECT_GE(spaceports, 2);
  EXPECT_GE(port_sizes.size(), 2u);
  EXPECT_GE(uniques, 1);
  EXPECT_TRUE(producer && consumer && farm && housing && fun && comfort);
  EXPECT_TRUE(military && factory && mine && storage && income && science);
}

TEST(Content, StartingBaseIsAHeadquartersAtTheCentre) {
  shell::Session s;
  s.StartUp(kData, 1);
  const auto& base = s.game.placed[0];
  ASSERT_TRUE(base.exists);
  EXPECT_EQ(base.id, s.game.catalog[0].id);
  EXPECT_EQ(base.x, 15);
  EXPECT_EQ(base.y, 15);
  EXPECT_EQ(base.up, 1);
  EXPECT_TRUE(base.unique);
  // Enough to live through the first days alone: beds and food for the first hundred
  // colonists, a store, energy, and nothing it needs from elsewhere.
  EXPECT_GE(base.living, 100);
  EXPECT_GE(base.food, 100);
  EXPECT_GT(base.storage, 0);
  EXPECT_GT(base.engout, 0);
  EXPECT_EQ(base.engcons, 0);
}

TEST(Content, EveryLanguageWordsEveryEntryAndNamesAndDescribesEveryType) {
  // Entries the game never reads stay empty lines; every other entry up to 180 is worded.
  const std::set<int> unused = {11,  12,  13,  14,  15,  16,  82,  83,  84,  85,  86,  87,  88,  89,
                                90,  91,  92,  93,  94,  95,  96,  97,  121, 123, 135, 138, 143, 160,
                                161, 162, 163, 168};
  for (const auto& code : Languages()) {
    SCOPED_TRACE(code);
    shell::Session s;
    s.game.locale_code = code;
    s.StartUp(kData, 1);
    const core::Game& g = s.game;
    for (int n = 1; n <= 180; ++n)
      EXPECT_EQ(g.Loc(n).empty(), unused.count(n) == 1) << "entry " << n;
    std::set<std::string> names;
    for (int k = 0; k < g.catalog_count; ++k) {
      const auto& b = g.catalog[k];
      EXPECT_GT(std::stoi(b.cname), 180);
      EXPECT_FALSE(b.name.empty()) << b.cname;
      EXPECT_TRUE(names.insert(b.name).second) << "two types named " << b.name;
      const auto text = core::ReadText(g.Path("\\buildings\\bldg_" + std::to_string(b.id) + "_desc_" + code + ".txt"));
      ASSERT_TRUE(text.has_value()) << "no description of " << b.name;
      EXPECT_GT(text->size(), 40u);
    }
  }
}

TEST(Content, DesignTimeCaptionsAreKeptInEnglish) {
  shell::Session s;
  s.StartUp(kData, 1);
  const core::Game& g = s.game;
  EXPECT_EQ(g.Loc(1), "Start Easy");
  EXPECT_EQ(g.Loc(23), "Destroy (10000)");
  EXPECT_EQ(g.Loc(114), "TRADE RAW MATERIALS");
  EXPECT_EQ(g.Loc(171), "Credits");
  // Menu captions name parts of this game, spelt right.
  EXPECT_EQ(g.Loc(120), "Show/Hide HUD");
  EXPECT_EQ(g.Loc(167), "No connection tubes");
  // Composed labels read as their captions: entry + ": " + value.
  EXPECT_EQ(g.Loc(113) + ": ", "Price: ");
  EXPECT_EQ(g.Loc(112) + ": ", "Percent: ");
  EXPECT_EQ(g.Loc(39) + " (", "Upgrade (");
}

// Every message the events, the bank and the upgrade refusal produce reads as a sentence in
// every language: whole games' worth of seeded events over a colony of every type, raids
// both won and lost, earthquakes with none, one and many buildings fallen.
TEST(Content, EveryEventMessageEndsAsASentence) {
  for (const auto& code : Languages()) {
    SCOPED_TRACE(code);
    shell::Session s;
    s.game.locale_code = code;
    s.SetRecording(true);
    s.StartUp(kData, 1);
    core::Game& g = s.game;
    int quakes_with_lists = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
      g.rng.Seed(seed);
      core::StartNewGame(g, seed % 3 == 0 ? 1 : seed % 3 == 1 ? 5 : 10);
      // A colony of every type, a few of each, so that earthquakes have something to fell.
      for (int i = 1; i <= 3 * g.catalog_count && i < core::kPlacedSize; ++i) {
        core::building& b = g.placed[static_cast<size_t>(i)];
        b = g.catalog[(i - 1) % g.catalog_count];
        b.exists = true;
        b.x = i % 30;
        b.y = i / 30;
      }
      g.PlacedChanged();
      g.military_power = seed % 2 == 0 ? 0 : 100000;
      g.debt = 0;
      for (int event = 4; event <= 9; ++event) core::MakeEvent(g, event);
      core::TakeCredit(g, 2000000000);  // over the limit
      g.debt = 1;
      core::TakeCredit(g, 1);  // while a debt is outstanding
      core::ClearSelection(g);
      core::UpgradeSelected(g);
    }
    // Nothing left to fall but the headquarters, which never does.
    for (int i = 1; i < core::kPlacedSize; ++i) g.placed[static_cast<size_t>(i)].exists = false;
    g.PlacedChanged();
    core::MakeEvent(g, 8);
    ASSERT_FALSE(s.recorder.messages.empty());
    EXPECT_NE(s.recorder.messages.back().text.find(g.Loc(108)), std::string::npos);
    for (const auto& m : s.recorder.messages) {
      const std::string& t = m.text;
      ASSERT_FALSE(t.empty());
      EXPECT_TRUE(t.back() == '.' || t.ends_with("\u3002")) << t;
      EXPECT_FALSE(t.ends_with("\u3002.")) << t;
      EXPECT_EQ(t.find(", ."), std::string::npos) << t;
      EXPECT_EQ(t.find(",."), std::string::npos) << t;
      EXPECT_EQ(t.find(", ,"), std::string::npos) << t;
      if (t.starts_with(g.Loc(107)) && t.find(", ") != std::string::npos) ++quakes_with_lists;
    }
    EXPECT_GT(s.recorder.messages.size(), 40u * 9);
    EXPECT_GT(quakes_with_lists, 0);
  }
}

}  // namespace
