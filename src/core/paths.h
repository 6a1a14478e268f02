#pragma once
#include <string>

namespace core {

// Resolves a data path written the game's way ("\Buildings\bldg_3.bld", backslashes, any
// letter case) under `dir`: every component is matched case-insensitively against what
// exists, so "buildings\" and "Buildings\" find the same folder. A component that matches
// nothing is kept as written, so the result also names files still to be created.
std::string DataPath(const std::string& dir, const std::string& relative);

}  // namespace core
