#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"

namespace core {

// What the advisor can explain: every number of the information bar, every line of the
// colony data and the five warnings come down to one of these.
enum class Topic : int {
  kMoney, kPopulation, kFood, kEnergy, kRaw, kProducts, kQuota, kWages, kDay, kScience,
  kMilitary, kPersonnel, kLiving, kAttraction, kStorage, kCredit, kTerm, kCount
};

// One entry of a day's balance: the locale entry that names it and its signed amount.
struct BalanceTerm {
  int entry = 0;
  int32_t value = 0;
};

// The advisor's word on one topic, from the last closed day's ledger, the catalog and the
// colony as it stands. For the stocks (money, population, food, raw materials, products)
// it also holds the balance its lines are made of: `before` plus every term is `after`.
struct Explanation {
  Topic topic = Topic::kMoney;
  std::vector<std::string> lines;  // name and value, meaning, why, what helps, what is coming
  bool balanced = false;
  int32_t before = 0, after = 0;
  std::vector<BalanceTerm> terms;
};

Explanation Explain(const Game& g, Topic topic);
// The explanation's lines, one per text line.
std::string ExplainText(const Game& g, Topic topic);
// A warning's explanation, its own text first (kWarnMoney..kWarnEnergy).
std::string ExplainWarning(const Game& g, int warning);

// The topic a warning, an information-bar block (0 to 10) stands for.
Topic WarningTopic(int warning);
Topic InfoBlockTopic(int block);
// The scripting name of a topic ("food", "quota", ...) and back.
std::string_view TopicName(Topic topic);
std::optional<Topic> TopicNamed(std::string_view name);

// What the next upgrade level of a placed building gives and costs, or that there is none.
std::string UpgradePreview(const Game& g, const building& b);
// The running credit: debt, instalment and how many instalments remain; or the terms of one.
std::string CreditSummary(const Game& g);

// A balance term's name for scripts ("bought", "eaten", "wages", ...), "" for none.
std::string_view TermKey(int entry);

}  // namespace core
