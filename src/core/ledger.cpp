#include "core/ledger.h"

namespace core {

#define LF(n) LedgerField{#n, &Ledger::n}
const std::array<LedgerField, kLedgerFields>& LedgerFields() {
  static const std::array<LedgerField, kLedgerFields> fields = {
      LF(day), LF(food_start), LF(food_bought), LF(food_sold), LF(food_made), LF(food_eaten),
      LF(food_spilled), LF(food_lost), LF(food_end), LF(food_full), LF(raw_start), LF(raw_bought),
      LF(raw_sold), LF(raw_made), LF(raw_used), LF(raw_spilled), LF(raw_end), LF(products_start),
      LF(products_bought), LF(products_sold), LF(products_made), LF(products_spilled),
      LF(products_lost), LF(products_end), LF(pop_start), LF(pop_arrived), LF(pop_crowded),
      LF(pop_unhoused), LF(pop_hungry), LF(pop_unpaid), LF(pop_raided), LF(pop_end),
      LF(money_start), LF(money_sales), LF(money_purchases), LF(money_building), LF(money_credit),
      LF(money_income), LF(money_upkeep), LF(money_wages), LF(money_installment), LF(money_end),
      LF(money_science), LF(energy_out), LF(energy_use), LF(pers_needed), LF(pers_available),
      LF(living_space), LF(attraction), LF(storage_cap), LF(trade_cap), LF(traded), LF(wage_bill),
  };
  return fields;
}
#undef LF

}  // namespace core
