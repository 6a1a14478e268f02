#include "core/paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace core {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string DataPath(const std::string& dir, const std::string& relative) {
  namespace fs = std::filesystem;
  fs::path result = dir.empty() ? fs::path(".") : fs::path(dir);
  std::string part;
  auto append = [&](const std::string& name) {
    if (name.empty() || name == ".") return;
    std::error_code ec;
    if (!fs::exists(result / name, ec) && fs::is_directory(result, ec)) {
      for (const auto& entry : fs::directory_iterator(result, ec)) {
        const std::string candidate = entry.path().filename().string();
        if (SameIgnoringCase(candidate, name)) {
          result /= candidate;
          return;
        }
      }
    }
    result /= name;
  };
  for (char c : relative) {
    if (c == '\\' || c == '/') {
      append(part);
      part.clear();
    } else {
      part += c;
    }
  }
  append(part);
  return result.string();
}

}  // namespace core
