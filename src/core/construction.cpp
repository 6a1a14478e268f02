#include "core/construction.h"

#include "core/grid.h"
#include "core/text.h"

namespace core {
namespace {

bool ValidSlot(int32_t slot) { return slot >= 0 && slot < kPlacedSize; }

bool HoldsBuilding(const Game& g, int32_t slot) { return ValidSlot(slot) && g.placed[slot].exists; }

uint64_t CellKey(int32_t x, int32_t y) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
}

void Charge(Game& g, int32_t amount) {
  g.money -= amount;
  g.expense_day += amount;
  g.day_book.money_building += amount;
}

void Refuse(Game& g, int entry) { g.host->ShowInfoMessage(kMsgOther, g.Loc(entry)); }

// Entry 38 is also the upgrade button's caption, which has no full stop; the message does.
void RefuseUpgrade(Game& g) { g.host->ShowInfoMessage(kMsgOther, Sentence(g.Loc(38))); }

// The first cell, ring by ring around the centre, with no building on it. Each ring scans
// its whole square, inner cells included. With at most 1001 buildings a free cell turns up
// by ring 16 at the latest, so the search always ends.
void FindFreeCell(const Game& g, int32_t& x, int32_t& y) {
  for (int32_t r = 1;; ++r) {
    for (int32_t cx = kHomeCell - r; cx <= kHomeCell + r; ++cx) {
      for (int32_t cy = kHomeCell - r; cy <= kHomeCell + r; ++cy) {
        if (BuildingAt(g, cx, cy) == -1) {
          x = cx;
          y = cy;
          return;
        }
      }
    }
  }
}

}  // namespace

bool IsBuilt(const Game& g, int32_t id) {
  for (const auto& b : g.placed)
    if (b.exists && b.id == id) return true;
  return false;
}

int32_t FindFreeSlot(const Game& g) {
  for (int32_t i = 0; i < kPlacedSize; ++i)
    if (!g.placed[i].exists) return i;
  return -1;
}

bool CanAfford(Game& g, const building& type) {
  const bool ok = g.energy_out >= type.engcons && g.money >= type.cst;
  if (!ok) {
    if (type.engcons > g.energy_out) Refuse(g, 80);
    if (type.cst > g.money) Refuse(g, 81);
  }
  return ok;
}

void ConstructBuilding(Game& g, int32_t bid) {
  if (bid < 0 || bid >= kCatalogSize || !g.catalog[bid].exists) return;
  const building& type = g.catalog[bid];
  if (type.unique && IsBuilt(g, type.id)) {
    Refuse(g, 78);
    return;
  }
  const int32_t slot = FindFreeSlot(g);
  const bool ok = CanAfford(g, type);
  if (slot != -1 && ok) {
    g.actions->Act({.kind = PlayerAction::kBuild, .name = type.name});
    Charge(g, type.cst);
    building& b = g.placed[slot];
    b = type;
    b.exists = true;
    b.up = 1;
    b.construction = type.cst;
    // The new building already stands on its type's cell while the search runs.
    g.PlacedChanged();

    int32_t x = g.sel_cell_x, y = g.sel_cell_y;
    if (g.sel_cell_x == -1 && g.sel_cell_y == -1) FindFreeCell(g, x, y);
    b.x = x;
    b.y = y;
    g.PlacedChanged();

    LookAtCell(g, x, y);
    g.build_panel = true;
    g.sel_cell_x = -1;
    g.sel_cell_y = -1;
  } else if (slot == -1) {
    Refuse(g, 79);
  }
  UpdateBldgList(g);
}

void UpgradeBuilding(Game& g, int32_t btu) {
  if (HoldsBuilding(g, btu)) {
    building& b = g.placed[btu];
    const int32_t cost = b.cst * b.up;
    if (cost <= g.money && b.up < b.upl) {
      g.actions->Act({.kind = PlayerAction::kUpgrade, .name = b.name});
      Charge(g, cost);
      b.up += 1;
      UpdateBldgList(g);
      return;
    }
  }
  RefuseUpgrade(g);
}

void ToggleActive(Game& g, int32_t i) {
  if (!HoldsBuilding(g, i)) return;
  g.actions->Act({.kind = g.placed[i].active ? PlayerAction::kSwitchOff : PlayerAction::kSwitchOn, .name = g.placed[i].name});
  g.placed[i].active = !g.placed[i].active;
  UpdateBldgList(g);
}

void DestroyBuilding(Game& g, int32_t id) {
  // An empty slot is not offered for demolition: nothing to pay for.
  if (!HoldsBuilding(g, id) || g.money < kDemolitionCost) return;
  if (!g.host->Confirm(g.Loc(77))) return;
  // Noted after the question: a window's question may let frames run while it is open.
  g.actions->Act({.kind = PlayerAction::kDemolish, .name = g.placed[id].name});
  Charge(g, kDemolitionCost);
  g.placed[id].exists = false;
  g.PlacedChanged();
  // The list would otherwise keep showing the building until some later rebuild.
  UpdateBldgList(g);
}

int32_t BuildingAtScan(const Game& g, int32_t x, int32_t y) {
  int32_t found = -1;
  for (int32_t i = 0; i < kPlacedSize; ++i) {
    const building& b = g.placed[i];
    if (b.exists && b.x == x && b.y == y) found = i;
  }
  return found;
}

int32_t BuildingAt(const Game& g, int32_t x, int32_t y) {
  CellLookup& lookup = g.cell_lookup;
  if (lookup.generation != g.placed_generation) {
    lookup.top.clear();
    for (int32_t i = 0; i < kPlacedSize; ++i) {
      const building& b = g.placed[i];
      if (b.exists) lookup.top[CellKey(b.x, b.y)] = i;  // ascending: the highest slot stays
    }
    lookup.generation = g.placed_generation;
  }
  const auto it = lookup.top.find(CellKey(x, y));
  return it == lookup.top.end() ? -1 : it->second;
}

std::string BldgListLine(const Game& g, int32_t slot) {
  if (!HoldsBuilding(g, slot)) return g.Loc(71);
  const building& b = g.placed[slot];
  std::string line = b.active ? "" : "X";
  if (b.upl < 2) {
    line += "(*) ";
  } else {
    line += "(" + std::to_string(b.up) + "/" + std::to_string(b.upl) + ") ";
  }
  return line + b.name;
}

std::vector<std::string> BldgListLines(const Game& g) {
  std::vector<std::string> lines;
  lines.reserve(kPlacedSize);
  for (int32_t i = 0; i < kPlacedSize; ++i) lines.push_back(BldgListLine(g, i));
  return lines;
}

void UpdateBldgList(Game& g) { g.host->UpdateBldgList(); }

void SelectBuilding(Game& g, int32_t slot) {
  if (!ValidSlot(slot)) {
    ClearSelection(g);
    return;
  }
  g.selected_bldg = slot;
  g.last_slot_selected = slot == kNoSelection;
}

void ClearSelection(Game& g) {
  g.selected_bldg = kNoSelection;
  g.last_slot_selected = false;
}

int32_t SelectedSlot(const Game& g) {
  const int32_t s = g.selected_bldg;
  if (!HoldsBuilding(g, s)) return -1;
  if (s == kNoSelection && !g.last_slot_selected) return -1;
  return s;
}

void UpgradeSelected(Game& g) {
  const int32_t s = SelectedSlot(g);
  if (s == -1) {
    RefuseUpgrade(g);
    return;
  }
  UpgradeBuilding(g, s);
}

void ToggleSelected(Game& g) {
  const int32_t s = SelectedSlot(g);
  if (s != -1) ToggleActive(g, s);
}

void DestroySelected(Game& g) {
  const int32_t s = SelectedSlot(g);
  if (s != -1) DestroyBuilding(g, s);
}

}  // namespace core
