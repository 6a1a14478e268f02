// Saved games: a loaded game plays on exactly as the game would have without the save;
// a bad file is refused and changes nothing; a failed write keeps the old save; the
// history, autosaves and the last game.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "core/advisor.h"
#include "core/hiscore.h"
#include "hud/hud.h"
#include "shell/history.h"
#include "shell/rewind.h"
#include "shell/save.h"
#include "shell/session.h"
#include "sim/interpreter.h"
#include "support/test_data.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing_support::TempDir;

const std::string kData = QUENMAR_BUILD_DIR;

std::unique_ptr<shell::Session> Started(uint32_t seed) {
  auto s = std::make_unique<shell::Session>();
  s->SetRecording(true);
  s->StartUp(kData, seed);
  return s;
}

// What a script printed, errors included.
std::string Play(shell::Session& s, const std::string& script) {
  std::ostringstream out, err;
  sim::Interpreter in(s, out, err);
  sim::RegisterAllCommands(in);
  std::istringstream src(script);
  in.RunScript(src);
  return out.str() + err.str();
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A random stretch of play: every kind of command that changes the game or the craft,
// with looks at the state in between. Days and frames both pass, so shuttles fly, the trade
// ship comes and goes and pirates cross while the save is made.
// `options`: also the view options, which live in the options file and not in a save.
std::string RandomPlay(std::mt19937& r, int commands, int catalog_count, bool options = true) {
  auto pick = [&](int n) { return static_cast<int>(r() % static_cast<unsigned>(n)); };
  static const char* kLooks[] = {"state", "placed", "readout", "ship", "shuttles", "warnings", "score", "messages", "history"};
  static const char* kGoods[] = {"food", "raw", "products"};
  static const char* kDts[] = {"0.016", "0.1", "0.5", "1", "3.5"};
  static const int kLevels[] = {10, 5, 1};
  static const char* kDisasters[] = {"rules", "rare", "off"};
  static const char* kOnSlot[] = {"upgrade", "toggle", "destroy"};
  static const char* kSpeeds[] = {"0.5", "3", "10", "12"};
  static const char* kPanels[] = {"build", "bldg", "none"};
  std::ostringstream s;
  for (int i = 0; i < commands; ++i) {
    switch (pick(23)) {
      case 0:
        // The disaster choice is an option too, and decides how the new game draws; taken
        // from the command's place, so the scripts' own draws stay as they were.
        if (options) s << "disasters " << kDisasters[i % 3] << '\n';
        s << "new " << kLevels[pick(3)] << '\n';
        break;
      case 1: case 2: s << "day " << 1 + pick(35) << '\n'; break;
      case 3: case 4: s << "frames " << 1 + pick(60) << ' ' << kDts[pick(5)] << '\n'; break;
      case 5: case 6: s << "build " << pick(catalog_count) << '\n'; break;
      case 7: s << "build " << pick(catalog_count) << ' ' << pick(34) << ' ' << pick(30) << '\n'; break;
      case 8: s << kOnSlot[pick(3)] << ' ' << pick(30) << '\n'; break;
      case 9: s << (pick(2) ? "select none" : "select " + std::to_string(pick(30))) << '\n'; break;
      case 10: s << (pick(2) ? "buy " : "sell ") << kGoods[pick(3)] << ' ' << pick(400) << '\n'; break;
      case 11: s << "credit " << pick(30000) << '\n'; break;
      case 12: s << "event " << 4 + pick(6) << '\n'; break;
      case 13: s << "set day_length " << kSpeeds[pick(4)] << '\n'; break;
      case 14: s << "cell " << pick(33) << ' ' << pick(30) << '\n'; break;
      case 15: s << "camera " << pick(600) << ' ' << pick(600) << ' ' << 10 + pick(190) << '\n'; break;
      case 16:
        if (!options) break;
        s << (pick(2) ? "isometric " : "tubes ") << (pick(2) ? "on" : "off") << '\n'; break;
      case 17: s << "panel " << kPanels[pick(3)] << '\n'; break;
      case 18: s << "choose " << pick(catalog_count + 1) - 1 << '\n'; break;
      case 19: s << (pick(2) ? "sandbox " : "events ") << (pick(4) ? "on" : "off") << '\n'; break;
      case 20: s << "pause\n"; break;
      default: s << kLooks[pick(9)] << '\n'; break;
    }
  }
  return s.str();
}

// Everything B should print the same, looked at once more at its end.
constexpr const char* kFinalLooks = "state\nplaced\nreadout\nship\nshuttles\nwarnings\nscore\nhistory\nmessages\n";

// Plays `scripts` seeded scripts: one session plays A then B; the other plays A, saves,
// plays on some more (C), loads the save and plays B. What B prints must not differ, nor
// what a save of the two holds afterwards. The
// sessions carry on from script to script, so anything a load leaves out shows up later
// too; every tenth load goes into a newly started session instead, which has only the
// options (kept in their own file) in common with the one that saved.
void CheckSaveLoadPlaysOn(int scripts, uint32_t first_seed) {
  TempDir dir;
  const std::string file = dir.path() + "/play.qsave";
  auto ref = Started(5), saver = Started(5);
  const int types = ref->game.catalog_count;
  ASSERT_GT(types, 0);
  for (int k = 0; k < scripts; ++k) {
    std::mt19937 r(first_seed + static_cast<uint32_t>(k));
    const std::string a = (k == 0 ? "new 10\n" : "") + RandomPlay(r, 4 + static_cast<int>(r() % 12), types) + "messages\n";
    const std::string c = RandomPlay(r, 1 + static_cast<int>(r() % 6), types, false) + "messages\n";
    const std::string b = RandomPlay(r, 4 + static_cast<int>(r() % 12), types) + kFinalLooks;
    SCOPED_TRACE("script " + std::to_string(k) + ", seed " + std::to_string(first_seed + k) + "\n--- A\n" + a +
                 "--- save, C\n" + c + "--- load, B\n" + b);

    const std::string ref_a = Play(*ref, a);
    const std::string ref_b = Play(*ref, b);

    ASSERT_EQ(Play(*saver, a), ref_a);
    ASSERT_EQ(Play(*saver, "save " + file), "");
    Play(*saver, c);
    if (k % 10 == 9) {
      auto fresh = Started(1000 + k);
      fresh->game.isometric = saver->game.isometric;
      fresh->game.tubes_off = saver->game.tubes_off;
      fresh->game.disasters_option = saver->game.disasters_option;
      saver = std::move(fresh);
    }
    ASSERT_EQ(Play(*saver, "load " + file + "\nmessages"), "[]\n");
    ASSERT_EQ(Play(*saver, b), ref_b);
    // And what no command prints, such as where the camera has travelled to.
    ASSERT_EQ(shell::SaveJson(*saver), shell::SaveJson(*ref));
  }
}

TEST(SaveLoad, PlayingOnFromALoadedGamePrintsWhatPlayingOnWouldHave) { CheckSaveLoadPlaysOn(200, 1); }

// QUENMAR_SAVE_SOAK=N plays N more scripts (seeds from 100000).
TEST(SaveLoad, Soak) {
  const char* n = std::getenv("QUENMAR_SAVE_SOAK");
  if (!n) GTEST_SKIP() << "set QUENMAR_SAVE_SOAK=N to play N more scripts";
  CheckSaveLoadPlaysOn(std::atoi(n), 100000);
}

// One of the player's actions, or (now and then) a look or a moment of the day between
// them: every path the windows take to the operations, the selection's panel buttons
// included.
std::string RandomAction(std::mt19937& r, int catalog_count) {
  auto pick = [&](int n) { return static_cast<int>(r() % static_cast<unsigned>(n)); };
  static const char* kGoods[] = {"food", "raw", "products"};
  static const char* kOnSlot[] = {"upgrade", "toggle", "destroy"};
  std::ostringstream s;
  switch (pick(11)) {
    case 0: case 1: s << "build " << pick(catalog_count) << '\n'; break;
    case 2: s << "cell " << pick(34) << ' ' << pick(30) << "\nbuild " << pick(catalog_count) << '\n'; break;
    case 3: case 4: s << kOnSlot[pick(3)] << ' ' << pick(30) << '\n'; break;
    case 5: s << "select " << pick(30) << '\n' << kOnSlot[pick(3)] << '\n'; break;
    case 6: case 7: s << (pick(2) ? "buy " : "sell ") << kGoods[pick(3)] << ' ' << pick(pick(4) ? 60 : 400) << '\n'; break;
    case 8: s << "credit " << pick(30000) << '\n'; break;
    case 9: {
      const int slot = pick(30);  // twice: the second switches back on
      s << "toggle " << slot << "\ntoggle " << slot << '\n';
      break;
    }
    default: s << (pick(2) ? "frames " + std::to_string(1 + pick(20)) + " 0.016\n" : "cell " + std::to_string(pick(33)) + " 5\n"); break;
  }
  return s.str();
}

// Two states alike, or what differs between them as a JSON patch.
testing::AssertionResult Same(const json& got, const json& want) {
  if (got == want) return testing::AssertionSuccess();
  return testing::AssertionFailure() << json::diff(want, got).dump();
}

// Plays `scripts` seeded scripts, each a random stretch of play and then a few actions of
// one day, and checks undo against the save: `save; A; undo; save` writes the same file
// twice; undoing every action of the day returns the game to the moment before the first,
// redoing them all to the moment of the first undo, and playing the same actions again
// after undoing them gives that very game once more (generator and craft included), with
// nothing left to redo. A refused action is not one: it leaves nothing to undo.
void CheckUndoIsExact(int scripts, uint32_t first_seed) {
  TempDir dir;
  const std::string before_file = dir.path() + "/before.qsave", after_file = dir.path() + "/after.qsave";
  auto s = Started(7);
  const int types = s->game.catalog_count;
  ASSERT_GT(types, 0);
  // A spaceport from the start: every trade then calls the trade ship, drawing from the
  // generator, which an undone trade must give back too.
  int spaceport = 0;
  while (spaceport < types && !s->game.catalog[spaceport].spaceport) ++spaceport;
  ASSERT_LT(spaceport, types);
  int undone = 0;
  std::set<int> kinds;
  for (int k = 0; k < scripts; ++k) {
    std::mt19937 r(first_seed + static_cast<uint32_t>(k));
    // Money now and then, so that most actions are affordable.
    const std::string play = (k == 0 ? "new 10\nset money 100000\nbuild " + std::to_string(spaceport) + "\n" : "") +
                             RandomPlay(r, 2 + static_cast<int>(r() % 10), types, false) + (r() % 4 ? "set money " + std::to_string(r() % 200000) + "\n" : "");
    Play(*s, play);
    shell::UndoHistory& undo = s->undo;
    // The day's list may already hold actions of the play before: these come on top.
    std::string actions, log;
    json before_first;
    bool started = false;
    std::size_t base = 0;
    for (int i = 0, n = 2 + static_cast<int>(r() % 8); i < n; ++i) {
      const std::string a = RandomAction(r, types);
      // The last line is the action; a line before it chooses the site or the building.
      const std::size_t last = a.rfind('\n', a.size() - 2) + 1;
      Play(*s, a.substr(0, last) + "save " + before_file);
      const std::size_t count = undo.undo_count();
      const json before = started ? json() : shell::SaveJson(*s);
      Play(*s, a.substr(last));
      log += a;
      if (undo.undo_count() < count) {
        // A day passed: its tick closed the list.
        started = false;
        continue;
      }
      if (started) actions += a;
      if (undo.undo_count() == count) continue;
      if (!started) {
        started = true;
        before_first = before;
        actions = a.substr(last);
        base = count;
      }
      SCOPED_TRACE("script " + std::to_string(k) + ", seed " + std::to_string(first_seed + k) + "\n--- play\n" + play +
                   "--- actions\n" + log);
      ASSERT_EQ(undo.undo_count(), count + 1) << "one action, one step";
      ASSERT_EQ(undo.redo_count(), 0u);
      const json after = shell::SaveJson(*s);
      kinds.insert(undo.NextUndo()->kind);
      ASSERT_EQ(Play(*s, "undo\nsave " + after_file), "");
      ASSERT_TRUE(Read(after_file) == Read(before_file))
          << "save; A; undo; save: " << Same(json::parse(Read(after_file)), json::parse(Read(before_file))).message();
      ASSERT_EQ(Play(*s, "redo"), "");
      ASSERT_TRUE(Same(shell::SaveJson(*s), after)) << "A; undo; redo";
      ++undone;
    }
    if (!started) continue;
    const std::size_t steps = undo.undo_count() - base;
    SCOPED_TRACE("script " + std::to_string(k) + ", seed " + std::to_string(first_seed + k) + "\n--- play\n" + play +
                 "--- actions\n" + log + "--- from the first one on\n" + actions);
    const json final_state = shell::SaveJson(*s);
    const std::string all_undos = [&] {
      std::string u;
      for (std::size_t i = 0; i < steps; ++i) u += "undo\n";
      return u;
    }();
    std::string all_redos = all_undos;
    for (std::size_t at = 0; (at = all_redos.find("undo", at)) != std::string::npos;) all_redos.replace(at, 4, "redo");
    ASSERT_EQ(Play(*s, all_undos), "");
    ASSERT_EQ(undo.undo_count(), base);
    ASSERT_TRUE(Same(shell::SaveJson(*s), before_first)) << "back to the start of the day's actions";
    ASSERT_EQ(Play(*s, all_redos), "");
    ASSERT_TRUE(Same(shell::SaveJson(*s), final_state)) << "redone to where the undoing began";
    ASSERT_EQ(Play(*s, all_undos), "");
    Play(*s, actions);
    ASSERT_TRUE(Same(shell::SaveJson(*s), final_state)) << "the same actions again play the same game";
    ASSERT_FALSE(undo.CanRedo()) << "a new action drops what could be redone";
    ASSERT_EQ(undo.undo_count(), base + steps);
  }
  // The scripts must have exercised the property on every kind of action, not skipped it.
  EXPECT_GT(undone, scripts);
  EXPECT_EQ(kinds.size(), 8u) << ::testing::PrintToString(kinds) << " undone " << undone;
}

TEST(Undo, TakesBackActionsExactlyAndRedoesThem) { CheckUndoIsExact(40, 1); }

// What closes the day's list: its tick, a new game, a load, the end of the game. Nothing
// is left to undo or redo after any of them.
TEST(Undo, TheDaysTickANewGameALoadAndTheEndCloseTheList) {
  TempDir dir;
  const std::string file = dir.path() + "/closed.qsave";
  const std::pair<const char*, std::string> closers[] = {
      {"the day's tick", "day 1\n"},
      {"a new game", "new 5\n"},
      {"a load", "load " + file + "\n"},
      {"bankruptcy", "set money -2000000\nframes 1\n"},
  };
  for (const auto& [what, closer] : closers) {
    SCOPED_TRACE(what);
    auto s = Started(3);
    Play(*s, "new 10\nevents off\nset msg_panel 0\nsave " + file + "\nset money 100000\nbuild 3\nbuild 4\nundo\n");
    ASSERT_TRUE(s->undo.CanUndo());
    ASSERT_TRUE(s->undo.CanRedo());
    Play(*s, closer);
    EXPECT_FALSE(s->undo.CanUndo());
    EXPECT_FALSE(s->undo.CanRedo());
    EXPECT_EQ(Play(*s, "undo\nredo\n"),
              "error: line 1: nothing to undo since the day began\nerror: line 2: nothing to redo\n");
  }
}

// QUENMAR_UNDO_SOAK=N plays N more scripts (seeds from 100000).
TEST(Undo, Soak) {
  const char* n = std::getenv("QUENMAR_UNDO_SOAK");
  if (!n) GTEST_SKIP() << "set QUENMAR_UNDO_SOAK=N to play N more scripts";
  CheckUndoIsExact(std::atoi(n), 100000);
}

// The save without what a rewind must change: its mark, and the days kept (those are
// compared by day and kind; the states kept after a rewind carry the mark).
json Unmarked(json save) {
  save["game"].erase("rewound");
  json days = json::array();
  if (save.contains("rewind"))
    for (const auto& d : save["rewind"]["days"]) days.push_back({d["day"], d["kind"]});
  save["rewind"] = days;
  return save;
}

// Plays `scripts` seeded scripts with events on: a new game and some days with a few of the
// player's actions in each (and now and then a save and a load), then `rewind N` and the
// actions again from the day the game went back to. The rewind gives the game exactly as it
// was at the start of that day, and playing on gives exactly the same game as the first
// time, kept days included; only the rewound mark differs. Days over 60 back go to the
// start of their month.
void CheckRewindIsExact(int scripts, uint32_t first_seed) {
  TempDir dir;
  const std::string file = dir.path() + "/kept.qsave";
  auto s = Started(11);
  const int types = s->game.catalog_count;
  ASSERT_GT(types, 0);
  int played = 0, months = 0, loaded = 0;
  for (int k = 0; k < scripts; ++k) {
    std::mt19937 r(first_seed + static_cast<uint32_t>(k));
    static const int kLevels[] = {10, 5, 1};
    const int days = 2 + static_cast<int>(r() % (k % 4 == 3 ? 90 : 30));
    std::string log = "new " + std::to_string(kLevels[r() % 3]) + "\nevents on\nset money " +
                      std::to_string(50000 + r() % 200000) + "\nday 1\n";
    Play(*s, log);
    // What was done on each day, and the game at its start.
    std::vector<std::string> actions(static_cast<std::size_t>(days) + 1);
    std::vector<json> at_start(static_cast<std::size_t>(days) + 1);
    bool over = false;
    for (int d = 1; d <= days && !over; ++d) {
      at_start[d] = shell::SaveJson(shell::PartsOf(*s));
      for (int i = 0, n = static_cast<int>(r() % 4); i < n; ++i) actions[d] += RandomAction(r, types);
      if (r() % 9 == 0) actions[d] += "save " + file + "\nload " + file + "\n";
      Play(*s, actions[d]);
      log += actions[d];
      ASSERT_EQ(s->game.history.days().back().day, d) << log;
      if (d < days) {
        Play(*s, "day 1\n");
        log += "day 1\n";
      }
      over = s->game.game_over;
    }
    if (over) continue;
    ++played;
    const int back = 1 + static_cast<int>(r() % static_cast<unsigned>(days));
    if (k % 3 == 1) {
      // From a save file: the kept days are read back.
      Play(*s, "save " + file + "\nload " + file + "\n");
      ++loaded;
    }
    const json first = Unmarked(shell::SaveJson(*s));
    ASSERT_FALSE(s->game.rewound);
    SCOPED_TRACE("script " + std::to_string(k) + ", seed " + std::to_string(first_seed + k) + "\n--- play\n" + log +
                 "--- rewind " + std::to_string(back));
    const auto target = s->rewind.Target(back);
    ASSERT_TRUE(target.has_value());
    ASSERT_LE(*target, back);
    if (*target != back) {
      // Only days over 60 back go to their month's start, never more than a month back.
      EXPECT_LE(back, days - shell::Rewind::kDaysKept + 1);
      EXPECT_LT(back - *target, 30);
      ++months;
    }
    ASSERT_EQ(Play(*s, "rewind " + std::to_string(back)), "");
    EXPECT_TRUE(s->game.rewound);
    EXPECT_FALSE(s->undo.CanUndo());
    ASSERT_EQ(s->game.history.days().back().day, *target);
    for (const auto& kept : s->rewind.kept()) ASSERT_LE(kept.day, *target);
    json there = shell::SaveJson(shell::PartsOf(*s));
    there["game"].erase("rewound");
    ASSERT_TRUE(Same(there, at_start[*target])) << "the game at the start of day " << *target;
    std::string again;
    for (int d = *target; d <= days; ++d) again += actions[d] + (d < days ? "day 1\n" : "");
    Play(*s, again);
    ASSERT_TRUE(Same(Unmarked(shell::SaveJson(*s)), first)) << "the same actions play the same game";
  }
  // The property must have been checked, from files and from months too.
  EXPECT_GT(played, scripts * 2 / 3);
  EXPECT_GT(loaded, 0);
  if (scripts >= 20) {
    EXPECT_GT(months, 0);
  }
}

TEST(Rewind, GoesBackExactlyAndTheSameActionsPlayTheSameGame) { CheckRewindIsExact(30, 1); }

// QUENMAR_REWIND_SOAK=N plays N more scripts (seeds from 100000).
TEST(Rewind, Soak) {
  const char* n = std::getenv("QUENMAR_REWIND_SOAK");
  if (!n) GTEST_SKIP() << "set QUENMAR_REWIND_SOAK=N to play N more scripts";
  CheckRewindIsExact(std::atoi(n), 100000);
}

// An open message comes back where the mode the player is in now shows messages, from a
// save with its text and from one of the format before it had one: on the HUD panel (the
// pointer still where it was), or in the message window with nothing left holding the day
// unseen and no HUD button left under the pointer to swallow clicks on the view.
TEST(SaveLoad, AnOpenMessageComesBackWhereTheModeShowsIt) {
  auto s = Started(3);
  Play(*s, "new 10\nevents off\nset msg_panel 0\nevent 8\n");
  ASSERT_TRUE(s->game.msg_panel);
  const std::string report = s->hud_message.text;
  ASSERT_FALSE(report.empty());
  s->world.over_hud = true;
  const json saved = shell::SaveJson(*s);
  for (const bool panels : {false, true}) {
    for (const bool with_text : {true, false}) {
      SCOPED_TRACE(std::string(panels ? "side panels" : "HUD") + (with_text ? "" : ", older format"));
      json doc = saved;
      if (!with_text) doc["view"].erase("message");
      const std::string text = with_text ? report : "";
      auto t = Started(4);
      shell::RecordingHost windows(core::Game::NullHost());
      t->SetWindows(&windows);
      t->SetHudMode(!panels);
      shell::ApplySave(*t, doc, "message.qsave");
      if (panels) {
        EXPECT_FALSE(t->game.msg_panel);
        EXPECT_FALSE(t->world.over_hud);
        ASSERT_EQ(windows.messages.size(), 1u);
        EXPECT_EQ(windows.messages[0].text, text);
        EXPECT_EQ(windows.messages[0].kind, core::kMsgOther);
      } else {
        EXPECT_TRUE(t->game.msg_panel);
        EXPECT_TRUE(t->world.over_hud);
        EXPECT_TRUE(windows.messages.empty());
        EXPECT_EQ(t->world.hud().objects().msg_text->text(), hud::BreakMessageLines(text));
      }
      // Saved again, the message is still there to come back.
      if (with_text && !panels) {
        EXPECT_EQ(shell::SaveJson(*t)["view"]["message"], report);
      }
    }
  }
}

// --- bad files

struct BadFile {
  const char* name;
  std::function<std::string(const std::string& good)> make;  // the file's bytes from a good save
  const char* reason;                                          // part of the message
};

std::string Edit(const std::string& good, const std::function<void(json&)>& change) {
  json j = json::parse(good);
  change(j);
  return j.dump();
}

TEST(SaveLoad, EveryKindOfBadFileIsRefusedWithItsReasonAndTheGameUnchanged) {
  TempDir dir;
  auto s = Started(3);
  Play(*s, "new 10\nbuild 3\nbuild 7\nday 12\nbuy food 5\nframes 20 0.1\n");
  const std::string good_path = dir.path() + "/good.qsave";
  ASSERT_EQ(Play(*s, "save " + good_path), "");
  const std::string good = Read(good_path);
  Play(*s, "day 3\nframes 7 0.3\n");  // the game moves on from the save
  const json before = shell::SaveJson(*s);

  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const std::vector<BadFile> cases = {
      {"empty", [](auto&) { return std::string(); }, "empty"},
      {"truncated", [](auto& g) { return g.substr(0, g.size() / 2); }, "not readable as a saved game"},
      {"malformed", [](auto&) { return std::string("{\"format\": \"quenmar-save\", \"version\": 1,,}"); },
       "not readable as a saved game"},
      {"another kind of JSON", [](auto&) { return std::string("[1, 2, 3]"); }, "not a saved game"},
      {"another format", [](auto& g) { return Edit(g, [](json& j) { j["format"] = "spreadsheet"; }); }, "not a saved game"},
      {"future version", [](auto& g) { return Edit(g, [](json& j) { j["version"] = 2; j["game_version"] = "9.0"; }); },
       "newer version of the game (game version 9.0): save format 2, this game reads up to 1"},
      {"version as text", [](auto& g) { return Edit(g, [](json& j) { j["version"] = "1"; }); }, "version: expected a whole number"},
      {"huge number", [](auto& g) { return Edit(g, [](json& j) { j["game"]["money"] = 1e300; }); }, "game.money: expected a whole number"},
      {"number beyond 32 bits", [](auto& g) { return Edit(g, [](json& j) { j["game"]["money"] = 4294967296LL; }); },
       "game.money: expected a whole number from -2147483648 to 2147483647"},
      {"huge unsigned number", [](auto& g) { return Edit(g, [](json& j) { j["game"]["food"] = 18446744073709551615ULL; }); },
       "game.food: expected a whole number from"},
      {"wrong type", [](auto& g) { return Edit(g, [](json& j) { j["game"]["game_over"] = 0; }); }, "game.game_over: expected true or false"},
      {"list where an object belongs", [](auto& g) { return Edit(g, [](json& j) { j["traffic"] = json::array(); }); },
       "traffic: expected an object"},
      {"missing value", [](auto& g) { return Edit(g, [](json& j) { j["game"].erase("day_timer"); }); }, "missing game.day_timer"},
      {"slot beyond the table", [](auto& g) { return Edit(g, [](json& j) { j["placed"][0]["slot"] = 1001; }); },
       "placed[0].slot: expected a whole number from 0 to 1000"},
      {"negative slot", [](auto& g) { return Edit(g, [](json& j) { j["placed"][0]["slot"] = -1; }); },
       "placed[0].slot: expected a whole number from 0 to 1000"},
      {"slot twice", [](auto& g) { return Edit(g, [](json& j) { j["placed"].push_back(j["placed"][0]); }); }, "given twice"},
      {"more buildings than slots",
       [](auto& g) { return Edit(g, [](json& j) { j["placed"] = json::array(); for (int i = 0; i < 1002; ++i) j["placed"].push_back(i); }); },
       "placed: expected 0 to 1001 entries, found 1002"},
      {"nine shuttles", [](auto& g) { return Edit(g, [](json& j) { j["traffic"]["shuttles"].erase(0); }); },
       "traffic.shuttles: expected 10 entries, found 9"},
      {"shuttle in no state", [](auto& g) { return Edit(g, [](json& j) { j["traffic"]["shuttles"][3]["state"] = 7; }); },
       "traffic.shuttles[3].state: expected a whole number from 0 to 2"},
      {"ship state", [](auto& g) { return Edit(g, [](json& j) { j["traffic"]["ship_state"] = -2; }); }, "traffic.ship_state"},
      {"selection beyond the table", [](auto& g) { return Edit(g, [](json& j) { j["game"]["selected_bldg"] = 5000; }); },
       "game.selected_bldg: expected a whole number from 0 to 1000, found 5000"},
      {"type beyond the list", [](auto& g) { return Edit(g, [](json& j) { j["game"]["constr_choice"] = 101; }); },
       "game.constr_choice"},
      {"day of the month", [](auto& g) { return Edit(g, [](json& j) { j["game"]["day"] = 31; }); }, "game.day"},
      {"six warnings", [](auto& g) { return Edit(g, [](json& j) { j["game"]["warnings"].push_back(j["game"]["warnings"][0]); }); },
       "game.warnings: expected 5 entries, found 6"},
      {"scroll beyond the list", [](auto& g) { return Edit(g, [](json& j) { j["hud"]["list_scroll"] = 990; }); }, "hud.list_scroll"},
      {"random generator", [](auto& g) { return Edit(g, [](json& j) { j["game"]["rng"] = "1 2 3"; }); },
       "game.rng: not a state of the random generator"},
      {"camera off the numbers", [](auto& g) { return Edit(g, [](json& j) { j["view"]["camera"]["x"] = "nan"; }); },
       "view.camera.x: expected a number"},
      {"history out of order",
       [](auto& g) { return Edit(g, [](json& j) { std::swap(j["history"]["days"][0], j["history"]["days"][1]); }); },
       "history.days: day numbers must rise"},
      {"ledger day past the month", [](auto& g) { return Edit(g, [](json& j) { j["game"]["ledger"]["day"]["day"] = 31; }); },
       "game.ledger.day.day: expected 0 to 30, found 31"},
      {"ledger entry missing", [](auto& g) { return Edit(g, [](json& j) { j["game"]["ledger"]["open"].erase("food_bought"); }); },
       "missing game.ledger.open.food_bought"},
      {"history row short", [](auto& g) { return Edit(g, [](json& j) { j["history"]["days"][2].erase(0); }); },
       "history.days[2]: expected a list of 14 numbers"},
      {"deep nesting", [&](auto& g) { return Edit(g, [&](json& j) { j["hud"]["extra"] = "x"; }).insert(1, "\"x\":" + deep + ","); },
       "nested deeper than a saved game is"},
      {"multi-megabyte text",
       [](auto& g) { return Edit(g, [](json& j) { j["placed"][1]["name"] = std::string(5 << 20, 'a'); }); },
       "placed[1].name: text longer than 4096 bytes"},
      {"file too large", [](auto& g) { return g + std::string(17 << 20, ' '); }, "file larger than 16 MB"},
      // Refused while the parser reads them, before the tree they describe is built.
      {"one long list",
       [](auto& g) {
         std::string list = "[1";
         for (int i = 0; i < 2000000; ++i) list += ",1";
         std::string text = Edit(g, [](json& j) { j["placed"] = "LIST"; });
         return text.replace(text.find("\"LIST\""), 6, list + "]");
       },
       "placed: a list of more than 10000 entries"},
      {"object of many names",
       [](auto& g) { json extra = json::object(); for (int i = 0; i < 10001; ++i) extra["k" + std::to_string(i)] = 0;
                     return Edit(g, [&](json& j) { j["hud"]["extra"] = extra; }); },
       "hud.extra: an object of more than 10000 entries"},
      {"more values than a save holds",
       [](auto& g) { return Edit(g, [](json& j) { j["hud"]["extra"] = json::array(); for (int i = 0; i < 45; ++i) j["hud"]["extra"].push_back(std::vector<int>(9000, 1)); }); },
       "more values than a saved game holds"},
      // The days kept for rewinding are checked as thoroughly as the save around them.
      {"kept day not base64", [](auto& g) { return Edit(g, [](json& j) { j["rewind"]["days"][0]["packed"] = "AB$="; }); },
       "rewind.days[0].packed: expected base64 text"},
      {"kept day holding a hostile state",
       [](auto& g) {
         return Edit(g, [](json& j) {
           json state = json::parse(*shell::Inflate(*shell::FromBase64(j["rewind"]["days"][3]["packed"]), 1 << 24));
           state["placed"][0]["slot"] = 5000;
           j["rewind"]["days"][3]["packed"] = shell::ToBase64(shell::Deflate(state.dump()));
         });
       },
       "rewind.days[3].packed: placed[0].slot: expected a whole number from 0 to 1000, found 5000"},
      {"kept day inflating beyond any save",
       [](auto& g) { return Edit(g, [](json& j) { j["rewind"]["days"][1]["packed"] = shell::ToBase64(shell::Deflate(std::string(17 << 20, ' '))); }); },
       "rewind.days[1].packed: not a deflated state of at most 16 MB"},
      {"kept day after the save's last", [](auto& g) { return Edit(g, [](json& j) { j["rewind"]["days"].back()["day"] = 400; }); },
       "rewind.days[11].day: expected a day after 11 up to the save's last day 12, found 400"},
      {"kept days out of order", [](auto& g) { return Edit(g, [](json& j) { std::swap(j["rewind"]["days"][0], j["rewind"]["days"][2]); }); },
       "rewind.days[1].day: expected a day after 3"},
      {"kept day of no kind", [](auto& g) { return Edit(g, [](json& j) { j["rewind"]["days"][0]["kind"] = "week"; }); },
       "rewind.days[0].kind: expected \"day\" or \"month\", found \"week\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.path() + "/bad.qsave";
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out << c.make(good);
    }
    try {
      s->LoadGame(path);
      ADD_FAILURE() << "loaded";
    } catch (const shell::SaveError& e) {
      EXPECT_EQ(e.path(), path);
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
      EXPECT_NE(e.reason().find(c.reason), std::string::npos) << e.what();
    }
    EXPECT_EQ(shell::SaveJson(*s), before);
  }
  // A missing file, through the simulator's command: one error line naming the file.
  const std::string missing = dir.path() + "/none.qsave";
  EXPECT_EQ(Play(*s, "load " + missing), "error: line 1: cannot load the game: " + missing + ": no such file\n");
  EXPECT_EQ(shell::SaveJson(*s), before);
  // The good file still loads after all that.
  s->LoadGame(good_path);
  EXPECT_EQ(shell::SaveJson(*s), json::parse(good));
}

// Values of the right type that the game itself could never have written: each is refused
// with a message naming the file, the field and the value, and the game stays as it was.
struct Hostile {
  const char* pointer;  // where in the save (a JSON pointer)
  json value;
  const char* reason;   // part of the message: the field and the value
};

TEST(SaveLoad, ValuesTheGameCannotWriteAreRefusedNamingFieldAndValue) {
  TempDir dir;
  auto s = Started(3);
  Play(*s, "new 5\nbuild 3\nbuild 7\nday 12\nbuy food 5\nframes 20 0.1\n");
  const std::string good_path = dir.path() + "/good.qsave";
  s->SaveGame(good_path);
  const json good = json::parse(Read(good_path));
  Play(*s, "day 3\nframes 7 0.3\n");
  const json before = shell::SaveJson(*s);

  std::string zero_state = "0";
  for (int i = 1; i < 624; ++i) zero_state += " 0";
  const std::vector<Hostile> cases = {
      {"/game/rng", zero_state + " 624", "game.rng: not a state of the random generator"},
      {"/version", 0, "version: expected a whole number from 1 to 2147483647, found 0"},
      {"/game/day_length", "nan", "game.day_length: expected a number from 0.5 to 12.0, found \"nan\""},
      {"/game/day_length", "inf", "game.day_length: expected a number from 0.5 to 12.0, found \"inf\""},
      {"/game/day_length", 0.0, "game.day_length: expected a number from 0.5 to 12.0, found 0.0"},
      {"/game/day_timer", 13.0, "game.day_timer: expected a number from 0.0 to 12.0, found 13.0"},
      {"/game/day_angle", -1.0, "game.day_angle: expected a number from 0.0 to"},
      {"/game/energy_ratio", "-inf", "game.energy_ratio: expected a number from"},
      {"/game/level", 0, "game.level: expected 10, 5 or 1 (0 before the first game), found 0"},
      {"/game/level", 7, "game.level: expected 10, 5 or 1 (0 before the first game), found 7"},
      {"/game/score/level", -1, "game.score.level: expected 10, 5, 1 or 0, found -1"},
      {"/game/food_price", -5, "game.food_price: expected a whole number from 0 to 2147483647, found -5"},
      {"/game/raw_price", -1, "game.raw_price: expected a whole number from 0 to 2147483647, found -1"},
      {"/game/product_price", -100, "game.product_price: expected a whole number from 0 to 2147483647, found -100"},
      {"/game/traded", -100, "game.traded: expected a whole number from 0 to 2147483647, found -100"},
      {"/game/wage", 5000, "game.wage: expected a whole number from 0 to 116, found 5000"},
      {"/game/days_left", 100000, "game.days_left: expected a whole number from -2147483648 to 1200, found 100000"},
      {"/game/cam_height", 500, "game.cam_height: expected a whole number from 10 to 200, found 500"},
      {"/game/info_blocks/3/x", "nan", "game.info_blocks[3].x: expected a number from"},
      {"/placed/1/id", 101, "placed[1].id: expected a whole number from 0 to 100, found 101"},
      {"/traffic/shuttles/0/angle", 1e308, "traffic.shuttles[0].angle: expected a number from -180.0 to 180.0, found 1e+308"},
      {"/traffic/shuttles/0/desangle", -181.0, "traffic.shuttles[0].desangle: expected a number from -180.0 to 180.0, found -181.0"},
      {"/traffic/shuttles/2/height", 41.0, "traffic.shuttles[2].height: expected a number from 0.0 to 40.0, found 41.0"},
      {"/traffic/shuttles/2/speed", -1.0, "traffic.shuttles[2].speed: expected a number from 0.0 to"},
      {"/traffic/shuttles/4/x", "inf", "traffic.shuttles[4].x: expected a number from"},
      {"/traffic/trade_ship/height", 0.0, "traffic.trade_ship.height: expected a number from 2.9 to 60.0, found 0.0"},
      {"/traffic/pirates/1/height", 0.0, "traffic.pirates[1].height: expected a number from 20.0 to 20.0, found 0.0"},
      {"/traffic/pirates/2/x", 1e30, "traffic.pirates[2].x: expected a number from"},
      {"/view/camera/z", 1000.0, "view.camera.z: expected a number from 10.0 to 200.0, found 1000.0"},
      {"/hud/cat_scroll", -4, "hud.cat_scroll: expected a whole number from 0 to 101, found -4"},
      {"/game/disasters", 3, "game.disasters: expected a whole number from 0 to 2, found 3"},
      {"/game/score/disasters", -1, "game.score.disasters: expected a whole number from 0 to 2, found -1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pointer) + " = " + c.value.dump().substr(0, 60));
    json j = good;
    j[json::json_pointer(c.pointer)] = c.value;
    const std::string path = dir.path() + "/hostile.qsave";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << j.dump();
    try {
      s->LoadGame(path);
      ADD_FAILURE() << "loaded";
    } catch (const shell::SaveError& e) {
      EXPECT_EQ(e.path(), path);
      EXPECT_NE(std::string(e.what()).find(path + ": "), std::string::npos) << e.what();
      EXPECT_NE(e.reason().find(c.reason), std::string::npos) << e.what();
    }
    EXPECT_EQ(shell::SaveJson(*s), before);
  }
  // Every case on its own was the only fault: the good file loads.
  s->LoadGame(good_path);
  EXPECT_EQ(shell::SaveJson(*s), good);
}

// The running game's disaster choice is part of the save, the choice for the next game is
// not (it is an option); a save written before the choice existed reads as the rules say.
TEST(SaveLoad, TheDisasterChoiceIsSavedAndAnOlderSaveReadsAsTheRules) {
  TempDir dir;
  auto s = Started(3);
  EXPECT_EQ(Play(*s, "disasters rare\nnew 10\nbuild 3\nday 5\n"), "");
  ASSERT_EQ(s->game.disasters, core::kDisastersRare);
  const std::string path = dir.path() + "/rare.qsave";
  s->SaveGame(path);
  json saved = json::parse(Read(path));
  EXPECT_EQ(saved["game"]["disasters"], core::kDisastersRare);

  Play(*s, "disasters off\nnew 5\n");
  ASSERT_EQ(s->game.disasters, core::kDisastersOff);
  s->LoadGame(path);
  EXPECT_EQ(s->game.disasters, core::kDisastersRare);
  EXPECT_EQ(s->game.disasters_option, core::kDisastersOff);
  EXPECT_EQ(shell::SaveJson(*s), saved);

  saved["game"].erase("disasters");
  saved["game"]["score"].erase("disasters");
  const std::string old_path = dir.path() + "/old.qsave";
  std::ofstream(old_path, std::ios::binary | std::ios::trunc) << saved.dump();
  s->LoadGame(old_path);
  EXPECT_EQ(s->game.disasters, core::kDisastersRules);
  EXPECT_EQ(s->game.score_entry.disasters, core::kDisastersRules);
}

// The advisor's ledger comes back with the game, the trades since the last day included;
// a save from before the ledger opens the day from the stocks as they stand, so the next
// day's balance still adds up to what the colony then holds.
TEST(SaveLoad, TheLedgerIsSavedAndAnOlderSaveStartsAnEmptyDay) {
  TempDir dir;
  auto s = Started(3);
  EXPECT_EQ(Play(*s, "new 10\nbuild 3\nday 4\nbuy food 20\n"), "");
  ASSERT_EQ(s->game.day_book.food_bought, 20);
  const core::Ledger day = s->game.ledger, open = s->game.day_book;
  const std::string path = dir.path() + "/ledger.qsave";
  s->SaveGame(path);
  Play(*s, "day 3\n");
  s->LoadGame(path);
  EXPECT_EQ(s->game.ledger, day);
  EXPECT_EQ(s->game.day_book, open);

  json saved = json::parse(Read(path));
  saved["game"].erase("ledger");
  const std::string old_path = dir.path() + "/old.qsave";
  std::ofstream(old_path, std::ios::binary | std::ios::trunc) << saved.dump();
  s->LoadGame(old_path);
  EXPECT_EQ(s->game.ledger, core::Ledger{});
  EXPECT_EQ(s->game.day_book.food_start, s->game.food);
  EXPECT_EQ(s->game.day_book.food_bought, 0);
  const int32_t food = s->game.food;
  Play(*s, "day 1\n");
  const core::Explanation e = core::Explain(s->game, core::Topic::kFood);
  int32_t sum = e.before;
  for (const auto& t : e.terms) sum += t.value;
  EXPECT_EQ(e.before, food);
  EXPECT_EQ(sum, s->game.food);
}

// The HUD's unit is the view's at the UI scale, whether the session has drawn a frame, has
// only just started or has loaded a game: a load changes nothing a frame would not.
TEST(SaveLoad, TheHudsUnitIsTheViewsWithOrWithoutFramesAndLoadsAtEveryScale) {
  TempDir dir;
  const std::string path = dir.path() + "/unit.qsave";
  for (const int32_t percent : {0, 75, 100, 150, 200}) {
    SCOPED_TRACE(percent);
    auto fresh = Started(3), loaded = Started(3), drawn = Started(3);
    for (auto* s : {fresh.get(), loaded.get(), drawn.get()}) {
      s->options.ui_scale = percent;
      s->ApplyOptions();
      Play(*s, "new 10\n");
    }
    Play(*drawn, "frames 2\n");
    loaded->SaveGame(path);
    loaded->LoadGame(path);
    const int32_t want = hud::UnitFor(709, hud::UiScale(percent, 1008, 709));
    EXPECT_EQ(drawn->world.hud().hud_unit, want);
    EXPECT_EQ(fresh->world.hud().hud_unit, want) << "before any frame";
    EXPECT_EQ(loaded->world.hud().hud_unit, want) << "after a load";
  }
}

// Random damage to a good save, to its bytes and to its values: every file either loads
// and plays on or is refused with a SaveError that changes nothing. (The sanitizer build
// runs it too.)
TEST(SaveLoad, DamagedFilesLoadOrAreRefusedNeverAnythingElse) {
  TempDir dir;
  auto s = Started(9);
  Play(*s, "new 10\nbuild 3\nbuild 6\nday 8\nbuy food 5\nframes 10 0.2\n");
  const std::string good_path = dir.path() + "/good.qsave";
  s->SaveGame(good_path);
  const std::string good = Read(good_path);
  const json good_json = json::parse(good);
  const std::string path = dir.path() + "/damaged.qsave";
  std::mt19937 r(2024);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(r() % n); };
  const std::vector<json> hostile = {nullptr, true, -1, 0, 1001, 2147483648LL, -2147483649LL, 1e308, -0.5, "",
                                     std::string(5000, 'z'), json::array(), json::object(), json::array({1, 2}),
                                     json::parse("[[[[[[[[[[1]]]]]]]]]]")};
  int loaded = 0, refused = 0;
  for (int i = 0; i < 400; ++i) {
    std::string bytes;
    if (i % 2) {
      bytes = good;
      for (std::size_t n = 1 + pick(4); n > 0; --n) {
        const std::size_t at = pick(bytes.size());
        switch (pick(3)) {
          case 0: bytes[at] = static_cast<char>(r()); break;
          case 1: bytes.erase(at, 1 + pick(8)); break;
          default: bytes.insert(at, 1, "{}[],:\"0-e9"[pick(11)]); break;
        }
      }
    } else {
      // A value anywhere in the tree replaced by a hostile one.
      json j = good_json;
      json* node = &j;
      for (int depth = 0; depth < 6 && (node->is_object() || node->is_array()) && !node->empty(); ++depth) {
        auto it = node->begin();
        std::advance(it, static_cast<std::ptrdiff_t>(pick(node->size())));
        node = &*it;
      }
      *node = hostile[pick(hostile.size())];
      bytes = j.dump();
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    const json before = shell::SaveJson(*s);
    try {
      s->LoadGame(path);
      ++loaded;
      // Whatever loaded plays on.
      Play(*s, "frames 2 0.7\nday 2\nreadout\nbuild 4\nbuy raw 9\n");
      s->LoadGame(good_path);
    } catch (const shell::SaveError& e) {
      ++refused;
      ASSERT_EQ(e.path(), path);
      ASSERT_EQ(shell::SaveJson(*s), before) << e.what();
    }
  }
  EXPECT_GT(refused, 200);
  EXPECT_GT(loaded, 0);
}

// --- writing

TEST(SaveLoad, AFailedWriteLeavesTheSaveThatWasThereIntact) {
  TempDir dir;
  auto s = Started(4);
  Play(*s, "new 5\nbuild 2\nday 40\n");
  const std::string path = dir.path() + "/mine.qsave";
  s->SaveGame(path);
  const std::string old = Read(path);
  Play(*s, "build 4\nday 9\n");

  // The disk fills up half way through the new file.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* previous = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = old.size() / 2;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(s->SaveGame(path), shell::SaveError);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_EQ(Read(path), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // no temporary left

  // The new file cannot even be started: no file can be opened.
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  struct rlimit none = saved;
  none.rlim_cur = 0;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
  std::string what;
  try {
    s->SaveGame(path);
  } catch (const shell::SaveError& e) {
    what = e.what();
  }
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_NE(what.find(path + ": cannot be created"), std::string::npos) << what;
  EXPECT_EQ(Read(path), old);

  // And once the disk has room the save replaces the old one whole.
  s->SaveGame(path);
  EXPECT_EQ(json::parse(Read(path)), shell::SaveJson(*s));
}

// The temporary file is new and the game's own: a link planted at an old or a guessed name is
// never followed, and two games saving the same name at once each put a whole file there.
TEST(SaveLoad, TheTemporaryFileIsNewAndOwnNeitherLinkedNorShared) {
  TempDir dir;
  const std::string path = dir.path() + "/mine.qsave";
  const std::string victim = dir.path() + "/victim.txt";
  std::ofstream(victim) << "keep me\n";
  fs::create_symlink(victim, path + ".tmp");
  shell::WriteFileAtomically(path, "saved\n");
  EXPECT_EQ(Read(path), "saved\n");
  EXPECT_EQ(Read(victim), "keep me\n");
  EXPECT_TRUE(fs::is_symlink(path + ".tmp"));
  fs::remove(path + ".tmp");

  // Two writers of one name and a reader: every read finds one whole file.
  const std::string a(1 << 20, 'a'), b(1 << 20, 'b');
  shell::WriteFileAtomically(path, a);
  std::atomic<int> running{2};
  std::atomic<bool> failed{false};
  auto writer = [&](const std::string& bytes) {
    try {
      for (int i = 0; i < 40; ++i) shell::WriteFileAtomically(path, bytes);
    } catch (const shell::SaveError& e) {
      ADD_FAILURE() << e.what();
    }
    --running;
  };
  std::thread ta(writer, std::cref(a)), tb(writer, std::cref(b));
  int reads = 0;
  while (running > 0 || reads == 0) {
    const std::string now = Read(path);
    if (now != a && now != b) failed = true;
    ++reads;
  }
  ta.join();
  tb.join();
  EXPECT_FALSE(failed) << "a read found a mixed or partial file";
  const std::string last = Read(path);
  EXPECT_TRUE(last == a || last == b);
  // Only the two files of the test are left.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// --- the history

TEST(History, OneRecordPerPassedDayWithTheValuesTheReadOutShowed) {
  auto s = Started(6);
  core::Game& g = s->game;
  // No message on the panel: an open one holds the day clock against the frames.
  Play(*s, "new 10\nevents off\nset msg_panel 0\nbuild 3\nbuild 9\ncredit 5000\n");
  ASSERT_TRUE(g.history.days().empty());
  // Days passed by the script's day command and by the window's frames alike.
  for (int d = 1; d <= 45; ++d) {
    Play(*s, d % 3 ? "day\n" : "frames 1 " + std::to_string(g.day_length + 0.01) + "\n");
    ASSERT_EQ(g.history.days().size(), static_cast<std::size_t>(d));
    const core::DayRecord& r = g.history.days().back();
    // The colony lines of the read-out show these very values.
    const json colony = json::parse(Play(*s, "readout"))["colony"];
    auto shows = [&](int entry, const std::string& value) {
      const std::string line = g.Loc(entry) + " " + value;
      return std::find(colony.begin(), colony.end(), line) != colony.end();
    };
    auto n = [](int32_t v) { return std::to_string(v); };
    EXPECT_EQ(r.day, d);
    EXPECT_TRUE(shows(54, n(r.money))) << colony;
    EXPECT_TRUE(shows(55, n(r.income) + "/" + n(r.expenses))) << colony;
    EXPECT_TRUE(shows(58, n(r.population) + "/" + n(r.living_space))) << colony;
    EXPECT_TRUE(shows(60, n(r.attraction))) << colony;
    EXPECT_TRUE(shows(61, n(r.energy_use) + "/" + n(r.energy_out))) << colony;
    EXPECT_TRUE(shows(62, n(r.food) + " (" + n(r.food - g.prev_food) + ")")) << colony;
    EXPECT_TRUE(shows(63, n(r.raw) + " (" + n(r.raw - g.prev_raw) + ")")) << colony;
    EXPECT_TRUE(shows(64, n(r.products) + " (" + n(r.products - g.prev_products) + ")")) << colony;
    EXPECT_EQ(r.debt, g.debt);
    EXPECT_EQ(r.science, g.science_pts);
    // What the player does during the day belongs to the next day's figures.
    Play(*s, "buy food 3\n");
  }
  // The simulator prints it as JSON and writes it as CSV, a header and one line per day.
  const json printed = json::parse(Play(*s, "history"));
  EXPECT_EQ(printed, shell::HistoryJson(g.history));
  ASSERT_EQ(printed.size(), 45u);
  EXPECT_EQ(printed[44]["money"], g.history.days().back().money);
  TempDir dir;
  EXPECT_EQ(Play(*s, "history-csv " + dir.path() + "/h.csv"), "");
  std::istringstream csv(Read(dir.path() + "/h.csv"));
  std::vector<std::string> lines;
  for (std::string l; std::getline(csv, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 46u);
  EXPECT_EQ(lines[0], "day,money,income,expenses,population,living_space,food,raw,products,energy_out,energy_use,debt,"
                      "attraction,science");
  EXPECT_TRUE(lines[45].starts_with("45," + std::to_string(g.history.days().back().money) + ","));

  // A new game starts a new story; the days of a finished game are not the colony's.
  Play(*s, "new 5\n");
  EXPECT_TRUE(g.history.days().empty());
  Play(*s, "set days_left 1\nday 3\n");
  EXPECT_TRUE(g.game_over);
  EXPECT_EQ(g.history.days().size(), 1u);

  // Bounded: a sandbox game that never ends keeps its latest days only.
  core::History h;
  for (std::size_t i = 0; i < core::History::kMaxDays + 5; ++i) h.Record(g);
  EXPECT_EQ(h.days().size(), core::History::kMaxDays);
  EXPECT_EQ(h.days().front().day, 6);
  EXPECT_EQ(h.days().back().day, static_cast<int32_t>(core::History::kMaxDays + 5));
}

// --- autosaves, the save on closing and Continue

TEST(SaveLoad, MonthEndsAutosaveTheLastThreeAndContinueLoadsTheLastGame) {
  TempDir dir;
  const std::string folder = dir.path() + "/data/quenmar/saves";
  auto s = Started(8);
  s->SetSavesFolder(folder);
  EXPECT_FALSE(s->HasLastGame());
  // Start-up left the day of the month at 0: months end on days 30, 60, 90 and 120.
  Play(*s, "sandbox on\nnew 10\nbuild 3\nday 119\n");
  EXPECT_EQ(fs::exists(folder + "/autosave-3.qsave"), true);
  EXPECT_EQ(fs::exists(folder + "/autosave-4.qsave"), false);
  Play(*s, "day 1\n");
  const json at_month_end = shell::SaveJson(*s);
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"autosave-2.qsave", "autosave-3.qsave", "autosave-4.qsave", "last-game.txt"}));
  ASSERT_TRUE(s->HasLastGame());
  EXPECT_EQ(s->LastGamePath(), fs::absolute(folder + "/autosave-4.qsave").string());

  // The window closes in the middle of a month; the next start continues from there.
  Play(*s, "day 13\nframes 25 0.2\nbuy raw 20\n");
  EXPECT_TRUE(s->SaveOnClose());
  const json at_close = shell::SaveJson(*s);
  auto next = Started(77);
  next->SetSavesFolder(folder);
  ASSERT_TRUE(next->HasLastGame());
  next->ContinueLastGame();
  EXPECT_EQ(shell::SaveJson(*next), at_close);
  // Loading the month's end is no new month end: no autosave follows.
  next->LoadGame(folder + "/autosave-4.qsave");
  EXPECT_EQ(shell::SaveJson(*next), at_month_end);
  Play(*next, "frames 3\n");
  EXPECT_FALSE(fs::exists(folder + "/autosave-5.qsave"));

  // Quick save and quick load.
  Play(*next, "day 2\n");
  next->QuickSave();
  const json quick = shell::SaveJson(*next);
  Play(*next, "day 4\nbuild 5\n");
  next->QuickLoad();
  EXPECT_EQ(shell::SaveJson(*next), quick);

  // With the game over there is nothing to continue.
  Play(*next, "sandbox off\nnew 10\nset days_left 1\nday\n");
  ASSERT_TRUE(next->game.game_over);
  EXPECT_FALSE(next->SaveOnClose());
  EXPECT_FALSE(next->HasLastGame());
  // The high-score window waits for a name; a game loaded now is not the one that ended.
  ASSERT_FALSE(next->hiscores.accepted);
  next->QuickLoad();
  EXPECT_EQ(core::AcceptScore(next->game, next->hiscores, "Loaded"), core::OkResult::kDisabled);
}

TEST(SaveLoad, SavesFolderFollowsXdgDataHomeThenHome) {
  struct Case {
    const char* xdg;
    const char* home;
    std::string folder;
  };
  for (const Case& c : std::vector<Case>{{"/x/data", "/home/u", "/x/data/quenmar/saves"},
                                         {nullptr, "/home/u", "/home/u/.local/share/quenmar/saves"},
                                         {"", "/home/u", "/home/u/.local/share/quenmar/saves"},
                                         {"relative/data", "/home/u", "/home/u/.local/share/quenmar/saves"},
                                         {nullptr, nullptr, ""}})
    EXPECT_EQ(shell::SavesFolderFor(c.xdg, c.home), c.folder) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
}

}  // namespace
