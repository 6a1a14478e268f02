#pragma once
#include <array>
#include <string>
#include <vector>

#include "core/game.h"

namespace core {

inline constexpr int kHiScoreEntries = 100;
// The locale entry of the mark a rewound game's score shows ("rewound").
inline constexpr int kLocRewoundMark = 528;

// The high-score table as the high-score window holds it for the whole run: the list in
// memory, the lines its text area shows and whether the OK button is waiting for a name.
struct HiScores {
  // Positions 0 to 99, descending by points after every MakeList; all empty at start.
  std::array<score, kHiScoreEntries> list{};
  // What the text area shows, one line per entry with points above 0.
  std::vector<std::string> lines;
  // True once the finished game's score_entry has been offered (or when there is none):
  // the OK button is disabled. ShowHiScores(..., true) clears it for the next game over.
  bool accepted = true;
};

// The file the table is written to: under the player's folder when the game has one,
// else beside the data.
std::string HiScoreFile(const Game& g);

// Loads "leaders.hof" into the list (groups of three lines: name, level, points; a name line
// ending in a tab and "[disasters rare]" or "[disasters off]" marks the game's disasters, and
// a tab and "[rewound]" after that marks a game that went back to an earlier day; a short or malformed group
// becomes an empty entry of level 10 with 0 points), orders it by points and rebuilds the
// displayed lines. A missing file leaves the list as it is. Returns the displayed lines.
const std::vector<std::string>& MakeList(const Game& g, HiScores& hs);

// The displayed lines for a list as it stands: "name (level name) - points" for every entry
// with points above 0, level names from locale entries 124/125/126; a game played with rare
// or no disasters adds " [" + locale entry 544 or 545 + "]", a rewound one " [" + entry 528 + "]".
std::vector<std::string> DisplayLines(const Game& g, const std::array<score, kHiScoreEntries>& list);

// Writes all 100 entries as 300 lines, UTF-8 behind a byte-order mark, replacing the file
// only once the new one is complete. Throws DataError when it cannot be written.
void SaveList(const Game& g, const HiScores& hs);

// The window being shown: reloads the list; at game over (`accept_entry`) the OK button
// is enabled for the score just reached.
void ShowHiScores(const Game& g, HiScores& hs, bool accept_entry);

// What pressing OK did.
enum class OkResult {
  kDisabled,     // the button was disabled: nothing happened
  kNotRecorded,  // the score did not beat the lowest entry; the file was still rewritten
  kRecorded,     // the score took the lowest position and was saved
  kWriteFailed,  // the file could not be written (error box shown); the button stays enabled
};

// The OK button with `name` typed in the name field. While the button is enabled, the
// finished game's score takes the lowest position when it beats it, the file is rewritten
// and reloaded and the button disabled. A name's line breaks become blanks, since each
// entry is three lines of the file; tabs become blanks too, since a tab starts the
// disasters mark.
OkResult AcceptScore(Game& g, HiScores& hs, const std::string& name);

}  // namespace core
