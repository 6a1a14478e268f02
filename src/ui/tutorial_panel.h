#pragma once
// The tutorial in side-panel mode: a small panel over the top of the game window's client
// area with the step's heading, its text and Skip, and a pulsing frame around the side
// panel's control the step asks for. It holds no rules: the session's tutorial does.
#include <QFrame>
#include <QTimer>
#include <functional>
#include <string>

#include "shell/session.h"

class QLabel;
class QPushButton;

namespace ui {

class TutorialPanel : public QFrame {
  Q_OBJECT
 public:
  // `find`: the side panel's control for a step's "button NAME", or null.
  TutorialPanel(shell::Session& s, std::function<QWidget*(const std::string&)> find, QWidget* parent);
  // After each frame: shown in side-panel mode while the tutorial runs.
  void Refresh();

  QLabel* text() const { return text_; }
  QPushButton* skip() const { return skip_; }
  QFrame* mark() const { return mark_; }

 private:
  void Pulse();
  shell::Session& s_;
  std::function<QWidget*(const std::string&)> find_;
  QLabel* heading_;
  QLabel* text_;
  QPushButton* skip_;
  QFrame* mark_;
  QTimer pulse_;
  QTimer refresh_;
  bool lit_ = true;
};

}  // namespace ui
