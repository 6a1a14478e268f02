#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "core/game.h"

namespace core {

// "\Buildings\bldg_N.bld"
std::string BuildingFilePath(const Game& g, int32_t bid);
// "\buildings\bldg_N_desc_CODE.txt"
std::string DescriptionPath(const Game& g, int32_t id, const std::string& code);
// Where an edited description is written: the player's folder when the game has one.
std::string DescriptionWritePath(const Game& g, int32_t id, const std::string& code);

// What is wrong with a building record as a file: the field (its editor label, which is
// also its name in the file's table), the file's line it goes to, the value and why.
struct BuildingFault {
  std::string field;
  int line = 0;
  std::string value;
  std::string reason;
};

// The one check of what a building file may hold, made by the catalog on every file it
// reads and by the editor before it writes one, so that the editor can only write what
// the catalog will read back to the same values: `cname` a whole number on one line that
// is not cut when read, `upch` at most 100 (above it the catalog's ordering never ends).
std::optional<BuildingFault> CheckBuilding(const building& b);

// Reads building file `bid`. A file in the player's folder (an edited type) that the
// catalog refuses is reported through the host, naming the file, and the installed file
// is read instead, so a broken edit never stops the game. A missing file gives a record that does not exist (upch 100).
// A malformed one throws DataError naming the file, the line and its text.
building LoadBuilding(const Game& g, int32_t bid);
// Writes `bld` as building file `bid`, replacing any existing file. Throws DataError
// naming the field when CheckBuilding refuses the record: nothing is written then.
void SaveBuilding(const Game& g, int32_t bid, const building& bld);

// Resets money, stocks and science, clears the information bar, reloads and orders the
// catalog and empties the placed table but for slot 0, which receives the first type.
// All building files are read first: when one is malformed the DataError leaves the
// catalog and the colony exactly as they were.
void InitCatalog(Game& g);

// Index of the first catalog entry that does not exist; 101 when all exist.
int32_t CountCatalog(const Game& g);

// The construction list: names of the existing catalog entries in catalog order.
void FillConstrList(Game& g);

// The description text of the type at catalog position k in the current language, with
// CR LF line ends, or "" when there is no such file. Throws DataError when something that
// is no regular file, or a file over kMaxDescriptionFileBytes, is in its place.
std::string ReadDescription(const Game& g, int32_t k);
// Shows that description as a kind-3 message; nothing when there is none; an error box
// naming the file when it cannot be read.
void ShowDescription(Game& g, int32_t k);

}  // namespace core
