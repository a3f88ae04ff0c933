#include "settings/conversions.h"

#include <locale.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "settings/ini_document.h"

namespace emberlrn {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  std::string_view s = Trim(text);
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t intDigits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++intDigits;
  size_t fracDigits = 0;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++fracDigits;
  }
  if (intDigits + fracDigits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t expDigits = 0;
    while (j < s.size() && IsDigit(s[j])) ++j, ++expDigits;
    if (expDigits == 0) return std::nullopt;
    i = j;
  }
  if (i != s.size()) return std::nullopt;
  // strtod reads exactly the validated text, in the C locale: the dialog's
  // toolkit sets the user's, where the decimal point may be a comma.
  static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", nullptr);
  std::string copy(s);
  double value = ::strtod_l(copy.c_str(), nullptr, cLocale);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

double RoundHalfEven(double value) {
  double floorValue = std::floor(value);
  double diff = value - floorValue;
  if (diff > 0.5) return floorValue + 1.0;
  if (diff < 0.5) return floorValue;
  return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

std::optional<int16_t> ToInt16(std::string_view text) {
  std::optional<double> number = ParseNumber(text);
  if (!number) return std::nullopt;
  double rounded = RoundHalfEven(*number);
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<int16_t>(rounded);
}

std::optional<bool> ToBool(std::string_view text) {
  std::string_view s = Trim(text);
  if (EqualsIgnoreCase(s, "True")) return true;
  if (EqualsIgnoreCase(s, "False")) return false;
  if (std::optional<double> number = ParseNumber(s)) return *number != 0.0;
  return std::nullopt;
}

}  // namespace emberlrn
