#include "balance/colony_player.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/building.h"
#include "core/game.h"
#include "core/host.h"
#include "shell/session.h"
#include "sim/interpreter.h"

namespace balance {
namespace {

// Running costs are counted over this many days when options are compared.
constexpr double kHorizon = 60;
// The governor's closing stretch, in days before the term ends.
constexpr int kClosingDays = 20;

// What a building adds to the colony, with the random outputs at their means.
struct Effect {
  double food = 0, living = 0, attraction = 0, military = 0, prod = 0, sssize = 0, storage = 0;
  double engout = 0, engcons = 0, raw = 0, income = 0, science = 0, sc = 0, pers = 0;

  Effect& operator+=(const Effect& o) {
    food += o.food, living += o.living, attraction += o.attraction, military += o.military;
    prod += o.prod, sssize += o.sssize, storage += o.storage, engout += o.engout;
    engcons += o.engcons, raw += o.raw, income += o.income, science += o.science;
    sc += o.sc, pers += o.pers;
    return *this;
  }
  Effect operator-(const Effect& o) const {
    Effect d = *this;
    d.food -= o.food, d.living -= o.living, d.attraction -= o.attraction, d.military -= o.military;
    d.prod -= o.prod, d.sssize -= o.sssize, d.storage -= o.storage, d.engout -= o.engout;
    d.engcons -= o.engcons, d.raw -= o.raw, d.income -= o.income, d.science -= o.science;
    d.sc -= o.sc, d.pers -= o.pers;
    return d;
  }
};

Effect AtLevel(const core::building& b, int32_t up) {
  const auto m = [&](int32_t v, int32_t k) { return b.upch == k ? double(v) * up : double(v); };
  Effect e;
  e.food = m(b.food, core::kUpFood);
  e.living = m(b.living, core::kUpLiving);
  e.attraction = b.comfort + m(b.entertain, core::kUpEntertain);
  e.military = m(b.military, core::kUpMilitary);
  e.prod = m(b.prod, core::kUpProd);
  e.sssize = m(b.sssize, core::kUpSssize);
  e.storage = m(b.storage, core::kUpStorage);
  e.engout = m(b.engout, core::kUpEngout);
  e.engcons = double(b.engcons) * up;
  e.raw = m(b.raw, core::kUpRaw);
  e.income = m(b.income, core::kUpIncome) / 2;
  e.science = m(b.science, core::kUpScience) / 2;
  e.sc = b.sc;
  e.pers = b.pers;
  return e;
}

// A construction (slot -1) or an upgrade of the building in `slot`.
struct Action {
  int position = -1;  // catalog position of the type
  int slot = -1;
  int id = 0;
  int32_t cost = 0;
  int construction_days = 0;
  Effect effect;
};

// Money a day one more point of daily science brings at `level`, with `science` points a
// day already made and `days` left. Each breakthrough adds to a dividend that fades by a
// fixed step a day: while breakthroughs come faster than it fades, every point adds to a
// dividend paid for the rest of the game; otherwise a breakthrough pays only until its
// share has faded.
double ScienceValue(int level, double science, double days) {
  const double bonus = 100 + 10 * level;
  const double fade = core::Round(10.0 / level);
  const double threshold = 10000.0 / level;
  if (science * bonus / threshold >= fade) return bonus / threshold * days / 20;
  return bonus * bonus / (20 * fade) / threshold;
}

// The first integer after `key` in `text`, -1 when there is none.
int32_t NumberAfter(const std::string& text, const std::string& key) {
  const auto at = text.find(key);
  if (key.empty() || at == std::string::npos) return -1;
  std::size_t i = at + key.size();
  while (i < text.size() && text[i] == ' ') ++i;
  int32_t n = 0;
  bool any = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') n = n * 10 + (text[i++] - '0'), any = true;
  return any ? n : -1;
}

class Colony {
 public:
  Colony(const std::string& data_dir, uint32_t seed, GameResult& result, std::ostream* trace)
      : interpreter_(session_, out_, err_), result_(result), trace_(trace) {
    session_.SetRecording(true);
    session_.StartUp(data_dir, seed);
    sim::RegisterAllCommands(interpreter_);
  }

  core::Game& g() { return session_.game; }

  void Play(int level, Player player, int max_days) {
    Run("events on");
    Run("new " + std::to_string(level));
    session_.recorder.messages.clear();
    while (!g().game_over && result_.days < max_days) {
      if (player != Player::kIdle) Govern(player == Player::kDefended);
      const double dividend = core::Round(g().science_bonus / 10.0);
      Run("day");
      ++result_.days;
      AfterDay(dividend);
      if (trace_ && result_.days % 15 == 0) Trace();
    }
    result_.game_over = g().game_over;
    result_.bankrupt = g().game_over && g().days_left > 0;
    result_.money = g().money;
    result_.points = g().score_entry.points;
    result_.population = g().population;
    result_.buildings = g().bldg_count;
  }

 private:
  void Run(const std::string& line) {
    if (!interpreter_.RunLine(line, ++line_number_)) throw std::runtime_error(line + ": " + err_.str());
    out_.str("");
  }

  int Position(int id) {
    for (int k = 0; k < core::kCatalogSize; ++k)
      if (g().catalog[k].exists && g().catalog[k].id == id) return k;
    return -1;
  }

  int Count(int id) {
    int n = 0;
    for (const auto& b : g().placed) n += b.exists && b.id == id;
    return n;
  }

  bool Built(int id) {
    for (const auto& b : g().placed)
      if (b.exists && b.id == id) return true;
    return false;
  }

  // Everything the standing buildings give when they all work, switched on or not.
  Effect Totals() {
    Effect t;
    for (const auto& b : g().placed)
      if (b.exists) t += AtLevel(b, b.up);
    return t;
  }

  double WageDay() { return g().wage / 30.0; }

  int32_t Upkeep() {
    int32_t n = 0;
    for (const auto& b : g().placed) n += b.exists ? b.sc : 0;
    return n;
  }

  // Ten days of upkeep, and the wages once the month end is near: money below zero is
  // allowed, but unpaid wages cost colonists.
  double Reserve() {
    const double wages = g().day >= 20 ? g().wage * (g().population + 9.0 * g().military_power) : 0;
    return wages + 10.0 * Upkeep();
  }

  std::vector<Action> Actions() {
    std::vector<Action> list;
    for (int k = 0; k < core::kCatalogSize; ++k) {
      const auto& t = g().catalog[k];
      if (!t.exists || (t.unique && Built(t.id))) continue;
      Action a;
      a.position = k;
      a.id = t.id;
      a.cost = t.cst;
      a.construction_days = (t.cst + 99) / 100;
      a.effect = AtLevel(t, 1);
      list.push_back(a);
    }
    // Upgrades: for each type its lowest-level building that can still rise.
    std::map<int, int> lowest;
    for (int s = 0; s < core::kPlacedSize; ++s) {
      const auto& b = g().placed[s];
      if (!b.exists || b.up >= b.upl) continue;
      auto it = lowest.find(b.id);
      if (it == lowest.end() || b.up < g().placed[it->second].up) lowest[b.id] = s;
    }
    for (const auto& [id, s] : lowest) {
      const auto& b = g().placed[s];
      Action a;
      a.slot = s;
      a.id = id;
      a.position = Position(id);
      a.cost = b.cst * b.up;
      a.effect = AtLevel(b, b.up + 1) - AtLevel(b, b.up);
      a.effect.sc = 0;
      a.effect.pers = 0;
      list.push_back(a);
    }
    return list;
  }

  // Cost of one unit of `units` from `a`, with its running costs over the horizon; units
  // beyond `wanted` are worth nothing yet.
  double UnitCost(const Action& a, double units, bool energy, bool beds, double wanted) {
    if (units <= 0) return -1;
    units = std::min(units, wanted);
    double eff = a.cost + kHorizon * (a.effect.sc + a.effect.pers * WageDay());
    if (!energy) eff += a.effect.engcons * energy_unit_;
    if (!beds) eff += a.effect.pers * bed_unit_;
    return eff / units;
  }

  // The cheapest affordable option per unit of what `units` measures.
  template <typename Units>
  const Action* Cheapest(const std::vector<Action>& list, Units units, bool energy, bool beds,
                         bool affordable_only, double wanted, double* unit_cost = nullptr) {
    const Action* best = nullptr;
    double best_cost = 0;
    for (const auto& a : list) {
      if (affordable_only && a.cost > g().money) continue;
      const double c = UnitCost(a, units(a.effect), energy, beds, wanted);
      if (c < 0) continue;
      if (!best || c < best_cost) best = &a, best_cost = c;
    }
    // Options within a tenth of the cheapest count as equal: the governor spreads its
    // buildings over the types, as earthquakes strike at random.
    for (const auto& a : list) {
      if (!best || (affordable_only && a.cost > g().money) || a.slot >= 0 || best->slot >= 0) continue;
      const double c = UnitCost(a, units(a.effect), energy, beds, wanted);
      if (c >= 0 && c <= best_cost * 1.1 && Count(a.id) < Count(best->id)) best = &a;
    }
    if (unit_cost) *unit_cost = best ? best_cost : 0;
    return best;
  }

  // What selling products and raw materials within the quota earns a day.
  double TradeIncome(double raw, double prod, double sssize) {
    const double quota = (sssize * 200 + g().level * 5) / 30.0;
    const double made = std::min(prod, raw);
    const double sold_products = std::min(made, quota);
    const double sold_raw = std::max(0.0, std::min(raw - made, quota - sold_products));
    return sold_products * g().product_price + sold_raw * g().raw_price;
  }

  // Money a day the colony gains from `a`, beside what it changes in the trade.
  double OwnValue(const Action& a) {
    const Effect& e = a.effect;
    return e.income + e.science * ScienceValue(g().level, science_ + e.science, g().days_left) - e.sc - e.pers * (WageDay() + bed_unit_ / kHorizon) -
           e.engcons * energy_unit_ / kHorizon - e.military * 9 * WageDay();
  }

  // What the trade earns more a day with `e` added to the colony's totals `t`.
  double TradeGain(const Effect& t, const Effect& e) {
    return TradeIncome(t.raw + e.raw, t.prod + e.prod, t.sssize + e.sssize) - TradeIncome(t.raw, t.prod, t.sssize);
  }

  void Take(const Action& a) {
    auto& tally = result_.types[a.id];
    tally.invested += a.cost;
    if (a.slot < 0) {
      const int32_t before = g().bldg_count;
      int count_before = 0;
      for (const auto& b : g().placed) count_before += b.exists;
      Run("build " + std::to_string(a.position));
      int count_after = 0;
      for (const auto& b : g().placed) count_after += b.exists;
      (void)before;
      if (count_after > count_before) tally.built += 1;
      else tally.invested -= a.cost;
    } else {
      const int32_t up = g().placed[a.slot].up;
      Run("upgrade " + std::to_string(a.slot));
      if (g().placed[a.slot].up > up) tally.upgrades += 1;
      else tally.invested -= a.cost;
    }
  }

  // Food buildings other than the first keep the stock between two and four days of eating.
  void KeepFood() {
    const double low = 2.0 * g().population + 50, high = 4.0 * g().population + 100;
    for (int s = 1; s < core::kPlacedSize; ++s) {
      const auto& b = g().placed[s];
      if (!b.exists || b.food <= 0) continue;
      if ((b.active && g().food > high) || (!b.active && g().food < low)) {
        Run("toggle " + std::to_string(s));
        return;
      }
    }
  }

  // One day of the steady governor (see the top of colony_player.h).
  void Govern(bool defended) {
    KeepFood();
    const auto list = Actions();
    const Effect t = Totals();
    science_ = t.science;
    // The colony's size sets how much of a need one building should meet: a small colony
    // is served best by small buildings, a large one by large ones.
    const double energy_wanted = std::max(20.0, t.engcons / 4);
    const double beds_wanted = std::max(50.0, t.living / 5);
    Cheapest(list, [](const Effect& e) { return e.engout - e.engcons; }, true, true, false, energy_wanted,
             &energy_unit_);
    Cheapest(list, [](const Effect& e) { return e.living; }, false, true, false, beds_wanted, &bed_unit_);

    const double spare = t.engout - t.engcons;
    const double gap = t.pers - g().population;
    const Action* need = nullptr;
    if (spare < 5 + t.engcons / 10) {
      need = Cheapest(list, [](const Effect& e) { return e.engout - e.engcons; }, true, true, true, energy_wanted);
    } else if (t.food < t.living) {
      need = Cheapest(list, [](const Effect& e) { return e.food; }, false, false, true, std::max(30.0, t.living / 5));
    } else if (defended && t.military < std::max(10.0, g().population / 25.0)) {
      need = Cheapest(list, [](const Effect& e) { return e.military; }, false, false, true, 10);
    } else if (t.living - t.pers < 20) {
      need = Cheapest(list, [](const Effect& e) { return e.living; }, false, true, true, beds_wanted);
    } else if (gap > 0 && t.attraction * 10 < gap) {
      need = Cheapest(list, [](const Effect& e) { return e.attraction; }, false, false, true, gap / 10);
    } else if (t.storage < 4.0 * g().population + 100 + 3 * (t.raw + t.prod)) {
      need = Cheapest(list, [](const Effect& e) { return e.storage; }, false, false, true, std::max(200.0, t.storage / 5));
    }
    if (need) {
      Take(*need);
    } else if (g().days_left <= kClosingDays) {
      Close(list);
    } else {
      Invest(list, t);
    }
    Sell(t);
  }

  // Options are compared by what they earn over the coming days (at most a year) per
  // money spent, after their construction time: a quick small building wins near the end,
  // a slow large one early. Raw materials, workshops and quota only pay together, so pairs
  // of options are valued as well as single ones; of a pair the cheaper part is taken first.
  void Invest(const std::vector<Action>& list, const Effect& t) {
    struct Option {
      double yield;  // money earned over the horizon per money spent
      double payback;
      const Action* first;
    };
    const double horizon = std::min(g().days_left, 360);
    std::vector<Option> options;
    std::vector<double> own(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) own[i] = OwnValue(list[i]);
    // Upkeep is paid from the first day of construction.
    const auto consider = [&](double value, double cost, int days, const Action* first) {
      if (value <= 0 || cost <= 0) return;
      const double yield = ((horizon - days) * value - cost) / cost;
      if (yield >= 1) options.push_back({yield, days + cost / value, first});
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
      const Action& a = list[i];
      consider(own[i] + TradeGain(t, a.effect), a.cost + a.construction_days * a.effect.sc, a.construction_days, &a);
      if (a.effect.raw == 0 && a.effect.prod == 0 && a.effect.sssize == 0) continue;
      for (std::size_t j = i + 1; j < list.size(); ++j) {
        const Action& b = list[j];
        if (b.effect.raw == 0 && b.effect.prod == 0 && b.effect.sssize == 0) continue;
        Effect both = a.effect;
        both += b.effect;
        const int days = std::max(a.construction_days, b.construction_days);
        consider(own[i] + own[j] + TradeGain(t, both), a.cost + b.cost + days * both.sc, days,
                 a.cost <= b.cost ? &a : &b);
      }
    }
    if (options.empty()) return;
    auto best = std::max_element(options.begin(), options.end(),
                                 [](const Option& x, const Option& y) { return x.yield < y.yield; });
    // Options within a fifth of the best count as equal: of those the governor builds the
    // type it has fewest of, spreading its buildings as earthquakes strike at random.
    const double top = best->yield;
    for (auto o = options.begin(); o != options.end(); ++o)
      if (o->yield >= top / 1.2 && o->first->slot < 0 &&
          (best->first->slot >= 0 || Count(o->first->id) < Count(best->first->id)))
        best = o;
    // A pair is begun when its first part is affordable; the second is saved for.
    const double reserve = Reserve();
    const auto affordable = [&](const Action& a) { return g().money - a.cost >= reserve + 10 * a.effect.sc; };
    if (affordable(*best->first)) return Take(*best->first);
    // Too dear: borrow as much as the bank lends when no credit runs and the option earns
    // the interest back well within the year the credit runs.
    if (g().debt == 0 && best->payback < 120 && g().interest <= 60) {
      const int32_t want =
          int32_t((best->first->cost + reserve + 10 * best->first->effect.sc - g().money) / 10000 + 1) * 10000;
      const int32_t limit = g().attraction * 10000;
      if (want <= limit) {
        Run("credit " + std::to_string(limit));
        if (affordable(*best->first)) return Take(*best->first);
      }
    }
    const Option* second = nullptr;
    for (const auto& o : options)
      if (o.yield * 1.5 >= best->yield && affordable(*o.first) && (!second || o.yield > second->yield))
        second = &o;
    if (second) Take(*second->first);
  }

  void Close(const std::vector<Action>& list) {
    const bool month_end_ahead = (30 - g().day) < g().days_left;
    const Action* best = nullptr;
    double best_gain = 0;
    for (const auto& a : list) {
      if (a.slot >= 0) continue;
      const auto& type = g().catalog[a.position];
      const double wages = month_end_ahead ? 9.0 * g().wage * type.military : 0;
      if (g().money - a.cost - wages < Reserve() || a.cost <= 0) continue;
      const double gain = (double(type.cst) * (type.upl - 1) + type.military - wages) / a.cost;
      if (gain <= 0) continue;
      // Of types that add score alike, the one with fewer buildings standing.
      const bool alike = best && std::abs(gain - best_gain) < 1e-3 * best_gain;
      if (!best || (alike ? Count(a.id) < Count(best->id) : gain > best_gain)) best = &a, best_gain = gain;
    }
    if (best) Take(*best);
  }

  void Sell(const Effect& t) {
    const int32_t room = g().trade_cap - g().traded;
    const int32_t products = std::min(g().products, room);
    // A product sold is credited to the workshops for what it adds to the raw materials,
    // and to the raw materials' makers for what those would have fetched.
    if (products > 0) {
      Credit(products * double(g().product_price - g().raw_price), [](const core::building& b) { return b.prod; },
             core::kUpProd);
      Credit(products * double(g().raw_price), [](const core::building& b) { return b.raw; }, core::kUpRaw);
      Run("sell products " + std::to_string(products));
    }
    const int32_t raw = std::min(g().raw - int32_t(t.prod), g().trade_cap - g().traded);
    if (raw > 0) {
      Credit(raw * double(g().raw_price), [](const core::building& b) { return b.raw; }, core::kUpRaw);
      Run("sell raw " + std::to_string(raw));
    }
    // Food the first building makes beyond what is eaten would fill the store.
    const int32_t food = std::min(g().food - int32_t(4.0 * g().population + 100), g().trade_cap - g().traded);
    if (food > 0) Run("sell food " + std::to_string(food));
  }

  // Shares `money` among the working buildings by what `field` gives them.
  template <typename Field>
  void Credit(double money, Field field, int32_t upch) {
    double total = 0;
    for (const auto& b : g().placed)
      if (b.working()) total += core::Scaled(b, field(b), upch);
    if (total <= 0) return;
    for (const auto& b : g().placed)
      if (b.working() && field(b) > 0) result_.types[b.id].income += money * core::Scaled(b, field(b), upch) / total;
  }

  void AfterDay(double dividend) {
    auto& gm = g();
    if (!result_.overfull_day &&
        (gm.food + gm.raw + gm.products > gm.storage_cap || gm.food < 0 || gm.raw < 0 || gm.products < 0))
      result_.overfull_day = result_.days;
    const double scale = gm.pers_ratio * gm.energy_ratio;
    double science_total = 0;
    for (const auto& b : gm.placed) {
      if (!b.exists) continue;
      auto& tally = result_.types[b.id];
      tally.building_days += 1;
      tally.upkeep += b.sc;
      if (!b.working()) continue;
      tally.income += AtLevel(b, b.up).income * scale;
      science_total += AtLevel(b, b.up).science;
    }
    // The dividend goes to the science buildings in proportion to what they discover now.
    if (dividend > 0 && science_total > 0)
      for (const auto& b : gm.placed)
        if (b.working() && b.science > 0) result_.types[b.id].income += dividend * AtLevel(b, b.up).science / science_total;

    auto& raids = result_.raids;
    for (const auto& m : session_.recorder.messages) {
      if (m.kind != core::kMsgPirates) continue;
      raids.raids += 1;
      const bool defended = gm.military_power > 1;
      raids.with_military += defended;
      if (m.text.rfind(gm.Loc(103), 0) == 0) {
        raids.repelled += 1;
        raids.repelled_with_military += defended;
        continue;
      }
      const int32_t casualties = std::max(0, NumberAfter(m.text, gm.Loc(99)));
      const int32_t loss = std::max(0, NumberAfter(m.text, gm.Loc(101)));
      const double at_raid = gm.population + casualties;
      const double share = at_raid > 0 ? casualties / at_raid : 0;
      raids.population_lost += share;
      raids.goods_lost += loss;
      if (defended) raids.population_lost_defended += share, raids.lost_defended += 1;
    }
    session_.recorder.messages.clear();
  }

  void Trace() {
    auto& o = *trace_;
    o << "  day " << result_.days << " money " << g().money << " pop " << g().population << "/" << g().living_space
      << " pers " << g().pers_needed << " food " << g().food << " energy " << g().energy_use << "/" << g().energy_out
      << " products " << g().products << " raw " << g().raw << " quota " << g().trade_cap << " types:";
    for (const auto& b : g().placed)
      if (b.exists) o << ' ' << b.id << (b.construction ? "c" : "") << (b.active ? "" : "x") << "/" << b.up;
    o << '\n';
  }

  shell::Session session_;
  std::ostringstream out_, err_;
  sim::Interpreter interpreter_;
  int line_number_ = 0;
  GameResult& result_;
  std::ostream* trace_;
  double energy_unit_ = 0;  // cost of one unit of energy, running costs included
  double bed_unit_ = 0;     // cost of one bed, likewise
  double science_ = 0;      // the colony's daily science
};

}  // namespace

GameResult PlayGame(const std::string& data_dir, uint32_t seed, int level, Player player, int max_days,
                    std::ostream* trace) {
  GameResult result;
  result.seed = seed;
  result.level = level;
  result.player = player;
  Colony colony(data_dir, seed, result, trace);
  colony.Play(level, player, max_days);
  return result;
}

std::map<int, std::string> TypeNames(const std::string& data_dir) {
  shell::Session session;
  session.SetRecording(true);
  session.StartUp(data_dir, 1);
  std::map<int, std::string> names;
  for (const auto& t : session.game.catalog)
    if (t.exists) names[t.id] = t.name;
  return names;
}

}  // namespace balance
