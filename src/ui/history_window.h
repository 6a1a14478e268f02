#pragma once
// The colony's history in four line charts (money and debt; population and living space;
// food, raw materials and products; energy produced and used), day on the x axis. While it
// is shown it looks at the history once a second and adds only the days that are new, so
// the game's frames never pay for it. A click on a day offers to go back to its start.
#include <QDialog>
#include <QTimer>
#include <array>
#include <cstddef>
#include <vector>

#include "shell/session.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QValueAxis;

namespace ui {

inline constexpr QSize kHistorySize{900, 640};

class HistoryWindow : public QDialog {
  Q_OBJECT
 public:
  explicit HistoryWindow(shell::Session& s);
  ~HistoryWindow() override;

  // Brings the charts up to date with the history (a new game or a load starts them over).
  void Refresh();
  // Titles, series names and axis titles in the language now loaded.
  void Retranslate();

  // For tests: how many days the charts show, and the points of one chart's series.
  std::size_t shown_days() const { return shown_; }
  int chart_count() const { return static_cast<int>(charts_.size()); }
  QChartView* chart_view(int k) const;
  // The read-out under the charts: the day and values under the pointer.
  QString readout() const;
  // For tests: where a chart draws its lines (on the screen) and the days its axis spans.
  QRect plot_area(int k) const;
  std::pair<double, double> day_range(int k) const;

  // A click on `day`: asks "Rewind to day N?" and, once confirmed, goes back to the start of
  // that day (or of its month).
  void AskRewind(int32_t day);

 protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  struct Chart {
    int title_entry = 0;
    std::vector<std::size_t> fields;  // indexes into core::DayFields()
    QChart* chart = nullptr;
    QChartView* view = nullptr;
    std::vector<QLineSeries*> series;
    QValueAxis* x = nullptr;
    QValueAxis* y = nullptr;
    double y_min = 0, y_max = 0;
  };
  void Rebuild();
  void Append(std::size_t from);
  void ShowPoint(const Chart& c, std::size_t series, const QPointF& p, bool on);

  shell::Session& s_;
  std::vector<Chart> charts_;
  QLabel* readout_;
  QTimer timer_;
  std::size_t shown_ = 0;
  int32_t first_day_ = 0;
};

}  // namespace ui
