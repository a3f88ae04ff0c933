#include "frame/overlays.h"

#include <langinfo.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "scene/scene_layout.h"
#include "start/saver_state.h"

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

constexpr Point kMessageAt{100, 1};
constexpr int kNoticeTextSize = 16;
constexpr Point kNoticeLineAt{151, 40};
constexpr Point kCountdownAt{151, 55};
constexpr int kHeadingSize = 40;
constexpr Point kHeadingAt{1, 1};
constexpr int kTipSize = 36;
constexpr Point kTipAt{220, 3};

constexpr const char* kSecondsTimeFormat = "%H:%M:%S";

void DrawOne(TegoDDrw& ddrw, std::string_view text, int size, int style, Point at, Colour colour) {
  ddrw.SetTextFont(kTextFace, size, style, false, false, false);
  ddrw.DrawText(text, at.x, at.y, colour);
}

template <size_t N>
void Format(std::array<char, N>& out, const char* format, const std::tm& moment) {
  if (std::strftime(out.data(), out.size(), format, &moment) == 0) out[0] = '\0';
}

// The countdown line changes only with the notice clock; it is made again
// only when its number has changed.
std::string_view CountdownLine(SaverState& state) {
  if (state.noticeCountdownTextFor != state.noticeCountdown) {
    state.noticeCountdownText = std::string(kCountdownBefore) +
                                std::to_string(state.noticeCountdown) +
                                std::string(kCountdownAfter);
    state.noticeCountdownTextFor = state.noticeCountdown;
  }
  return state.noticeCountdownText;
}

void DrawNotice(SaverState& state, TegoDDrw& ddrw, std::string_view line, int32_t picture) {
  DrawOne(ddrw, line, kNoticeTextSize, kPlainTextStyle, kNoticeLineAt, kYellow);
  DrawOne(ddrw, CountdownLine(state), kNoticeTextSize, kPlainTextStyle, kCountdownAt, kYellow);
  ddrw.DrawSprite(picture);
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

void DrawCalendarTexts(const SaverState& state, TegoDDrw& ddrw, const Clock& clock) {
  if (state.calendarCorner < 0 || state.calendarCorner > 3) return;
  const CalendarPlaces& at = kCalendarPlaces[state.calendarCorner];
  const CalendarTexts texts(clock.Now().tm);
  DrawOne(ddrw, texts.Day(), kDayText.size, kCalendarTextStyle, at.day, kDayText.colour);
  DrawOne(ddrw, texts.Weekday(), kWeekdayText.size, kCalendarTextStyle, at.weekday,
          kWeekdayText.colour);
  DrawOne(ddrw, texts.Time(), kTimeText.size, kCalendarTextStyle, at.time, kTimeText.colour);
  DrawOne(ddrw, texts.Month(), kMonthText.size, kCalendarTextStyle, at.month, kMonthText.colour);
}

void DrawUserMessage(const SaverState& state, TegoDDrw& ddrw) {
  if (state.showMessage != 1) return;
  DrawOne(ddrw, state.messageText, state.messageFontSize, kPlainTextStyle, kMessageAt, kYellow);
}

void DrawNotices(SaverState& state, TegoDDrw& ddrw) {
  if (!state.runMonShown) {
    DrawNotice(state, ddrw, kNotice1Line, state.monitorNoticeSprite);
  } else if (!state.pwrMsgShown) {
    DrawNotice(state, ddrw, kNotice2Line, state.powerNoticeSprite);
  }
}

void DrawFeatureTips(const SaverState& state, TegoDDrw& ddrw) {
  if (!state.featuresOn) return;
  DrawOne(ddrw, kFeaturesHeading, kHeadingSize, kCalendarTextStyle, kHeadingAt, kRed);
  if (state.featureTip < 1 || state.featureTip > 5) return;
  DrawOne(ddrw, kFeatureTips[state.featureTip], kTipSize, kCalendarTextStyle, kTipAt, kBlack);
}

}  // namespace emberlrn
