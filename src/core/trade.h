#pragma once
#include <cstdint>

#include "core/game.h"

namespace core {

// Trade directions and goods numbers.
inline constexpr int32_t kSell = 0;
inline constexpr int32_t kBuy = 1;
inline constexpr int32_t kGoodsFood = 1;
inline constexpr int32_t kGoodsProducts = 2;
inline constexpr int32_t kGoodsRaw = 3;

// Buys (direction 1) or sells (0) `amount` units of goods 1 food, 2 products or 3 raw
// materials at the day's price, within the month's quota. The trade ship is called first,
// whatever follows. A refused trade, a negative amount or an unknown direction or goods
// number changes nothing and shows nothing.
void Trade(Game& g, int32_t direction, int32_t goods, int32_t amount);

// Borrows `incsum` when no credit is running and the colony's attraction allows it; the
// debt is the sum plus interest, paid back in twelfths on each month end. A negative sum
// is refused without a word.
void TakeCredit(Game& g, int32_t incsum);

}  // namespace core
