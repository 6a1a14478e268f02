#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/game.h"

namespace core {

// What demolition costs; it is also the least money with which it is offered.
inline constexpr int32_t kDemolitionCost = 10000;

// --- the four operations on the placed-building table -------------------------------------

// Builds a building of catalog type `bid` (a construction-list position) on the chosen cell,
// or on the first free cell around the centre when none is chosen. Refusals show their
// messages (kind 3) and change nothing else. A `bid` that is not a loaded type builds
// nothing and says nothing.
void ConstructBuilding(Game& g, int32_t bid);

// Lowest free slot of the placed table, or -1 when all 1001 are in use.
int32_t FindFreeSlot(const Game& g);

// Enough energy output and money for `type`? When not, says which is short (energy first).
bool CanAfford(Game& g, const building& type);

// An existing placed building has type number `id`.
bool IsBuilt(const Game& g, int32_t id);

// Raises slot `btu` one level for cst x up; refused (locale entry 38) when money or the
// limit fall short or the slot holds no building.
void UpgradeBuilding(Game& g, int32_t btu);

// Switches the building in slot `i` on or off; nothing when the slot holds no building.
void ToggleActive(Game& g, int32_t i);

// Demolishes the building in slot `id` for 10000 after the player confirms. Nothing is
// asked or charged when the money is short or the slot holds no building.
void DestroyBuilding(Game& g, int32_t id);

// --- the cell lookup ---------------------------------------------------------------------

// The highest slot whose building exists and stands on cell (x, y), or -1. Answered from a
// cell index that rebuilds itself whenever `Game::placed_generation` has moved on, so it
// stays cheap for the tubes' eight calls per building and frame.
int32_t BuildingAt(const Game& g, int32_t x, int32_t y);

// The same answer by walking all 1001 slots: the reference the index is checked against.
int32_t BuildingAtScan(const Game& g, int32_t x, int32_t y);

// --- the building list -------------------------------------------------------------------

// Line k of the side-panel building list, for slot k: locale entry 71 for a free slot,
// otherwise "X" when switched off, then "(*) name" or "(up/upl) name".
std::string BldgListLine(const Game& g, int32_t slot);
// All 1001 lines, line k for slot k.
std::vector<std::string> BldgListLines(const Game& g);
// Tells the side panel to rebuild its list (from BldgListLines) now.
void UpdateBldgList(Game& g);

// --- the selection -----------------------------------------------------------------------
// `selected_bldg` holds 1000 both for "nothing selected" and for the last slot, so the
// selection keeps one more bit: `last_slot_selected` is true only while slot 1000 itself
// was chosen. Change the selection through these two so that bit stays right.

// Selects slot `slot` (0..1000); any other value clears the selection.
void SelectBuilding(Game& g, int32_t slot);
// Nothing selected: `selected_bldg` 1000 with the last-slot bit cleared.
void ClearSelection(Game& g);
// The selected slot when it holds a building, otherwise -1.
int32_t SelectedSlot(const Game& g);

// The panel commands on the selection. With nothing selected the upgrade is refused with
// its message (as for an empty slot); switching and demolition do nothing.
void UpgradeSelected(Game& g);
void ToggleSelected(Game& g);
void DestroySelected(Game& g);

}  // namespace core
