#include "core/hiscore.h"

#include <algorithm>
#include <filesystem>

#include "core/errors.h"
#include "core/text.h"

namespace core {
namespace {

// The table's lines by their real line breaks, without the cut of ordinary text files:
// a name may be of any length and must come back as it was saved.
std::vector<std::string> SplitWholeLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

// A game played with rare or no disasters carries its mark on the name line, behind a tab
// that no entered name has: a reader that knows no marks shows it as part of the name, and
// a table without marks reads as played by the rules.
// A game that went back to an earlier day adds its own mark last, so a line holds the name,
// then the disasters mark if any, then this one; a table without it reads as not rewound.
const char* const kDisasterMarks[] = {"", "\t[disasters rare]", "\t[disasters off]"};
constexpr std::string_view kRewoundMark = "\t[rewound]";

std::string NameLine(const score& s) {
  const bool marked = s.disasters > kDisastersRules && s.disasters <= kDisastersOff;
  std::string line = marked ? s.name + kDisasterMarks[s.disasters] : s.name;
  if (s.rewound) line += kRewoundMark;
  return line;
}

// The name, the disasters and the rewound mark of a name line.
score ReadNameLine(const std::string& line) {
  score out{line, 0, 0, kDisastersRules};
  if (out.name.ends_with(kRewoundMark)) {
    out.name.resize(out.name.size() - kRewoundMark.size());
    out.rewound = true;
  }
  for (int32_t k = kDisastersRare; k <= kDisastersOff; ++k) {
    const std::string_view mark = kDisasterMarks[k];
    if (out.name.ends_with(mark)) {
      out.name.resize(out.name.size() - mark.size());
      out.disasters = k;
      break;
    }
  }
  return out;
}

// Read while a group is short or does not convert.
score EmptyEntry() { return score{"", 10, 0}; }

}  // namespace

std::string HiScoreFile(const Game& g) { return g.WritePath("\\leaders.hof"); }

std::vector<std::string> DisplayLines(const Game& g, const std::array<score, kHiScoreEntries>& list) {
  std::vector<std::string> out;
  // An unknown level shows the level name of the line before it.
  std::string level_name;
  for (const score& s : list) {
    if (s.points <= 0) continue;
    if (s.level == 10) level_name = g.Loc(124);
    else if (s.level == 5) level_name = g.Loc(125);
    else if (s.level == 1) level_name = g.Loc(126);
    std::string line = s.name + " (" + level_name + ") - " + std::to_string(s.points);
    if (s.disasters == kDisastersRare) line += " [" + g.Loc(544) + "]";
    if (s.disasters == kDisastersOff) line += " [" + g.Loc(545) + "]";
    if (s.rewound) line += " [" + g.Loc(kLocRewoundMark) + "]";
    out.push_back(std::move(line));
  }
  return out;
}

const std::vector<std::string>& MakeList(const Game& g, HiScores& hs) {
  // The player's own table once there is one, else one that came with the data.
  const std::string path = g.Path("\\leaders.hof");
  std::error_code ec;
  // A folder or device of that name is no table either.
  if (std::filesystem::is_regular_file(path, ec)) {
    std::optional<std::string> text;
    try {
      text = ReadText(path);
      if (!text) throw DataError(path, 0, "", "Cannot open file");
    } catch (const DataError& e) {
      // There but unreadable: said once, and the list keeps what it had.
      g.host->ErrorBox(e.what());
    }
    if (text) {
      const auto lines = SplitWholeLines(*text);
      const std::size_t groups = std::min<std::size_t>(lines.size() / 3 + 1, kHiScoreEntries);
      for (std::size_t k = 0; k < groups; ++k) {
        score entry = EmptyEntry();
        if (3 * k + 2 < lines.size()) {
          const auto level = ParseInt(lines[3 * k + 1]);
          const auto points = ParseInt(lines[3 * k + 2]);
          if (level && points) {
            entry = ReadNameLine(lines[3 * k]);
            entry.level = *level;
            entry.points = *points;
          }
        }
        hs.list[k] = std::move(entry);
      }
    }
  }
  // Descending by points; equal points keep their order.
  std::stable_sort(hs.list.begin(), hs.list.end(),
                   [](const score& a, const score& b) { return a.points > b.points; });
  hs.lines = DisplayLines(g, hs.list);
  return hs.lines;
}

void SaveList(const Game& g, const HiScores& hs) {
  std::vector<std::string> lines;
  lines.reserve(3 * kHiScoreEntries);
  for (const score& s : hs.list) {
    lines.push_back(NameLine(s));
    lines.push_back(std::to_string(s.level));
    lines.push_back(std::to_string(s.points));
  }
  WriteLines(HiScoreFile(g), lines, /*bom=*/true);
}

void ShowHiScores(const Game& g, HiScores& hs, bool accept_entry) {
  MakeList(g, hs);
  if (accept_entry) hs.accepted = false;
}

OkResult AcceptScore(Game& g, HiScores& hs, const std::string& name) {
  if (hs.accepted) return OkResult::kDisabled;
  const bool enters = hs.list[kHiScoreEntries - 1].points < g.score_entry.points;
  if (enters) {
    std::string clean = name;
    std::replace_if(clean.begin(), clean.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    g.score_entry.name = clean;
    hs.list[kHiScoreEntries - 1] = g.score_entry;
  }
  try {
    SaveList(g, hs);
  } catch (const DataError& e) {
    g.host->ErrorBox(e.what());
    return OkResult::kWriteFailed;
  }
  MakeList(g, hs);
  hs.accepted = true;
  return enters ? OkResult::kRecorded : OkResult::kNotRecorded;
}

}  // namespace core
