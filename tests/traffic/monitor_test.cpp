#include <gtest/gtest.h>

#include "traffic/monitor.h"

namespace {

TEST(FormatReal, GeneralFormWithFifteenDigits) {
  EXPECT_EQ(traffic::FormatReal(300), "300");
  EXPECT_EQ(traffic::FormatReal(12.5), "12.5");
  EXPECT_EQ(traffic::FormatReal(-0.0667), "-0.0667");
  EXPECT_EQ(traffic::FormatReal(0), "0");
  EXPECT_EQ(traffic::FormatReal(-0.0), "0");
  EXPECT_EQ(traffic::FormatReal(1.0 / 60), "0.0166666666666667");
  EXPECT_EQ(traffic::FormatReal(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(traffic::FormatReal(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(traffic::FormatReal(0.1 + 0.2), "0.3");
  EXPECT_EQ(traffic::FormatReal(-170), "-170");
  EXPECT_EQ(traffic::FormatReal(999999999999999.0), "999999999999999");
}

TEST(FormatReal, ExponentFormForVeryLargeAndVerySmall) {
  // The smallest magnitude written out is 0.0001; just below it the exponent takes over.
  EXPECT_EQ(traffic::FormatReal(0.0001), "0.0001");
  EXPECT_EQ(traffic::FormatReal(-0.00012), "-0.00012");
  EXPECT_EQ(traffic::FormatReal(9.999e-5), "9.999E-5");
  EXPECT_EQ(traffic::FormatReal(0.00001), "1E-5");
  EXPECT_EQ(traffic::FormatReal(0.0000015), "1.5E-6");
  EXPECT_EQ(traffic::FormatReal(1e15), "1E15");
  EXPECT_EQ(traffic::FormatReal(-2.5e20), "-2.5E20");
  EXPECT_EQ(traffic::FormatReal(1e-300), "1E-300");
  EXPECT_EQ(traffic::FormatReal(1.0 / 0.0), "INF");
  EXPECT_EQ(traffic::FormatReal(-1.0 / 0.0), "-INF");
}

TEST(ShuttleMonitor, NoActiveShuttleGivesNoText) {
  traffic::Shuttles table{};
  table[3].x = 5;  // an inactive record is not shown, whatever it holds
  EXPECT_TRUE(traffic::ShuttleMonitorLines(table).empty());
}

TEST(ShuttleMonitor, SlotsCountFromOneAndInactiveOnesLeaveAGap) {
  traffic::Shuttles table{};
  table[0].active = true;
  table[2].active = true;
  table[2].state = 1;
  table[2].speed = 0.5;
  table[2].speedx = -0.0667;
  table[2].speedy = 1.25;
  table[2].x = 300;
  table[2].y = 12.5;
  table[2].x1 = 1;
  table[2].y1 = 2;
  table[2].x2 = 3;
  table[2].y2 = 4;
  table[2].angle = -170;
  table[2].desangle = 45;
  table[2].height = 15;  // height, active and aligned are not shown
  table[2].aligned = true;
  const auto lines = traffic::ShuttleMonitorLines(table);
  ASSERT_EQ(lines.size(), 26u);
  EXPECT_EQ(lines[0], "-- shuttle 1 --");
  EXPECT_EQ(lines[13], "-- shuttle 3 --");
  const std::vector<std::string> third(lines.begin() + 13, lines.end());
  EXPECT_EQ(third, (std::vector<std::string>{"-- shuttle 3 --", "state 1", "speed 0.5", "speed x -0.0667",
                                              "speed y 1.25", "x 300", "y 12.5", "x1 1", "y1 2", "x2 3", "y2 4",
                                              "angle -170", "desangle 45"}));
}

}  // namespace
