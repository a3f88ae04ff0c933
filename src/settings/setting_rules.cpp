#include "settings/setting_rules.h"

#include <algorithm>

#include "settings/conversions.h"
#include "settings/first_run.h"

namespace emberlrn {
namespace {

constexpr int16_t kFirstCorner = 0;
constexpr int16_t kLastCorner = 3;
constexpr int16_t kSmallestFontSize = 1;

int16_t FirstRun(std::string_view section, std::string_view key) {
  return ToInt16(FirstRunValue(section, key).value_or("")).value_or(0);
}

// The stored number rounded and held within the range, or the key's
// first-run value for a text that is no number. The ends are whole, so
// rounding after holding stays inside.
int16_t NumberWithin(std::string_view stored, SettingRange range, std::string_view section,
                     std::string_view key) {
  const std::optional<double> number = ParseNumber(stored);
  if (!number) return FirstRun(section, key);
  const double lowest = std::min(range.first, range.last);
  const double highest = std::max(range.first, range.last);
  return static_cast<int16_t>(RoundHalfEven(std::clamp(*number, lowest, highest)));
}

}  // namespace

std::optional<double> SoundOffMinutes(std::string_view stored) {
  const std::optional<double> minutes = ParseNumber(stored);
  if (!minutes || *minutes <= 0.0) return std::nullopt;
  return std::min(*minutes, kSoundOffLongestMinutes);
}

int16_t RotationMinutes(std::string_view stored) {
  return NumberWithin(stored, SettingRange{0, kRotateTLongestMinutes}, kSectionFireplace,
                      "RotateT");
}

int16_t FlameSpeed(std::string_view stored) {
  return NumberWithin(stored, kSpeedRange, kSectionFireplace, "Speed");
}

int16_t SoundVolume(std::string_view stored) {
  return NumberWithin(stored, kVolRange, kSectionSettings, "Vol");
}

int16_t MouseSensitivity(std::string_view stored) {
  return NumberWithin(stored, kMouseSenRange, kSectionSettings, "MouseSen");
}

int16_t StockingTop(std::string_view stored) {
  return NumberWithin(stored, kStockLocRange, kSectionXmas, "StockLoc");
}

int16_t MessageFontSize(std::string_view stored) {
  const int16_t points = NumberWithin(stored, SettingRange{kSmallestFontSize - 1, kFontSizeLargest},
                                      kSectionSettings, "FontSize");
  return points < kSmallestFontSize ? FirstRun(kSectionSettings, "FontSize") : points;
}

int16_t CalendarCorner(std::string_view stored) {
  const std::optional<int16_t> corner = ToInt16(stored);
  if (!corner || *corner < kFirstCorner || *corner > kLastCorner) {
    return FirstRun(kSectionSettings, "CalPos");
  }
  return *corner;
}

bool DecorationShown(std::string_view stored) {
  const std::optional<double> number = ParseNumber(stored);
  return number && *number == 1.0;
}

}  // namespace emberlrn
