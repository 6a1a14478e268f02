#include "shell/launcher.h"

#include "core/text.h"

namespace shell {

std::vector<std::string> LanguageList(const core::Game& g) { return core::ReadLines(g.Path("\\locs.txt")); }

LauncherView LauncherTick(const core::Game& g) {
  LauncherView v;
  v.sandbox_caption = (g.sandbox_option ? "(V) " : "( ) ") + g.Loc(144);
  v.buttons_enabled = !g.loading;
  v.status = g.loading ? g.load_status : "Load complete...";
  return v;
}

void ChooseLanguage(core::Game& g, const Options& o, const std::string& code, CaptionSink* sink) {
  ReadLocale(g, code, sink);
  SaveOptions(g, o);
}

}  // namespace shell
