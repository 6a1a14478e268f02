#pragma once
// The side panels of the game window: on the left the construction chooser, the colony
// data and the three trade boxes; on the right the credit box and the building list with
// the buttons for the selected building. Each control calls the game's operation through
// the session; what they show is the read-out, refreshed after every frame, and a text
// is assigned only when it differs.
#include <QString>
#include <array>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hud/readout.h"
#include "shell/session.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace ui {

inline constexpr int kLeftPanelWidth = 249;
// The colony data's bold size in pixels, and the least it shrinks to so its lines fit.
inline constexpr int kColonyFontPixels = 13, kColonyFontMinPixels = 9;
inline constexpr int kRightPanelWidth = 185;

// Registers a control's caption setter under its caption-table name.
using CaptionRegistry = std::function<void(const std::string& control, std::function<void(const QString&)>)>;

// One trade box: price label, amount field, Buy and Sell.
struct TradeBox {
  QGroupBox* group = nullptr;
  QLabel* price = nullptr;
  QLineEdit* amount = nullptr;
  QPushButton* buy = nullptr;
  QPushButton* sell = nullptr;
};

class LeftPanel : public QWidget {
  Q_OBJECT
 public:
  LeftPanel(shell::Session& s, const CaptionRegistry& captions, QWidget* parent);
  void Refresh(const hud::Readout& r);

  QComboBox* types() const { return types_; }
  QPushButton* build() const { return build_; }
  QPushButton* describe() const { return describe_; }
  QPlainTextEdit* colony() const { return colony_; }
  QPlainTextEdit* properties() const { return properties_; }
  // Goods 1 food, 2 products, 3 raw materials.
  const TradeBox& trade(int goods) const { return trade_[goods - 1]; }

 protected:
  // The advisor's explanation of the colony data line under the pointer.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  TradeBox MakeTradeBox(int goods, const char* title, int height);
  void DoTrade(int direction, int goods);
  shell::Session& s_;
  QComboBox* types_;
  QPushButton* build_;
  QPushButton* describe_;
  QLabel* cost_;
  QLabel* upkeep_;
  QPlainTextEdit* properties_;
  QPlainTextEdit* colony_;
  TradeBox trade_[3];
  std::vector<std::string> shown_types_;
  std::string shown_colony_, shown_properties_;
  QSize colony_fitted_size_;
};

class RightPanel : public QWidget {
  Q_OBJECT
 public:
  RightPanel(shell::Session& s, const CaptionRegistry& captions, QWidget* parent);
  void Refresh(const hud::Readout& r);

  QLineEdit* credit_sum() const { return sum_; }
  QPushButton* take() const { return take_; }
  QListWidget* list() const { return list_; }
  QLabel* selected() const { return selected_; }
  QLabel* status() const { return status_; }  // the pause and speed indicator
  // The five warnings, which the HUD shows in the view, in warning order.
  QLabel* warning(int k) const { return warnings_[static_cast<size_t>(k)]; }
  QPushButton* upgrade() const { return upgrade_; }
  QPushButton* destroy() const { return destroy_; }
  QPushButton* activate() const { return activate_; }
  // How many list lines the last refreshes rewrote (a quiet colony rewrites none).
  int lines_rewritten() const { return lines_rewritten_; }
  // What the last change of a warning's state said to assistive technology.
  const QString& warning_said() const { return warning_said_; }
  int warnings_said() const { return warnings_said_; }

 private:
  shell::Session& s_;
  QLineEdit* sum_;
  QLabel* interest_;
  QLabel* status_;
  QGroupBox* credit_ = nullptr;
  std::array<QLabel*, core::kWarnings> warnings_{};
  QPushButton* take_;
  QListWidget* list_;
  QLabel* selected_;
  QPushButton* upgrade_;
  QPushButton* destroy_;
  QPushButton* activate_;
  std::vector<std::string> shown_lines_;
  int lines_rewritten_ = 0;
  // The warnings' states at the last refresh; none before the first.
  std::vector<int32_t> warning_states_;
  QString warning_said_;
  int warnings_said_ = 0;
  void SayWarnings();
};

// An edit field read as a whole number; one that is not shows the standard error box
// and gives nothing.
std::optional<int32_t> ReadAmount(shell::Session& s, const QLineEdit* field);

}  // namespace ui
