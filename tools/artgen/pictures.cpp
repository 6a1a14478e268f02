// The message pictures (one per message kind) and the launcher logo.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <numbers>
#include <string>

#include "artgen.h"
#include "paint.h"

namespace artgen {
namespace {

void Stars(QPainter& p, const QRectF& area, int count, uint64_t seed) {
  Rng rng(seed);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < count; ++i) {
    const QPointF c(rng.Range(area.left(), area.right()), rng.Range(area.top(), area.bottom()));
    const double r = rng.Uniform() < 0.9 ? 0.6 : 1.2;
    p.setBrush(QColor(255, 255, 255, 120 + rng.Int(135)));
    p.drawEllipse(c, r, r);
  }
}

void Sky(QPainter& p, const QRectF& r, const QColor& top, const QColor& horizon) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, horizon);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRect(r);
}

// Ground seen edge-on: a curve of the planet with a rust glow along its rim.
void Horizon(QPainter& p, double w, double y, const QColor& ground, const QColor& rim) {
  QPainterPath land;
  land.moveTo(-10, y + 12);
  land.quadTo(w / 2, y - 10, w + 10, y + 12);
  land.lineTo(w + 10, y + 400);
  land.lineTo(-10, y + 400);
  land.closeSubpath();
  p.setPen(QPen(rim, 2));
  QLinearGradient g(0, y - 10, 0, y + 80);
  g.setColorAt(0, ground);
  g.setColorAt(1, Shade(ground, 0.35));
  p.setBrush(g);
  p.drawPath(land);
}

void DomeSilhouette(QPainter& p, QPointF base, double r, const QColor& body, const QColor& window) {
  p.setPen(QPen(Shade(body, 0.6), 1));
  QRadialGradient g(base - QPointF(r * 0.3, r * 0.6), r * 1.2);
  g.setColorAt(0, Mix(body, Qt::white, 0.4));
  g.setColorAt(1, Shade(body, 0.6));
  p.setBrush(g);
  p.drawChord(QRectF(base.x() - r, base.y() - r, 2 * r, 2 * r), 0, 180 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(window);
  for (int i = -1; i <= 1; ++i) p.drawEllipse(base + QPointF(i * r * 0.4, -r * 0.3), r * 0.08, r * 0.08);
}

void Frame(QPainter& p, double s, const QColor& rim) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(rim, 3));
  p.drawRoundedRect(QRectF(1.5, 1.5, s - 3, s - 3), 10, 10);
}

// Kind 0: the colony's first landing.
void Landing(QPainter& p) {
  Sky(p, QRectF(0, 0, 150, 150), QColor(10, 8, 30), QColor(120, 60, 80));
  Stars(p, QRectF(0, 0, 150, 90), 60, 101);
  Horizon(p, 150, 104, QColor(170, 96, 64), QColor(255, 170, 110));
  DomeSilhouette(p, {36, 118}, 16, QColor(210, 214, 220), QColor(255, 214, 120));
  DomeSilhouette(p, {60, 122}, 10, QColor(210, 214, 220), QColor(255, 214, 120));
  // The lander coming down on its flame.
  QRadialGradient flame(QPointF(104, 86), 18);
  flame.setColorAt(0, QColor(255, 250, 210));
  flame.setColorAt(0.4, QColor(255, 170, 60, 200));
  flame.setColorAt(1, QColor(255, 90, 30, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(flame);
  p.drawEllipse(QPointF(104, 88), 10, 20);
  QPainterPath lander;
  lander.moveTo(104, 44);
  lander.cubicTo(114, 50, 116, 66, 114, 76);
  lander.lineTo(94, 76);
  lander.cubicTo(92, 66, 94, 50, 104, 44);
  p.setPen(QPen(QColor(60, 64, 70), 1));
  p.setBrush(QColor(230, 232, 236));
  p.drawPath(lander);
  p.setPen(QPen(QColor(200, 204, 210), 2));
  p.drawLine(QPointF(95, 74), QPointF(88, 84));
  p.drawLine(QPointF(113, 74), QPointF(120, 84));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 160, 230));
  p.drawEllipse(QPointF(104, 56), 3.5, 3.5);
  Frame(p, 150, QColor(120, 200, 230));
}

// Kind 1: the colony's end — a cracked dome under a dying sun.
void GameOver(QPainter& p) {
  Sky(p, QRectF(0, 0, 150, 150), QColor(30, 6, 10), QColor(150, 50, 30));
  Stars(p, QRectF(0, 0, 150, 60), 25, 102);
  RoundLight(p, QPointF(110, 92), 12, QColor(255, 120, 60));
  Horizon(p, 150, 100, QColor(90, 44, 36), QColor(200, 90, 50));
  // The broken dome: an arc with a gap and fallen panels.
  p.setPen(QPen(QColor(150, 150, 156), 5, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(22, 68, 80, 80), 0, 70 * 16);
  p.drawArc(QRectF(22, 68, 80, 80), 100 * 16, 80 * 16);
  p.setPen(QPen(QColor(150, 150, 156), 2));
  p.drawLine(QPointF(62, 70), QPointF(62, 108));
  p.drawLine(QPointF(36, 82), QPointF(88, 82));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 120, 126));
  p.drawPolygon(QPolygonF{QPointF(52, 118), QPointF(66, 112), QPointF(70, 120)});
  p.drawPolygon(QPolygonF{QPointF(78, 122), QPointF(90, 116), QPointF(88, 126)});
  // Smoke rising.
  for (int i = 0; i < 5; ++i) {
    p.setBrush(QColor(40, 30, 34, 120 - i * 18));
    p.drawEllipse(QPointF(62 + i * 5, 62 - i * 11), 8 + i * 3, 6 + i * 2);
  }
  Frame(p, 150, QColor(220, 80, 60));
}

QPainterPath Raider(double s) {
  QPainterPath body;
  body.moveTo(0, 0);
  body.lineTo(10 * s, -3 * s);
  body.lineTo(16 * s, -11 * s);
  body.lineTo(19 * s, -10 * s);
  body.lineTo(17 * s, -2 * s);
  body.lineTo(24 * s, -1.5 * s);
  body.lineTo(24 * s, 1.5 * s);
  body.lineTo(17 * s, 2 * s);
  body.lineTo(19 * s, 10 * s);
  body.lineTo(16 * s, 11 * s);
  body.lineTo(10 * s, 3 * s);
  body.closeSubpath();
  return body;
}

// Kind 2: raiders strafing the colony.
void Raid(QPainter& p) {
  Sky(p, QRectF(0, 0, 150, 150), QColor(14, 6, 22), QColor(90, 30, 50));
  Stars(p, QRectF(0, 0, 150, 100), 50, 103);
  Horizon(p, 150, 112, QColor(150, 80, 56), QColor(255, 120, 90));
  DomeSilhouette(p, {46, 128}, 16, QColor(200, 204, 210), QColor(255, 214, 120));
  DomeSilhouette(p, {84, 130}, 11, QColor(200, 204, 210), QColor(255, 214, 120));
  const QPointF ships[] = {{30, 40}, {70, 24}, {92, 58}};
  const double scales[] = {1.6, 1.2, 1.9};
  for (int i = 0; i < 3; ++i) {
    // Their fire hits the ground.
    p.setPen(QPen(QColor(255, 60, 80, 220), 1.6));
    p.drawLine(ships[i], QPointF(40 + i * 22, 122));
    QPainterPath ship = Raider(scales[i]).translated(ships[i]);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(QColor(50, 44, 56));
    p.drawPath(ship);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 30, 40));
    p.drawRect(QRectF(ships[i].x() + 6 * scales[i], ships[i].y() - 0.8 * scales[i], 14 * scales[i], 1.6 * scales[i]));
    RoundLight(p, ships[i] + QPointF(25 * scales[i], 0), 2 * scales[i], QColor(255, 80, 150));
  }
  RoundLight(p, QPointF(62, 122), 6, QColor(255, 200, 80));
  Frame(p, 150, QColor(230, 60, 70));
}

// Kind 3: an incoming signal picked up by the colony's dish.
void Signal(QPainter& p) {
  Sky(p, QRectF(0, 0, 150, 150), QColor(6, 14, 34), QColor(40, 70, 110));
  Stars(p, QRectF(0, 0, 150, 110), 70, 104);
  Horizon(p, 150, 116, QColor(150, 90, 66), QColor(230, 160, 120));
  // Waves arriving from the sky.
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 4; ++i) {
    p.setPen(QPen(QColor(110, 230, 255, 230 - i * 45), 3));
    const double r = 22 + i * 16;
    p.drawArc(QRectF(96 - r, 34 - r, 2 * r, 2 * r), 200 * 16, 70 * 16);
  }
  RoundLight(p, QPointF(112, 22), 4, QColor(200, 250, 255));
  // The dish on its mast, tilted toward the source.
  p.setPen(QPen(QColor(180, 184, 190), 4));
  p.drawLine(QPointF(52, 124), QPointF(58, 96));
  p.save();
  p.translate(58, 92);
  p.rotate(-35);
  QPainterPath dish;
  dish.moveTo(-24, 0);
  dish.quadTo(0, 22, 24, 0);
  dish.closeSubpath();
  QLinearGradient g(-24, 0, 24, 14);
  g.setColorAt(0, QColor(250, 250, 252));
  g.setColorAt(1, QColor(150, 154, 160));
  p.setPen(QPen(QColor(90, 94, 100), 1));
  p.setBrush(g);
  p.drawPath(dish);
  p.setPen(QPen(QColor(200, 204, 210), 1.5));
  p.drawLine(QPointF(-12, 4), QPointF(0, -18));
  p.drawLine(QPointF(12, 4), QPointF(0, -18));
  p.restore();
  DomeSilhouette(p, {104, 128}, 12, QColor(210, 214, 220), QColor(255, 214, 120));
  Frame(p, 150, QColor(110, 210, 240));
}

// Rounded corners let the in-scene panel show through; the window's bitmap stays square.
QImage Picture(int kind, int size, bool rounded) {
  QImage img = NewImage(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  if (rounded) {
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, size, size), 10.0 * size / 150, 10.0 * size / 150);
    p.setClipPath(clip);
  }
  p.scale(size / 150.0, size / 150.0);
  switch (kind) {
    case 0: Landing(p); break;
    case 1: GameOver(p); break;
    case 2: Raid(p); break;
    default: Signal(p); break;
  }
  return img;
}

// Letters of the title as centre lines in a unit box, drawn with a broad pen.
QPainterPath Letter(char c) {
  QPainterPath path;
  auto line = [&path](std::initializer_list<QPointF> pts, bool closed = false) {
    bool first = true;
    for (QPointF pt : pts) {
      if (first) path.moveTo(pt); else path.lineTo(pt);
      first = false;
    }
    if (closed) path.closeSubpath();
  };
  switch (c) {
    case 'Q':
      line({{0.22, 0}, {0.78, 0}, {1, 0.22}, {1, 0.78}, {0.78, 1}, {0.22, 1}, {0, 0.78}, {0, 0.22}}, true);
      line({{0.62, 0.7}, {1.02, 1.12}});
      break;
    case 'U': line({{0, 0}, {0, 0.78}, {0.22, 1}, {0.78, 1}, {1, 0.78}, {1, 0}}); break;
    case 'E':
      line({{1, 0}, {0, 0}, {0, 1}, {1, 1}});
      line({{0, 0.5}, {0.72, 0.5}});
      break;
    case 'N': line({{0, 1}, {0, 0}, {1, 1}, {1, 0}}); break;
    case 'M': line({{0, 1}, {0, 0}, {0.5, 0.5}, {1, 0}, {1, 1}}); break;
    case 'A':
      line({{0, 1}, {0, 0.28}, {0.28, 0}, {0.72, 0}, {1, 0.28}, {1, 1}});
      line({{0, 0.56}, {1, 0.56}});
      break;
    case 'R':
      line({{0, 1}, {0, 0}, {0.78, 0}, {1, 0.2}, {1, 0.36}, {0.78, 0.56}, {0, 0.56}});
      line({{0.5, 0.56}, {1, 1}});
      break;
    default: break;
  }
  return path;
}

QPainterPath Title(const std::string& text, QPointF origin, double w, double h, double gap, double stroke) {
  QPainterPath all;
  QPainterPathStroker s;
  s.setWidth(stroke);
  s.setCapStyle(Qt::SquareCap);
  s.setJoinStyle(Qt::MiterJoin);
  double x = origin.x();
  for (char c : text) {
    QTransform t;
    t.translate(x, origin.y());
    t.scale(w, h);
    all = all.united(s.createStroke(t.map(Letter(c))).simplified());
    x += w + gap;
  }
  return all.simplified();
}

QImage LogoImage() {
  const int w = 634, h = 210;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Sky(p, QRectF(0, 0, w, h), QColor(8, 6, 26), QColor(110, 50, 70));
  Stars(p, QRectF(0, 0, w, 150), 260, 201);
  // A ringed moon over the colony.
  const QPointF moon(96, 62);
  p.setPen(QPen(QColor(230, 200, 160, 150), 3));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(moon, 70, 14);
  QRadialGradient mg(moon - QPointF(14, 14), 50);
  mg.setColorAt(0, QColor(250, 210, 170));
  mg.setColorAt(0.6, QColor(190, 110, 90));
  mg.setColorAt(1, QColor(70, 30, 50));
  p.setPen(Qt::NoPen);
  p.setBrush(mg);
  p.drawEllipse(moon, 38, 38);
  p.setPen(QPen(QColor(240, 215, 180, 220), 3));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(moon.x() - 70, moon.y() - 14, 140, 28), 180 * 16, 180 * 16);
  // The plain with the colony along the horizon; the lower strip stays dark for the buttons.
  Horizon(p, w, 150, QColor(150, 80, 56), QColor(255, 160, 100));
  const double domes[][2] = {{330, 18}, {366, 12}, {300, 10}, {410, 22}, {452, 14}, {480, 9}, {250, 8}};
  for (const auto& d : domes) DomeSilhouette(p, QPointF(d[0], 152 - (d[0] > 300 && d[0] < 360 ? 2 : 0)), d[1], QColor(200, 204, 212), QColor(255, 214, 120));
  p.setPen(QPen(QColor(200, 204, 212), 2));
  p.drawLine(QPointF(520, 150), QPointF(520, 118));
  RoundLight(p, QPointF(520, 116), 2.5, QColor(255, 80, 60));
  QLinearGradient fade(0, 165, 0, h);
  fade.setColorAt(0, QColor(0, 0, 0, 0));
  fade.setColorAt(1, QColor(0, 0, 0, 170));
  p.setPen(Qt::NoPen);
  p.setBrush(fade);
  p.drawRect(QRectF(0, 165, w, h - 165));
  // The title, with a warm glow behind it.
  const double lw = 46, lh = 62, gap = 16, stroke = 11;
  const double total = 7 * lw + 6 * gap;
  const QPainterPath title = Title("QUENMAR", QPointF(w - total - 40, 34), lw, lh, gap, stroke);
  for (int i = 5; i >= 1; --i) {
    p.setPen(QPen(QColor(255, 140, 60, 22), i * 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(title);
  }
  QLinearGradient tg(0, 28, 0, 104);
  tg.setColorAt(0, QColor(255, 248, 220));
  tg.setColorAt(0.5, QColor(250, 190, 110));
  tg.setColorAt(1, QColor(210, 90, 50));
  p.setPen(QPen(QColor(40, 14, 30), 2.5));
  p.setBrush(tg);
  p.drawPath(title);
  return img;
}

}  // namespace

void Pictures(Output& out) {
  for (int kind = 0; kind < 4; ++kind) {
    const std::string name = "pic_" + std::to_string(kind);
    out.Tga(name, Picture(kind, 150, true));
    out.Bmp(name, Picture(kind, 200, false));
  }
}

void Logo(Output& out) { out.Bmp("launch_logo", LogoImage()); }

QImage AppIcon(int size) { return Picture(0, size, true); }

}  // namespace artgen
