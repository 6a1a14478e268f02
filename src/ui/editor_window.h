#pragma once
// The building editor: a building file as labelled number boxes, Load and Save by number,
// and the description text of the loaded type in any language. The rules are
// shell::BuildingEditor's; this window only holds the boxes.
#include <QDialog>
#include <vector>

#include "shell/editor.h"
#include "shell/session.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {

inline constexpr QSize kEditorSize{831, 627};

class EditorWindow : public QDialog {
  Q_OBJECT
 public:
  explicit EditorWindow(shell::Session& s);

  void Load();
  // Saves the boxes as they stand at this moment; a box the catalog would not read back
  // is refused with the error box naming it.
  void Save();
  void ReadDescription();
  void WriteDescription();

  QLineEdit* bid() const { return bid_; }
  QLineEdit* cname() const { return cname_; }
  QLineEdit* box(std::size_t i) const { return boxes_[i]; }
  QCheckBox* unique() const { return unique_; }
  QCheckBox* spaceport() const { return spaceport_; }
  QComboBox* code() const { return code_; }
  QPlainTextEdit* description() const { return description_; }
  QLabel* name_label() const { return name_; }
  const shell::BuildingEditor& editor() const { return editor_; }

 protected:
  // The language box offers the languages of the list as it stands when the editor opens.
  void showEvent(QShowEvent* e) override;

 private:
  void ShowRecord();
  shell::EditorBoxes TypedBoxes() const;
  void Error(const std::exception& e);
  shell::Session& s_;
  shell::BuildingEditor editor_;
  QLineEdit* bid_;
  QLineEdit* cname_;
  QLabel* name_;
  std::vector<QLineEdit*> boxes_;
  QCheckBox* unique_;
  QCheckBox* spaceport_;
  QComboBox* code_;
  QPlainTextEdit* description_;
};

}  // namespace ui
