#include "core/newgame.h"

#include <string>

#include "core/catalog.h"
#include "core/economy.h"

namespace core {

void StartNewGame(Game& g, int32_t level) {
  const bool was_running = g.game_running;
  g.game_running = true;
  try {
    InitCatalog(g);
  } catch (...) {
    g.game_running = was_running;
    throw;
  }
  g.history.Clear();
  g.rewound = false;
  ++g.games_started;
  g.actions->CloseDay();
  FillConstrList(g);
  g.host->UpdateBldgList();
  // Runs with the previous game's level, prices and day, as the first tick of a game does.
  ProcessDay(g);

  g.money = level * 5000;
  g.wage = 120 - 4 * level;
  g.interest = Round(40.0 / level);
  g.food_price = level + 100;
  g.raw_price = level + 200;
  g.product_price = level + 1000;
  g.debt = 0;
  g.installment = 0;
  g.credit_sum = 0;
  g.science_pts = 0;
  g.science_bonus = 0;
  g.host->ShowData();

  g.level = level;
  g.game_over = false;

  const std::string crlf = "\r\n";
  g.host->ShowInfoMessage(kMsgGameStart,
                          g.Loc(33) + crlf + g.Loc(34) + ": " + std::to_string(g.level) + "." +
                              crlf + g.Loc(35) + ": " + std::to_string(g.money) + "; " +
                              g.Loc(36) + ": " + std::to_string(g.wage) + ".");
  g.cam_target_x = 300;
  g.cam_target_y = 300;
  if (level == kLevelEasy) g.days_left = 300;
  else if (level == kLevelNormal) g.days_left = 600;
  else if (level == kLevelHard) g.days_left = 1200;
  g.sandbox = g.sandbox_option;
  g.disasters = g.disasters_option;
  // The tick above closed a day of the game before; this one starts with nothing behind it.
  g.ledger = Ledger{};
  OpenDayBook(g);
}

void GLCadencer1Progress(Game& g, double deltaTime) {
  g.day_timer += deltaTime;
  g.day_angle = g.day_timer / g.day_length * 360.0;
  if (g.day_timer > g.day_length) {
    g.day_timer = 0;
    if (g.game_running) {
      g.day += 1;
      if (g.day > 30) g.day = 1;
      if (!g.game_over && !g.sandbox) g.days_left -= 1;
      ProcessDay(g);
      g.history.Record(g);
      g.actions->CloseDay();
    }
  }
}

}  // namespace core
