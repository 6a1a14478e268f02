#include "shell/editor.h"

#include "core/catalog.h"
#include "core/errors.h"
#include "core/text.h"

namespace shell {

const std::vector<EditorField>& EditorFields() {
  using B = core::building;
  static const std::vector<EditorField> fields = {
      {"Cost", &B::cst},         {"Support cost", &B::sc},  {"Storage", &B::storage},
      {"Personnel", &B::pers},   {"Living space", &B::living}, {"Comfort", &B::comfort},
      {"Product", &B::prod},     {"Raw mat.", &B::raw},     {"Entertain.", &B::entertain},
      {"Eng. outp.", &B::engout}, {"Eng. cons.", &B::engcons}, {"Military", &B::military},
      {"up", &B::up},            {"upl", &B::upl},          {"upch", &B::upch},
      {"Income", &B::income},    {"x", &B::x},              {"y", &B::y},
      {"science", &B::science},
  };
  return fields;
}

int32_t ParseBox(std::string_view text) {
  const auto v = core::ParseInt(text);
  if (!v) throw InputError("'" + std::string(text) + "' is not a valid integer value");
  return *v;
}

void BuildingEditor::Load(std::string_view bid_text) {
  const int32_t bid = ParseBox(bid_text);
  record_ = core::LoadBuilding(g_, bid);
}

void BuildingEditor::Save(std::string_view bid_text) const { core::SaveBuilding(g_, ParseBox(bid_text), record_); }

std::size_t BuildingEditor::CopyBoxes(const EditorBoxes& boxes) {
  record_.cname = boxes.cname;
  const auto& fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const auto v = core::ParseInt(i < boxes.numbers.size() ? std::string_view(boxes.numbers[i]) : "");
    if (!v) return i;
    record_.*fields[i].member = *v;
  }
  record_.unique = boxes.unique;
  record_.spaceport = boxes.spaceport;
  return fields.size();
}

EditorBoxes BuildingEditor::Boxes() const {
  EditorBoxes b;
  b.cname = record_.cname;
  for (const auto& f : EditorFields()) b.numbers.push_back(std::to_string(record_.*f.member));
  b.unique = record_.unique;
  b.spaceport = record_.spaceport;
  return b;
}

std::string BuildingEditor::DescriptionFile(std::string_view code, bool for_writing) const {
  // The code is typed freely; it names a file beside the others, never one elsewhere.
  if (code.find_first_of("/\\") != std::string_view::npos || code.find("..") != std::string_view::npos)
    throw InputError("'" + std::string(code) + "' is not a language code");
  return for_writing ? core::DescriptionWritePath(g_, record_.id, std::string(code))
                     : core::DescriptionPath(g_, record_.id, std::string(code));
}

std::string BuildingEditor::ReadDescription(std::string_view code) const {
  const std::string path = DescriptionFile(code);
  const auto text = core::ReadText(path);
  if (!text) throw core::DataError(path, 0, "", "Cannot open file");
  return core::ToCrLf(*text);
}

void BuildingEditor::WriteDescription(std::string_view code, std::string_view text) const {
  core::WriteLines(DescriptionFile(code, true), core::SplitLines(text));
}

}  // namespace shell
