#include "core/advisor.h"
#include "core/ledger.h"
#include "sim/interpreter.h"

namespace sim {
namespace {

using Args = Interpreter::Args;
using nlohmann::json;

json ExplanationJson(const core::Explanation& e) {
  json j = {{"topic", std::string(core::TopicName(e.topic))}, {"lines", e.lines}};
  if (e.balanced) {
    json terms = json::object();
    for (const core::BalanceTerm& t : e.terms) terms[std::string(core::TermKey(t.entry))] = t.value;
    j["balance"] = {{"before", e.before}, {"terms", std::move(terms)}, {"after", e.after}};
  }
  return j;
}

std::string TopicList() {
  std::string s;
  for (int t = 0; t < static_cast<int>(core::Topic::kCount); ++t) {
    if (!s.empty()) s += ", ";
    s += std::string(core::TopicName(static_cast<core::Topic>(t)));
  }
  return s;
}

}  // namespace

void RegisterAdvisorCommands(Interpreter& in) {
  in.Register("why", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 1);
    const core::Game& g = in.game();
    if (a.empty()) {
      json all = json::array();
      for (int t = 0; t < static_cast<int>(core::Topic::kCount); ++t)
        all.push_back(ExplanationJson(core::Explain(g, static_cast<core::Topic>(t))));
      in.Print(all);
      return;
    }
    if (a[0] == "upgrade") {
      const int32_t slot = g.selected_bldg;
      if (slot < 0 || slot >= core::kPlacedSize || !g.placed[slot].exists)
        throw CommandError("no building selected");
      in.Print({{"topic", "upgrade"}, {"lines", {core::UpgradePreview(g, g.placed[slot])}}});
      return;
    }
    const auto topic = core::TopicNamed(a[0]);
    if (!topic) throw CommandError("unknown topic '" + a[0] + "': expected upgrade, " + TopicList());
    in.Print(ExplanationJson(core::Explain(g, *topic)));
  });
  in.Register("ledger", [](Interpreter& in, const Args& a) {
    Interpreter::ExpectArgs(a, 0, 0);
    const core::Game& g = in.game();
    json day = json::object(), open = json::object();
    for (const auto& f : core::LedgerFields()) {
      day[std::string(f.name)] = g.ledger.*f.member;
      open[std::string(f.name)] = g.day_book.*f.member;
    }
    in.Print({{"day", std::move(day)}, {"open", std::move(open)}});
  });
}

}  // namespace sim
