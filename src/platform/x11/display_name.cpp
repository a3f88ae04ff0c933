#include "platform/x11/display_name.h"

#include <cstdlib>

namespace emberlrn::x11 {

std::string NoDisplayText() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0')
    return "cannot open an X display: $DISPLAY is not set";
  return std::string("cannot open the X display \"") + display + "\" named by $DISPLAY";
}

}  // namespace emberlrn::x11
