// Commands on the view of the session's world: the isometric view, the tubes, the camera
// and the cell choice, as the menu, the wheel and a click on the ground do.
#include "core/grid.h"
#include "sim/interpreter.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

// Cells that have a terrain tile: columns 0..32 of 30 cells and cells 0..10 of column 33.
bool OnGrid(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || y >= core::kGridRows) return false;
  return x * core::kGridRows + y < core::kPlacedSize;
}

}  // namespace

void RegisterViewCommands(Interpreter& in) {
  in.Register("isometric", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    presentation::World& world = in.session().world;
    if (Interpreter::ArgOnOff(a, 0) != in.game().isometric) world.ToggleIsometric();
  });
  in.Register("tubes", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    in.game().tubes_off = !Interpreter::ArgOnOff(a, 0);
  });
  in.Register("pause", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    in.session().world.TogglePause();
  });
  in.Register("camera", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 3, 3);
    in.session().world.PlaceCamera(Interpreter::ArgInt(a, 0, "x"), Interpreter::ArgInt(a, 1, "y"),
                                   Interpreter::ArgInt(a, 2, "height"));
  });
  in.Register("cell", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 2, 2);
    const int32_t x = Interpreter::ArgInt(a, 0, "x");
    const int32_t y = Interpreter::ArgInt(a, 1, "y");
    if (!OnGrid(x, y)) throw CommandError("cell outside the building grid");
    in.session().world.PickCell(x, y, true);
  });
  // `where X Y`: the view pixel where the centre of cell X Y shows from the camera as it
  // stands, so that a test can click a site as a player aims at it.
  in.Register("where", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 2, 2);
    const auto p = in.session().world.CellOnView(Interpreter::ArgInt(a, 0, "x"), Interpreter::ArgInt(a, 1, "y"));
    if (!p) {
      in.Print({{"on_view", false}});
      return;
    }
    in.Print({{"on_view", true}, {"x", p->first}, {"y", p->second}});
  });
}

}  // namespace sim
