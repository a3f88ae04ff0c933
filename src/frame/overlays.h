#pragma once
// The texts on top of the scene: the desk calendar's day, weekday, clock and
// month; the user's message; the two first-run notices with their countdown
// and pictures; and the feature tips that follow the notices on a first run.
// Every text is drawn as SetTextFont then DrawText, the font set anew before
// each one.

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "interfaces/tego_ddrw.h"

namespace emberlrn {

class Clock;
struct AnimationClocks;
struct SceneSprites;

inline constexpr std::string_view kTextFace = "Arial";
inline constexpr int kCalendarTextStyle = 30;
inline constexpr int kPlainTextStyle = 1;

inline constexpr Colour kRed = Rgb(255, 0, 0);
inline constexpr Colour kBlue = Rgb(0, 0, 255);
inline constexpr Colour kYellow = Rgb(255, 255, 0);
inline constexpr Colour kBlack = Rgb(0, 0, 0);

inline constexpr std::string_view kNotice1Line =
    "1 of 2 Messages: Please let them finish displaying or they will return";
inline constexpr std::string_view kNotice2Line =
    "2 of 2 Messages: Please let them finish displaying or they will return";
inline constexpr std::string_view kCountdownBefore = "This graphic will disappear in: ";
inline constexpr std::string_view kCountdownAfter =
    " seconds - This is the only time these will be displayed";

inline constexpr std::string_view kFeaturesHeading = "FEATURES:";
// Tips 1 to 5 (element 0 unused).
inline constexpr std::array<std::string_view, 6> kFeatureTips = {
    "",
    "Select which fireplaces to Display",
    "Turn the Sound on or off",
    "Choose the speed of the flame",
    "Choose to show the andirons",
    "Go to the Control Box for more settings"};

// The calendar's four texts for a moment, in the user's language: the day of
// the month without a leading zero, the full weekday, the time in the long
// format (with seconds) and the abbreviated month. Kept in fixed buffers, so
// formatting them allocates nothing.
class CalendarTexts {
 public:
  explicit CalendarTexts(const std::tm& moment);
  std::string_view Day() const { return day_.data(); }
  std::string_view Weekday() const { return weekday_.data(); }
  std::string_view Time() const { return time_.data(); }
  std::string_view Month() const { return month_.data(); }

 private:
  std::array<char, 8> day_{};
  std::array<char, 128> weekday_{};
  std::array<char, 128> time_{};
  std::array<char, 128> month_{};
};

// The user's long time format, as the C library's LC_TIME locale gives it;
// a format without seconds gets hours, minutes and seconds instead.
const char* LongTimeFormat();

// The calendar's and the message's choices, and the texts drawn over the
// scene from them and from the notice and feature-tip clocks.
struct Overlays {
  bool showCalendar = false;
  int16_t calendarCorner = 0;
  bool showMessage = false;
  std::string messageText;
  int16_t messageFontSize = 0;

  // The countdown line changes only with the notice clock; it is made again
  // only when its number has changed.
  std::string noticeCountdownText;
  std::optional<int16_t> noticeCountdownTextFor;

  // After the calendar plate, when calendarCorner is 0..3: day, weekday,
  // time and month at that corner's places, read from the clock now, each
  // kept inside the plate however long the user's language makes it.
  void DrawCalendarTexts(TegoDDrw& ddrw, const Clock& clock) const;

  // When showMessage: the message as stored, at (100, 1) in yellow.
  void DrawUserMessage(TegoDDrw& ddrw) const;

  // Notice 1 while runMonShown is false, else notice 2 while pwrMsgShown is
  // false: its line, the countdown line and its picture.
  void DrawNotices(const AnimationClocks& clocks, const SceneSprites& sprites, TegoDDrw& ddrw);

  // While featuresOn: the heading and the current tip (only the heading for
  // a tip outside 1..5).
  static void DrawFeatureTips(const AnimationClocks& clocks, TegoDDrw& ddrw);

 private:
  std::string_view CountdownLine(int16_t countdown);
  void DrawNotice(int16_t countdown, std::string_view line, int32_t picture, TegoDDrw& ddrw);
};

}  // namespace emberlrn
