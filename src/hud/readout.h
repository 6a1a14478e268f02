#pragma once
#include <string>
#include <vector>

#include "core/advisor.h"
#include "core/game.h"

namespace hud {

// Everything the colony read-out shows, as text. The windows and the HUD display it and
// nothing else: each field is named after the role of the control that shows it.
struct Readout {
  // The colony data list ("COLONY DATA" memo and the HUD statistics read-out).
  std::vector<std::string> colony;
  // The property list of the described building (the construction memo).
  std::vector<std::string> building;
  std::string cost;             // construction cost label
  std::string upkeep;           // daily running cost label
  std::string selected_name;    // name of the selected building, "-" when there is none
  std::string upgrade_caption;  // the upgrade button
  std::string food_price;       // food trade price label
  std::string raw_price;        // raw-materials trade price label
  std::string product_price;    // products trade price label
  std::string interest;         // credit interest label
  std::string caption;          // the main window's caption
  // "Paused" while the day clock stands, else the speed: the HUD and the side panels show it
  // so that a stopped colony never looks like a hung one.
  std::string status;
  // The advisor's words for the upgrade button (what the next level gives) and the credit
  // box (debt, instalment and how many remain), shown where the pointer rests.
  std::string upgrade_preview;
  std::string credit_summary;
  bool tubes_checked = false;   // check mark of the "No connection tubes" menu item

  bool operator==(const Readout&) const = default;
};

// What the read-out needs that lives outside the game state.
struct ReadoutClock {
  // The day clock is running; when it is stopped the caption carries the pause word.
  bool day_clock_running = true;
};

// Turns the game state into the read-out, reusing the strings already in `out` so that a
// frame with an unchanged colony allocates nothing. Also fills information blocks 0 to 10
// while the HUD is shown, and closes the construction and building panels when the
// building panel describes a slot that holds no building. Nothing else in `g` changes.
void ShowData(core::Game& g, const ReadoutClock& clock, Readout& out);
// The same, into a fresh value.
Readout ShowData(core::Game& g, const ReadoutClock& clock = {});
// Information blocks 0 to 10 alone, as ShowData fills them (nothing while the HUD is hidden).
void FillInfoBlocks(core::Game& g);

// The placed building the selection designates, or null when nothing is selected, the
// selection is out of the table or it names a free slot.
const core::building* SelectedPlaced(const core::Game& g);

// The catalog entry chosen in the construction list, or null when no loaded type is chosen.
const core::building* ChosenType(const core::Game& g);

// What each line of the colony data (Readout::colony) is about, line for line.
std::vector<core::Topic> ColonyLineTopics(const core::Game& g);

// The lines as a memo holds them: each ended by CR LF.
std::string MemoText(const std::vector<std::string>& lines);

}  // namespace hud
