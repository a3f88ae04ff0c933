#include "setup/screen_saver_wait.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "settings/conversions.h"
#include "settings/schema.h"
#include "setup/setup_texts.h"

namespace emberlrn {
namespace {

constexpr double kSecondsPerMinute = 60.0;
constexpr int kSignificantDigits = 15;

}  // namespace

double WaitMinutes(std::string_view waitSecondsText) {
  return ParseNumber(waitSecondsText).value_or(0.0) / kSecondsPerMinute;
}

std::string ShortestDecimal(double value) {
  // Round to 15 significant digits first, then write the shortest fixed
  // form that reads back as that rounded number.
  char rounded[64];
  std::snprintf(rounded, sizeof rounded, "%.*g", kSignificantDigits, value);
  double shortValue = std::strtod(rounded, nullptr);
  if (shortValue == 0.0) shortValue = 0.0;  // no "-0"
  char text[512];
  const auto result = std::to_chars(text, text + sizeof text, shortValue, std::chars_format::fixed);
  if (result.ec != std::errc()) return rounded;
  return std::string(text, result.ptr);
}

bool SwitchesOffWithSaver(std::string_view entry, std::optional<double> waitMinutes) {
  const std::optional<int16_t> minutes = MonitorEntryMinutes(entry);
  return minutes && *minutes != 0 && waitMinutes && static_cast<double>(*minutes) == *waitMinutes;
}

bool IsTooShortEntry(std::string_view entry) {
  const auto& shortOnes = setup_texts::kTooShortEntries;
  return std::find(shortOnes.begin(), shortOnes.end(), entry) != shortOnes.end();
}

}  // namespace emberlrn
