#pragma once
// The building editor's rules, without its window: the number boxes in their copy order,
// loading and saving a building file by number, the once-a-second copy of the boxes into
// the edited record, and the description file of the last loaded type in any language.
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
  // Save: the edited record as the file for the number typed in "bid" (which may differ
  // from the one loaded). Throws InputError or core::DataError; the file is never left
  // half written.
  void Save(std::string_view bid_text) const;

  // The timer's copy: "cname", then the number boxes in order, then the two check boxes.
  // The first box that is not a whole number ends the copy there, silently; returns how
  // many number boxes were copied.
  std::size_t CopyBoxes(const EditorBoxes& boxes);
  // The boxes as Load fills them from the record.
  EditorBoxes Boxes() const;

  // Description file of the last loaded type for language `code`, to read (the player's
  // own file wins) or to write (into the player's folder when the game has one); a code
  // that would lead out of the buildings folder throws InputError.
  std::string DescriptionFile(std::string_view code, bool for_writing = false) const;
  // The whole text of that file, line breaks as CR LF. Throws core::DataError when it
  // cannot be read.
  std::string ReadDescription(std::string_view code) const;
  // Writes `text` as that file's lines, replacing it. Throws core::DataError.
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
