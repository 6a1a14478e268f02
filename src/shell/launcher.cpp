#include "shell/launcher.h"

#include "core/errors.h"
#include "core/text.h"

namespace shell {

std::vector<std::string> LanguageList(const core::Game& g) { return core::ReadLines(g.Path("\\locs.txt")); }

std::string LanguageName(const std::vector<std::string>& lines) {
  const auto at = static_cast<std::size_t>(kLocLanguageName - 1);
  if (at >= lines.size()) return {};
  std::string name = lines[at];
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.erase(name.begin());
  return name;
}

std::vector<LanguageChoice> LanguageChoices(const core::Game& g) {
  std::vector<LanguageChoice> out;
  for (const auto& code : LanguageList(g)) {
    if (code.empty()) continue;
    std::string name;
    try {
      name = LanguageName(core::ReadLines(g.Path("\\loc_" + code + ".txt")));
    } catch (const core::DataError&) {
      // Shown by its code; picking it reports what is wrong with the file.
    }
    out.push_back({code, name.empty() ? code : name});
  }
  return out;
}

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
