#include "core/catalog.h"

#include <filesystem>
#include <optional>
#include <utility>

#include "core/errors.h"
#include "core/paths.h"
#include "core/text.h"

namespace core {
namespace {

// The highest upgrade characteristic a file may give; above it the catalog ordering
// would exchange the type with an empty entry forever.
constexpr int32_t kMaxUpch = kUpMissing;

int32_t IntLine(const std::vector<std::string>& lines, std::size_t n, const std::string& path) {
  if (n > lines.size()) throw DataError(path, static_cast<int>(n), "", "Missing line in building file");
  const auto v = ParseInt(lines[n - 1]);
  if (!v) throw DataError(path, static_cast<int>(n), lines[n - 1], "Not an integer in building file");
  return *v;
}

bool BoolLine(const std::vector<std::string>& lines, std::size_t n, const std::string& path) {
  if (n > lines.size()) throw DataError(path, static_cast<int>(n), "", "Missing line in building file");
  const auto v = ParseBool(lines[n - 1]);
  if (!v) throw DataError(path, static_cast<int>(n), lines[n - 1], "Not a boolean in building file");
  return *v;
}

}  // namespace

std::string BuildingFilePath(const Game& g, int32_t bid) {
  return g.Path("\\Buildings\\bldg_" + std::to_string(bid) + ".bld");
}

std::string DescriptionPath(const Game& g, int32_t id, const std::string& code) {
  return g.Path("\\buildings\\bldg_" + std::to_string(id) + "_desc_" + code + ".txt");
}

std::string DescriptionWritePath(const Game& g, int32_t id, const std::string& code) {
  return g.WritePath("\\buildings\\bldg_" + std::to_string(id) + "_desc_" + code + ".txt");
}

std::optional<BuildingFault> CheckBuilding(const building& b) {
  // A line longer than the reader keeps would come back cut.
  if (!ParseInt(b.cname) || b.cname.size() > kMaxLineChars)
    return BuildingFault{"cname", 1, b.cname, "The name's locale entry is not a whole number"};
  if (b.upch > kMaxUpch)
    return BuildingFault{"upch", 19, std::to_string(b.upch), "Upgrade characteristic above 100"};
  return std::nullopt;
}

namespace {

// One building file as the catalog reads it; DataError when it refuses it.
building ReadBuildingFile(const Game& g, int32_t bid, const std::string& path) {
  building b;
  const auto lines = ReadLines(path, kMaxBuildingFileBytes);
  if (lines.size() < 23)
    throw DataError(path, static_cast<int>(lines.size()) + 1, "", "Building file has fewer than 23 lines");
  b.id = bid;
  b.exists = true;
  b.active = true;
  b.cname = lines[0];
  const int32_t entry = IntLine(lines, 1, path);
  b.name = entry >= 1 && entry < kLocaleSize ? g.Loc(entry) : std::string();
  b.unique = BoolLine(lines, 2, path);
  b.cst = IntLine(lines, 3, path);
  b.sc = IntLine(lines, 4, path);
  b.storage = IntLine(lines, 5, path);
  b.pers = IntLine(lines, 6, path);
  b.living = IntLine(lines, 7, path);
  b.comfort = IntLine(lines, 8, path);
  b.prod = IntLine(lines, 9, path);
  b.raw = IntLine(lines, 10, path);
  b.entertain = IntLine(lines, 11, path);
  b.engout = IntLine(lines, 12, path);
  b.engcons = IntLine(lines, 13, path);
  b.military = IntLine(lines, 14, path);
  b.food = IntLine(lines, 15, path);
  b.sssize = IntLine(lines, 16, path);
  b.up = IntLine(lines, 17, path);
  b.upl = IntLine(lines, 18, path);
  b.upch = IntLine(lines, 19, path);
  b.income = IntLine(lines, 20, path);
  b.spaceport = BoolLine(lines, 21, path);
  b.x = IntLine(lines, 22, path);
  b.y = IntLine(lines, 23, path);
  b.science = ParseInt(LineAt(lines, 23)).value_or(0);
  if (const auto fault = CheckBuilding(b))
    throw DataError(path, fault->line, lines[fault->line - 1], fault->reason + " in building file");
  return b;
}

}  // namespace

building LoadBuilding(const Game& g, int32_t bid) {
  const std::string rel = "\\Buildings\\bldg_" + std::to_string(bid) + ".bld";
  const std::string path = g.Path(rel);
  const std::string installed = DataPath(g.exe_dir, rel);
  std::error_code ec;
  if (path != installed && std::filesystem::is_regular_file(path, ec)) {
    try {
      return ReadBuildingFile(g, bid, path);
    } catch (const DataError& e) {
      // The player's own file must not lock them out of the game: said, and passed over.
      g.host->ErrorBox(std::string(e.what()) + "\r\nThe installed file is used instead.");
    }
  }
  if (!std::filesystem::is_regular_file(installed, ec)) {
    building missing;
    missing.upch = kUpMissing;
    return missing;
  }
  return ReadBuildingFile(g, bid, installed);
}

void SaveBuilding(const Game& g, int32_t bid, const building& b) {
  const std::string path = g.WritePath("\\Buildings\\bldg_" + std::to_string(bid) + ".bld");
  if (const auto fault = CheckBuilding(b)) throw DataError(path, fault->line, fault->value, fault->field + ": " + fault->reason);
  auto i = [](int32_t v) { return std::to_string(v); };
  auto flag = [](bool v) { return std::string(v ? "-1" : "0"); };
  // Into the player's folder when the game has one; read back from there, it wins.
  // The editor may save the first type of a fresh data folder.
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  WriteLines(path,
             {b.cname, flag(b.unique), i(b.cst), i(b.sc), i(b.storage), i(b.pers), i(b.living),
              i(b.comfort), i(b.prod), i(b.raw), i(b.entertain), i(b.engout), i(b.engcons),
              i(b.military), i(b.food), i(b.sssize), i(b.up), i(b.upl), i(b.upch), i(b.income),
              flag(b.spaceport), i(b.x), i(b.y), i(b.science)});
}

void InitCatalog(Game& g) {
  // Read everything before touching the colony, so a bad file changes nothing.
  std::array<building, kCatalogSize> loaded{};
  for (int32_t n = 0; n < kCatalogSize; ++n) loaded[n] = LoadBuilding(g, n);

  // Repeated passes until nothing moves: ascending upch, then the existing entries first.
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (int i = 0; i + 1 < kCatalogSize; ++i) {
      if (loaded[i].upch > loaded[i + 1].upch) {
        std::swap(loaded[i], loaded[i + 1]);
        swapped = true;
      }
      if (!loaded[i].exists && loaded[i + 1].exists) {
        std::swap(loaded[i], loaded[i + 1]);
        swapped = true;
      }
    }
  }

  g.food = 100;
  g.raw = 0;
  g.products = 0;
  g.population = 100;
  g.money = 20000;
  g.income_total = g.expense_total = g.income_day = g.expense_day = 0;
  g.science_bonus = g.science_pts = 0;
  g.info_blocks.fill(infoblock{});
  g.catalog = std::move(loaded);
  for (auto& p : g.placed) p.exists = false;
  g.placed[0] = g.catalog[0];
  g.PlacedChanged();
}

int32_t CountCatalog(const Game& g) {
  for (int32_t k = 0; k < kCatalogSize; ++k)
    if (!g.catalog[k].exists) return k;
  return kCatalogSize;
}

void FillConstrList(Game& g) {
  g.constr_list.clear();
  for (const auto& b : g.catalog)
    if (b.exists) g.constr_list.push_back(b.name);
}

namespace {
// The description file's text with CR LF line ends, or nothing when there is no such file.
std::optional<std::string> DescriptionText(const Game& g, int32_t k) {
  if (k < 0 || k >= kCatalogSize) return std::nullopt;
  const auto text = ReadText(DescriptionPath(g, g.catalog[k].id, g.locale_code), kMaxDescriptionFileBytes);
  if (!text) return std::nullopt;
  return ToCrLf(*text);
}
}  // namespace

std::string ReadDescription(const Game& g, int32_t k) { return DescriptionText(g, k).value_or(""); }

void ShowDescription(Game& g, int32_t k) {
  try {
    if (const auto text = DescriptionText(g, k)) g.host->ShowInfoMessage(kMsgOther, *text);
  } catch (const DataError& e) {
    g.host->ErrorBox(e.what());
  }
}

}  // namespace core
