#pragma once
// Undo and redo of the player's own actions within the current day.
//
// A saved game already holds everything that decides how the game goes on, so the state
// before an action is kept as a save held in memory (a Snapshot), and undo applies it:
// the game, the craft, the random generator's state and the view come back exactly, and
// playing the same action again plays the same game. Redo applies the state undo left.
// The core operations note every action (core::ActionLog) before they change anything;
// the day's tick, a new game and the end of a game close the list, and a load starts it
// afresh.
//
// Snapshots are the in-memory form other features that return to an earlier state build
// on: TakeSnapshot / RestoreSnapshot work for any moment of a game.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/game.h"

namespace shell {

class Session;

// Locale entries of the undo words (English and Russian files). %1 and %2 in a pattern
// stand for the building's name or the amount, and the goods.
enum UndoText : int {
  kLocUndo = 500,             // "Undo" (Game menu; "Undo: " before an action)
  kLocRedo = 501,             // "Redo"
  kLocUndoBuild = 502,        // "build %1"
  kLocUndoUpgrade = 503,      // "upgrade %1"
  kLocUndoSwitchOn = 504,     // "switch on %1"
  kLocUndoSwitchOff = 505,    // "switch off %1"
  kLocUndoDemolish = 506,     // "demolish %1"
  kLocUndoBuy = 507,          // "buy %1 %2"
  kLocUndoSell = 508,         // "sell %1 %2"
  kLocUndoCredit = 509,       // "credit %1"
  kLocUndoFood = 510,         // "food"
  kLocUndoProducts = 511,     // "products"
  kLocUndoRaw = 512,          // "raw materials"
};

// The session's game at one moment, as a save in MessagePack, which keeps every double's
// bits.
struct Snapshot {
  std::vector<std::uint8_t> bytes;
};
Snapshot TakeSnapshot(Session& s);
// Throws SaveError (the session unchanged) when the state cannot be applied.
void RestoreSnapshot(Session& s, const Snapshot& snapshot);

// How the menu names an action: "build Solar Array", "sell 40 food".
std::string ActionText(const core::Game& g, const core::PlayerAction& a);

class UndoHistory : public core::ActionLog {
 public:
  explicit UndoHistory(Session& s) : s_(s) {}

  // The oldest actions of a day are forgotten beyond this many, keeping the memory a busy
  // paused day can take in bounds.
  static constexpr std::size_t kMaxSteps = 100;

  void Act(const core::PlayerAction& action) override;
  void CloseDay() override { Clear(); }
  void Clear();

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // The action undo or redo would take back or play again; null when there is none.
  const core::PlayerAction* NextUndo() const { return undo_.empty() ? nullptr : &undo_.back().action; }
  const core::PlayerAction* NextRedo() const { return redo_.empty() ? nullptr : &redo_.back().action; }
  std::size_t undo_count() const { return undo_.size(); }
  std::size_t redo_count() const { return redo_.size(); }

  // Take back the last action / play the last undone one again; false when there is none.
  // A state that cannot be applied (a script's `set` can make one no save takes) shows an
  // error box, leaves the game as it is and forgets the day's list.
  bool Undo();
  bool Redo();

  // The menu items' captions: "Undo: build Solar Array", or "Undo" alone with nothing to
  // undo (likewise "Redo").
  std::string UndoCaption() const;
  std::string RedoCaption() const;

 private:
  struct Step {
    core::PlayerAction action;
    Snapshot before;  // the state the action was taken in
    Snapshot after;   // the state undo left; filled by Undo
  };
  // Applies `to`, first keeping the present state in `keep` when given; false (and the
  // list forgotten) when it cannot be applied.
  bool Move(const Snapshot& to, Snapshot* keep);

  Session& s_;
  std::vector<Step> undo_;
  std::vector<Step> redo_;
  // True while a snapshot is applied: nothing that happens then is the player's action.
  bool applying_ = false;
};

}  // namespace shell
