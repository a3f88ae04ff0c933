#include "setup/display_check.h"

#include <cstdlib>
#include <cstring>

#include "platform/x11/display_name.h"

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
  const bool isX = chosen && std::strncmp(platform, "xcb", 3) == 0;
  if (chosen && !isX) return true;
  if (!chosen && IsSet("WAYLAND_DISPLAY")) return true;
  return x11::DisplayOpens();
}

}  // namespace emberlrn
