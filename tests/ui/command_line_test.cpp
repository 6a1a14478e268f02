#include "ui/command_line.h"

#include <gtest/gtest.h>

namespace {

using ui::ParseCommandLine;

TEST(CommandLine, NoArgumentsPlaysTheGameWithVsync) {
  const auto r = ParseCommandLine({"quenmar"});
  EXPECT_TRUE(r.error.empty());
  EXPECT_TRUE(r.options.vsync);
  EXPECT_FALSE(r.options.automated());
  EXPECT_FALSE(r.options.seed.has_value());
  EXPECT_EQ(r.options.frames, -1);
  EXPECT_EQ(r.toolkit_args, std::vector<std::string>{"quenmar"});
}

TEST(CommandLine, TestHooksAndTheirValues) {
  const auto r = ParseCommandLine({"quenmar", "--data", "/d", "--seed", "-1", "--script", "s.txt", "--frames", "12",
                                   "--screenshot", "out.png", "--no-vsync", "--timing", "--console"});
  ASSERT_TRUE(r.error.empty()) << r.error;
  EXPECT_EQ(r.options.data_dir, "/d");
  EXPECT_EQ(r.options.seed, 4294967295u);
  EXPECT_EQ(r.options.script, "s.txt");
  EXPECT_EQ(r.options.frames, 12);
  EXPECT_EQ(r.options.screenshot, "out.png");
  EXPECT_FALSE(r.options.vsync);
  EXPECT_TRUE(r.options.timing);
  EXPECT_TRUE(r.options.console);
  EXPECT_TRUE(r.options.automated());
}

TEST(CommandLine, AScreenshotWithoutAFrameCountComesAfterTheFirstFrame) {
  EXPECT_EQ(ParseCommandLine({"q", "--screenshot", "a.png"}).options.frames, 1);
  EXPECT_EQ(ParseCommandLine({"q", "--frames", "0", "--screenshot", "a.png"}).options.frames, 0);
}

TEST(CommandLine, TheEnvironmentCanSwitchVsyncOff) {
  EXPECT_FALSE(ParseCommandLine({"q"}, "1").options.vsync);
  EXPECT_TRUE(ParseCommandLine({"q"}, "0").options.vsync);
  EXPECT_TRUE(ParseCommandLine({"q"}, "").options.vsync);
}

TEST(CommandLine, ToolkitOptionsArePassedOnWithTheirValues) {
  const auto r = ParseCommandLine({"quenmar", "-platform", "xcb", "--frames", "2", "-reverse"});
  ASSERT_TRUE(r.error.empty()) << r.error;
  EXPECT_EQ(r.toolkit_args, (std::vector<std::string>{"quenmar", "-platform", "xcb", "-reverse"}));
  EXPECT_EQ(r.options.frames, 2);
}

TEST(CommandLine, MistakesAreErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"q", "--frames"},
           {"q", "--frames", "-3"},
           {"q", "--frames", "ten"},
           {"q", "--seed", "x"},
           {"q", "--data", ""},
           {"q", "--script", ""},
           {"q", "--bogus"},
           {"q", "stray"},
       }) {
    EXPECT_FALSE(ParseCommandLine(args).error.empty()) << args.back();
  }
}

}  // namespace
