#pragma once
// The preview: the still picture of the scene in a child window of the
// host's preview window, sized to it, until that window goes away.

#include <functional>

#include "interfaces/types.h"

namespace emberlrn::x11 {

// Runs until the parent window is destroyed; returns the exit status (0).
// A parent that does not exist, or no display, ends quietly at once. The
// picture is asked for once the window stands.
int RunPreviewWindow(unsigned long parent, const std::function<PixelPicture()>& loadPicture);

}  // namespace emberlrn::x11
