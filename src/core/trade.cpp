#include "core/trade.h"

#include <string>

#include "core/text.h"

namespace core {
namespace {

// Stock and price of a goods number, or null for a number that names no goods.
int32_t* Stock(Game& g, int32_t goods) {
  switch (goods) {
    case kGoodsFood: return &g.food;
    case kGoodsProducts: return &g.products;
    case kGoodsRaw: return &g.raw;
    default: return nullptr;
  }
}

int32_t* Price(Game& g, int32_t goods) {
  switch (goods) {
    case kGoodsFood: return &g.food_price;
    case kGoodsProducts: return &g.product_price;
    case kGoodsRaw: return &g.raw_price;
    default: return nullptr;
  }
}

}  // namespace

void Trade(Game& g, int32_t direction, int32_t goods, int32_t n) {
  // Whether the trade happens decides whether it is an action, and an action is noted
  // before anything changes, the ship's call included; the call itself comes first
  // either way.
  int32_t* stock = Stock(g, goods);
  int32_t* price = Price(g, goods);
  const bool takes_place = [&] {
    if (n <= 0 || !stock || (direction != kSell && direction != kBuy)) return false;
    if (n > g.trade_cap - g.traded) return false;
    // A sum beyond 32 bits would wrap and turn the affordability test upside down.
    const int64_t sum = static_cast<int64_t>(n) * *price;
    if (sum > INT32_MAX || sum < INT32_MIN) return false;
    return direction == kSell ? n <= *stock : static_cast<int32_t>(sum) <= g.money;
  }();
  if (takes_place)
    g.actions->Act({.kind = direction == kSell ? PlayerAction::kSell : PlayerAction::kBuy, .name = {}, .goods = goods, .amount = n});
  g.traffic->CallShip();
  if (!takes_place) return;
  const int32_t value = n * *price;
  Ledger& book = g.day_book;
  const int32_t ledger_goods = goods == kGoodsFood ? 0 : goods == kGoodsRaw ? 1 : 2;
  int32_t* const bought[] = {&book.food_bought, &book.raw_bought, &book.products_bought};
  int32_t* const sold[] = {&book.food_sold, &book.raw_sold, &book.products_sold};
  if (direction == kSell) {
    g.money += value;
    g.income_day += value;
    *stock -= n;
    *sold[ledger_goods] += n;
    book.money_sales += value;
  } else {
    g.money -= value;
    g.expense_day += value;
    *stock += n;
    *bought[ledger_goods] += n;
    book.money_purchases += value;
  }
  g.traded += n;
}

void TakeCredit(Game& g, int32_t incsum) {
  if (incsum < 0) return;
  if (g.debt != 0) {
    g.host->ShowInfoMessage(kMsgOther, g.Loc(72) + g.Loc(73));
    return;
  }
  const int32_t limit = g.attraction * 10000;
  if (limit < incsum) {
    g.credit_sum = incsum;
    g.host->ShowInfoMessage(kMsgOther, Sentence(g.Loc(74) + g.Loc(75) + g.Loc(76) + ": " + std::to_string(limit)));
    return;
  }
  // A credit of nothing borrows nothing: no action to take back.
  if (incsum > 0) g.actions->Act({.kind = PlayerAction::kCredit, .name = {}, .goods = 0, .amount = incsum});
  g.credit_sum = incsum;
  g.money += incsum;
  g.income_day += incsum;
  g.day_book.money_credit += incsum;
  const int32_t interest_sum = incsum * g.interest;  // 32-bit, as the rule states
  g.debt = Round(interest_sum / 100.0) + incsum;
  g.installment = Round(g.debt / 12.0);
  // A debt of a few units would round to an instalment of 0 and never be paid off,
  // barring every later credit.
  if (g.debt > 0 && g.installment < 1) g.installment = 1;
}

}  // namespace core
