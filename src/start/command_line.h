#pragma once
// Reading the classic screen-saver command line: which mode, and for a
// preview the window it goes into.

#include <cstdint>
#include <string>
#include <string_view>

namespace emberlrn {

// The command text: blanks trimmed at both ends, folded to lower case.
std::string CommandText(std::string_view commandLine);

// The first two characters of the command text (fewer when it is shorter).
std::string ModeKey(std::string_view commandText);

// The preview window named on the line: the first numeric tail of the text
// (dropping one leading character at a time), rounded to a 32-bit integer;
// 0 when no tail is numeric or the number does not fit.
int32_t PreviewHandle(std::string_view commandText);

enum class Mode { kFullScreen, kPreview, kSettings, kPassword, kNone };

// The mode a key selects: empty or "/s" full screen, "/p" preview, "/c"
// settings, "/a" password; anything else none.
Mode ModeForKey(std::string_view key);

// The mode a whole command line selects.
Mode ModeOfLine(std::string_view commandLine);

}  // namespace emberlrn
