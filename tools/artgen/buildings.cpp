// Building looks, seen from above. What a type does decides its silhouette (domes for
// housing, glass halls for farms, panel fields or a reactor for power, a pit for mines...),
// its cost rank among the types of the same kind decides its size and elaboration, and its
// number varies the details and the accent colour so that no two types look alike.
#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string>

#include "artgen.h"
#include "paint.h"

namespace artgen {
namespace {

constexpr int kSize = 128;
const QPointF kCentre(64, 64);

enum class Role { Headquarters, Housing, Farm, Power, Mine, Factory, Storage, Spaceport, Military, Science, Commerce, Leisure, Generic };

struct Type {
  core::building b;
  Role role = Role::Generic;
  double tier = 0.5;  // 0 cheapest .. 1 dearest of its kind
  int variant = 0;
  QColor accent;
};

Role Classify(const core::building& b) {
  // A unique type that supplies the colony with many things at once is its command centre.
  const int supplies = (b.living > 0) + (b.food > 0) + (b.storage > 0) + (b.engout > 0) + (b.income > 0) +
                       (b.science > 0) + (b.prod > 0) + (b.raw > 0) + (b.military > 0);
  if (b.unique && supplies >= 3) return Role::Headquarters;
  if (b.spaceport || b.sssize > 0) return Role::Spaceport;
  switch (b.upch) {
    case core::kUpFood: if (b.food > 0) return Role::Farm; break;
    case core::kUpLiving: if (b.living > 0) return Role::Housing; break;
    case core::kUpEntertain: if (b.entertain > 0) return Role::Leisure; break;
    case core::kUpMilitary: if (b.military > 0) return Role::Military; break;
    case core::kUpProd: if (b.prod > 0) return Role::Factory; break;
    case core::kUpStorage: if (b.storage > 0) return Role::Storage; break;
    case core::kUpEngout: if (b.engout > 0) return Role::Power; break;
    case core::kUpRaw: if (b.raw > 0) return Role::Mine; break;
    case core::kUpIncome: if (b.income > 0) return Role::Commerce; break;
    case core::kUpScience: if (b.science > 0) return Role::Science; break;
    default: break;
  }
  if (b.engout > 0) return Role::Power;
  if (b.food > 0) return Role::Farm;
  if (b.living > 0) return Role::Housing;
  if (b.military > 0) return Role::Military;
  if (b.raw > 0) return Role::Mine;
  if (b.prod > 0) return Role::Factory;
  if (b.storage > 0) return Role::Storage;
  if (b.science > 0) return Role::Science;
  if (b.income > 0) return Role::Commerce;
  if (b.entertain > 0 || b.comfort > 0) return Role::Leisure;
  return Role::Generic;
}

const QColor kAccents[] = {QColor(60, 200, 200), QColor(240, 170, 50), QColor(235, 95, 80), QColor(160, 110, 230),
                           QColor(140, 210, 70),  QColor(80, 150, 240), QColor(225, 90, 170), QColor(230, 210, 80)};
const QColor kWindow(255, 214, 120);
const QColor kHull(214, 218, 222);

void Status(QPainter& p, QPointF at, const Look& look) {
  RoundLight(p, at, 2.6, look.on ? QColor(90, 255, 120) : QColor(220, 40, 40));
}

// A ring of lit windows around a dome or a tower.
void WindowRing(QPainter& p, QPointF c, double r, int count, const Look& look, double phase = 0) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(look.Light(kWindow));
  for (int i = 0; i < count; ++i) {
    const double a = phase + 2 * std::numbers::pi * i / count;
    p.drawEllipse(c + QPointF(std::cos(a) * r, std::sin(a) * r), 1.6, 1.6);
  }
  p.restore();
}

void Corridor(QPainter& p, QPointF a, QPointF b, double w, const Look& look) {
  QPainterPath path(a);
  path.lineTo(b);
  QPainterPathStroker s;
  s.setWidth(w);
  s.setCapStyle(Qt::RoundCap);
  const QPainterPath shape = s.createStroke(path);
  Shadow(p, shape, 2, 3, 80);
  p.save();
  p.setPen(QPen(look.Body(QColor(120, 124, 130)), 1));
  p.setBrush(look.Body(QColor(176, 180, 186)));
  p.drawPath(shape);
  p.setPen(QPen(look.Light(QColor(120, 220, 255)), 1.2, Qt::DashLine));
  p.drawLine(a, b);
  p.restore();
}

void Housing(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  const QColor shell = look.Body(kHull);
  const QColor glass = look.Body(t.accent);
  if (t.tier < 0.55) {
    const int n = t.tier < 0.25 ? 3 : 4;
    std::vector<QPointF> c;
    const double start = rng.Range(0, 2 * std::numbers::pi);
    for (int i = 0; i < n; ++i) {
      const double a = start + 2 * std::numbers::pi * i / n;
      c.push_back(kCentre + QPointF(std::cos(a), std::sin(a)) * (n == 3 ? 28.0 : 32.0));
    }
    for (int i = 0; i < n; ++i) Corridor(p, kCentre, c[i], 9, look);
    for (int i = 0; i < n; ++i) {
      const double r = (i == 0 ? 27 : 23) + rng.Range(-1.5, 1.5);
      QPainterPath d;
      d.addEllipse(c[i], r, r);
      Shadow(p, d);
      Dome(p, c[i], r, shell);
      WindowRing(p, c[i], r * 0.78, 10, look, rng.Range(0, 1));
      GlassDome(p, c[i] - QPointF(r * 0.15, r * 0.15), r * 0.38, glass);
    }
    Dome(p, kCentre, 9, look.Body(QColor(170, 175, 182)));
    Status(p, kCentre, look);
  } else {
    QPainterPath outer = RegularPolygon(kCentre, 46, 6, 30);
    Shadow(p, outer, 4, 6);
    const double radii[] = {46, 36, 26};
    for (int level = 0; level < 3; ++level) {
      const QPainterPath hex = RegularPolygon(kCentre, radii[level], 6, 30);
      QLinearGradient g(kCentre - QPointF(radii[level], radii[level]), kCentre + QPointF(radii[level], radii[level]));
      const QColor base = Shade(kHull, 0.86 + 0.08 * level);
      g.setColorAt(0, look.Body(Mix(base, Qt::white, 0.3)));
      g.setColorAt(1, look.Body(Shade(base, 0.7)));
      p.setPen(QPen(look.Body(QColor(90, 94, 100)), 1.2));
      p.setBrush(g);
      p.drawPath(hex);
      // A band of windows along each terrace edge.
      p.setPen(Qt::NoPen);
      p.setBrush(look.Light(kWindow));
      for (int side = 0; side < 6; ++side) {
        const double a0 = (30 + 60 * side) * std::numbers::pi / 180, a1 = (30 + 60 * (side + 1)) * std::numbers::pi / 180;
        const QPointF p0 = kCentre + QPointF(std::cos(a0), std::sin(a0)) * (radii[level] - 4);
        const QPointF p1 = kCentre + QPointF(std::cos(a1), std::sin(a1)) * (radii[level] - 4);
        for (int k = 1; k < 5; ++k) p.drawEllipse(p0 + (p1 - p0) * (k / 5.0), 1.5, 1.5);
      }
    }
    GlassDome(p, kCentre, 14, glass);
    Status(p, kCentre + QPointF(0, 30), look);
    for (QPointF corner : {QPointF(16, 16), QPointF(112, 112)}) {
      QPainterPath d;
      d.addEllipse(corner, 10, 10);
      Shadow(p, d);
      Dome(p, corner, 10, shell);
      WindowRing(p, corner, 7, 6, look);
    }
  }
}

void CropRows(QPainter& p, const QRectF& r, const Look& look, bool vertical, Rng& rng) {
  p.save();
  p.setClipRect(r);
  p.setPen(Qt::NoPen);
  p.setBrush(look.Body(QColor(92, 70, 56)));
  p.drawRect(r);
  const QColor greens[] = {QColor(70, 170, 70), QColor(120, 200, 60), QColor(50, 140, 90)};
  const double step = 6;
  for (double o = 1; o < (vertical ? r.width() : r.height()); o += step) {
    p.setBrush(look.Body(greens[rng.Int(3)]));
    if (vertical)
      p.drawRoundedRect(QRectF(r.left() + o, r.top() + 2, 4, r.height() - 4), 2, 2);
    else
      p.drawRoundedRect(QRectF(r.left() + 2, r.top() + o, r.width() - 4, 4), 2, 2);
  }
  p.restore();
}

void GlassOver(QPainter& p, const QPainterPath& shape, const QRectF& bounds, const Look& look) {
  QLinearGradient g(bounds.topLeft(), bounds.bottomRight());
  // Grow lights give working greenhouses their violet glow.
  const QColor tint = look.on ? QColor(230, 150, 255) : QColor(150, 160, 175);
  g.setColorAt(0, WithAlpha(Mix(tint, Qt::white, 0.6), 150));
  g.setColorAt(0.35, WithAlpha(tint, look.on ? 70 : 50));
  g.setColorAt(1, WithAlpha(Shade(tint, 0.5), 110));
  p.save();
  p.setPen(QPen(look.Body(QColor(220, 226, 232)), 1.4));
  p.setBrush(g);
  p.drawPath(shape);
  p.restore();
}

void Farm(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  if (t.variant % 2 == 0 || t.tier < 0.4) {
    const int halls = t.tier < 0.4 ? 2 : 3;
    const double w = halls == 2 ? 30 : 24, gap = 8;
    const double total = halls * w + (halls - 1) * gap;
    for (int i = 0; i < halls; ++i) {
      const QRectF r(64 - total / 2 + i * (w + gap), 18, w, 92);
      QPainterPath hall;
      hall.addRoundedRect(r, w / 2, 8);
      Shadow(p, hall);
      p.save();
      p.setClipPath(hall);
      CropRows(p, r, look, false, rng);
      p.restore();
      GlassOver(p, hall, r, look);
      p.setPen(QPen(look.Body(QColor(230, 234, 238)), 1));
      for (double y = r.top() + 12; y < r.bottom() - 6; y += 12) p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
    Status(p, QPointF(64, 14), look);
  } else {
    const double r = 44 + 6 * t.tier;
    QPainterPath dome;
    dome.addEllipse(kCentre, r, r);
    Shadow(p, dome, 4, 6);
    p.save();
    p.setClipPath(dome);
    p.setPen(Qt::NoPen);
    const int sectors = 12;
    for (int i = 0; i < sectors; ++i) {
      p.setBrush(look.Body(i % 2 ? QColor(80, 180, 70) : QColor(130, 205, 70)));
      p.drawPie(QRectF(kCentre.x() - r, kCentre.y() - r, 2 * r, 2 * r), i * 5760 / sectors, 5760 / sectors);
    }
    p.setPen(QPen(look.Body(QColor(92, 70, 56)), 2));
    for (double rr = 10; rr < r; rr += 7) {
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(kCentre, rr, rr);
    }
    p.restore();
    GlassOver(p, dome, dome.boundingRect(), look);
    Dome(p, kCentre, 9, look.Body(kHull));
    Status(p, kCentre, look);
  }
  // The produce silo.
  const QPointF silo(112, 112);
  QPainterPath s;
  s.addEllipse(silo, 9, 9);
  Shadow(p, s);
  Dome(p, silo, 9, look.Body(t.accent));
}

void Power(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  if (t.tier < 0.5) {
    // A field of solar panels around a converter.
    const int n = t.tier < 0.25 ? 3 : 4;
    const double cell = 100.0 / n, size = cell - 5;
    for (int gy = 0; gy < n; ++gy)
      for (int gx = 0; gx < n; ++gx) {
        if (n == 3 && gx == 1 && gy == 1) continue;
        if (n == 4 && (gx == 1 || gx == 2) && (gy == 1 || gy == 2)) continue;
        const QRectF r(14 + gx * cell, 14 + gy * cell, size, size);
        QPainterPath panel;
        panel.addRect(r);
        Shadow(p, panel, 2, 3, 100);
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, look.Body(QColor(70, 110, 190)));
        g.setColorAt(0.5, look.Body(QColor(26, 44, 110)));
        g.setColorAt(1, look.Body(QColor(40, 70, 150)));
        p.setPen(QPen(look.Body(QColor(200, 205, 215)), 1.2));
        p.setBrush(g);
        p.drawRect(r);
        p.setPen(QPen(look.Body(QColor(120, 150, 210)), 0.6));
        for (int k = 1; k < 4; ++k) {
          p.drawLine(QPointF(r.left() + r.width() * k / 4, r.top()), QPointF(r.left() + r.width() * k / 4, r.bottom()));
          p.drawLine(QPointF(r.left(), r.top() + r.height() * k / 4), QPointF(r.right(), r.top() + r.height() * k / 4));
        }
      }
    const QRectF core(64 - 14, 64 - 14, 28, 28);
    QPainterPath cp;
    cp.addRect(core);
    Shadow(p, cp);
    Block(p, core, look.Body(QColor(190, 192, 196)));
    RoundLight(p, kCentre, 6, look.Light(QColor(255, 230, 90)));
    Status(p, QPointF(core.right() - 4, core.top() + 4), look);
    (void)rng;
  } else {
    // A fusion plant: a glowing core and its cooling towers.
    const QPainterPath base = RegularPolygon(kCentre, 56, 8, 22.5);
    Shadow(p, base, 3, 4, 70);
    p.setPen(QPen(look.Body(QColor(110, 110, 116)), 1.2));
    p.setBrush(look.Body(QColor(150, 148, 150)));
    p.drawPath(base);
    const QPointF towers[] = {{30, 30}, {98, 30}, {30, 98}, {98, 98}};
    p.setPen(QPen(look.Body(QColor(90, 94, 100)), 5));
    for (QPointF tw : towers) p.drawLine(kCentre, tw);
    for (QPointF tw : towers) {
      QPainterPath tp;
      tp.addEllipse(tw, 15, 15);
      Shadow(p, tp, 4, 5);
      QRadialGradient g(tw - QPointF(4, 4), 18);
      g.setColorAt(0, look.Body(QColor(235, 235, 232)));
      g.setColorAt(1, look.Body(QColor(150, 150, 150)));
      p.setPen(QPen(look.Body(QColor(100, 100, 104)), 1));
      p.setBrush(g);
      p.drawEllipse(tw, 15, 15);
      QRadialGradient mouth(tw, 10);
      mouth.setColorAt(0, look.on ? QColor(230, 236, 240) : QColor(30, 30, 34));
      mouth.setColorAt(1, QColor(50, 52, 58));
      p.setBrush(mouth);
      p.drawEllipse(tw, 10, 10);
    }
    QPainterPath corePath;
    corePath.addEllipse(kCentre, 22, 22);
    Shadow(p, corePath);
    Dome(p, kCentre, 22, look.Body(QColor(120, 126, 140)));
    p.setPen(Qt::NoPen);
    QRadialGradient glow(kCentre, 16);
    glow.setColorAt(0, look.Light(QColor(255, 255, 230)));
    glow.setColorAt(0.4, look.Light(t.accent.lighter(130)));
    glow.setColorAt(1, look.Light(WithAlpha(t.accent, 0)));
    p.setBrush(glow);
    p.drawEllipse(kCentre, 16, 16);
    Status(p, QPointF(64, 112), look);
  }
}

void Mine(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  const QPointF pit(50, 50);
  const double r0 = 38 + 8 * t.tier;
  const int terraces = 4 + static_cast<int>(t.tier * 2);
  // Spoil heaped around the rim, then terraces of bare rock stepping down into the pit;
  // the upper-left walls lie in shadow.
  auto outline = [&](double r, int k) {
    QPainterPath ring;
    const int n = 18;
    for (int i = 0; i < n; ++i) {
      const double a = 2 * std::numbers::pi * i / n;
      const double rr = r * (0.9 + 0.08 * std::sin(a * 3 + k * 1.7) + 0.04 * std::cos(a * 5));
      const QPointF pt = pit + QPointF(std::cos(a) * rr, std::sin(a) * rr * 0.92) + QPointF(k * 1.2, k * 1.2);
      i == 0 ? ring.moveTo(pt) : ring.lineTo(pt);
    }
    ring.closeSubpath();
    return ring;
  };
  const QPainterPath spoil = outline(r0 + 8, -1);
  Shadow(p, spoil, 2, 3, 70);
  QRadialGradient sg(pit, r0 + 8);
  sg.setColorAt(0.8, look.Body(QColor(200, 182, 160)));
  sg.setColorAt(1.0, look.Body(QColor(150, 128, 112)));
  p.setPen(QPen(look.Body(QColor(120, 100, 90)), 1));
  p.setBrush(sg);
  p.drawPath(spoil);
  for (int k = 0; k < terraces; ++k) {
    const double r = r0 * (1.0 - k * 0.8 / terraces);
    const QPainterPath ring = outline(r, k);
    const double depth = static_cast<double>(k) / (terraces - 1);
    const QColor rock = Mix(QColor(132, 108, 120), QColor(34, 24, 40), depth);
    QLinearGradient g(pit - QPointF(r, r), pit + QPointF(r, r));
    g.setColorAt(0, look.Body(Shade(rock, 0.5)));
    g.setColorAt(0.55, look.Body(rock));
    g.setColorAt(1, look.Body(Mix(rock, QColor(230, 210, 200), 0.35)));
    p.setPen(QPen(look.Body(Mix(rock, QColor(240, 225, 215), 0.5)), 1.4));
    p.setBrush(g);
    p.drawPath(ring);
  }
  // Ore veins glinting on the pit floor and walls.
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 16; ++i) {
    const double a = rng.Range(0, 2 * std::numbers::pi), d = rng.Range(0, r0 * 0.6);
    p.setBrush(look.Body(i % 3 ? QColor(190, 130, 255) : QColor(255, 150, 90)));
    p.drawEllipse(pit + QPointF(std::cos(a) * d + 4, std::sin(a) * d + 4), 1.4, 1.4);
  }
  // A haul road spiralling down.
  p.setPen(QPen(look.Body(QColor(200, 160, 120)), 2, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(pit.x() - r0 * 0.62, pit.y() - r0 * 0.6, r0 * 1.3, r0 * 1.25), 200 * 16, 200 * 16);
  // Conveyor from the pit to the ore heap and the headframe.
  const QPointF heap(100, 100);
  Corridor(p, pit + QPointF(r0 * 0.55, r0 * 0.55), heap, 8, look);
  QPainterPath cone;
  cone.addEllipse(heap, 16, 13);
  Shadow(p, cone, 3, 3);
  QRadialGradient cg(heap - QPointF(4, 4), 18);
  cg.setColorAt(0, look.Body(QColor(200, 150, 170)));
  cg.setColorAt(1, look.Body(QColor(90, 56, 80)));
  p.setPen(QPen(look.Body(QColor(70, 40, 60)), 1));
  p.setBrush(cg);
  p.drawPath(cone);
  const QRectF frame(96, 18, 24, 24);
  QPainterPath fp;
  fp.addRect(frame);
  Shadow(p, fp, 6, 8);
  p.setPen(QPen(look.Body(QColor(245, 195, 40)), 2.5));
  p.setBrush(look.Body(QColor(70, 62, 50)));
  p.drawRect(frame);
  p.drawLine(frame.topLeft(), frame.bottomRight());
  p.drawLine(frame.topRight(), frame.bottomLeft());
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(look.Body(QColor(200, 200, 205)), 2));
  p.drawEllipse(frame.center(), 6, 6);
  Corridor(p, frame.center() + QPointF(0, 12), heap + QPointF(6, -10), 5, look);
  RoundLight(p, frame.topLeft() + QPointF(2, 2), 2.5, look.Light(QColor(255, 150, 40)));
  RoundLight(p, frame.bottomRight() - QPointF(2, 2), 2.5, look.Light(QColor(255, 150, 40)));
  Status(p, heap + QPointF(0, 18), look);
}

// The colony's command centre: a crowned tower with four wings.
void Headquarters(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(kCentre);
    p.rotate(90 * i);
    const QRectF wing(0, -11, 54, 22);
    QPainterPath wp;
    wp.addRoundedRect(wing, 6, 6);
    Shadow(p, wp, 3, 4);
    Block(p, wing, look.Body(QColor(200, 204, 210)), 3, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(look.Light(kWindow));
    for (int k = 0; k < 5; ++k) {
      p.drawRect(QRectF(26 + k * 5, -7, 3, 3));
      p.drawRect(QRectF(26 + k * 5, 4, 3, 3));
    }
    p.restore();
    const double a = i * std::numbers::pi / 2;
    const QPointF end = kCentre + QPointF(std::cos(a), std::sin(a)) * 50;
    Dome(p, end, 12, look.Body(i % 2 ? t.accent : kHull));
    WindowRing(p, end, 8.5, 8, look, 0.3);
  }
  const QPainterPath tower = RegularPolygon(kCentre, 32, 8, 22.5);
  Shadow(p, tower, 5, 7);
  const double radii[] = {32, 25};
  for (int level = 0; level < 2; ++level) {
    QLinearGradient g(kCentre - QPointF(30, 30), kCentre + QPointF(30, 30));
    g.setColorAt(0, look.Body(QColor(240, 242, 246)));
    g.setColorAt(1, look.Body(QColor(130, 134, 142)));
    p.setPen(QPen(look.Body(QColor(80, 84, 92)), 1.2));
    p.setBrush(g);
    p.drawPath(RegularPolygon(kCentre, radii[level], 8, 22.5));
  }
  WindowRing(p, kCentre, 28.5, 24, look);
  GlassDome(p, kCentre, 17, look.Body(QColor(70, 200, 220)));
  p.setPen(QPen(look.Body(QColor(220, 220, 226)), 2));
  p.drawLine(kCentre + QPointF(-8, -8), kCentre + QPointF(8, 8));
  RoundLight(p, kCentre, 4, look.Light(QColor(255, 80, 70)));
  Status(p, kCentre + QPointF(20, -20), look);
  (void)rng;
}

void Hazard(QPainter& p, const QRectF& r, const Look& look) {
  p.save();
  p.setClipRect(r);
  p.setPen(Qt::NoPen);
  p.setBrush(look.Body(QColor(240, 200, 40)));
  p.drawRect(r);
  p.setBrush(look.Body(QColor(30, 30, 30)));
  for (double x = r.left() - r.height(); x < r.right(); x += 8) {
    QPolygonF stripe;
    stripe << QPointF(x, r.bottom()) << QPointF(x + 4, r.bottom()) << QPointF(x + 4 + r.height(), r.top())
           << QPointF(x + r.height(), r.top());
    p.drawPolygon(stripe);
  }
  p.restore();
}

void Factory(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  const double w = 88 + 16 * t.tier, h = 64 + 14 * t.tier;
  const QRectF hall(64 - w / 2, 60 - h / 2, w, h);
  QPainterPath hp;
  hp.addRect(hall);
  Shadow(p, hp, 4, 6);
  Block(p, hall, look.Body(QColor(150, 156, 162)), 3, 1);
  // Sawtooth roof with its skylights.
  const int teeth = 4 + static_cast<int>(t.tier * 2);
  const double step = (h - 10) / teeth;
  for (int i = 0; i < teeth; ++i) {
    const QRectF strip(hall.left() + 6, hall.top() + 5 + i * step, w - 26, step * 0.45);
    p.setPen(Qt::NoPen);
    p.setBrush(look.Light(QColor(255, 236, 170)));
    p.drawRect(strip);
    p.setBrush(look.Body(QColor(96, 100, 108)));
    p.drawRect(QRectF(strip.left(), strip.bottom(), strip.width(), step * 0.2));
  }
  // Chimneys, glowing while the furnaces run.
  for (int i = 0; i < 2; ++i) {
    const QPointF c(hall.right() - 10, hall.top() + 14 + i * 22);
    QPainterPath cp;
    cp.addEllipse(c, 8, 8);
    Shadow(p, cp, 5, 7);
    Dome(p, c, 8, look.Body(QColor(120, 110, 105)));
    RoundLight(p, c, 4.5, look.on ? QColor(255, 110, 40) : QColor(30, 28, 30));
  }
  Hazard(p, QRectF(hall.left(), hall.bottom() - 6, w, 6), look);
  // Loading dock in the type's colour.
  const QRectF dock(hall.left() + 8 + rng.Range(0, 16), hall.bottom() + 2, 30, 16);
  QPainterPath dp;
  dp.addRect(dock);
  Shadow(p, dp);
  Block(p, dock, look.Body(t.accent));
  Status(p, QPointF(hall.left() + 5, hall.top() + 5), look);
}

void Storage(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  const int cols = t.tier < 0.5 ? 2 : 3;
  const double r = cols == 2 ? 17 : 14;
  const double gap = 2 * r + 6;
  const double x0 = 64 - (cols - 1) * gap / 2;
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < cols; ++col) {
      const QPointF c(x0 + col * gap, 34 + row * gap);
      QPainterPath tp;
      tp.addEllipse(c, r, r);
      Shadow(p, tp);
      Dome(p, c, r, look.Body((row + col) % 2 ? t.accent : kHull));
      p.setPen(QPen(look.Body(QColor(80, 84, 90)), 1));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(c, r * 0.55, r * 0.55);
    }
  // Stacked containers along the bottom.
  const QColor boxes[] = {QColor(200, 80, 60), QColor(60, 130, 200), QColor(230, 180, 50), QColor(90, 170, 100), t.accent};
  for (int i = 0; i < 5; ++i) {
    const QRectF bx(18 + i * 19, 96 + (i % 2) * 3, 17, 14);
    QPainterPath bp;
    bp.addRect(bx);
    Shadow(p, bp, 2, 3);
    Block(p, bx, look.Body(boxes[rng.Int(5)]), 2, 1);
  }
  Status(p, QPointF(64, 90), look);
}

void Spaceport(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  const QPainterPath pad = RegularPolygon(kCentre, 58, 8, 22.5);
  Shadow(p, pad, 3, 4, 80);
  QRadialGradient g(kCentre, 58);
  g.setColorAt(0, look.Body(QColor(120, 122, 126)));
  g.setColorAt(1, look.Body(QColor(84, 86, 92)));
  p.setPen(QPen(look.Body(QColor(180, 182, 186)), 2));
  p.setBrush(g);
  p.drawPath(pad);
  // Landing circle and approach chevrons.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(look.Body(QColor(240, 200, 50)), 4));
  p.drawEllipse(kCentre, 30, 30);
  p.setPen(QPen(look.Body(QColor(235, 235, 235)), 3));
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(kCentre);
    p.rotate(45 + 90 * i);
    p.drawLine(QPointF(38, -6), QPointF(44, 0));
    p.drawLine(QPointF(44, 0), QPointF(38, 6));
    p.restore();
  }
  p.setPen(QPen(look.Body(QColor(235, 235, 235)), 3));
  p.drawLine(kCentre + QPointF(-12, 0), kCentre + QPointF(12, 0));
  p.drawLine(kCentre + QPointF(0, -12), kCentre + QPointF(0, 12));
  // Edge lights.
  for (int i = 0; i < 8; ++i) {
    const double a = (22.5 + 45 * i) * std::numbers::pi / 180;
    RoundLight(p, kCentre + QPointF(std::cos(a), std::sin(a)) * 50, 2.4, look.Light(QColor(110, 230, 255)));
  }
  // Control tower and fuel tanks in the corners.
  const QPointF tower(16, 16);
  QPainterPath tp;
  tp.addEllipse(tower, 11, 11);
  Shadow(p, tp, 5, 7);
  Dome(p, tower, 11, look.Body(kHull));
  GlassDome(p, tower, 7, look.on ? QColor(90, 230, 160) : QColor(70, 80, 80));
  for (int i = 0; i < (t.tier < 0.5 ? 1 : 2); ++i) {
    const QPointF tank(112 - i * 16, 112);
    QPainterPath kp;
    kp.addEllipse(tank, 7, 7);
    Shadow(p, kp);
    Dome(p, tank, 7, look.Body(t.accent));
  }
  Status(p, tower + QPointF(8, 8), look);
  (void)rng;
}

void Military(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  const int points = t.variant % 2 ? 4 : 5;
  const double outer = 57 + 5 * t.tier;
  const QPainterPath fort = Star(kCentre, outer, outer * 0.62, points, -90);
  Shadow(p, fort, 4, 6);
  QLinearGradient g(QPointF(10, 10), QPointF(118, 118));
  g.setColorAt(0, look.Body(QColor(120, 128, 104)));
  g.setColorAt(1, look.Body(QColor(62, 68, 56)));
  p.setPen(QPen(look.Body(QColor(40, 44, 36)), 2));
  p.setBrush(g);
  p.drawPath(fort);
  const QPainterPath inner = RegularPolygon(kCentre, outer * 0.5, points, -90);
  p.setBrush(look.Body(QColor(96, 104, 88)));
  p.setPen(QPen(look.Body(QColor(150, 160, 130)), 1.5));
  p.drawPath(inner);
  // Turrets in the star's points, barrels outward.
  for (int i = 0; i < points; ++i) {
    const double a = (-90 + 360.0 * i / points) * std::numbers::pi / 180;
    const QPointF c = kCentre + QPointF(std::cos(a), std::sin(a)) * outer * 0.62;
    p.save();
    p.translate(c);
    p.rotate(-90 + 360.0 * i / points);
    p.setPen(Qt::NoPen);
    p.setBrush(look.Body(QColor(40, 42, 40)));
    p.drawRect(QRectF(4, -1.8, 14, 3.6));
    p.restore();
    QPainterPath tp;
    tp.addEllipse(c, 7, 7);
    Shadow(p, tp, 2, 3);
    Dome(p, c, 7, look.Body(QColor(140, 146, 120)));
  }
  Dome(p, kCentre, 12, look.Body(QColor(170, 174, 160)));
  p.setPen(QPen(look.Body(QColor(60, 60, 60)), 2));
  p.drawLine(kCentre, kCentre + QPointF(10, -6));
  RoundLight(p, kCentre, 3.5, look.Light(QColor(255, 60, 50)));
  Status(p, kCentre + QPointF(0, 18), look);
  (void)rng;
}

void Science(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  // Laboratory wing with a lit window band.
  const QRectF lab(12, 70, 80 + 14 * t.tier, 42);
  QPainterPath lp;
  lp.addRoundedRect(lab, 6, 6);
  Shadow(p, lp, 4, 5);
  Block(p, lab, look.Body(QColor(226, 230, 236)), 3, 6);
  p.setPen(Qt::NoPen);
  p.setBrush(look.Light(QColor(130, 220, 255)));
  p.drawRect(QRectF(lab.left() + 6, lab.center().y() - 3, lab.width() - 14, 5));
  // Observatory dome or antenna dish.
  if (t.variant % 2 == 0) {
    const QPointF c(78, 42);
    const double r = 31 + 5 * t.tier;
    QPainterPath dp;
    dp.addEllipse(c, r, r);
    Shadow(p, dp, 5, 7);
    Dome(p, c, r, look.Body(QColor(236, 238, 242)));
    p.save();
    p.translate(c);
    p.rotate(-35);
    p.setPen(Qt::NoPen);
    p.setBrush(look.Body(QColor(40, 50, 70)));
    p.drawRoundedRect(QRectF(-4, -r + 2, 8, r * 1.2), 3, 3);
    p.restore();
  } else {
    const QPointF c(80, 40);
    const double r = 32 + 5 * t.tier;
    QPainterPath dp;
    dp.addEllipse(c, r, r * 0.9);
    Shadow(p, dp, 5, 7);
    QRadialGradient g(c + QPointF(6, 6), r);
    g.setColorAt(0, look.Body(QColor(160, 165, 175)));
    g.setColorAt(1, look.Body(QColor(245, 246, 248)));
    p.setPen(QPen(look.Body(QColor(120, 124, 130)), 1.5));
    p.setBrush(g);
    p.drawEllipse(c, r, r * 0.9);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.6, r * 0.54);
    p.setPen(QPen(look.Body(QColor(90, 94, 100)), 2));
    p.drawLine(c + QPointF(-r * 0.7, r * 0.5), c);
    p.drawLine(c + QPointF(r * 0.7, r * 0.5), c);
    p.drawLine(c + QPointF(0, -r * 0.85), c);
    Dome(p, c, 4, look.Body(QColor(200, 200, 210)));
  }
  // Antenna mast with its beacon.
  const QPointF mast(24, 28);
  p.setPen(QPen(look.Body(QColor(200, 200, 205)), 2));
  p.drawLine(mast + QPointF(-9, 0), mast + QPointF(9, 0));
  p.drawLine(mast + QPointF(0, -9), mast + QPointF(0, 9));
  RoundLight(p, mast, 3, look.Light(t.accent.lighter(120)));
  Status(p, QPointF(lab.right() - 6, lab.top() + 6), look);
  (void)rng;
}

// A round exchange tower ringed with gilded terraces and a rooftop landing ring.
void ExchangeTower(QPainter& p, const Type& t, const Look& look) {
  const double r = 46 + 6 * t.tier;
  QPainterPath base;
  base.addEllipse(kCentre, r, r);
  Shadow(p, base, 5, 7);
  const QColor gold = Mix(QColor(240, 196, 80), t.accent, 0.2);
  for (int k = 0; k < 4; ++k) {
    const double rr = r - k * 10;
    QLinearGradient g(kCentre - QPointF(rr, rr), kCentre + QPointF(rr, rr));
    const QColor c = k % 2 ? QColor(70, 74, 86) : gold;
    g.setColorAt(0, look.Body(Mix(c, Qt::white, 0.4)));
    g.setColorAt(1, look.Body(Shade(c, 0.6)));
    p.setPen(QPen(look.Body(QColor(60, 50, 30)), 1));
    p.setBrush(g);
    p.drawEllipse(kCentre, rr, rr);
    if (k % 2) WindowRing(p, kCentre, rr - 4, 18 + 4 * k, look);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(look.Light(QColor(120, 230, 255)), 2));
  p.drawEllipse(kCentre, 9, 9);
  RoundLight(p, kCentre, 3, look.Light(QColor(255, 250, 200)));
  Status(p, kCentre + QPointF(0, r - 5), look);
}

void Commerce(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  if (t.variant % 2 == 1) {
    ExchangeTower(p, t, look);
    return;
  }
  // A plaza ring around a glass pyramid.
  const double plaza = 54 + 4 * t.tier;
  QPainterPath ring;
  ring.addEllipse(kCentre, plaza, plaza);
  Shadow(p, ring, 2, 3, 60);
  p.setPen(QPen(look.Body(QColor(190, 186, 176)), 2));
  p.setBrush(look.Body(QColor(150, 142, 132)));
  p.drawPath(ring);
  for (int i = 0; i < 12; ++i) {
    const double a = 2 * std::numbers::pi * i / 12;
    RoundLight(p, kCentre + QPointF(std::cos(a), std::sin(a)) * (plaza - 6), 1.8, look.Light(kWindow));
  }
  const double s = 38 + 6 * t.tier;
  const QPointF top = kCentre + QPointF(0, -s), right = kCentre + QPointF(s, 0), bottom = kCentre + QPointF(0, s),
                left = kCentre + QPointF(-s, 0);
  QPainterPath pyramid;
  pyramid.moveTo(top);
  pyramid.lineTo(right);
  pyramid.lineTo(bottom);
  pyramid.lineTo(left);
  pyramid.closeSubpath();
  Shadow(p, pyramid, 6, 8);
  const QColor gold = look.Body(Mix(QColor(240, 196, 80), t.accent, 0.25));
  const QColor faces[] = {Mix(gold, Qt::white, 0.45), gold, Shade(gold, 0.55), Shade(gold, 0.8)};
  const QPointF corners[] = {top, right, bottom, left};
  for (int i = 0; i < 4; ++i) {
    QPolygonF face;
    face << kCentre << corners[i] << corners[(i + 1) % 4];
    p.setPen(QPen(look.Body(QColor(110, 90, 40)), 1));
    p.setBrush(faces[(i + 3) % 4]);
    p.drawPolygon(face);
  }
  p.setPen(QPen(WithAlpha(look.Body(QColor(255, 255, 240)), 120), 0.8));
  for (double k = 0.25; k < 1; k += 0.25) {
    QPolygonF band;
    for (QPointF c : corners) band << kCentre + (c - kCentre) * k;
    band << band.front();
    p.drawPolyline(band);
  }
  RoundLight(p, kCentre, 4, look.Light(QColor(255, 250, 200)));
  Status(p, kCentre + QPointF(0, s + 8), look);
  (void)rng;
}

// A pavilion of six glass petals around a lit stage.
void Pavilion(QPainter& p, const Type& t, const Look& look) {
  const double ring = 32 + 4 * t.tier, petal = 19;
  QPainterPath all;
  for (int i = 0; i < 6; ++i) {
    const double a = (30 + 60 * i) * std::numbers::pi / 180;
    all.addEllipse(kCentre + QPointF(std::cos(a), std::sin(a)) * ring, petal, petal);
  }
  all.addEllipse(kCentre, ring, ring);
  all = all.simplified();
  Shadow(p, all, 4, 6);
  p.setPen(QPen(look.Body(QColor(90, 90, 100)), 1.2));
  p.setBrush(look.Body(QColor(205, 208, 216)));
  p.drawPath(all);
  const QColor colours[] = {t.accent, QColor(240, 120, 170), QColor(120, 200, 255)};
  for (int i = 0; i < 6; ++i) {
    const double a = (30 + 60 * i) * std::numbers::pi / 180;
    const QPointF c = kCentre + QPointF(std::cos(a), std::sin(a)) * ring;
    GlassDome(p, c, petal - 4, look.Body(colours[i % 3]));
    RoundLight(p, c + QPointF(std::cos(a), std::sin(a)) * (petal - 8), 1.8, look.Light(kWindow));
  }
  QRadialGradient stage(kCentre, 20);
  stage.setColorAt(0, look.Light(QColor(255, 250, 220)));
  stage.setColorAt(0.5, look.Light(QColor(255, 120, 200)));
  stage.setColorAt(1, look.Light(QColor(120, 60, 160)));
  p.setPen(QPen(look.Body(QColor(80, 80, 90)), 1.5));
  p.setBrush(stage);
  p.drawEllipse(kCentre, 18, 18);
  Status(p, kCentre + QPointF(0, 12), look);
}

void Leisure(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  if (t.variant % 3 == 2) {
    Pavilion(p, t, look);
  } else if (t.variant % 3 == 0) {
    // Park under glass: trees, a pond and lit paths.
    const double r = 48 + 6 * t.tier;
    QPainterPath dome;
    dome.addEllipse(kCentre, r, r);
    Shadow(p, dome, 4, 6);
    p.save();
    p.setClipPath(dome);
    p.setPen(Qt::NoPen);
    p.setBrush(look.Body(QColor(70, 150, 80)));
    p.drawPath(dome);
    p.setBrush(look.Body(QColor(70, 150, 220)));
    p.drawEllipse(kCentre + QPointF(10, 8), 16, 11);
    p.setPen(QPen(look.Body(QColor(220, 205, 170)), 3));
    p.drawLine(kCentre + QPointF(-r, 0), kCentre + QPointF(r, 0));
    p.drawLine(kCentre + QPointF(0, -r), kCentre + QPointF(-6, r));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 22; ++i) {
      const QPointF c = kCentre + QPointF(rng.Range(-r, r), rng.Range(-r, r));
      if (std::hypot(c.x() - 74, c.y() - 72) < 18) continue;
      const double tr = rng.Range(4, 7);
      p.setBrush(look.Body(QColor(25, 80, 40)));
      p.drawEllipse(c + QPointF(1.5, 2), tr, tr);
      p.setBrush(look.Body(Mix(QColor(60, 150, 60), t.accent, 0.2 + 0.3 * rng.Uniform())));
      p.drawEllipse(c, tr, tr);
    }
    for (int i = 0; i < 8; ++i) RoundLight(p, kCentre + QPointF(-r + 8 + i * (2 * r - 16) / 7, -3), 1.4, look.Light(kWindow));
    p.restore();
    GlassDome(p, kCentre, r, look.on ? QColor(180, 230, 255) : QColor(130, 140, 150), 0.45);
    Status(p, kCentre + QPointF(0, r - 6), look);
  } else {
    // Arena: tiers of seats around a playing field.
    const double rx = 54, ry = 42 + 6 * t.tier;
    QPainterPath bowl;
    bowl.addEllipse(kCentre, rx, ry);
    Shadow(p, bowl, 4, 6);
    const QColor tiers[] = {QColor(200, 200, 206), t.accent, QColor(170, 172, 180), Shade(t.accent, 0.8)};
    for (int k = 0; k < 4; ++k) {
      p.setPen(QPen(look.Body(QColor(90, 90, 96)), 1));
      p.setBrush(look.Body(tiers[k]));
      p.drawEllipse(kCentre, rx - k * 6, ry - k * 6);
    }
    p.setBrush(look.Body(QColor(90, 170, 90)));
    p.drawEllipse(kCentre, rx - 26, ry - 26);
    p.setPen(QPen(look.Body(QColor(240, 240, 240)), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(kCentre, 6, 6);
    p.drawLine(kCentre + QPointF(0, -(ry - 26)), kCentre + QPointF(0, ry - 26));
    for (int i = 0; i < 4; ++i) {
      const double a = (45 + 90 * i) * std::numbers::pi / 180;
      RoundLight(p, kCentre + QPointF(std::cos(a) * (rx - 2), std::sin(a) * (ry - 2)), 3, look.Light(QColor(255, 255, 220)));
    }
    Status(p, kCentre + QPointF(0, ry - 3), look);
  }
}

void Generic(QPainter& p, const Type& t, const Look& look, Rng& rng) {
  const QRectF r(22, 26, 84, 76);
  QPainterPath bp;
  bp.addRoundedRect(r, 6, 6);
  Shadow(p, bp, 4, 6);
  Block(p, r, look.Body(QColor(180, 184, 190)), 3, 6);
  for (int i = 0; i < 3; ++i) {
    const QRectF v(r.left() + 10 + i * 24, r.top() + 12, 14, 14);
    Block(p, v, look.Body(i == 1 ? t.accent : QColor(140, 144, 150)), 2, 2);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(look.Light(kWindow));
  for (int i = 0; i < 8; ++i) p.drawRect(QRectF(r.left() + 8 + i * 9.5, r.bottom() - 18, 5, 4));
  Status(p, QPointF(r.right() - 8, r.top() + 8), look);
  (void)rng;
}

QImage Draw(const Type& t, const Look& look) {
  QImage img = NewImage(kSize, kSize);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // The dearer types of a kind spread over more of their cell.
  const double scale = 0.9 + 0.1 * t.tier;
  p.translate(kCentre);
  p.scale(scale, scale);
  p.translate(-kCentre);
  Rng rng(static_cast<uint64_t>(t.b.id) * 7919 + 17);
  switch (t.role) {
    case Role::Headquarters: Headquarters(p, t, look, rng); break;
    case Role::Housing: Housing(p, t, look, rng); break;
    case Role::Farm: Farm(p, t, look, rng); break;
    case Role::Power: Power(p, t, look, rng); break;
    case Role::Mine: Mine(p, t, look, rng); break;
    case Role::Factory: Factory(p, t, look, rng); break;
    case Role::Storage: Storage(p, t, look, rng); break;
    case Role::Spaceport: Spaceport(p, t, look, rng); break;
    case Role::Military: Military(p, t, look, rng); break;
    case Role::Science: Science(p, t, look, rng); break;
    case Role::Commerce: Commerce(p, t, look, rng); break;
    case Role::Leisure: Leisure(p, t, look, rng); break;
    case Role::Generic: Generic(p, t, look, rng); break;
  }
  p.end();
  return DitheredAlpha(img);
}

}  // namespace

void Buildings(Output& out, const std::vector<core::building>& types) {
  std::vector<Type> all;
  for (const core::building& b : types) {
    Type t;
    t.b = b;
    t.role = Classify(b);
    all.push_back(t);
  }
  // Rank by cost within each kind; the rank also picks the layout variant.
  std::map<Role, std::vector<Type*>> by_role;
  for (Type& t : all) by_role[t.role].push_back(&t);
  for (auto& [role, list] : by_role) {
    std::stable_sort(list.begin(), list.end(), [](const Type* a, const Type* b) {
      return a->b.cst != b->b.cst ? a->b.cst < b->b.cst : a->b.id < b->b.id;
    });
    for (size_t i = 0; i < list.size(); ++i) {
      list[i]->tier = list.size() == 1 ? 0.5 : static_cast<double>(i) / static_cast<double>(list.size() - 1);
      list[i]->variant = static_cast<int>(i);
      list[i]->accent = kAccents[(static_cast<size_t>(role) * 3 + i) % std::size(kAccents)];
    }
  }
  for (const Type& t : all) {
    const std::string base = "bldg_" + std::to_string(t.b.id);
    out.Tga(base, Draw(t, Look{true}));
    out.Tga(base + "_off", Draw(t, Look{false}));
  }
}

}  // namespace artgen
