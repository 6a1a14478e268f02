#include "ui/side_panels.h"

#include <QAccessible>
#include <QComboBox>
#include <QEvent>
#include <QStringList>
#include <algorithm>
#include <QFrame>
#include <QHelpEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>
#include <QGroupBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

#include "core/advisor.h"
#include "core/catalog.h"
#include "core/construction.h"
#include "core/trade.h"
#include "shell/editor.h"
#include "ui/dialogs.h"

namespace ui {
namespace {
// The words for a warning's state: good, attention, bad.
constexpr int kLocWarningGood = 767;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The style draws no focus on these: the keyboard's place must show on every control.
const char* const kFocusFrame =
    "QComboBox:focus, QPlainTextEdit:focus, QListWidget:focus { border: 2px solid #e0a000; }";

void SetText(QLabel* l, const std::string& s) {
  const QString t = Q(s);
  if (l->text() != t) l->setText(t);
}
// A caption too wide for its button is broken at the blank nearest its middle.
void SetText(QPushButton* b, const std::string& s) {
  QString t = Q(s);
  const int room = b->width() - 8;
  if (b->fontMetrics().horizontalAdvance(t) > room) {
    int best = -1;
    for (int i = 0; i < t.size(); ++i)
      if (t[i] == ' ' && (best < 0 || std::abs(i - t.size() / 2) < std::abs(best - t.size() / 2))) best = i;
    if (best >= 0) t[best] = '\n';
  }
  if (b->text() != t) b->setText(t);
}
// A memo rewritten only when its text changed, keeping the player's scroll position.
bool SetMemo(QPlainTextEdit* m, std::string& shown, const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
  if (text == shown) return false;
  shown = std::move(text);
  const int scroll = m->verticalScrollBar() ? m->verticalScrollBar()->value() : 0;
  m->setPlainText(Q(shown));
  if (m->verticalScrollBar()) m->verticalScrollBar()->setValue(scroll);
  return true;
}

// The colony data in the largest bold size up to `largest` pixels in which its widest line
// fits the memo without breaking and all its lines fit its height, but no smaller than
// `smallest`: the words of a longer language shrink the text instead of cutting its lines.
void FitMemoFont(QPlainTextEdit* m, const std::string& text, int largest, int smallest) {
  const int margin = 2 * static_cast<int>(std::ceil(m->document()->documentMargin())) + 2;
  const int room_w = m->viewport()->width() - margin, room_h = m->viewport()->height() - margin;
  const QStringList lines = Q(text).split('\n');
  int px = largest;
  for (; px > smallest; --px) {
    const QFontMetrics fm(MemoFont(px, true));
    int widest = 0;
    for (const QString& l : lines) widest = std::max(widest, fm.horizontalAdvance(l));
    if (widest <= room_w && fm.lineSpacing() * static_cast<int>(lines.size()) <= room_h) break;
  }
  if (m->font().pixelSize() != px) m->setFont(MemoFont(px, true));
}

QPlainTextEdit* Memo(QWidget* parent) {
  auto* m = new QPlainTextEdit(parent);
  m->setReadOnly(true);
  m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Read, not typed in: Tab goes on to the next control.
  m->setTabChangesFocus(true);
  return m;
}

QPushButton* Button(const char* text, QWidget* parent, QRect at) {
  auto* b = new QPushButton(text, parent);
  b->setGeometry(at);
  return b;
}
}  // namespace

std::optional<int32_t> ReadAmount(shell::Session& s, const QLineEdit* field) {
  try {
    return shell::ParseBox(field->text().toStdString());
  } catch (const shell::InputError& e) {
    s.game.host->ErrorBox(e.what());
    return std::nullopt;
  }
}

// --- left ------------------------------------------------------------------------------------

LeftPanel::LeftPanel(shell::Session& s, const CaptionRegistry& captions, QWidget* parent)
    : QWidget(parent), s_(s) {
  setFixedWidth(kLeftPanelWidth);
  setStyleSheet(kFocusFrame);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* construction = new QGroupBox("CONSTRUCTION", this);
  construction->setFixedHeight(192);
  types_ = new QComboBox(construction);
  types_->setGeometry(3, 16, 164, 21);
  types_->setPlaceholderText("- select building -");
  build_ = Button("Build", construction, {171, 14, 67, 25});
  describe_ = Button("...", construction, {183, 43, 55, 25});
  cost_ = new QLabel(construction);
  cost_->setGeometry(8, 39, 172, 15);
  upkeep_ = new QLabel(construction);
  upkeep_->setGeometry(8, 54, 172, 15);
  properties_ = Memo(construction);
  properties_->setGeometry(6, 73, 232, 113);
  layout->addWidget(construction);

  auto* colony = new QGroupBox("COLONY DATA", this);
  auto* colony_layout = new QVBoxLayout(colony);
  colony_layout->setContentsMargins(2, 2, 2, 2);
  colony_ = Memo(colony);
  colony_->setFont(MemoFont(kColonyFontPixels, true));
  colony_->setStyleSheet("QPlainTextEdit { color: black; }");
  colony_layout->addWidget(colony_);
  colony_->viewport()->installEventFilter(this);
  layout->addWidget(colony, 1);

  trade_[0] = MakeTradeBox(core::kGoodsFood, "TRADE FOOD", 67);
  trade_[2] = MakeTradeBox(core::kGoodsRaw, "TRADE RAW MATERIALS", 67);
  trade_[1] = MakeTradeBox(core::kGoodsProducts, "TRADE PRODUCT", 64);
  for (int i : {0, 2, 1}) layout->addWidget(trade_[i].group);

  captions("construction_group", [construction](const QString& t) { construction->setTitle(t); });
  captions("food_trade_group", [g = trade_[0].group](const QString& t) { g->setTitle(t); });
  captions("product_trade_group", [g = trade_[1].group](const QString& t) { g->setTitle(t); });
  captions("raw_trade_group", [g = trade_[2].group](const QString& t) { g->setTitle(t); });
  captions("build_button", [this](const QString& t) { build_->setText(t); });
  captions("buy_buttons", [this](const QString& t) {
    for (auto& box : trade_) box.buy->setText(t);
  });
  captions("sell_buttons", [this](const QString& t) {
    for (auto& box : trade_) box.sell->setText(t);
  });
  captions("building_combo_prompt", [this](const QString& t) { types_->setPlaceholderText(t); });
  colony_->setObjectName("colony");
  properties_->setObjectName("properties");
  types_->setObjectName("types");
  build_->setObjectName("build");
  describe_->setObjectName("describe");
  captions("colony_data_group", [colony, this](const QString& t) {
    colony->setTitle(t);
    colony_->setAccessibleName(t);
  });
  captions("acc_colony", [this](const QString& t) { colony_->setAccessibleDescription(t); });
  captions("acc_types", [this](const QString& t) { types_->setAccessibleName(t); });
  captions("acc_describe", [this](const QString& t) { describe_->setAccessibleName(t); });
  captions("acc_properties", [this](const QString& t) { properties_->setAccessibleName(t); });
  for (const auto& [goods, name] : {std::pair{core::kGoodsFood, "food"}, std::pair{core::kGoodsProducts, "products"},
                                    std::pair{core::kGoodsRaw, "raw"}}) {
    const TradeBox& box = trade(goods);
    const std::string n = name;
    box.amount->setObjectName(QString::fromStdString(n + "_amount"));
    box.buy->setObjectName(QString::fromStdString(n + "_buy"));
    box.sell->setObjectName(QString::fromStdString(n + "_sell"));
    captions("acc_" + n + "_amount", [a = box.amount](const QString& t) { a->setAccessibleName(t); });
    captions("acc_" + n + "_buy", [b = box.buy](const QString& t) { b->setAccessibleName(t); });
    captions("acc_" + n + "_sell", [b = box.sell](const QString& t) { b->setAccessibleName(t); });
  }

  connect(types_, &QComboBox::currentIndexChanged, this, [this](int i) { s_.game.constr_choice = i; });
  connect(build_, &QPushButton::clicked, this, [this] { core::ConstructBuilding(s_.game, types_->currentIndex()); });
  connect(describe_, &QPushButton::clicked, this, [this] {
    if (types_->currentIndex() >= 0) core::ShowDescription(s_.game, types_->currentIndex());
  });
}

TradeBox LeftPanel::MakeTradeBox(int goods, const char* title, int height) {
  TradeBox box;
  box.group = new QGroupBox(title, this);
  box.group->setFixedHeight(height);
  box.price = new QLabel("Price:", box.group);
  box.price->setGeometry(8, 16, 230, 15);
  box.amount = new QLineEdit("0", box.group);
  box.amount->setGeometry(8, 35, 75, 21);
  box.buy = Button("Buy", box.group, {89, 31, 60, 25});
  box.sell = Button("Sell", box.group, {151, 31, 60, 25});
  connect(box.buy, &QPushButton::clicked, this, [this, goods] { DoTrade(core::kBuy, goods); });
  connect(box.sell, &QPushButton::clicked, this, [this, goods] { DoTrade(core::kSell, goods); });
  return box;
}

void LeftPanel::DoTrade(int direction, int goods) {
  if (const auto amount = ReadAmount(s_, trade(goods).amount)) core::Trade(s_.game, direction, goods, *amount);
}

void LeftPanel::Refresh(const hud::Readout& r) {
  const core::Game& g = s_.game;
  if (shown_types_ != g.constr_list) {
    shown_types_ = g.constr_list;
    const QSignalBlocker quiet(types_);
    types_->clear();
    for (const auto& name : shown_types_) types_->addItem(Q(name));
  }
  const int choice = g.constr_choice < types_->count() ? g.constr_choice : -1;
  if (types_->currentIndex() != choice) {
    const QSignalBlocker quiet(types_);
    types_->setCurrentIndex(choice);
  }
  SetText(cost_, r.cost);
  SetText(upkeep_, r.upkeep);
  SetMemo(properties_, shown_properties_, r.building);
  // Refitted when the text changes and when the memo got its size (it has none until shown).
  if (SetMemo(colony_, shown_colony_, r.colony) || colony_->viewport()->size() != colony_fitted_size_) {
    colony_fitted_size_ = colony_->viewport()->size();
    FitMemoFont(colony_, shown_colony_, kColonyFontPixels, kColonyFontMinPixels);
  }
  SetText(trade_[0].price, r.food_price);
  SetText(trade_[1].price, r.product_price);
  SetText(trade_[2].price, r.raw_price);
}

bool LeftPanel::eventFilter(QObject* watched, QEvent* e) {
  if (watched != colony_->viewport() || e->type() != QEvent::ToolTip) return QWidget::eventFilter(watched, e);
  const auto* help = static_cast<QHelpEvent*>(e);
  const int line = colony_->cursorForPosition(help->pos()).blockNumber();
  const std::vector<core::Topic> topics = hud::ColonyLineTopics(s_.game);
  if (s_.game.level == 0 || line < 0 || line >= static_cast<int>(topics.size()))
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), Q(core::ExplainText(s_.game, topics[static_cast<size_t>(line)])), colony_->viewport());
  return true;
}

// --- right -----------------------------------------------------------------------------------

RightPanel::RightPanel(shell::Session& s, const CaptionRegistry& captions, QWidget* parent)
    : QWidget(parent), s_(s) {
  setFixedWidth(kRightPanelWidth);
  setStyleSheet(kFocusFrame);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);


  auto* credit = new QGroupBox("CREDIT", this);
  credit_ = credit;
  credit->setFixedHeight(105);
  auto* sum_label = new QLabel("Sum", credit);
  // Right-aligned against the box, with room for the longer words of other languages.
  sum_label->setGeometry(2, 19, 44, 15);
  sum_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  sum_ = new QLineEdit("100000", credit);
  sum_->setGeometry(50, 16, 121, 21);
  interest_ = new QLabel("Percent:", credit);
  interest_->setGeometry(16, 56, 160, 15);
  take_ = Button("Take", credit, {104, 74, 75, 25});
  layout->addWidget(credit);

  // The warnings, each with the advisor's why as its tip.
  auto* warnings = new QFrame(this);
  warnings->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* warnings_layout = new QVBoxLayout(warnings);
  warnings_layout->setContentsMargins(4, 2, 2, 2);
  warnings_layout->setSpacing(0);
  for (auto& label : warnings_) {
    label = new QLabel("-", warnings);
    label->setWordWrap(true);
    QFont small = label->font();
    small.setPixelSize(11);
    label->setFont(small);
    warnings_layout->addWidget(label);
  }
  layout->addWidget(warnings);

  auto* buildings = new QGroupBox("BUILDING LIST", this);
  auto* list_layout = new QVBoxLayout(buildings);
  list_layout->setContentsMargins(2, 2, 2, 2);
  list_layout->setSpacing(0);
  list_ = new QListWidget(buildings);
  list_->setUniformItemSizes(true);
  list_->setStyleSheet("QListWidget::item { height: 13px; padding: 0px; }");
  list_layout->addWidget(list_, 1);
  auto* strip = new QWidget(buildings);
  strip->setFixedHeight(96);
  selected_ = new QLabel("-", strip);
  selected_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  selected_->setAlignment(Qt::AlignCenter);
  selected_->setGeometry(0, 0, kRightPanelWidth - 4, 24);
  upgrade_ = Button("Upgrade ()", strip, {0, 25, 90, 45});
  upgrade_->setMinimumHeight(45);
  destroy_ = Button("Destroy (10000)", strip, {90, 25, kRightPanelWidth - 4 - 90, 45});
  activate_ = Button("Activate/Deactivate", strip, {0, 71, kRightPanelWidth - 4, 25});
  list_layout->addWidget(strip);
  layout->addWidget(buildings, 1);
  // Under the building list, so that the designed controls above keep their places.
  status_ = new QLabel("-", this);
  status_->setObjectName("status");
  status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  status_->setAlignment(Qt::AlignCenter);
  status_->setFixedHeight(20);
  QFont bold = status_->font();
  bold.setBold(true);
  status_->setFont(bold);
  layout->addWidget(status_);

  captions("credit_group", [credit](const QString& t) { credit->setTitle(t); });
  captions("building_list_group", [buildings, this](const QString& t) {
    buildings->setTitle(t);
    list_->setAccessibleName(t);
  });
  captions("credit_sum_label", [sum_label](const QString& t) { sum_label->setText(t); });
  captions("take_credit_button", [this](const QString& t) { take_->setText(t); });
  captions("destroy_button", [this](const QString& t) { destroy_->setText(t); });
  captions("activate_button", [this](const QString& t) { activate_->setText(t); });
  sum_label->setBuddy(sum_);
  sum_->setObjectName("credit_sum");
  take_->setObjectName("take");
  list_->setObjectName("list");
  selected_->setObjectName("selected");
  upgrade_->setObjectName("upgrade");
  destroy_->setObjectName("destroy");
  activate_->setObjectName("activate");
  captions("acc_credit_sum", [this](const QString& t) { sum_->setAccessibleName(t); });
  captions("acc_take", [this](const QString& t) { take_->setAccessibleDescription(t); });
  captions("acc_selected", [this](const QString& t) { selected_->setAccessibleDescription(t); });
  captions("acc_status", [this](const QString& t) { status_->setAccessibleName(t); });
  captions("acc_list", [this](const QString& t) { list_->setAccessibleDescription(t); });

  connect(take_, &QPushButton::clicked, this, [this] {
    if (const auto sum = ReadAmount(s_, sum_)) core::TakeCredit(s_.game, *sum);
  });
  auto select = [this](int row) {
    if (row >= 0) s_.world.SelectSlot(row);
  };
  connect(list_, &QListWidget::currentRowChanged, this, select);
  connect(list_, &QListWidget::itemClicked, this, [this, select](QListWidgetItem* item) { select(list_->row(item)); });
  connect(upgrade_, &QPushButton::clicked, this, [this] { core::UpgradeBuilding(s_.game, s_.game.selected_bldg); });
  connect(destroy_, &QPushButton::clicked, this, [this] { core::DestroyBuilding(s_.game, s_.game.selected_bldg); });
  connect(activate_, &QPushButton::clicked, this, [this] { core::ToggleActive(s_.game, s_.game.selected_bldg); });
}

void RightPanel::SayWarnings() {
  const core::Game& g = s_.game;
  std::vector<int32_t> states;
  for (const core::warning& w : g.warnings) states.push_back(w.state);
  if (warning_states_.empty() || states == warning_states_) {
    warning_states_ = std::move(states);
    return;
  }
  // Each warning that moved between good, attention and bad, with its new words.
  QStringList said;
  for (size_t i = 0; i < states.size(); ++i) {
    if (states[i] == warning_states_[i]) continue;
    const int32_t st = std::clamp<int32_t>(states[i], 0, 2);
    said << Q(g.warnings[i].text) + " (" + Q(g.Loc(kLocWarningGood + st)) + ")";
  }
  warning_states_ = std::move(states);
  warning_said_ = said.join("; ");
  ++warnings_said_;
  status_->setAccessibleDescription(warning_said_);
  QAccessibleEvent changed(status_, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
  QAccessibleEvent alert(status_, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

void RightPanel::Refresh(const hud::Readout& r) {
  SayWarnings();
  SetText(status_, r.status);
  for (int k = 0; k < core::kWarnings; ++k) {
    QLabel* label = warnings_[static_cast<size_t>(k)];
    const core::warning& w = s_.game.warnings[static_cast<size_t>(k)];
    // The tick's colours: good, attention, bad.
    static const char* const kColours[] = {"#1d7a1d", "#b36b00", "#c01818"};
    const QString style = QString("color: ") + kColours[w.state >= 0 && w.state <= 2 ? w.state : 0];
    if (label->styleSheet() != style) label->setStyleSheet(style);
    SetText(label, w.text);
    const QString tip = Q(core::ExplainWarning(s_.game, k));
    if (label->toolTip() != tip) label->setToolTip(tip);
  }
  SetText(interest_, r.interest);
  SetText(selected_, r.selected_name);
  SetText(upgrade_, r.upgrade_caption);
  if (upgrade_->toolTip() != Q(r.upgrade_preview)) upgrade_->setToolTip(Q(r.upgrade_preview));
  if (credit_->toolTip() != Q(r.credit_summary)) credit_->setToolTip(Q(r.credit_summary));
  // The 1001 lines are compared, and only a line that changed is rewritten.
  const core::Game& g = s_.game;
  if (shown_lines_.size() != core::kPlacedSize) {
    shown_lines_ = core::BldgListLines(g);
    list_->clear();
    for (const auto& l : shown_lines_) list_->addItem(Q(l));
    lines_rewritten_ += static_cast<int>(shown_lines_.size());
  } else {
    for (int32_t k = 0; k < core::kPlacedSize; ++k) {
      std::string line = core::BldgListLine(g, k);
      if (line == shown_lines_[static_cast<size_t>(k)]) continue;
      list_->item(k)->setText(Q(line));
      shown_lines_[static_cast<size_t>(k)] = std::move(line);
      ++lines_rewritten_;
    }
  }
  const bool none = g.selected_bldg == core::kNoSelection && !g.last_slot_selected;
  const int row = !none && g.selected_bldg >= 0 && g.selected_bldg < core::kPlacedSize ? g.selected_bldg : -1;
  if (list_->currentRow() != row) {
    const QSignalBlocker quiet(list_);
    list_->setCurrentRow(row);
  }
}

}  // namespace ui
