#pragma once
// What the `quenmar` program can be asked on its command line: the data folder, a seed,
// and the hooks that let scripts, tests and measurements drive the live game.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ui {

struct LaunchOptions {
  std::string data_dir;              // empty: the folder of the executable
  std::optional<uint32_t> seed;      // none: seeded from the clock
  std::string script;                // script run on the live game after start-up
  bool console = false;              // script commands read from standard input while running
  int frames = -1;                   // quit after this many rendered frames; -1 never
  std::string screenshot;            // PNG of the 3D view written after the last frame
  bool vsync = true;                 // wait for the display between frames
  bool timing = false;               // print start-up time and frame rate to standard error
  bool help = false;

  // Scripts, consoles and frame counts run without a player: nothing may wait for a click.
  bool automated() const { return !script.empty() || console || frames >= 0; }
};

// The result of reading the command line: the options, the arguments left for the
// windowing toolkit (argv[0] first), or an error text for the usage message.
struct ParsedCommandLine {
  LaunchOptions options;
  std::vector<std::string> toolkit_args;
  std::string error;  // empty when the line was understood
};

// Reads the program's own "--" options; single-dash arguments (and the value after one)
// are the toolkit's. `args` starts with the program name. `no_vsync_env` is the value of
// QUENMAR_NO_VSYNC, which switches vsync off when it is set and not "0".
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, const char* no_vsync_env = nullptr);

std::string UsageText();

}  // namespace ui
