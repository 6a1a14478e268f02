#include "hud/readout.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "core/construction.h"
#include "core/numeric.h"

namespace hud {
namespace {

// The colony values are 32-bit and wrap; so do the sums and products shown of them.
int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t Sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int32_t Mul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

// Builds one text in place, keeping the string's storage from the previous frame.
class Text {
 public:
  explicit Text(std::string& s) : s_(s) { s_.clear(); }
  Text& operator<<(std::string_view part) {
    s_.append(part);
    return *this;
  }
  Text& operator<<(int32_t v) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    s_.append(buf, r.ptr);
    return *this;
  }

 private:
  std::string& s_;
};

// A list of lines rebuilt every frame; reuses the line strings it already holds.
class Lines {
 public:
  explicit Lines(std::vector<std::string>& v) : v_(v) {}
  ~Lines() { v_.resize(n_); }
  Lines(const Lines&) = delete;
  Lines& operator=(const Lines&) = delete;

  Text Add() {
    if (n_ == v_.size()) v_.emplace_back();
    return Text(v_[n_++]);
  }

 private:
  std::vector<std::string>& v_;
  std::size_t n_ = 0;
};

void ColonyLines(const core::Game& g, std::vector<std::string>& out) {
  Lines lines(out);
  lines.Add() << g.Loc(54) << " " << g.money;
  lines.Add() << g.Loc(55) << " " << g.income_day << "/" << g.expense_day;
  lines.Add() << g.Loc(56) << " " << g.income_total << "/" << g.expense_total;
  lines.Add() << g.Loc(57) << " " << g.population << " (" << Sub(g.population, g.prev_population) << ")";
  lines.Add() << g.Loc(58) << " " << g.population << "/" << g.living_space;
  lines.Add() << g.Loc(59) << " " << g.pers_needed;
  lines.Add() << g.Loc(60) << " " << g.attraction;
  lines.Add() << g.Loc(61) << " " << g.energy_use << "/" << g.energy_out;
  lines.Add() << g.Loc(62) << " " << g.food << " (" << Sub(g.food, g.prev_food) << ")";
  lines.Add() << g.Loc(63) << " " << g.raw << " (" << Sub(g.raw, g.prev_raw) << ")";
  lines.Add() << g.Loc(64) << " " << g.products << " (" << Sub(g.products, g.prev_products) << ")";
  lines.Add() << g.Loc(65) << " " << Add(Add(g.food, g.raw), g.products) << "/" << g.storage_cap;
  lines.Add() << g.Loc(66) << " " << g.traded << "/" << g.trade_cap;
  lines.Add() << g.Loc(67) << " " << g.military_power;
  lines.Add() << g.Loc(68) << " " << g.wage_bill;
  if (g.debt > 0) lines.Add() << g.Loc(69) << " " << g.installment << "/" << g.debt;
  lines.Add() << g.Loc(70) << " " << g.day << "/30";
  if (g.science_pts > 0) lines.Add() << g.Loc(166) << " " << g.science_pts;
  if (g.science_bonus > 0)
    lines.Add() << g.Loc(165) << " " << g.science_bonus << "/" << core::Round(g.science_bonus / 10.0);
}

}  // namespace

// In step with ColonyLines: the same lines under the same conditions.
std::vector<core::Topic> ColonyLineTopics(const core::Game& g) {
  using core::Topic;
  std::vector<Topic> t = {Topic::kMoney,      Topic::kMoney,  Topic::kMoney,   Topic::kPopulation,
                          Topic::kLiving,     Topic::kPersonnel, Topic::kAttraction, Topic::kEnergy,
                          Topic::kFood,       Topic::kRaw,    Topic::kProducts, Topic::kStorage,
                          Topic::kQuota,      Topic::kMilitary, Topic::kWages};
  if (g.debt > 0) t.push_back(Topic::kCredit);
  t.push_back(Topic::kDay);
  if (g.science_pts > 0) t.push_back(Topic::kScience);
  if (g.science_bonus > 0) t.push_back(Topic::kScience);
  return t;
}

namespace {

void InfoBlock(core::Game& g, int k, bool visible, const std::string& text) {
  core::infoblock& b = g.info_blocks[k];
  b.visible = visible;
  if (b.text != text) b.text = text;
  b.icon = k;
}

// The information bar of the HUD; the positions belong to its layout.
void InfoBlocks(core::Game& g) {
  std::string s;
  s.reserve(32);
  auto set = [&](int k, bool visible, auto build) {
    Text t(s);
    build(t);
    InfoBlock(g, k, visible, s);
  };
  set(0, true, [&](Text& t) { t << g.money << " (" << Sub(g.income_day, g.expense_day) << ")"; });
  set(1, true, [&](Text& t) {
    t << g.population << "/" << g.living_space << " (" << Sub(g.population, g.prev_population) << ")";
  });
  set(2, true, [&](Text& t) { t << g.food << " (" << Sub(g.food, g.prev_food) << ")"; });
  set(3, true, [&](Text& t) { t << g.energy_use << "/" << g.energy_out; });
  set(4, true, [&](Text& t) { t << g.raw << " (" << Sub(g.raw, g.prev_raw) << ")"; });
  set(5, true, [&](Text& t) { t << g.products << " (" << Sub(g.products, g.prev_products) << ")"; });
  set(6, true, [&](Text& t) { t << g.traded << "/" << g.trade_cap; });
  set(7, true, [&](Text& t) { t << g.wage_bill; });
  set(8, true, [&](Text& t) { t << g.day << "/30"; });
  set(9, g.science_pts > 0 || g.science_bonus > 0, [&](Text& t) { t << g.science_pts << "/" << g.science_bonus; });
  set(10, true, [&](Text& t) { t << g.military_power; });
}

// The described building with the factors that apply to it.
struct Described {
  const core::building* record;
  double f = 1.0;  // personnel and energy supply: what a working building achieves
  double g = 1.0;  // personnel supply alone, for military strength
  bool placed = false;
};

Described ChooseDescribed(core::Game& g) {
  static const core::building kEmpty{};
  Described d{&kEmpty};
  if (g.build_panel) {
    if (const core::building* type = ChosenType(g)) d.record = type;
  }
  if (g.bldg_panel) {
    if (const core::building* sel = SelectedPlaced(g)) {
      d.record = sel;
      d.f = g.pers_ratio * g.energy_ratio;
      d.g = g.pers_ratio;
      d.placed = true;
    } else {
      // The selected building is gone: its panel, and the construction panel, close.
      g.bldg_panel = false;
      g.build_panel = false;
    }
  }
  return d;
}

void PropertyLines(const core::Game& g, const Described& d, std::vector<std::string>& out) {
  const core::building& b = *d.record;
  const bool levelled = d.placed && b.up > 0;
  // The upgrade level multiplies only the property the building's characteristic names.
  auto m = [&](int32_t upch) { return levelled && b.upch == upch ? b.up : 1; };
  auto rounded = [](int32_t base, double factor, int32_t mult) {
    return core::Round(static_cast<double>(base) * factor * static_cast<double>(mult));
  };
  Lines lines(out);
  auto line = [&](bool shown, int entry, int32_t value) {
    if (shown) lines.Add() << g.Loc(entry) << ": " << value;
  };
  line(b.engout > 0, 42, Mul(b.engout, m(core::kUpEngout)));
  // Consumption grows with every level, whatever the level multiplies.
  line(b.engcons > 0, 43, levelled ? Mul(b.engcons, b.up) : b.engcons);
  line(b.income > 0, 44, rounded(b.income, d.f, m(core::kUpIncome)));
  line(b.pers > 0, 45, b.pers);
  line(b.living > 0, 46, Mul(b.living, m(core::kUpLiving)));
  line(b.comfort > 0, 47, b.comfort);
  line(b.military > 0, 134, rounded(b.military, d.g, m(core::kUpMilitary)));
  line(b.food > 0, 48, rounded(b.food, d.f, m(core::kUpFood)));
  line(b.raw > 0, 49, rounded(b.raw, d.f, m(core::kUpRaw)));
  line(b.prod > 0, 50, rounded(b.prod, d.f, m(core::kUpProd)));
  line(b.entertain > 0, 51, rounded(b.entertain, d.f, m(core::kUpEntertain)));
  line(b.sssize > 0, 52, Mul(b.sssize, m(core::kUpSssize)));
  line(b.storage > 0, 53, Mul(b.storage, m(core::kUpStorage)));
  line(b.science > 0, 164, rounded(b.science, d.f, m(core::kUpScience)));
}

std::string_view SpeedWord(const core::Game& g) {
  if (g.day_length >= 10) return g.Loc(27);
  if (g.day_length >= 1) return g.Loc(28);
  if (g.day_length >= 0.1) return g.Loc(29);
  return {};
}

// The pause and speed indicator's words; the speeds follow SpeedWord's bands.
constexpr int kStatusPaused = 520;
int StatusEntry(const core::Game& g) {
  if (g.day_length >= 10) return 521;
  if (g.day_length >= 1) return 522;
  return 523;
}

}  // namespace

const core::building* SelectedPlaced(const core::Game& g) {
  const int32_t slot = core::SelectedSlot(g);
  return slot >= 0 ? &g.placed[slot] : nullptr;
}

const core::building* ChosenType(const core::Game& g) {
  const int32_t k = g.constr_choice;
  if (k < 0 || k >= core::kCatalogSize || k >= static_cast<int32_t>(g.constr_list.size())) return nullptr;
  return g.catalog[k].exists ? &g.catalog[k] : nullptr;
}

void ShowData(core::Game& g, const ReadoutClock& clock, Readout& out) {
  ColonyLines(g, out.colony);
  if (g.hud_mode) InfoBlocks(g);

  const Described d = ChooseDescribed(g);
  PropertyLines(g, d, out.building);

  Text(out.cost) << g.Loc(40) << ": " << d.record->cst;
  Text(out.upkeep) << g.Loc(41) << ": " << d.record->sc;
  const core::building* sel = SelectedPlaced(g);
  Text(out.selected_name) << (sel ? std::string_view(sel->name) : std::string_view("-"));
  if (sel && sel->upl > sel->up)
    Text(out.upgrade_caption) << g.Loc(39) << " (" << Mul(sel->cst, sel->up) << ")";
  else
    Text(out.upgrade_caption) << g.Loc(38);
  Text(out.food_price) << g.Loc(113) << ": " << g.food_price;
  Text(out.raw_price) << g.Loc(113) << ": " << g.raw_price;
  Text(out.product_price) << g.Loc(113) << ": " << g.product_price;
  Text(out.interest) << g.Loc(112) << ": " << g.interest;

  Text caption(out.caption);
  caption << "-- QUENMAR (" << SpeedWord(g) << ") " << "-- ";
  if (!clock.day_clock_running) caption << g.Loc(37);
  if (g.sandbox) caption << " - " << g.Loc(144);

  Text(out.status) << g.Loc(clock.day_clock_running ? StatusEntry(g) : kStatusPaused);
  // Unlike the rest, these two are made afresh each frame: a few short strings.
  if (sel) out.upgrade_preview = core::UpgradePreview(g, *sel);
  else out.upgrade_preview.clear();
  out.credit_summary = core::CreditSummary(g);

  out.tubes_checked = g.tubes_off;
}

void FillInfoBlocks(core::Game& g) {
  if (g.hud_mode) InfoBlocks(g);
}

Readout ShowData(core::Game& g, const ReadoutClock& clock) {
  Readout r;
  ShowData(g, clock, r);
  return r;
}

std::string MemoText(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) {
    s += l;
    s += "\r\n";
  }
  return s;
}

}  // namespace hud
