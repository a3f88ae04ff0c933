#pragma once
// How stored text becomes numbers and truths. Every reader of the store uses
// these, so a hand-edited or garbled value behaves the same everywhere.

#include <cstdint>
#include <optional>
#include <string_view>

namespace emberlrn {

// A decimal number: optional blanks before and after, an optional sign,
// digits with an optional fraction (".5" and "5." count), and an optional
// exponent ("1e3"). Anything else, including an empty text, is no number.
std::optional<double> ParseNumber(std::string_view text);

// Rounds half to the even neighbour, as the store's readers always have:
// 2.5 gives 2, 3.5 gives 4, -2.5 gives -2.
double RoundHalfEven(double value);

// The text as a 16-bit signed integer, rounded; nothing when the text is no
// number or the rounded value lies outside -32768..32767.
std::optional<int16_t> ToInt16(std::string_view text);

// "True" and "False" in any case (blanks around allowed), or a number,
// non-zero being true; nothing for anything else.
std::optional<bool> ToBool(std::string_view text);

// A 16-bit truth: -1 for true, 0 for false.
inline constexpr int16_t kTrue16 = -1;
inline constexpr int16_t kFalse16 = 0;

}  // namespace emberlrn
