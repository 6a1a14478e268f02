#pragma once
// The guided first colony: its steps as data and the small condition language their goals
// are written in.
//
// Step file (data/tutorial.txt), one step per line, fields separated by '|':
//
//   TEXT | MARK | EVENTS | GOAL
//
//   TEXT    the locale entry of the step's text (an integer 0..10000)
//   MARK    what the step points at: "none", "button NAME" (a HUD button or side-panel
//           control, see kTutorialMarks) or "cell X Y" (a grid cell, 0..999 each)
//   EVENTS  "on" or "off": whether the day's random event may happen from this step on
//   GOAL    a condition; the step is passed as soon as it holds
//
// Blank lines and lines starting with '#' are skipped. At most kMaxTutorialSteps steps.
//
// Conditions: comparisons joined by "and" and "or" ("and" binds tighter; no parentheses, so
// reading and evaluating them never nests):
//
//   condition  := conjunct { "or" conjunct }
//   conjunct   := comparison { "and" comparison }
//   comparison := operand ( "<" | "<=" | ">" | ">=" | "=" | "!=" ) operand
//   operand    := integer | name | "built." TYPE | "warn." N
//
// Integers are decimal 32-bit. Names are those of kTutorialValues; "built.T" counts the
// placed buildings of type number T (under construction too), "warn.N" is the state of
// warning indicator N (0 money, 1 personnel, 2 population, 3 food, 4 energy; 0 good,
// 1 attention, 2 bad). At most kMaxConditionTerms comparisons per condition.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"

namespace core {

inline constexpr std::size_t kMaxTutorialSteps = 100;
inline constexpr std::size_t kMaxConditionTerms = 16;

// What the tutorial sees besides the game state: the player's doings the rules do not keep.
// Counted by whoever runs the game (the session) from the moment the tutorial starts.
struct TutorialFacts {
  int32_t camera_moved = 0;
  int32_t camera_zoomed = 0;
  int32_t saves = 0;
  int32_t loads = 0;
  // Days passed since the current step began.
  int32_t step_days = 0;
  // Trades made since the tutorial began (the month's `traded` carries over from a game
  // played before it).
  int32_t trades = 0;
  bool operator==(const TutorialFacts&) const = default;
};

enum class TutorialValue : int32_t {
  kLiteral, kMoney, kDay, kDaysLeft, kFood, kFoodChange, kRaw, kProducts, kPopulation,
  kEnergyOut, kEnergyUse, kLivingSpace, kAttraction, kPersNeeded, kMilitary, kStorage,
  kTradeCap, kTraded, kDebt, kCreditSum, kInstallment, kBuildings, kSiteChosen, kSelected,
  kRedWarnings, kCameraMoved, kCameraZoomed, kSaves, kLoads, kStepDays, kTrades,
  kBuilt, kWarn,
};

struct TutorialValueName {
  const char* name;
  TutorialValue value;
};
// Every plain name a condition may use.
const std::vector<TutorialValueName>& TutorialValueNames();

struct ConditionOperand {
  TutorialValue value = TutorialValue::kLiteral;
  int32_t number = 0;  // the literal, the type of built.T or the indicator of warn.N
  bool operator==(const ConditionOperand&) const = default;
};

enum class CompareOp : int32_t { kLess, kLessEq, kGreater, kGreaterEq, kEqual, kNotEqual };

struct Comparison {
  ConditionOperand left, right;
  CompareOp op = CompareOp::kEqual;
  bool operator==(const Comparison&) const = default;
};

// Any of the conjuncts holds when all its comparisons hold.
struct Condition {
  std::vector<std::vector<Comparison>> any_of;
  bool operator==(const Condition&) const = default;
};

// Reads a condition; nothing, with `error` saying why, when it is not one.
std::optional<Condition> ParseCondition(std::string_view text, std::string* error = nullptr);
int32_t OperandValue(const ConditionOperand& o, const Game& g, const TutorialFacts& f);
bool ConditionHolds(const Condition& c, const Game& g, const TutorialFacts& f);

enum class MarkKind : int32_t { kNone, kButton, kCell };
// The controls a step may mark, by the name the step file uses.
const std::vector<std::string>& TutorialMarks();

struct TutorialStep {
  int32_t text = 0;
  MarkKind mark = MarkKind::kNone;
  std::string button;  // a name of TutorialMarks() for kButton
  int32_t cell_x = 0, cell_y = 0;
  bool events = false;
  std::string goal_text;  // as written, trimmed
  Condition goal;
};

// Reads the steps from the file's lines; throws DataError naming `path`, the line and the
// value when a line is not a step, or when the file holds no step or too many.
std::vector<TutorialStep> ParseTutorial(const std::vector<std::string>& lines, const std::string& path);
// Reads and checks the step file.
std::vector<TutorialStep> ReadTutorial(const std::string& path);

}  // namespace core
