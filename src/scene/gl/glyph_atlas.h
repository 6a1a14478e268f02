#pragma once
#include <string>
#include <unordered_map>

#include "scene/font.h"
#include "scene/material.h"

namespace scene::gl {

// The glyphs of one bitmap font rendered once with QPainter into a white-on-transparent
// atlas; the renderer tints it with the font's colour. "Courier New" resolves through
// fontconfig to its metric-compatible substitute when the font itself is absent.
class GlyphAtlas {
 public:
  struct Glyph {
    int x = 0, y = 0;   // cell's top-left in the atlas, pixels
    int w = 0, h = 0;   // cell size: the advance rounded up, by the line height
    float advance = 0;  // pen advance, pixels
  };

  // Needs a QGuiApplication.
  GlyphAtlas(const std::string& family, int pixel_height);

  const Image& image() const { return image_; }
  // The glyph drawn for c (uncovered characters give the missing-glyph sign).
  const Glyph& GlyphFor(char32_t c) const;
  FontMetrics metrics() const;
  float line_height() const { return line_height_; }

 private:
  Image image_;
  std::unordered_map<char32_t, Glyph> glyphs_;
  float line_height_ = 0;
};

}  // namespace scene::gl
