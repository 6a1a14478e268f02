// The in-scene interface: button faces in their three states (normal, pressed, hovered),
// the warning ticks, the panel background and the information-bar icons. They are drawn at
// the pixel size the interface shows them at, since the renderer does not smooth textures.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "artgen.h"
#include "paint.h"

namespace artgen {
namespace {

enum class Scheme { Steel, Green };

struct Palette {
  QColor top, bottom, border, highlight;
};

Palette FacePalette(Scheme scheme, int state) {
  const bool green = scheme == Scheme::Green;
  const QColor base_top = green ? QColor(70, 150, 90) : QColor(74, 98, 126);
  const QColor base_bottom = green ? QColor(26, 78, 44) : QColor(30, 42, 60);
  switch (state) {
    case 1:  // pressed: sunk in, amber rim
      return {Shade(base_bottom, 0.9), Shade(base_top, 0.75), QColor(255, 190, 80), QColor(0, 0, 0, 90)};
    case 2:  // hovered: brighter, glowing rim
      return {Mix(base_top, Qt::white, 0.25), Mix(base_bottom, Qt::white, 0.12), QColor(130, 235, 255),
              QColor(255, 255, 255, 150)};
    default:
      return {base_top, base_bottom, green ? QColor(140, 230, 150) : QColor(120, 160, 195), QColor(255, 255, 255, 90)};
  }
}

QImage Face(int w, int h, Scheme scheme, int state) {
  const Palette pal = FacePalette(scheme, state);
  QImage img = NewImage(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double radius = std::min(w, h) * 0.18;
  const QRectF r(0.5, 0.5, w - 1, h - 1);
  QLinearGradient g(0, 0, 0, h);
  g.setColorAt(0, pal.top);
  g.setColorAt(1, pal.bottom);
  p.setPen(QPen(pal.border, std::max(1.0, std::min(w, h) / 16.0)));
  p.setBrush(g);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  // A highlight line under the top edge (a shadow line when pressed).
  p.setPen(QPen(pal.highlight, 1));
  const double inset = std::max(2.0, radius * 0.8);
  p.drawLine(QPointF(inset, 2.5), QPointF(w - inset, 2.5));
  return img;
}

using Glyph = std::function<void(QPainter&, double size, const QColor& ink)>;

// A square button: the face, then the glyph, nudged down-right while pressed.
QImage IconButton(int size, int state, const Glyph& glyph, Scheme scheme = Scheme::Steel) {
  QImage img = Face(size, size, scheme, state);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double nudge = state == 1 ? size / 30.0 : 0;
  p.translate(nudge, nudge);
  const QColor ink = state == 1 ? QColor(255, 215, 150) : state == 2 ? QColor(255, 255, 255) : QColor(220, 232, 244);
  glyph(p, size, ink);
  return img;
}

void Outlined(QPainter& p, const QPainterPath& path, const QColor& fill, double outline) {
  p.setPen(QPen(QColor(10, 16, 24, 220), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
}

QPainterPath Poly(std::initializer_list<QPointF> pts, double s) {
  QPainterPath path;
  bool first = true;
  for (QPointF pt : pts) {
    pt *= s;
    if (first) path.moveTo(pt); else path.lineTo(pt);
    first = false;
  }
  path.closeSubpath();
  return path;
}

// Glyphs in a unit square scaled to the button.
void ArrowUp(QPainter& p, double s, const QColor& ink) {
  Outlined(p, Poly({{0.5, 0.22}, {0.8, 0.66}, {0.2, 0.66}}, s), ink, s / 20);
}
void ArrowDown(QPainter& p, double s, const QColor& ink) {
  Outlined(p, Poly({{0.5, 0.78}, {0.8, 0.34}, {0.2, 0.34}}, s), ink, s / 20);
}
void BuildGlyph(QPainter& p, double s, const QColor& ink) {
  // A dome on a slab with a green plus: "put this building here".
  QPainterPath dome;
  dome.moveTo(0.16 * s, 0.74 * s);
  dome.arcTo(QRectF(0.16 * s, 0.36 * s, 0.5 * s, 0.76 * s), 180, -180);
  dome.closeSubpath();
  Outlined(p, dome, ink, s / 30);
  Outlined(p, Poly({{0.1, 0.74}, {0.72, 0.74}, {0.72, 0.82}, {0.1, 0.82}}, s), Shade(ink, 0.75), s / 30);
  QPainterPath plus;
  plus.addRect(QRectF(0.66 * s, 0.16 * s, 0.1 * s, 0.34 * s));
  plus.addRect(QRectF(0.54 * s, 0.28 * s, 0.34 * s, 0.1 * s));
  plus.setFillRule(Qt::WindingFill);
  Outlined(p, plus.simplified(), QColor(110, 240, 120), s / 30);
}
void UpgradeGlyph(QPainter& p, double s, const QColor& ink) {
  const QColor c = Mix(ink, QColor(100, 230, 255), 0.6);
  Outlined(p, Poly({{0.5, 0.14}, {0.84, 0.46}, {0.68, 0.46}, {0.5, 0.3}, {0.32, 0.46}, {0.16, 0.46}}, s), c, s / 24);
  Outlined(p, Poly({{0.5, 0.44}, {0.84, 0.76}, {0.68, 0.76}, {0.5, 0.6}, {0.32, 0.76}, {0.16, 0.76}}, s), c, s / 24);
  Outlined(p, Poly({{0.2, 0.82}, {0.8, 0.82}, {0.8, 0.88}, {0.2, 0.88}}, s), ink, s / 30);
}
void BlowGlyph(QPainter& p, double s, const QColor& ink) {
  const QPointF c(0.5 * s, 0.52 * s);
  Outlined(p, Star(c, 0.38 * s, 0.17 * s, 9, -90), QColor(240, 110, 40), s / 26);
  Outlined(p, Star(c, 0.22 * s, 0.1 * s, 7, -70), QColor(255, 220, 90), s / 40);
  (void)ink;
}
void PowerGlyph(QPainter& p, double s, const QColor& colour, bool glow) {
  const QPointF c(0.5 * s, 0.53 * s);
  if (glow) {
    QRadialGradient halo(c, 0.45 * s);
    halo.setColorAt(0, WithAlpha(colour, 140));
    halo.setColorAt(1, WithAlpha(colour, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(c, 0.45 * s, 0.45 * s);
  }
  for (int pass = 0; pass < 2; ++pass) {
    const double w = pass == 0 ? 0.17 * s : 0.1 * s;
    p.setPen(QPen(pass == 0 ? QColor(10, 16, 24, 220) : colour, w, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 0.28 * s, c.y() - 0.28 * s, 0.56 * s, 0.56 * s), 125 * 16, 290 * 16);
    p.drawLine(QPointF(c.x(), 0.14 * s), QPointF(c.x(), 0.5 * s));
  }
}
void CameraGlyph(QPainter& p, double s, const QColor& ink, int which) {
  // A ground line with the camera's way: down toward it, up from it, or back to the middle.
  Outlined(p, Poly({{0.16, 0.8}, {0.84, 0.8}, {0.84, 0.87}, {0.16, 0.87}}, s), Shade(ink, 0.8), s / 30);
  if (which == 0)
    Outlined(p, Poly({{0.5, 0.72}, {0.76, 0.42}, {0.6, 0.42}, {0.6, 0.14}, {0.4, 0.14}, {0.4, 0.42}, {0.24, 0.42}}, s), ink, s / 22);
  else if (which == 1)
    Outlined(p, Poly({{0.5, 0.12}, {0.76, 0.42}, {0.6, 0.42}, {0.6, 0.7}, {0.4, 0.7}, {0.4, 0.42}, {0.24, 0.42}}, s), ink, s / 22);
  else {
    Outlined(p, Poly({{0.22, 0.4}, {0.78, 0.4}, {0.78, 0.52}, {0.22, 0.52}}, s), ink, s / 22);
    Outlined(p, Poly({{0.5, 0.12}, {0.62, 0.28}, {0.38, 0.28}}, s), ink, s / 26);
    Outlined(p, Poly({{0.5, 0.74}, {0.62, 0.6}, {0.38, 0.6}}, s), ink, s / 26);
  }
}

QImage Tick(int kind) {
  const int s = 20;
  QImage img = NewImage(s, s);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor colours[] = {QColor(60, 200, 90), QColor(240, 180, 40), QColor(220, 50, 50)};
  const QColor c = colours[kind];
  QRadialGradient g(QPointF(7, 6), 14);
  g.setColorAt(0, Mix(c, Qt::white, 0.5));
  g.setColorAt(1, Shade(c, 0.7));
  p.setPen(QPen(QColor(10, 14, 20, 230), 1.2));
  p.setBrush(g);
  if (kind == 1)
    p.drawPath(Poly({{10, 1.2}, {19, 18.2}, {1, 18.2}}, 1));
  else
    p.drawEllipse(QPointF(10, 10), 8.8, 8.8);
  p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  if (kind == 0) {
    QPainterPath check(QPointF(5.5, 10.5));
    check.lineTo(8.7, 13.5);
    check.lineTo(14.5, 6.5);
    p.drawPath(check);
  } else if (kind == 1) {
    p.drawLine(QPointF(10, 7), QPointF(10, 12));
    p.drawPoint(QPointF(10, 15.4));
  } else {
    p.drawLine(QPointF(6.5, 6.5), QPointF(13.5, 13.5));
    p.drawLine(QPointF(13.5, 6.5), QPointF(6.5, 13.5));
  }
  return img;
}

QImage Panel() {
  const int s = 256;
  QImage img = NewImage(s, s);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, s);
  // Nearly opaque: the panels' small text must not compete with the colony behind them.
  g.setColorAt(0, QColor(22, 40, 58, 238));
  g.setColorAt(1, QColor(8, 16, 28, 238));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRect(0, 0, s, s);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(100, 180, 210, 235), 4));
  p.drawRect(QRectF(2, 2, s - 4, s - 4));
  p.setPen(QPen(QColor(20, 40, 55, 235), 3));
  p.drawRect(QRectF(6.5, 6.5, s - 13, s - 13));
  return img;
}

// The hover help's box: drawn at the height it is shown at (one line of text), so its
// one-pixel rim stays one pixel; stretched sideways to the text's width.
QImage TooltipBox() {
  const int w = 256, h = 20;
  QImage img = NewImage(w, h);
  QPainter p(&img);
  p.fillRect(0, 0, w, h, QColor(12, 20, 30, 235));
  p.fillRect(0, 0, w, 1, QColor(150, 210, 235));
  p.fillRect(0, h - 1, w, 1, QColor(150, 210, 235));
  p.fillRect(0, 0, 1, h, QColor(150, 210, 235));
  p.fillRect(w - 1, 0, 1, h, QColor(150, 210, 235));
  return img;
}

// --- information-bar icons, 20 x 20 pixels
using IconPainter = std::function<void(QPainter&)>;

QImage Icon(const IconPainter& draw) {
  QImage img = NewImage(20, 20);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return img;
}

void Coin(QPainter& p, QPointF c, double r) {
  QRadialGradient g(c - QPointF(r * 0.4, r * 0.4), r * 1.6);
  g.setColorAt(0, QColor(255, 245, 170));
  g.setColorAt(1, QColor(200, 140, 20));
  p.setPen(QPen(QColor(70, 45, 10), 1.1));
  p.setBrush(g);
  p.drawEllipse(c, r, r);
}

const IconPainter kIcons[21] = {
    // 0 money: a credit chip
    [](QPainter& p) {
      Coin(p, {10, 10}, 8);
      Outlined(p, Poly({{10, 5}, {14, 10}, {10, 15}, {6, 10}}, 1), QColor(255, 250, 220), 1);
    },
    // 1 population: a colonist
    [](QPainter& p) {
      QPainterPath body;
      body.addEllipse(QPointF(10, 6), 3.6, 3.6);
      body.moveTo(3, 18.5);
      body.cubicTo(3, 11, 17, 11, 17, 18.5);
      body.closeSubpath();
      Outlined(p, body, QColor(150, 210, 255), 1.2);
    },
    // 2 food: a sprouting leaf
    [](QPainter& p) {
      QPainterPath leaf(QPointF(4, 17));
      leaf.cubicTo(2, 6, 10, 2, 18, 2);
      leaf.cubicTo(18, 12, 12, 18, 4, 17);
      Outlined(p, leaf, QColor(110, 210, 80), 1.2);
      p.setPen(QPen(QColor(30, 90, 30), 1));
      p.drawLine(QPointF(4.5, 16.5), QPointF(15, 5));
    },
    // 3 energy: a bolt
    [](QPainter& p) {
      Outlined(p, Poly({{12, 1}, {4, 11}, {9, 11}, {7, 19}, {16, 8}, {11, 8}}, 1), QColor(255, 225, 60), 1.2);
    },
    // 4 raw materials: ore with a crystal
    [](QPainter& p) {
      Outlined(p, Poly({{2, 14}, {5, 7}, {12, 5}, {18, 10}, {17, 17}, {7, 18}}, 1), QColor(150, 110, 100), 1.2);
      Outlined(p, Poly({{9, 12}, {11, 5}, {14, 12}}, 1), QColor(190, 140, 255), 0.8);
    },
    // 5 products: a gear
    [](QPainter& p) {
      QPainterPath gear = Star({10, 10}, 9, 6.5, 8, 0);
      QPainterPath hole;
      hole.addEllipse(QPointF(10, 10), 2.6, 2.6);
      Outlined(p, gear.subtracted(hole), QColor(240, 150, 60), 1.1);
    },
    // 6 trade quota: goods going both ways
    [](QPainter& p) {
      Outlined(p, Poly({{2, 6}, {12, 6}, {12, 2.5}, {18, 8}, {12, 13.5}, {12, 10}, {2, 10}}, 1), QColor(120, 220, 230), 1);
      Outlined(p, Poly({{18, 14}, {8, 14}, {8, 17.5}, {2, 12}, {8, 6.5}, {8, 10}, {18, 10}}, 1).translated(0, 2),
               QColor(240, 180, 90), 1);
    },
    // 7 wages: a stack of coins
    [](QPainter& p) {
      for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(70, 45, 10), 1));
        p.setBrush(i == 2 ? QColor(255, 230, 120) : QColor(225, 170, 40));
        p.drawEllipse(QRectF(3, 12 - i * 4.2, 14, 6));
      }
    },
    // 8 day: a calendar leaf
    [](QPainter& p) {
      Outlined(p, Poly({{3, 4}, {17, 4}, {17, 18}, {3, 18}}, 1), QColor(235, 238, 242), 1.2);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(220, 70, 60));
      p.drawRect(QRectF(3.6, 4.6, 12.8, 4));
      p.setBrush(QColor(60, 70, 90));
      for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) p.drawRect(QRectF(5.5 + c * 3.4, 10.5 + r * 3.4, 2.2, 2.2));
    },
    // 9 science: a flask
    [](QPainter& p) {
      QPainterPath flask;
      flask.moveTo(8, 2);
      flask.lineTo(12, 2);
      flask.lineTo(12, 8);
      flask.lineTo(17, 17);
      flask.lineTo(3, 17);
      flask.lineTo(8, 8);
      flask.closeSubpath();
      Outlined(p, flask, QColor(220, 235, 245), 1.2);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(80, 230, 200));
      p.drawPath(Poly({{5.2, 13}, {14.8, 13}, {16.2, 16.3}, {3.8, 16.3}}, 1));
    },
    // 10 military: a shield
    [](QPainter& p) {
      QPainterPath shield(QPointF(10, 1.5));
      shield.lineTo(17, 4);
      shield.cubicTo(17, 12, 14, 16, 10, 18.5);
      shield.cubicTo(6, 16, 3, 12, 3, 4);
      shield.closeSubpath();
      Outlined(p, shield, QColor(120, 140, 110), 1.2);
      Outlined(p, Star({10, 9.5}, 4.5, 1.9, 5, -90), QColor(255, 215, 90), 0.6);
    },
    // 11 storage: stacked crates
    [](QPainter& p) {
      Outlined(p, Poly({{2, 10}, {9, 10}, {9, 18}, {2, 18}}, 1), QColor(200, 140, 70), 1);
      Outlined(p, Poly({{10, 10}, {18, 10}, {18, 18}, {10, 18}}, 1), QColor(180, 120, 60), 1);
      Outlined(p, Poly({{6, 2}, {14, 2}, {14, 10}, {6, 10}}, 1), QColor(220, 160, 80), 1);
    },
    // 12 living space: a habitat dome
    [](QPainter& p) {
      QPainterPath dome(QPointF(2, 16));
      dome.arcTo(QRectF(2, 4, 16, 24), 180, -180);
      dome.closeSubpath();
      Outlined(p, dome, QColor(225, 230, 236), 1.2);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 210, 110));
      p.drawRect(QRectF(8.5, 11, 3, 5));
    },
    // 13 attraction: a star
    [](QPainter& p) { Outlined(p, Star({10, 10.5}, 9, 3.8, 5, -90), QColor(255, 220, 80), 1.1); },
    // 14 credit: a bank front
    [](QPainter& p) {
      Outlined(p, Poly({{10, 1.5}, {18.5, 6.5}, {1.5, 6.5}}, 1), QColor(210, 215, 225), 1);
      for (int i = 0; i < 4; ++i) Outlined(p, Poly({{0, 0}, {2, 0}, {2, 8}, {0, 8}}, 1).translated(3 + i * 4, 8), QColor(210, 215, 225), 0.8);
      Outlined(p, Poly({{2, 16.5}, {18, 16.5}, {18, 18.5}, {2, 18.5}}, 1), QColor(210, 215, 225), 0.8);
    },
    // 15 income: rising arrow
    [](QPainter& p) {
      Outlined(p, Poly({{10, 1.5}, {18, 10}, {13, 10}, {13, 18}, {7, 18}, {7, 10}, {2, 10}}, 1), QColor(90, 220, 100), 1.1);
    },
    // 16 expenses: falling arrow
    [](QPainter& p) {
      Outlined(p, Poly({{10, 18.5}, {18, 10}, {13, 10}, {13, 2}, {7, 2}, {7, 10}, {2, 10}}, 1), QColor(235, 80, 70), 1.1);
    },
    // 17 spaceport: a rocket
    [](QPainter& p) {
      QPainterPath rocket(QPointF(10, 1));
      rocket.cubicTo(14, 4, 14, 10, 13, 14);
      rocket.lineTo(7, 14);
      rocket.cubicTo(6, 10, 6, 4, 10, 1);
      Outlined(p, rocket, QColor(230, 234, 240), 1.1);
      Outlined(p, Poly({{7, 10}, {3.5, 16}, {7, 14.5}}, 1), QColor(220, 80, 60), 0.8);
      Outlined(p, Poly({{13, 10}, {16.5, 16}, {13, 14.5}}, 1), QColor(220, 80, 60), 0.8);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 170, 50));
      p.drawEllipse(QPointF(10, 17), 2, 2.5);
      p.setBrush(QColor(70, 150, 220));
      p.drawEllipse(QPointF(10, 6.5), 1.6, 1.6);
    },
    // 18 interest: a percent sign
    [](QPainter& p) {
      p.setPen(QPen(QColor(10, 16, 24, 220), 4.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(15.5, 3.5), QPointF(4.5, 16.5));
      p.setPen(QPen(QColor(240, 200, 90), 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(15.5, 3.5), QPointF(4.5, 16.5));
      p.setPen(QPen(QColor(10, 16, 24, 220), 1));
      p.setBrush(QColor(240, 200, 90));
      p.drawEllipse(QPointF(5.5, 5.5), 3, 3);
      p.drawEllipse(QPointF(14.5, 14.5), 3, 3);
    },
    // 19 construction: a wrench
    [](QPainter& p) {
      QPainterPath w;
      w.addEllipse(QPointF(13.5, 6.5), 5, 5);
      QPainterPath handle = Poly({{11, 8}, {13, 10}, {5, 18.5}, {2.5, 16}}, 1);
      QPainterPath jaw = Poly({{13.5, 2}, {18, 6.5}, {14, 8}, {12, 6}}, 1);
      Outlined(p, w.united(handle).subtracted(jaw), QColor(200, 205, 215), 1);
    },
    // 20 warning: a hazard triangle
    [](QPainter& p) {
      Outlined(p, Poly({{10, 1.5}, {19, 18}, {1, 18}}, 1), QColor(250, 200, 40), 1.1);
      p.setPen(QPen(QColor(30, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(10, 7.5), QPointF(10, 12));
      p.drawPoint(QPointF(10, 15.2));
    },
};

}  // namespace

void Icons(Output& out) {
  for (int n = 0; n < 21; ++n) out.Tga("icon_" + std::to_string(n), Icon(kIcons[n]));
}

void Hud(Output& out) {
  for (int state = 0; state < 3; ++state) {
    const std::string s = "_" + std::to_string(state);
    // Plain faces carry captions; "gbut" marks the chosen entry.
    out.Tga("but" + s, Face(100, 30, Scheme::Steel, state));
    out.Tga("gbut" + s, Face(100, 30, Scheme::Green, state));
    out.Tga("mbutup" + s, IconButton(30, state, ArrowUp));
    out.Tga("mbutdown" + s, IconButton(30, state, ArrowDown));
    out.Tga("mbuild" + s, IconButton(60, state, BuildGlyph));
    out.Tga("ubut" + s, IconButton(40, state, UpgradeGlyph));
    out.Tga("butblow" + s, IconButton(40, state, BlowGlyph));
    out.Tga("but_tog_on" + s, IconButton(40, state, [](QPainter& p, double sz, const QColor&) {
      PowerGlyph(p, sz, QColor(90, 255, 120), true);
    }, Scheme::Green));
    out.Tga("but_tog_off" + s, IconButton(40, state, [](QPainter& p, double sz, const QColor&) {
      PowerGlyph(p, sz, QColor(230, 70, 60), false);
    }));
    out.Tga("but_cam_down" + s, IconButton(25, state, [](QPainter& p, double sz, const QColor& ink) { CameraGlyph(p, sz, ink, 0); }));
    out.Tga("but_cam_up" + s, IconButton(25, state, [](QPainter& p, double sz, const QColor& ink) { CameraGlyph(p, sz, ink, 1); }));
    out.Tga("but_cam_mid" + s, IconButton(25, state, [](QPainter& p, double sz, const QColor& ink) { CameraGlyph(p, sz, ink, 2); }));
  }
  out.Tga("tick_ok", Tick(0));
  out.Tga("tick_warn", Tick(1));
  out.Tga("tick_bad", Tick(2));
  out.Tga("panel", Panel());
  out.Tga("tooltip", TooltipBox());
}

}  // namespace artgen
