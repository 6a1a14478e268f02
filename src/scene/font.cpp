#include "scene/font.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace scene {

namespace {

struct Range {
  char32_t first, last;
};

// Latin-1, the Cyrillic block and the general punctuation up to the em dash, plus the
// few signs of the Cyrillic Windows code page that lie beyond it, so every character of
// that code page draws.
constexpr std::array<Range, 8> kCovered{{
    {0x0020, 0x007E},
    {0x00A0, 0x00FF},
    {0x0400, 0x04FF},
    {0x2000, 0x2022},
    {0x2026, 0x2026},
    {0x2030, 0x2030},
    {0x2039, 0x203A},
    {0x20AC, 0x20AC},
}};
constexpr std::array<char32_t, 2> kSingles{0x2116, 0x2122};

}  // namespace

bool FontCovers(char32_t c) {
  for (const Range& r : kCovered)
    if (c >= r.first && c <= r.last) return true;
  return std::find(kSingles.begin(), kSingles.end(), c) != kSingles.end();
}

bool Drawable(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  if (c == 0xFFFD || (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE) return false;
  return c <= 0x10FFFF;
}

std::vector<char32_t> CoveredCharacters() {
  std::vector<char32_t> out;
  for (const Range& r : kCovered)
    for (char32_t c = r.first; c <= r.last; ++c) out.push_back(c);
  out.insert(out.end(), kSingles.begin(), kSingles.end());
  return out;
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    int extra = 0;
    char32_t cp = 0, min = 0;
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, cp = b & 0x07, min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    bool ok = i + static_cast<size_t>(extra) < n;
    for (int k = 1; ok && k <= extra; ++k) {
      const unsigned char c = s[i + static_cast<size_t>(k)];
      if ((c & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::vector<std::u32string> SplitTextLines(std::string_view utf8) {
  const std::u32string all = DecodeUtf8(utf8);
  std::vector<std::u32string> lines;
  std::u32string cur;
  bool open = false;  // a line has started and not been ended by a break
  for (size_t i = 0; i < all.size(); ++i) {
    const char32_t c = all[i];
    if (c == U'\r' || c == U'\n') {
      lines.push_back(std::move(cur));
      cur.clear();
      open = false;
      // CR LF and LF CR are each one break; the HUD's panel texts are built with the latter.
      if (i + 1 < all.size() && (all[i + 1] == U'\r' || all[i + 1] == U'\n') && all[i + 1] != c) ++i;
    } else {
      cur.push_back(c);
      open = true;
    }
  }
  if (open) lines.push_back(std::move(cur));
  return lines;
}

TextBlockLayout LayoutText(std::string_view utf8, float x, float y, Alignment alignment,
                           TextLayout layout, const FontMetrics& metrics) {
  TextBlockLayout out;
  std::vector<std::u32string> lines = SplitTextLines(utf8);
  std::vector<float> widths;
  widths.reserve(lines.size());
  for (std::u32string& line : lines) {
    float w = 0;
    for (char32_t& c : line) {
      if (!Drawable(c)) c = kMissingGlyph;
      w += metrics.advance ? metrics.advance(c) : 0;
    }
    widths.push_back(w);
    out.width = std::max(out.width, w);
  }
  out.height = metrics.line_height * static_cast<float>(lines.size());
  switch (alignment) {
    case Alignment::LeftJustify: out.left = x; break;
    case Alignment::Center: out.left = x - out.width / 2; break;
    case Alignment::RightJustify: out.left = x - out.width; break;
  }
  switch (layout) {
    case TextLayout::Top: out.top = y; break;
    case TextLayout::Center: out.top = y - out.height / 2; break;
    case TextLayout::Bottom: out.top = y - out.height; break;
  }
  // Glyphs are drawn texel for texel, so each line starts on a whole pixel.
  for (size_t l = 0; l < lines.size(); ++l) {
    float lx = out.left;
    if (alignment == Alignment::Center) lx += (out.width - widths[l]) / 2;
    if (alignment == Alignment::RightJustify) lx += out.width - widths[l];
    lx = std::round(lx);
    const float ly = std::round(out.top + metrics.line_height * static_cast<float>(l));
    for (char32_t c : lines[l]) {
      out.glyphs.push_back({c, lx, ly});
      lx += metrics.advance ? metrics.advance(c) : 0;
    }
  }
  return out;
}

}  // namespace scene
