#pragma once
#include <QFont>
#include <QImage>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "scene/font.h"
#include "scene/material.h"

namespace scene::gl {

// The glyphs of one bitmap font rendered with QPainter into a white-on-transparent atlas;
// the renderer tints it with the font's colour. "Courier New" resolves through fontconfig to
// its metric-compatible substitute when the font itself is absent, and characters it lacks
// (Chinese, say) come from whichever installed font has them.
//
// The atlas starts with the base set of FontCovers and takes in other characters when a
// text first uses them, so it holds what the current language needs and no more. It stops
// growing at kMaxAtlasHeight rows of texels; characters beyond that, and characters no
// installed font has, draw as the missing-glyph sign.
class GlyphAtlas {
 public:
  struct Glyph {
    int x = 0, y = 0;   // cell's top-left in the atlas, pixels
    int w = 0, h = 0;   // cell size: the advance rounded up, by the line height
    float advance = 0;  // pen advance, pixels
  };
  static constexpr int kAtlasWidth = 1024;
  static constexpr int kMaxAtlasHeight = 2048;
  static constexpr std::size_t kMaxRemembered = 65536;

  // Needs a QGuiApplication.
  GlyphAtlas(const std::string& family, int pixel_height);

  const Image& image() const { return image_; }
  // The glyph drawn for c (characters not in the atlas give the missing-glyph sign).
  const Glyph& GlyphFor(char32_t c) const;
  FontMetrics metrics() const;
  float line_height() const { return line_height_; }

  // Adds the glyphs of `utf8` the atlas lacks; true when the image changed.
  bool Ensure(std::string_view utf8);
  // Goes up whenever the image changes, so a copy of it knows when it is stale.
  int revision() const { return revision_; }
  int glyph_count() const { return static_cast<int>(glyphs_.size()); }
  const std::unordered_map<char32_t, Glyph>& glyphs() const { return glyphs_; }

 private:
  // Places one character in the canvas, to be drawn by Paint; false when the atlas is full.
  bool Add(char32_t c);
  void Paint();
  void CopyOut();

  QFont font_;
  QImage canvas_;  // premultiplied, what QPainter draws into
  Image image_;
  std::unordered_map<char32_t, Glyph> glyphs_;
  std::vector<char32_t> unpainted_;
  std::unordered_set<char32_t> absent_;  // asked for, but no font has them or no room is left
  float line_height_ = 0;
  float ascent_ = 0;
  int cell_h_ = 0;
  int pen_x_ = 0, pen_y_ = 0;  // where the next cell goes
  int revision_ = 0;
};

}  // namespace scene::gl
