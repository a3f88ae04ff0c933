#pragma once
// Whether Qt will find a display. Qt ends the process when it finds none,
// so the dialog asks first.

namespace emberlrn {

// True when a platform other than X is chosen by hand (QT_QPA_PLATFORM), a
// Wayland session is named, or the X display named by DISPLAY can be opened.
bool DisplayAvailable();

}  // namespace emberlrn
