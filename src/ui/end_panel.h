#pragma once
// The way on after a game's end: once the high-score window is closed, a small window over
// the game window asks what next (a new game, a saved one, or quit) while the finished
// colony stays in view behind it. It holds no rules: the game window does what it asks.
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace ui {

class EndPanel : public QDialog {
  Q_OBJECT
 public:
  // `parent`: the game window, which the panel stays over.
  explicit EndPanel(QWidget* parent);
  // Shown in the words given, in the middle of the parent.
  void Open(const QString& question, const QString& new_game, const QString& load, const QString& quit);

  QPushButton* new_game() const { return new_game_; }
  QPushButton* load() const { return load_; }
  QPushButton* quit() const { return quit_; }

  // What the buttons do; the panel hides first.
  std::function<void()> on_new_game, on_load, on_quit;

 private:
  QLabel* question_;
  QPushButton* new_game_;
  QPushButton* load_;
  QPushButton* quit_;
};

}  // namespace ui
