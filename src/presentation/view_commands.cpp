#include "presentation/view_commands.h"

namespace presentation {
namespace {
using sim::Interpreter;

// Cells that have a terrain tile: columns 0..32 of 30 cells and cells 0..10 of column 33.
bool OnGrid(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || y >= 30) return false;
  return x * 30 + y < core::kPlacedSize;
}
}  // namespace

bool WorldViewCommands::Run(const std::string& name, const std::vector<std::string>& args) {
  if (name == "isometric") {
    Interpreter::ExpectArgs(args, 1, 1);
    if (Interpreter::ArgOnOff(args, 0) != world_.game().isometric) world_.ToggleIsometric();
    return true;
  }
  if (name == "tubes") {
    Interpreter::ExpectArgs(args, 1, 1);
    world_.game().tubes_off = !Interpreter::ArgOnOff(args, 0);
    return true;
  }
  if (name == "camera") {
    Interpreter::ExpectArgs(args, 3, 3);
    world_.PlaceCamera(Interpreter::ArgInt(args, 0, "x"), Interpreter::ArgInt(args, 1, "y"),
                       Interpreter::ArgInt(args, 2, "height"));
    return true;
  }
  if (name == "cell") {
    Interpreter::ExpectArgs(args, 2, 2);
    const int32_t x = Interpreter::ArgInt(args, 0, "x");
    const int32_t y = Interpreter::ArgInt(args, 1, "y");
    if (!OnGrid(x, y)) throw sim::CommandError("cell outside the building grid");
    world_.PickCell(x, y, true);
    return true;
  }
  if (name == "select") {
    // The selection itself is the rules' command, which ran before; the view sends the
    // camera to the building as the building list does.
    Interpreter::ExpectArgs(args, 1, 1);
    if (args[0] != "none") world_.SelectSlot(Interpreter::ArgInt(args, 0, "slot"));
    return true;
  }
  return false;
}

}  // namespace presentation
