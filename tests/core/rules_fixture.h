// A colony for the rule tests: a catalog set up in memory, every message, question, sound
// and craft call recorded.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/game.h"

namespace rules_test {

class RecordingHost : public core::Host {
 public:
  void ShowInfoMessage(int kind, const std::string& text) override { shown.push_back({kind, text}); }
  bool Confirm(const std::string& text) override {
    questions.push_back(text);
    return answer;
  }
  void PlaySound(const std::string& name) override { sounds.push_back(name); }
  void ShowHighScores(bool accept_entry) override { high_scores.push_back(accept_entry); }
  void UpdateBldgList() override { ++list_rebuilds; }

  // The texts shown, without their kinds.
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const auto& m : shown) t.push_back(m.second);
    return t;
  }

  std::vector<std::pair<int, std::string>> shown;
  std::vector<std::string> questions;
  std::vector<std::string> sounds;
  std::vector<bool> high_scores;
  int list_rebuilds = 0;
  bool answer = true;
};

class RecordingTraffic : public core::TrafficLink {
 public:
  void CallShip() override { ++ship_calls; }
  void SendPirates() override { ++pirate_raids; }
  int ship_calls = 0;
  int pirate_raids = 0;
};

// A building type with no needs and nothing made; name "B<id>".
inline core::building Type(int id, int cst = 1000) {
  core::building b;
  b.exists = b.active = true;
  b.id = id;
  b.name = "B" + std::to_string(id);
  b.cst = cst;
  b.up = 1;
  b.upl = 5;
  b.upch = 100;
  b.x = 15;
  b.y = 15;
  return b;
}

class Colony : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int k = 1; k <= 200; ++k) g.locale_table[k] = "E" + std::to_string(k);
    g.host = &host;
    g.traffic = &traffic;
    g.level = 10;
    g.day = 5;
    g.money = 100000;
    g.energy_out = 1000;
    g.population = 100;
    g.food = 100;
    g.wage = 80;
    g.events_enabled = false;
    g.catalog[0] = Type(0);
    g.catalog[1] = Type(7, 250);
    g.catalog[2] = Type(9, 2000);
    g.catalog[2].unique = true;
    g.catalog[2].engcons = 50;
    g.placed[0] = g.catalog[0];
    g.PlacedChanged();
  }

  // Puts a finished building of catalog type `k` into `slot` at (x, y), past the rules.
  core::building& Place(int slot, int k, int x, int y) {
    core::building& b = g.placed[slot];
    b = g.catalog[k];
    b.x = x;
    b.y = y;
    g.PlacedChanged();
    return b;
  }

  // Every slot in use, slot i on cell (i % 40, i / 40).
  void FillTable() {
    for (int i = 0; i < core::kPlacedSize; ++i) Place(i, 0, i % 40, i / 40);
  }

  core::Game g;
  RecordingHost host;
  RecordingTraffic traffic;
};

}  // namespace rules_test
