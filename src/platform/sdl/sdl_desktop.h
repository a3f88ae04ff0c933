#pragma once
// The screen's cursor, message boxes and the reading of a still picture
// through SDL, for the desktop services of the system and the preview.

#include <string>
#include <string_view>

#include "interfaces/system.h"
#include "interfaces/types.h"

namespace emberlrn {

// Shows or hides the pointer over our windows; nothing before SDL's video runs.
void ShowSdlCursor(bool show);

// A modal message box with an OK button; false when none could be shown.
bool ShowSdlMessageBox(MessageIcon icon, std::string_view title, std::string_view text);

// A BMP file as pixels; an empty picture, told on standard error, when it
// cannot be read.
PixelPicture LoadBmpPicture(const std::string& path);

}  // namespace emberlrn
