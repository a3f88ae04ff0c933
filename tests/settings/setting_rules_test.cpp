// What the saver makes of odd stored values, as a hand-edited file holds
// them; the dialog shows the same through the same rules.

#include "settings/setting_rules.h"

#include <gtest/gtest.h>

namespace emberlrn {
namespace {

TEST(SettingRulesTest, SoundOffIsMinutesUpToEightHoursOrNever) {
  for (const char* never : {"-5", "0", "abc", "", "Never", "-0.1"}) {
    EXPECT_EQ(SoundOffMinutes(never), std::nullopt) << never;
  }
  EXPECT_EQ(SoundOffMinutes("25"), 25.0);
  EXPECT_EQ(SoundOffMinutes(" 2.5 "), 2.5);
  EXPECT_EQ(SoundOffMinutes("1000"), 480.0);
}

TEST(SettingRulesTest, NumbersAreRoundedAndHeldWithinTheirRange) {
  struct Case {
    int16_t (*rule)(std::string_view);
    const char* stored;
    int16_t used;
  };
  for (const Case& c : {
           Case{RotationMinutes, "15", 15},     Case{RotationMinutes, "600", 546},
           Case{RotationMinutes, "1e9", 546},   Case{RotationMinutes, "-5", 0},
           Case{RotationMinutes, "2.5", 2},     Case{RotationMinutes, "abc", 1},
           Case{FlameSpeed, "1", 25},           Case{FlameSpeed, "300", 250},
           Case{FlameSpeed, "60", 60},          Case{FlameSpeed, "fast", 100},
           Case{SoundVolume, "-5000", -2500},   Case{SoundVolume, "5000", 0},
           Case{SoundVolume, "", -1667},        Case{MouseSensitivity, "0", 2},
           Case{MouseSensitivity, "1", 2},      Case{MouseSensitivity, "50", 20},
           Case{MouseSensitivity, "x", 4},      Case{StockingTop, "500", 100},
           Case{StockingTop, "-99999999", -20}, Case{StockingTop, "x", 19},
       }) {
    EXPECT_EQ(c.rule(c.stored), c.used) << c.stored;
  }
}

TEST(SettingRulesTest, FontSizeAndCornerFallBackToTheirFirstRunValues) {
  for (const char* noSize : {"0", "-3", "0.4", "huge", ""}) {
    EXPECT_EQ(MessageFontSize(noSize), 18) << noSize;
  }
  EXPECT_EQ(MessageFontSize("0.6"), 1);
  EXPECT_EQ(MessageFontSize("24"), 24);
  EXPECT_EQ(MessageFontSize("1000"), 400);

  for (const char* noCorner : {"7", "-1", "4", "x", "1e9"}) {
    EXPECT_EQ(CalendarCorner(noCorner), 1) << noCorner;
  }
  EXPECT_EQ(CalendarCorner("0"), 0);
  EXPECT_EQ(CalendarCorner("2.5"), 2);
  EXPECT_EQ(CalendarCorner("3"), 3);
}

}  // namespace
}  // namespace emberlrn
