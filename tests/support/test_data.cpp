#include "support/test_data.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace testing_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = (fs::temp_directory_path() /
           ("quenmar-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++)))
              .string();
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void TempDir::Write(const std::string& relative, const std::string& content) const {
  const fs::path p = fs::path(path_) / relative;
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << content;
}

void TempDir::WriteLines(const std::string& relative, const std::vector<std::string>& lines) const {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  Write(relative, s);
}

std::string TempDir::Read(const std::string& relative) const {
  std::ifstream in(fs::path(path_) / relative, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> BuildingLines(const core::building& b) {
  auto i = [](int v) { return std::to_string(v); };
  auto f = [](bool v) { return std::string(v ? "-1" : "0"); };
  return {b.cname, f(b.unique), i(b.cst), i(b.sc), i(b.storage), i(b.pers), i(b.living),
          i(b.comfort), i(b.prod), i(b.raw), i(b.entertain), i(b.engout), i(b.engcons),
          i(b.military), i(b.food), i(b.sssize), i(b.up), i(b.upl), i(b.upch), i(b.income),
          f(b.spaceport), i(b.x), i(b.y), i(b.science)};
}

void WriteMinimalData(const TempDir& dir, const std::map<int, core::building>& buildings,
                      const std::string& code) {
  std::vector<std::string> loc;
  for (int k = 1; k <= 200; ++k) loc.push_back("E" + std::to_string(k));
  dir.WriteLines("loc_" + code + ".txt", loc);
  dir.WriteLines("sound_credits.txt", {"sounds made here"});
  dir.WriteLines("music_credits.txt", {"music made here"});
  for (const auto& [n, b] : buildings) dir.WriteLines("Buildings/bldg_" + std::to_string(n) + ".bld", BuildingLines(b));
}

core::building PlainType(int id) {
  core::building b;
  b.cname = std::to_string(181 + id);
  b.cst = 1000;
  b.up = 1;
  b.upl = 5;
  b.upch = 0;
  b.x = 15;
  b.y = 15;
  return b;
}

}  // namespace testing_support
