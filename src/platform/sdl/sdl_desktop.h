#pragma once
// The screen's cursor and message boxes through SDL, for the desktop
// services of the system.

#include <string_view>

#include "interfaces/system.h"

namespace emberlrn {

// Shows or hides the pointer over our windows; nothing before SDL's video runs.
void ShowSdlCursor(bool show);

// A modal message box with an OK button; false when none could be shown.
bool ShowSdlMessageBox(MessageIcon icon, std::string_view title, std::string_view text);

}  // namespace emberlrn
