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
    state.showCalendar = 0;
    state.showMessage = 0;
    state.rotateOn = 1;
    state.fireplaceIndex = 1;
    for (int16_t& flag : state.showMantle) flag = 1;
    for (std::string* text : {&state.showBell[1], &state.showBell[2], &state.showPoinsettia[1],
                              &state.showPoinsettia[2]}) {
      *text = "0";
    }
  }
  Calls Frame() {
    ddrw.calls.clear();
    ComposeFrame(state, ddrw, clock);
    return ddrw.calls;
  }
  // The frame's calls between the logs (and andirons) and the flip.
  Calls Middle() {
    Calls calls = Frame();
    const size_t head = state.showAndirons == 1 ? 6 : 4;
    return Calls(calls.begin() + head, calls.end() - 1);
  }
};

TEST_F(ComposeTest, TheBackToFrontOrderOfAPlainFrame) {
  EXPECT_EQ(Frame(), (Calls{"ClearBackBuffer(0)", "SpriteFrameDue(10)", Draw(kFlame), Draw(kLogs),
                            Draw(kAndironL), Draw(kAndironR), Draw(Right(1)), Draw(Left(1)),
                            Draw(Top(1)), "FlipBackBuffer"}));
  ddrw.frameDue = true;
  state.showAndirons = 0;
  EXPECT_EQ(Frame(),
            (Calls{"ClearBackBuffer(0)", "SpriteFrameDue(10)", "NextSpriteFrame(10)", Draw(kFlame),
                   Draw(kLogs), Draw(Right(1)), Draw(Left(1)), Draw(Top(1)), "FlipBackBuffer"}));
}

TEST_F(ComposeTest, NoSurroundWithoutRotationOrOutsideTheSixStyles) {
  state.rotateOn = 0;
  EXPECT_TRUE(Middle().empty());
  state.rotateOn = 1;
  for (int16_t index : {0, 7, -1}) {
    state.fireplaceIndex = index;
    EXPECT_TRUE(Middle().empty()) << index;
  }
  // Any rotation value other than 0 still draws the surround.
  state.rotateOn = 2;
  state.fireplaceIndex = 5;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(5)), Draw(Left(5)), Draw(Top(5)), Draw(Mantle(5))}));
}

TEST_F(ComposeTest, MantlesOnlyForTheStoneStylesWithTheirOwnSwitch) {
  for (int16_t& flag : state.showMantle) flag = 0;
  state.fireplaceIndex = 3;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(3)), Draw(Left(3)), Draw(Top(3))}));
  state.fireplaceIndex = 1;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(1)), Draw(Left(1)), Draw(Top(1))}));

  state.showMantle = {0, 0, 1, 0, 2};  // ShowM4 on, ShowM6 neither 0 nor 1
  state.fireplaceIndex = 4;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(4)), Draw(Left(4)), Draw(Top(4)), Draw(Mantle(4))}));
  state.fireplaceIndex = 6;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(6)), Draw(Left(6)), Draw(Top(6))}));
  state.fireplaceIndex = 2;
  EXPECT_EQ(Middle(), (Calls{Draw(Right(2)), Draw(Left(2)), Draw(Top(2))}));
}

TEST_F(ComposeTest, StockingsLeftToRightThenBellsThenPoinsettias) {
  state.rotateOn = 0;
  state.showStocking = {1, 0, 1, 1};
  state.showBell[1] = "1";
  state.showBell[2] = "1";
  state.showPoinsettia[1] = "1";
  state.showPoinsettia[2] = "1";
  EXPECT_EQ(Middle(), (Calls{Draw(kStocking1), Draw(kStocking3), Draw(kStocking4), Draw(kBellr),
                             Draw(kBelll), Draw(kPoinr), Draw(kPoinl)}));
}

TEST_F(ComposeTest, BellsAndPoinsettiasCompareAsNumbers) {
  state.rotateOn = 0;
  for (const char* one : {"1", "1.0", " 1 ", "1e0", "+1"}) {
    state.showBell[1] = one;
    state.showPoinsettia[2] = one;
    EXPECT_EQ(Middle(), (Calls{Draw(kBellr), Draw(kPoinl)})) << one;
  }
  for (const char* notOne : {"0", "2", "-1", "", "True", "1x", "0.999"}) {
    state.showBell[1] = notOne;
    state.showPoinsettia[2] = notOne;
    EXPECT_TRUE(Middle().empty()) << notOne;
  }
}

TEST_F(ComposeTest, TheFirstFrameRestartsTheRunClockButNeverDisarmsTheMouse) {
  state.firstFrame = true;
  state.runSeconds = 7;
  state.mouseArmed = true;
  Frame();
  EXPECT_EQ(state.runSeconds, 0);
  EXPECT_FALSE(state.firstFrame);
  EXPECT_TRUE(state.mouseArmed);
  state.runSeconds = 3;
  Frame();
  EXPECT_EQ(state.runSeconds, 3);
}

TEST(ComposeFullTest, EveryLayerOfAFirstRunFrameInOrder) {
  FrameFixture f(/*noticesDone=*/false);
  f.state.rotateOn = 1;
  f.state.fireplaceIndex = 3;
  f.state.showMantle = {0, 1, 1, 1, 1};
  f.state.showCalendar = 1;
  f.state.calendarCorner = 0;
  f.state.showStocking = {1, 1, 1, 1};
  f.state.showBell = {"", "1", "1"};
  f.state.showPoinsettia = {"", "1", "1"};
  f.state.showMessage = 1;
  f.state.messageText = "Merry Christmas";
  f.state.messageFontSize = 18;
  ComposeFrame(f.state, f.ddrw, f.clock);
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
