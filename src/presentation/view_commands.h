#pragma once
// The script commands that need a view: `isometric on|off`, `tubes on|off`,
// `camera X Y HEIGHT`, `cell X Y` and `select SLOT`. The interpreter knows these names
// (the headless game accepts and ignores them); a window hands the interpreter one of
// these to make them act on its World:
//   presentation::WorldViewCommands view(world);
//   interpreter.SetView(&view);
//
// Built as its own target, quenmar_presentation_script, because it joins two layers that
// otherwise do not know each other: the presentation and the script interpreter.
#include <string>
#include <vector>

#include "presentation/world.h"
#include "sim/interpreter.h"

namespace presentation {

class WorldViewCommands : public sim::ViewCommands {
 public:
  explicit WorldViewCommands(World& world) : world_(world) {}
  // Throws sim::CommandError on bad arguments; false for a name it does not know.
  bool Run(const std::string& name, const std::vector<std::string>& args) override;

 private:
  World& world_;
};

}  // namespace presentation
