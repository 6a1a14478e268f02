// Commands that show the colony read-out and set what it describes.
#include <string>

#include "hud/readout.h"
#include "sim/interpreter.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

nlohmann::json ReadoutJson(const core::Game& g, const hud::Readout& r) {
  nlohmann::json blocks = nlohmann::json::array();
  for (int k = 0; k <= 10; ++k) {
    const core::infoblock& b = g.info_blocks[k];
    blocks.push_back({{"visible", b.visible}, {"text", b.text}, {"icon", b.icon}});
  }
  return {
      {"colony", r.colony},
      {"info_blocks", blocks},
      {"building", r.building},
      {"cost", r.cost},
      {"upkeep", r.upkeep},
      {"selected_name", r.selected_name},
      {"upgrade_caption", r.upgrade_caption},
      {"food_price", r.food_price},
      {"raw_price", r.raw_price},
      {"product_price", r.product_price},
      {"interest", r.interest},
      {"caption", r.caption},
      {"tubes_checked", r.tubes_checked},
  };
}

}  // namespace

void RegisterReadoutCommands(Interpreter& in) {
  in.Register("readout", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    core::Game& g = in.game();
    // As in a frame: the day clock stands still only while a message holds it.
    const hud::ReadoutClock clock{.day_clock_running = !g.msg_panel};
    const hud::Readout r = hud::ShowData(g, clock);
    in.Print(ReadoutJson(g, r));
  });
  in.Register("panel", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    core::Game& g = in.game();
    if (a[0] == "build") {
      g.build_panel = true;
      g.bldg_panel = false;
    } else if (a[0] == "bldg") {
      g.bldg_panel = true;
      g.build_panel = false;
    } else if (a[0] == "none") {
      g.build_panel = false;
      g.bldg_panel = false;
    } else {
      throw CommandError("expected 'build', 'bldg' or 'none'");
    }
  });
  in.Register("choose", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    core::Game& g = in.game();
    const int bid = Interpreter::ArgInt(a, 0, "building type");
    // The list holds one item per loaded type; -1 is the list with nothing chosen.
    const int items = static_cast<int>(g.constr_list.size());
    if (bid < -1 || bid >= items)
      throw CommandError("building type out of range -1.." + std::to_string(items - 1));
    g.constr_choice = bid;
  });
}

}  // namespace sim
