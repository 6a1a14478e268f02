#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/economy.h"
#include "core/newgame.h"
#include "support/test_data.h"
#include "traffic/traffic.h"

namespace {

using traffic::shuttle;

void Place(core::Game& g, int slot, int cx, int cy) {
  g.placed[slot].exists = true;
  g.placed[slot].active = true;
  g.placed[slot].x = cx;
  g.placed[slot].y = cy;
}

// A shuttle on the ground at (x, y) that is about to choose its next destination.
shuttle LandingAt(double x, double y) {
  shuttle s;
  s.active = true;
  s.state = traffic::kDescending;
  s.height = traffic::kShuttleGround;
  s.x = x;
  s.y = y;
  return s;
}

// A shuttle at cruising height, aligned, about to fly from (x1, y1) to (x2, y2).
shuttle FlyingFrom(double x1, double y1, double x2, double y2) {
  shuttle s;
  s.active = true;
  s.state = traffic::kCruising;
  s.height = traffic::kShuttleCruise;
  s.x = s.x1 = x1;
  s.y = s.y1 = y1;
  s.x2 = x2;
  s.y2 = y2;
  s.angle = std::atan2(y2 - y1, x2 - x1) * (180.0 / std::numbers::pi);
  return s;
}

TEST(AddShuttle, StartsAboveSlotZerosCellInTheFirstFreeSlot) {
  core::Game g;
  g.placed[0].x = 7;
  g.placed[0].y = 4;
  g.placed[0].exists = false;  // the record counts, whether or not it holds a building
  traffic::Shuttles table{};
  table[0].active = true;
  table[2].angle = 33;  // fields the start leaves alone keep their values
  table[2].speed = 0.5;

  traffic::AddShuttle(table, g);

  EXPECT_EQ(traffic::ActiveShuttles(table), 2);
  const shuttle& s = table[1];
  EXPECT_TRUE(s.active);
  EXPECT_EQ(s.x, 140);
  EXPECT_EQ(s.y, 80);
  EXPECT_EQ(s.height, 40);
  EXPECT_EQ(s.x1, 0);
  EXPECT_EQ(s.y1, 0);
  EXPECT_EQ(s.x2, 140);
  EXPECT_EQ(s.y2, 80);
  EXPECT_EQ(s.state, traffic::kDescending);
  EXPECT_FALSE(s.aligned);

  traffic::AddShuttle(table, g);
  EXPECT_TRUE(table[2].active);
  EXPECT_EQ(table[2].angle, 33);
  EXPECT_EQ(table[2].speed, 0.5);
}

TEST(AddShuttle, NeverMoreThanTen) {
  core::Game g;
  traffic::Shuttles table{};
  for (int i = 0; i < 12; ++i) traffic::AddShuttle(table, g);
  EXPECT_EQ(traffic::ActiveShuttles(table), 10);
  const traffic::Shuttles before = table;
  traffic::AddShuttle(table, g);
  EXPECT_EQ(table, before);
}

// The daily tick asks the traffic for shuttles through the game's link.
class ShuttleTick : public ::testing::Test {
 protected:
  void SetUp() override {
    g.traffic = &link;
    g.events_enabled = false;
  }
  void Buildings(int n) {
    for (int i = 0; i < n; ++i) Place(g, i, i % 30, i / 30);
  }
  core::Game g;
  traffic::Traffic link{g};
};

TEST_F(ShuttleTick, FourteenBuildingsKeepOneShuttleFifteenAddOne) {
  Buildings(14);
  link.AddShuttle();
  core::ProcessDay(g);
  EXPECT_EQ(link.ActiveShuttles(), 1);  // Round(1.4) = 1

  Place(g, 14, 20, 20);
  core::ProcessDay(g);
  EXPECT_EQ(link.ActiveShuttles(), 2);  // Round(1.5) = 2
  core::ProcessDay(g);
  EXPECT_EQ(link.ActiveShuttles(), 2);
}

TEST_F(ShuttleTick, HalvesRoundToEven) {
  Buildings(25);
  for (int day = 0; day < 5; ++day) core::ProcessDay(g);
  EXPECT_EQ(link.ActiveShuttles(), 2);  // Round(2.5) = 2, not 3
}

TEST_F(ShuttleTick, OnePerDayAndNeverMoreThanTen) {
  Buildings(400);
  for (int day = 1; day <= 12; ++day) {
    core::ProcessDay(g);
    EXPECT_EQ(link.ActiveShuttles(), std::min(day, 10)) << "day " << day;
  }
}

TEST(ShuttleFlight, DestinationIsNeverInTheLandingRowOrColumn) {
  core::Game g;
  // Landing at cell (5, 5); buildings straight up, down, left and right of it, on it, and
  // two that qualify.
  Place(g, 0, 5, 5);
  Place(g, 1, 5, 9);
  Place(g, 2, 5, 1);
  Place(g, 3, 1, 5);
  Place(g, 4, 9, 5);
  Place(g, 500, 8, 2);
  Place(g, 999, 2, 8);
  Place(g, 1000, 12, 12);  // slot 1000 is never drawn
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    g.rng.Seed(seed);
    traffic::Shuttles table{};
    table[0] = LandingAt(100, 100);
    traffic::ShuttleAI(table, g, 1.0 / 60);
    const shuttle& s = table[0];
    ASSERT_EQ(s.state, traffic::kClimbing);
    EXPECT_EQ(s.x1, 100);
    EXPECT_EQ(s.y1, 100);
    EXPECT_FALSE(s.aligned);
    const bool a = s.x2 == 160 && s.y2 == 40;
    const bool b = s.x2 == 40 && s.y2 == 160;
    EXPECT_TRUE(a || b) << "seed " << seed << " chose (" << s.x2 << ", " << s.y2 << ")";
  }
}

TEST(ShuttleFlight, WithNowhereToGoStaysLandedAndTriesAgainLater) {
  core::Game g;
  traffic::Shuttles table{};
  table[0] = LandingAt(100, 100);
  traffic::ShuttleAI(table, g, 1.0 / 60);  // no building at all
  EXPECT_EQ(table[0], LandingAt(100, 100));

  Place(g, 0, 5, 5);   // the landing cell itself
  Place(g, 7, 5, 20);  // same column
  Place(g, 8, 20, 5);  // same row
  Place(g, 1000, 9, 9);  // qualifies, but slot 1000 is never a destination
  for (int frame = 0; frame < 100; ++frame) traffic::ShuttleAI(table, g, 1.0 / 60);
  EXPECT_EQ(table[0], LandingAt(100, 100));

  Place(g, 9, 6, 6);
  traffic::ShuttleAI(table, g, 1.0 / 60);
  EXPECT_EQ(table[0].state, traffic::kClimbing);
  EXPECT_EQ(table[0].x2, 120);
  EXPECT_EQ(table[0].y2, 120);
}

TEST(ShuttleFlight, TurnsOneDegreePerFrameAlongTheNumericDifference) {
  core::Game g;
  traffic::Shuttles table{};
  // Heading 170, destination at -170 degrees: the turn runs through 0, not across 180.
  const double rad = -170.0 * std::numbers::pi / 180.0;
  table[0] = FlyingFrom(0, 0, 1000 * std::cos(rad), 1000 * std::sin(rad));
  table[0].angle = 170;
  const double desangle = std::atan2(table[0].y2, table[0].x2) * (180.0 / std::numbers::pi);
  ASSERT_NEAR(desangle, -170, 1e-9);

  int frames = 0;
  bool passed_zero = false;
  while (!table[0].aligned && frames < 1000) {
    traffic::ShuttleAI(table, g, 1.0 / 60);
    ++frames;
    passed_zero = passed_zero || table[0].angle == 0;
    if (!table[0].aligned) {
      EXPECT_EQ(table[0].x, 0) << "hovers while turning";
      EXPECT_EQ(table[0].y, 0);
    }
  }
  const int expected = desangle + 3 >= -167 ? 337 : 338;
  EXPECT_EQ(frames, expected);
  EXPECT_TRUE(passed_zero);
  EXPECT_EQ(table[0].angle, table[0].desangle);
}

TEST(ShuttleFlight, TurningIgnoresFrameTimeClimbingAndSinkingScaleWithIt) {
  for (double dt : {0.001, 0.05, 0.5}) {
    core::Game g;
    traffic::Shuttles table{};
    table[0] = FlyingFrom(0, 0, 100, 100);  // desangle 45
    table[0].angle = 0.5;
    int turn = 0;
    while (!table[0].aligned) {
      traffic::ShuttleAI(table, g, dt);
      ++turn;
    }
    EXPECT_EQ(turn, 42) << "dt " << dt;  // 42.5 is the first heading within 3 of 45

    shuttle climber = LandingAt(0, 0);
    climber.state = traffic::kClimbing;
    table[1] = climber;
    table[1].x2 = 1000;  // well away, so a landing elsewhere never matters
    traffic::ShuttleAI(table, g, dt);
    EXPECT_DOUBLE_EQ(table[1].height, std::min(2 + 2 * dt, 15.0)) << "dt " << dt;

    table[2] = climber;
    table[2].state = traffic::kDescending;
    table[2].height = 40;
    traffic::ShuttleAI(table, g, dt);
    EXPECT_DOUBLE_EQ(table[2].height, 40 - 3 * dt) << "dt " << dt;
  }
}

TEST(ShuttleFlight, ClimbsToCruisingHeightThenTurnsInTheSameFrame) {
  core::Game g;
  traffic::Shuttles table{};
  table[0] = FlyingFrom(0, 0, 100, 100);
  table[0].state = traffic::kClimbing;
  table[0].height = 14.9;
  table[0].angle = 0;
  traffic::ShuttleAI(table, g, 0.1);
  EXPECT_EQ(table[0].height, 15);
  EXPECT_EQ(table[0].state, traffic::kCruising);
  EXPECT_EQ(table[0].angle, 1);  // turned once already
}

TEST(ShuttleFlight, FliesTheStraightLineAndArrivesAfterFiveSecondsPerColumn) {
  core::Game g;
  traffic::Shuttles table{};
  // Three columns and twelve rows away: the x distance alone sets the pace.
  table[0] = FlyingFrom(40, 20, 100, 260);
  const double dt = 0.02;
  int frames = 0;
  while (table[0].state == traffic::kCruising && frames < 10000) {
    traffic::ShuttleAI(table, g, dt);
    ++frames;
    const shuttle& s = table[0];
    // On the line from the start to the destination: y - 20 = 4 (x - 40).
    EXPECT_NEAR(s.y - 20, 4 * (s.x - 40), 1e-6);
  }
  EXPECT_EQ(table[0].state, traffic::kDescending);
  EXPECT_DOUBLE_EQ(table[0].speed, 10 * dt);
  EXPECT_DOUBLE_EQ(table[0].speedx, dt * 60 / 15);
  EXPECT_DOUBLE_EQ(table[0].speedy, dt * 240 / 15);
  // Within the tolerance square of 5 around the destination, about 15 seconds in.
  EXPECT_LT(std::fabs(table[0].x - 100), 5);
  EXPECT_LT(std::fabs(table[0].y - 260), 5);
  EXPECT_NEAR(frames * dt, 15, 0.5);
}

TEST(ShuttleFlight, LongFramesWidenTheArrivalTolerance) {
  core::Game g;
  traffic::Shuttles table{};
  table[0] = FlyingFrom(0, 0, 20, 400);
  // One frame of 0.8 s takes a y step of 64: a fixed tolerance of 5 would be jumped over.
  int frames = 0;
  while (table[0].state == traffic::kCruising && frames < 100) {
    traffic::ShuttleAI(table, g, 0.8);
    ++frames;
  }
  EXPECT_EQ(table[0].state, traffic::kDescending);
  EXPECT_LT(frames, 10);
}

TEST(ShuttleFlight, AnXDistanceRoundingToZeroCellsDoesNotDivideByZero) {
  core::Game g;
  traffic::Shuttles table{};
  // Landed 10 units off its cell after a long frame: 10 / 20 rounds to 0 cells.
  table[0] = FlyingFrom(30, 0, 20, 200);
  traffic::ShuttleAI(table, g, 0.1);
  const shuttle& s = table[0];
  EXPECT_TRUE(std::isfinite(s.speedx));
  EXPECT_TRUE(std::isfinite(s.speedy));
  EXPECT_DOUBLE_EQ(s.speedx, 0.1 * -10 / 5);
  EXPECT_DOUBLE_EQ(s.speedy, 0.1 * 200 / 5);
  EXPECT_TRUE(std::isfinite(s.x));
}

TEST(ShuttleFlight, AFullCycleLandsAndPicksTheNextBuilding) {
  core::Game g;
  g.rng.Seed(7);
  Place(g, 0, 3, 3);
  Place(g, 1, 6, 8);
  traffic::Shuttles table{};
  traffic::AddShuttle(table, g);
  std::vector<std::pair<double, double>> destinations;
  for (int frame = 0; frame < 20000 && destinations.size() < 4; ++frame) {
    const int before = table[0].state;
    traffic::ShuttleAI(table, g, 1.0 / 30);
    if (before == traffic::kDescending && table[0].state == traffic::kClimbing)
      destinations.emplace_back(table[0].x2, table[0].y2);
  }
  ASSERT_EQ(destinations.size(), 4u);
  // Two buildings off each other's row and column: the shuttle shuttles between them.
  EXPECT_EQ(destinations[0], std::make_pair(120.0, 160.0));
  EXPECT_EQ(destinations[1], std::make_pair(60.0, 60.0));
  EXPECT_EQ(destinations[2], std::make_pair(120.0, 160.0));
  EXPECT_EQ(destinations[3], std::make_pair(60.0, 60.0));
}

TEST(ShuttleFlight, InactiveSlotsStayUntouched) {
  core::Game g;
  Place(g, 0, 3, 3);
  Place(g, 1, 6, 8);
  traffic::Shuttles table{};
  table[4].x = 12;
  const traffic::Shuttles before = table;
  for (int i = 0; i < 50; ++i) traffic::ShuttleAI(table, g, 0.1);
  EXPECT_EQ(table, before);
}

TEST(ShuttleFlight, ShuttlesSurviveANewGameAndFlyBetweenItsBuildings) {
  testing_support::TempDir dir;
  core::building home = testing_support::PlainType(0);
  home.x = 15;
  home.y = 15;
  testing_support::WriteMinimalData(dir, {{0, home}});
  core::Game g;
  g.exe_dir = dir.path();
  traffic::Traffic link{g};
  g.traffic = &link;
  g.events_enabled = false;
  core::StartNewGame(g, core::kLevelEasy);
  Place(g, 1, 4, 4);
  link.AddShuttle();
  for (int i = 0; i < 2000; ++i) link.ShuttleAI(1.0 / 30);

  core::StartNewGame(g, core::kLevelNormal);
  ASSERT_EQ(link.ActiveShuttles(), 1);
  Place(g, 1, 20, 25);
  bool reached_new_building = false;
  for (int i = 0; i < 20000 && !reached_new_building; ++i) {
    link.ShuttleAI(1.0 / 30);
    reached_new_building = link.shuttles()[0].x2 == 400 && link.shuttles()[0].y2 == 500;
  }
  EXPECT_TRUE(reached_new_building);
}

}  // namespace
