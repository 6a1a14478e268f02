#pragma once
#include <cstdint>
#include <string>

namespace core {

// Message kinds of ShowInfoMessage.
enum MessageKind : int { kMsgGameStart = 0, kMsgGameOver = 1, kMsgPirates = 2, kMsgOther = 3 };

// What the rules need from the world around them: the windows implement it, tests record
// it. Every default does nothing, so a headless game needs no more than this.
class Host {
 public:
  virtual ~Host() = default;
  virtual void ShowInfoMessage(int kind, const std::string& text) { (void)kind; (void)text; }
  // A yes/no question; true means Yes.
  virtual bool Confirm(const std::string& text) { (void)text; return false; }
  virtual void ErrorBox(const std::string& text) { (void)text; }
  virtual void PlaySound(const std::string& name) { (void)name; }
  // Game over: the high-score window opens with its OK button enabled.
  virtual void ShowHighScores(bool accept_entry) { (void)accept_entry; }
  // The colony read-out and the building list should be rebuilt from the state now
  // (displays also poll every frame; these mark the moments the rules name).
  virtual void ShowData() {}
  virtual void UpdateBldgList() {}
};

// The craft the rules set going; the traffic layer implements it.
class TrafficLink {
 public:
  virtual ~TrafficLink() = default;
  virtual int ActiveShuttles() const { return 0; }
  virtual void AddShuttle() {}
  // The trade ship is called to a spaceport when the player trades.
  virtual void CallShip() {}
  // A pirate raid sends the pirate ships across the colony.
  virtual void SendPirates() {}
};

}  // namespace core

namespace core {

// A player's own action on the colony, as undo names it: the building for a construction,
// upgrade, switch or demolition, goods and amount for a trade, the sum of a credit.
struct PlayerAction {
  enum Kind : int { kBuild, kUpgrade, kSwitchOn, kSwitchOff, kDemolish, kBuy, kSell, kCredit };
  Kind kind = kBuild;
  std::string name;
  int32_t goods = 0;
  int32_t amount = 0;
};

// Where the player's actions are noted for undo. Each operation that changes the colony on
// the player's behalf calls Act once it knows the change will happen and before anything
// changes (a refused action calls nothing), so every path to the operations, windows and
// scripts alike, is noted in one place. The day's tick, a new game and the end of a game
// call CloseDay: what the economy did with the day's actions is not the player's to take
// back, nor is a finished game's score.
class ActionLog {
 public:
  virtual ~ActionLog() = default;
  virtual void Act(const PlayerAction& action) { (void)action; }
  virtual void CloseDay() {}
};

}  // namespace core
