#include "shell/rewind.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "shell/save.h"
#include "shell/session.h"

namespace shell {
namespace {

using nlohmann::json;

// What a kept day's state is made of: copies, so that the state can be written out while
// the game goes on.
struct Copied {
  core::Game game;
  traffic::Shuttles shuttles;
  traffic::Ships ships;
  SaveParts parts;
};

KeptDay Pack(std::unique_ptr<Copied> c, int32_t day, bool month) {
  const std::string text = SaveJson(c->parts).dump(-1, ' ', false, json::error_handler_t::replace);
  return {day, month, Deflate(text)};
}

std::string Fill(std::string pattern, int32_t one, int32_t two = 0) {
  for (const auto& [mark, value] : {std::pair<std::string, int32_t>{"%1", one}, {"%2", two}}) {
    const std::size_t at = pattern.find(mark);
    if (at != std::string::npos) pattern.replace(at, mark.size(), std::to_string(value));
  }
  return pattern;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string ToBase64(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    uint32_t v = static_cast<uint32_t>(bytes[i]) << 16;
    if (n > 1) v |= static_cast<uint32_t>(bytes[i + 1]) << 8;
    if (n > 2) v |= bytes[i + 2];
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kBase64[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> FromBase64(const std::string& text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    uint32_t v = 0;
    int pad = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const char c = text[i + k];
      const char* at = c ? std::char_traits<char>::find(kBase64, 64, c) : nullptr;
      // Padding only at the very end, and at most two.
      if (c == '=' && i + 4 == text.size() && k >= 2 && (k == 3 || text[i + 3] == '=')) {
        ++pad;
        v <<= 6;
        continue;
      }
      if (!at || pad) return std::nullopt;
      v = (v << 6) | static_cast<uint32_t>(at - kBase64);
    }
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    if (pad < 2) out.push_back(static_cast<std::uint8_t>(v >> 8));
    if (pad < 1) out.push_back(static_cast<std::uint8_t>(v));
  }
  return out;
}

std::vector<std::uint8_t> Deflate(const std::string& text) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::vector<std::uint8_t> out(size);
  if (compress2(out.data(), &size, reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    return {};
  out.resize(size);
  out.shrink_to_fit();
  return out;
}

std::optional<std::string> Inflate(const std::vector<std::uint8_t>& packed, std::size_t limit) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  z.next_in = const_cast<Bytef*>(packed.data());
  z.avail_in = static_cast<uInt>(packed.size());
  std::string out;
  char buffer[1 << 16];
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    status = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
    // Growing past any save is refused as it happens, whatever the data claims.
    if (out.size() > limit) status = Z_DATA_ERROR;
    if (status == Z_BUF_ERROR && z.avail_in == 0) status = Z_DATA_ERROR;
  }
  const bool whole = status == Z_STREAM_END && z.avail_in == 0;
  inflateEnd(&z);
  if (!whole) return std::nullopt;
  return out;
}

Rewind::~Rewind() {
  if (pending_.valid()) pending_.wait();
}

void Rewind::Settle() {
  if (!pending_.valid()) return;
  KeptDay day = pending_.get();
  if (!day.packed.empty()) Keep(std::move(day));
}

void Rewind::Keep(KeptDay day) {
  const int32_t newest = day.day;
  days_.push_back(std::move(day));
  std::erase_if(days_, [&](const KeptDay& d) { return !d.month && d.day <= newest - kDaysKept; });
  const auto months = std::count_if(days_.begin(), days_.end(), [](const KeptDay& d) { return d.month; });
  if (static_cast<std::size_t>(months) > kMonthsKept)
    days_.erase(std::find_if(days_.begin(), days_.end(), [](const KeptDay& d) { return d.month; }));
}

void Rewind::Clear() {
  if (pending_.valid()) pending_.wait();
  pending_ = {};
  days_.clear();
  seen_day_ = 0;
}

void Rewind::FollowGame() {
  if (s_.game.games_started == games_seen_) return;
  Clear();
  games_seen_ = s_.game.games_started;
}

void Rewind::CheckDay() {
  const core::Game& g = s_.game;
  FollowGame();
  const auto& history = g.history.days();
  const int32_t last = history.empty() ? 0 : history.back().day;
  if (last == seen_day_) return;
  seen_day_ = last;
  if (last == 0 || !g.game_running || g.game_over) return;
  // One day's state is written out at a time; days are far apart in the window, and a
  // script passing days waits here for the one before.
  Settle();
  auto c = std::make_unique<Copied>();
  c->game = g;
  c->game.history.Clear();
  c->shuttles = s_.traffic.shuttles();
  c->ships = s_.traffic.ships();
  c->parts = PartsOf(s_);
  c->parts.game = &c->game;
  c->parts.shuttles = &c->shuttles;
  c->parts.ships = &c->ships;
  const bool month = g.day == 1 || last == 1;
  pending_ = std::async(std::launch::async, [c = std::move(c), last, month]() mutable {
    try {
      return Pack(std::move(c), last, month);
    } catch (const std::exception&) {
      return KeptDay{};
    }
  });
}

const std::vector<KeptDay>& Rewind::kept() {
  FollowGame();
  Settle();
  return days_;
}

std::optional<int32_t> Rewind::Target(int32_t day) {
  FollowGame();
  Settle();
  if (days_.empty() || day < 1 || day > seen_day_) return std::nullopt;
  const auto after = std::upper_bound(days_.begin(), days_.end(), day,
                                      [](int32_t d, const KeptDay& k) { return d < k.day; });
  if (after == days_.begin()) return std::nullopt;
  const KeptDay& at = *std::prev(after);
  // A day between kept ones goes back to the start of its month, which must be kept.
  if (at.day != day && !at.month) return std::nullopt;
  return at.day;
}

std::string Rewind::Question(int32_t day) {
  const auto target = Target(day);
  if (!target) return "";
  if (*target == day) return Fill(s_.game.Loc(kLocRewindToDay), day);
  return Fill(s_.game.Loc(kLocRewindToMonth), *target, day);
}

void Rewind::RewindTo(int32_t day) {
  const auto target = Target(day);
  const std::string where = "(day " + std::to_string(day) + ")";
  if (!target) throw SaveError(where, Fill(s_.game.Loc(kLocRewindNotKept), day));
  const auto kept = std::find_if(days_.begin(), days_.end(), [&](const KeptDay& k) { return k.day == *target; });
  const auto text = Inflate(kept->packed, kMaxSaveBytes);
  if (!text) throw SaveError(where, "the kept state is damaged");
  json save = ParseSaveText(*text, where);
  // The history up to that day is the start of the one the game has now.
  json fields = json::array(), rows = json::array();
  for (const auto& f : core::DayFields()) fields.push_back(f.name);
  for (const core::DayRecord& r : s_.game.history.days()) {
    if (r.day > *target) break;
    json row = json::array();
    for (const auto& f : core::DayFields()) row.push_back(r.*f.member);
    rows.push_back(std::move(row));
  }
  if (save.is_object()) save["history"] = {{"fields", std::move(fields)}, {"days", std::move(rows)}};
  ApplySave(s_, save, where);
  s_.game.rewound = true;
  std::erase_if(days_, [&](const KeptDay& k) { return k.day > *target; });
  seen_day_ = *target;
  s_.undo.Clear();
}

json Rewind::SaveJson() {
  FollowGame();
  Settle();
  json days = json::array();
  for (const KeptDay& k : days_)
    days.push_back({{"day", k.day}, {"kind", k.month ? "month" : "day"}, {"packed", ToBase64(k.packed)}});
  return {{"days", std::move(days)}};
}

std::vector<KeptDay> Rewind::Read(const json& save, const std::string& path) const {
  std::vector<KeptDay> out;
  if (!save.is_object() || !save.contains("rewind")) return out;
  const auto fail = [&](const std::string& what) { throw SaveError(path, what); };
  const json& r = save["rewind"];
  if (!r.is_object() || !r.contains("days") || !r["days"].is_array()) fail("rewind: expected an object with a list \"days\"");
  const json& days = r["days"];
  const std::size_t most = static_cast<std::size_t>(kDaysKept) + kMonthsKept;
  if (days.size() > most)
    fail("rewind.days: more than " + std::to_string(most) + " kept days, found " + std::to_string(days.size()));
  // The save itself is checked already: its last day bounds the kept ones.
  int32_t last = 0;
  const json& history = save["history"];
  const json& hf = history["fields"];
  const auto column = std::find(hf.begin(), hf.end(), "day");
  if (!history["days"].empty()) last = history["days"].back()[static_cast<std::size_t>(column - hf.begin())].get<int32_t>();
  int32_t previous = 0;
  for (std::size_t i = 0; i < days.size(); ++i) {
    const std::string at = "rewind.days[" + std::to_string(i) + "]";
    const json& d = days[i];
    if (!d.is_object()) fail(at + ": expected an object");
    const json& day = d.contains("day") ? d["day"] : json();
    if (!day.is_number_integer() || day.get<int64_t>() <= previous || day.get<int64_t>() > last)
      fail(at + ".day: expected a day after " + std::to_string(previous) + " up to the save's last day " +
           std::to_string(last) + ", found " + day.dump().substr(0, 40));
    previous = day.get<int32_t>();
    const json& kind = d.contains("kind") ? d["kind"] : json();
    if (kind != "day" && kind != "month") fail(at + ".kind: expected \"day\" or \"month\", found " + kind.dump().substr(0, 40));
    const json& packed = d.contains("packed") ? d["packed"] : json();
    std::optional<std::vector<std::uint8_t>> bytes;
    if (packed.is_string()) bytes = FromBase64(packed.get<std::string>());
    if (!bytes) fail(at + ".packed: expected base64 text");
    const auto text = Inflate(*bytes, kMaxSaveBytes);
    if (!text) fail(at + ".packed: not a deflated state of at most " + std::to_string(kMaxSaveBytes >> 20) + " MB");
    try {
      CheckSave(s_, ParseSaveText(*text, path), path);
    } catch (const SaveError& e) {
      fail(at + ".packed: " + e.reason());
    }
    out.push_back({previous, kind == "month", std::move(*bytes)});
  }
  return out;
}

void Rewind::Assign(std::vector<KeptDay> days) {
  if (pending_.valid()) pending_.wait();
  pending_ = {};
  days_ = std::move(days);
  games_seen_ = s_.game.games_started;
  const auto& history = s_.game.history.days();
  seen_day_ = history.empty() ? 0 : history.back().day;
}

}  // namespace shell
