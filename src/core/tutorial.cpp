#include "core/tutorial.h"

#include <algorithm>

#include "core/errors.h"
#include "core/text.h"

namespace core {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

std::optional<CompareOp> OpOf(std::string_view w) {
  if (w == "<") return CompareOp::kLess;
  if (w == "<=") return CompareOp::kLessEq;
  if (w == ">") return CompareOp::kGreater;
  if (w == ">=") return CompareOp::kGreaterEq;
  if (w == "=") return CompareOp::kEqual;
  if (w == "!=") return CompareOp::kNotEqual;
  return std::nullopt;
}

// A number after "built." or "warn.": digits only, within [0, max].
std::optional<int32_t> Index(std::string_view digits, int32_t max) {
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  int32_t v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (v > max) return std::nullopt;
  return v;
}

std::optional<ConditionOperand> OperandOf(std::string_view w) {
  if (const auto n = ParseInt(w); n && w.find_first_of(" \t") == std::string_view::npos)
    return ConditionOperand{TutorialValue::kLiteral, *n};
  if (w.starts_with("built.")) {
    if (const auto t = Index(w.substr(6), kCatalogSize - 1)) return ConditionOperand{TutorialValue::kBuilt, *t};
    return std::nullopt;
  }
  if (w.starts_with("warn.")) {
    if (const auto n = Index(w.substr(5), kWarnings - 1)) return ConditionOperand{TutorialValue::kWarn, *n};
    return std::nullopt;
  }
  for (const auto& v : TutorialValueNames())
    if (w == v.name) return ConditionOperand{v.value, 0};
  return std::nullopt;
}

bool Compare(int32_t a, CompareOp op, int32_t b) {
  switch (op) {
    case CompareOp::kLess: return a < b;
    case CompareOp::kLessEq: return a <= b;
    case CompareOp::kGreater: return a > b;
    case CompareOp::kGreaterEq: return a >= b;
    case CompareOp::kEqual: return a == b;
    case CompareOp::kNotEqual: return a != b;
  }
  return false;
}

}  // namespace

const std::vector<TutorialValueName>& TutorialValueNames() {
  using V = TutorialValue;
  static const std::vector<TutorialValueName> names = {
      {"money", V::kMoney},           {"day", V::kDay},
      {"days_left", V::kDaysLeft},    {"food", V::kFood},
      {"food_change", V::kFoodChange}, {"raw", V::kRaw},
      {"products", V::kProducts},     {"population", V::kPopulation},
      {"energy_out", V::kEnergyOut},  {"energy_use", V::kEnergyUse},
      {"living_space", V::kLivingSpace}, {"attraction", V::kAttraction},
      {"personnel_needed", V::kPersNeeded}, {"military", V::kMilitary},
      {"storage", V::kStorage},       {"trade_quota", V::kTradeCap},
      {"traded", V::kTraded},         {"debt", V::kDebt},
      {"credit_sum", V::kCreditSum},  {"instalment", V::kInstallment},
      {"buildings", V::kBuildings},   {"site_chosen", V::kSiteChosen},
      {"selected", V::kSelected},     {"red_warnings", V::kRedWarnings},
      {"camera_moved", V::kCameraMoved}, {"camera_zoomed", V::kCameraZoomed},
      {"saves", V::kSaves},           {"loads", V::kLoads},
      {"step_days", V::kStepDays},    {"trades", V::kTrades},
  };
  return names;
}

const std::vector<std::string>& TutorialMarks() {
  static const std::vector<std::string> marks = {"camera", "catalog", "build",  "trade", "sell",
                                                 "buy",    "credit",  "take_credit", "toggle",
                                                 "upgrade", "list"};
  return marks;
}

std::optional<Condition> ParseCondition(std::string_view text, std::string* error) {
  const auto fail = [&](std::string why) -> std::optional<Condition> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  const auto words = Words(text);
  if (words.empty()) return fail("empty condition");
  Condition c;
  c.any_of.emplace_back();
  std::size_t terms = 0;
  std::size_t i = 0;
  for (;;) {
    if (i + 3 > words.size()) return fail("incomplete comparison");
    const auto left = OperandOf(words[i]);
    if (!left) return fail("unknown value '" + std::string(words[i]) + "'");
    const auto op = OpOf(words[i + 1]);
    if (!op) return fail("not a comparison '" + std::string(words[i + 1]) + "'");
    const auto right = OperandOf(words[i + 2]);
    if (!right) return fail("unknown value '" + std::string(words[i + 2]) + "'");
    if (++terms > kMaxConditionTerms) return fail("too many comparisons");
    c.any_of.back().push_back(Comparison{*left, *right, *op});
    i += 3;
    if (i == words.size()) return c;
    if (words[i] == "or") c.any_of.emplace_back();
    else if (words[i] != "and") return fail("expected 'and' or 'or' at '" + std::string(words[i]) + "'");
    ++i;
  }
}

int32_t OperandValue(const ConditionOperand& o, const Game& g, const TutorialFacts& f) {
  using V = TutorialValue;
  switch (o.value) {
    case V::kLiteral: return o.number;
    case V::kMoney: return g.money;
    case V::kDay: return g.day;
    case V::kDaysLeft: return g.days_left;
    case V::kFood: return g.food;
    case V::kFoodChange: return g.food - g.prev_food;
    case V::kRaw: return g.raw;
    case V::kProducts: return g.products;
    case V::kPopulation: return g.population;
    case V::kEnergyOut: return g.energy_out;
    case V::kEnergyUse: return g.energy_use;
    case V::kLivingSpace: return g.living_space;
    case V::kAttraction: return g.attraction;
    case V::kPersNeeded: return g.pers_needed;
    case V::kMilitary: return g.military_power;
    case V::kStorage: return g.storage_cap;
    case V::kTradeCap: return g.trade_cap;
    case V::kTraded: return g.traded;
    case V::kDebt: return g.debt;
    case V::kCreditSum: return g.credit_sum;
    case V::kInstallment: return g.installment;
    case V::kBuildings: {
      int32_t n = 0;
      for (const auto& b : g.placed) n += b.exists ? 1 : 0;
      return n;
    }
    case V::kSiteChosen: return g.sel_cell_x >= 0 && g.sel_cell_y >= 0 ? 1 : 0;
    case V::kSelected:
      return g.selected_bldg >= 0 && g.selected_bldg < kPlacedSize && g.placed[g.selected_bldg].exists &&
                     (g.selected_bldg != kNoSelection || g.last_slot_selected)
                 ? 1
                 : 0;
    case V::kRedWarnings: {
      int32_t n = 0;
      for (const auto& w : g.warnings) n += w.state >= 2 ? 1 : 0;
      return n;
    }
    case V::kCameraMoved: return f.camera_moved;
    case V::kCameraZoomed: return f.camera_zoomed;
    case V::kSaves: return f.saves;
    case V::kLoads: return f.loads;
    case V::kStepDays: return f.step_days;
    case V::kTrades: return f.trades;
    case V::kBuilt: {
      int32_t n = 0;
      for (const auto& b : g.placed) n += b.exists && b.id == o.number ? 1 : 0;
      return n;
    }
    case V::kWarn: return o.number >= 0 && o.number < kWarnings ? g.warnings[o.number].state : 0;
  }
  return 0;
}

bool ConditionHolds(const Condition& c, const Game& g, const TutorialFacts& f) {
  return std::any_of(c.any_of.begin(), c.any_of.end(), [&](const std::vector<Comparison>& all) {
    return std::all_of(all.begin(), all.end(), [&](const Comparison& k) {
      return Compare(OperandValue(k.left, g, f), k.op, OperandValue(k.right, g, f));
    });
  });
}

std::vector<TutorialStep> ParseTutorial(const std::vector<std::string>& lines, const std::string& path) {
  std::vector<TutorialStep> steps;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    const int number = static_cast<int>(n + 1);
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    const auto bad = [&](const std::string& what) { return DataError(path, number, line, what + " in tutorial file"); };

    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
      const std::size_t bar = trimmed.find('|', start);
      fields.push_back(Trim(trimmed.substr(start, bar == std::string_view::npos ? bar : bar - start)));
      if (bar == std::string_view::npos) break;
      start = bar + 1;
    }
    if (fields.size() != 4) throw bad("Not four fields");

    TutorialStep s;
    const auto text = ParseInt(fields[0]);
    if (!text || *text < 0 || *text >= kLocaleSize) throw bad("Not a locale entry");
    s.text = *text;

    const auto mark = Words(fields[1]);
    if (mark.size() == 1 && mark[0] == "none") {
      s.mark = MarkKind::kNone;
    } else if (mark.size() == 2 && mark[0] == "button") {
      const auto& names = TutorialMarks();
      if (std::find(names.begin(), names.end(), mark[1]) == names.end()) throw bad("Unknown control");
      s.mark = MarkKind::kButton;
      s.button = std::string(mark[1]);
    } else if (mark.size() == 3 && mark[0] == "cell") {
      const auto x = Index(mark[1], 999), y = Index(mark[2], 999);
      if (!x || !y) throw bad("Not a cell");
      s.mark = MarkKind::kCell;
      s.cell_x = *x;
      s.cell_y = *y;
    } else {
      throw bad("Not a mark");
    }

    if (fields[2] == "on") s.events = true;
    else if (fields[2] == "off") s.events = false;
    else throw bad("Not on or off");

    std::string why;
    const auto goal = ParseCondition(fields[3], &why);
    if (!goal) throw bad("Not a condition (" + why + ")");
    s.goal = *goal;
    s.goal_text = std::string(fields[3]);

    if (steps.size() == kMaxTutorialSteps) throw bad("Too many steps");
    steps.push_back(std::move(s));
  }
  if (steps.empty()) throw DataError(path, 0, "", "No step in tutorial file");
  return steps;
}

std::vector<TutorialStep> ReadTutorial(const std::string& path) {
  return ParseTutorial(ReadLines(path), path);
}

}  // namespace core
