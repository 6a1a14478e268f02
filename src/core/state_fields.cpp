#include "core/state_fields.h"

namespace core {

#define QF(n) StateField{#n, &Game::n}
const std::vector<StateField>& StateFields() {
  static const std::vector<StateField> fields = {
      QF(level), QF(game_running), QF(game_over), QF(sandbox_option), QF(sandbox),
      QF(days_left), QF(day), QF(day_length), QF(day_timer), QF(day_angle), QF(hud_mode),
      QF(locale_code), QF(exe_dir), QF(audio_ok), QF(loading), QF(load_status),
      QF(catalog_count),
      QF(money), QF(food), QF(raw), QF(products), QF(population), QF(prev_food), QF(prev_raw),
      QF(prev_products), QF(prev_population), QF(food_price), QF(raw_price),
      QF(product_price), QF(wage), QF(interest), QF(credit_sum), QF(debt), QF(installment),
      QF(science_pts), QF(science_bonus), QF(income_day), QF(expense_day), QF(income_total),
      QF(expense_total), QF(energy_out), QF(energy_use), QF(energy_ratio), QF(pers_needed),
      QF(pers_ratio), QF(storage_cap), QF(living_space), QF(attraction), QF(military_power),
      QF(sssize_total), QF(trade_cap), QF(science_day), QF(wage_bill), QF(bldg_count),
      QF(traded),
      QF(selected_bldg), QF(sel_cell_x), QF(sel_cell_y), QF(cam_target_x), QF(cam_target_y),
      QF(cam_height), QF(isometric), QF(build_panel), QF(bldg_panel), QF(trade_panel),
      QF(credit_panel), QF(msg_panel), QF(constr_choice), QF(tubes_off),
  };
  return fields;
}
#undef QF

const StateField* FindStateField(std::string_view name) {
  for (const auto& f : StateFields())
    if (f.name == name) return &f;
  return nullptr;
}

#define BF(n) BuildingField{#n, &building::n}
const std::vector<BuildingField>& BuildingFields() {
  static const std::vector<BuildingField> fields = {
      BF(exists), BF(active), BF(unique), BF(id), BF(name), BF(cname), BF(budget), BF(sc),
      BF(cst), BF(pers), BF(living), BF(comfort), BF(prod), BF(raw), BF(storage),
      BF(entertain), BF(military), BF(food), BF(spaceport), BF(sssize), BF(engout),
      BF(engcons), BF(up), BF(upl), BF(upch), BF(income), BF(x), BF(y), BF(dcx), BF(dcy),
      BF(science), BF(construction),
  };
  return fields;
}
#undef BF

}  // namespace core
