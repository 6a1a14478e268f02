#include "ui/keyboard.h"

#include <QAction>
#include <algorithm>
#include <vector>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

#include "presentation/world.h"

namespace ui {

QStringList WithMnemonics(const QStringList& captions) {
  // The captions with the fewest letters to choose from choose first, so that a short word
  // late in a long menu ("Quit") still finds a letter of its own.
  auto letters = [](const QString& caption) {
    QSet<QChar> set;
    for (const QChar c : caption)
      if (c.isLetterOrNumber()) set.insert(c.toLower());
    return set.size();
  };
  std::vector<qsizetype> order(static_cast<std::size_t>(captions.size()));
  for (qsizetype i = 0; i < captions.size(); ++i) order[static_cast<std::size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](qsizetype a, qsizetype b) { return letters(captions[a]) < letters(captions[b]); });
  QStringList out = captions;
  QSet<QChar> taken;
  for (const qsizetype k : order) {
    const QString& caption = captions[k];
    // Candidates: the letters that start a word, then every other letter or digit.
    qsizetype chosen = -1;
    for (int pass = 0; pass < 2 && chosen < 0; ++pass) {
      for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (!c.isLetterOrNumber()) continue;
        const bool word_start = i == 0 || !caption[i - 1].isLetterOrNumber();
        if (pass == 0 && !word_start) continue;
        if (taken.contains(c.toLower())) continue;
        chosen = i;
        break;
      }
    }
    QString labelled;
    labelled.reserve(caption.size() + 2);
    for (qsizetype i = 0; i < caption.size(); ++i) {
      if (i == chosen) labelled += '&';
      labelled += caption[i];
      if (caption[i] == '&') labelled += '&';
    }
    if (chosen >= 0) taken.insert(caption[chosen].toLower());
    out[k] = labelled;
  }
  return out;
}

namespace {
// Items that take part: everything but separators and hidden items.
QList<QAction*> Items(const QList<QAction*>& actions) {
  QList<QAction*> items;
  for (QAction* a : actions)
    if (!a->isSeparator() && a->isVisible()) items << a;
  return items;
}

void Label(const QList<QAction*>& items, bool titles) {
  QStringList plain;
  for (QAction* a : items) {
    const QVariant caption = a->property("caption");
    plain << (caption.isValid() ? caption.toString() : QString(a->text()).remove('&'));
  }
  const QStringList labelled = WithMnemonics(plain);
  for (qsizetype i = 0; i < items.size(); ++i) {
    QAction* a = items[i];
    const QString key = a->property("key").toString();
    const QString text = key.isEmpty() ? labelled[i] : labelled[i] + '\t' + key;
    if (a->text() == text) continue;
    if (titles && a->menu()) {
      a->menu()->setTitle(text);
    } else {
      a->setText(text);
    }
  }
}
}  // namespace

void LabelMenu(QMenu* menu) { Label(Items(menu->actions()), false); }

void LabelMenuBar(QMenuBar* bar) { Label(Items(bar->actions()), true); }

bool ViewKey(presentation::World& world, const QKeyEvent& e, bool asking) {
  const Qt::KeyboardModifiers mods = e.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
  if (mods != Qt::NoModifier) return false;
  const bool hud = world.game().hud_mode;
  hud::Hud& h = world.hud();
  switch (e.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (e.modifiers() & Qt::ShiftModifier) return false;
      if (asking) return true;
      // The keys' attention goes to the map: Enter now chooses the cursor's cell.
      h.focus_slot = -1;
      world.MoveCursor(e.key() == Qt::Key_Left ? -1 : e.key() == Qt::Key_Right ? 1 : 0,
                         e.key() == Qt::Key_Up ? -1 : e.key() == Qt::Key_Down ? 1 : 0);
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if (!hud) return false;
      if (!asking) h.MoveFocus(e.key() == Qt::Key_Backtab || (e.modifiers() & Qt::ShiftModifier));
      return true;
    case Qt::Key_Space:
      // Space pauses unless a framed button waits for it.
      if (!hud || !h.HasFocus()) return false;
      return asking || h.PressFocused();
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (asking) return true;
      if (hud && h.PressFocused()) return true;
      // An open message's OK is all Enter can mean: no cell is chosen under it.
      if (hud && world.game().msg_panel) {
        h.focus_slot = hud::kMessageOk;
        h.PressFocused();
        return true;
      }
      world.ChooseCursorCell();
      return true;
    default: return false;
  }
}

}  // namespace ui
