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

// True when XDG_CURRENT_DESKTOP (names joined by ':') names a desktop that
// starts its screen saver after GNOME's idle delay.
bool IsGnomeSession(std::string_view currentDesktop);

// Where the wait was read: the idle launcher that keeps it.
enum class WaitSource { kXScreenSaver, kGnome, kXServer };

struct ScreenSaverWait {
  int seconds = 0;
  WaitSource source = WaitSource::kXServer;
};

// The first of: ~/.xscreensaver, GNOME's idle delay (in a GNOME session
// only: elsewhere it is an unused default), the X server's time-out.
std::optional<ScreenSaverWait> ReadScreenSaverWait();

// The same wait in seconds alone.
std::optional<int> ReadScreenSaveTimeOut();

}  // namespace emberlrn
