#pragma once
// Small questions put to the X server: whether a window with a title is on
// the desktop, and the server's own screen-saver time-out. Each opens its own
// short connection, so it works before and without any window of ours.

#include <optional>
#include <string_view>

namespace emberlrn::x11 {

// True when a top-level client window's _NET_WM_NAME or WM_NAME is exactly
// title. False when there is no display.
bool FindTopLevelWindow(std::string_view title);

// The X server's screen-saver time-out in seconds (XGetScreenSaver), or
// nothing when there is no display or the server's saver is off.
std::optional<int> ServerScreenSaverTimeout();

// Takes a window of ours off the screen on the connection that made it
// (display is that connection's Display*). A full-screen window withdrawn
// first is destroyed at once: without a window manager, destroying a mapped
// one waits for an answer that never comes.
void WithdrawWindow(void* display, unsigned long window);

// Marks a window of ours that is not yet mapped as full screen
// (_NET_WM_STATE_FULLSCREEN beside the states it has), so that a window
// manager shows it so from the moment it is mapped, without being asked,
// and waited for, once it is.
void MarkFullScreen(void* display, unsigned long window);

}  // namespace emberlrn::x11
