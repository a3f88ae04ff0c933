#pragma once
// Opening the full-screen display: the desktop's colour depth is found from
// the list of display modes the system enumerates, the display is asked for
// 800 x 600 at that depth, and a refusal is explained to the user.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "interfaces/display_modes.h"
#include "interfaces/tego_ddrw.h"

namespace emberlrn {

class System;
class TegoDDrw;

inline constexpr std::string_view kDirectDrawErrorTitle = "Error opening the display!";

// The enumerated modes as lines ("800x600x32"), in enumeration order, and
// the line that matches the desktop, if any.
struct ModeList {
  std::vector<std::string> lines;
  std::optional<size_t> selected;
};

// "800x600x32": width, height and depth in plain decimal.
std::string ModeListLine(const DisplayModeRecord& mode);

// Every enumerated mode becomes a line; a mode equal to the desktop's depth,
// width and height becomes the selection, so the last such mode wins.
ModeList BuildModeList(DisplayModes& modes);

// The last two characters of the selected line; empty with no selection.
std::string SelectedDepthText(const ModeList& list);

// The message of a refused switch at 32, 24 or 16 bits, its lines joined by
// carriage return and line feed, without a break after the last line.
std::string DirectDrawErrorText(int bitsPerPixel);

// The message of a window that cannot be made or drawn at all, with the
// reason the drawing control gave.
std::string WindowFaultText(std::string_view fault);

// Switches the display to 800 x 600 at the desktop's depth (32, 24 or 16;
// any other depth tries 16 bits and carries on whatever the answer). Returns
// false after showing the message when a 32, 24 or 16-bit switch is refused,
// or at any depth when the window itself cannot be drawn (then the window's
// message, never a depth's); the caller then unloads the saver window and ends.
bool OpenDisplay(TegoDDrw& ddrw, DisplayModes& modes, System& system);

}  // namespace emberlrn
