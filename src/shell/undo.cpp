#include "shell/undo.h"

#include "core/trade.h"
#include "shell/save.h"
#include "shell/session.h"

namespace shell {

// The days kept for rewinding are not the action's to change: they stay out.
Snapshot TakeSnapshot(Session& s) { return {nlohmann::json::to_msgpack(SaveJson(PartsOf(s)))}; }

void RestoreSnapshot(Session& s, const Snapshot& snapshot) {
  nlohmann::json save;
  try {
    save = nlohmann::json::from_msgpack(snapshot.bytes);
  } catch (const nlohmann::json::exception& e) {
    throw SaveError("(snapshot)", e.what());
  }
  ApplySave(s, save, "(snapshot)");
}

namespace {

std::string Fill(std::string pattern, const std::string& one, const std::string& two = "") {
  for (const auto& [mark, value] : {std::pair<std::string, const std::string&>{"%1", one}, {"%2", two}}) {
    const std::size_t at = pattern.find(mark);
    if (at != std::string::npos) pattern.replace(at, mark.size(), value);
  }
  return pattern;
}

int GoodsEntry(int32_t goods) {
  switch (goods) {
    case core::kGoodsFood: return kLocUndoFood;
    case core::kGoodsProducts: return kLocUndoProducts;
    default: return kLocUndoRaw;
  }
}

}  // namespace

std::string ActionText(const core::Game& g, const core::PlayerAction& a) {
  using A = core::PlayerAction;
  switch (a.kind) {
    case A::kBuild: return Fill(g.Loc(kLocUndoBuild), a.name);
    case A::kUpgrade: return Fill(g.Loc(kLocUndoUpgrade), a.name);
    case A::kSwitchOn: return Fill(g.Loc(kLocUndoSwitchOn), a.name);
    case A::kSwitchOff: return Fill(g.Loc(kLocUndoSwitchOff), a.name);
    case A::kDemolish: return Fill(g.Loc(kLocUndoDemolish), a.name);
    case A::kBuy: return Fill(g.Loc(kLocUndoBuy), std::to_string(a.amount), g.Loc(GoodsEntry(a.goods)));
    case A::kSell: return Fill(g.Loc(kLocUndoSell), std::to_string(a.amount), g.Loc(GoodsEntry(a.goods)));
    case A::kCredit: return Fill(g.Loc(kLocUndoCredit), std::to_string(a.amount));
  }
  return "";
}

void UndoHistory::Act(const core::PlayerAction& action) {
  if (applying_) return;
  redo_.clear();
  if (undo_.size() >= kMaxSteps) undo_.erase(undo_.begin());
  undo_.push_back({action, TakeSnapshot(s_), {}});
}

void UndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

bool UndoHistory::Move(const Snapshot& to, Snapshot* keep) {
  if (keep) *keep = TakeSnapshot(s_);
  applying_ = true;
  try {
    RestoreSnapshot(s_, to);
  } catch (const SaveError& e) {
    applying_ = false;
    Clear();
    s_.game.host->ErrorBox(e.what());
    return false;
  }
  applying_ = false;
  return true;
}

bool UndoHistory::Undo() {
  if (undo_.empty()) return false;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  if (!Move(step.before, &step.after)) return false;
  redo_.push_back(std::move(step));
  return true;
}

bool UndoHistory::Redo() {
  if (redo_.empty()) return false;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  // The state before the action stays what it was: undoing again goes back to it.
  if (!Move(step.after, nullptr)) return false;
  undo_.push_back(std::move(step));
  return true;
}

std::string UndoHistory::UndoCaption() const {
  const std::string word = s_.game.Loc(kLocUndo).empty() ? "Undo" : s_.game.Loc(kLocUndo);
  return undo_.empty() ? word : word + ": " + ActionText(s_.game, undo_.back().action);
}

std::string UndoHistory::RedoCaption() const {
  const std::string word = s_.game.Loc(kLocRedo).empty() ? "Redo" : s_.game.Loc(kLocRedo);
  return redo_.empty() ? word : word + ": " + ActionText(s_.game, redo_.back().action);
}

}  // namespace shell
