#pragma once
// The building editor's rules, without its window: the number boxes in their order,
// loading and saving a building file by number, and the description file of the last
// loaded type in any language. What it saves passes the catalog's own check first.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/building.h"
#include "core/game.h"

namespace shell {

// One number box of the "Building params" group: its label and the field it edits.
struct EditorField {
  std::string_view label;
  int32_t core::building::*member;
};

// The number boxes top to bottom, which is also the order the copy takes them in.
const std::vector<EditorField>& EditorFields();

// What the editor's boxes hold, as typed.
struct EditorBoxes {
  std::string cname;
  std::vector<std::string> numbers;  // one per EditorFields() entry
  bool unique = false;
  bool spaceport = false;
};

class BuildingEditor {
 public:
  explicit BuildingEditor(core::Game& g) : g_(g) {}

  // Load: the file for the number typed in "bid". A missing file gives the record of a type
  // that does not exist. Throws InputError for a "bid" that is no whole number and
  // core::DataError for a malformed file, with the record unchanged.
  void Load(std::string_view bid_text);
  // Save: the boxes as they stand now, taken into the edited record, written as the file
  // for the number typed in "bid" (which may differ from the one loaded). A box that is
  // no whole number, or a record the catalog would refuse, throws InputError naming the
  // field, and neither the record nor any file changes; core::DataError when the file
  // cannot be written, which is never left half written.
  void Save(std::string_view bid_text, const EditorBoxes& boxes);

  // The boxes taken into the edited record, all or nothing; InputError naming the first
  // field that is no whole number or that the catalog would refuse.
  void TakeBoxes(const EditorBoxes& boxes);
  // The boxes as Load fills them from the record.
  EditorBoxes Boxes() const;

  // Description file of the last loaded type for language `code`, to read (the player's
  // own file wins) or to write (into the player's folder when the game has one); a code
  // that would lead out of the buildings folder throws InputError.
  std::string DescriptionFile(std::string_view code, bool for_writing = false) const;
  // The whole text of that file, line breaks as CR LF. Throws core::DataError when it
  // cannot be read.
  std::string ReadDescription(std::string_view code) const;
  // Writes `text` as that file's lines, replacing it. A line longer than the reader keeps
  // (core::kMaxLineChars) or a text larger than it reads throws InputError, and nothing is
  // written. Throws core::DataError when the file cannot be written.
  void WriteDescription(std::string_view code, std::string_view text) const;

  const core::building& record() const { return record_; }
  // The name as it was looked up when the record was loaded.
  const std::string& name() const { return record_.name; }

 private:
  core::Game& g_;
  core::building record_{};
};

// A box that should hold a whole number and does not.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A box read as a whole number; throws InputError "'TEXT' is not a valid integer value"
// otherwise (the side panels' amounts read the same way).
int32_t ParseBox(std::string_view text);

}  // namespace shell
