#include "paint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace artgen {

uint64_t Rng::Next() {
  // splitmix64
  uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Rng::Uniform() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

double Rng::Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

int Rng::Int(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }

TileNoise::TileNoise(int size, uint64_t seed) : size_(size) {
  Rng rng(seed);
  for (int cells : {4, 8, 16, 32, 64}) {
    std::vector<double> g(static_cast<size_t>(cells * cells));
    for (double& v : g) v = rng.Uniform();
    grids_.push_back(std::move(g));
    cells_.push_back(cells);
  }
}

double TileNoise::Octave(const std::vector<double>& grid, int cells, double x, double y) const {
  const double fx = x / size_ * cells, fy = y / size_ * cells;
  const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
  auto smooth = [](double t) { return t * t * (3 - 2 * t); };
  const double tx = smooth(fx - x0), ty = smooth(fy - y0);
  auto at = [&](int gx, int gy) {
    gx = ((gx % cells) + cells) % cells;
    gy = ((gy % cells) + cells) % cells;
    return grid[static_cast<size_t>(gy * cells + gx)];
  };
  const double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
  const double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
  return a + (b - a) * ty;
}

double TileNoise::At(double x, double y) const {
  double sum = 0, weight = 0, amp = 1;
  for (size_t i = 0; i < grids_.size(); ++i) {
    sum += amp * Octave(grids_[i], cells_[i], x, y);
    weight += amp;
    amp *= 0.55;
  }
  return sum / weight;
}

QImage NewImage(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

QImage HardAlpha(const QImage& img, int threshold) {
  QImage out = img.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QRgb px = row[x];
      row[x] = qAlpha(px) >= threshold ? (px | 0xFF000000u) : 0u;
    }
  }
  return out;
}

QImage DitheredAlpha(const QImage& img) {
  // Bayer's 8 x 8 order: neighbouring thresholds lie far apart, so any share of kept
  // texels spreads evenly.
  static constexpr int kBayer[8][8] = {
      {0, 32, 8, 40, 2, 34, 10, 42},   {48, 16, 56, 24, 50, 18, 58, 26},
      {12, 44, 4, 36, 14, 46, 6, 38},  {60, 28, 52, 20, 62, 30, 54, 22},
      {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
      {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21}};
  // The colony's ground in shade: the terrain's mean colour at about 0.38.
  constexpr QRgb kShadowGround = 0xFF36221Au;
  QImage out = img.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QRgb px = row[x];
      const int a = qAlpha(px);
      if (a == 0 || a == 255) continue;
      if (a >= 128) {
        row[x] = px | 0xFF000000u;
        continue;
      }
      // A shadow (dark and faint) becomes shaded ground, kept as often as it takes to
      // darken the ground as much as the black it was: black of cover a darkens by a / 255,
      // a kept texel of kShadowGround by 1 - kShadowGround / ground, about 0.62.
      const bool shadow = std::max({qRed(px), qGreen(px), qBlue(px)}) < 48;
      const int want = shadow ? std::min(255, a * 100 / 62) : a;
      // Kept with a chance of want / 255: want * 128 > (2b + 1) * 255 for threshold b of 64.
      const bool keep = want * 128 > (2 * kBayer[y % 8][x % 8] + 1) * 255;
      row[x] = !keep ? 0u : shadow ? kShadowGround : (px | 0xFF000000u);
    }
  }
  return out;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                          static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor Shade(const QColor& c, double f) {
  auto ch = [f](float v) { return static_cast<float>(std::clamp(v * f, 0.0, 1.0)); };
  return QColor::fromRgbF(ch(c.redF()), ch(c.greenF()), ch(c.blueF()), c.alphaF());
}

QColor WithAlpha(const QColor& c, int alpha) {
  QColor r = c;
  r.setAlpha(alpha);
  return r;
}

QColor Look::Body(const QColor& c) const {
  if (on) return c;
  // Without power the structure goes grey and dim, with a faint cold cast.
  const double grey = 0.30 * c.redF() + 0.59 * c.greenF() + 0.11 * c.blueF();
  QColor g = QColor::fromRgbF(static_cast<float>(grey), static_cast<float>(grey),
                              static_cast<float>(std::min(1.0, grey * 1.08)), c.alphaF());
  return Shade(Mix(c, g, 0.75), 0.55);
}

QColor Look::Light(const QColor& c) const {
  if (on) return c;
  return QColor(38, 40, 46, c.alpha());
}

void Shadow(QPainter& p, const QPainterPath& shape, double dx, double dy, int alpha) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, alpha));
  p.drawPath(shape.translated(dx, dy));
  p.restore();
}

void Dome(QPainter& p, QPointF c, double r, const QColor& base) {
  QRadialGradient g(c - QPointF(r * 0.35, r * 0.35), r * 1.3, c - QPointF(r * 0.45, r * 0.45));
  g.setColorAt(0.0, Mix(base, Qt::white, 0.55));
  g.setColorAt(0.45, base);
  g.setColorAt(1.0, Shade(base, 0.45));
  p.save();
  p.setPen(QPen(Shade(base, 0.35), std::max(1.0, r * 0.06)));
  p.setBrush(g);
  p.drawEllipse(c, r, r);
  p.restore();
}

void GlassDome(QPainter& p, QPointF c, double r, const QColor& tint, double opacity) {
  auto a = [opacity](int alpha) { return static_cast<int>(alpha * opacity); };
  QRadialGradient g(c - QPointF(r * 0.4, r * 0.4), r * 1.4, c - QPointF(r * 0.5, r * 0.5));
  g.setColorAt(0.0, WithAlpha(Mix(tint, Qt::white, 0.8), a(230)));
  g.setColorAt(0.25, WithAlpha(tint, a(150)));
  g.setColorAt(1.0, WithAlpha(Shade(tint, 0.5), a(200)));
  p.save();
  p.setPen(QPen(WithAlpha(Mix(tint, Qt::white, 0.5), 220), std::max(1.0, r * 0.05)));
  p.setBrush(g);
  p.drawEllipse(c, r, r);
  p.restore();
}

void Block(QPainter& p, const QRectF& r, const QColor& base, double bevel, double radius) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(Shade(base, 0.55));
  p.drawRoundedRect(r, radius, radius);
  p.setBrush(Mix(base, Qt::white, 0.3));
  p.drawRoundedRect(r.adjusted(0, 0, -bevel, -bevel), radius, radius);
  QLinearGradient g(r.topLeft(), r.bottomRight());
  g.setColorAt(0, Mix(base, Qt::white, 0.12));
  g.setColorAt(1, Shade(base, 0.88));
  p.setBrush(g);
  p.drawRoundedRect(r.adjusted(bevel * 0.6, bevel * 0.6, -bevel, -bevel), radius, radius);
  p.restore();
}

void RoundLight(QPainter& p, QPointF c, double r, const QColor& colour) {
  p.save();
  p.setPen(Qt::NoPen);
  if (colour.value() > 90) {
    QRadialGradient halo(c, r * 2.2);
    halo.setColorAt(0, WithAlpha(colour, 120));
    halo.setColorAt(1, WithAlpha(colour, 0));
    p.setBrush(halo);
    p.drawEllipse(c, r * 2.2, r * 2.2);
  }
  p.setBrush(colour);
  p.drawEllipse(c, r, r);
  p.restore();
}

QPainterPath RegularPolygon(QPointF c, double r, int sides, double rotation_deg) {
  QPainterPath path;
  for (int i = 0; i < sides; ++i) {
    const double a = (rotation_deg + 360.0 * i / sides) * std::numbers::pi / 180.0;
    const QPointF pt = c + QPointF(r * std::cos(a), r * std::sin(a));
    if (i == 0)
      path.moveTo(pt);
    else
      path.lineTo(pt);
  }
  path.closeSubpath();
  return path;
}

QPainterPath Star(QPointF c, double outer, double inner, int points, double rotation_deg) {
  QPainterPath path;
  for (int i = 0; i < points * 2; ++i) {
    const double a = (rotation_deg + 180.0 * i / points) * std::numbers::pi / 180.0;
    const double r = i % 2 == 0 ? outer : inner;
    const QPointF pt = c + QPointF(r * std::cos(a), r * std::sin(a));
    if (i == 0)
      path.moveTo(pt);
    else
      path.lineTo(pt);
  }
  path.closeSubpath();
  return path;
}

}  // namespace artgen
