#include "shell/locale.h"

#include "core/errors.h"
#include "core/text.h"

namespace shell {

const std::vector<CaptionEntry>& CaptionTable() {
  static const std::vector<CaptionEntry> table = {
      {1, "launcher", "start_easy"},
      {2, "launcher", "start_normal"},
      {3, "launcher", "start_hard"},
      {4, "launcher", "quit"},
      {144, "launcher", "sandbox"},
      {540, "launcher", "disasters"},
      {541, "launcher", "disasters_rules"},
      {542, "launcher", "disasters_rare"},
      {543, "launcher", "disasters_off"},
      {171, "launcher", "credits"},
      {5, "main", "construction_group"},
      {6, "main", "colony_data_group"},
      {7, "main", "food_trade_group"},
      {8, "main", "product_trade_group"},
      {9, "main", "building_list_group"},
      {10, "main", "credit_group"},
      {114, "main", "raw_trade_group"},
      {17, "main", "build_button"},
      {18, "main", "buy_buttons"},
      {19, "main", "sell_buttons"},
      {139, "main", "activate_button"},
      {23, "main", "destroy_button"},
      {20, "main", "take_credit_button"},
      {21, "main", "building_combo_prompt"},
      {24, "main", "menu_game"},
      {25, "main", "menu_speed"},
      {30, "main", "menu_disasters"},
      {145, "main", "menu_options"},
      {141, "main", "menu_editors"},
      {1, "main", "game_start_easy"},
      {2, "main", "game_start_normal"},
      {3, "main", "game_start_hard"},
      {4, "main", "game_quit"},
      {127, "main", "game_hiscore"},
      {144, "main", "game_sandbox"},
      {541, "main", "game_disasters_rules"},
      {542, "main", "game_disasters_rare"},
      {543, "main", "game_disasters_off"},
      {171, "main", "game_credits"},
      {26, "main", "speed_pause"},
      {27, "main", "speed_low"},
      {28, "main", "speed_normal"},
      {29, "main", "speed_fast"},
      {31, "main", "disasters_pirates"},
      {32, "main", "disasters_earthquake"},
      {120, "main", "options_hud"},
      {146, "main", "options_window"},
      {167, "main", "options_tubes"},
      {177, "main", "options_isometric"},
      {178, "main", "options_stats"},
      {142, "main", "editors_building"},
      {420, "main", "game_save"},
      {421, "main", "game_load"},
      {422, "main", "game_quicksave"},
      {423, "main", "game_quickload"},
      {425, "main", "game_history"},
      {424, "launcher", "continue"},
      {550, "launcher", "tutorial"},
      {550, "main", "game_tutorial"},
      {425, "history", "window_caption"},
      {22, "main", "credit_sum_label"},
      {140, "hiscore", "name_prompt"},
      // What a screen reader says of the side panels' controls and the view.
      {750, "main", "acc_types"},
      {751, "main", "acc_describe"},
      {752, "main", "acc_properties"},
      {753, "main", "acc_food_amount"},
      {754, "main", "acc_products_amount"},
      {755, "main", "acc_raw_amount"},
      {756, "main", "acc_food_buy"},
      {757, "main", "acc_food_sell"},
      {758, "main", "acc_products_buy"},
      {759, "main", "acc_products_sell"},
      {760, "main", "acc_raw_buy"},
      {761, "main", "acc_raw_sell"},
      {762, "main", "acc_credit_sum"},
      {763, "main", "acc_selected"},
      {764, "main", "acc_view"},
      {765, "main", "acc_view_keys"},
      {766, "main", "acc_status"},
      {770, "main", "acc_message"},
      {771, "main", "acc_colony"},
      {772, "main", "acc_take"},
      {773, "main", "acc_list"},
      {171, "credits", "window_caption"},
  };
  return table;
}

std::string BuildCreditsText(const core::Game& g) {
  const std::string crlf = "\r\n";
  auto file = [&](const char* name) {
    const std::string path = g.Path(std::string("\\") + name);
    const auto text = core::ReadText(path);
    if (!text) throw core::DataError(path, 0, "", "Cannot open file");
    return core::ToCrLf(*text);
  };
  std::string s = "--- QUENMAR ---" + crlf + crlf + g.Loc(176) + crlf + g.Loc(172) + crlf;
  s += file("sound_credits.txt") + crlf + crlf;
  s += g.Loc(173) + crlf + file("music_credits.txt") + crlf + crlf;
  s += g.Loc(174) + crlf + g.Loc(175) + crlf;
  return s;
}

void ReadLocale(core::Game& g, const std::string& code, CaptionSink* sink) {
  g.locale_code = code;
  const auto lines = core::ReadLines(g.Path("\\loc_" + code + ".txt"));
  // Entries 1 to 10000 exist; anything further in the file has nowhere to go.
  const std::size_t n = std::min<std::size_t>(lines.size(), core::kLocaleSize - 1);
  for (std::size_t i = 0; i < n; ++i) g.locale_table[i + 1] = lines[i];
  if (sink)
    for (const auto& c : CaptionTable()) sink->SetCaption(c, g.Loc(c.entry));
  const std::string credits = BuildCreditsText(g);
  if (sink) sink->SetCreditsText(credits);
}

}  // namespace shell
