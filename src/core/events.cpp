#include "core/events.h"

#include <cstdint>
#include <string>

#include "core/construction.h"
#include "core/grid.h"
#include "core/text.h"

namespace core {
namespace {

enum Event : int32_t {
  kPirateRaid = 4,
  kInterestFalls = 5,
  kInterestRises = 6,
  kCreditDearer = 7,
  kEarthquake = 8,
  kFoodSpoiled = 9,
};

std::string Num(int32_t v) { return std::to_string(v); }

// `value` less `percent` per cent of it, rounded; the product is taken in floating point so
// a large stock cannot wrap on its way to the result.
int32_t PercentOf(int32_t value, int32_t percent) {
  return Round(static_cast<double>(value) * percent / 100.0);
}

void PirateRaid(Game& g) {
  g.traffic->SendPirates();
  int32_t strength = g.Random(Round((g.military_power * 20) / static_cast<double>(g.level))) +
                     g.Random(40) - 20;
  if (strength < 10) strength = 10;
  // Until the next tick recomputes it, a colony without defence counts as strength 1.
  if (g.military_power == 0) g.military_power = 1;
  double ratio = static_cast<double>(g.military_power) / strength;
  if (ratio > 1) ratio = 1;

  if (ratio == 1) {
    g.host->ShowInfoMessage(kMsgPirates, g.Loc(103) + " " + Num(strength) + " " + g.Loc(104) +
                                             " " + g.Loc(105) + " " + g.Loc(106));
    return;
  }
  const int32_t casualties = Round(g.population * ratio);
  g.population -= casualties;
  const int32_t loss = Round(g.Random(100) * ratio);
  g.food -= PercentOf(g.food, loss);
  g.products -= PercentOf(g.products, loss);
  g.host->ShowInfoMessage(kMsgPirates, g.Loc(98) + " (" + Num(strength) + ") " + g.Loc(99) + " " +
                                           Num(casualties) + " " + g.Loc(100) + " " + g.Loc(101) +
                                           " " + Num(loss) + g.Loc(102));
}

// Slot 0, the colony's first building, is never hit. The earthquake leaves the credit alone.
void Earthquake(Game& g) {
  std::string list;  // the fallen buildings' names, joined by ", "
  bool destroyed = false;
  for (int32_t i = 1; i < kPlacedSize; ++i) {
    building& b = g.placed[i];
    if (!b.exists) continue;
    const int32_t r = g.Random(100) - g.level;
    if (r > Round(g.level / 2.0) + 70) {
      b.exists = false;
      if (destroyed) list += ", ";
      list += b.name;
      destroyed = true;
    }
  }
  if (destroyed) {
    g.PlacedChanged();
    UpdateBldgList(g);
  }
  if (!destroyed) list = g.Loc(108);
  g.host->PlaySound("snd_quake");
  g.host->ShowInfoMessage(kMsgOther, Sentence(g.Loc(107) + ": " + list));
}

// One warning: its state, the text for that state and the height it jumps up to.
void SetWarning(Game& g, int index, int32_t state, int text_bad, int text_attention, int text_good,
                int32_t rise) {
  warning& w = g.warnings[index];
  w.state = state;
  w.text = g.Loc(state == 2 ? text_bad : state == 1 ? text_attention : text_good);
  w.y = Round(g.view_h / 2.0 + rise);
}

// 2 when the value fell, 1 when it stayed, 0 when it rose.
int32_t Trend(int32_t now, int32_t before) { return now < before ? 2 : now == before ? 1 : 0; }

}  // namespace

bool IsDisaster(int32_t event) {
  return event == kPirateRaid || event == kEarthquake || event == kFoodSpoiled;
}

int32_t ChosenEvent(Game& g, int32_t event) {
  if (!IsDisaster(event)) return event;
  if (g.disasters == kDisastersOff) return -1;
  if (g.disasters == kDisastersRare && g.Random(2) == 0) return -1;
  return event;
}

namespace {
void ApplyEvent(Game& g, int32_t event) {
  switch (event) {
    case kPirateRaid:
      PirateRaid(g);
      break;
    case kInterestFalls:
      g.interest = Round(g.interest / 2.0);
      g.host->ShowInfoMessage(kMsgOther, g.Loc(111));
      break;
    case kInterestRises:
      g.interest = g.interest * 2;
      g.host->ShowInfoMessage(kMsgOther, g.Loc(110));
      break;
    case kCreditDearer: {
      const int32_t a = g.Random(100) + 1;
      g.debt += PercentOf(g.debt, a);
      g.installment += PercentOf(g.installment, a);
      g.host->ShowInfoMessage(kMsgOther, g.Loc(109) + " " + Num(a) + "%.");
      break;
    }
    case kEarthquake:
      Earthquake(g);
      break;
    case kFoodSpoiled: {
      const int32_t s = g.Random(50) + 50;
      g.food = PercentOf(g.food, 100 - s);
      g.interest = g.interest * 2;
      g.host->ShowInfoMessage(kMsgOther, g.Loc(136) + " " + Num(s) + g.Loc(137));
      break;
    }
    default:
      break;
  }
}
}  // namespace

void MakeEvent(Game& g, int32_t event) {
  // What a disaster takes goes into the open day, so that the day the next tick closes
  // still adds up when it struck between ticks (the Disasters menu).
  const int32_t food = g.food, products = g.products, population = g.population;
  ApplyEvent(g, event);
  g.day_book.food_lost += food - g.food;
  g.day_book.products_lost += products - g.products;
  g.day_book.pop_raided += population - g.population;
}

void EvaluateWarnings(Game& g) {
  const int32_t money_state = g.money < 0                                          ? 2
                              : g.money < g.population * g.wage + g.installment ? 1
                                                                                  : 0;
  SetWarning(g, kWarnMoney, money_state, 147, 148, 149, 100);
  // The tick's personnel ratio is below 1 exactly when its clamped copy is.
  SetWarning(g, kWarnPersonnel, g.pers_ratio < 1 ? 2 : 0, 150, 150, 151, 120);
  SetWarning(g, kWarnPopulation, Trend(g.population, g.prev_population), 157, 158, 159, 140);
  SetWarning(g, kWarnFood, Trend(g.food, g.prev_food), 154, 153, 152, 160);
  SetWarning(g, kWarnEnergy, g.energy_out < g.energy_use ? 2 : 0, 156, 156, 155, 180);
}

void ProcessWarnings(Game& g) { ProcessWarnings(g, HudUnit(g.view_h)); }

void ProcessWarnings(Game& g, int32_t hud_unit) {
  for (int k = 0; k < kWarnings; ++k) {
    warning& w = g.warnings[k];
    w.x = Round(hud_unit + 10.0);
    const int32_t target = g.view_h - 25 - 20 * (k + 1);
    // A tenth of the way per frame; within 5 pixels the rounded step is 0 and it rests.
    if (w.y > target) w.y -= Round((w.y - target) / 10.0);
    if (w.y < target) w.y += Round((target - w.y) / 10.0);
  }
}

const char* WarningMaterial(int32_t state) {
  switch (state) {
    case 0: return "m_tick_ok";
    case 1: return "m_tick_warn";
    default: return "m_tick_bad";
  }
}

int32_t Score(const Game& g) {
  int32_t total = 0;
  for (const auto& b : g.placed)
    if (b.exists) total += b.cst * b.upl;
  if (g.money > 0) total += g.money;
  total += g.military_power + g.attraction + g.income_total;
  return Round(total / static_cast<double>(g.level));
}

bool CheckGameover(Game& g) {
  if (g.game_over) return false;
  enum { kNone, kBankrupt, kTimeUp } reason = kNone;
  if (!g.sandbox) {
    if (g.money < -100000 * g.level) reason = kBankrupt;
    // Time up wins when both hold. Below 0 counts too, should the count ever pass 0 unseen.
    if (g.days_left <= 0) reason = kTimeUp;
  }
  if (reason == kNone) return false;

  g.game_over = true;
  g.game_running = false;
  // The score is given: nothing of the finished game is taken back any more.
  g.actions->CloseDay();
  const int32_t points = Score(g);
  g.score_entry.points = points;
  g.score_entry.level = g.level;
  g.score_entry.disasters = g.disasters;
  g.score_entry.rewound = g.rewound;
  const std::string crlf = "\r\n";
  g.host->ShowInfoMessage(kMsgGameOver, g.Loc(128) + crlf + g.Loc(133) + ": " +
                                            g.Loc(reason == kBankrupt ? 131 : 132) + crlf +
                                            g.Loc(129) + ": " + Num(points));
  g.host->ShowHighScores(true);
  return true;
}

}  // namespace core
