#pragma once
// The full-screen run on SDL: builds the real controls, loads the saver
// window, shows it and runs the event loop until the saver ends.

namespace emberlrn {

class LinuxSystem;

// The process's exit status: 0 when the saver ends the ordinary way (which
// ends the process from inside the loop), non-zero when there is no display
// to show it on; standard error then says why.
int RunSaverWindow(LinuxSystem& system);

// The SDL hints every run of the saver sets before SDL starts: cheap software
// drawing, and the desktop's own screen saver and power saving left free.
void SetSaverHints();

}  // namespace emberlrn
