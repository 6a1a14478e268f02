#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files.h"

namespace core {

// Longest line kept, in characters; the rest of a longer line is cut off.
inline constexpr std::size_t kMaxLineChars = 4096;

// Decodes a whole text file to UTF-8: a UTF-8 or UTF-16 byte-order mark selects the
// encoding; without one the bytes are taken as UTF-8 when valid, else as Windows-1251.
std::string DecodeText(std::string_view bytes);

// The number of characters of UTF-8 text, as SplitLines counts them.
std::size_t Utf8Chars(std::string_view text);

// Splits decoded text at CR LF, LF or CR; a final line break adds no line; each line is
// cut to kMaxLineChars characters.
std::vector<std::string> SplitLines(std::string_view text);

// Reads a whole text file as lines. Throws DataError when the file cannot be opened, is no
// regular file or is larger than `max_bytes`.
std::vector<std::string> ReadLines(const std::string& path, std::size_t max_bytes = kMaxTextFileBytes);

// Reads a whole file's decoded text, or nothing when it cannot be opened or is a folder.
// Throws DataError when something else is in its place or it is larger than `max_bytes`.
std::optional<std::string> ReadText(const std::string& path, std::size_t max_bytes = kMaxTextFileBytes);

// Writes lines as UTF-8, each ended by CR LF, optionally behind a byte-order mark.
// Writes to a temporary file renamed over the target, so a failed write never destroys
// the previous file. Throws DataError on failure.
void WriteLines(const std::string& path, const std::vector<std::string>& lines, bool bom = false);

// The line at 0-based index i, or "" past the end: missing lines read empty.
inline const std::string& LineAt(const std::vector<std::string>& lines, std::size_t i) {
  static const std::string empty;
  return i < lines.size() ? lines[i] : empty;
}

// Decimal integer with optional sign and surrounding blanks; nothing else.
std::optional<int32_t> ParseInt(std::string_view s);
// Any integer (non-zero is true) or True/False in any letter case.
std::optional<bool> ParseBool(std::string_view s);

// Turns every line break of a text into CR LF.
std::string ToCrLf(std::string_view text);

// A message ends as a sentence: a full stop unless it already ends with one (or with "!",
// "?" or an ellipsis, or their full-width forms), whatever the language file gives. Text
// that ends in a Chinese or Japanese character gets the ideographic full stop.
std::string Sentence(std::string text);

}  // namespace core
