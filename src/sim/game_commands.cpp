// Commands that start games, pass days and look at the colony.
#include <cmath>
#include <type_traits>

#include "core/catalog.h"
#include "core/newgame.h"
#include "core/state_fields.h"
#include "core/text.h"
#include "sim/interpreter.h"
#include "sim/json_state.h"

namespace sim {
namespace {

using Args = Interpreter::Args;

void SetField(core::Game& g, const std::string& name, const std::string& value) {
  const auto* field = core::FindStateField(name);
  if (!field) throw CommandError("unknown variable '" + name + "'");
  std::visit(
      [&](auto member) {
        using T = std::remove_reference_t<decltype(g.*member)>;
        if constexpr (std::is_same_v<T, int32_t>) {
          const auto v = core::ParseInt(value);
          if (!v) throw CommandError("not an integer for " + name + ": '" + value + "'");
          g.*member = *v;
        } else if constexpr (std::is_same_v<T, bool>) {
          const auto v = core::ParseBool(value);
          if (!v) throw CommandError("not a boolean for " + name + ": '" + value + "'");
          g.*member = *v;
        } else if constexpr (std::is_same_v<T, double>) {
          g.*member = Interpreter::ArgDouble({value}, 0, name.c_str());
        } else {
          g.*member = value;
        }
      },
      field->member);
}

}  // namespace

void RegisterGameCommands(Interpreter& in) {
  in.Register("new", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    core::StartNewGame(in.game(), Interpreter::ArgInt(a, 0, "level"));
    in.session().tutorial.Forget();
  });
  in.Register("sandbox", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    in.game().sandbox_option = Interpreter::ArgOnOff(a, 0);
  });
  in.Register("disasters", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    static const char* const kNames[] = {"rules", "rare", "off"};
    for (int32_t k = core::kDisastersRules; k <= core::kDisastersOff; ++k)
      if (a[0] == kNames[k]) {
        in.game().disasters_option = k;
        return;
      }
    throw CommandError("disasters: expected rules, rare or off, found '" + a[0] + "'");
  });
  in.Register("events", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    in.game().events_enabled = Interpreter::ArgOnOff(a, 0);
  });
  in.Register("day", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 1);
    const int n = a.empty() ? 1 : Interpreter::ArgInt(a, 0, "day count");
    if (n < 0) throw CommandError("day count must not be negative");
    for (int i = 0; i < n; ++i) {
      core::Game& g = in.game();
      // Just over one day of clock time: exactly one day passes per step.
      core::GLCadencer1Progress(g, g.day_length + 0.001);
      // Game over stops the days: the clock then passes no more of them.
      if (!g.game_over) in.AfterDay();
    }
  });
  in.Register("set", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 2, 2);
    SetField(in.game(), a[0], a[1]);
  });
  in.Register("state", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    nlohmann::json j = StateJson(in.game());
    j.update(HudStateJson(in.session()));
    j.update({{"disasters", in.game().disasters}, {"disasters_option", in.game().disasters_option},
              {"rewound", in.game().rewound}});
    const shell::Session& s = in.session();
    const audio::AudioState au = s.sound.State(s.AudioSettings());
    j.update({{"audio_ok", au.audio_ok},
              {"sounds_loaded", au.sounds_loaded},
              {"current_theme", au.current_theme},
              {"playing_theme", au.playing_theme},
              {"sound_on", au.sound_on},
              {"music_on", au.music_on},
              {"sound_volume", au.sound_volume},
              {"music_volume", au.music_volume}});
    in.Print(j);
  });
  in.Register("catalog", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    nlohmann::json entries = nlohmann::json::array();
    for (const auto& b : in.game().catalog)
      if (b.exists) entries.push_back(BuildingJson(b));
    in.Print({{"catalog_count", in.game().catalog_count}, {"entries", entries}});
  });
  in.Register("placed", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    nlohmann::json list = nlohmann::json::array();
    const auto& placed = in.game().placed;
    for (std::size_t i = 0; i < placed.size(); ++i) {
      if (!placed[i].exists) continue;
      nlohmann::json j = {{"slot", i}};
      j.update(BuildingJson(placed[i]));
      list.push_back(j);
    }
    in.Print(list);
  });
  in.Register("messages", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    nlohmann::json list = nlohmann::json::array();
    for (const auto& m : in.session().recorder.messages) list.push_back({{"kind", m.kind}, {"text", m.text}});
    in.session().recorder.messages.clear();
    in.Print(list);
  });
  in.Register("locale", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 1, 1);
    const int n = Interpreter::ArgInt(a, 0, "entry number");
    if (n < 0 || n >= core::kLocaleSize) throw CommandError("entry number out of range 0..10000");
    in.Print({{"n", n}, {"text", in.game().Loc(n)}});
  });
}

}  // namespace sim
