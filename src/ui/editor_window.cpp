#include "ui/editor_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "core/errors.h"
#include "shell/launcher.h"
#include "ui/dialogs.h"

namespace ui {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QLabel* Label(QWidget* parent, const char* text, int x, int y, int w = 0) {
  auto* l = new QLabel(text, parent);
  l->move(x, y);
  if (w > 0) l->setFixedWidth(w);
  l->adjustSize();
  return l;
}
}  // namespace

void EditorWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  const QString typed = code_->currentText();
  QStringList codes;
  try {
    for (const auto& code : shell::LanguageList(s_.game))
      if (!code.empty()) codes << QString::fromStdString(code);
  } catch (const core::DataError&) {
    return;  // the launcher has reported the list; the box keeps what it offers
  }
  if (codes.isEmpty()) return;
  code_->clear();
  code_->addItems(codes);
  code_->setCurrentText(typed);
}

EditorWindow::EditorWindow(shell::Session& s) : s_(s), editor_(s.game) {
  setObjectName("editor");
  setWindowTitle("Building Editor");
  SetUpToolWindow(this, kEditorSize);

  // The top area: the file number, the name's locale entry and what it names.
  Label(this, "bid", 12, 14);
  bid_ = new QLineEdit("0", this);
  bid_->setGeometry(44, 10, 60, 21);
  Label(this, "cname", 120, 14);
  cname_ = new QLineEdit("0", this);
  cname_->setGeometry(170, 10, 60, 21);
  Label(this, "points to the line in loc_x.txt file (ex: loc_ru.txt)", 240, 14);
  name_ = new QLabel("-", this);
  name_->setGeometry(170, 40, 340, 18);
  auto* load = new QPushButton("Load", this);
  load->setGeometry(12, 36, 60, 25);
  auto* save = new QPushButton("Save", this);
  save->setGeometry(80, 36, 60, 25);
  connect(load, &QPushButton::clicked, this, [this] { Load(); });
  connect(save, &QPushButton::clicked, this, [this] { Save(); });

  auto* params = new QGroupBox("Building params", this);
  params->setGeometry(8, 68, 512, 551);
  const auto& fields = shell::EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int top = 22 + static_cast<int>(i) * 25;
    auto* l = new QLabel(Q(fields[i].label), params);
    l->setGeometry(10, top + 2, 90, 18);
    auto* b = new QLineEdit("0", params);
    b->setGeometry(104, top, 90, 21);
    boxes_.push_back(b);
    if (fields[i].label == "upch") {
      // What each upgrade characteristic raises, beside its box.
      const char* notes[] = {"//0 - food, 1-living, 2 - entertain, 3 - military, ",
                             "4 - prod, 5 - sssize, 6 - storage, 7 - eng, ", "8 - raw, 9 - money, 10 - science"};
      for (int n = 0; n < 3; ++n) Label(params, notes[n], 204, top - 16 + n * 15);
    }
  }
  const int checks_top = 22 + static_cast<int>(fields.size()) * 25 + 4;
  unique_ = new QCheckBox("Unique", params);
  unique_->setGeometry(10, checks_top, 120, 20);
  spaceport_ = new QCheckBox("Spaceport", params);
  spaceport_->setGeometry(140, checks_top, 120, 20);

  auto* desc = new QGroupBox("desc", this);
  desc->setGeometry(526, 8, 302, 611);
  Label(desc, "locale", 8, 26);
  code_ = new QComboBox(desc);
  code_->setEditable(true);
  code_->addItems({"en", "ru"});
  code_->setCurrentText("en");
  code_->setGeometry(50, 22, 60, 21);
  auto* read = new QPushButton("read", desc);
  read->setGeometry(118, 20, 80, 25);
  auto* write = new QPushButton("write", desc);
  write->setGeometry(204, 20, 80, 25);
  description_ = new QPlainTextEdit(desc);
  description_->setGeometry(2, 52, 297, 501);
  connect(read, &QPushButton::clicked, this, [this] { ReadDescription(); });
  connect(write, &QPushButton::clicked, this, [this] { WriteDescription(); });
  // Enter in a box finishes typing; it must not load the file over the edits.
  NoDefaultButton(this);
}

void EditorWindow::Error(const std::exception& e) { s_.game.host->ErrorBox(e.what()); }

void EditorWindow::Load() {
  try {
    editor_.Load(bid_->text().toStdString());
  } catch (const std::runtime_error& e) {
    Error(e);
    return;
  }
  ShowRecord();
}

void EditorWindow::ShowRecord() {
  const shell::EditorBoxes b = editor_.Boxes();
  name_->setText(Q(editor_.name()));
  cname_->setText(Q(b.cname));
  for (std::size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setText(Q(b.numbers[i]));
  unique_->setChecked(b.unique);
  spaceport_->setChecked(b.spaceport);
}

void EditorWindow::Save() {
  try {
    editor_.Save(bid_->text().toStdString(), TypedBoxes());
  } catch (const std::runtime_error& e) {
    Error(e);
  }
}

void EditorWindow::ReadDescription() {
  try {
    description_->setPlainText(Q(editor_.ReadDescription(code_->currentText().toStdString())).replace("\r\n", "\n"));
  } catch (const std::runtime_error& e) {
    Error(e);
  }
}

void EditorWindow::WriteDescription() {
  try {
    editor_.WriteDescription(code_->currentText().toStdString(), description_->toPlainText().toStdString());
  } catch (const std::runtime_error& e) {
    Error(e);
  }
}

shell::EditorBoxes EditorWindow::TypedBoxes() const {
  shell::EditorBoxes b;
  b.cname = cname_->text().toStdString();
  for (QLineEdit* box : boxes_) b.numbers.push_back(box->text().toStdString());
  b.unique = unique_->isChecked();
  b.spaceport = spaceport_->isChecked();
  return b;
}

}  // namespace ui
