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

void ProcessDay(Game& g) {
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
  income_made += Round(g.science_bonus / 10.0);
  if (g.science_bonus > 0) g.science_bonus -= Round(10.0 / g.level);

  g.prev_food = g.food;
  g.prev_population = g.population;
  g.prev_raw = g.raw;
  g.prev_products = g.products;

  g.food += food_made;
  g.storage_cap = storage;
  g.living_space = living;
  g.food -= g.population;
  Spill(g, g.food);
  g.raw += raw_made;
  Spill(g, g.raw);
  if (g.raw >= prod_made) {
    g.products += prod_made;
    g.raw -= prod_made;
  } else {
    g.products += g.raw;
    g.raw = 0;
  }
  Spill(g, g.products);
  for (int32_t* v : {&g.food, &g.raw, &g.products, &g.population})
    if (*v < 0) *v = 0;

  if (g.population >= 1000) g.population = Round(g.population * 0.9);
  if (g.food > 0) g.population += attr_made;
  g.attraction = attr_made;
  if (g.population > living) g.population = living;
  if (g.food <= 0) g.population = Round(g.population * 0.9);

  g.money += income_made;
  g.income_day += income_made;
  g.wage_bill = g.wage * g.population + 9 * g.wage * g.military_power;
  g.expense_day += support;
  g.money -= support;
  if (g.wage_bill > g.money && g.day == 30) g.population = Round(g.population * 0.9);
  g.trade_cap = g.sssize_total * 200 + g.level * 5;

  if (g.day == 30) {
    g.money -= g.wage_bill;
    g.money -= g.installment;
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
  if (g.events_enabled) MakeEvent(g, event);

  if (g.traffic->ActiveShuttles() < Round(g.bldg_count / 10.0)) g.traffic->AddShuttle();

  EvaluateWarnings(g);
}

}  // namespace core
