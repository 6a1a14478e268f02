#pragma once
#include <cstdint>
#include <string>

namespace core {

// One building type (catalog entry) or one placed building; the same record serves both.
struct building {
  bool exists = false;
  bool active = false;
  bool unique = false;
  int32_t id = 0;
  std::string name;   // display name, looked up from the locale table
  std::string cname;  // line 1 of the file as written (the locale entry number)
  int32_t budget = 0;
  int32_t sc = 0;
  int32_t cst = 0;
  int32_t pers = 0;
  int32_t living = 0;
  int32_t comfort = 0;
  int32_t prod = 0;
  int32_t raw = 0;
  int32_t storage = 0;
  int32_t entertain = 0;
  int32_t military = 0;
  int32_t food = 0;
  bool spaceport = false;
  int32_t sssize = 0;
  int32_t engout = 0;
  int32_t engcons = 0;
  int32_t up = 0;
  int32_t upl = 0;
  int32_t upch = 0;
  int32_t income = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t dcx = 0;
  int32_t dcy = 0;
  int32_t science = 0;
  int32_t construction = 0;

  bool operator==(const building&) const = default;

  // Exists, switched on and finished: only such a building produces and consumes.
  bool working() const { return exists && active && construction == 0; }
};

// The upgrade characteristic: which value the level multiplies.
enum Upch : int32_t {
  kUpFood = 0,
  kUpLiving = 1,
  kUpEntertain = 2,
  kUpMilitary = 3,
  kUpProd = 4,
  kUpSssize = 5,
  kUpStorage = 6,
  kUpEngout = 7,
  kUpRaw = 8,
  kUpIncome = 9,
  kUpScience = 10,
  kUpMissing = 100,  // the sort key of a type whose file is missing
};

// `value` multiplied by the level when the characteristic selects it.
inline int32_t Scaled(const building& b, int32_t value, int32_t upch) {
  return b.upch == upch ? value * b.up : value;
}

}  // namespace core
