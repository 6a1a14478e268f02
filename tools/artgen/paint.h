#pragma once
// Drawing helpers shared by every texture family of the generator.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <vector>

namespace artgen {

// Deterministic generator so every build produces identical textures.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  uint64_t Next();
  double Uniform();                      // 0 <= r < 1
  double Range(double lo, double hi);    // lo <= r < hi
  int Int(int n);                        // 0 <= r < n, 0 for n <= 0

 private:
  uint64_t s_;
};

// Value noise that wraps around with period `size`, so tiles built on it meet seamlessly.
class TileNoise {
 public:
  TileNoise(int size, uint64_t seed);
  // Sum of octaves with cell sizes size/4 .. size/64, in 0..1.
  double At(double x, double y) const;

 private:
  double Octave(const std::vector<double>& grid, int cells, double x, double y) const;
  int size_;
  std::vector<std::vector<double>> grids_;
  std::vector<int> cells_;
};

QImage NewImage(int w, int h);  // transparent ARGB32 premultiplied

// Every texel fully opaque or fully clear: half-covered ones become opaque (in their own
// colour, not darkened by the cover) when at least `threshold` covered, clear otherwise.
// With nearest filtering an antialiased rim is lost at a distance anyway, and a picture
// without half-clear texels draws in one pass without blending, which the software
// renderer does at a fraction of the cost.
QImage HardAlpha(const QImage& img, int threshold = 128);

// Every texel fully opaque or fully clear, keeping the look of soft shadows, glows and
// rims: texels at least half covered become opaque in their own colour; fainter ones are
// kept in an ordered dither as often as they were covered (a shadow of a third darkens
// every third texel), so a shadow still darkens the ground it falls on by as much on
// average. With nearest filtering the stipple reads as a shade, and the picture draws in
// one unblended pass.
QImage DitheredAlpha(const QImage& img);

// Colour arithmetic.
QColor Mix(const QColor& a, const QColor& b, double t);
QColor Shade(const QColor& c, double factor);  // multiplies RGB, keeps alpha
QColor WithAlpha(const QColor& c, int alpha);

// How a building is drawn: working (lights on) or switched off (greyed, dark, lights out).
struct Look {
  bool on = true;
  QColor Body(const QColor& c) const;   // structure colour
  QColor Light(const QColor& c) const;  // something that glows when powered
};

// Common shapes, lit from the upper left.
void Shadow(QPainter& p, const QPainterPath& shape, double dx = 3, double dy = 4, int alpha = 95);
void Dome(QPainter& p, QPointF c, double r, const QColor& base);
// `opacity` below 1 lets what stands under the glass show through.
void GlassDome(QPainter& p, QPointF c, double r, const QColor& tint, double opacity = 1.0);
void Block(QPainter& p, const QRectF& r, const QColor& base, double bevel = 3, double radius = 2);
void RoundLight(QPainter& p, QPointF c, double r, const QColor& colour);
QPainterPath RegularPolygon(QPointF c, double r, int sides, double rotation_deg = 0);
QPainterPath Star(QPointF c, double outer, double inner, int points, double rotation_deg = 0);

}  // namespace artgen
