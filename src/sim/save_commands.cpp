// Commands that save and load the game, undo and redo the player's actions and show the
// colony's history.
#include "shell/history.h"
#include "shell/save.h"
#include "sim/interpreter.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

}  // namespace

void RegisterSaveCommands(Interpreter& in) {
  in.Register("save", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    try {
      in.session().SaveGame(a[0]);
    } catch (const shell::SaveError& e) {
      throw CommandError(std::string("cannot save the game: ") + e.what());
    }
  });
  in.Register("load", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    try {
      in.session().LoadGame(a[0]);
    } catch (const shell::SaveError& e) {
      throw CommandError(std::string("cannot load the game: ") + e.what());
    }
  });
  in.Register("undo", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    if (!in.session().undo.CanUndo()) throw CommandError("nothing to undo since the day began");
    in.session().undo.Undo();
  });
  in.Register("redo", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    if (!in.session().undo.CanRedo()) throw CommandError("nothing to redo");
    in.session().undo.Redo();
  });
  in.Register("rewind", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    const int day = Interpreter::ArgInt(a, 0, "day");
    const core::Game& g = in.game();
    if (!g.game_running || g.game_over) throw CommandError("no game in progress to rewind");
    try {
      in.session().rewind.RewindTo(day);
    } catch (const shell::SaveError& e) {
      throw CommandError(std::string("cannot rewind: ") + e.what());
    }
  });
  in.Register("snapshots", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    nlohmann::json list = nlohmann::json::array();
    for (const shell::KeptDay& k : in.session().rewind.kept())
      list.push_back({{"day", k.day}, {"kind", k.month ? "month" : "day"}, {"bytes", k.packed.size()}});
    in.Print(list);
  });
  in.Register("history", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    in.Print(shell::HistoryJson(in.game().history));
  });
  in.Register("history-csv", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    try {
      shell::WriteHistoryCsv(in.game().history, a[0]);
    } catch (const shell::SaveError& e) {
      throw CommandError(std::string("cannot write the history: ") + e.what());
    }
  });

  // Every day a script passes begins as in the window: kept for rewinding, then autosaved.
  in.AddAfterDay([](Interpreter& in) { in.session().rewind.CheckDay(); });
  in.AddAfterDay([](Interpreter& in) { in.session().CheckAutosave(); });
}

}  // namespace sim
