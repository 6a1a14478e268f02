#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace core {

struct Game;

// What the colony looked like after one day's tick: the values the read-out showed the
// player when that day began.
struct DayRecord {
  int32_t day = 0;  // days since the game began, 1 for its first day
  int32_t money = 0;
  int32_t income = 0;    // income_day
  int32_t expenses = 0;  // expense_day
  int32_t population = 0;
  int32_t living_space = 0;
  int32_t food = 0;
  int32_t raw = 0;
  int32_t products = 0;
  int32_t energy_out = 0;
  int32_t energy_use = 0;
  int32_t debt = 0;
  int32_t attraction = 0;
  int32_t science = 0;  // science_pts
  bool operator==(const DayRecord&) const = default;
};

// The record's fields by name, in declaration order: how the history is written out.
struct DayField {
  std::string_view name;
  int32_t DayRecord::*member;
};
inline constexpr std::size_t kDayFields = 14;
const std::array<DayField, kDayFields>& DayFields();

// The colony's story, one record per passed day of the running game. A sandbox game never
// ends, so only the latest kMaxDays are kept; a hard game (1200 days) keeps all of them.
class History {
 public:
  static constexpr std::size_t kMaxDays = 10000;
  static constexpr int32_t kMaxDayNumber = 1'000'000'000;

  // Records the colony as it stands now as the next day.
  void Record(const Game& g);
  void Clear() { days_.clear(); }
  const std::vector<DayRecord>& days() const { return days_; }
  // Replaces the records; false (and nothing changed) unless there are at most kMaxDays
  // with day numbers rising from at least 1.
  bool Assign(std::vector<DayRecord> days);
  bool operator==(const History&) const = default;

 private:
  std::vector<DayRecord> days_;
};

}  // namespace core
