#pragma once
#include <stdexcept>
#include <string>

namespace core {

// A required data file is missing or holds something that does not convert.
// Carries where it happened so the caller can show it however it shows errors.
class DataError : public std::runtime_error {
 public:
  DataError(std::string path, int line, std::string text, const std::string& what)
      : std::runtime_error(Describe(path, line, text, what)),
        path_(std::move(path)), line_(line), text_(std::move(text)) {}

  const std::string& path() const { return path_; }
  int line() const { return line_; }  // 1-based; 0 when the whole file is concerned
  const std::string& text() const { return text_; }

 private:
  static std::string Describe(const std::string& path, int line, const std::string& text,
                              const std::string& what) {
    std::string s = what + ": " + path;
    if (line > 0) s += ", line " + std::to_string(line) + ": \"" + text + "\"";
    return s;
  }
  std::string path_;
  int line_;
  std::string text_;
};

}  // namespace core
