#pragma once
// Starting SDL's video for the saver: the hints every run sets, and telling
// a real display from SDL's off-screen fall-back.

namespace emberlrn {

// Cheap software drawing, a full screen that stays full, and the desktop's
// own screen saver and power saving left free. A hosted run never grabs the
// keyboard: its host keeps it for its unlock dialog.
void SetSaverHints(bool grabKeyboard);

// Starts SDL's video on a real display: on a Wayland session SDL's Wayland
// driver, else X11 through XWayland, told in one line. False when there is
// none (SDL would otherwise draw off the screen, unless that driver was
// asked for). The idle manager stays free: no idle inhibitor is held.
bool StartVideo();

}  // namespace emberlrn
