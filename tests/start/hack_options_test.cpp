#include "start/hack_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace emberlrn {
namespace {

TEST(HackOptionsTest, ClassicLinesPassThroughUnchanged) {
  EXPECT_EQ(ParseHackOptions({"/s"}).classicLine, "/s");
  EXPECT_EQ(ParseHackOptions({"/p", "1234"}).classicLine, "/p 1234");
  EXPECT_EQ(ParseHackOptions({}).classicLine, "");
  EXPECT_EQ(ParseHackOptions({"s"}).classicLine, "s");
  EXPECT_FALSE(ParseHackOptions({"/s"}).Hosted());
  EXPECT_TRUE(ParseHackOptions({"/s"}).error.empty());
}

TEST(HackOptionsTest, UnknownOptionsAndHostOptionsWithoutAHostAreErrors) {
  for (const std::vector<std::string>& line :
       std::vector<std::vector<std::string>>{{"-s"},
                                             {"--bogus"},
                                             {"/s", "-x"},
                                             {"-fps"},
                                             {"-mono"},
                                             {"-install"},
                                             {"--geometry", "1x1", "/s"}}) {
    EXPECT_FALSE(ParseHackOptions(line).error.empty()) << line[0];
  }
  EXPECT_TRUE(ParseHackOptions({"-root", "-mono", "-install", "-fps"}).error.empty());
  EXPECT_TRUE(ParseHackOptions({"-window-id", "9", "-geometry", "1x1"}).error.empty());
}

TEST(HackOptionsTest, TheDisplayIsTakenInEveryModeAndOptionsAloneAskForTheSaver) {
  const HackOptions dialog = ParseHackOptions({"-display", ":3", "/c"});
  EXPECT_EQ(dialog.display, ":3");
  EXPECT_EQ(dialog.classicLine, "/c");
  EXPECT_EQ(ParseHackOptions({"/s", "--display", ":1"}).display, ":1");
  // Not the empty line that skips the single-instance rule.
  EXPECT_EQ(ParseHackOptions({"--display", ":1"}).classicLine, "/s");
  EXPECT_EQ(ParseHackOptions({"--display", ":1", "--root"}).classicLine, "");
  EXPECT_FALSE(ParseHackOptions({"-display"}).error.empty());
}

TEST(HackOptionsTest, ReadsXScreenSaversOptionsInBothSpellings) {
  HackOptions root = ParseHackOptions({"-root"});
  EXPECT_TRUE(root.root);
  EXPECT_TRUE(root.Hosted());
  EXPECT_TRUE(ParseHackOptions({"--root", "--fps"}).fps);

  HackOptions window = ParseHackOptions({"--window-id", "0x1a00003"});
  EXPECT_EQ(window.windowId, 0x1a00003u);
  EXPECT_EQ(ParseHackOptions({"-window-id", "4194307"}).windowId, 4194307u);

  HackOptions both = ParseHackOptions({"-root", "-window-id", "77"});
  EXPECT_TRUE(both.windowId.has_value());  // the window id wins when the saver picks its window
}

TEST(HackOptionsTest, ToolkitOptionsAreSkippedWithTheirValues) {
  HackOptions o =
      ParseHackOptions({"-display", ":3", "-geometry", "640x480+0+0", "-root", "-mono"});
  EXPECT_TRUE(o.root);
  EXPECT_EQ(o.classicLine, "");
}

TEST(HackOptionsTest, MalformedWindowIdsAreReported) {
  EXPECT_FALSE(ParseHackOptions({"--window-id"}).error.empty());
  for (const char* bad : {"", "0x", "zz", "0xfffffffff", "99999999999", "-5", "0", "12ab"}) {
    EXPECT_FALSE(ParseWindowId(bad).has_value()) << bad;
  }
  EXPECT_FALSE(ParseHackOptions({"--window-id", "nope"}).windowId.has_value());
  EXPECT_FALSE(ParseHackOptions({"--window-id", "nope"}).error.empty());
}

TEST(HackOptionsTest, HelpAndVersion) {
  EXPECT_TRUE(ParseHackOptions({"--help"}).help);
  EXPECT_TRUE(ParseHackOptions({"-h"}).help);
  EXPECT_TRUE(ParseHackOptions({"--version"}).version);
  EXPECT_NE(UsageText().find("/c"), std::string::npos);
  EXPECT_NE(UsageText().find("--window-id"), std::string::npos);
  EXPECT_EQ(VersionText(), "Emberlorn v " EMBERLRN_VERSION "\n");
}

TEST(HackOptionsTest, TheHostsWindowComesFromTheEnvironment) {
  setenv("XSCREENSAVER_WINDOW", "0x2e00007\n", 1);
  EXPECT_EQ(XScreenSaverWindow(), 0x2e00007u);
  setenv("XSCREENSAVER_WINDOW", "48234503", 1);
  EXPECT_EQ(XScreenSaverWindow(), 48234503u);
  setenv("XSCREENSAVER_WINDOW", "garbage", 1);
  EXPECT_FALSE(XScreenSaverWindow().has_value());
  unsetenv("XSCREENSAVER_WINDOW");
  EXPECT_FALSE(XScreenSaverWindow().has_value());
}

}  // namespace
}  // namespace emberlrn
