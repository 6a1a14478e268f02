#include "core/economy.h"

#include "core/events.h"

namespace core {
namespace {

// A ratio of supply to demand, with the shortage rules' reading of the edge cases: no
// demand (positive or zero supply) is no shortage.
double Ratio(int32_t supply, int32_t demand) {
  if (demand == 0) return supply >= 0 ? 1.0 : 0.0;
  return static_cast<double>(supply) / static_cast<double>(demand);
}

// Takes what goes beyond the storage capacity out of `stock`, but never more than the stock
// holds: discarding cannot leave a debt of goods. What it cannot give stays in the total, so
// the next good's limit takes it. A stock already below zero (colonists who ate more food
// than there was) holds nothing and so takes up no room either.
void Spill(Game& g, int32_t& stock) {
  const auto held = [](int32_t v) { return v > 0 ? v : 0; };
  const int32_t total = held(g.food) + held(g.raw) + held(g.products);
  if (total <= g.storage_cap) return;
  const int32_t excess = total - g.storage_cap;
  stock -= excess < held(stock) ? excess : held(stock);
}

}  // namespace

void OpenDayBook(Game& g) {
  Ledger& b = g.day_book;
  b = Ledger{};
  b.food_start = g.food;
  b.raw_start = g.raw;
  b.products_start = g.products;
  b.pop_start = g.population;
  b.money_start = g.money;
}

void ProcessDay(Game& g) {
  // The day the player has had since the last tick, which this tick closes.
  Ledger book = g.day_book;
  book.day = g.day;
  g.sssize_total = 0;
  g.military_power = 0;
  g.science_day = 0;

  g.expense_total += g.expense_day;
  g.income_total += g.income_day;
  g.income_day = 0;
  g.expense_day = 0;

  g.bldg_count = 0;
  int32_t food_made = 0, raw_made = 0, prod_made = 0, eng_out = 0, eng_use = 0;
  int32_t attr_made = 0, pers = 0, income_made = 0, support = 0, living = 0, storage = 0;

  for (auto& b : g.placed) {
    if (b.exists) {
      support += b.sc;
      g.bldg_count += 1;
    }
    if (b.working()) {
      food_made += Scaled(b, b.food, kUpFood);
      raw_made += Scaled(b, b.raw, kUpRaw);
      g.sssize_total += Scaled(b, b.sssize, kUpSssize);
      prod_made += Scaled(b, b.prod, kUpProd);
      eng_out += Scaled(b, b.engout, kUpEngout);
      storage += Scaled(b, b.storage, kUpStorage);
      living += Scaled(b, b.living, kUpLiving);
      eng_use += b.engcons * b.up;
      attr_made += b.comfort + Scaled(b, b.entertain, kUpEntertain);
      pers += b.pers;
      g.military_power += Scaled(b, b.military, kUpMilitary);
      income_made += g.Random(Scaled(b, b.income, kUpIncome));
      g.science_day += g.Random(Scaled(b, b.science, kUpScience));
    }
    if (b.exists && b.construction > 0) {
      b.construction -= 100;
      if (b.construction < 0) b.construction = 0;
    }
  }

  g.energy_out = eng_out;
  g.energy_use = eng_use;
  g.pers_needed = pers;
  book.food_full = food_made;
  book.pers_needed = pers;
  book.pers_available = g.population;
  book.energy_out = eng_out;
  book.energy_use = eng_use;

  const double p = Ratio(g.population, pers);
  const double e = Ratio(eng_out, eng_use);
  g.energy_ratio = e > 1 ? 1.0 : e;
  g.pers_ratio = p > 1 ? 1.0 : p;

  if (p < 1) {
    for (int32_t* v : {&food_made, &raw_made, &prod_made, &attr_made, &income_made,
                       &g.military_power, &g.science_day})
      *v = Round(*v * p);
  }
  if (e < 1) {
    for (int32_t* v : {&food_made, &raw_made, &prod_made, &attr_made, &income_made, &g.science_day})
      *v = Round(*v * e);
  }

  g.science_pts += g.science_day;
  if (g.science_pts > 10000.0 / g.level) {
    g.science_pts = 0;
    g.science_bonus += 100 + 10 * g.level;
  }
  book.money_science = Round(g.science_bonus / 10.0);
  income_made += book.money_science;
  if (g.science_bonus > 0) g.science_bonus -= Round(10.0 / g.level);

  g.prev_food = g.food;
  g.prev_population = g.population;
  g.prev_raw = g.raw;
  g.prev_products = g.products;

  // Each step's change is what it took or gave, so the entries add up to the stocks.
  const auto step = [](int32_t& v, auto&& change) {
    const int32_t before = v;
    change();
    return static_cast<int32_t>(static_cast<uint32_t>(v) - static_cast<uint32_t>(before));
  };
  g.food += food_made;
  book.food_made = food_made;
  g.storage_cap = storage;
  g.living_space = living;
  g.food -= g.population;
  book.food_eaten = g.population;
  book.food_spilled = -step(g.food, [&] { Spill(g, g.food); });
  book.raw_made = raw_made;
  g.raw += raw_made;
  book.raw_spilled = -step(g.raw, [&] { Spill(g, g.raw); });
  if (g.raw >= prod_made) {
    g.products += prod_made;
    g.raw -= prod_made;
    book.products_made = book.raw_used = prod_made;
  } else {
    g.products += g.raw;
    book.products_made = book.raw_used = g.raw;
    g.raw = 0;
  }
  book.products_spilled = -step(g.products, [&] { Spill(g, g.products); });
  // Colonists cannot eat food that is not there; the other stocks only fall below zero
  // when they started there, and what lifts them back counts against their spill.
  book.food_eaten -= step(g.food, [&] { if (g.food < 0) g.food = 0; });
  book.raw_spilled -= step(g.raw, [&] { if (g.raw < 0) g.raw = 0; });
  book.products_spilled -= step(g.products, [&] { if (g.products < 0) g.products = 0; });
  // A population below zero is lifted before anything else moves it.
  book.pop_start += step(g.population, [&] { if (g.population < 0) g.population = 0; });

  book.pop_crowded = -step(g.population, [&] { if (g.population >= 1000) g.population = Round(g.population * 0.9); });
  book.pop_arrived = step(g.population, [&] { if (g.food > 0) g.population += attr_made; });
  g.attraction = attr_made;
  book.pop_unhoused = -step(g.population, [&] { if (g.population > living) g.population = living; });
  book.pop_hungry = -step(g.population, [&] { if (g.food <= 0) g.population = Round(g.population * 0.9); });

  g.money += income_made;
  book.money_income = income_made;
  g.income_day += income_made;
  g.wage_bill = g.wage * g.population + 9 * g.wage * g.military_power;
  g.expense_day += support;
  g.money -= support;
  book.money_upkeep = support;
  book.pop_unpaid = -step(g.population, [&] {
    if (g.wage_bill > g.money && g.day == 30) g.population = Round(g.population * 0.9);
  });
  g.trade_cap = g.sssize_total * 200 + g.level * 5;
  book.wage_bill = g.wage_bill;

  if (g.day == 30) {
    g.money -= g.wage_bill;
    g.money -= g.installment;
    book.money_wages = g.wage_bill;
    book.money_installment = g.installment;
    g.expense_day += g.wage_bill + g.installment;
    g.debt -= g.installment;
    if (g.debt < g.installment) {
      g.debt = 0;
      g.installment = 0;
    }
    g.traded = 0;
  }

  g.food_price += g.Random(3) - 1;
  g.raw_price += g.Random(8) - 4;
  g.product_price += g.Random(30) - 13;
  g.interest += g.Random(3) - 1;

  if (g.food_price < 5) g.food_price += g.Random(8);
  if (g.raw_price < 25) g.raw_price += g.Random(40);
  if (g.product_price < 50) g.product_price += g.Random(80);
  if (g.interest < 1) g.interest += g.Random(5);
  if (g.interest > 50) g.interest -= g.Random(20);

  // The month's first two days bring no event.
  const int32_t drawn = (g.day == 0 || g.day == 1) ? -1 : g.Random(90);
  const int32_t event = ChosenEvent(g, drawn);
  if (g.events_enabled) {
    MakeEvent(g, event);
    // The event books its losses into the open day, on top of what a disaster between
    // ticks took; this tick closes that day.
    book.food_lost = g.day_book.food_lost;
    book.products_lost = g.day_book.products_lost;
    book.pop_raided = g.day_book.pop_raided;
  }

  if (g.traffic->ActiveShuttles() < Round(g.bldg_count / 10.0)) g.traffic->AddShuttle();

  book.food_end = g.food;
  book.raw_end = g.raw;
  book.products_end = g.products;
  book.pop_end = g.population;
  book.money_end = g.money;
  book.living_space = g.living_space;
  book.attraction = g.attraction;
  book.storage_cap = g.storage_cap;
  book.trade_cap = g.trade_cap;
  book.traded = g.traded;
  g.ledger = book;
  OpenDayBook(g);

  EvaluateWarnings(g);
}

}  // namespace core
