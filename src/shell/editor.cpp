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

void BuildingEditor::Save(std::string_view bid_text, const EditorBoxes& boxes) {
  const int32_t bid = ParseBox(bid_text);
  TakeBoxes(boxes);
  core::SaveBuilding(g_, bid, record_);
}

void BuildingEditor::TakeBoxes(const EditorBoxes& boxes) {
  core::building b = record_;
  b.cname = boxes.cname;
  const auto& fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string_view text = i < boxes.numbers.size() ? std::string_view(boxes.numbers[i]) : "";
    const auto v = core::ParseInt(text);
    if (!v) throw InputError(std::string(fields[i].label) + ": '" + std::string(text) + "' is not a valid integer value");
    b.*fields[i].member = *v;
  }
  b.unique = boxes.unique;
  b.spaceport = boxes.spaceport;
  if (const auto fault = core::CheckBuilding(b))
    throw InputError(fault->field + ": '" + fault->value + "': " + fault->reason);
  record_ = std::move(b);
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
  const std::string path = DescriptionFile(code, true);
  // The game cuts long lines and refuses large files: refused here rather than lost.
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    const std::string_view line = text.substr(start, i - start);
    if (core::Utf8Chars(line) > core::kMaxLineChars)
      throw InputError("Line " + std::to_string(lines.size() + 1) + " of the description is longer than " +
                       std::to_string(core::kMaxLineChars) + " characters: " + path);
    if (i < text.size() || !line.empty()) lines.emplace_back(line);
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  std::size_t bytes = 0;
  for (const auto& l : lines) bytes += l.size() + 2;
  if (bytes > core::kMaxDescriptionFileBytes)
    throw InputError("The description is larger than " + std::to_string(core::kMaxDescriptionFileBytes) +
                     " bytes: " + path);
  core::WriteLines(path, lines);
}

}  // namespace shell
