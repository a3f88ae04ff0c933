#pragma once
// The saver hosted by xscreensaver: the live scene drawn into a window the
// host gives us, at that window's size. The host decides when it ends: input
// never ends it, SIGTERM or SIGINT stop its sound at once and end it with
// status 0, and it ends quietly when its window goes away.

#include <cstdint>

namespace emberlrn {

class LinuxSystem;

struct HostedOptions {
  uint32_t window = 0;  // 0: the root window
  bool silent = false;  // a preview pane: no fire sound, no carols
  bool showFps = false;
};

int RunHostedSaver(LinuxSystem& system, const HostedOptions& options);

}  // namespace emberlrn
