#include "scene/gl/text_outline.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace scene::gl {

TextOutline::TextOutline(const GlyphAtlas& atlas, int step) : step_(std::max(step, 1)) {
  const int reach = 2 * step_;
  // Each glyph cell once (the missing-glyph sign may stand for several characters), in
  // the atlas's order so that the outline's layout follows it.
  std::vector<GlyphAtlas::Glyph> glyphs;
  for (const auto& [c, g] : atlas.glyphs())
    if (g.w > 0 && g.h > 0 && !cells_.count(Key(g))) {
      cells_.emplace(Key(g), Cell{});
      glyphs.push_back(g);
    }
  std::sort(glyphs.begin(), glyphs.end(), [](const auto& a, const auto& b) { return std::pair(a.y, a.x) < std::pair(b.y, b.x); });
  // Cells in rows as wide as the atlas, a clear texel between neighbours.
  const int width = GlyphAtlas::kAtlasWidth;
  int x = 0, y = 0, row_h = 0;
  for (const GlyphAtlas::Glyph& g : glyphs) {
    Cell c{0, 0, g.w + 2 * reach, g.h + 2 * reach};
    if (x + c.w > width) {
      x = 0;
      y += row_h + 1;
      row_h = 0;
    }
    c.x = x, c.y = y;
    x += c.w + 1;
    row_h = std::max(row_h, c.h);
    cells_[Key(g)] = c;
  }
  image_.width = width;
  image_.height = std::max(1, y + row_h);
  image_.rgba.assign(static_cast<size_t>(image_.width) * static_cast<size_t>(image_.height) * 4, 0);
  std::vector<std::pair<int, int>> offsets;
  for (const int r : {step_, 2 * step_})
    for (const auto& [dx, dy] : {std::pair{-r, -r}, {0, -r}, {r, -r}, {-r, 0}, {r, 0}, {-r, r}, {0, r}, {r, r}})
      offsets.emplace_back(dx, dy);
  const Image& src = atlas.image();
  auto alpha = [&](const GlyphAtlas::Glyph& g, int gx, int gy) -> float {
    if (gx < 0 || gy < 0 || gx >= g.w || gy >= g.h) return 0;
    const int ax = g.x + gx, ay = g.y + gy;
    if (ax >= src.width || ay >= src.height) return 0;
    return static_cast<float>(src.rgba[(static_cast<size_t>(ay) * static_cast<size_t>(src.width) + static_cast<size_t>(ax)) * 4 + 3]) / 255.0f;
  };
  for (const GlyphAtlas::Glyph& g : glyphs) {
    const Cell& c = cells_.at(Key(g));
    for (int oy = 0; oy < c.h; ++oy)
      for (int ox = 0; ox < c.w; ++ox) {
        // The texel of the glyph that the copy shifted by (dx, dy) puts here.
        float left = 1;
        for (const auto& [dx, dy] : offsets) left *= 1 - alpha(g, ox - reach - dx, oy - reach - dy);
        const auto a = static_cast<uint8_t>(std::lround((1 - left) * 255));
        uint8_t* t = &image_.rgba[(static_cast<size_t>(c.y + oy) * static_cast<size_t>(width) + static_cast<size_t>(c.x + ox)) * 4];
        t[0] = t[1] = t[2] = 255;
        t[3] = a;
      }
  }
}

const TextOutline::Cell* TextOutline::For(const GlyphAtlas::Glyph& g) const {
  auto it = cells_.find(Key(g));
  return it == cells_.end() ? nullptr : &it->second;
}

}  // namespace scene::gl
