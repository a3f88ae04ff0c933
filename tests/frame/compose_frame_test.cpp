#include "frame/compose_frame.h"

#include <gtest/gtest.h>

#include "frame/frame_fixture.h"

namespace emberlrn {
namespace {

using testing::Draw;
using namespace testing;
using Calls = std::vector<std::string>;

// A frame with nothing but the switches the test sets: no calendar, no
// stockings, bells or poinsettias, no message, notices done.
struct ComposeTest : ::testing::Test, FrameFixture {
  ComposeTest() {
    overlays.showCalendar = 0;
    overlays.showMessage = 0;
    rotation.rotateOn = 1;
    rotation.fireplaceIndex = 1;
    rotation.showMantle.fill(true);
  }
  Calls Frame() {
    ddrw.calls.clear();
    Compose();
    return ddrw.calls;
  }
  // The frame's calls between the logs (and andirons) and the flip.
  Calls Middle() {
    Calls calls = Frame();
    const size_t head = decorations.showAndirons == 1 ? 6 : 4;
    return Calls(calls.begin() + head, calls.end() - 1);
  }
};

TEST_F(ComposeTest, TheBackToFrontOrderOfAPlainFrame) {
  EXPECT_EQ(Frame(), (Calls{"ClearBackBuffer(0)", "SpriteFrameDue(10)", Draw(kFlame), Draw(kLogs),
                            Draw(kAndironL), Draw(kAndironR), Draw(Right(1)), Draw(Left(1)),
                            Draw(Top(1)), "FlipBackBuffer"}));
  ddrw.frameDue = true;
  decorations.showAndirons = 0;
  EXPECT_EQ(Frame(),
            (Calls{"ClearBackBuffer(0)", "SpriteFrameDue(10)", "NextSpriteFrame(10)", Draw(kFlame),
                   Draw(kLogs), Draw(Right(1)), Draw(Left(1)), Draw(Top(1)), "FlipBackBuffer"}));
}

TEST_F(ComposeTest, NoSurroundWithoutRotationOrOutsideTheSixStyles) {
  rotation.rotateOn = 0;
  EXPECT_TRUE(Middle().empty());
  rotation.rotateOn = 1;
  for (int16_t index : {0, 7, -1}) {
    rotation.fireplaceIndex = index;
    EXPECT_TRUE(Middle().empty()) << index;
  }
  // Any rotation value other than 0 still draws the surround.
  rotation.rotateOn = 2;
  rotation.fireplaceIndex = 5;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(5)), Draw(Left(5)), Draw(Top(5)), Draw(Mantle(5))}));
}

TEST_F(ComposeTest, MantlesOnlyForTheStoneStylesWithTheirOwnSwitch) {
  rotation.showMantle.fill(false);
  rotation.fireplaceIndex = 3;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(3)), Draw(Left(3)), Draw(Top(3))}));
  rotation.fireplaceIndex = 1;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(1)), Draw(Left(1)), Draw(Top(1))}));

  rotation.showMantle = {0, 0, 1, 0, 0};  // ShowM4 on
  rotation.fireplaceIndex = 4;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(4)), Draw(Left(4)), Draw(Top(4)), Draw(Mantle(4))}));
  rotation.fireplaceIndex = 6;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(6)), Draw(Left(6)), Draw(Top(6))}));
  rotation.fireplaceIndex = 2;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(2)), Draw(Left(2)), Draw(Top(2))}));
}

TEST_F(ComposeTest, StockingsLeftToRightThenBellsThenPoinsettias) {
  rotation.rotateOn = 0;
  decorations.showStocking = {1, 0, 1, 1};
  decorations.showBell[1] = true;
  decorations.showBell[2] = true;
  decorations.showPoinsettia[1] = true;
  decorations.showPoinsettia[2] = true;
  EXPECT_EQ(Middle(), (Calls{Draw(kStocking1), Draw(kStocking3), Draw(kStocking4), Draw(kBellr),
                             Draw(kBelll), Draw(kPoinr), Draw(kPoinl)}));
}

TEST_F(ComposeTest, TheFirstFrameRestartsTheRunClockButNeverDisarmsTheMouse) {
  clocks.firstFrame = true;
  clocks.runSeconds = 7;
  clocks.mouseArmed = true;
  Frame();
  EXPECT_EQ(clocks.runSeconds, 0);
  EXPECT_FALSE(clocks.firstFrame);
  EXPECT_TRUE(clocks.mouseArmed);
  clocks.runSeconds = 3;
  Frame();
  EXPECT_EQ(clocks.runSeconds, 3);
}

TEST(ComposeFullTest, EveryLayerOfAFirstRunFrameInOrder) {
  FrameFixture f(/*noticesDone=*/false);
  f.rotation.rotateOn = 1;
  f.rotation.fireplaceIndex = 3;
  f.rotation.showMantle = {0, 1, 1, 1, 1};
  f.overlays.showCalendar = 1;
  f.overlays.calendarCorner = 0;
  f.decorations.showStocking = {1, 1, 1, 1};
  f.decorations.showBell = {false, true, true};
  f.decorations.showPoinsettia = {false, true, true};
  f.overlays.showMessage = 1;
  f.overlays.messageText = "Merry Christmas";
  f.overlays.messageFontSize = 18;
  f.Compose();
  const std::string arial30 = ",30,0,0,0)";
  // The calendar stands in front of the bells and poinsettias of its corner.
  EXPECT_EQ(f.ddrw.calls,
            (Calls{"ClearBackBuffer(0)",
                   "SpriteFrameDue(10)",
                   Draw(kFlame),
                   Draw(kLogs),
                   Draw(kAndironL),
                   Draw(kAndironR),
                   Draw(Right(3)),
                   Draw(Left(3)),
                   Draw(Top(3)),
                   Draw(Mantle(3)),
                   Draw(kStocking1),
                   Draw(kStocking2),
                   Draw(kStocking3),
                   Draw(kStocking4),
                   Draw(kBellr),
                   Draw(kBelll),
                   Draw(kPoinr),
                   Draw(kPoinl),
                   Draw(kCalendar),
                   "SetTextFont(Arial,46" + arial30,
                   "DrawText(8,14,36,255)",
                   "SetTextFont(Arial,12" + arial30,
                   "DrawText(Tuesday,10,30,255)",
                   "SetTextFont(Arial,14" + arial30,
                   "DrawText(10:00:00,9,18,16711680)",
                   "SetTextFont(Arial,16" + arial30,
                   "DrawText(Dec,27,6,255)",
                   "SetTextFont(Arial,18,1,0,0,0)",
                   "DrawText(Merry Christmas,100,1,65535)",
                   "SetTextFont(Arial,16,1,0,0,0)",
                   "DrawText(1 of 2 Messages: Please let them finish displaying or they will "
                   "return,151,25,65535)",
                   "SetTextFont(Arial,16,1,0,0,0)",
                   "DrawText(This graphic will disappear in: 0 seconds - This is the only time "
                   "these will be displayed,151,46,65535)",
                   Draw(kMonitorNotice),
                   "FlipBackBuffer"}));
}

}  // namespace
}  // namespace emberlrn
