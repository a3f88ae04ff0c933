#include "platform/x11/display_name.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace emberlrn::x11 {

std::string NoDisplayText() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0')
    return "cannot open an X display: $DISPLAY is not set";
  return std::string("cannot open the X display \"") + display + "\" named by $DISPLAY";
}

bool DisplayOpens() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return false;
  Display* connection = XOpenDisplay(nullptr);
  if (connection == nullptr) return false;
  XCloseDisplay(connection);
  return true;
}

}  // namespace emberlrn::x11
