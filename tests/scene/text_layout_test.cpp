#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>

#include "scene/font.h"

using namespace scene;

namespace {
FontMetrics Mono() { return {[](char32_t) { return 8.0f; }, 15.0f}; }
}  // namespace

TEST(TextLayout, Utf8DecodingKeepsCyrillicAndReplacesBrokenBytes) {
  EXPECT_EQ(DecodeUtf8("A\xD0\x96\xE2\x80\x94"), (std::u32string{U'A', U'Ж', U'—'}));
  EXPECT_EQ(DecodeUtf8("\xFF" "a"), (std::u32string{0xFFFD, U'a'}));
  EXPECT_EQ(DecodeUtf8("\xD0"), (std::u32string{0xFFFD}));            // cut short
  EXPECT_EQ(DecodeUtf8("\xC0\x80"), (std::u32string{0xFFFD, 0xFFFD}));  // overlong
}

TEST(TextLayout, LineBreaksOfEveryKindSplitLines) {
  EXPECT_TRUE(SplitTextLines("").empty());
  EXPECT_EQ(SplitTextLines("ab"), (std::vector<std::u32string>{U"ab"}));
  EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (std::vector<std::u32string>{U"a", U"b", U"c", U"d"}));
  EXPECT_EQ(SplitTextLines("a\r\n"), (std::vector<std::u32string>{U"a"}));
  EXPECT_EQ(SplitTextLines("a\r\n\r\nb"), (std::vector<std::u32string>{U"a", U"", U"b"}));
  EXPECT_EQ(SplitTextLines("\r\n"), (std::vector<std::u32string>{U""}));
}

// Each line break form is one break: CR LF and LF CR (the building panel's texts are
// built with the latter) as well as a lone CR or LF; only a repeated form makes an empty line.
TEST(TextLayout, EveryLineBreakFormIsOneBreak) {
  using Lines = std::vector<std::u32string>;
  const struct {
    const char* text;
    Lines lines;
  } cases[] = {
      {"a\r\nb", {U"a", U"b"}},
      {"a\n\rb", {U"a", U"b"}},
      {"a\nb", {U"a", U"b"}},
      {"a\rb", {U"a", U"b"}},
      {"a\n\r", {U"a"}},
      {"a\n\r\n\rb", {U"a", U"", U"b"}},
      {"a\r\n\r\nb", {U"a", U"", U"b"}},
      {"a\n\nb", {U"a", U"", U"b"}},
      {"a\r\rb", {U"a", U"", U"b"}},
      {"a\r\n\rb", {U"a", U"", U"b"}},  // CR LF, then a lone CR
      {"a\n\r\nb", {U"a", U"", U"b"}},  // LF CR, then a lone LF
      // The building panel: name, cost line, properties, upgrade caption.
      {"Habitat\n\rUpkeep: 2; \n\rLiving: 50\r\nComfort: 1\n\rUpgrade",
       {U"Habitat", U"Upkeep: 2; ", U"Living: 50", U"Comfort: 1", U"Upgrade"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitTextLines(c.text), c.lines) << testing::PrintToString(std::string(c.text));
    const TextBlockLayout l = LayoutText(c.text, 0, 0, Alignment::LeftJustify, TextLayout::Top, Mono());
    EXPECT_EQ(l.height, 15.0f * static_cast<float>(c.lines.size())) << testing::PrintToString(std::string(c.text));
  }
}

TEST(TextLayout, CoverageSpansLatinCyrillicAndPunctuationToTheEmDash) {
  for (char32_t c : {U' ', U'~', U'é', U'ÿ', U'Ё', U'я', U'ї', U'Ґ', U'–', U'—', U'…', U'№', U'€'})
    EXPECT_TRUE(FontCovers(c)) << static_cast<int>(c);
  for (char32_t c : {char32_t{0x1F}, char32_t{0x7F}, char32_t{0x9F}, char32_t{0x0100}, char32_t{0x4E2D}})
    EXPECT_FALSE(FontCovers(c)) << static_cast<int>(c);
  const auto all = CoveredCharacters();
  EXPECT_EQ(all.front(), U' ');
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
}

TEST(TextLayout, LeftTopAnchorsTheCornerCentreAnchorsTheMiddle) {
  TextBlockLayout l = LayoutText("ab\r\nc", 10, 20, Alignment::LeftJustify, TextLayout::Top, Mono());
  EXPECT_EQ(l.left, 10);
  EXPECT_EQ(l.top, 20);
  EXPECT_EQ(l.width, 16);
  EXPECT_EQ(l.height, 30);
  ASSERT_EQ(l.glyphs.size(), 3u);
  EXPECT_EQ(l.glyphs[1].x, 18);
  EXPECT_EQ(l.glyphs[1].y, 20);
  EXPECT_EQ(l.glyphs[2].x, 10);
  EXPECT_EQ(l.glyphs[2].y, 35);

  l = LayoutText("abcd\r\nef", 100, 50, Alignment::Center, TextLayout::Center, Mono());
  EXPECT_EQ(l.left, 84);
  EXPECT_EQ(l.top, 35);
  ASSERT_EQ(l.glyphs.size(), 6u);
  EXPECT_EQ(l.glyphs[0].x, 84);
  EXPECT_EQ(l.glyphs[4].x, 92);  // the shorter line is centred on its own
  EXPECT_EQ(l.glyphs[4].y, 50);

  l = LayoutText("abc", 100, 50, Alignment::RightJustify, TextLayout::Bottom, Mono());
  EXPECT_EQ(l.left, 76);
  EXPECT_EQ(l.top, 35);
}

TEST(TextLayout, UndrawableCharactersDrawAsTheMissingGlyphAndOddCentresSnap) {
  // Characters beyond the base set are laid out as themselves (the atlas takes them in);
  // controls and the marks of malformed text are not.
  const TextBlockLayout l =
      LayoutText("a\xE4\xB8\xAD\x01\xFF\xEF\xBF\xBF", 0, 0, Alignment::LeftJustify, TextLayout::Top, Mono());
  ASSERT_EQ(l.glyphs.size(), 5u);
  EXPECT_EQ(l.glyphs[1].ch, U'\u4E2D');
  EXPECT_EQ(l.glyphs[2].ch, kMissingGlyph);
  EXPECT_EQ(l.glyphs[3].ch, kMissingGlyph);
  EXPECT_EQ(l.glyphs[4].ch, kMissingGlyph);
  // A 3-character line centred on x = 0 starts half a pixel off; it snaps to a whole one.
  const TextBlockLayout c = LayoutText("abc", 0.0f, 0.0f, Alignment::Center, TextLayout::Center,
                                       {[](char32_t) { return 7.0f; }, 13.0f});
  EXPECT_EQ(c.glyphs[0].x, std::round(-10.5f));
  EXPECT_EQ(c.glyphs[0].y, std::round(-6.5f));
}
