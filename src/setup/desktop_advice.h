#pragma once
// The dialog's words about the desktop it runs on: where the screen-saver
// wait was read, the X server's own monitor power saving beside the user's
// choice, and the message of a button whose desktop program is missing.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop_tools.h"
#include "platform/screen_saver_timeout.h"
#include "platform/x11/monitor_power.h"

namespace emberlrn {

// Seconds as the dialog writes minutes: "1 Minute", "5 Minutes", "1.5 Minutes".
std::string MinutesText(int seconds);

// "(read from xscreensaver)" and the like; nothing read has its own words.
std::string_view WaitSourceText(std::optional<WaitSource> source);

// The seconds after which the monitor first goes dark, or nothing when the
// X server's power saving never darkens it.
std::optional<int> FirstDarkSeconds(const x11::MonitorPowerTimes& times);

// The X server's times, then whether they agree with the user's choice:
// the list's entry while power management is ticked, no hand-over at all
// while it is not. Unread times give one sentence that says so.
std::string MonitorPowerText(const std::optional<x11::MonitorPowerTimes>& times,
                             std::string_view entry, bool powerTicked);

// "Emberlorn could not open <what>: none of the programs it tried is
// installed.", then the programs tried and the packages to install, then
// closing.
std::string MissingToolText(std::string_view what, const std::vector<DesktopTool>& tried,
                            std::string_view closing);

}  // namespace emberlrn
