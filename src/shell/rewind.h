#pragma once
// Going back to the start of an earlier day.
//
// The game keeps its state at the start of each of the latest kDaysKept days and at the
// start of every month (the game's first day counts as one) as a save document with the
// history left out: the history up to a kept day is the start of the one the game has
// now, so a rewind takes it from there. Each state is deflated, and the work of writing it
// out is done beside the frame on a copy of the state: the frame in which the day ticks
// only copies. A rewind applies the state as a load does, so the game goes on exactly as
// it went from that day: the same actions play the same game.
//
// The states go into the save file too (the "rewind" object, base64 of the deflated text;
// shell/save.h), checked on reading as thoroughly as the save itself.
#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace shell {

class Session;

// Locale entries of rewinding (English and Russian files); 528, the score's mark
// "rewound", is core::kLocRewoundMark.
enum RewindText : int {
  kLocRewindToDay = 529,    // "Rewind to day %1?"
  kLocRewindToMonth = 530,  // "Rewind to day %1, the start of the month that holds day %2?"
  kLocRewindNotKept = 531,  // "Day %1 can no longer be returned to."
  kLocRewindFailed = 532,   // "The game could not be rewound"
  kLocRewindHint = 533,     // "Click a day to go back to its start."
};

struct KeptDay {
  int32_t day = 0;     // the history's number of the day whose start this is
  bool month = false;  // a month's start (kept for the whole game), else one of the latest days
  std::vector<std::uint8_t> packed;  // the save text, deflated
};

class Rewind {
 public:
  static constexpr int32_t kDaysKept = 60;
  // Beyond this many months (a sandbox game of over eight years) the oldest are forgotten,
  // which keeps memory and the save file in bounds.
  static constexpr std::size_t kMonthsKept = 100;

  explicit Rewind(Session& s) : s_(s) {}
  ~Rewind();
  Rewind(const Rewind&) = delete;
  Rewind& operator=(const Rewind&) = delete;

  // After every frame and every day a script passes: the first look at a new day keeps its
  // start; a new game forgets the last one's days.
  void CheckDay();
  void Clear();

  const std::vector<KeptDay>& kept();
  // The kept day a rewind to `day` goes back to: that day itself, or for an older one the
  // start of the month that holds it; none when `day` is not a day of the past kept.
  std::optional<int32_t> Target(int32_t day);
  // The question asked before a rewind to `day`; "" when it cannot go back there.
  std::string Question(int32_t day);
  // Returns the game to the start of Target(day): the history after it is dropped, the undo
  // list forgotten and the game marked as rewound. SaveError (the game unchanged) when
  // there is no such day or its state cannot be applied.
  void RewindTo(int32_t day);

  // The "rewind" object of a save file.
  nlohmann::json SaveJson();
  // Reads and checks the "rewind" object of a checked save document (none: no days kept),
  // changing nothing; SaveError naming `path` and the value.
  std::vector<KeptDay> Read(const nlohmann::json& save, const std::string& path) const;
  // The days a loaded game keeps.
  void Assign(std::vector<KeptDay> days);

 private:
  void Settle();
  // A new game forgets the last one's days.
  void FollowGame();
  void Keep(KeptDay day);

  Session& s_;
  std::vector<KeptDay> days_;
  // The day being deflated beside the frames.
  std::future<KeptDay> pending_;
  uint64_t games_seen_ = 0;
  int32_t seen_day_ = 0;
};

// Deflates and inflates kept states; Inflate gives nullopt for damaged data or data that
// would grow beyond `limit` bytes.
std::vector<std::uint8_t> Deflate(const std::string& text);
std::optional<std::string> Inflate(const std::vector<std::uint8_t>& packed, std::size_t limit);
// How a save file holds them; nullopt for text that is not base64.
std::string ToBase64(const std::vector<std::uint8_t>& bytes);
std::optional<std::vector<std::uint8_t>> FromBase64(const std::string& text);

}  // namespace shell
