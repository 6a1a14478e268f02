#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/building.h"
#include "core/history.h"
#include "core/host.h"
#include "core/ledger.h"
#include "core/numeric.h"

namespace core {

inline constexpr int kCatalogSize = 101;
inline constexpr int kPlacedSize = 1001;
inline constexpr int kLocaleSize = 10001;
inline constexpr int kInfoBlocks = 21;
inline constexpr int kWarnings = 5;
// `selected_bldg` when nothing is selected; it is also the last slot's index.
inline constexpr int kNoSelection = 1000;

// How the random draw treats the disaster events (a pirate raid, an earthquake, spoiled
// food): as the rules say, each half as likely, or never. The player's choice.
inline constexpr int32_t kDisastersRules = 0;
inline constexpr int32_t kDisastersRare = 1;
inline constexpr int32_t kDisastersOff = 2;

struct warning {
  std::string text;
  int32_t state = 0;  // 0 good, 1 attention, 2 bad
  bool active = false;
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const warning&) const = default;
};
enum WarningIndex { kWarnMoney = 0, kWarnPersonnel = 1, kWarnPopulation = 2, kWarnFood = 3, kWarnEnergy = 4 };

struct infoblock {
  bool visible = false;
  std::string text;
  double x = 0;
  double y = 0;
  int32_t icon = 0;
  bool operator==(const infoblock&) const = default;
};

// Which slot stands highest on each cell, built from the placed table for one value of
// `Game::placed_generation` (BuildingAt, src/core/construction.h).
struct CellLookup {
  uint64_t generation = ~uint64_t{0};  // none built yet
  std::unordered_map<uint64_t, int32_t> top;
};

struct score {
  std::string name;
  int32_t level = 0;
  int32_t points = 0;
  // The disasters the game was played with (kDisastersRules, Rare or Off).
  int32_t disasters = 0;
  // True when the game went back to an earlier day on its way to this score.
  bool rewound = false;
  bool operator==(const score&) const = default;
};

// The whole state of one running program: game state, colony state, the building tables,
// the locale table and the selection. One object, owned by whoever runs the game and
// passed explicitly to every rule.
struct Game {
  // --- game state
  int32_t level = 0;
  bool game_running = false;
  bool game_over = true;
  bool sandbox_option = false;
  bool sandbox = false;
  // Disasters for the game started next (kept in the options file) and for the running one.
  int32_t disasters_option = kDisastersRules;
  // The running game went back to an earlier day at least once (its score says so).
  bool rewound = false;
  // Counts the games started, so that whatever keeps something per game sees a new one.
  uint64_t games_started = 0;
  int32_t disasters = kDisastersRules;
  int32_t days_left = 1000;
  int32_t day = 0;
  double day_length = 10.0;
  double day_timer = 0.0;
  double day_angle = 0.0;
  bool hud_mode = true;
  std::string locale_code = "en";
  std::string exe_dir;
  // The player's own folders when the data folder is not theirs to write (an installed
  // game): options under config_dir, everything else the game writes under user_dir.
  // Empty: the game writes beside its data, as in a build folder.
  std::string config_dir;
  std::string user_dir;
  bool audio_ok = false;
  bool loading = true;
  std::string load_status;
  int32_t catalog_count = 0;

  // --- colony state
  int32_t money = 0;
  int32_t food = 0, raw = 0, products = 0;
  int32_t population = 0;
  int32_t prev_food = 0, prev_raw = 0, prev_products = 0, prev_population = 0;
  int32_t food_price = 0, raw_price = 0, product_price = 0;
  int32_t wage = 0;
  int32_t interest = 0;
  int32_t credit_sum = 0, debt = 0, installment = 0;
  int32_t science_pts = 0, science_bonus = 0;
  int32_t income_day = 0, expense_day = 0;
  int32_t income_total = 0, expense_total = 0;
  int32_t energy_out = 0, energy_use = 0;
  double energy_ratio = 0.0;
  int32_t pers_needed = 0;
  double pers_ratio = 0.0;
  int32_t storage_cap = 0, living_space = 0, attraction = 0, military_power = 0;
  int32_t sssize_total = 0, trade_cap = 0, science_day = 0, wage_bill = 0, bldg_count = 0;
  int32_t traded = 0;

  // --- building tables
  std::array<building, kCatalogSize> catalog{};
  std::array<building, kPlacedSize> placed{};
  // Moves on with every change of a slot's `exists`, `x` or `y`, so the cell lookup knows to
  // rebuild. The rules call PlacedChanged(); so must any other code writing those fields.
  uint64_t placed_generation = 0;
  void PlacedChanged() { ++placed_generation; }
  mutable CellLookup cell_lookup;
  // Names in the construction list, in catalog order.
  std::vector<std::string> constr_list;
  // The construction list's chosen type (its item index, a catalog position); -1 = none.
  int32_t constr_choice = -1;

  // --- selection and the view state the rules move
  int32_t selected_bldg = kNoSelection;
  // True only while slot 1000 itself is selected (`selected_bldg` 1000 also means none).
  bool last_slot_selected = false;
  int32_t sel_cell_x = -1, sel_cell_y = -1;
  int32_t cam_target_x = 0, cam_target_y = 0;
  int32_t cam_height = 50;
  bool isometric = false;
  bool build_panel = false, bldg_panel = false, trade_panel = false, credit_panel = false;
  bool msg_panel = false;
  // Height of the 3D view in pixels; the warning indicators are laid out against it.
  int32_t view_h = 709;
  // The daily event draw calls MakeEvent; scripts may switch that off to study the economy.
  bool events_enabled = true;
  // "No connection tubes": every connection tube is hidden. Kept in the options file.
  bool tubes_off = false;

  // --- warnings, information bar, score
  std::array<warning, kWarnings> warnings{};
  std::array<infoblock, kInfoBlocks> info_blocks{};
  score score_entry;
  // One record per day of the running game; a new game starts it afresh.
  History history;
  // The last closed day, entry by entry, and the day still open: the player's trades,
  // building and credit since the last tick, its start values those of the last day's end.
  Ledger ledger;
  Ledger day_book;

  // --- language
  std::vector<std::string> locale_table = std::vector<std::string>(kLocaleSize);
  // Entry n of the locale table, "" outside 0..10000.
  const std::string& Loc(int n) const {
    static const std::string empty;
    return n >= 0 && n < kLocaleSize ? locale_table[n] : empty;
  }

  // --- the world around the rules (never null; the defaults do nothing)
  Rng rng;
  Host* host = &NullHost();
  TrafficLink* traffic = &NullTraffic();
  ActionLog* actions = &NullActions();
  int32_t Random(int32_t n) { return rng.Random(n); }

  // Resolves a game data path ("\Buildings\bldg_1.bld") for reading: the player's own
  // file under user_dir when there is one (an edited building type wins), else exe_dir's.
  std::string Path(const std::string& relative) const;
  // Where the game writes that file: under user_dir when set, else under exe_dir.
  std::string WritePath(const std::string& relative) const;

  static Host& NullHost();
  static TrafficLink& NullTraffic();
  static ActionLog& NullActions();
};

}  // namespace core
