#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "traffic/traffic.h"

namespace {

class SoundHost : public core::Host {
 public:
  void PlaySound(const std::string& name) override { sounds.push_back(name); }
  std::vector<std::string> sounds;
};

void Spaceport(core::Game& g, int slot, int cx, int cy, bool exists = true) {
  g.placed[slot].spaceport = true;
  g.placed[slot].exists = exists;
  g.placed[slot].x = cx;
  g.placed[slot].y = cy;
}

// Frames until the visiting ship is idle again, counting the frames spent descending.
struct Visit {
  int descending = 0;
  int climbing = 0;
};
Visit RunVisit(traffic::Ships& ships) {
  Visit v;
  while (ships.ship_state != traffic::kShipIdle && v.descending + v.climbing < 5000) {
    const int before = ships.ship_state;
    traffic::TradeShipStep(ships);
    (before == traffic::kShipDescending ? v.descending : v.climbing) += 1;
  }
  return v;
}

TEST(TradeShip, StartsIdleAndVisibleAtCruisingHeight) {
  const traffic::Ships ships;
  EXPECT_EQ(ships.ship_state, 0);
  EXPECT_EQ(ships.trade_ship, (traffic::craft{0, 0, 60, true}));
  for (const auto& p : ships.pirates) {
    EXPECT_EQ(p.x, -10);
    EXPECT_EQ(p.height, 20);
    EXPECT_FALSE(p.visible);
  }
}

TEST(TradeShip, WithoutAnySpaceportFlagTheShipStaysIdle) {
  core::Game g;
  g.rng.Seed(3);
  core::Rng untouched(3);
  traffic::Ships ships;
  EXPECT_FALSE(traffic::CallShip(ships, g));
  EXPECT_EQ(ships, traffic::Ships{});
  traffic::TradeShipStep(ships);
  EXPECT_EQ(ships, traffic::Ships{});
  // No draws were spent on the search.
  EXPECT_EQ(g.Random(1000000), untouched.Random(1000000));
}

TEST(TradeShip, ADemolishedSpaceportStillReceivesTheShip) {
  core::Game g;
  Spaceport(g, 517, 9, 4, /*exists=*/false);
  traffic::Ships ships;
  EXPECT_TRUE(traffic::CallShip(ships, g));
  EXPECT_EQ(ships.ship_state, traffic::kShipDescending);
  EXPECT_EQ(ships.trade_ship.x, 180);
  EXPECT_EQ(ships.trade_ship.y, 80);
  EXPECT_EQ(ships.trade_ship.height, 60);  // the height is the step's business
}

TEST(TradeShip, ASpaceportInTheLastSlotCanBeDrawn) {
  core::Game g;
  Spaceport(g, 1000, 2, 3);
  traffic::Ships ships;
  EXPECT_TRUE(traffic::CallShip(ships, g));
  EXPECT_EQ(ships.trade_ship.x, 40);
  EXPECT_EQ(ships.trade_ship.y, 60);
}

TEST(TradeShip, SinksAndClimbsByAFixedShareOfItsHeightPerFrame) {
  core::Game g;
  Spaceport(g, 0, 15, 15);
  traffic::Ships ships;
  traffic::CallShip(ships, g);
  traffic::TradeShipStep(ships);
  EXPECT_FLOAT_EQ(ships.trade_ship.height, 60.0f - 0.5f);

  const Visit v = RunVisit(ships);
  // 60 * (119/120)^n < 3 after 358 frames; 3 * (121/120)^n > 60 after about 361.
  EXPECT_EQ(v.descending + 1, 358);
  EXPECT_NEAR(v.climbing, 361, 1);
  EXPECT_EQ(ships.ship_state, traffic::kShipIdle);
  EXPECT_EQ(ships.trade_ship.height, 60);
  EXPECT_EQ(ships.trade_ship.x, 300);  // stays over its last spaceport until called again
}

TEST(TradeShip, CallsDuringAVisitDoNotMoveItTheNextOneAfterDoes) {
  core::Game g;
  Spaceport(g, 10, 1, 1);
  traffic::Ships ships;
  traffic::CallShip(ships, g);
  for (int i = 0; i < 100; ++i) traffic::TradeShipStep(ships);
  Spaceport(g, 10, 0, 0, false);
  Spaceport(g, 11, 7, 7);
  ASSERT_EQ(ships.ship_state, traffic::kShipDescending);
  const traffic::craft descending = ships.trade_ship;
  EXPECT_FALSE(traffic::CallShip(ships, g));
  EXPECT_EQ(ships.trade_ship, descending);

  while (ships.ship_state != traffic::kShipClimbing) traffic::TradeShipStep(ships);
  const traffic::craft climbing = ships.trade_ship;
  EXPECT_FALSE(traffic::CallShip(ships, g));
  EXPECT_EQ(ships.trade_ship, climbing);
  EXPECT_EQ(ships.ship_state, traffic::kShipClimbing);

  RunVisit(ships);
  g.placed[10].spaceport = false;
  EXPECT_TRUE(traffic::CallShip(ships, g));
  EXPECT_EQ(ships.trade_ship.x, 140);
  EXPECT_EQ(ships.trade_ship.y, 140);
  EXPECT_EQ(ships.ship_state, traffic::kShipDescending);
}

TEST(TradeShip, TheDrawOnlyLandsOnFlaggedSlots) {
  core::Game g;
  Spaceport(g, 3, 1, 2);
  Spaceport(g, 700, 5, 6);
  for (int i = 0; i < 1000; ++i) g.placed[i].x = g.placed[i].x == 0 ? 33 : g.placed[i].x;
  bool saw3 = false, saw700 = false;
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    g.rng.Seed(seed);
    traffic::Ships ships;
    ASSERT_TRUE(traffic::CallShip(ships, g));
    const bool at3 = ships.trade_ship.x == 20 && ships.trade_ship.y == 40;
    const bool at700 = ships.trade_ship.x == 100 && ships.trade_ship.y == 120;
    EXPECT_TRUE(at3 || at700);
    saw3 = saw3 || at3;
    saw700 = saw700 || at700;
  }
  EXPECT_TRUE(saw3);
  EXPECT_TRUE(saw700);
}

TEST(Pirates, ARaidSendsThemAcrossTheirLanesAndTheyVanishPastTheEdge) {
  core::Game g;
  SoundHost host;
  g.host = &host;
  traffic::Ships ships;
  traffic::ProcessPirates(ships, g, 0.1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(ships.pirates[i].visible);
    EXPECT_EQ(ships.pirates[i].y, 240 + 60 * i);  // lanes are set also while parked
    EXPECT_EQ(ships.pirates[i].height, 20);
  }
  EXPECT_TRUE(host.sounds.empty());

  traffic::SendPirates(ships);
  EXPECT_EQ(ships.pirates[0].x, 600);
  EXPECT_EQ(ships.pirates[1].x, 580);
  EXPECT_EQ(ships.pirates[2].x, 600);

  std::array<int, 3> visible_frames{};
  for (int frame = 0; frame < 200; ++frame) {
    traffic::ProcessPirates(ships, g, 0.1);
    for (int i = 0; i < 3; ++i) visible_frames[i] += ships.pirates[i].visible ? 1 : 0;
  }
  // 5 units per frame: from 600 the ship is past -10 after 122 frames (12.2 s).
  EXPECT_EQ(visible_frames[0], 122);
  EXPECT_EQ(visible_frames[1], 118);
  EXPECT_EQ(visible_frames[2], 122);
  EXPECT_EQ(ships.pirates[0].x, -10);
  EXPECT_EQ(ships.pirates[1].x, -10);
  for (const auto& p : ships.pirates) EXPECT_FALSE(p.visible);
  for (const auto& s : host.sounds) EXPECT_EQ(s, "snd_laser");
  // 362 ship-frames in flight at 3 in 100.
  EXPECT_GT(host.sounds.size(), 2u);
  EXPECT_LT(host.sounds.size(), 40u);

  const std::size_t fired = host.sounds.size();
  for (int frame = 0; frame < 500; ++frame) traffic::ProcessPirates(ships, g, 0.1);
  EXPECT_EQ(host.sounds.size(), fired) << "parked ships do not fire";
}

TEST(Pirates, ARaidDuringARaidPutsThemBackToTheStart) {
  core::Game g;
  traffic::Ships ships;
  traffic::SendPirates(ships);
  for (int frame = 0; frame < 50; ++frame) traffic::ProcessPirates(ships, g, 0.1);
  EXPECT_EQ(ships.pirates[0].x, 350);
  traffic::SendPirates(ships);
  EXPECT_EQ(ships.pirates[0].x, 600);
  EXPECT_EQ(ships.pirates[1].x, 580);
  EXPECT_TRUE(ships.pirates[0].visible);
}

TEST(Pirates, TheFrameTimeSetsTheirSpeed) {
  core::Game g;
  traffic::Ships ships;
  traffic::SendPirates(ships);
  traffic::ProcessPirates(ships, g, 1.0 / 60);
  EXPECT_FLOAT_EQ(ships.pirates[0].x, 600 - 50.0f / 60);
  traffic::ProcessPirates(ships, g, 2.0);
  EXPECT_FLOAT_EQ(ships.pirates[0].x, 500 - 50.0f / 60);
}

TEST(TrafficLink, TheRulesReachTheCraftThroughTheGame) {
  core::Game g;
  traffic::Traffic t{g};
  g.traffic = &t;
  Spaceport(g, 0, 2, 2);
  g.traffic->CallShip();
  EXPECT_EQ(t.ship_state(), traffic::kShipDescending);
  g.traffic->SendPirates();
  EXPECT_EQ(t.ships().pirates[1].x, 580);
  g.traffic->AddShuttle();
  EXPECT_EQ(g.traffic->ActiveShuttles(), 1);

  // One frame: pirates, shuttles and trade ship all move.
  t.Frame(0.1);
  EXPECT_EQ(t.ships().pirates[1].x, 575);
  EXPECT_DOUBLE_EQ(t.shuttles()[0].height, 40 - 0.3);
  EXPECT_FLOAT_EQ(t.ships().trade_ship.height, 59.5f);
}

}  // namespace
