#include "setup/desktop_facts.h"

#include <string>

#include "platform/process.h"

namespace emberlrn {

std::optional<ScreenSaverWait> LinuxDesktopFacts::ReadWait() { return ReadScreenSaverWait(); }

std::optional<x11::MonitorPowerTimes> LinuxDesktopFacts::ReadMonitorPower() {
  return x11::ReadMonitorPowerTimes();
}

bool LinuxDesktopFacts::Installed(std::string_view program) {
  return ProgramExists(std::string(program));
}

}  // namespace emberlrn
