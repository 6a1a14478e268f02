// Everything else that stands or flies in the colony: the construction site, the craft,
// the selection marker, the progress bar and the connection tubes.
#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>
#include <numbers>
#include <string>

#include "artgen.h"
#include "paint.h"

namespace artgen {
namespace {

const QColor kHull(214, 218, 222);

void HazardFrame(QPainter& p, const QRectF& r, double w) {
  QPainterPath frame;
  frame.addRect(r);
  frame.addRect(r.adjusted(w, w, -w, -w));
  frame.setFillRule(Qt::OddEvenFill);
  p.save();
  p.setClipPath(frame);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(240, 196, 30));
  p.drawRect(r);
  p.setBrush(QColor(28, 28, 28));
  for (double x = r.left() - r.height(); x < r.right() + r.height(); x += 12) {
    QPolygonF s;
    s << QPointF(x, r.bottom()) << QPointF(x + 6, r.bottom()) << QPointF(x + 6 + r.height(), r.top())
      << QPointF(x + r.height(), r.top());
    p.drawPolygon(s);
  }
  p.restore();
}

QImage ConstructionSite() {
  QImage img = NewImage(128, 128);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF site(10, 10, 108, 108);
  QPainterPath sp;
  sp.addRect(site);
  Shadow(p, sp, 2, 3, 70);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 116, 110));
  p.drawRect(site);
  // Foundation slab poured so far.
  p.setBrush(QColor(160, 158, 152));
  p.drawRect(QRectF(24, 24, 80, 80));
  HazardFrame(p, site, 7);
  // Scaffolding grid with a half-raised dome frame.
  p.setPen(QPen(QColor(200, 204, 210), 1.6));
  for (int i = 0; i <= 4; ++i) {
    p.drawLine(QPointF(24 + i * 20, 24), QPointF(24 + i * 20, 104));
    p.drawLine(QPointF(24, 24 + i * 20), QPointF(104, 24 + i * 20));
  }
  p.setPen(QPen(QColor(90, 96, 104), 3));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(36, 36, 56, 56), 30 * 16, 200 * 16);
  p.drawLine(QPointF(64, 64), QPointF(64 - 24, 64 - 14));
  p.drawLine(QPointF(64, 64), QPointF(64 + 6, 64 - 28));
  // Crates of material.
  const QRectF crates[] = {{82, 82, 16, 14}, {84, 98, 14, 10}, {28, 88, 14, 14}};
  for (const QRectF& c : crates) {
    QPainterPath cp;
    cp.addRect(c);
    Shadow(p, cp, 2, 3);
    Block(p, c, QColor(190, 130, 60), 2, 1);
  }
  // Crane: mast, jib and counterweight, seen from above.
  const QPointF mast(40, 40);
  p.save();
  p.translate(mast);
  p.rotate(35);
  QPainterPath jib;
  jib.addRect(QRectF(-18, -4, 82, 8));
  Shadow(p, jib, 6, 8, 80);
  p.setPen(QPen(QColor(130, 100, 20), 1));
  p.setBrush(QColor(245, 200, 40));
  p.drawRect(QRectF(-18, -4, 82, 8));
  p.setPen(QPen(QColor(130, 100, 20), 1));
  for (double x = -18; x < 64; x += 8) p.drawLine(QPointF(x, -4), QPointF(x + 8, 4));
  p.setBrush(QColor(90, 90, 95));
  p.drawRect(QRectF(-22, -6, 10, 12));
  p.setBrush(QColor(60, 60, 64));
  p.drawRect(QRectF(54, -2, 6, 4));
  p.restore();
  Block(p, QRectF(mast.x() - 6, mast.y() - 6, 12, 12), QColor(230, 180, 40), 2, 1);
  RoundLight(p, mast, 2.5, QColor(255, 120, 40));
  return img;
}

// The freighter that lands at the spaceport, nose toward +Y (the top of the image).
QImage TradeShip() {
  QImage img = NewImage(128, 128);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath hull;
  hull.moveTo(64, 6);
  hull.cubicTo(78, 10, 82, 22, 82, 34);
  hull.lineTo(82, 104);
  hull.lineTo(74, 116);
  hull.lineTo(54, 116);
  hull.lineTo(46, 104);
  hull.lineTo(46, 34);
  hull.cubicTo(46, 22, 50, 10, 64, 6);
  // Stubby wings at the tail.
  QPainterPath wings;
  wings.moveTo(46, 76);
  wings.lineTo(16, 104);
  wings.lineTo(18, 114);
  wings.lineTo(46, 104);
  wings.closeSubpath();
  wings.moveTo(82, 76);
  wings.lineTo(112, 104);
  wings.lineTo(110, 114);
  wings.lineTo(82, 104);
  wings.closeSubpath();
  Shadow(p, hull.united(wings), 6, 8, 90);
  // Engines glowing at the tail.
  for (double x : {52.0, 64.0, 76.0}) RoundLight(p, QPointF(x, 118), 4.5, QColor(120, 200, 255));
  QLinearGradient wg(16, 0, 112, 0);
  wg.setColorAt(0, QColor(150, 154, 160));
  wg.setColorAt(0.5, QColor(230, 232, 236));
  wg.setColorAt(1, QColor(120, 124, 130));
  p.setPen(QPen(QColor(80, 84, 90), 1));
  p.setBrush(wg);
  p.drawPath(wings);
  p.setBrush(QColor(235, 120, 40));
  p.drawRect(QRectF(17, 104, 10, 6));
  p.drawRect(QRectF(101, 104, 10, 6));
  QLinearGradient hg(46, 0, 82, 0);
  hg.setColorAt(0, QColor(170, 174, 180));
  hg.setColorAt(0.4, QColor(245, 246, 248));
  hg.setColorAt(1, QColor(130, 134, 140));
  p.setBrush(hg);
  p.drawPath(hull);
  // Cargo containers along the spine.
  const QColor cargo[] = {QColor(235, 120, 40), QColor(60, 130, 200), QColor(235, 120, 40), QColor(90, 170, 110),
                          QColor(60, 130, 200), QColor(235, 120, 40)};
  for (int i = 0; i < 6; ++i) {
    const double y = 38 + (i / 2) * 20;
    const double x = i % 2 == 0 ? 50 : 65;
    Block(p, QRectF(x, y, 13, 18), cargo[i], 2, 1);
  }
  // Cockpit.
  QPainterPath glass;
  glass.moveTo(64, 12);
  glass.cubicTo(72, 14, 74, 22, 72, 28);
  glass.lineTo(56, 28);
  glass.cubicTo(54, 22, 56, 14, 64, 12);
  QLinearGradient gg(56, 12, 72, 28);
  gg.setColorAt(0, QColor(200, 240, 255));
  gg.setColorAt(1, QColor(30, 80, 140));
  p.setBrush(gg);
  p.setPen(QPen(QColor(40, 50, 60), 1));
  p.drawPath(glass);
  RoundLight(p, QPointF(18, 110), 2, QColor(255, 60, 60));
  RoundLight(p, QPointF(110, 110), 2, QColor(60, 255, 100));
  return img;
}

// Raider, nose toward −X (the left of the image): the ships cross the colony leftward.
QImage PirateShip() {
  QImage img = NewImage(128, 128);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath body;
  body.moveTo(8, 64);
  body.lineTo(54, 52);
  body.lineTo(80, 18);
  body.lineTo(96, 20);
  body.lineTo(86, 50);
  body.lineTo(118, 56);
  body.lineTo(118, 72);
  body.lineTo(86, 78);
  body.lineTo(96, 108);
  body.lineTo(80, 110);
  body.lineTo(54, 76);
  body.closeSubpath();
  Shadow(p, body, 6, 8, 100);
  for (double y : {58.0, 70.0}) RoundLight(p, QPointF(120, y), 4.5, QColor(255, 70, 140));
  QLinearGradient g(0, 18, 0, 110);
  g.setColorAt(0, QColor(90, 88, 96));
  g.setColorAt(0.5, QColor(48, 44, 52));
  g.setColorAt(1, QColor(24, 22, 28));
  p.setPen(QPen(QColor(15, 12, 18), 1.5));
  p.setBrush(g);
  p.drawPath(body);
  // Red war paint along the wings and the spine.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 30, 40));
  QPolygonF stripe1, stripe2;
  stripe1 << QPointF(62, 50) << QPointF(82, 22) << QPointF(88, 23) << QPointF(70, 50);
  stripe2 << QPointF(62, 78) << QPointF(82, 106) << QPointF(88, 105) << QPointF(70, 78);
  p.drawPolygon(stripe1);
  p.drawPolygon(stripe2);
  p.drawRect(QRectF(40, 62, 60, 4));
  // Guns on the nose, the cockpit behind them.
  p.setBrush(QColor(20, 20, 22));
  p.drawRect(QRectF(2, 56, 26, 3));
  p.drawRect(QRectF(2, 69, 26, 3));
  QLinearGradient cg(30, 58, 48, 70);
  cg.setColorAt(0, QColor(255, 150, 130));
  cg.setColorAt(1, QColor(120, 10, 20));
  p.setBrush(cg);
  p.setPen(QPen(QColor(20, 10, 10), 1));
  p.drawEllipse(QPointF(40, 64), 10, 6);
  return img;
}

// Small passenger shuttle, nose toward +X: its roll angle is its heading.
QImage Shuttle() {
  QImage img = NewImage(64, 64);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath body;
  body.moveTo(58, 32);
  body.cubicTo(52, 24, 40, 22, 30, 22);
  body.lineTo(14, 8);
  body.lineTo(8, 10);
  body.lineTo(12, 26);
  body.lineTo(8, 28);
  body.lineTo(8, 36);
  body.lineTo(12, 38);
  body.lineTo(8, 54);
  body.lineTo(14, 56);
  body.lineTo(30, 42);
  body.cubicTo(40, 42, 52, 40, 58, 32);
  Shadow(p, body, 3, 4, 90);
  RoundLight(p, QPointF(6, 32), 3.5, QColor(140, 210, 255));
  QLinearGradient g(0, 8, 0, 56);
  g.setColorAt(0, QColor(250, 250, 252));
  g.setColorAt(0.5, QColor(225, 228, 232));
  g.setColorAt(1, QColor(140, 144, 150));
  p.setPen(QPen(QColor(70, 74, 80), 1));
  p.setBrush(g);
  p.drawPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 150, 220));
  p.drawRect(QRectF(18, 30, 24, 4));
  QLinearGradient cg(40, 27, 54, 37);
  cg.setColorAt(0, QColor(210, 245, 255));
  cg.setColorAt(1, QColor(30, 80, 140));
  p.setBrush(cg);
  p.drawEllipse(QPointF(47, 32), 6, 4);
  return img;
}

QImage SelectionMarker() {
  QImage img = NewImage(128, 128);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor cyan(90, 240, 255);
  // Soft glow under crisp corner brackets.
  for (int pass = 0; pass < 2; ++pass) {
    const QPen pen = pass == 0 ? QPen(WithAlpha(cyan, 70), 10, Qt::SolidLine, Qt::RoundCap)
                               : QPen(cyan, 4, Qt::SolidLine, Qt::SquareCap);
    p.setPen(pen);
    const double a = 6, b = 122, l = 30;
    p.drawLine(QPointF(a, a), QPointF(a + l, a));
    p.drawLine(QPointF(a, a), QPointF(a, a + l));
    p.drawLine(QPointF(b, a), QPointF(b - l, a));
    p.drawLine(QPointF(b, a), QPointF(b, a + l));
    p.drawLine(QPointF(a, b), QPointF(a + l, b));
    p.drawLine(QPointF(a, b), QPointF(a, b - l));
    p.drawLine(QPointF(b, b), QPointF(b - l, b));
    p.drawLine(QPointF(b, b), QPointF(b, b - l));
  }
  p.setPen(QPen(WithAlpha(cyan, 110), 1.5, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(6, 6, 116, 116));
  return img;
}

QImage ProgressBar() {
  // Stretched to any length, so it only varies across its height.
  QImage img(32, 4, QImage::Format_ARGB32_Premultiplied);
  const QColor rows[] = {QColor(200, 255, 170), QColor(110, 230, 90), QColor(60, 190, 60), QColor(30, 120, 40)};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 32; ++x) img.setPixelColor(x, y, rows[y]);
  return img;
}

// One connection tube texture: a strip through the centre of a 14-unit square, along the
// kind's direction. The two halves of a connection are 10 units apart and overlap, so the
// pattern repeats 4 times per 10 units along the strip and the halves line up exactly.
QImage Tube(int kind, int variant) {
  constexpr int kPx = 64;
  constexpr double kUnit = kPx / 14.0;
  const bool diagonal = kind == 0 || kind == 1;
  // Image y grows downward while the world's Y grows upward: kind 0 runs toward +X+Y, that
  // is to the upper right of the image.
  const double angle = kind == 3 ? 0 : kind == 2 ? 90 : kind == 0 ? -45 : 45;
  const double period = (diagonal ? 10.0 * std::numbers::sqrt2 : 10.0) / 4 * kUnit;
  const double half_len = kPx;  // long enough to leave the square on both sides
  const double width = 4.2 * kUnit;

  QImage img = NewImage(kPx, kPx);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QTransform t;
  t.translate(kPx / 2.0, kPx / 2.0);
  t.rotate(angle);
  QPainterPath strip;
  strip.addRect(QRectF(-half_len, -width / 2, 2 * half_len, width));
  // Tubes lie on the ground: a hard dark contact shadow on the side away from the light
  // (the picture has no half-clear texels, see HardAlpha).
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(48, 34, 30));
  p.drawPath(t.map(strip).translated(1.2, 2.0));
  p.setTransform(t);

  auto across = [&](const QColor& light, const QColor& mid, const QColor& dark, double w) {
    QLinearGradient g(0, -w / 2, 0, w / 2);
    g.setColorAt(0, light);
    g.setColorAt(0.45, mid);
    g.setColorAt(1, dark);
    return g;
  };

  if (variant == 0) {
    // Pressurised corridor with ribs.
    p.setBrush(across(QColor(235, 237, 240), QColor(180, 184, 190), QColor(96, 100, 108), width));
    p.drawPath(strip);
    p.setBrush(across(QColor(170, 174, 180), QColor(120, 124, 130), QColor(70, 72, 78), width));
    for (double s = -half_len; s < half_len; s += period)
      p.drawRect(QRectF(s, -width / 2 - 0.8, period * 0.22, width + 1.6));
  } else if (variant == 1) {
    // Glazed walkway, lit inside.
    p.setBrush(across(QColor(200, 204, 210), QColor(150, 154, 160), QColor(80, 84, 90), width));
    p.drawPath(strip);
    p.setBrush(across(QColor(190, 250, 255), QColor(70, 190, 210), QColor(30, 90, 120), width * 0.55));
    p.drawRect(QRectF(-half_len, -width * 0.275, 2 * half_len, width * 0.55));
    for (double s = -half_len; s < half_len; s += period) {
      p.setBrush(QColor(110, 116, 124));
      p.drawRect(QRectF(s, -width / 2, period * 0.12, width));
      p.setBrush(QColor(255, 240, 170));
      p.drawEllipse(QPointF(s + period * 0.56, 0), 1.1, 1.1);
    }
  } else {
    // Twin service conduits: power and coolant, clamped together.
    const double pipe = width * 0.42;
    p.setBrush(across(QColor(255, 200, 120), QColor(225, 130, 40), QColor(130, 60, 20), pipe));
    p.drawRect(QRectF(-half_len, -width / 2, 2 * half_len, pipe));
    p.setBrush(across(QColor(220, 225, 230), QColor(150, 160, 170), QColor(80, 88, 96), pipe));
    p.drawRect(QRectF(-half_len, width / 2 - pipe, 2 * half_len, pipe));
    p.setBrush(QColor(60, 62, 68));
    for (double s = -half_len; s < half_len; s += period)
      p.drawRect(QRectF(s, -width / 2 - 0.6, period * 0.16, width + 1.2));
  }
  p.end();
  return HardAlpha(img);
}

}  // namespace

// Sites and craft are drawn many times over the colony: without half-clear texels they
// need no blended pass.
void Construction(Output& out) { out.Tga("bldg_constr", DitheredAlpha(ConstructionSite())); }

void Craft(Output& out) {
  out.Tga("cargoship", DitheredAlpha(TradeShip()));
  out.Tga("pirate_ship", DitheredAlpha(PirateShip()));
  out.Tga("shuttle", DitheredAlpha(Shuttle()));
}

void Markers(Output& out) {
  out.Tga("selmarker", SelectionMarker());
  out.Tga("upg_bar", ProgressBar());
}

void Tubes(Output& out) {
  for (int kind = 0; kind < 4; ++kind)
    for (int variant = 0; variant < 3; ++variant)
      out.Tga("tube_" + std::to_string(kind) + "_" + std::to_string(variant), Tube(kind, variant));
}

}  // namespace artgen
