#pragma once
// The saver hosted by xscreensaver: the live scene drawn into a window the
// host gives us, at that window's size. The host decides when it ends: input
// never ends it, SIGTERM or SIGINT stop its sound at once and end it with
// status 0, and it ends quietly when its window goes away. In a preview pane
// it only reads the settings, shows no first-run notice and leaves the
// pointer alone.

#include <cstdint>

namespace emberlrn {

class LinuxSystem;

struct HostedOptions {
  uint32_t window = 0;  // 0: the root window
  bool pane = false;    // a preview pane (--window-id): silent, the settings only read
  bool showFps = false;
};

int RunHostedSaver(LinuxSystem& system, const HostedOptions& options);

}  // namespace emberlrn
