#include "balance/colony_player.h"

#include <algorithm>
#include <array>
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

// Money a day that `science` points of daily science bring at `level` over the `days`
// left. Each breakthrough adds to a dividend that fades by a fixed step a day: while
// breakthroughs come faster than it fades, the dividend grows for the rest of the game;
// otherwise a breakthrough pays only until its share has faded. The points start again
// from nothing after each breakthrough, so there is at most one a day: science beyond
// that is worth nothing.
double ScienceMoney(int level, double science, double days) {
  const double bonus = 100 + 10 * level;
  const double fade = core::Round(10.0 / level);
  const double threshold = 10000.0 / level;
  const double per_day = std::min(1.0, science / threshold);
  if (per_day * bonus <= fade) return per_day * bonus * bonus / (20 * fade);
  return bonus / 20 + (per_day * bonus - fade) * days / 20;
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
      if (player == Player::kGreedy) Greedy();
      else if (player != Player::kIdle) Govern(player == Player::kDefended);
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
    const double science = ScienceMoney(g().level, science_ + e.science, g().days_left) -
                           ScienceMoney(g().level, science_, g().days_left);
    return e.income + science - e.sc - e.pers * (WageDay() + bed_unit_ / kHorizon) -
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
    } else if (t.food < t.living || (g().food < 2.0 * g().population && g().food < g().prev_food)) {
      // The totals count farms still being rebuilt after an earthquake: a store that
      // runs down tells the truth sooner.
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

  // ---- The greedy player (see colony_player.h) ----

  // The most of `units` per money among the affordable new buildings and upgrades over
  // 60 days: the price, upkeep and wages counted, each worker also at the bed it needs, and
  // a new building at the site it takes. Units beyond `wanted` (what the colony lacks now
  // and will lack within 60 days, growing as it did) count for nothing.
  template <typename Units>
  const Action* MostPerMoney(const std::vector<Action>& list, Units units, double wanted) {
    const Action* best = nullptr;
    double best_rate = 0;
    const double worker = WageDay() + worker_bed_day_;
    for (const auto& a : list) {
      const double u = std::min(units(a.effect), wanted);
      if (u <= 0 || a.cost <= 0 || a.cost > g().money) continue;
      const double site = a.slot < 0 ? site_price_ : 0;
      const double rate = u / (a.cost + site + kHorizon * (a.effect.sc + a.effect.pers * worker));
      if (!best || rate > best_rate) best = &a, best_rate = rate;
    }
    return best;
  }

  // How much `now` grew over the last 60 days (nothing when it shrank): what the colony
  // will likely want more of before a building bought today has served 60 days.
  double Growth(std::size_t field, double now) const {
    if (history_.empty()) return 0;
    const auto& then = history_.size() > kHorizon ? history_[history_.size() - std::size_t(kHorizon)] : history_.front();
    return std::max(0.0, now - then[field]);
  }

  // What a worker's bed costs a day (the cheapest beds, their price over 120 days and
  // their running costs), and what a site is worth: nothing while most are free, up to the
  // cheapest price when few are left.
  void PriceStaffAndSites(const std::vector<Action>& list) {
    worker_bed_day_ = 0;
    double cheapest = 0;
    for (const auto& a : list) {
      if (a.slot >= 0 || a.cost <= 0) continue;
      if (cheapest == 0 || a.cost < cheapest) cheapest = a.cost;
      if (a.effect.living <= 0) continue;
      const double day = (a.cost / 120.0 + a.effect.sc + a.effect.pers * WageDay()) / a.effect.living;
      if (worker_bed_day_ == 0 || day < worker_bed_day_) worker_bed_day_ = day;
    }
    int used = 0;
    for (const auto& b : g().placed) used += b.exists;
    const double free = std::max(1, core::kPlacedSize - used);
    site_price_ = cheapest * std::min(1.0, used / free / 4);
  }

  // Money held back against an earthquake: a tenth of what stands, and ten days of upkeep.
  double QuakeReserve() {
    double standing = 0;
    for (const auto& b : g().placed)
      if (b.exists) standing += b.cst;
    const double wages = g().day >= 20 ? g().wage * double(g().population) : 0;
    return 0.1 * standing + 10.0 * Upkeep() + wages;
  }

  // A building that only earns money, which the colony can do without for a while.
  static bool Earner(const core::building& b) {
    return (b.income > 0 || b.raw > 0 || b.prod > 0 || b.science > 0) && b.food <= 0 && b.engout <= 0 &&
           b.living <= 0 && b.pers > 0;
  }

  // Too few colonists for the buildings running scale everything down, arrivals too, so the
  // greedy player switches money-makers off (largest crews first) until the rest are fully
  // staffed, and on again when there are hands to spare. Returns whether any is off.
  bool Hands() {
    const double pop = g().population;
    double needed = 0;
    for (const auto& b : g().placed)
      if (b.exists && b.active && b.construction == 0) needed += b.pers;
    while (needed > pop) {
      int pick = -1;
      for (int s = 1; s < core::kPlacedSize; ++s) {
        const auto& b = g().placed[s];
        if (b.exists && b.active && b.construction == 0 && Earner(b) && (pick < 0 || b.pers > g().placed[pick].pers))
          pick = s;
      }
      if (pick < 0) break;
      needed -= g().placed[pick].pers;
      Run("toggle " + std::to_string(pick));
    }
    bool off = false;
    for (int s = 1; s < core::kPlacedSize; ++s) {
      const auto& b = g().placed[s];
      if (!b.exists || b.active || !Earner(b)) continue;
      if (needed + b.pers <= 0.95 * pop) {
        needed += b.pers;
        Run("toggle " + std::to_string(s));
      } else {
        off = true;
      }
    }
    return off;
  }

  void Greedy() {
    const bool idle_hands_short = Hands();
    const auto list = Actions();
    const Effect t = Totals();
    const double pop = g().population;
    // The needs that stop the colony from working, each met by what gives most of what is
    // missing per money, 60 days of upkeep and wages counted.
    const Action* need = nullptr;
    const double staffed = std::min(1.0, pop / std::max(1.0, t.pers));
    const double gap = t.pers - pop;
    const double store = 3 * pop + 100 + 3 * (t.raw + t.prod);
    PriceStaffAndSites(list);
    if (t.engout - t.engcons < 10 + t.engcons / 10)
      need = MostPerMoney(list, [](const Effect& e) { return e.engout - e.engcons; },
                          std::max(20.0, 10 + t.engcons / 5 - (t.engout - t.engcons)) + Growth(0, t.engcons));
    else if (t.food * staffed < std::min(t.living, pop + 50))
      need = MostPerMoney(list, [](const Effect& e) { return e.food; },
                          std::max(30.0, std::min(t.living, pop + 50) - t.food * staffed) + Growth(1, pop));
    else if (t.living < t.pers + 30)
      need = MostPerMoney(list, [](const Effect& e) { return e.living; },
                          std::max(50.0, t.pers + 60 - t.living) + Growth(2, t.pers));
    else if (gap > 0 && g().attraction * 10 < gap)
      need = MostPerMoney(list, [](const Effect& e) { return e.attraction; },
                          std::max(2.0, gap / 10 - g().attraction) + Growth(2, t.pers) / kHorizon);
    else if (t.storage < store)
      need = MostPerMoney(list, [](const Effect& e) { return e.storage; },
                          std::max(200.0, store - t.storage) + 3 * Growth(1, pop));
    history_.push_back({t.engcons, pop, t.pers});
    if (!need && g().money < 5000 && g().debt == 0 && g().interest <= 40 && g().attraction > 0 &&
        (t.engout - t.engcons < 10 || t.food < pop))
      // Short of money for what keeps the colony alive: a credit to tide it over.
      Run("credit " + std::to_string(std::min<int32_t>(g().attraction, 5) * 10000));
    if (need) Take(*need);
    else if (t.pers <= pop && !idle_hands_short) GreedyInvest(list, t);
    Sell(t);
    BuyRaw();
  }

  // What the trade earns a day when the workshops make all they can, from the colony's own
  // raw material and the rest bought at today's price, within the quota: products from
  // the colony's own raw material first, then bought ones (a purchase and a sale each),
  // then the spare raw material.
  double TradeIncomeBuying(double raw, double prod, double sssize) {
    const double product_price = g().product_price, raw_price = g().raw_price;
    double quota = (sssize * 200 + g().level * 5) / 30.0;
    const double own = std::max(0.0, std::min({prod, raw, quota}));
    double money = own * product_price;
    quota -= own;
    if (product_price > raw_price) {
      const double bought = std::max(0.0, std::min(prod - own, quota / 2));
      money += bought * (product_price - raw_price);
      quota -= 2 * bought;
    }
    return money + std::max(0.0, std::min(raw - own, quota)) * raw_price;
  }

  double TradeGainBuying(const Effect& t, const Effect& e) {
    return TradeIncomeBuying(t.raw + e.raw, t.prod + e.prod, t.sssize + e.sssize) -
           TradeIncomeBuying(t.raw, t.prod, t.sssize);
  }

  // Buys the raw material the working workshops lack for tomorrow, as far as the quota
  // left leaves room to sell what they make of it and a product fetches more.
  void BuyRaw() {
    if (g().product_price <= g().raw_price) return;
    double prod = 0;
    for (const auto& b : g().placed)
      if (b.working()) prod += core::Scaled(b, b.prod, core::kUpProd);
    const int32_t room = g().trade_cap - g().traded;
    const int32_t n = std::min(int32_t(prod) - g().raw, room / 2);
    if (n <= 0 || double(n) * g().raw_price > g().money - QuakeReserve()) return;
    Run("buy raw " + std::to_string(n));
  }

  // Each day the option that returns most per money over its first 60 days of work (fewer
  // near the end), valued alone against the colony as it stands, its raw material bought
  // when the colony makes too little.
  void GreedyInvest(const std::vector<Action>& list, const Effect& t) {
    const double horizon = std::min(60, g().days_left);
    const double wage = WageDay();
    // Energy is valued at what the cheapest solar-like option charges for it a day.
    double energy_day = 0;
    for (const auto& a : list) {
      const double net = a.effect.engout - a.effect.engcons;
      if (net > 0 && a.slot < 0) {
        const double day = (a.cost / 120.0 + a.effect.sc + a.effect.pers * wage) / net;
        if (energy_day == 0 || day < energy_day) energy_day = day;
      }
    }
    const Action* best = nullptr;
    double best_return = 0;
    const Action* best_affordable = nullptr;
    double best_affordable_return = 0;
    const double reserve = QuakeReserve();
    for (const auto& a : list) {
      const Effect& e = a.effect;
      if (e.military > 0 || a.cost <= 0) continue;
      // A port's quota is worth half the raw material price a unit, whether or not the
      // colony has goods to fill it yet: half of what a unit sold fetches is the port's.
      const double quota = e.sssize * 200 / 30.0 * g().raw_price / 2;
      const double value = e.income + ScienceMoney(g().level, t.science + e.science, g().days_left) -
                           ScienceMoney(g().level, t.science, g().days_left) +
                           std::max(TradeGainBuying(t, e), quota) - e.sc - e.pers * wage - e.engcons * energy_day;
      const double days = a.construction_days;
      const double work = std::min(horizon, g().days_left - days);
      if (value <= 0 || work <= 0) continue;
      const double spent = a.cost + days * e.sc;
      const double ret = (work * value - spent) / spent;
      if (ret <= 0) continue;
      if (!best || ret > best_return) best = &a, best_return = ret;
      if (g().money - a.cost >= reserve && (!best_affordable || ret > best_affordable_return))
        best_affordable = &a, best_affordable_return = ret;
    }
    if (!best) return;
    if (best == best_affordable) return Take(*best);
    // Short of money: borrow what the best option needs when no credit runs.
    if (g().debt == 0 && g().interest <= 40) {
      const int32_t want = int32_t((best->cost + reserve - g().money) / 10000 + 1) * 10000;
      if (want <= g().attraction * 10000) {
        Run("credit " + std::to_string(want));
        if (g().money - best->cost >= reserve) return Take(*best);
      }
    }
    if (best_affordable) Take(*best_affordable);
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
  // The greedy player's day-by-day energy use, colonists and staff wanted, for growth.
  std::vector<std::array<double, 3>> history_;
  double worker_bed_day_ = 0;  // a worker's bed a day, for the greedy player's needs
  double site_price_ = 0;      // what a site is worth to it
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

std::vector<TypeReturn> TypeReturns(const std::string& data_dir, int level) {
  shell::Session session;
  session.SetRecording(true);
  session.StartUp(data_dir, 1);
  const auto& g = session.game;
  const double raw_price = level + 200, product_price = level + 1000, wage_day = (120.0 - 4 * level) / 30;
  // Every unit bought or sold takes a unit of the monthly quota, and only the ports make
  // quota: a unit of it is worth half a raw material, so a mined unit sold shares its price
  // equally between the rig and the port, and a workshop that buys its raw material pays
  // for two units (the purchase and the sale).
  const double quota_unit = raw_price / 2;
  const double bonus_step = 100 + 10 * level, fade = core::Round(10.0 / level), threshold = 10000.0 / level;
  std::vector<TypeReturn> list;
  for (int k = 0; k < core::kCatalogSize; ++k) {
    const auto& t = g.catalog[k];
    // The first type stands from the start and cannot be built again.
    if (!t.exists || (k == 0 && t.unique)) continue;
    TypeReturn r;
    r.id = t.id;
    r.military = t.military > 0;
    r.port = t.sssize > 0;
    r.score_per_money = t.cst > 0 ? (double(t.cst) * t.upl + t.military) / t.cst : 0;
    const double quota_day = t.sssize * 200 / 30.0;
    const double steady = (t.income - 1) / 2.0 * (t.income > 0) + t.raw * (raw_price - quota_unit) +
                          t.prod * (product_price - raw_price - 2 * quota_unit) + quota_day * quota_unit - t.sc -
                          t.pers * wage_day;
    r.earns = t.income > 0 || t.raw > 0 || t.prod > 0 || t.sssize > 0 || t.science > 0;
    if (!r.earns || t.cst <= 0) {
      list.push_back(r);
      continue;
    }
    const int build_days = (t.cst + 99) / 100 + 1;
    double owed = t.cst + build_days * double(t.sc);
    double science_pts = 0, bonus = 0, first_days = 0;
    double ordered = -build_days * double(t.sc);  // net from the day it is ordered
    const double rate = t.science > 0 ? (t.science - 1) / 2.0 : 0;
    for (int d = 1; d <= 1000; ++d) {
      double net = steady;
      if (rate > 0) {
        science_pts += rate;
        if (science_pts > threshold) science_pts = 0, bonus += bonus_step;
        net += core::Round(bonus / 10);
        if (bonus > 0) bonus -= fade;
      }
      owed -= net;
      if (d <= 120) first_days += net;
      if (build_days + d <= kReturnHorizon) ordered += net;
      if (owed <= 0 && r.payback < 0) r.payback = build_days + d;
    }
    r.net_per_1000 = first_days / 120 / t.cst * 1000;
    r.per_money = ordered / t.cst;
    list.push_back(r);
  }
  return list;
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
