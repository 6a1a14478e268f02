#pragma once
#include <map>
#include <string>
#include <vector>

#include "core/building.h"
#include "core/game.h"

namespace testing_support {

// A private data directory for one test, removed when it goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes `content` as bytes to `relative` (with '/' separators), creating folders.
  void Write(const std::string& relative, const std::string& content) const;
  // Writes lines joined by CR LF, each ended by one.
  void WriteLines(const std::string& relative, const std::vector<std::string>& lines) const;
  std::string Read(const std::string& relative) const;

 private:
  std::string path_;
};

// The 24 lines of a building file for `b` (line 1 is b.cname).
std::vector<std::string> BuildingLines(const core::building& b);

// A small, complete data directory: a language file with entries 1 to 200 ("E1" ...,
// entry 181+k naming building k), both credits files and the given building files.
void WriteMinimalData(const TempDir& dir, const std::map<int, core::building>& buildings,
                      const std::string& code = "en");

// A simple working building type for tests: no costs, no needs; name entry 181 + id.
core::building PlainType(int id);

}  // namespace testing_support
