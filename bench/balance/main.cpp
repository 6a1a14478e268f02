// quenmar-balance: plays seeded games of the bundled content at every level, idle, with the
// steady governor and with the greedy player (see colony_player.h), and prints how they end,
// what each building type earns and how often it is built, what each type returns on its
// own at the opening prices, and how the pirate raids go.
//
//   quenmar-balance [--seeds N] [--data DIR] [--defended] [--returns] [--level easy|normal|hard]
//                   [--trace LEVEL SEED [greedy]]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "balance/colony_player.h"

namespace {

struct Level {
  int level;
  const char* name;
  int term;
};
constexpr Level kLevels[] = {{10, "easy", 300}, {5, "normal", 600}, {1, "hard", 1200}};

std::string Money(double v) {
  char buf[32];
  if (std::abs(v) >= 1e6) std::snprintf(buf, sizeof buf, "%.2f M", v / 1e6);
  else std::snprintf(buf, sizeof buf, "%.0f", v);
  return buf;
}

template <typename T>
T Median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? T{} : v[v.size() / 2];
}

void Ends(const std::vector<balance::GameResult>& games, const char* level, const char* player) {
  if (games.empty()) return;
  int term = 0, overfull = 0;
  std::vector<int32_t> money, points;
  std::vector<int> bankrupt_days;
  for (const auto& g : games) {
    if (g.game_over && !g.bankrupt) term += 1;
    if (g.bankrupt) bankrupt_days.push_back(g.days);
    if (g.overfull_day) overfull += 1;
    money.push_back(g.money);
    points.push_back(g.points);
  }
  std::sort(money.begin(), money.end());
  std::printf("| %-6s | %-8s | %5.0f %% | %-9s | %s / %s / %s | %s | %d |\n", level, player,
              100.0 * term / games.size(),
              bankrupt_days.empty() ? "-" : ("day " + std::to_string(Median(bankrupt_days))).c_str(),
              Money(money.front()).c_str(), Money(Median(money)).c_str(), Money(money.back()).c_str(),
              Money(Median(points)).c_str(), overfull);
}

void Types(const std::vector<balance::GameResult>& games, const std::map<int, std::string>& names) {
  if (games.empty()) return;
  std::map<int, balance::TypeTally> sum;
  std::map<int, int> games_built;
  for (const auto& g : games)
    for (const auto& [id, t] : g.types) {
      auto& s = sum[id];
      s.built += t.built, s.upgrades += t.upgrades, s.building_days += t.building_days;
      s.income += t.income, s.invested += t.invested, s.upkeep += t.upkeep;
      games_built[id] += t.built > 0 || t.upgrades > 0;
    }
  std::printf("| type | built/game | games | upgrades/game | income/bldg-day | upkeep/bldg-day | "
              "net/day per 1000 invested |\n");
  std::printf("|---|---|---|---|---|---|---|\n");
  for (const auto& [id, name] : names) {
    const auto& s = sum[id];
    const double days = std::max<double>(1, s.building_days);
    std::printf("| %2d %-20s | %5.1f | %3d | %5.1f | %7.0f | %5.0f | %s |\n", id, name.c_str(),
                double(s.built) / games.size(), games_built[id], double(s.upgrades) / games.size(),
                s.income / days, s.upkeep / days,
                s.built > 0 ? std::to_string(int((s.income - s.upkeep) / days / (s.invested / s.built) * 1000)).c_str()
                            : "-");
  }
}

void Returns(const std::string& data, const std::map<int, std::string>& names) {
  std::printf("| type | payback easy / normal / hard (days) | net/day per 1000, first 120 days, easy / normal / hard | "
              "earned per money, %d days from the order, easy / normal / hard | last-day score per money |\n"
              "|---|---|---|---|---|\n",
              balance::kReturnHorizon);
  std::map<int, std::vector<balance::TypeReturn>> by_type;
  std::map<int, std::pair<double, double>> range;  // by level: lowest and highest earned per money
  for (const auto& l : kLevels)
    for (const auto& r : balance::TypeReturns(data, l.level)) {
      by_type[r.id].push_back(r);
      if (!r.earns) continue;
      auto [it, fresh] = range.try_emplace(l.level, r.per_money, r.per_money);
      it->second.first = std::min(it->second.first, r.per_money);
      it->second.second = std::max(it->second.second, r.per_money);
    }
  for (const auto& [id, rs] : by_type) {
    std::string payback, net, per_money;
    for (const auto& r : rs) {
      const std::string sep = payback.empty() ? "" : " / ";
      if (!r.earns) {
        payback += sep + "-", net += sep + "-", per_money += sep + "-";
        continue;
      }
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.1f", r.per_money);
      payback += sep + (r.payback < 0 ? std::string("never") : std::to_string(int(r.payback)));
      net += sep + std::to_string(int(std::lround(r.net_per_1000)));
      per_money += sep + buf;
    }
    const auto it = names.find(id);
    std::printf("| %2d %-20s | %s | %s | %s | %.2f%s |\n", id, it == names.end() ? "?" : it->second.c_str(),
                payback.c_str(), net.c_str(), per_money.c_str(), rs.front().score_per_money,
                rs.front().military ? " (military)" : "");
  }
  std::printf("\nHighest / lowest earned per money:");
  for (const auto& l : kLevels) {
    const auto [low, high] = range[l.level];
    std::printf(" %s %.1f / %.1f = %.2f;", l.name, high, low, low > 0 ? high / low : 0.0);
  }
  std::printf("\n");
}

void Raids(const std::vector<balance::GameResult>& games, const char* level) {
  if (games.empty()) return;
  balance::RaidTally r;
  for (const auto& g : games) {
    const auto& t = g.raids;
    r.raids += t.raids, r.repelled += t.repelled, r.with_military += t.with_military;
    r.repelled_with_military += t.repelled_with_military, r.population_lost += t.population_lost;
    r.goods_lost += t.goods_lost, r.population_lost_defended += t.population_lost_defended;
    r.lost_defended += t.lost_defended;
  }
  const int lost = r.raids - r.repelled;
  std::printf("| %-6s | %5.1f | %5.1f %% | %4d | %5.1f %% | %5.1f %% | %5.1f %% | %5.1f %% |\n", level,
              double(r.raids) / games.size(), r.raids ? 100.0 * r.repelled / r.raids : 0.0, r.with_military,
              r.with_military ? 100.0 * r.repelled_with_military / r.with_military : 0.0,
              lost ? 100.0 * r.population_lost / lost : 0.0, lost ? r.goods_lost / lost : 0.0,
              r.lost_defended ? 100.0 * r.population_lost_defended / r.lost_defended : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  int seeds = 30;
  std::string data = QUENMAR_DATA_DIR;
  int trace_level = 0;
  uint32_t trace_seed = 0;
  bool trace_greedy = false, with_defended = false, returns_only = false;
  std::string only;  // one player, for short loops
  std::vector<Level> played(std::begin(kLevels), std::end(kLevels));
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--seeds" && i + 1 < argc) seeds = std::atoi(argv[++i]);
    else if (a == "--data" && i + 1 < argc) data = argv[++i];
    else if (a == "--defended") with_defended = true;
    else if (a == "--returns") returns_only = true;
    else if (a == "--only" && i + 1 < argc && (std::string(argv[i + 1]) == "governor" || std::string(argv[i + 1]) == "greedy"))
      only = argv[++i];
    else if (a == "--level" && i + 1 < argc) {
      const std::string name = argv[++i];
      played.clear();
      for (const auto& l : kLevels)
        if (name == l.name) played.push_back(l);
      if (played.empty()) {
        std::cerr << "quenmar-balance: no level " << name << " (easy, normal or hard)\n";
        return 2;
      }
    }
    else if (a == "--trace" && i + 2 < argc) {
      trace_level = std::atoi(argv[++i]), trace_seed = std::atoi(argv[++i]);
      if (i + 1 < argc && std::string(argv[i + 1]) == "greedy") trace_greedy = true, ++i;
    } else {
      std::cerr << "usage: quenmar-balance [--seeds N] [--data DIR] [--defended] [--returns] [--level easy|normal|hard] [--only governor|greedy] [--trace LEVEL SEED [greedy]]\n";
      return 2;
    }
  }
  try {
    if (trace_level) {
      const auto r = balance::PlayGame(data, trace_seed, trace_level,
                                       trace_greedy ? balance::Player::kGreedy : balance::Player::kGovernor, 1300,
                                       &std::cout);
      std::cout << "days " << r.days << (r.bankrupt ? " bankrupt" : "") << " money " << r.money << " score "
                << r.points << " overfull day " << r.overfull_day << '\n';
      return 0;
    }
    const auto names = balance::TypeNames(data);
    if (returns_only) {
      Returns(data, names);
      return 0;
    }
    std::map<int, std::vector<balance::GameResult>> idle, governed, greedy, defended;
    for (const auto& l : played)
      for (int s = 1; s <= seeds; ++s) {
        const uint32_t seed = 1000u * s + 7;
        if (only.empty())
          idle[l.level].push_back(balance::PlayGame(data, seed, l.level, balance::Player::kIdle, l.term + 10));
        if (only != "greedy")
          governed[l.level].push_back(balance::PlayGame(data, seed, l.level, balance::Player::kGovernor, l.term + 10));
        if (only != "governor")
          greedy[l.level].push_back(balance::PlayGame(data, seed, l.level, balance::Player::kGreedy, l.term + 10));
        if (with_defended && only.empty())
          defended[l.level].push_back(balance::PlayGame(data, seed, l.level, balance::Player::kDefended, l.term + 10));
      }

    std::printf("Games: %d seeds per level and player (seed 1000 k + 7, k = 1 to %d), events on.\n\n", seeds, seeds);
    std::printf("| level | player | reaches the time limit | bankrupt (median) | final money min / median / max | "
                "score (median) | games with a store over capacity |\n|---|---|---|---|---|---|---|\n");
    for (const auto& l : played) {
      Ends(idle[l.level], l.name, "idle");
      Ends(governed[l.level], l.name, "governor");
      Ends(greedy[l.level], l.name, "greedy");
      if (with_defended) Ends(defended[l.level], l.name, "defended");
    }
    for (const auto& l : played) {
      std::printf("\nBuilding types, governor, %s (income: money attributed to the type's output)\n\n", l.name);
      Types(governed[l.level], names);
      std::printf("\nBuilding types, greedy player, %s\n\n", l.name);
      Types(greedy[l.level], names);
    }
    std::printf("\nEach type on its own at the opening prices (construction time, upkeep while building and "
                "wages counted; quota at the raw material price)\n\n");
    Returns(data, names);
    std::printf("\nPirate raids (governor games; losses over the raids not repelled)\n\n");
    std::printf("| level | raids/game | repelled | raids on a defence | of those repelled | population lost | "
                "goods lost | population lost, defended |\n|---|---|---|---|---|---|---|---|\n");
    for (const auto& l : played) Raids(governed[l.level], l.name);
    std::printf("\nPirate raids (greedy games)\n\n");
    for (const auto& l : played) Raids(greedy[l.level], l.name);
    std::printf("\nPirate raids (idle games)\n\n");
    for (const auto& l : played) Raids(idle[l.level], l.name);
    if (with_defended) {
      std::printf("\nPirate raids (governor keeping a defence)\n\n");
      for (const auto& l : played) Raids(defended[l.level], l.name);
    }
  } catch (const std::exception& e) {
    std::cerr << "quenmar-balance: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
