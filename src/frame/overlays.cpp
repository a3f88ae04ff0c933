#include "frame/overlays.h"

#include <langinfo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "interfaces/clock.h"
#include "scene/scene_layout.h"
#include "frame/clocks.h"
#include "scene/scene_catalogue.h"

namespace emberlrn {
namespace {

struct CalendarText {
  int size;
  Colour colour;
};

// Sizes and colours in drawing order: day, weekday, time, month.
constexpr CalendarText kDayText{46, kRed};
constexpr CalendarText kWeekdayText{12, kRed};
constexpr CalendarText kTimeText{14, kBlue};
constexpr CalendarText kMonthText{16, kRed};

struct CalendarPlaces {
  Point day, weekday, time, month;
};

// By calendarCorner. In the bottom-right corner the time stands 3 pixels
// further left than in the top-right one.
constexpr std::array<CalendarPlaces, 4> kCalendarPlaces = {{
    {{14, 36}, {10, 30}, {9, 18}, {27, 6}},
    {{14, 540}, {10, 534}, {9, 522}, {27, 510}},
    {{740, 36}, {735, 30}, {735, 18}, {752, 6}},
    {{740, 540}, {735, 534}, {732, 522}, {752, 510}},
}};

// A calendar text too wide for the plate is made smaller, down to this size.
constexpr int kSmallestCalendarText = 6;

constexpr Point kMessageAt{100, 1};
constexpr int kNoticeTextSize = 16;
// The two lines stand apart from each other, from a message of the usual
// size above them and from the notice panel below.
constexpr Point kNoticeLineAt{151, 25};
constexpr Point kCountdownAt{151, 46};
constexpr int kHeadingSize = 40;
constexpr Point kHeadingAt{1, 1};
constexpr int kTipSize = 36;
constexpr Point kTipAt{220, 3};

constexpr const char* kSecondsTimeFormat = "%H:%M:%S";

void DrawOne(TegoDDrw& ddrw, std::string_view text, int size, int style, Point at, Colour colour) {
  ddrw.SetTextFont(kTextFace, size, style, false, false, false);
  ddrw.DrawText(text, at.x, at.y, colour);
}

// A calendar text at its place and size when it fits inside the plate. One
// that would run past the plate's right border ends at that border instead;
// one wider than the plate's inside is made smaller until it fits, its
// middle kept at the same height.
void DrawOnPlate(TegoDDrw& ddrw, std::string_view text, const CalendarText& style, Point at,
                 Point plate) {
  const int left = plate.x + kCalendarBorder;
  const int right = plate.x + kCalendarWidth - kCalendarBorder;
  const int room = right - left;
  int size = style.size;
  ddrw.SetTextFont(kTextFace, size, kCalendarTextStyle, false, false, false);
  int width = ddrw.TextWidth(text);
  if (width > room) {
    // Widths grow about in step with the size: start near the size that fits.
    size = std::max(kSmallestCalendarText, size * room / width);
    ddrw.SetTextFont(kTextFace, size, kCalendarTextStyle, false, false, false);
    width = ddrw.TextWidth(text);
    while (width > room && size > kSmallestCalendarText) {
      ddrw.SetTextFont(kTextFace, --size, kCalendarTextStyle, false, false, false);
      width = ddrw.TextWidth(text);
    }
  }
  Point place = at;
  if (at.x + width > right) place.x = std::max(left, right - width);
  place.y += (style.size - size) / 2;
  ddrw.DrawText(text, place.x, place.y, style.colour);
}

template <size_t N>
void Format(std::array<char, N>& out, const char* format, const std::tm& moment) {
  if (std::strftime(out.data(), out.size(), format, &moment) == 0) out[0] = '\0';
}

}  // namespace

const char* LongTimeFormat() {
  const char* format = nl_langinfo(T_FMT);
  if (format == nullptr) return kSecondsTimeFormat;
  // %S seconds, %T = %H:%M:%S, %r = the 12-hour clock with seconds.
  for (const char* at = std::strchr(format, '%'); at && at[1]; at = std::strchr(at + 2, '%')) {
    if (at[1] == 'S' || at[1] == 'T' || at[1] == 'r') return format;
  }
  return kSecondsTimeFormat;
}

CalendarTexts::CalendarTexts(const std::tm& moment) {
  std::snprintf(day_.data(), day_.size(), "%d", moment.tm_mday);
  Format(weekday_, "%A", moment);
  Format(time_, LongTimeFormat(), moment);
  Format(month_, "%b", moment);
}

void Overlays::DrawCalendarTexts(TegoDDrw& ddrw, const Clock& clock) const {
  if (calendarCorner < 0 || calendarCorner > 3) return;
  const CalendarPlaces& at = kCalendarPlaces[calendarCorner];
  const Point plate = kCalendarAt[calendarCorner];
  const CalendarTexts texts(clock.Now().tm);
  DrawOnPlate(ddrw, texts.Day(), kDayText, at.day, plate);
  DrawOnPlate(ddrw, texts.Weekday(), kWeekdayText, at.weekday, plate);
  DrawOnPlate(ddrw, texts.Time(), kTimeText, at.time, plate);
  DrawOnPlate(ddrw, texts.Month(), kMonthText, at.month, plate);
}

void Overlays::DrawUserMessage(TegoDDrw& ddrw) const {
  if (!showMessage) return;
  DrawOne(ddrw, messageText, messageFontSize, kPlainTextStyle, kMessageAt, kYellow);
}

std::string_view Overlays::CountdownLine(int16_t countdown) {
  if (noticeCountdownTextFor != countdown) {
    noticeCountdownText =
        std::string(kCountdownBefore) + std::to_string(countdown) + std::string(kCountdownAfter);
    noticeCountdownTextFor = countdown;
  }
  return noticeCountdownText;
}

void Overlays::DrawNotice(int16_t countdown, std::string_view line, int32_t picture,
                          TegoDDrw& ddrw) {
  ddrw.SetNoticeText(true);
  DrawOne(ddrw, line, kNoticeTextSize, kPlainTextStyle, kNoticeLineAt, kYellow);
  DrawOne(ddrw, CountdownLine(countdown), kNoticeTextSize, kPlainTextStyle, kCountdownAt, kYellow);
  ddrw.SetNoticeText(false);
  ddrw.DrawSprite(picture);
}

void Overlays::DrawNotices(const AnimationClocks& clocks, const SceneSprites& sprites,
                           TegoDDrw& ddrw) {
  if (!clocks.runMonShown) {
    DrawNotice(clocks.noticeCountdown, kNotice1Line, sprites.monitorNoticeSprite, ddrw);
  } else if (!clocks.pwrMsgShown) {
    DrawNotice(clocks.noticeCountdown, kNotice2Line, sprites.powerNoticeSprite, ddrw);
  }
}

void Overlays::DrawFeatureTips(const AnimationClocks& clocks, TegoDDrw& ddrw) {
  if (!clocks.featuresOn) return;
  DrawOne(ddrw, kFeaturesHeading, kHeadingSize, kCalendarTextStyle, kHeadingAt, kRed);
  if (clocks.featureTip < 1 || clocks.featureTip > 5) return;
  DrawOne(ddrw, kFeatureTips[clocks.featureTip], kTipSize, kCalendarTextStyle, kTipAt, kBlack);
}

}  // namespace emberlrn
