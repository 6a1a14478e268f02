#pragma once
#include <string>
#include <vector>

#include "core/game.h"
#include "core/hiscore.h"
#include "traffic/traffic.h"

namespace sim {

// A message the game showed, as a script sees it.
struct ShownMessage {
  int kind;
  std::string text;
};

// The host of a headless game: it remembers the messages, answers every question with
// Yes and keeps the error boxes as messages of their own.
class RecordingHost : public core::Host {
 public:
  void ShowInfoMessage(int kind, const std::string& text) override { messages.push_back({kind, text}); }
  bool Confirm(const std::string& text) override {
    questions.push_back(text);
    return answer;
  }
  void ErrorBox(const std::string& text) override { errors.push_back(text); }
  // Game over opens the high-score window: the list is reloaded and OK waits for a name.
  void ShowHighScores(bool accept_entry) override {
    if (game && hiscores) core::ShowHiScores(*game, *hiscores, accept_entry);
  }

  std::vector<ShownMessage> messages;
  std::vector<std::string> questions;
  std::vector<std::string> errors;
  bool answer = true;
  core::Game* game = nullptr;
  core::HiScores* hiscores = nullptr;
};

// Everything a script plays with: the game and what surrounds it headless.
struct Session {
  Session() {
    game.host = &host;
    host.game = &game;
    host.hiscores = &hiscores;
    game.traffic = &traffic;
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  core::Game game;
  // The high-score window's table, kept for the whole run.
  core::HiScores hiscores;
  RecordingHost host;
  // The shuttles, the trade ship and the pirate ships, for the whole run.
  traffic::Traffic traffic{game};
};

}  // namespace sim
