#pragma once
#include <cstdint>
#include <unordered_map>

#include "scene/gl/glyph_atlas.h"
#include "scene/material.h"

namespace scene::gl {

// The dark outline round the HUD's glyphs, made once per glyph atlas: each glyph's cell
// spread by `step` and twice `step` texels in the eight directions, as if the glyph were
// drawn sixteen times in black round its place. Drawn as one quad a glyph instead of
// sixteen: the software rasterizer pays for every small triangle, and a full HUD's texts
// were over three thousand quads of outline.
//
// Blending one texel of alpha A over the ground leaves it times (1 - A); sixteen copies
// of alpha a_i leave it times the product of (1 - a_i). So A = 1 - that product gives the
// same picture, to the framebuffer's rounding.
class TextOutline {
 public:
  struct Cell {
    int x = 0, y = 0, w = 0, h = 0;  // in the outline's image, texels
  };
  TextOutline(const GlyphAtlas& atlas, int step);

  const Image& image() const { return image_; }
  // Texels the outline reaches beyond the glyph's cell on every side.
  int reach() const { return 2 * step_; }
  // The outline of glyph g of the atlas it was made from; null for a glyph it lacks.
  const Cell* For(const GlyphAtlas::Glyph& g) const;

 private:
  static uint64_t Key(const GlyphAtlas::Glyph& g) {
    return static_cast<uint64_t>(static_cast<uint32_t>(g.x)) << 32 | static_cast<uint32_t>(g.y);
  }
  int step_;
  Image image_;
  std::unordered_map<uint64_t, Cell> cells_;  // by the glyph's cell in the atlas
};

}  // namespace scene::gl
