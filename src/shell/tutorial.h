#pragma once
// The guided first colony: an easy game on a fixed seed whose steps (core/tutorial.h, read
// from data/tutorial.txt) each wait for the player to do something. The session runs it:
// Update after every frame and every day a script passes counts what the player did and
// passes every step whose goal holds, so a player who is ahead of it is never held back.
// It never holds the day clock; random events stay off until the step that brings them.
#include <cstdint>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/tutorial.h"
#include "presentation/world.h"

namespace shell {

// The tutorial's colony is always the same one.
inline constexpr uint32_t kTutorialSeed = 4207;
inline constexpr int32_t kTutorialLevel = 10;

// Locale entries of the tutorial's own words; the steps' texts follow from 560.
enum TutorialText : int {
  kLocTutorial = 550,      // "Tutorial" (launcher, Game menu, panel title)
  kLocTutorialSkip = 551,  // "Skip"
  kLocTutorialStep = 552,  // "Step %1 of %2"
};

// Where the steps live, the game's way.
inline constexpr const char* kTutorialFile = "\\tutorial.txt";

class Tutorial {
 public:
  explicit Tutorial(core::Game& g) : g_(g) {}

  // Reads the steps and starts an easy game on the tutorial's seed. A bad step file throws
  // core::DataError before anything changes.
  void Start();
  // Ends the tutorial and leaves a normal game: random events as in any game.
  void Skip();
  // A game started otherwise ends the tutorial without touching that game.
  void Forget() { active_ = false; }
  // Counts the camera's moves and the days, then passes every step whose goal holds.
  void Update();
  // A save is about to be written (undone by SaveFailed) / a save was loaded.
  void NoteSave() { ++facts_.saves; }
  void SaveFailed() { --facts_.saves; }
  void NoteLoad() { ++facts_.loads; }

  bool active() const { return active_; }
  int32_t step() const { return step_; }
  std::size_t size() const { return steps_.size(); }
  const core::TutorialFacts& facts() const { return facts_; }
  // The current step; null when the tutorial is not running.
  const core::TutorialStep* Current() const;
  // "Step N of M" and the current step's text in the current language.
  std::string Heading() const;
  std::string Text() const;

  // Reads the step file without changing anything; throws core::DataError.
  std::vector<core::TutorialStep> ReadSteps() const;
  // A loaded game's tutorial, its steps read beforehand: goes on at `step` (clamped to them).
  void Adopt(std::vector<core::TutorialStep> steps, int32_t step, const core::TutorialFacts& facts);

 private:
  void Enter(int32_t step);
  void Observe();
  // Takes what the camera and the clock show now as what was last looked at.
  void Remember();

  core::Game& g_;
  std::vector<core::TutorialStep> steps_;
  bool active_ = false;
  int32_t step_ = 0;
  core::TutorialFacts facts_;
  // What the camera and the clock showed when last looked at.
  int32_t seen_x_ = 0, seen_y_ = 0, seen_h_ = 0, seen_day_ = 0, seen_traded_ = 0;
};

// The HUD slots a step's "button NAME" frames.
std::vector<int> HudSlotsFor(const std::string& name);

// After each frame: a Skip pressed on the HUD's panel ends the tutorial, and the panel
// shows the step now reached (heading, text, Skip, the frame around its control or site).
void ShowTutorial(Tutorial& t, const core::Game& g, presentation::World& world);

}  // namespace shell
