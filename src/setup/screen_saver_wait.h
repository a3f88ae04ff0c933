#pragma once
// The arithmetic behind the "Pwr Management" tab: the screen-saver wait in
// minutes as the dialog shows it, and whether the monitor list's entry
// switches the monitor off exactly when the screen saver comes on.

#include <optional>
#include <string>
#include <string_view>

namespace emberlrn {

// The wait text (seconds, as read from the desktop; empty when it could not
// be read) in minutes. An empty or unreadable text counts as 0.
double WaitMinutes(std::string_view waitSecondsText);

// A number in its shortest decimal form with at most 15 significant digits
// and never an exponent: 10 gives "10", 1.5 gives "1.5", 0 gives "0",
// 1/3 gives "0.333333333333333".
std::string ShortestDecimal(double value);

// True when entry is a list entry other than "Never" whose minutes equal
// the wait; a wait that could not be read never matches.
bool SwitchesOffWithSaver(std::string_view entry, std::optional<double> waitMinutes);

// True for the entries too short for a screen saver to make sense.
bool IsTooShortEntry(std::string_view entry);

}  // namespace emberlrn
