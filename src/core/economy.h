#pragma once
#include "core/game.h"

namespace core {

// Advances the colony by one day: production and consumption, stocks, population, money,
// science, month-end wages and instalment, prices, the day's event, shuttles, warnings.
void ProcessDay(Game& g);

// Opens the next day's ledger: no entries yet, the stocks and money as they stand as its start.
void OpenDayBook(Game& g);

}  // namespace core
