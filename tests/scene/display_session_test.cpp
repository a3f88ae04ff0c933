#include "scene/display_session.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes/fake_ddrw.h"
#include "fakes/fake_display_modes.h"
#include "fakes/fake_system.h"

namespace emberlrn {
namespace {

using FakeModes = FakeDisplayModes;

const std::vector<DisplayModeRecord> kTypicalList = {
    {640, 480, 8},   {640, 480, 16},  {800, 600, 16},  {800, 600, 32},
    {1024, 768, 16}, {1024, 768, 32}, {1024, 768, 24}, {1024, 768, 32},  // a second refresh rate
    {1280, 1024, 32}};

const char kTail[] =
    "\r\n\r\nOn Linux the color depth is the display server's own: it is set when the display "
    "server starts (for Xorg, DefaultDepth in its configuration)\r\nPlease check that your display "
    "runs at 24-bit color and lets programs open a full-screen window";

TEST(ModeListTest, LinesInEnumerationOrderAndTheLastMatchIsSelected) {
  FakeModes modes(kTypicalList, 1024, 768, 32);
  const ModeList list = BuildModeList(modes);
  EXPECT_EQ(list.lines, (std::vector<std::string>{"640x480x8", "640x480x16", "800x600x16",
                                                  "800x600x32", "1024x768x16", "1024x768x32",
                                                  "1024x768x24", "1024x768x32", "1280x1024x32"}));
  ASSERT_TRUE(list.selected.has_value());
  EXPECT_EQ(*list.selected, 7u);
  EXPECT_EQ(SelectedDepthText(list), "32");
  EXPECT_EQ(modes.enumerated, 10);  // asked until the system had no more
}

TEST(ModeListTest, NoSelectionWithoutAnExactMatchAndTheEightBitTail) {
  FakeModes unlisted(kTypicalList, 1920, 1080, 32);
  EXPECT_FALSE(BuildModeList(unlisted).selected.has_value());
  EXPECT_EQ(SelectedDepthText(BuildModeList(unlisted)), "");

  FakeModes eightBit(kTypicalList, 640, 480, 8);
  EXPECT_EQ(SelectedDepthText(BuildModeList(eightBit)), "x8");

  FakeModes none({}, 1024, 768, 24);
  EXPECT_TRUE(BuildModeList(none).lines.empty());
  EXPECT_EQ(SelectedDepthText(BuildModeList(none)), "");
}

TEST(OpenDisplayTest, TheDesktopDepthIsAskedForAt800x600) {
  for (int16_t depth : {32, 24, 16}) {
    FakeModes modes(kTypicalList, 1024, 768, depth);
    FakeDDrw ddrw;
    FakeSystem system;
    EXPECT_TRUE(OpenDisplay(ddrw, modes, system)) << depth;
    EXPECT_EQ(ddrw.calls,
              (std::vector<std::string>{"SetDisplayMode(800,600," + std::to_string(depth) + ",)"}));
    EXPECT_TRUE(system.messages.empty());
  }
}

TEST(OpenDisplayTest, UnlistedAndEightBitDesktopsTrySixteenBitsUnchecked) {
  FakeModes unlisted(kTypicalList, 1920, 1080, 32);
  FakeModes eightBit(kTypicalList, 640, 480, 8);
  for (FakeModes* modes : {&unlisted, &eightBit}) {
    FakeDDrw ddrw;
    ddrw.modeAnswers[16] = false;  // refused, and nobody looks
    FakeSystem system;
    EXPECT_TRUE(OpenDisplay(ddrw, *modes, system));
    EXPECT_EQ(ddrw.calls, (std::vector<std::string>{"SetDisplayMode(800,600,16,)"}));
    EXPECT_TRUE(system.messages.empty());
  }
}

TEST(OpenDisplayTest, ARefused24BitSwitchIsExplainedWithoutTheClosingParagraph) {
  FakeModes modes(kTypicalList, 1024, 768, 24);
  FakeDDrw ddrw;
  ddrw.modeAnswers[24] = false;
  FakeSystem system;
  EXPECT_FALSE(OpenDisplay(ddrw, modes, system));
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(system.messages[0].title, "Error opening the display!");
  EXPECT_EQ(system.messages[0].text,
            std::string("The screensaver stated you were using 24-bit color\r\n\r\nHowever when "
                        "it attempted to activate, it could not open its full-screen window at "
                        "24-bit color") +
                kTail);
}

TEST(OpenDisplayTest, ARefused16BitSwitchAddsTheAdviceForHigherColour) {
  FakeModes modes(kTypicalList, 1024, 768, 16);
  FakeDDrw ddrw;
  ddrw.modeAnswers[16] = false;
  FakeSystem system;
  EXPECT_FALSE(OpenDisplay(ddrw, modes, system));
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].text,
            std::string("The screensaver stated you were using 16-bit color\r\n\r\nHowever when "
                        "it attempted to activate, it could not open its full-screen window at "
                        "16-bit color") +
                kTail +
                "\r\n\r\nThis screensaver was designed to run at higher color than 16-bit.  We "
                "strongly suggest starting your display server at 24-bit color");
}

TEST(OpenDisplayTest, ARefused32BitSwitch) {
  FakeModes modes(kTypicalList, 1024, 768, 32);
  FakeDDrw ddrw;
  ddrw.modeAnswers[32] = false;
  FakeSystem system;
  EXPECT_FALSE(OpenDisplay(ddrw, modes, system));
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].text,
            std::string("The screensaver stated you were using 32-bit color\r\n\r\nHowever when "
                        "it attempted to activate, it could not open its full-screen window at "
                        "32-bit color") +
                kTail);
  EXPECT_EQ(DirectDrawErrorText(32).back(), 'w');  // no break after the last line
}

TEST(OpenDisplayTest, AWindowThatCannotBeDrawnIsToldAsSuchAtEveryDepth) {
  FakeModes unlisted(kTypicalList, 1920, 1080, 32);
  for (int16_t depth : {32, 24, 16, 0}) {
    FakeModes listed(kTypicalList, 1024, 768, depth);
    FakeModes& modes = depth == 0 ? unlisted : listed;
    FakeDDrw ddrw;
    ddrw.modeAnswers[depth == 0 ? 16 : depth] = false;
    ddrw.windowFault = "Couldn't find matching render driver";
    FakeSystem system;
    EXPECT_FALSE(OpenDisplay(ddrw, modes, system)) << depth;
    ASSERT_EQ(system.messages.size(), 1u) << depth;
    EXPECT_EQ(system.messages[0].title, "Error opening the display!");
    const std::string& text = system.messages[0].text;
    EXPECT_EQ(text.find("-bit color"), std::string::npos) << text;
    EXPECT_EQ(text.find("The screensaver could not open its full-screen window: Couldn't find "
                        "matching render driver\r\n"),
              0u)
        << text;
  }
}

}  // namespace
}  // namespace emberlrn
