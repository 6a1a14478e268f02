// The planet's ground: a rust-coloured regolith shared by every variant, so neighbouring
// tiles meet without seams, with the features of each variant kept away from the edges.
#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "artgen.h"
#include "paint.h"

namespace artgen {
namespace {

constexpr int kSize = 128;
const QColor kDust(178, 116, 78);
const QColor kDeep(96, 54, 52);

// Shared ground: the same noise and grain for every variant.
QImage Ground() {
  const TileNoise broad(kSize, 11), fine(kSize, 12);
  QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
  Rng grain(13);
  for (int y = 0; y < kSize; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < kSize; ++x) {
      const double n = broad.At(x, y);
      const double f = fine.At(x * 4.0, y * 4.0);
      // Gentle broad variation: the tile repeats across the colony and must not show a grid.
      const double t = std::clamp(0.55 + (n - 0.5) * 0.6 + (f - 0.5) * 0.5, 0.0, 1.0);
      QColor c = Mix(kDeep, kDust, t);
      const double jitter = 1.0 + (grain.Uniform() - 0.5) * 0.10;
      c = Shade(c, jitter);
      row[x] = c.rgba();
    }
  }
  // Pebbles, wrapped around the edges so the pattern tiles.
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(14);
  for (int i = 0; i < 70; ++i) {
    const double x = rng.Range(0, kSize), y = rng.Range(0, kSize), r = rng.Range(0.6, 1.6);
    const QColor stone = Mix(QColor(70, 44, 46), QColor(205, 160, 120), rng.Uniform());
    for (int ox : {-kSize, 0, kSize})
      for (int oy : {-kSize, 0, kSize}) {
        const QPointF c(x + ox, y + oy);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 20, 25, 90));
        p.drawEllipse(c + QPointF(0.7, 0.9), r, r);
        p.setBrush(stone);
        p.drawEllipse(c, r, r);
      }
  }
  return img;
}

// Weight 1 in the middle falling to 0 within `margin` pixels of an edge.
double EdgeFade(double x, double y, double margin) {
  const double d = std::min({x, y, kSize - 1 - x, kSize - 1 - y});
  return std::clamp(d / margin, 0.0, 1.0);
}

void Crater(QPainter& p, QPointF c, double r) {
  // Bowl: shadowed on the upper-left inner wall, lit on the lower right.
  QRadialGradient bowl(c + QPointF(r * 0.25, r * 0.25), r);
  bowl.setColorAt(0.0, QColor(150, 96, 70, 200));
  bowl.setColorAt(0.7, QColor(110, 64, 58, 210));
  bowl.setColorAt(1.0, QColor(70, 38, 44, 230));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 30, 36, 70));
  p.drawEllipse(c, r * 1.35, r * 1.35);
  QRadialGradient rim(c, r * 1.35);
  rim.setColorAt(0.70, QColor(215, 160, 115, 0));
  rim.setColorAt(0.80, QColor(215, 160, 115, 150));
  rim.setColorAt(1.00, QColor(215, 160, 115, 0));
  p.setBrush(rim);
  p.drawEllipse(c + QPointF(0.8, 0.8), r * 1.35, r * 1.35);
  p.setBrush(bowl);
  p.drawEllipse(c, r, r);
  QLinearGradient lit(c - QPointF(r, r), c + QPointF(r, r));
  lit.setColorAt(0.0, QColor(40, 20, 30, 110));
  lit.setColorAt(0.55, QColor(0, 0, 0, 0));
  lit.setColorAt(1.0, QColor(235, 190, 140, 90));
  p.setBrush(lit);
  p.drawEllipse(c, r, r);
}

void Boulder(QPainter& p, Rng& rng, QPointF c, double r) {
  QPainterPath rock;
  const int n = 7 + rng.Int(4);
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * i / n + rng.Range(-0.2, 0.2);
    const double rr = r * rng.Range(0.7, 1.1);
    const QPointF pt = c + QPointF(std::cos(a) * rr, std::sin(a) * rr * 0.85);
    i == 0 ? rock.moveTo(pt) : rock.lineTo(pt);
  }
  rock.closeSubpath();
  Shadow(p, rock, r * 0.35, r * 0.45, 110);
  QLinearGradient g(c - QPointF(r, r), c + QPointF(r, r));
  const QColor base = Mix(QColor(120, 84, 78), QColor(150, 120, 112), rng.Uniform());
  g.setColorAt(0, Mix(base, Qt::white, 0.35));
  g.setColorAt(0.5, base);
  g.setColorAt(1, Shade(base, 0.5));
  p.setPen(QPen(Shade(base, 0.4), 0.6));
  p.setBrush(g);
  p.drawPath(rock);
}

void Crystal(QPainter& p, QPointF base, double len, double angle_deg, const QColor& tint) {
  p.save();
  p.translate(base);
  p.rotate(angle_deg);
  const double w = len * 0.28;
  QPainterPath shard;
  shard.moveTo(0, 0);
  shard.lineTo(len * 0.75, -w);
  shard.lineTo(len, 0);
  shard.lineTo(len * 0.75, w);
  shard.closeSubpath();
  Shadow(p, shard, 1.5, 2.0, 90);
  QLinearGradient g(0, -w, 0, w);
  g.setColorAt(0, Mix(tint, Qt::white, 0.65));
  g.setColorAt(0.45, tint);
  g.setColorAt(1, Shade(tint, 0.45));
  p.setPen(QPen(Mix(tint, Qt::white, 0.4), 0.6));
  p.setBrush(g);
  p.drawPath(shard);
  p.setPen(QPen(WithAlpha(Qt::white, 150), 0.7));
  p.drawLine(QPointF(len * 0.1, 0), QPointF(len * 0.95, 0));
  p.restore();
}

QImage Cratered() {
  QImage img = Ground();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Crater(p, {58, 62}, 24);
  Crater(p, {96, 30}, 8);
  Crater(p, {92, 98}, 5);
  return img;
}

QImage Rocky() {
  QImage img = Ground();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(21);
  const QPointF spots[] = {{40, 42}, {62, 58}, {84, 40}, {50, 86}, {88, 84}, {72, 100}, {30, 66}};
  for (const QPointF& s : spots) Boulder(p, rng, s + QPointF(rng.Range(-4, 4), rng.Range(-4, 4)), rng.Range(5, 12));
  return img;
}

QImage Crystals() {
  QImage img = Ground();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // A faint glow stains the ground around the outcrop.
  QRadialGradient stain(QPointF(64, 66), 44);
  stain.setColorAt(0, QColor(120, 90, 200, 90));
  stain.setColorAt(1, QColor(120, 90, 200, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(stain);
  p.drawEllipse(QPointF(64, 66), 44, 44);
  Rng rng(31);
  const QColor tints[] = {QColor(150, 110, 235), QColor(90, 200, 210), QColor(190, 120, 230)};
  for (int i = 0; i < 11; ++i) {
    const QPointF b(64 + rng.Range(-10, 10), 68 + rng.Range(-8, 8));
    Crystal(p, b, rng.Range(16, 34), -160 + i * 22 + rng.Range(-8, 8), tints[rng.Int(3)]);
  }
  for (int i = 0; i < 4; ++i)
    Crystal(p, QPointF(rng.Range(30, 98), rng.Range(30, 98)), rng.Range(7, 11), rng.Range(0, 360), tints[rng.Int(3)]);
  return img;
}

QImage SaltFlat() {
  QImage img = Ground();
  const TileNoise n(kSize, 41);
  for (int y = 0; y < kSize; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < kSize; ++x) {
      const double dx = (x - 64) / 48.0, dy = (y - 64) / 42.0;
      double w = std::clamp(1.25 - std::sqrt(dx * dx + dy * dy) + (n.At(x, y) - 0.5) * 0.8, 0.0, 1.0);
      w = std::min(w, EdgeFade(x, y, 14));
      row[x] = Mix(QColor(row[x]), QColor(226, 204, 178), w * 0.85).rgba();
    }
  }
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(42);
  p.setPen(QPen(QColor(120, 82, 70, 190), 1.0));
  for (int i = 0; i < 9; ++i) {
    QPointF pt(rng.Range(34, 94), rng.Range(34, 94));
    double a = rng.Range(0, 2 * std::numbers::pi);
    QPainterPath crack(pt);
    for (int s = 0; s < 6; ++s) {
      a += rng.Range(-0.7, 0.7);
      pt += QPointF(std::cos(a), std::sin(a)) * rng.Range(3, 7);
      pt.setX(std::clamp(pt.x(), 22.0, 106.0));
      pt.setY(std::clamp(pt.y(), 24.0, 104.0));
      crack.lineTo(pt);
    }
    p.drawPath(crack);
  }
  return img;
}

QImage Lichen() {
  QImage img = Ground();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  Rng rng(52);
  // Clumps of the planet's violet-green lichen, each a crowd of small overlapping cushions.
  const QPointF clumps[] = {{44, 46}, {80, 40}, {62, 72}, {36, 88}, {90, 84}};
  for (const QPointF& centre : clumps) {
    const double spread = rng.Range(9, 15);
    for (int i = 0; i < 26; ++i) {
      const double a = rng.Range(0, 2 * std::numbers::pi), d = spread * std::sqrt(rng.Uniform());
      const QPointF c = centre + QPointF(std::cos(a) * d, std::sin(a) * d);
      const double r = rng.Range(2.0, 4.5);
      p.setBrush(QColor(30, 18, 40, 90));
      p.drawEllipse(c + QPointF(0.8, 1.0), r, r);
      p.setBrush(Mix(QColor(84, 50, 120), QColor(60, 150, 120), rng.Uniform()));
      p.drawEllipse(c, r, r);
    }
    for (int i = 0; i < 5; ++i) {
      p.setBrush(QColor(170, 240, 200, 220));
      p.drawEllipse(centre + QPointF(rng.Range(-spread, spread), rng.Range(-spread, spread)) * 0.7, 0.9, 0.9);
    }
  }
  return img;
}

}  // namespace

void Terrain(Output& out) {
  out.Tga("terrain_0", Ground());
  out.Tga("terrain_1", Cratered());
  out.Tga("terrain_2", Rocky());
  out.Tga("terrain_3", Crystals());
  out.Tga("terrain_4", SaltFlat());
  out.Tga("terrain_5", Lichen());
}

}  // namespace artgen
