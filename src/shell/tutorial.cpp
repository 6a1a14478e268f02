#include "shell/tutorial.h"

#include <algorithm>

#include "core/grid.h"
#include "core/newgame.h"
#include "hud/hud.h"

namespace shell {

std::vector<core::TutorialStep> Tutorial::ReadSteps() const { return core::ReadTutorial(g_.Path(kTutorialFile)); }

void Tutorial::Start() {
  auto steps = ReadSteps();
  g_.rng.Seed(kTutorialSeed);
  core::StartNewGame(g_, kTutorialLevel);
  Adopt(std::move(steps), 0, {});
  Update();
}

void Tutorial::Adopt(std::vector<core::TutorialStep> steps, int32_t step, const core::TutorialFacts& facts) {
  steps_ = std::move(steps);
  facts_ = facts;
  active_ = true;
  step_ = std::clamp<int32_t>(step, 0, static_cast<int32_t>(steps_.size()) - 1);
  g_.events_enabled = steps_[static_cast<std::size_t>(step_)].events;
  Remember();
}

void Tutorial::Skip() {
  if (!active_) return;
  active_ = false;
  g_.events_enabled = true;
}

const core::TutorialStep* Tutorial::Current() const {
  return active_ ? &steps_[static_cast<std::size_t>(step_)] : nullptr;
}

void Tutorial::Enter(int32_t step) {
  step_ = step;
  facts_.step_days = 0;
  const core::TutorialStep& s = steps_[static_cast<std::size_t>(step_)];
  g_.events_enabled = s.events;
  // The camera may have wandered off in the lessons before: the site this step marks is
  // brought into view, or a newcomer would hunt for a marker that is not on the screen.
  if (s.mark == core::MarkKind::kCell) core::LookAtCell(g_, s.cell_x, s.cell_y);
}

void Tutorial::Observe() {
  if (g_.cam_target_x != seen_x_ || g_.cam_target_y != seen_y_) ++facts_.camera_moved;
  if (g_.cam_height != seen_h_) ++facts_.camera_zoomed;
  if (g_.day != seen_day_) ++facts_.step_days;
  // The month's count only grows by a trade (the month's end sets it back to 0).
  if (g_.traded > seen_traded_) ++facts_.trades;
  Remember();
}

void Tutorial::Remember() {
  seen_x_ = g_.cam_target_x;
  seen_y_ = g_.cam_target_y;
  seen_h_ = g_.cam_height;
  seen_day_ = g_.day;
  seen_traded_ = g_.traded;
}

void Tutorial::Update() {
  if (!active_) return;
  // A finished game has nothing left to teach.
  if (g_.game_over) {
    Skip();
    return;
  }
  Observe();
  // Each pass moves on one step or stops, so this ends after at most every step once.
  while (active_ && core::ConditionHolds(steps_[static_cast<std::size_t>(step_)].goal, g_, facts_)) {
    // Past the last step the panel simply goes: nothing should stop the clock for it.
    if (step_ + 1 == static_cast<int32_t>(steps_.size())) {
      Skip();
      return;
    }
    Enter(step_ + 1);
  }
}

std::string Tutorial::Heading() const {
  std::string s = g_.Loc(kLocTutorialStep);
  const auto put = [&](const std::string& key, const std::string& value) {
    if (const auto at = s.find(key); at != std::string::npos) s.replace(at, key.size(), value);
  };
  put("%1", std::to_string(step_ + 1));
  put("%2", std::to_string(steps_.size()));
  return s;
}

std::string Tutorial::Text() const {
  const core::TutorialStep* s = Current();
  return s ? g_.Loc(s->text) : std::string();
}

std::vector<int> HudSlotsFor(const std::string& name) {
  const auto range = [](int first, int last) {
    std::vector<int> v;
    for (int i = first; i <= last; ++i) v.push_back(i);
    return v;
  };
  if (name == "camera") return range(hud::kCamDown, hud::kCamMid);
  if (name == "catalog") return range(hud::kFirstType, hud::kLastType);
  if (name == "build") return {hud::kBuild};
  if (name == "trade") return {hud::kTradePanel};
  if (name == "sell") return {hud::kSell};
  if (name == "buy") return {hud::kBuy};
  if (name == "credit") return {hud::kCreditPanel};
  if (name == "take_credit") return {hud::kTakeCredit};
  if (name == "toggle") return {hud::kToggle};
  if (name == "upgrade") return {hud::kUpgrade};
  if (name == "list") return range(hud::kFirstRow, hud::kLastRow);
  return {};
}

void ShowTutorial(Tutorial& t, const core::Game& g, presentation::World& world) {
  hud::Hud& h = world.hud();
  if (h.tutorial_skip) {
    h.tutorial_skip = false;
    t.Skip();
  }
  hud::TutorialView v;
  if (const core::TutorialStep* step = t.Current()) {
    v.visible = true;
    v.heading = g.Loc(kLocTutorial) + " - " + t.Heading();
    v.text = t.Text();
    v.skip = g.Loc(kLocTutorialSkip);
    if (step->mark == core::MarkKind::kButton) v.mark_slots = HudSlotsFor(step->button);
    if (step->mark == core::MarkKind::kCell) {
      if (const auto p = world.CellOnView(step->cell_x, step->cell_y)) {
        // The view's pixels, and the frame is drawn in the HUD's.
        v.mark_point = true;
        v.point_x = p->first / h.scale();
        v.point_y = p->second / h.scale();
      }
    }
  }
  h.tutorial = std::move(v);
}

}  // namespace shell
