#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/material.h"

namespace scene {

// A bitmap font: glyphs rendered once from a system font at a pixel height, drawn in one
// colour. The renderer builds the glyph atlas; here it is only a description.
struct BitmapFont {
  std::string family = "Courier New";
  int pixel_height = 13;
  Color color{1, 1, 1, 1};
};

// Characters every bitmap font carries from the start: the Latin-1 and Cyrillic letters and
// the general punctuation up to the em dash (the characters of the Cyrillic Windows code page
// and more). Other characters join a font when a text first uses them, if an installed font
// has them; the rest draw as `kMissingGlyph`.
bool FontCovers(char32_t c);
// Characters a text may draw at all: not control characters, surrogates, noncharacters or
// the replacement sign of a malformed sequence. Layout draws the others as `kMissingGlyph`.
bool Drawable(char32_t c);
inline constexpr char32_t kMissingGlyph = U'?';
// The covered characters in increasing order.
std::vector<char32_t> CoveredCharacters();

// Horizontal anchoring of a text block at its position.
enum class Alignment { LeftJustify, Center, RightJustify };
// Vertical anchoring of a text block at its position.
enum class TextLayout { Top, Center, Bottom };

// UTF-8 to code points; a malformed sequence gives U+FFFD per bad byte.
std::u32string DecodeUtf8(std::string_view text);

// The lines of a HUD text: CR LF, LF CR, LF or CR each start a new line; a final line break adds
// no line (an empty text has no lines).
std::vector<std::u32string> SplitTextLines(std::string_view utf8);

// What text layout needs to know of a rendered font.
struct FontMetrics {
  std::function<float(char32_t)> advance;  // pen advance of one character, in pixels
  float line_height = 0;                   // distance between baselines, in pixels
};

struct PlacedGlyph {
  char32_t ch;
  float x, y;  // top-left corner of the glyph's cell, view pixels (y down)
};

struct TextBlockLayout {
  float left = 0, top = 0, width = 0, height = 0;  // the whole block, view pixels
  std::vector<PlacedGlyph> glyphs;                 // spaces included
};

// Places every character of `utf8` anchored at (x, y): with LeftJustify/Top that point is
// the block's top-left corner, with Center/Center its centre. Each line is aligned on its
// own within the block. Characters that are not Drawable are laid out as kMissingGlyph.
TextBlockLayout LayoutText(std::string_view utf8, float x, float y, Alignment alignment,
                           TextLayout layout, const FontMetrics& metrics);

}  // namespace scene
