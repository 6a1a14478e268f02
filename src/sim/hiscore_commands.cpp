// Commands of the high-score window: its OK button and the list it shows.
#include <string>

#include "core/hiscore.h"
#include "sim/interpreter.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

// The name field holds one line; a script's words are joined by single blanks.
std::string JoinWords(const Args& a) {
  std::string name;
  for (std::size_t i = 0; i < a.size(); ++i) name += (i ? " " : "") + a[i];
  return name;
}

}  // namespace

void RegisterHiScoreCommands(Interpreter& in) {
  // OK with NAME in the name field. Like the window's button it does nothing unless a game
  // has just ended and its score has not been offered yet.
  in.Register("hiscore", [](Interpreter& in, const Args& a) {
    const auto result = core::AcceptScore(in.game(), in.session().hiscores, JoinWords(a));
    if (result == core::OkResult::kWriteFailed)
      throw CommandError("the high-score table could not be written: " + core::HiScoreFile(in.game()));
  });
  // Showing the window reloads the table; its text area's lines.
  in.Register("hiscore-list", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    core::ShowHiScores(in.game(), in.session().hiscores, false);
    in.Print(in.session().hiscores.lines);
  });
}

}  // namespace sim
