#include "ui/command_line.h"

#include "core/text.h"

namespace ui {

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, const char* no_vsync_env) {
  ParsedCommandLine r;
  LaunchOptions& o = r.options;
  if (no_vsync_env && *no_vsync_env && std::string(no_vsync_env) != "0") o.vsync = false;
  r.toolkit_args.push_back(args.empty() ? std::string("quenmar") : args[0]);

  auto fail = [&](const std::string& what) {
    if (r.error.empty()) r.error = what;
  };
  for (size_t i = 1; i < args.size() && r.error.empty(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    auto value = [&](const char* name) -> std::string {
      if (!has_value) {
        fail(std::string("missing value after ") + name);
        return {};
      }
      return args[++i];
    };
    if (a == "--data") {
      o.data_dir = value("--data");
      if (r.error.empty() && o.data_dir.empty()) fail("empty data folder");
    } else if (a == "--seed") {
      const std::string v = value("--seed");
      if (!r.error.empty()) break;
      const auto n = core::ParseInt(v);
      if (!n) fail("not an integer for --seed: '" + v + "'");
      else o.seed = static_cast<uint32_t>(*n);
    } else if (a == "--script") {
      o.script = value("--script");
      if (r.error.empty() && o.script.empty()) fail("empty script name");
    } else if (a == "--console") {
      o.console = true;
    } else if (a == "--frames") {
      const std::string v = value("--frames");
      if (!r.error.empty()) break;
      const auto n = core::ParseInt(v);
      if (!n || *n < 0) fail("--frames needs a whole number of frames, 0 or more: '" + v + "'");
      else o.frames = *n;
    } else if (a == "--screenshot") {
      o.screenshot = value("--screenshot");
      if (r.error.empty() && o.screenshot.empty()) fail("empty screenshot file name");
    } else if (a == "--no-vsync") {
      o.vsync = false;
    } else if (a == "--timing") {
      o.timing = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a.starts_with("--")) {
      fail("unknown option " + a);
    } else if (a.size() > 1 && a[0] == '-') {
      // The toolkit's own options (-platform xcb, -style fusion, ...): passed on with the
      // value that follows, when there is one that is not itself an option.
      r.toolkit_args.push_back(a);
      if (has_value && !args[i + 1].starts_with("-")) r.toolkit_args.push_back(args[++i]);
    } else {
      fail("unexpected argument '" + a + "'");
    }
  }
  // A screenshot is taken after the last frame; without a count, after the first.
  if (r.error.empty() && !o.screenshot.empty() && o.frames < 0) o.frames = 1;
  return r;
}

std::string UsageText() {
  return "usage: quenmar [--data DIR] [--seed N] [--script FILE] [--console]\n"
         "               [--frames N] [--screenshot FILE.png] [--no-vsync] [--timing]\n"
         "  --data DIR         game data folder (default: QUENMAR_DATA, beside the program\n"
         "                     or ../share/quenmar)\n"
         "  --seed N           seed of the random generator (default: the clock)\n"
         "  --script FILE      run simulator commands on the live game after start-up\n"
         "  --console          read simulator commands from standard input while running\n"
         "  --frames N         quit after N rendered frames\n"
         "  --screenshot FILE  write the 3D view to a PNG after the last frame\n"
         "  --no-vsync         draw as fast as possible (also QUENMAR_NO_VSYNC=1)\n"
         "  --timing           report start-up time and frame rate on standard error\n";
}

}  // namespace ui
