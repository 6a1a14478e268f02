#pragma once
#include <cstdint>
#include <string>

#include "core/game.h"

namespace core {

// Random events, disasters and raids: numbers 4 to 9 name one, every other does nothing.
//   4 pirate raid, 5 interest falls, 6 interest rises, 7 credit dearer, 8 earthquake,
//   9 food spoiled.
void MakeEvent(Game& g, int32_t event);

// The events the player's disaster choice applies to: the raid, the earthquake, spoiled food.
bool IsDisaster(int32_t event);

// The daily draw's event as the game's disaster choice lets it happen: unchanged as the rules
// say (no draw of its own, so such a game plays exactly as before), a disaster kept on one
// further draw of two when rare, none when off; -1 for no event.
int32_t ChosenEvent(Game& g, int32_t event);

// Re-evaluates the five warning indicators from the colony state (end of the daily tick):
// states, texts and the raised `y` they glide down from, laid out against `view_h`.
void EvaluateWarnings(Game& g);

// Once per frame: glides the warning indicators toward their resting places and puts their
// left edge (`x`) one HUD unit plus 10 pixels in. The one-argument form takes the HUD unit
// of the current view height.
void ProcessWarnings(Game& g, int32_t hud_unit);
void ProcessWarnings(Game& g);

// The tick sprite's material for a warning state.
const char* WarningMaterial(int32_t state);

// Once per frame while a game runs: ends it on bankruptcy or when its time is up, with the
// score in `score_entry`, the game-over message and the high-score window. Returns true
// when it ended the game now; the caller then switches its day clock off.
bool CheckGameover(Game& g);

// The score of the colony as it stands: building values, positive money, military power,
// attraction and all income so far, divided by the level.
int32_t Score(const Game& g);

}  // namespace core
