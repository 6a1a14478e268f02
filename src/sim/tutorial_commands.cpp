// The guided first colony from a script: start it, skip it, and see where it stands.
#include "core/errors.h"
#include "sim/interpreter.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

nlohmann::json TutorialJson(shell::Session& s) {
  const shell::Tutorial& t = s.tutorial;
  const core::TutorialStep* step = t.Current();
  if (!step) return {{"active", false}};
  nlohmann::json mark = "none";
  if (step->mark == core::MarkKind::kButton) mark = "button " + step->button;
  if (step->mark == core::MarkKind::kCell)
    mark = "cell " + std::to_string(step->cell_x) + " " + std::to_string(step->cell_y);
  const core::TutorialFacts& f = t.facts();
  // Where the marker stands on the view (a site off the view has none).
  nlohmann::json mark_at = nullptr;
  if (step->mark == core::MarkKind::kCell)
    if (const auto p = s.world.CellOnView(step->cell_x, step->cell_y)) mark_at = {{"x", p->first}, {"y", p->second}};
  return {{"active", true},
          {"step", t.step() + 1},
          {"steps", t.size()},
          {"text", t.Text()},
          {"mark", mark},
          {"mark_at", mark_at},
          {"events", step->events},
          {"goal", step->goal_text},
          {"holds", core::ConditionHolds(step->goal, s.game, f)},
          {"camera_moved", f.camera_moved},
          {"camera_zoomed", f.camera_zoomed},
          {"saves", f.saves},
          {"loads", f.loads},
          {"step_days", f.step_days},
          {"trades", f.trades}};
}

}  // namespace

void RegisterTutorialCommands(Interpreter& in) {
  in.Register("tutorial", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 1);
    shell::Session& s = in.session();
    if (a.empty()) {
      // Whatever the script did since (a trade, a camera move) counts as a frame would see it.
      s.tutorial.Update();
      in.Print(TutorialJson(s));
    } else if (a[0] == "start") {
      s.tutorial.Start();
    } else if (a[0] == "skip") {
      s.tutorial.Skip();
    } else {
      throw CommandError("tutorial: expected start or skip, found '" + a[0] + "'");
    }
  });
  in.AddAfterDay([](Interpreter& in) { in.session().tutorial.Update(); });
}

}  // namespace sim
