#pragma once
// Where Linux desktops keep the screen-saver wait, read as seconds.

#include <optional>
#include <string_view>

namespace emberlrn {

// The "timeout:" line of an ~/.xscreensaver file: "H:MM:SS", "MM:SS", or a
// bare number of minutes. Nothing when the line is missing or malformed.
std::optional<int> ParseXScreenSaverTimeout(std::string_view fileText);

// The output of "gsettings get org.gnome.desktop.session idle-delay", such as
// "uint32 300". Nothing for 0 (never) or anything unreadable.
std::optional<int> ParseGnomeIdleDelay(std::string_view output);

// The first of: ~/.xscreensaver, GNOME's idle delay, the X server's time-out.
std::optional<int> ReadScreenSaveTimeOut();

}  // namespace emberlrn
