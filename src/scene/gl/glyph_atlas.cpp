#include "scene/gl/glyph_atlas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace scene::gl {

GlyphAtlas::GlyphAtlas(const std::string& family, int pixel_height) : font_(QString::fromStdString(family)) {
  font_.setPixelSize(std::max(pixel_height, 1));
  font_.setStyleHint(QFont::TypeWriter);
  font_.setKerning(false);
  const QFontMetricsF fm(font_);
  line_height_ = static_cast<float>(std::ceil(fm.height()));
  ascent_ = static_cast<float>(fm.ascent());
  cell_h_ = static_cast<int>(line_height_);
  canvas_ = QImage(kAtlasWidth, cell_h_, QImage::Format_RGBA8888_Premultiplied);
  canvas_.fill(Qt::transparent);
  for (char32_t c : CoveredCharacters()) Add(c);
  Paint();
  CopyOut();
}

bool GlyphAtlas::Add(char32_t c) {
  const QString s = QString::fromUcs4(&c, 1);
  const QFontMetricsF fm(font_);
  Glyph g;
  g.advance = static_cast<float>(fm.horizontalAdvance(s));
  g.w = std::max(1, static_cast<int>(std::ceil(g.advance)));
  g.h = cell_h_;
  int x = pen_x_, y = pen_y_;
  if (x + g.w + 1 > kAtlasWidth) {
    x = 0;
    y += cell_h_ + 1;
  }
  if (y + cell_h_ > kMaxAtlasHeight) return false;
  if (y + cell_h_ > canvas_.height()) {
    // Grow by whole blocks of rows so that a language's glyphs cost few copies.
    const int height = std::min(kMaxAtlasHeight, std::max(y + cell_h_, canvas_.height() * 2));
    QImage bigger(kAtlasWidth, height, QImage::Format_RGBA8888_Premultiplied);
    bigger.fill(Qt::transparent);
    for (int r = 0; r < canvas_.height(); ++r)
      std::memcpy(bigger.scanLine(r), canvas_.constScanLine(r), static_cast<size_t>(canvas_.bytesPerLine()));
    canvas_ = std::move(bigger);
  }
  g.x = x;
  g.y = y;
  pen_x_ = x + g.w + 1;  // one clear texel between cells keeps neighbours from bleeding in
  pen_y_ = y;
  glyphs_.emplace(c, g);
  if (c != U' ') unpainted_.push_back(c);
  return true;
}

void GlyphAtlas::Paint() {
  if (unpainted_.empty()) return;
  QPainter p(&canvas_);
  p.setFont(font_);
  p.setPen(Qt::white);
  for (char32_t c : unpainted_) {
    const Glyph& g = glyphs_.at(c);
    p.setClipRect(g.x, g.y, g.w, g.h);
    p.drawText(QPointF(g.x, g.y + ascent_), QString::fromUcs4(&c, 1));
  }
  unpainted_.clear();
}

void GlyphAtlas::CopyOut() {
  const QImage q = canvas_.convertToFormat(QImage::Format_RGBA8888);
  image_.width = q.width();
  image_.height = q.height();
  image_.rgba.resize(static_cast<size_t>(q.width()) * static_cast<size_t>(q.height()) * 4);
  const size_t row = static_cast<size_t>(q.width()) * 4;
  for (int r = 0; r < q.height(); ++r)
    std::memcpy(image_.rgba.data() + row * static_cast<size_t>(r), q.constScanLine(r), row);
  ++revision_;
}

bool GlyphAtlas::Ensure(std::string_view utf8) {
  bool added = false;
  const QFontMetricsF fm(font_);
  for (char32_t c : DecodeUtf8(utf8)) {
    if (!Drawable(c) || glyphs_.count(c) || absent_.count(c)) continue;
    // The metrics answer for the font together with the fallbacks Qt would draw with, so
    // a character no installed font has is refused here instead of drawing as a box.
    if (!fm.inFontUcs4(static_cast<uint>(c)) || !Add(c)) {
      // Remembered up to a bound; past it a refused character is only asked about again.
      if (absent_.size() < kMaxRemembered) absent_.insert(c);
      continue;
    }
    added = true;
  }
  if (!added) return false;
  Paint();
  CopyOut();
  return true;
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
