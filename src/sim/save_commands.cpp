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

  // A month that ends while a script passes days is autosaved as in the window.
  in.AddAfterDay([](Interpreter& in) { in.session().CheckAutosave(); });
}

}  // namespace sim
