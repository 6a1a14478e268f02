#pragma once
// Playing without a mouse: the menus' Alt letters, the key filter of the 3D view and the
// names a screen reader gives the side panels' controls.
#include <QString>
#include <QStringList>

class QKeyEvent;
class QMenu;
class QMenuBar;

namespace presentation {
class World;
}

namespace ui {

// The captions of one menu (or of the menu bar) with an Alt letter each, in order: the
// first letter of a word that no caption above has taken, else any letter or digit not
// taken, else none. An '&' of the caption itself is kept as a plain '&'. Letters compare
// without case, so Alt reaches exactly one item in any language.
QStringList WithMnemonics(const QStringList& captions);

// Gives every item of `menu` its Alt letter from the plain captions kept on the items
// (property "caption"), followed by the key kept on them (property "key") after a tab.
void LabelMenu(QMenu* menu);
// The same for the menus' titles on the bar.
void LabelMenuBar(QMenuBar* bar);

// A key pressed on the 3D view: the arrows move the cell cursor and Enter chooses its cell;
// in HUD mode Tab and Shift+Tab move the HUD's focus frame and Enter or Space press the
// framed button. True when the key was the view's. With `asking` the key is not acted on:
// the answer says whether it would be, so that Space presses a framed button instead of
// pausing.
bool ViewKey(presentation::World& world, const QKeyEvent& e, bool asking);

}  // namespace ui
