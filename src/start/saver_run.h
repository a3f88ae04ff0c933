#pragma once
// The saver as the program runs it: the real controls of the platform are
// built, the saver window is loaded on them and the event loop runs until
// the saver ends. The full-screen run and the run hosted by xscreensaver
// share one builder; they differ in the window host, the input and the
// store they are given.

#include <cstdint>

namespace emberlrn {

class LinuxSystem;

// The full-screen run. Returns the exit status: the ordinary end leaves the
// process from inside the loop; non-zero when there is no display to show
// it on, standard error then saying why.
int RunSaverWindow(LinuxSystem& system);

// Hosted by xscreensaver: the live scene drawn into a window the host gives
// us, at that window's size. The host decides when it ends: input never ends
// it, SIGTERM or SIGINT stop its sound at once and end it with status 0, and
// it ends quietly when its window goes away. In a preview pane it only reads
// the settings, shows no first-run notice, stays silent and leaves the
// pointer alone.
struct HostedOptions {
  uint32_t window = 0;  // 0: the root window
  bool pane = false;    // a preview pane (--window-id)
  bool showFps = false;
};
int RunHostedSaver(LinuxSystem& system, const HostedOptions& options);

}  // namespace emberlrn
