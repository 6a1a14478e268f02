#include "shell/save.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <thread>
#include <set>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/economy.h"
#include "core/errors.h"
#include "core/grid.h"
#include "core/state_fields.h"
#include "shell/session.h"

#ifndef QUENMAR_VERSION
#define QUENMAR_VERSION "unknown"
#endif

namespace shell {
namespace {

using nlohmann::json;

// Game variables that are not saved: the options (kept in the options file), the way the
// player works (HUD or side panels) and what start-up works out from the data folder.
bool IsSavedStateField(std::string_view name) {
  static const std::set<std::string_view> kNotSaved = {"locale_code", "exe_dir",  "audio_ok",   "loading",
                                                       "load_status", "catalog_count", "hud_mode", "isometric",
                                                       "tubes_off"};
  return !kNotSaved.contains(name);
}

// The HUD's state by name, with the values the HUD itself can reach (scrolls and the goods
// choice are indexes into its tables). A field added to the HUD is saved once it is listed
// here; an older save without it leaves the default.
struct HudField {
  std::string_view name;
  std::variant<int32_t hud::Hud::*, bool hud::Hud::*> member;
  int32_t lo = 0, hi = 1;
};
const std::vector<HudField>& HudFields() {
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
  static const std::vector<HudField> fields = {
      {"cat_scroll", &hud::Hud::cat_scroll, 0, core::kCatalogSize},
      {"list_scroll", &hud::Hud::list_scroll, 0, core::kPlacedSize - 21},
      {"hud_trade_goods", &hud::Hud::hud_trade_goods, 1, 3},
      {"hud_trade_amt", &hud::Hud::hud_trade_amt, kMin, kMax},
      {"hud_credit_amt", &hud::Hud::hud_credit_amt, kMin, kMax},
      {"stats_panel", &hud::Hud::stats_panel},
      {"msg_kind", &hud::Hud::msg_kind, core::kMsgGameStart, core::kMsgOther},
  };
  return fields;
}

// What the game itself can write into a state field, where that is less than any 32-bit
// whole number or any finite real; a save holding anything else is refused. From the rules:
// the day clock's day ends past `day_length` (one of the Speed menu's 0.5, 3, 12 or the
// start's 10) and resets its timer, so the timer never exceeds the longest day; prices never
// fall below 0 (the daily walk lifts them back above 5, 25 and 50; the walk could in theory
// creep lower, with odds far below one game in millions); trading adds only positive amounts
// to `traded`; a wage is set from the level alone; the camera is kept in its range.
struct Bounds {
  std::string_view name;
  double lo, hi;
};
constexpr double kLowest = std::numeric_limits<double>::lowest(), kHighest = std::numeric_limits<double>::max();
constexpr double kIntMin = std::numeric_limits<int32_t>::min(), kIntMax = std::numeric_limits<int32_t>::max();
const std::vector<Bounds>& StateBounds() {
  static const std::vector<Bounds> bounds = {
      {"days_left", kIntMin, 1200},
      {"day", 0, 30},
      {"day_length", 0.5, 12},
      {"day_timer", 0, 12},
      {"day_angle", 0, kHighest},
      {"food_price", 0, kIntMax},
      {"raw_price", 0, kIntMax},
      {"product_price", 0, kIntMax},
      {"wage", 0, 116},
      {"traded", 0, kIntMax},
      {"energy_ratio", kLowest, 1},
      {"pers_ratio", kLowest, 1},
      {"selected_bldg", 0, core::kNoSelection},
      {"cam_height", core::kMinCamHeight, core::kMaxCamHeight},
  };
  return bounds;
}
Bounds StateBoundsOf(std::string_view name, bool integer) {
  for (const auto& b : StateBounds())
    if (b.name == name) return b;
  return integer ? Bounds{name, kIntMin, kIntMax} : Bounds{name, kLowest, kHighest};
}

// A game's level is 10, 5 or 1 (the Game menu and the launcher); 0 only before the first
// game, which never ends, so never in a running game or a score.
bool IsLevel(int32_t level, bool before_first_game) {
  return level == 10 || level == 5 || level == 1 || (level == 0 && before_first_game);
}

// JSON has no infinities or NaN; a double that holds one (only a script's `set` can make
// one, a day length of 0 making the day angle infinite) is written as text, which the
// reader refuses like every value the game itself cannot reach.
json Real(double v) {
  if (std::isfinite(v)) return v;
  if (std::isnan(v)) return "nan";
  return v > 0 ? "inf" : "-inf";
}

// A message as a save holds it: one longer than any a reader takes is cut, at the start
// of a character.
std::string MessageText(const std::string& text) {
  if (text.size() <= kMaxSaveMessage) return text;
  std::size_t end = kMaxSaveMessage;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

json CraftJson(const traffic::craft& c) {
  return {{"x", c.x}, {"y", c.y}, {"height", c.height}, {"visible", c.visible}};
}

json ShuttleJson(const traffic::shuttle& s) {
  return {{"x1", Real(s.x1)},         {"y1", Real(s.y1)},         {"x2", Real(s.x2)},
          {"y2", Real(s.y2)},         {"x", Real(s.x)},           {"y", Real(s.y)},
          {"height", Real(s.height)}, {"speed", Real(s.speed)},   {"speedx", Real(s.speedx)},
          {"speedy", Real(s.speedy)}, {"angle", Real(s.angle)},   {"desangle", Real(s.desangle)},
          {"state", s.state},         {"active", s.active},       {"aligned", s.aligned}};
}

json BuildingSave(const core::building& b) {
  json j = json::object();
  for (const auto& f : core::BuildingFields())
    std::visit([&](auto member) { j[std::string(f.name)] = b.*member; }, f.member);
  return j;
}

// --- reading: every value checked where it is taken, with its place in the file named.

class Reader {
 public:
  Reader(const json& j, std::string where, const std::string& path) : j_(j), where_(std::move(where)), path_(path) {}

  [[noreturn]] void Fail(const std::string& what) const { throw SaveError(path_, what); }
  std::string Where(std::string_view key) const { return where_.empty() ? std::string(key) : where_ + "." + std::string(key); }

  bool Has(std::string_view key) const { return j_.is_object() && j_.contains(key); }
  const json& Get(std::string_view key) const {
    if (!j_.is_object()) Fail(where_ + " is not an object");
    const auto it = j_.find(key);
    if (it == j_.end()) Fail("missing " + Where(key));
    return *it;
  }

  int32_t Int(std::string_view key, int64_t lo = std::numeric_limits<int32_t>::min(),
              int64_t hi = std::numeric_limits<int32_t>::max()) const {
    return IntValue(Get(key), Where(key), lo, hi);
  }
  int32_t IntValue(const json& v, const std::string& where, int64_t lo, int64_t hi) const {
    if (!v.is_number_integer()) Fail(where + ": expected a whole number, found " + Shown(v));
    // A number without a sign parses as unsigned: both bounds still hold for it.
    const bool in_range = v.is_number_unsigned()
                              ? v.get<uint64_t>() <= static_cast<uint64_t>(hi) && (lo <= 0 || v.get<uint64_t>() >= static_cast<uint64_t>(lo))
                              : v.get<int64_t>() >= lo && v.get<int64_t>() <= hi;
    if (!in_range)
      Fail(where + ": expected a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", found " +
           Shown(v));
    return static_cast<int32_t>(v.get<int64_t>());
  }
  bool Bool(std::string_view key) const {
    const json& v = Get(key);
    if (!v.is_boolean()) Fail(Where(key) + ": expected true or false, found " + Shown(v));
    return v.get<bool>();
  }
  // A real the game could have written: finite (the texts "nan" and "inf" an older writer
  // used are refused like any other text) and within [lo, hi].
  double Double(std::string_view key, double lo = std::numeric_limits<double>::lowest(),
                double hi = std::numeric_limits<double>::max()) const {
    const json& v = Get(key);
    const double d = v.is_number() ? v.get<double>() : 0;
    if (!v.is_number() || !std::isfinite(d) || d < lo || d > hi)
      Fail(Where(key) + ": expected a number from " + json(lo).dump() + " to " + json(hi).dump() + ", found " + Shown(v));
    return d;
  }
  // Scene coordinates: single precision and finite.
  float Float(std::string_view key, double lo = -std::numeric_limits<float>::max(),
              double hi = std::numeric_limits<float>::max()) const {
    return static_cast<float>(Double(key, lo, hi));
  }
  // A value as the message shows it: its JSON, cut short.
  static std::string Shown(const json& v) {
    std::string text = v.dump(-1, ' ', false, json::error_handler_t::replace);
    if (text.size() > 40) text = text.substr(0, 37) + "...";
    return text;
  }
  // The open message: a building's description or a long report may pass the limit of
  // other texts.
  std::string Message(std::string_view key) const {
    const json& v = Get(key);
    if (!v.is_string()) Fail(Where(key) + ": expected a text");
    if (v.get_ref<const std::string&>().size() > kMaxSaveMessage)
      Fail(Where(key) + ": text longer than " + std::to_string(kMaxSaveMessage) + " bytes");
    return v.get<std::string>();
  }
  std::string Text(std::string_view key) const {
    const json& v = Get(key);
    if (!v.is_string()) Fail(Where(key) + ": expected a text");
    if (v.get_ref<const std::string&>().size() > kMaxSaveText)
      Fail(Where(key) + ": text longer than " + std::to_string(kMaxSaveText) + " bytes");
    return v.get<std::string>();
  }
  Reader Object(std::string_view key) const {
    const json& v = Get(key);
    if (!v.is_object()) Fail(Where(key) + ": expected an object");
    return Reader(v, Where(key), path_);
  }
  const json& Array(std::string_view key, std::size_t min, std::size_t max) const {
    const json& v = Get(key);
    if (!v.is_array()) Fail(Where(key) + ": expected a list");
    if (v.size() < min || v.size() > max) {
      if (min == max) Fail(Where(key) + ": expected " + std::to_string(min) + " entries, found " + std::to_string(v.size()));
      Fail(Where(key) + ": expected " + std::to_string(min) + " to " + std::to_string(max) + " entries, found " +
           std::to_string(v.size()));
    }
    return v;
  }
  Reader At(const json& element, std::size_t i, std::string_view list) const {
    const std::string where = Where(list) + "[" + std::to_string(i) + "]";
    if (!element.is_object()) Fail(where + ": expected an object");
    return Reader(element, where, path_);
  }
  const std::string& path() const { return path_; }

 private:
  const json& j_;
  std::string where_;
  const std::string& path_;
};

// A placed building is a copy of a catalog entry, one of the 101 building files. Its other
// values come from that file as written (a construction time may even be negative).
core::building ReadBuilding(const Reader& r) {
  static const std::vector<Bounds> kBounds = {{"id", 0, core::kCatalogSize - 1}};
  core::building b;
  for (const auto& f : core::BuildingFields()) {
    std::visit(
        [&](auto member) {
          using T = std::remove_reference_t<decltype(b.*member)>;
          Bounds bounds{f.name, kIntMin, kIntMax};
          for (const auto& k : kBounds)
            if (k.name == f.name) bounds = k;
          if constexpr (std::is_same_v<T, int32_t>)
            b.*member = r.Int(f.name, static_cast<int64_t>(bounds.lo), static_cast<int64_t>(bounds.hi));
          else if constexpr (std::is_same_v<T, bool>) b.*member = r.Bool(f.name);
          else b.*member = r.Text(f.name);
        },
        f.member);
  }
  return b;
}

// A craft within the heights and lanes the traffic rules keep it in.
struct CraftBounds {
  double x_lo, x_hi, y_lo, y_hi, height_lo, height_hi;
};
traffic::craft ReadCraft(const Reader& r, const CraftBounds& b) {
  return {r.Float("x", b.x_lo, b.x_hi), r.Float("y", b.y_lo, b.y_hi), r.Float("height", b.height_lo, b.height_hi),
          r.Bool("visible")};
}
constexpr double kFloatMax = std::numeric_limits<float>::max();
// The trade ship sinks by 1/120 of its height a frame until below 3, so never below
// 3 * 119/120, and climbs back to its idle height, where it stops.
constexpr CraftBounds kTradeShipBounds{-kFloatMax, kFloatMax, -kFloatMax, kFloatMax, 2.9, traffic::kTradeShipIdleHeight};
// Pirates fly their own lane (y 0 until their first frame) at their one height, from
// x = 600 toward -x.
CraftBounds PirateBounds(int i) {
  return {-kFloatMax, 600, 0, traffic::PirateLane(i), traffic::kPirateHeight, traffic::kPirateHeight};
}

traffic::shuttle ReadShuttle(const Reader& r) {
  traffic::shuttle s;
  s.x1 = r.Double("x1");
  s.y1 = r.Double("y1");
  s.x2 = r.Double("x2");
  s.y2 = r.Double("y2");
  s.x = r.Double("x");
  s.y = r.Double("y");
  // A free slot keeps height 0; a shuttle flies between the ground and its entry height.
  s.height = r.Double("height", 0, traffic::kShuttleEntry);
  s.speed = r.Double("speed", 0);
  s.speedx = r.Double("speedx");
  s.speedy = r.Double("speedy");
  // Headings are those of atan2 with -180 taken as 180, and the turn stops on them.
  s.angle = r.Double("angle", -180, 180);
  s.desangle = r.Double("desangle", -180, 180);
  s.state = r.Int("state", traffic::kClimbing, traffic::kDescending);
  s.active = r.Bool("active");
  s.aligned = r.Bool("aligned");
  return s;
}

// The random generator's state is 625 words and a little text; it is read as text with
// its own size check, so the generic limit on texts does not apply to it.
std::string RngText(const Reader& r) {
  const json& v = r.Get("rng");
  if (!v.is_string() || v.get_ref<const std::string&>().size() > kMaxSaveRngText)
    r.Fail(r.Where("rng") + ": not a state of the random generator");
  return v.get<std::string>();
}

// Everything a save holds, read and checked, waiting to be put in place.
struct Loaded {
  std::unique_ptr<core::Game> game = std::make_unique<core::Game>();
  traffic::Shuttles shuttles{};
  traffic::Ships ships{};
  bool paused = false;
  bool over_hud = false;
  bool day_clock = true;
  // The open message's text; older saves have none.
  std::string message;
  scene::Vec3 camera{};
  std::vector<std::pair<const HudField*, int32_t>> hud;
  // Optional: saves from before the tutorial, and of games without one, have none.
  std::optional<std::pair<std::vector<core::TutorialStep>, std::pair<int32_t, core::TutorialFacts>>> tutorial;
};

void ReadLedger(const Reader& r, core::Ledger& out) {
  for (const auto& f : core::LedgerFields()) out.*f.member = r.Int(f.name);
  if (out.day < 0 || out.day > 30) r.Fail(r.Where("day") + ": expected 0 to 30, found " + std::to_string(out.day));
}

json LedgerJson(const core::Ledger& l) {
  json j = json::object();
  for (const auto& f : core::LedgerFields()) j[std::string(f.name)] = l.*f.member;
  return j;
}

void ReadGame(const Reader& r, const Session& s, Loaded& out) {
  core::Game& g = *out.game;
  for (const auto& f : core::StateFields()) {
    if (!IsSavedStateField(f.name)) continue;
    std::visit(
        [&](auto member) {
          using T = std::remove_reference_t<decltype(g.*member)>;
          if constexpr (std::is_same_v<T, int32_t>) {
            const Bounds b = StateBoundsOf(f.name, true);
            g.*member = r.Int(f.name, static_cast<int64_t>(b.lo), static_cast<int64_t>(b.hi));
          } else if constexpr (std::is_same_v<T, bool>) {
            g.*member = r.Bool(f.name);
          } else if constexpr (std::is_same_v<T, double>) {
            const Bounds b = StateBoundsOf(f.name, false);
            g.*member = r.Double(f.name, b.lo, b.hi);
          } else {
            g.*member = r.Text(f.name);
          }
        },
        f.member);
  }
  if (!IsLevel(g.level, g.game_over))
    r.Fail(r.Where("level") + ": expected 10, 5 or 1 (0 before the first game), found " + std::to_string(g.level));
  const auto items = static_cast<int64_t>(s.game.constr_list.size());
  if (g.constr_choice < -1 || g.constr_choice >= items)
    r.Fail(r.Where("constr_choice") + ": expected -1 or a construction-list item below " + std::to_string(items));
  g.last_slot_selected = r.Bool("last_slot_selected");
  g.events_enabled = r.Bool("events_enabled");
  // Saves from before the disaster choice were played as the rules say.
  if (r.Has("disasters")) g.disasters = r.Int("disasters", core::kDisastersRules, core::kDisastersOff);
  // Saves from before rewinding existed never went back.
  if (r.Has("rewound")) g.rewound = r.Bool("rewound");
  if (!g.rng.SetState(RngText(r))) r.Fail(r.Where("rng") + ": not a state of the random generator");
  // Saves from before the ledger start their open day from the stocks as they stand.
  if (r.Has("ledger")) {
    const Reader ledger = r.Object("ledger");
    ReadLedger(ledger.Object("day"), g.ledger);
    ReadLedger(ledger.Object("open"), g.day_book);
  } else {
    g.ledger = core::Ledger{};
    core::OpenDayBook(g);
  }

  const json& warnings = r.Array("warnings", core::kWarnings, core::kWarnings);
  for (std::size_t i = 0; i < warnings.size(); ++i) {
    const Reader w = r.At(warnings[i], i, "warnings");
    g.warnings[i] = {w.Text("text"), w.Int("state", 0, 2), w.Bool("active"), w.Int("x"), w.Int("y")};
  }
  const json& blocks = r.Array("info_blocks", core::kInfoBlocks, core::kInfoBlocks);
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const Reader b = r.At(blocks[i], i, "info_blocks");
    g.info_blocks[i] = {b.Bool("visible"), b.Text("text"), b.Double("x"), b.Double("y"),
                        b.Int("icon", 0, core::kInfoBlocks - 1)};
  }
  const Reader score = r.Object("score");
  g.score_entry = {score.Text("name"), score.Int("level"), score.Int("points")};
  if (score.Has("disasters"))
    g.score_entry.disasters = score.Int("disasters", core::kDisastersRules, core::kDisastersOff);
  if (score.Has("rewound")) g.score_entry.rewound = score.Bool("rewound");
  // The score of a game that ended (or none yet, level 0).
  if (!IsLevel(g.score_entry.level, true))
    score.Fail(score.Where("level") + ": expected 10, 5, 1 or 0, found " + std::to_string(g.score_entry.level));
}

// The tutorial's step and the player's doings it counts.
constexpr std::pair<const char*, int32_t core::TutorialFacts::*> kTutorialFacts[] = {
    {"camera_moved", &core::TutorialFacts::camera_moved}, {"camera_zoomed", &core::TutorialFacts::camera_zoomed},
    {"saves", &core::TutorialFacts::saves},               {"loads", &core::TutorialFacts::loads},
    {"step_days", &core::TutorialFacts::step_days}, {"trades", &core::TutorialFacts::trades}};

json TutorialSave(const Tutorial& t) {
  json j = {{"step", t.step()}};
  for (const auto& [name, member] : kTutorialFacts) j[name] = t.facts().*member;
  return j;
}

std::pair<std::vector<core::TutorialStep>, std::pair<int32_t, core::TutorialFacts>> ReadTutorialSave(
    const Reader& r, const Tutorial& t) {
  const int32_t step = r.Int("step", 0, static_cast<int64_t>(core::kMaxTutorialSteps) - 1);
  core::TutorialFacts facts;
  for (const auto& [name, member] : kTutorialFacts)
    if (r.Has(name)) facts.*member = r.Int(name, 0);
  try {
    return {t.ReadSteps(), {step, facts}};
  } catch (const core::DataError& e) {
    r.Fail(std::string("the tutorial cannot go on: ") + e.what());
  }
}

}  // namespace

SaveParts PartsOf(Session& s) {
  SaveParts p;
  p.game = &s.game;
  p.shuttles = &s.traffic.shuttles();
  p.ships = &s.traffic.ships();
  const scene::Camera& camera = *s.world.main_scene().camera;
  p.camera = {camera.x(), camera.y(), camera.z()};
  p.paused = s.world.paused();
  p.over_hud = s.world.over_hud;
  p.day_clock = s.world.day_clock().enabled();
  if (s.game.msg_panel) p.message = MessageText(s.hud_message.text);
  p.hud = json::object();
  for (const auto& f : HudFields())
    std::visit([&](auto member) { p.hud[std::string(f.name)] = s.world.hud().*member; }, f.member);
  if (s.tutorial.active()) p.tutorial = TutorialSave(s.tutorial);
  return p;
}

nlohmann::json SaveJson(Session& s) {
  json save = SaveJson(PartsOf(s));
  save["rewind"] = s.rewind.SaveJson();
  return save;
}

nlohmann::json SaveJson(const SaveParts& parts) {
  const core::Game& g = *parts.game;
  json game = json::object();
  for (const auto& f : core::StateFields()) {
    if (!IsSavedStateField(f.name)) continue;
    std::visit(
        [&](auto member) {
          using T = std::remove_reference_t<decltype(g.*member)>;
          if constexpr (std::is_same_v<T, double>) game[std::string(f.name)] = Real(g.*member);
          else game[std::string(f.name)] = g.*member;
        },
        f.member);
  }
  game["last_slot_selected"] = g.last_slot_selected;
  game["events_enabled"] = g.events_enabled;
  game["disasters"] = g.disasters;
  // Written only once true: a game that never went back reads the same to an older reader.
  if (g.rewound) game["rewound"] = true;
  game["rng"] = g.rng.State();
  game["ledger"] = {{"day", LedgerJson(g.ledger)}, {"open", LedgerJson(g.day_book)}};
  json warnings = json::array();
  for (const auto& w : g.warnings)
    warnings.push_back({{"text", w.text}, {"state", w.state}, {"active", w.active}, {"x", w.x}, {"y", w.y}});
  game["warnings"] = std::move(warnings);
  json blocks = json::array();
  for (const auto& b : g.info_blocks)
    blocks.push_back({{"visible", b.visible}, {"text", b.text}, {"x", Real(b.x)}, {"y", Real(b.y)}, {"icon", b.icon}});
  game["info_blocks"] = std::move(blocks);
  game["score"] = {{"name", g.score_entry.name}, {"level", g.score_entry.level}, {"points", g.score_entry.points},
                   {"disasters", g.score_entry.disasters}};
  if (g.score_entry.rewound) game["score"]["rewound"] = true;

  // Every slot that is not a blank record: a freed slot keeps its last building, which the
  // trade ship and the shuttles still look at.
  json placed = json::array();
  const core::building blank{};
  for (std::size_t i = 0; i < g.placed.size(); ++i) {
    if (g.placed[i] == blank) continue;
    json b = {{"slot", i}};
    b.update(BuildingSave(g.placed[i]));
    placed.push_back(std::move(b));
  }

  json shuttles = json::array();
  for (const auto& sh : *parts.shuttles) shuttles.push_back(ShuttleJson(sh));
  const traffic::Ships& ships = *parts.ships;
  json pirates = json::array();
  for (const auto& p : ships.pirates) pirates.push_back(CraftJson(p));

  json view = {{"paused", parts.paused},
               {"over_hud", parts.over_hud},
               {"day_clock", parts.day_clock},
               {"camera", {{"x", parts.camera.x}, {"y", parts.camera.y}, {"z", parts.camera.z}}}};
  if (g.msg_panel) view["message"] = parts.message;

  json fields = json::array();
  for (const auto& f : core::DayFields()) fields.push_back(f.name);
  json days = json::array();
  for (const auto& d : g.history.days()) {
    json row = json::array();
    for (const auto& f : core::DayFields()) row.push_back(d.*f.member);
    days.push_back(std::move(row));
  }

  json doc = {{"format", kSaveFormatName},
          {"version", kSaveFormatVersion},
          {"game_version", QUENMAR_VERSION},
          {"game", std::move(game)},
          {"placed", std::move(placed)},
          {"traffic",
           {{"shuttles", std::move(shuttles)},
            {"ship_state", ships.ship_state},
            {"trade_ship", CraftJson(ships.trade_ship)},
            {"pirates", std::move(pirates)}}},
          {"view", std::move(view)},
          {"hud", parts.hud},
          {"history", {{"fields", std::move(fields)}, {"days", std::move(days)}}}};
  if (!parts.tutorial.is_null()) doc["tutorial"] = parts.tutorial;
  return doc;
}

namespace {

Loaded ReadAll(const Session& s, const nlohmann::json& save, const std::string& path) {
  const Reader top(save, "", path);
  if (!save.is_object() || !top.Has("format") || !save["format"].is_string() || save["format"] != kSaveFormatName)
    top.Fail("not a saved game");
  const int32_t version = top.Int("version", 1);
  if (version > kSaveFormatVersion) {
    std::string by;
    if (top.Has("game_version") && save["game_version"].is_string() &&
        save["game_version"].get_ref<const std::string&>().size() <= 64)
      by = " (game version " + save["game_version"].get<std::string>() + ")";
    top.Fail("saved by a newer version of the game" + by + ": save format " + std::to_string(version) +
             ", this game reads up to " + std::to_string(kSaveFormatVersion));
  }

  Loaded in;
  const Reader game = top.Object("game");
  ReadGame(game, s, in);

  const json& placed = top.Array("placed", 0, core::kPlacedSize);
  std::set<int32_t> slots;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const Reader b = top.At(placed[i], i, "placed");
    const int32_t slot = b.Int("slot", 0, core::kPlacedSize - 1);
    if (!slots.insert(slot).second) b.Fail(b.Where("slot") + ": slot " + std::to_string(slot) + " given twice");
    in.game->placed[static_cast<std::size_t>(slot)] = ReadBuilding(b);
  }

  const Reader craft = top.Object("traffic");
  const json& shuttles = craft.Array("shuttles", traffic::kShuttleCount, traffic::kShuttleCount);
  for (std::size_t i = 0; i < shuttles.size(); ++i) in.shuttles[i] = ReadShuttle(craft.At(shuttles[i], i, "shuttles"));
  in.ships.ship_state = craft.Int("ship_state", traffic::kShipDescending, traffic::kShipClimbing);
  in.ships.trade_ship = ReadCraft(craft.Object("trade_ship"), kTradeShipBounds);
  const json& pirates = craft.Array("pirates", traffic::kPirateCount, traffic::kPirateCount);
  for (std::size_t i = 0; i < pirates.size(); ++i)
    in.ships.pirates[i] = ReadCraft(craft.At(pirates[i], i, "pirates"), PirateBounds(static_cast<int>(i)));

  const Reader view = top.Object("view");
  in.paused = view.Bool("paused");
  in.over_hud = view.Bool("over_hud");
  in.day_clock = view.Bool("day_clock");
  if (view.Has("message")) in.message = view.Message("message");
  const Reader camera = view.Object("camera");
  // The camera's height is the game's, kept in its range.
  in.camera = {camera.Float("x"), camera.Float("y"), camera.Float("z", core::kMinCamHeight, core::kMaxCamHeight)};

  if (top.Has("hud")) {
    const Reader hud = top.Object("hud");
    for (const auto& f : HudFields()) {
      if (!hud.Has(f.name)) continue;
      const int32_t v =
          std::holds_alternative<bool hud::Hud::*>(f.member) ? hud.Bool(f.name) : hud.Int(f.name, f.lo, f.hi);
      in.hud.emplace_back(&f, v);
    }
  }

  const Reader history = top.Object("history");
  const json& fields = history.Array("fields", 1, 64);
  // Columns by name, so a file may order them as it likes; every known one must be there.
  std::vector<int> column(core::kDayFields, -1);
  for (std::size_t c = 0; c < fields.size(); ++c) {
    if (!fields[c].is_string()) history.Fail(history.Where("fields") + ": expected names");
    for (std::size_t k = 0; k < core::kDayFields; ++k)
      if (fields[c] == core::DayFields()[k].name) column[k] = static_cast<int>(c);
  }
  for (std::size_t k = 0; k < core::kDayFields; ++k)
    if (column[k] < 0) history.Fail(history.Where("fields") + ": no column " + std::string(core::DayFields()[k].name));
  const json& days = history.Array("days", 0, core::History::kMaxDays);
  std::vector<core::DayRecord> records(days.size());
  for (std::size_t i = 0; i < days.size(); ++i) {
    const std::string where = history.Where("days") + "[" + std::to_string(i) + "]";
    if (!days[i].is_array() || days[i].size() != fields.size())
      history.Fail(where + ": expected a list of " + std::to_string(fields.size()) + " numbers");
    for (std::size_t k = 0; k < core::kDayFields; ++k)
      records[i].*core::DayFields()[k].member = history.IntValue(
          days[i][static_cast<std::size_t>(column[k])], where, std::numeric_limits<int32_t>::min(),
          std::numeric_limits<int32_t>::max());
  }
  if (!in.game->history.Assign(std::move(records)))
    history.Fail(history.Where("days") + ": day numbers must rise from 1 to at most " +
                 std::to_string(core::History::kMaxDayNumber));
  if (top.Has("tutorial")) in.tutorial = ReadTutorialSave(top.Object("tutorial"), s.tutorial);
  return in;
}

}  // namespace

void CheckSave(const Session& s, const nlohmann::json& save, const std::string& path) { ReadAll(s, save, path); }

void ApplySave(Session& s, const nlohmann::json& save, const std::string& path) {
  Loaded in = ReadAll(s, save, path);
  // Everything is read and checked: only now does the running game change.
  core::Game& g = s.game;
  const core::Game& from = *in.game;
  for (const auto& f : core::StateFields())
    if (IsSavedStateField(f.name)) std::visit([&](auto member) { g.*member = from.*member; }, f.member);
  g.last_slot_selected = from.last_slot_selected;
  g.events_enabled = from.events_enabled;
  g.disasters = from.disasters;
  g.rewound = from.rewound;
  g.rng = from.rng;
  g.warnings = from.warnings;
  g.info_blocks = from.info_blocks;
  g.score_entry = from.score_entry;
  g.placed = from.placed;
  g.PlacedChanged();
  g.history = from.history;
  g.ledger = from.ledger;
  g.day_book = from.day_book;

  s.traffic.shuttles() = in.shuttles;
  s.traffic.ships() = in.ships;
  if (in.tutorial) s.tutorial.Adopt(std::move(in.tutorial->first), in.tutorial->second.first, in.tutorial->second.second);
  else s.tutorial.Forget();

  presentation::World& w = s.world;
  if (w.paused() != in.paused) w.TogglePause();
  w.day_clock().SetEnabled(in.day_clock);
  w.over_hud = in.over_hud;
  w.main_scene().camera->SetPosition(in.camera);
  // Named, not a structured binding: clang 14 (the fuzz build) cannot capture one.
  for (const auto& field_value : in.hud) {
    const int32_t v = field_value.second;
    std::visit(
        [&](auto member) {
          using T = std::remove_reference_t<decltype(w.hud().*member)>;
          w.hud().*member = static_cast<T>(v);
        },
        field_value.first->member);
  }
  // The unit is the view's, not the file's: a session that has drawn no frame yet lays the
  // HUD out for its view as the first frame would.
  w.ApplyUiScale();
  // The message comes back where the mode the player is in now shows it.
  s.hud_message = {w.hud().msg_kind, in.message};
  s.FitViewToMode();

  // A score still waiting for its name belongs to the game that was left: pressing OK now
  // would enter the loaded game's score entry instead.
  s.hiscores.accepted = true;

  // The windows' building list and read-out follow the loaded colony.
  g.host->UpdateBldgList();
  g.host->ShowData();
}

namespace {

static_assert(kMaxSaveEntries >= core::History::kMaxDays && kMaxSaveEntries >= core::kPlacedSize);

// Watches the parser build the tree and stops it as soon as the file goes beyond what any
// save holds, so a refused file costs little more than its own bytes.
class ParseGuard {
 public:
  explicit ParseGuard(const std::string& path) : path_(path) {}

  bool operator()(int, json::parse_event_t event, json& parsed) {
    using E = json::parse_event_t;
    if (++events_ > kMaxSaveValues) Fail("", "more values than a saved game holds");
    switch (event) {
      case E::object_start:
      case E::array_start: {
        std::string where = open_.empty() ? std::string() : ChildName();
        if (!open_.empty() && open_.back().array) Count();
        open_.push_back({event == E::array_start, 0, std::move(where), {}});
        if (open_.size() > static_cast<std::size_t>(kMaxSaveDepth)) Fail(open_.back().where, "nested deeper than a saved game is");
        break;
      }
      case E::key:
        if (!open_.empty()) {
          open_.back().key = parsed.is_string() ? parsed.get<std::string>().substr(0, 64) : std::string();
          Count();
        }
        if (parsed.is_string() && parsed.get_ref<const std::string&>().size() > kMaxSaveText)
          Fail(open_.empty() ? "" : open_.back().where, "a name longer than " + std::to_string(kMaxSaveText) + " bytes");
        break;
      case E::value:
        if (parsed.is_string()) {
          // The generator's state and the kept days' states are the long texts.
          const bool rng = !open_.empty() && !open_.back().array && open_.back().key == "rng";
          const bool kept = open_.size() == 4 && !open_.back().array && open_.back().key == "packed" &&
                            open_[2].where == "rewind.days";
          const std::size_t max = rng ? kMaxSaveRngText : kept ? kMaxSaveKeptDayText : kMaxSaveText;
          if (parsed.get_ref<const std::string&>().size() > max)
            Fail(open_.empty() ? "" : ChildName(), "text longer than " + std::to_string(max) + " bytes");
        }
        if (!open_.empty() && open_.back().array) Count();
        break;
      case E::object_end:
      case E::array_end:
        if (!open_.empty()) open_.pop_back();
        break;
    }
    return true;
  }

 private:
  struct Open {
    bool array;
    std::size_t count;
    std::string where, key;
  };
  std::string ChildName() const {
    const Open& o = open_.back();
    if (o.array) return o.where + "[" + std::to_string(o.count) + "]";
    return o.where.empty() ? o.key : o.where + "." + o.key;
  }
  void Count() {
    Open& o = open_.back();
    if (++o.count > kMaxSaveEntries)
      Fail(o.where, std::string(o.array ? "a list" : "an object") + " of more than " + std::to_string(kMaxSaveEntries) +
                        " entries");
  }
  [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
    throw SaveError(path_, (where.empty() ? "" : where + ": ") + what);
  }

  const std::string& path_;
  std::vector<Open> open_;
  std::size_t events_ = 0;
};

}  // namespace

nlohmann::json ParseSaveText(std::string_view text, const std::string& path) {
  if (text.size() > kMaxSaveBytes) throw SaveError(path, "file larger than " + std::to_string(kMaxSaveBytes >> 20) + " MB");
  // Lengths and depth are checked while the tree is built, not after: a file of one long
  // list or a million nested brackets is refused before it costs more than its size.
  ParseGuard guard(path);
  try {
    return json::parse(text.begin(), text.end(), std::ref(guard));
  } catch (const json::parse_error& e) {
    // The parser's own text says where a truncated or damaged file goes wrong; only its
    // exception tag is left out.
    std::string what = e.what();
    if (const auto tag = what.find("] "); what.starts_with("[json.exception") && tag != std::string::npos)
      what.erase(0, tag + 2);
    throw SaveError(path, "not readable as a saved game (" + what + ")");
  }
}

void WriteSave(Session& s, const std::string& path) {
  std::string text;
  try {
    // Invalid UTF-8 in a text from an old data file is written as replacement characters
    // rather than failing the save.
    text = SaveJson(s).dump(1, ' ', false, json::error_handler_t::replace);
  } catch (const json::exception& e) {
    throw SaveError(path, e.what());
  }
  text += '\n';
  WriteFileAtomically(path, text);
}

void ReadSave(Session& s, const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) throw SaveError(path, "no such file");
  if (!std::filesystem::is_regular_file(status)) throw SaveError(path, "not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SaveError(path, "cannot be opened");
  std::string text;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxSaveBytes)
      throw SaveError(path, "file larger than " + std::to_string(kMaxSaveBytes >> 20) + " MB");
  }
  if (in.bad()) throw SaveError(path, "cannot be read");
  if (text.empty()) throw SaveError(path, "the file is empty");
  const json doc = ParseSaveText(text, path);
  // The kept days are read against a save known to be whole; nothing changes before both are.
  CheckSave(s, doc, path);
  std::vector<KeptDay> kept = s.rewind.Read(doc, path);
  ApplySave(s, doc, path);
  s.rewind.Assign(std::move(kept));
}

namespace {

// A new file of its own beside `path`: created, never opened, so neither a second game
// saving the same name nor a link planted there can get between this write and the rename.
int CreateTemporary(const std::string& path, std::string& tmp) {
  // The process, the thread and the clock make a name no one else is using; a taken name
  // (or anything planted under it) only costs another attempt.
  const auto who = static_cast<unsigned long long>(::getpid()) * 0x9E3779B97F4A7C15ull ^
                   std::hash<std::thread::id>()(std::this_thread::get_id());
  for (unsigned attempt = 0; attempt < 64; ++attempt) {
    const auto now = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%llx.%llx.tmp", who & 0xFFFFFFFFFFFFull, (now << 6) + attempt);
    tmp = path + suffix;
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string tmp;
  const auto fail = [&](const std::string& what, int err) {
    ::unlink(tmp.c_str());
    throw SaveError(path, what + ": " + std::strerror(err));
  };
  const int fd = CreateTemporary(path, tmp);
  if (fd < 0) {
    const int err = errno;
    throw SaveError(path, std::string("cannot be created: ") + std::strerror(err));
  }
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : EIO;
      ::close(fd);
      fail("cannot be written", err);
    }
    done += static_cast<std::size_t>(n);
  }
  // On disk before it takes the old file's place, so a crash leaves one or the other whole.
  if (::fsync(fd) != 0) {
    const int err = errno;
    ::close(fd);
    fail("cannot be written", err);
  }
  if (::close(fd) != 0) fail("cannot be written", errno);
  if (::rename(tmp.c_str(), path.c_str()) != 0) fail("cannot replace the file", errno);
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

std::string SavesFolderFor(const char* xdg_data_home, const char* home) {
  if (xdg_data_home && xdg_data_home[0] == '/') return (std::filesystem::path(xdg_data_home) / "quenmar" / "saves").string();
  if (home && home[0]) return (std::filesystem::path(home) / ".local" / "share" / "quenmar" / "saves").string();
  return "";
}

std::string DefaultSavesFolder() { return SavesFolderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

}  // namespace shell
