#include "scene/gl/glyph_atlas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cmath>
#include <cstring>
#include <vector>

namespace scene::gl {

GlyphAtlas::GlyphAtlas(const std::string& family, int pixel_height) {
  QFont font(QString::fromStdString(family));
  font.setPixelSize(std::max(pixel_height, 1));
  font.setStyleHint(QFont::TypeWriter);
  font.setKerning(false);
  const QFontMetricsF fm(font);
  line_height_ = static_cast<float>(std::ceil(fm.height()));
  const int cell_h = static_cast<int>(line_height_);

  const std::vector<char32_t> chars = CoveredCharacters();
  // Lay the cells out in rows of a fixed-width atlas.
  constexpr int kAtlasWidth = 1024;
  int x = 0, y = 0;
  for (char32_t c : chars) {
    const QString s = QString::fromUcs4(&c, 1);
    Glyph g;
    g.advance = static_cast<float>(fm.horizontalAdvance(s));
    g.w = std::max(1, static_cast<int>(std::ceil(g.advance)));
    g.h = cell_h;
    if (x + g.w + 1 > kAtlasWidth) {
      x = 0;
      y += cell_h + 1;
    }
    g.x = x;
    g.y = y;
    x += g.w + 1;  // one clear texel between cells keeps neighbours from bleeding in
    glyphs_.emplace(c, g);
  }
  const int atlas_h = y + cell_h;

  QImage q(kAtlasWidth, atlas_h, QImage::Format_RGBA8888_Premultiplied);
  q.fill(Qt::transparent);
  {
    QPainter p(&q);
    p.setFont(font);
    p.setPen(Qt::white);
    const qreal ascent = fm.ascent();
    for (const auto& [c, g] : glyphs_) {
      if (c == U' ') continue;
      p.drawText(QPointF(g.x, g.y + ascent), QString::fromUcs4(&c, 1));
    }
  }
  q = q.convertToFormat(QImage::Format_RGBA8888);
  image_.width = q.width();
  image_.height = q.height();
  image_.rgba.resize(static_cast<size_t>(q.width()) * static_cast<size_t>(q.height()) * 4);
  const size_t row = static_cast<size_t>(q.width()) * 4;
  for (int r = 0; r < q.height(); ++r)
    std::memcpy(image_.rgba.data() + row * static_cast<size_t>(r), q.constScanLine(r), row);
}

const GlyphAtlas::Glyph& GlyphAtlas::GlyphFor(char32_t c) const {
  auto it = glyphs_.find(c);
  if (it == glyphs_.end()) it = glyphs_.find(kMissingGlyph);
  return it->second;
}

FontMetrics GlyphAtlas::metrics() const {
  return {[this](char32_t c) { return GlyphFor(c).advance; }, line_height_};
}

}  // namespace scene::gl
