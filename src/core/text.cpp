#include "core/text.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "core/errors.h"

namespace core {
namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the valid UTF-8 sequence starting at s[i], or 0 when it is not valid.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n;
  uint32_t cp;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
  else return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cc & 0x3F);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n;
}

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8SequenceLength(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

// Windows-1251, bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr std::array<uint16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

std::string DecodeCp1251(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) out += ch;
    else if (c < 0xC0) AppendUtf8(out, kCp1251High[c - 0x80]);
    else AppendUtf8(out, 0x0410 + (c - 0xC0));
  }
  return out;
}

std::string DecodeUtf16(std::string_view s, bool big_endian) {
  std::string out;
  out.reserve(s.size());
  auto unit = [&](std::size_t i) -> uint32_t {
    const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
    return big_endian ? (a << 8 | b) : (b << 8 | a);
  };
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
    uint32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < s.size()) {
      const uint32_t lo = unit(i + 2);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;  // unpaired surrogate
    AppendUtf8(out, u);
  }
  return out;
}

// Cuts a UTF-8 line to its first kMaxLineChars characters.
std::string CutLine(std::string_view line) {
  std::size_t chars = 0, i = 0;
  while (i < line.size()) {
    if (chars == kMaxLineChars) return std::string(line.substr(0, i));
    const std::size_t n = Utf8SequenceLength(line, i);
    i += n ? n : 1;
    ++chars;
  }
  return std::string(line);
}

}  // namespace

std::size_t Utf8Chars(std::string_view text) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++chars) {
    const std::size_t n = Utf8SequenceLength(text, i);
    i += n ? n : 1;
  }
  return chars;
}

std::string DecodeText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return DecodeCp1251(bytes);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(CutLine(text.substr(start, i - start)));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(CutLine(text.substr(start)));
  return lines;
}

std::optional<std::string> ReadText(const std::string& path, std::size_t max_bytes) {
  const auto bytes = ReadRegularFile(path, max_bytes);
  if (!bytes) return std::nullopt;
  return DecodeText(*bytes);
}

std::vector<std::string> ReadLines(const std::string& path, std::size_t max_bytes) {
  auto text = ReadText(path, max_bytes);
  if (!text) throw DataError(path, 0, "", "Cannot open file");
  return SplitLines(*text);
}

void WriteLines(const std::string& path, const std::vector<std::string>& lines, bool bom) {
  std::string bytes = bom ? "\xEF\xBB\xBF" : "";
  for (const auto& l : lines) bytes += l + "\r\n";
  // The player's folders are made on first use; a failure shows when the file is created.
  std::error_code dir_ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), dir_ec);
  // A new file of a name of its own ("x": created exclusively, so never through a link
  // planted there): two games writing the same file each rename a whole one over it.
  const auto who = std::hash<std::thread::id>()(std::this_thread::get_id());
  std::string tmp;
  std::FILE* out = nullptr;
  for (unsigned attempt = 0; attempt < 64 && !out; ++attempt) {
    const auto now = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%llx.%llx.tmp", static_cast<unsigned long long>(who) & 0xFFFFFFFFFFFFull,
                  (now << 6) + attempt);
    tmp = path + suffix;
    out = std::fopen(tmp.c_str(), "wbx");
    if (!out && errno != EEXIST) break;
  }
  if (!out) throw DataError(path, 0, "", "Cannot create file");
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
  if (std::fclose(out) != 0 || !written) {
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    throw DataError(path, 0, "", "Cannot write file");
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    throw DataError(path, 0, "", "Cannot replace file");
  }
}

std::optional<int32_t> ParseInt(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  if (s.empty()) return std::nullopt;
  bool neg = false;
  if (s.front() == '+' || s.front() == '-') {
    neg = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (neg) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::optional<bool> ParseBool(std::string_view s) {
  if (auto v = ParseInt(s)) return *v != 0;
  std::string lower;
  for (char c : s) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "true") return true;
  if (lower == "false") return false;
  return std::nullopt;
}

std::string ToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

namespace {

// The last character of UTF-8 text, or 0 when it is not a whole one.
char32_t LastCodePoint(std::string_view text) {
  std::size_t start = text.size();
  while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80 && text.size() - start < 3)
    --start;
  if (start == 0) return 0;
  --start;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data()) + start;
  const std::size_t n = text.size() - start;
  if (n == 1) return s[0] < 0x80 ? s[0] : 0;
  if (n == 2 && (s[0] & 0xE0) == 0xC0) return (static_cast<char32_t>(s[0] & 0x1Fu) << 6) | (s[1] & 0x3Fu);
  if (n == 3 && (s[0] & 0xF0) == 0xE0)
    return (static_cast<char32_t>(s[0] & 0x0Fu) << 12) | (static_cast<char32_t>(s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
  if (n == 4 && (s[0] & 0xF8) == 0xF0)
    return (static_cast<char32_t>(s[0] & 0x07u) << 18) | (static_cast<char32_t>(s[1] & 0x3Fu) << 12) | (static_cast<char32_t>(s[2] & 0x3Fu) << 6) |
           (s[3] & 0x3Fu);
  return 0;
}

// Chinese and Japanese text closes with the ideographic full stop, not a Latin one.
bool IsCjk(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
         (c >= 0x20000 && c <= 0x3FFFF);
}

}  // namespace

std::string Sentence(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.empty()) return text;
  const char last = text.back();
  if (last == '.' || last == '!' || last == '?' || text.ends_with("\u2026")) return text;
  for (const char* mark : {"\u3002", "\uFF01", "\uFF1F"})
    if (text.ends_with(mark)) return text;
  text += IsCjk(LastCodePoint(text)) ? "\u3002" : ".";
  return text;
}

}  // namespace core
