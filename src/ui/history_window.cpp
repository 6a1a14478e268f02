#include "ui/history_window.h"

#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPen>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "core/history.h"
#include "shell/rewind.h"
#include "shell/save.h"
#include "ui/dialogs.h"

namespace ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The locale entry of a record field's name: the day's, then the values in field order.
int FieldEntry(std::size_t field) { return shell::kLocHistoryDay + static_cast<int>(field); }

std::size_t Field(std::string_view name) {
  const auto& fields = core::DayFields();
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].name == name) return i;
  return 0;
}

// A little room above and below the lines, and never a flat axis.
void Fit(QValueAxis* axis, double lo, double hi) {
  // A flat line gets room of its own, so the axis never steps by fractions.
  const double pad = std::max({5.0, (hi - lo) * 0.05, (hi - lo < 10 ? std::abs(hi) * 0.1 : 0.0)});
  axis->setRange(lo - (lo < 0 ? pad : std::min(pad, lo)), hi + pad);
  // Round steps on the axis, whatever the values: 0, 250, 500 rather than 99, 100, 101.
  axis->applyNiceNumbers();
}

// How the lines of one chart are drawn, by their place in it. Two values often coincide
// (population and living space do for weeks): a later line is drawn thinner and dashed over
// an earlier one, so both stay visible where they overlap. The colours are of the Okabe-Ito
// palette, which players with any common colour-vision deficiency tell apart, and the dash
// pattern tells the lines apart even without colour.
struct SeriesStyle {
  QRgb colour;
  Qt::PenStyle dash;
  qreal width;
};
constexpr SeriesStyle kSeriesStyles[] = {
    {qRgb(0x00, 0x72, 0xB2), Qt::SolidLine, 3.5},    // blue
    {qRgb(0xD5, 0x5E, 0x00), Qt::DashLine, 2.0},     // vermillion
    {qRgb(0x00, 0x9E, 0x73), Qt::DashDotLine, 2.0},  // bluish green
};

QPen SeriesPen(std::size_t i) {
  const SeriesStyle& st = kSeriesStyles[i % std::size(kSeriesStyles)];
  QPen pen(QColor(st.colour), st.width, st.dash, Qt::FlatCap, Qt::RoundJoin);
  return pen;
}

// Whole days between the day axis' ticks, about six of them whatever the game's length.
double DayStep(int32_t span) {
  for (double step : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0, 1000.0})
    if (span / step <= 6) return step;
  return 2000.0;
}

}  // namespace

HistoryWindow::HistoryWindow(shell::Session& s) : s_(s) {
  setObjectName("history");
  setWindowTitle("Colony history");
  SetUpToolWindow(this, kHistorySize, true);
  auto* column = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  column->addLayout(grid, 1);
  readout_ = new QLabel(this);
  readout_->setMinimumHeight(20);
  column->addWidget(readout_);

  auto chart = [](int title, std::vector<std::size_t> fields) {
    Chart c;
    c.title_entry = title;
    c.fields = std::move(fields);
    return c;
  };
  charts_ = {
      chart(shell::kLocHistoryMoneyDebt, {Field("money"), Field("debt")}),
      chart(shell::kLocHistoryPopulation, {Field("population"), Field("living_space")}),
      chart(shell::kLocHistoryGoods, {Field("food"), Field("raw"), Field("products")}),
      chart(shell::kLocHistoryEnergy, {Field("energy_out"), Field("energy_use")}),
  };
  for (std::size_t k = 0; k < charts_.size(); ++k) {
    Chart& c = charts_[k];
    c.chart = new QChart;
    c.chart->legend()->setAlignment(Qt::AlignBottom);
    // The legend shows each line's colour and width as drawn, not a patch of its colour.
    c.chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    c.chart->setMargins(QMargins(4, 4, 4, 4));
    c.x = new QValueAxis;
    c.x->setLabelFormat("%d");
    c.x->setTickType(QValueAxis::TicksDynamic);
    c.x->setTickAnchor(0);
    c.y = new QValueAxis;
    c.y->setLabelFormat("%.0f");
    c.chart->addAxis(c.x, Qt::AlignBottom);
    c.chart->addAxis(c.y, Qt::AlignLeft);
    for (std::size_t i = 0; i < c.fields.size(); ++i) {
      auto* line = new QLineSeries;
      line->setPen(SeriesPen(i));
      c.chart->addSeries(line);
      line->attachAxis(c.x);
      line->attachAxis(c.y);
      connect(line, &QLineSeries::hovered, this,
              [this, k, i](const QPointF& p, bool on) { ShowPoint(charts_[k], i, p, on); });
      c.series.push_back(line);
    }
    c.view = new QChartView(c.chart, this);
    c.view->setRenderHint(QPainter::Antialiasing);
    c.view->viewport()->installEventFilter(this);
    grid->addWidget(c.view, static_cast<int>(k / 2), static_cast<int>(k % 2));
  }
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, [this] { Refresh(); });
  Retranslate();
}

HistoryWindow::~HistoryWindow() = default;

QChartView* HistoryWindow::chart_view(int k) const { return charts_.at(static_cast<std::size_t>(k)).view; }

QString HistoryWindow::readout() const { return readout_->text(); }

void HistoryWindow::Retranslate() {
  const core::Game& g = s_.game;
  auto word = [&](int entry, const char* fallback) {
    const std::string w = g.Loc(entry);
    return w.empty() ? QString(fallback) : Q(w);
  };
  setWindowTitle(word(shell::kLocColonyHistory, "Colony history"));
  for (Chart& c : charts_) {
    c.chart->setTitle(Q(g.Loc(c.title_entry)));
    c.x->setTitleText(Q(g.Loc(shell::kLocHistoryDay)));
    for (std::size_t i = 0; i < c.fields.size(); ++i) c.series[i]->setName(Q(g.Loc(FieldEntry(c.fields[i]))));
    c.view->setToolTip(Q(g.Loc(shell::kLocRewindHint)));
  }
}

QRect HistoryWindow::plot_area(int k) const {
  const Chart& c = charts_.at(static_cast<std::size_t>(k));
  const QRect in_view = c.view->mapFromScene(c.chart->mapToScene(c.chart->plotArea())).boundingRect();
  return QRect(c.view->viewport()->mapToGlobal(in_view.topLeft()), in_view.size());
}

std::pair<double, double> HistoryWindow::day_range(int k) const {
  const Chart& c = charts_.at(static_cast<std::size_t>(k));
  return {c.x->min(), c.x->max()};
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::MouseButtonRelease) return QDialog::eventFilter(watched, e);
  const auto* click = static_cast<QMouseEvent*>(e);
  if (click->button() != Qt::LeftButton) return QDialog::eventFilter(watched, e);
  for (const Chart& c : charts_) {
    if (c.view->viewport() != watched) continue;
    const QPointF at = c.chart->mapFromScene(c.view->mapToScene(click->position().toPoint()));
    if (!c.chart->plotArea().contains(at) || shown_ == 0) break;
    // The day nearest the click.
    AskRewind(static_cast<int32_t>(std::lround(c.chart->mapToValue(at).x())));
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void HistoryWindow::AskRewind(int32_t day) {
  core::Game& g = s_.game;
  if (!g.game_running || g.game_over) return;
  const std::string question = s_.rewind.Question(day);
  if (question.empty()) {
    std::string text = g.Loc(shell::kLocRewindNotKept);
    if (const auto at = text.find("%1"); at != std::string::npos) text.replace(at, 2, std::to_string(day));
    g.host->ErrorBox(text);
    return;
  }
  if (!g.host->Confirm(question)) return;
  try {
    s_.rewind.RewindTo(day);
  } catch (const shell::SaveError& e) {
    g.host->ErrorBox(g.Loc(shell::kLocRewindFailed) + "\r\n" + e.what());
    return;
  }
  Refresh();
}

void HistoryWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  Retranslate();
  Refresh();
  timer_.start();
}

void HistoryWindow::hideEvent(QHideEvent* e) {
  timer_.stop();
  QDialog::hideEvent(e);
}

void HistoryWindow::Refresh() {
  const auto& days = s_.game.history.days();
  // Fewer days than shown, or another first day: a new game or a load. Start over.
  if (days.size() < shown_ || (!days.empty() && shown_ > 0 && days.front().day != first_day_)) Rebuild();
  if (days.size() > shown_) Append(shown_);
}

void HistoryWindow::Rebuild() {
  for (Chart& c : charts_) {
    for (QLineSeries* line : c.series) line->clear();
    c.y_min = c.y_max = 0;
  }
  shown_ = 0;
  readout_->clear();
}

void HistoryWindow::Append(std::size_t from) {
  const auto& days = s_.game.history.days();
  const auto& fields = core::DayFields();
  if (from == 0 && !days.empty()) first_day_ = days.front().day;
  for (Chart& c : charts_) {
    for (std::size_t i = 0; i < c.fields.size(); ++i) {
      QList<QPointF> points;
      points.reserve(static_cast<qsizetype>(days.size() - from));
      for (std::size_t d = from; d < days.size(); ++d) {
        const double v = days[d].*fields[c.fields[i]].member;
        if (from == 0 && d == 0 && i == 0) c.y_min = c.y_max = v;
        c.y_min = std::min(c.y_min, v);
        c.y_max = std::max(c.y_max, v);
        points.append(QPointF(days[d].day, v));
      }
      // One append of many points redraws once.
      c.series[i]->append(points);
    }
    const int32_t first = days.front().day, last = std::max(days.back().day, days.front().day + 1);
    c.x->setRange(first, last);
    c.x->setTickInterval(DayStep(last - first));
    Fit(c.y, c.y_min, c.y_max);
  }
  shown_ = days.size();
}

void HistoryWindow::ShowPoint(const Chart& c, std::size_t series, const QPointF& p, bool on) {
  if (!on) return;
  const auto& days = s_.game.history.days();
  if (days.empty()) return;
  // The record of the day nearest the pointer.
  const auto it = std::lower_bound(days.begin(), days.end(), static_cast<int32_t>(p.x() + 0.5),
                                   [](const core::DayRecord& r, int32_t day) { return r.day < day; });
  const core::DayRecord& r = it == days.end() ? days.back() : *it;
  const auto& fields = core::DayFields();
  QString text = Q(s_.game.Loc(shell::kLocHistoryDay)) + ' ' + QString::number(r.day);
  for (std::size_t f : c.fields) text += "   " + Q(s_.game.Loc(FieldEntry(f))) + ": " + QString::number(r.*fields[f].member);
  readout_->setText(text);
  (void)series;
}

}  // namespace ui
