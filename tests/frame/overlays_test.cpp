#include "frame/overlays.h"

#include <gtest/gtest.h>

#include <cstring>

#include "frame/compose_frame.h"
#include "frame/frame_fixture.h"
#include "scene/scene_layout.h"

namespace emberlrn {
namespace {

using namespace testing;
using Calls = std::vector<std::string>;

const std::string kCal = ",30,0,0,0)";

Calls CalendarCalls(int corner, FakeClock& clock) {
  Overlays overlays;
  overlays.calendarCorner = static_cast<int16_t>(corner);
  FakeDDrw ddrw;
  overlays.DrawCalendarTexts(ddrw, clock);
  return ddrw.calls;
}

TEST(CalendarTest, FourTextsAtEachCorner) {
  FakeClock clock(2026, 12, 8, 10, 0, 0);
  const auto Texts = [](int dayX, int dayY, int wdX, int wdY, int tX, int tY, int mX, int mY) {
    const auto At = [](int x, int y) { return "," + std::to_string(x) + "," + std::to_string(y); };
    return Calls{"SetTextFont(Arial,46" + kCal, "DrawText(8" + At(dayX, dayY) + ",255)",
                 "SetTextFont(Arial,12" + kCal, "DrawText(Tuesday" + At(wdX, wdY) + ",255)",
                 "SetTextFont(Arial,14" + kCal, "DrawText(10:00:00" + At(tX, tY) + ",16711680)",
                 "SetTextFont(Arial,16" + kCal, "DrawText(Dec" + At(mX, mY) + ",255)"};
  };
  EXPECT_EQ(CalendarCalls(0, clock), Texts(14, 36, 10, 30, 9, 18, 27, 6));
  EXPECT_EQ(CalendarCalls(1, clock), Texts(14, 540, 10, 534, 9, 522, 27, 510));
  EXPECT_EQ(CalendarCalls(2, clock), Texts(740, 36, 735, 30, 735, 18, 752, 6));
  EXPECT_EQ(CalendarCalls(3, clock), Texts(740, 540, 735, 534, 732, 522, 752, 510));
  for (int corner : {7, 4, -1}) EXPECT_TRUE(CalendarCalls(corner, clock).empty()) << corner;
}

// Each calendar text as drawn: its font size and where it starts and ends.
struct Drawn {
  int size, left, right, y;
};
std::vector<Drawn> DrawnTexts(const FakeDDrw& ddrw) {
  std::vector<Drawn> drawn;
  int size = 0;
  for (const std::string& call : ddrw.calls) {
    if (call.rfind("SetTextFont(Arial,", 0) == 0) size = std::stoi(call.substr(18));
    if (call.rfind("DrawText(", 0) != 0) continue;
    const size_t yAt = call.rfind(',', call.rfind(',') - 1);
    const size_t xAt = call.rfind(',', yAt - 1);
    const std::string text = call.substr(9, xAt - 9);
    const int x = std::stoi(call.substr(xAt + 1));
    const int width = static_cast<int>(text.size() * size * ddrw.characterWidth);
    drawn.push_back({size, x, x + width, std::stoi(call.substr(yAt + 1))});
  }
  return drawn;
}

TEST(CalendarTest, TextsTooWideForThePlateMoveInsideItOrShrink) {
  FakeClock clock(2026, 12, 8, 10, 0, 0);
  Overlays overlays;
  const auto Texts = [&](int corner, double characterWidth) {
    overlays.calendarCorner = static_cast<int16_t>(corner);
    FakeDDrw ddrw;
    ddrw.characterWidth = characterWidth;
    overlays.DrawCalendarTexts(ddrw, clock);
    return DrawnTexts(ddrw);
  };
  // From narrow letters to ones over twice as wide as the font's, every text
  // stays within the plate's border.
  for (int corner = 0; corner < 4; ++corner) {
    for (double characterWidth : {0.5, 0.6, 0.8, 1.0, 1.2}) {
      const int left = kCalendarAt[corner].x + kCalendarBorder;
      const int right = kCalendarAt[corner].x + kCalendarWidth - kCalendarBorder;
      for (const Drawn& text : Texts(corner, characterWidth)) {
        EXPECT_GE(text.left, left) << corner << " " << characterWidth;
        EXPECT_LE(text.right, right) << corner << " " << characterWidth;
      }
    }
  }
  // The time, 8 letters of 0.6 em at 14 (67 pixels), is wider than the
  // plate's inside (64): at 13 it fits, and it ends at the border.
  std::vector<Drawn> texts = Texts(2, 0.6);
  EXPECT_EQ(texts[2].size, 13);
  EXPECT_EQ(texts[2].left, 734);
  EXPECT_EQ(texts[2].y, 18);
  // Made much smaller, a text keeps its middle at the same height.
  texts = Texts(2, 1.2);
  EXPECT_EQ(texts[2].size, 6);
  EXPECT_EQ(texts[2].y, 22);
  // The month, 48 pixels at 752, would end past the border at 796: it ends there.
  texts = Texts(2, 1.0);
  EXPECT_EQ(texts[3].size, 16);
  EXPECT_EQ(texts[3].left, 748);
  EXPECT_EQ(texts[3].y, 6);
}

TEST(CalendarTest, TheClockIsReadAnewForEveryFrame) {
  FakeClock clock(2027, 1, 3, 23, 59, 59);
  EXPECT_EQ(CalendarCalls(0, clock)[1], "DrawText(3,14,36,255)");  // no leading zero
  EXPECT_EQ(CalendarCalls(0, clock)[3], "DrawText(Sunday,10,30,255)");
  EXPECT_EQ(CalendarCalls(0, clock)[5], "DrawText(23:59:59,9,18,16711680)");
  clock.AdvanceMs(999);
  EXPECT_EQ(CalendarCalls(0, clock)[5], "DrawText(23:59:59,9,18,16711680)");
  clock.AdvanceMs(1);
  const Calls next = CalendarCalls(0, clock);
  EXPECT_EQ(next[1], "DrawText(4,14,36,255)");
  EXPECT_EQ(next[3], "DrawText(Monday,10,30,255)");
  EXPECT_EQ(next[5], "DrawText(00:00:00,9,18,16711680)");
  EXPECT_EQ(next[7], "DrawText(Jan,27,6,255)");
}

TEST(CalendarTest, TheLongTimeFormatAlwaysHasSeconds) {
  // The tests run in the C locale, whose time format is the 24-hour one.
  EXPECT_STREQ(LongTimeFormat(), "%H:%M:%S");
  std::tm moment{};
  moment.tm_mday = 25;
  moment.tm_mon = 11;
  moment.tm_wday = 5;
  moment.tm_hour = 7;
  moment.tm_min = 5;
  moment.tm_sec = 9;
  const CalendarTexts texts(moment);
  EXPECT_EQ(texts.Day(), "25");
  EXPECT_EQ(texts.Weekday(), "Friday");
  EXPECT_EQ(texts.Time(), "07:05:09");
  EXPECT_EQ(texts.Month(), "Dec");
}

TEST(MessageTest, PassedExactlyAsStoredEvenWhenEmpty) {
  Overlays overlays;
  overlays.showMessage = 1;
  overlays.messageFontSize = 18;
  for (const char* text : {"", "  two  spaces ", "Frohe Weihnachten \xE2\x9C\xA8", "1"}) {
    overlays.messageText = text;
    FakeDDrw ddrw;
    overlays.DrawUserMessage(ddrw);
    EXPECT_EQ(ddrw.calls, (Calls{"SetTextFont(Arial,18,1,0,0,0)",
                                 "DrawText(" + std::string(text) + ",100,1,65535)"}));
  }
  {
    overlays.showMessage = false;
    FakeDDrw ddrw;
    overlays.DrawUserMessage(ddrw);
    EXPECT_TRUE(ddrw.calls.empty());
  }
}

TEST(NoticeTest, OneNoticeAtATimeWithItsCountdownAndPicture) {
  FrameFixture f(/*noticesDone=*/false);
  const auto Notice = [](const char* first, int countdown, int picture) {
    return Calls{"SetTextFont(Arial,16,1,0,0,0)",
                 std::string("DrawText(") + first +
                     " of 2 Messages: Please let them finish displaying or they will "
                     "return,151,25,65535)",
                 "SetTextFont(Arial,16,1,0,0,0)",
                 "DrawText(This graphic will disappear in: " + std::to_string(countdown) +
                     " seconds - This is the only time these will be displayed,151,46,65535)",
                 Draw(picture)};
  };
  f.overlays.DrawNotices(f.clocks, f.sprites, f.ddrw);
  EXPECT_EQ(f.ddrw.calls, Notice("1", 0, kMonitorNotice));

  f.ddrw.calls.clear();
  f.clocks.runMonShown = true;
  f.clocks.noticeCountdown = 17;
  f.overlays.DrawNotices(f.clocks, f.sprites, f.ddrw);
  EXPECT_EQ(f.ddrw.calls, Notice("2", 17, kPowerNotice));

  f.ddrw.calls.clear();
  f.clocks.pwrMsgShown = true;
  f.overlays.DrawNotices(f.clocks, f.sprites, f.ddrw);
  EXPECT_TRUE(f.ddrw.calls.empty());
}

TEST(FeatureTipTest, HeadingAndTheCurrentTip) {
  AnimationClocks clocks;
  FakeDDrw ddrw;
  Overlays::DrawFeatureTips(clocks, ddrw);
  EXPECT_TRUE(ddrw.calls.empty());

  clocks.featuresOn = true;
  const char* tips[] = {"Select which fireplaces to Display", "Turn the Sound on or off",
                        "Choose the speed of the flame", "Choose to show the andirons",
                        "Go to the Control Box for more settings"};
  for (int tip = 1; tip <= 5; ++tip) {
    clocks.featureTip = static_cast<int16_t>(tip);
    ddrw.calls.clear();
    Overlays::DrawFeatureTips(clocks, ddrw);
    EXPECT_EQ(ddrw.calls, (Calls{"SetTextFont(Arial,40,30,0,0,0)", "DrawText(FEATURES:,1,1,255)",
                                 "SetTextFont(Arial,36,30,0,0,0)",
                                 "DrawText(" + std::string(tips[tip - 1]) + ",220,3,0)"}));
  }
  clocks.featureTip = 6;
  ddrw.calls.clear();
  Overlays::DrawFeatureTips(clocks, ddrw);
  EXPECT_EQ(ddrw.calls, (Calls{"SetTextFont(Arial,40,30,0,0,0)", "DrawText(FEATURES:,1,1,255)"}));
}

TEST(FrameTextTest, TheCountdownLineIsMadeOnlyWhenItsNumberChanges) {
  FrameFixture f(/*noticesDone=*/false);
  f.clocks.noticeCountdown = 12;
  f.overlays.DrawNotices(f.clocks, f.sprites, f.ddrw);
  const char* made = f.overlays.noticeCountdownText.data();
  f.overlays.DrawNotices(f.clocks, f.sprites, f.ddrw);
  EXPECT_EQ(f.overlays.noticeCountdownText.data(), made);  // the same text, not made again
  f.clocks.noticeCountdown = 11;
  f.overlays.DrawNotices(f.clocks, f.sprites, f.ddrw);
  EXPECT_NE(f.overlays.noticeCountdownText.find(" 11 seconds"), std::string::npos);
}

}  // namespace
}  // namespace emberlrn
