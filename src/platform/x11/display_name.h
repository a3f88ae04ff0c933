#pragma once
// Telling the user plainly that no X display could be opened, and which one
// was tried, so that a missing or wrong $DISPLAY is found at once.

#include <string>

namespace emberlrn::x11 {

// "cannot open the X display ":7" named by $DISPLAY", or
// "cannot open an X display: $DISPLAY is not set".
std::string NoDisplayText();

// True when the X display named by $DISPLAY can be opened.
bool DisplayOpens();

}  // namespace emberlrn::x11
