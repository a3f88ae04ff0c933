#include "setup/display_check.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace emberlrn {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool DisplayAvailable() {
  // Any platform but X is Qt's own business (offscreen, Wayland, ...).
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool chosen = platform && *platform;
  const bool x11 = chosen && std::strncmp(platform, "xcb", 3) == 0;
  if (chosen && !x11) return true;
  if (!chosen && IsSet("WAYLAND_DISPLAY")) return true;
  if (!IsSet("DISPLAY")) return false;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

}  // namespace emberlrn
