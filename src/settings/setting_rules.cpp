#include "settings/setting_rules.h"

#include <algorithm>

#include "settings/conversions.h"

namespace emberlrn {
namespace {

int16_t FirstRun(const SettingKey& key) { return ToInt16(key.firstRun).value_or(0); }

// The stored number rounded and held within the range, or the key's
// first-run value for a text that is no number. The ends are whole, so
// rounding after holding stays inside.
int16_t NumberWithin(std::string_view stored, SettingRange range, const SettingKey& key) {
  const std::optional<double> number = ParseNumber(stored);
  if (!number) return FirstRun(key);
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
  return NumberWithin(stored, *keys::kRotateT.range, keys::kRotateT);
}

int16_t FlameSpeed(std::string_view stored) {
  return NumberWithin(stored, kSpeedRange, keys::kSpeed);
}

int16_t SoundVolume(std::string_view stored) { return NumberWithin(stored, kVolRange, keys::kVol); }

int16_t MouseSensitivity(std::string_view stored) {
  return NumberWithin(stored, kMouseSenRange, keys::kMouseSen);
}

int16_t StockingTop(std::string_view stored) {
  return NumberWithin(stored, kStockLocRange, keys::kStockLoc);
}

int16_t MessageFontSize(std::string_view stored) {
  const SettingRange sizes = *keys::kFontSize.range;
  const int16_t points =
      NumberWithin(stored, SettingRange{int16_t(sizes.first - 1), sizes.last}, keys::kFontSize);
  return points < sizes.first ? FirstRun(keys::kFontSize) : points;
}

int16_t CalendarCorner(std::string_view stored) {
  const std::optional<int16_t> corner = ToInt16(stored);
  const SettingRange corners = *keys::kCalPos.range;
  if (!corner || *corner < corners.first || *corner > corners.last) return FirstRun(keys::kCalPos);
  return *corner;
}

bool DecorationShown(std::string_view stored) {
  const std::optional<double> number = ParseNumber(stored);
  return number && *number == 1.0;
}

}  // namespace emberlrn
