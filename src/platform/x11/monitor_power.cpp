#include "platform/x11/monitor_power.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include <memory>

namespace emberlrn::x11 {
namespace {

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

}  // namespace

std::optional<MonitorPowerTimes> ReadMonitorPowerTimes() {
  std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
  if (!display) return std::nullopt;
  int eventBase = 0, errorBase = 0;
  if (!DPMSQueryExtension(display.get(), &eventBase, &errorBase) || !DPMSCapable(display.get())) {
    return std::nullopt;
  }
  CARD16 standby = 0, suspend = 0, off = 0;
  CARD16 level = 0;
  BOOL state = False;
  if (!DPMSGetTimeouts(display.get(), &standby, &suspend, &off) ||
      !DPMSInfo(display.get(), &level, &state)) {
    return std::nullopt;
  }
  return MonitorPowerTimes{state != False, standby, suspend, off};
}

}  // namespace emberlrn::x11
