#include "core/advisor.h"

#include <array>
#include <utility>

#include "core/construction.h"
#include "core/events.h"
#include "core/numeric.h"

namespace core {
namespace {

// Locale entries of the advisor. Names of the topics come first, in Topic order, then what
// each topic means, in the same order.
constexpr int kNames = 650;
constexpr int kMeanings = 667;
// The entries of a day's balance.
enum Entry : int {
  kBought = 684, kSold, kProduced, kEaten, kOverStorage, kLostToEvents, kIntoProducts,
  kArrived, kCrowded, kNoBeds, kHungry, kUnpaid, kRaided, kSales, kPurchases, kBuilding,
  kCredit, kIncome, kUpkeep, kWages, kInstalment,
  kLastDay = 705,        // Last day: from %1 to %2 (%3).
  kWorkers = 706,        // Workers: %1 needed, %2 colonists; the buildings work at %3%.
  kEnergyLine = 707,     // Energy: %1 produced, %2 used; the buildings work at %3%.
  kFoodFull = 708,       // With every worker and all the energy: %1 food a day.
  kHelpBuild = 709,      // Helps: %1 (cost %2) gives %3 a day.
  kHelpBuy = 710,        // Or buy: %1 each today; %2 more may be traded this month.
  kRunsOut = 711,        // Food runs out in %1 days at today's rate.
  kLasts = 712,          // At today's rate the food does not run out.
  kNextWages = 713,      // Next wages: %1 on day 30, in %2 days; with the instalment %3.
  kTermEnds = 714,       // The term ends in %1 days, on day %2 of the game; score now %3.
  kScoreRule = 715,      // The score: ...
  kNoType = 716,         // No building type gives that.
  kSwitchOff = 717,      // Or switch off buildings that need workers.
  kHelpSell = 718,       // Or sell: %1 each today; %2 more may be traded this month.
  kMoneyAttention = 719, // Money is below the wages and the instalment due (%1).
  kMoneyBad = 720,       // Below 0; at %1 the colony is bankrupt.
  kCreditLimit = 721,    // Credit limit: %1 (attraction x 10000).
  kDebtLine = 722,       // Debt %1, instalment %2 on day 30, %3 instalments remain.
  kNoCredit = 723,       // No credit running; interest %1%.
  kUpgradeTo = 724,      // Upgrade to level %1 of %2 (cost %3):
  kFullyUpgraded = 725,  // Fully upgraded.
  kQuotaLeft = 726,      // Quota left this month: %1 of %2; it starts again after day 30.
  kNoDay = 727,          // No day has passed yet.
  kBreakthrough = 728,   // Breakthrough at %1 points; dividend %2 a day.
  kArrivals = 731,       // %1 arrive a day while there is food; beds for %2.
  kUpgradeGain = 732,    // %1 +%2
  kUpgradeEnergy = 733,  // energy use +%1
  kPiratesLine = 734,    // Pirates match their raid to the defence.
  kEndlessTerm = 735,    // A sandbox game has no end.
  kQuotaRule = 736,      // Spaceport size x 200 + level x 5: %1.
  kIncomeLine = 737,     // Last day: income %1, expenses %2.
  kHelpGives = 738,      // Helps: %1 (cost %2) gives %3.
  kHelpQuota = 739,      // Helps: %1 (cost %2) adds %3 to the monthly quota.
};

std::string Num(int32_t v) { return std::to_string(v); }

// A locale text with %1, %2, ... put in.
std::string Fill(const Game& g, int entry, std::initializer_list<std::string> args) {
  const std::string& text = g.Loc(entry);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const std::size_t k = static_cast<std::size_t>(text[i + 1] - '1');
      if (k < args.size()) out += *(args.begin() + static_cast<std::ptrdiff_t>(k));
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Signed(int32_t v) { return v >= 0 ? "+" + Num(v) : Num(v); }

// A share of supply in demand as a whole percentage; a damaged save's values can put the
// ratio anywhere, and only 0 to 100 per cent means anything here.
int32_t Percent(double ratio) { return Round((ratio < 0 ? 0 : ratio > 1 ? 1 : ratio) * 100); }

// The cheapest building type whose `field` gives something, by the catalog's values.
struct Cheapest {
  int32_t k = -1;
  int32_t gives = 0;
};
template <typename F>
Cheapest CheapestType(const Game& g, F gives) {
  Cheapest best;
  for (int32_t k = 0; k < kCatalogSize; ++k) {
    const building& t = g.catalog[k];
    if (!t.exists) continue;
    const int32_t v = gives(t);
    if (v <= 0) continue;
    if (best.k == -1 || t.cst < g.catalog[best.k].cst) best = {k, v};
  }
  return best;
}

std::string TypeName(const Game& g, int32_t k) {
  return k < static_cast<int32_t>(g.constr_list.size()) ? g.constr_list[k] : g.catalog[k].name;
}

// `entry` says what the amount is: a day's output (kHelpBuild), a capacity (kHelpGives) or
// spaceport size, which the quota counts 200 times (kHelpQuota).
template <typename F>
void HelpBuild(const Game& g, std::vector<std::string>& lines, F gives, int entry = kHelpBuild) {
  const Cheapest c = CheapestType(g, gives);
  if (c.k == -1) {
    lines.push_back(g.Loc(kNoType));
    return;
  }
  const int32_t amount = entry == kHelpQuota ? c.gives * 200 : c.gives;
  lines.push_back(Fill(g, entry, {TypeName(g, c.k), Num(g.catalog[c.k].cst), Num(amount)}));
}

int32_t QuotaLeft(const Game& g) {
  const int32_t left = g.trade_cap - g.traded;
  return left > 0 ? left : 0;
}

int32_t DaysToWages(const Game& g) { return g.day >= 30 || g.day < 1 ? 30 : 30 - g.day; }

// The balance as text: each term that moved anything, signed, with its name.
std::string TermsLine(const Game& g, const Explanation& e) {
  std::string s;
  for (const BalanceTerm& t : e.terms) {
    if (t.value == 0) continue;
    if (!s.empty()) s += ", ";
    s += Signed(t.value) + " " + g.Loc(t.entry);
  }
  return s;
}

void Balance(const Game& g, Explanation& e, int32_t before, int32_t after,
             std::vector<BalanceTerm> terms) {
  e.balanced = true;
  e.before = before;
  e.after = after;
  e.terms = std::move(terms);
  if (g.ledger.day == 0) {
    e.lines.push_back(g.Loc(kNoDay));
    return;
  }
  e.lines.push_back(Fill(g, kLastDay, {Num(before), Num(after), Signed(after - before)}));
  const std::string terms_line = TermsLine(g, e);
  if (!terms_line.empty()) e.lines.push_back(terms_line);
}

void Shortages(const Game& g, std::vector<std::string>& lines) {
  const Ledger& l = g.ledger;
  if (l.pers_available < l.pers_needed)
    lines.push_back(Fill(g, kWorkers, {Num(l.pers_needed), Num(l.pers_available),
                                       Num(Percent(static_cast<double>(l.pers_available) / l.pers_needed))}));
  if (l.energy_out < l.energy_use)
    lines.push_back(Fill(g, kEnergyLine, {Num(l.energy_out), Num(l.energy_use),
                                          Num(Percent(static_cast<double>(l.energy_out) / l.energy_use))}));
}

}  // namespace

Explanation Explain(const Game& g, Topic topic) {
  Explanation e;
  e.topic = topic;
  const int t = static_cast<int>(topic);
  const Ledger& l = g.ledger;
  auto& lines = e.lines;
  auto head = [&](const std::string& value) { lines.push_back(g.Loc(kNames + t) + ": " + value); };
  auto meaning = [&](std::initializer_list<std::string> args) { lines.push_back(Fill(g, kMeanings + t, args)); };
  const std::string quota_left = Num(QuotaLeft(g));

  switch (topic) {
    case Topic::kMoney: {
      head(Num(g.money));
      meaning({Num(-100000 * g.level)});
      Balance(g, e, l.money_start, l.money_end,
              {{kSales, l.money_sales}, {kPurchases, -l.money_purchases}, {kBuilding, -l.money_building},
               {kCredit, l.money_credit}, {kIncome, l.money_income}, {kUpkeep, -l.money_upkeep},
               {kWages, -l.money_wages}, {kInstalment, -l.money_installment}});
      const int32_t due = g.population * g.wage + g.installment;
      if (g.money < 0) lines.push_back(Fill(g, kMoneyBad, {Num(-100000 * g.level)}));
      else if (g.money < due) lines.push_back(Fill(g, kMoneyAttention, {Num(due)}));
      if (g.products > 0) lines.push_back(Fill(g, kHelpSell, {Num(g.product_price), quota_left}));
      lines.push_back(Fill(g, kNextWages, {Num(g.wage_bill), Num(DaysToWages(g)), Num(g.wage_bill + g.installment)}));
      break;
    }
    case Topic::kPopulation:
      head(Num(g.population));
      meaning({});
      Balance(g, e, l.pop_start, l.pop_end,
              {{kArrived, l.pop_arrived}, {kCrowded, -l.pop_crowded}, {kNoBeds, -l.pop_unhoused},
               {kHungry, -l.pop_hungry}, {kUnpaid, -l.pop_unpaid}, {kRaided, -l.pop_raided}});
      lines.push_back(Fill(g, kArrivals, {Num(g.attraction), Num(g.living_space)}));
      if (l.pop_unhoused > 0 || g.population >= g.living_space)
        HelpBuild(g, lines, [](const building& b) { return b.living; }, kHelpGives);
      else if (l.pop_hungry > 0)
        HelpBuild(g, lines, [](const building& b) { return b.food; });
      else
        HelpBuild(g, lines, [](const building& b) { return b.comfort + b.entertain; });
      break;
    case Topic::kFood: {
      head(Num(g.food));
      meaning({});
      Balance(g, e, l.food_start, l.food_end,
              {{kBought, l.food_bought}, {kSold, -l.food_sold}, {kProduced, l.food_made},
               {kEaten, -l.food_eaten}, {kOverStorage, -l.food_spilled}, {kLostToEvents, -l.food_lost}});
      Shortages(g, lines);
      if (l.food_full > l.food_made) lines.push_back(Fill(g, kFoodFull, {Num(l.food_full)}));
      const int32_t net = l.food_made - g.population;
      if (net < 0 || g.food == 0) {
        HelpBuild(g, lines, [](const building& b) { return b.food; });
        lines.push_back(Fill(g, kHelpBuy, {Num(g.food_price), quota_left}));
      }
      if (l.day != 0) {
        if (net < 0) lines.push_back(Fill(g, kRunsOut, {Num((g.food + (-net) - 1) / (-net))}));
        else lines.push_back(g.Loc(kLasts));
      }
      break;
    }
    case Topic::kEnergy:
      head(Num(g.energy_use) + "/" + Num(g.energy_out));
      meaning({});
      Shortages(g, lines);
      if (g.energy_out < g.energy_use || g.energy_out == 0)
        HelpBuild(g, lines, [](const building& b) { return b.engout; }, kHelpGives);
      break;
    case Topic::kRaw:
      head(Num(g.raw));
      meaning({});
      Balance(g, e, l.raw_start, l.raw_end,
              {{kBought, l.raw_bought}, {kSold, -l.raw_sold}, {kProduced, l.raw_made},
               {kIntoProducts, -l.raw_used}, {kOverStorage, -l.raw_spilled}});
      Shortages(g, lines);
      if (l.raw_made == 0) HelpBuild(g, lines, [](const building& b) { return b.raw; });
      lines.push_back(Fill(g, kHelpBuy, {Num(g.raw_price), quota_left}));
      break;
    case Topic::kProducts:
      head(Num(g.products));
      meaning({});
      Balance(g, e, l.products_start, l.products_end,
              {{kBought, l.products_bought}, {kSold, -l.products_sold}, {kProduced, l.products_made},
               {kOverStorage, -l.products_spilled}, {kLostToEvents, -l.products_lost}});
      Shortages(g, lines);
      if (l.products_made == 0) HelpBuild(g, lines, [](const building& b) { return b.prod; });
      lines.push_back(Fill(g, kHelpSell, {Num(g.product_price), quota_left}));
      break;
    case Topic::kQuota:
      head(Num(g.traded) + "/" + Num(g.trade_cap));
      meaning({});
      lines.push_back(Fill(g, kQuotaLeft, {quota_left, Num(g.trade_cap)}));
      lines.push_back(Fill(g, kQuotaRule, {Num(g.trade_cap)}));
      HelpBuild(g, lines, [](const building& b) { return b.sssize; }, kHelpQuota);
      break;
    case Topic::kWages:
      head(Num(g.wage_bill));
      meaning({Num(g.wage)});
      lines.push_back(Fill(g, kNextWages, {Num(g.wage_bill), Num(DaysToWages(g)), Num(g.wage_bill + g.installment)}));
      break;
    case Topic::kDay:
      head(Num(g.day) + "/30");
      meaning({});
      lines.push_back(Fill(g, kNextWages, {Num(g.wage_bill), Num(DaysToWages(g)), Num(g.wage_bill + g.installment)}));
      break;
    case Topic::kScience:
      head(Num(g.science_pts) + "/" + Num(g.science_bonus));
      meaning({});
      lines.push_back(Fill(g, kBreakthrough, {Num(Round(10000.0 / (g.level > 0 ? g.level : 1))), Num(Round(g.science_bonus / 10.0))}));
      HelpBuild(g, lines, [](const building& b) { return b.science; });
      break;
    case Topic::kMilitary:
      head(Num(g.military_power));
      meaning({});
      lines.push_back(g.Loc(kPiratesLine));
      break;
    case Topic::kPersonnel:
      head(Num(g.pers_needed));
      meaning({});
      Shortages(g, lines);
      if (l.pers_available < l.pers_needed) {
        HelpBuild(g, lines, [](const building& b) { return b.living; }, kHelpGives);
        lines.push_back(g.Loc(kSwitchOff));
      }
      break;
    case Topic::kLiving:
      head(Num(g.population) + "/" + Num(g.living_space));
      meaning({});
      lines.push_back(Fill(g, kArrivals, {Num(g.attraction), Num(g.living_space)}));
      HelpBuild(g, lines, [](const building& b) { return b.living; }, kHelpGives);
      break;
    case Topic::kAttraction:
      head(Num(g.attraction));
      meaning({Num(g.attraction * 10000)});
      Shortages(g, lines);
      HelpBuild(g, lines, [](const building& b) { return b.comfort + b.entertain; });
      break;
    case Topic::kStorage: {
      const auto held = [](int32_t v) { return v > 0 ? v : 0; };
      const int32_t total = held(g.food) + held(g.raw) + held(g.products);
      head(Num(total) + "/" + Num(g.storage_cap));
      meaning({});
      const int32_t spilled = l.food_spilled + l.raw_spilled + l.products_spilled;
      if (spilled > 0) lines.push_back(Signed(-spilled) + " " + g.Loc(kOverStorage));
      HelpBuild(g, lines, [](const building& b) { return b.storage; }, kHelpGives);
      break;
    }
    case Topic::kCredit: {
      head(Num(g.installment) + "/" + Num(g.debt));
      meaning({});
      const std::string summary = CreditSummary(g);
      for (std::size_t from = 0, nl;; from = nl + 1) {
        nl = summary.find('\n', from);
        lines.push_back(summary.substr(from, nl == std::string::npos ? nl : nl - from));
        if (nl == std::string::npos) break;
      }
      break;
    }
    case Topic::kTerm:
      head(Num(g.days_left));
      meaning({});
      if (g.sandbox) {
        lines.push_back(g.Loc(kEndlessTerm));
      } else {
        const int32_t passed = g.history.days().empty() ? 0 : g.history.days().back().day;
        lines.push_back(Fill(g, kTermEnds, {Num(g.days_left), Num(passed + g.days_left), Num(Score(g))}));
      }
      lines.push_back(g.Loc(kScoreRule));
      break;
    case Topic::kCount:
      break;
  }
  if (topic == Topic::kMoney && l.day != 0)
    lines.push_back(Fill(g, kIncomeLine, {Num(l.money_income + l.money_sales + l.money_credit),
                                          Num(l.money_upkeep + l.money_wages + l.money_installment +
                                              l.money_building + l.money_purchases)}));
  return e;
}

std::string ExplainText(const Game& g, Topic topic) {
  const Explanation e = Explain(g, topic);
  std::string s;
  for (const std::string& line : e.lines) {
    if (line.empty()) continue;
    if (!s.empty()) s += '\n';
    s += line;
  }
  return s;
}

Topic WarningTopic(int warning) {
  switch (warning) {
    case kWarnMoney: return Topic::kMoney;
    case kWarnPersonnel: return Topic::kPersonnel;
    case kWarnPopulation: return Topic::kPopulation;
    case kWarnFood: return Topic::kFood;
    default: return Topic::kEnergy;
  }
}

std::string ExplainWarning(const Game& g, int warning) {
  if (warning < 0 || warning >= kWarnings) return {};
  const std::string& own = g.warnings[static_cast<std::size_t>(warning)].text;
  const std::string why = ExplainText(g, WarningTopic(warning));
  return own.empty() ? why : own + "\n" + why;
}

Topic InfoBlockTopic(int block) {
  // The information bar's blocks 0 to 10, in the order the read-out fills them.
  static constexpr std::array<Topic, 11> kBlocks = {
      Topic::kMoney, Topic::kPopulation, Topic::kFood,  Topic::kEnergy,  Topic::kRaw, Topic::kProducts,
      Topic::kQuota, Topic::kWages,      Topic::kDay,   Topic::kScience, Topic::kMilitary};
  return block >= 0 && block < static_cast<int>(kBlocks.size()) ? kBlocks[static_cast<std::size_t>(block)]
                                                                : Topic::kMoney;
}

namespace {
constexpr std::array<std::string_view, static_cast<std::size_t>(Topic::kCount)> kTopicNames = {
    "money", "population", "food",     "energy", "raw",        "products", "quota",  "wages", "day",
    "science", "military", "personnel", "living", "attraction", "storage", "credit", "term"};
}

std::string_view TopicName(Topic topic) {
  const auto i = static_cast<std::size_t>(topic);
  return i < kTopicNames.size() ? kTopicNames[i] : std::string_view();
}

std::optional<Topic> TopicNamed(std::string_view name) {
  for (std::size_t i = 0; i < kTopicNames.size(); ++i)
    if (kTopicNames[i] == name) return static_cast<Topic>(i);
  return std::nullopt;
}

std::string UpgradePreview(const Game& g, const building& b) {
  if (!b.exists || b.up >= b.upl) return g.Loc(kFullyUpgraded);
  std::string s = Fill(g, kUpgradeTo, {Num(b.up + 1), Num(b.upl), Num(b.cst * b.up)});
  // The entries of the building panel that name each value the level multiplies.
  struct Gain {
    int32_t upch, value, entry;
  };
  const Gain gains[] = {{kUpFood, b.food, 48},        {kUpLiving, b.living, 46},
                        {kUpEntertain, b.entertain, 51}, {kUpMilitary, b.military, 134},
                        {kUpProd, b.prod, 50},        {kUpSssize, b.sssize, 52},
                        {kUpStorage, b.storage, 53},  {kUpEngout, b.engout, 42},
                        {kUpRaw, b.raw, 49},          {kUpIncome, b.income, 44},
                        {kUpScience, b.science, 164}};
  for (const Gain& gain : gains)
    if (b.upch == gain.upch && gain.value > 0)
      s += " " + Fill(g, kUpgradeGain, {g.Loc(gain.entry), Num(gain.value)});
  if (b.engcons > 0) s += "; " + Fill(g, kUpgradeEnergy, {Num(b.engcons)});
  return s;
}

std::string CreditSummary(const Game& g) {
  if (g.debt <= 0 || g.installment <= 0)
    return Fill(g, kNoCredit, {Num(g.interest)}) + "\n" + Fill(g, kCreditLimit, {Num(g.attraction * 10000)});
  const int32_t remain = (g.debt + g.installment - 1) / g.installment;
  return Fill(g, kDebtLine, {Num(g.debt), Num(g.installment), Num(remain)});
}

std::string_view TermKey(int entry) {
  static constexpr std::array<std::string_view, kInstalment - kBought + 1> kKeys = {
      "bought",  "sold",    "produced", "eaten",  "spilled",  "lost",      "used",
      "arrived", "crowded", "unhoused", "hungry", "unpaid",   "raided",    "sales",
      "purchases", "building", "credit", "income", "upkeep", "wages", "instalment"};
  return entry >= kBought && entry <= kInstalment ? kKeys[static_cast<std::size_t>(entry - kBought)]
                                                   : std::string_view();
}

}  // namespace core
