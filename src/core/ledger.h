#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace core {

// What one day did to the colony, entry by entry: the player's trades, building and credit
// since the previous tick, then the tick's own production, consumption, losses and payments.
// The daily tick is the one place these numbers are computed; the advisor only reads them,
// so what it says is what happened. For every stock, start + the signed entries = end.
struct Ledger {
  int32_t day = 0;  // the day of the month the closing tick ran on

  int32_t food_start = 0, food_bought = 0, food_sold = 0, food_made = 0, food_eaten = 0;
  int32_t food_spilled = 0, food_lost = 0, food_end = 0;
  // Food the working buildings would have made with every worker and all the energy they need.
  int32_t food_full = 0;

  int32_t raw_start = 0, raw_bought = 0, raw_sold = 0, raw_made = 0, raw_used = 0;
  int32_t raw_spilled = 0, raw_end = 0;

  int32_t products_start = 0, products_bought = 0, products_sold = 0, products_made = 0;
  int32_t products_spilled = 0, products_lost = 0, products_end = 0;

  int32_t pop_start = 0, pop_arrived = 0, pop_crowded = 0, pop_unhoused = 0, pop_hungry = 0;
  int32_t pop_unpaid = 0, pop_raided = 0, pop_end = 0;

  int32_t money_start = 0, money_sales = 0, money_purchases = 0, money_building = 0;
  int32_t money_credit = 0, money_income = 0, money_upkeep = 0, money_wages = 0;
  int32_t money_installment = 0, money_end = 0;
  // The part of money_income that came from the science dividend.
  int32_t money_science = 0;

  // The day's rates.
  int32_t energy_out = 0, energy_use = 0;
  int32_t pers_needed = 0, pers_available = 0;
  int32_t living_space = 0, attraction = 0, storage_cap = 0;
  int32_t trade_cap = 0, traded = 0, wage_bill = 0;

  bool operator==(const Ledger&) const = default;
};

// The ledger's fields by name, in declaration order: how it is saved and printed.
struct LedgerField {
  std::string_view name;
  int32_t Ledger::*member;
};
inline constexpr std::size_t kLedgerFields = 53;
const std::array<LedgerField, kLedgerFields>& LedgerFields();

}  // namespace core
