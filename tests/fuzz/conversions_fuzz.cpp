// Stored text through the value conversions: a number that converts to 16
// bits is the rounded number, and a truth agrees with the number it reads.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "settings/conversions.h"

using namespace emberlrn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<double> number = ParseNumber(text);
  const std::optional<int16_t> small = ToInt16(text);
  const std::optional<bool> truth = ToBool(text);
  if (small) {
    FUZZ_CHECK(number && RoundHalfEven(*number) == *small);
  }
  if (number) {
    FUZZ_CHECK(truth && *truth == (*number != 0));
    const double rounded = RoundHalfEven(*number);
    FUZZ_CHECK(!std::isfinite(*number) || std::fabs(rounded - *number) <= 0.5);
    if (rounded >= -32768 && rounded <= 32767) FUZZ_CHECK(small.has_value());
  }
  return 0;
}
