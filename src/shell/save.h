#pragma once
// Saved games: one JSON text file holding everything that decides how a game goes on, so a
// loaded game plays on exactly as it would have without the save.
//
//   {"format": "quenmar-save", "version": 1, "game_version": "0.1",
//    "game": {...}, "placed": [...], "traffic": {...}, "view": {...}, "hud": {...},
//    "history": {...}}
//
// Version rule: `version` goes up with every change a reader of the previous version would
// misread (a field renamed, removed or given a new meaning, a new required field). A reader
// loads every version up to its own (older ones through their defaults) and refuses a
// newer one. Fields of "hud" are optional: a missing one keeps its default, so new HUD
// state can be added without a new version. Keys a reader does not know are ignored.
// The open message's text ("view": "message", written while a message holds the game) is
// optional as well: a save without it opens the message with no text. A loaded message is
// shown where the mode the player is in now shows messages.
//
// Not saved: the catalog (placed buildings carry their own copies), the options (language,
// tubes, isometric view, sound, drag speed; the camera height is saved with the camera),
// the HUD/side-panel mode, the high-score table and everything recomputed each frame.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/game.h"
#include "scene/math.h"
#include "traffic/ships.h"
#include "traffic/shuttles.h"

namespace shell {

class Session;

inline constexpr int kSaveFormatVersion = 1;
inline constexpr std::string_view kSaveFormatName = "quenmar-save";
// The file name extension of saved games.
inline constexpr std::string_view kSaveExtension = ".qsave";
// Larger files are refused before they are parsed; a full colony with the longest history
// a game keeps takes about 2 MB.
inline constexpr std::uintmax_t kMaxSaveBytes = 16u << 20;
// Longest text (building name, warning, message) a save may carry.
inline constexpr std::size_t kMaxSaveText = 4096;
// Longest open message a save carries (building descriptions are the long ones).
inline constexpr std::size_t kMaxSaveMessage = std::size_t{1} << 20;
// Deepest nesting of arrays and objects a save may have.
inline constexpr int kMaxSaveDepth = 8;
// Most entries of one list or object: the longest list a game writes is its history of at
// most 10000 days (core::History::kMaxDays).
inline constexpr std::size_t kMaxSaveEntries = 10000;
// Most values (numbers, texts, lists, objects, names) in one save: a full history and a
// full site come to about 200000.
inline constexpr std::size_t kMaxSaveValues = 400000;
// The random generator's state, the one text longer than kMaxSaveText.
inline constexpr std::size_t kMaxSaveRngText = 16384;
// A kept day's state (shell/rewind.h), compressed and in base64: the other long text.
inline constexpr std::size_t kMaxSaveKeptDayText = std::size_t{4} << 20;

// Locale entries of the saved-game and history words (English and Russian files).
enum SaveText : int {
  kLocSaveGame = 420,        // "Save game…" (Game menu)
  kLocLoadGame = 421,        // "Load game…" (Game menu)
  kLocQuickSave = 422,       // "Quick save" (F5)
  kLocQuickLoad = 423,       // "Quick load" (F9)
  kLocContinue = 424,        // "Continue" (launcher)
  kLocColonyHistory = 425,   // "Colony history" (Game menu, window title)
  kLocSavedGames = 426,      // "Saved games" (file dialog filter)
  kLocGameSaved = 427,       // "Game saved"
  kLocSaveFailed = 428,      // "The game could not be saved"
  kLocLoadFailed = 429,      // "The saved game could not be loaded"
  kLocAutosaveFailed = 430,  // "The autosave failed"
  kLocNoQuickSave = 431,     // "No quick save yet"
  kLocHistoryDay = 432,      // "Day"; 433 to 445: the history's values in DayFields order after the day
  kLocHistoryMoneyDebt = 446,  // chart titles, 446 to 449
  kLocHistoryPopulation = 447,
  kLocHistoryGoods = 448,
  kLocHistoryEnergy = 449,
};

// A save that could not be written or read; what() names the file and what is wrong.
class SaveError : public std::runtime_error {
 public:
  SaveError(std::string path, const std::string& reason)
      : std::runtime_error(path + ": " + reason), path_(std::move(path)), reason_(reason) {}
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

// The session's game as a save document (the days kept for rewinding included), and back. ApplySave checks the whole document
// before it changes anything: on SaveError (`path` names the file in its text) the session
// is exactly as it was.
nlohmann::json SaveJson(Session& s);
void ApplySave(Session& s, const nlohmann::json& save, const std::string& path);
// Checks a save document as ApplySave does, changing nothing; SaveError as there.
void CheckSave(const Session& s, const nlohmann::json& save, const std::string& path);

// What a save document is made of, taken from the session in a moment (the parts point at
// or copy the session's), so that a copy of them can be written out later elsewhere.
struct SaveParts {
  const core::Game* game = nullptr;
  const traffic::Shuttles* shuttles = nullptr;
  const traffic::Ships* ships = nullptr;
  scene::Vec3 camera{};
  bool paused = false, over_hud = false, day_clock = true;
  std::string message;  // the open message's text (written while one holds the game)
  nlohmann::json hud;   // the HUD's fields
  nlohmann::json tutorial;  // the running tutorial's step and counts; null without one
};
SaveParts PartsOf(Session& s);
// The document without the days kept for rewinding ("rewind"), which undo leaves alone.
nlohmann::json SaveJson(const SaveParts& parts);

// Parses save text with the limits above (size, nesting); SaveError on anything else.
nlohmann::json ParseSaveText(std::string_view text, const std::string& path);

// Writes the session's game to `path` through a temporary file that replaces it only once
// complete and on disk: a failed write leaves an existing file as it was. The folder must
// exist. Throws SaveError.
void WriteSave(Session& s, const std::string& path);
// Reads `path` into the session; on SaveError the session is unchanged.
void ReadSave(Session& s, const std::string& path);

// Replaces `path` with `bytes` as WriteSave does, through a new file of a name of its own in
// the same folder (PATH.<unique>.tmp, created exclusively and never through a link), so two
// games saving the same name each rename a whole file. Throws SaveError.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The saves folder for the given XDG_DATA_HOME and HOME values (null or empty: unset):
// $XDG_DATA_HOME/quenmar/saves, else $HOME/.local/share/quenmar/saves; "" when both are
// unset. An XDG_DATA_HOME that is not an absolute path is ignored, as the standard says.
std::string SavesFolderFor(const char* xdg_data_home, const char* home);
// The same for this process's environment.
std::string DefaultSavesFolder();

}  // namespace shell
