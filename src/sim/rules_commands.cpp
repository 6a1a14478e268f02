// Commands that play the rules: construction, selection, trade, credit, events, warnings
// and the score. Only the commands that look at something print, one JSON line each.
#include <string>

#include "core/construction.h"
#include "core/events.h"
#include "core/trade.h"
#include "hud/warning_rows.h"
#include "sim/interpreter.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

int32_t Goods(const Args& a, std::size_t i) {
  if (i < a.size()) {
    if (a[i] == "food") return core::kGoodsFood;
    if (a[i] == "products") return core::kGoodsProducts;
    if (a[i] == "raw") return core::kGoodsRaw;
  }
  throw CommandError("expected goods 'food', 'products' or 'raw'");
}

int Slot(const Args& a, std::size_t i) {
  const int slot = Interpreter::ArgInt(a, i, "slot");
  if (slot < 0 || slot >= core::kPlacedSize) throw CommandError("slot out of range 0..1000");
  return slot;
}

// `upgrade`, `toggle` and `destroy` act on SLOT when given, otherwise on the selection as the
// panel buttons do.
void OnSlotOrSelection(Interpreter& in, const Args& a, void (*on_slot)(core::Game&, int32_t),
                       void (*on_selection)(core::Game&)) {
  Interpreter::ExpectArgs(a, 0, 1);
  if (a.empty()) {
    on_selection(in.game());
  } else {
    on_slot(in.game(), Slot(a, 0));
  }
}

}  // namespace

void RegisterRulesCommands(Interpreter& in) {
  in.Register("build", [](Interpreter& in, const Args& a) {
    if (a.size() != 1 && a.size() != 3) throw CommandError("expected BID or BID X Y");
    const int bid = Interpreter::ArgInt(a, 0, "building type");
    if (a.size() == 3) {
      const int x = Interpreter::ArgInt(a, 1, "cell x");
      const int y = Interpreter::ArgInt(a, 2, "cell y");
      // A click on a building selects it: no player can choose a taken cell as a site.
      const int32_t taken = core::BuildingAt(in.game(), x, y);
      if (taken != -1)
        throw CommandError("cell " + a[1] + " " + a[2] + " is taken by slot " + std::to_string(taken));
      in.game().sel_cell_x = x;
      in.game().sel_cell_y = y;
    }
    core::ConstructBuilding(in.game(), bid);
  });
  in.Register("upgrade", [](Interpreter& in, const Args& a) {
    OnSlotOrSelection(in, a, core::UpgradeBuilding, core::UpgradeSelected);
  });
  in.Register("toggle", [](Interpreter& in, const Args& a) {
    OnSlotOrSelection(in, a, core::ToggleActive, core::ToggleSelected);
  });
  in.Register("destroy", [](Interpreter& in, const Args& a) {
    OnSlotOrSelection(in, a, core::DestroyBuilding, core::DestroySelected);
  });
  in.Register("select", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    if (a[0] == "none") {
      core::ClearSelection(in.game());
    } else {
      // As the building list does: the camera goes to the building too.
      in.session().world.SelectSlot(Slot(a, 0));
    }
  });
  in.Register("buy", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 2, 2);
    core::Trade(in.game(), core::kBuy, Goods(a, 0), Interpreter::ArgInt(a, 1, "amount"));
  });
  in.Register("sell", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 2, 2);
    core::Trade(in.game(), core::kSell, Goods(a, 0), Interpreter::ArgInt(a, 1, "amount"));
  });
  in.Register("credit", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    core::TakeCredit(in.game(), Interpreter::ArgInt(a, 0, "sum"));
  });
  in.Register("event", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    core::MakeEvent(in.game(), Interpreter::ArgInt(a, 0, "event number"));
  });
  in.Register("warnings", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    nlohmann::json list = nlohmann::json::array();
    // `row`: where the HUD draws the line, kept apart from the others.
    const auto rows = hud::WarningRows(in.game(), in.game().view_h);
    for (size_t k = 0; k < rows.size(); ++k) {
      const core::warning& w = in.game().warnings[k];
      list.push_back({{"text", w.text}, {"state", w.state}, {"x", w.x}, {"y", w.y}, {"row", rows[k]}});
    }
    in.Print(list);
  });
  in.Register("score", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    const core::score& s = in.game().score_entry;
    in.Print({{"name", s.name}, {"level", s.level}, {"points", s.points}});
  });

  // The game-over check follows every day, as the frame after it would run it.
  in.AddAfterDay([](Interpreter& in) { in.session().world.CheckGameover(); });
}

}  // namespace sim
