#include "core/history.h"

#include "core/game.h"

namespace core {

#define DF(n) DayField{#n, &DayRecord::n}
const std::array<DayField, kDayFields>& DayFields() {
  static const std::array<DayField, kDayFields> fields = {
      DF(day),        DF(money), DF(income),   DF(expenses),   DF(population), DF(living_space), DF(food),
      DF(raw),        DF(products), DF(energy_out), DF(energy_use), DF(debt), DF(attraction), DF(science),
  };
  return fields;
}
#undef DF

void History::Record(const Game& g) {
  DayRecord r;
  // Numbered on from the last record, so dropping the oldest never renumbers the rest.
  r.day = days_.empty() ? 1 : days_.back().day + 1;
  r.money = g.money;
  r.income = g.income_day;
  r.expenses = g.expense_day;
  r.population = g.population;
  r.living_space = g.living_space;
  r.food = g.food;
  r.raw = g.raw;
  r.products = g.products;
  r.energy_out = g.energy_out;
  r.energy_use = g.energy_use;
  r.debt = g.debt;
  r.attraction = g.attraction;
  r.science = g.science_pts;
  if (days_.size() >= kMaxDays) days_.erase(days_.begin(), days_.begin() + static_cast<std::ptrdiff_t>(days_.size() - kMaxDays + 1));
  days_.push_back(r);
}

bool History::Assign(std::vector<DayRecord> days) {
  if (days.size() > kMaxDays) return false;
  int32_t previous = 0;
  for (const DayRecord& r : days) {
    // Far below the top of the range, so numbering on from the last record never wraps.
    if (r.day <= previous || r.day > kMaxDayNumber) return false;
    previous = r.day;
  }
  days_ = std::move(days);
  return true;
}

}  // namespace core
