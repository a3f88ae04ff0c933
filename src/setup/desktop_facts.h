#pragma once
// What the settings dialog asks of the desktop it runs on, beyond the
// services it shares with the saver: the screen-saver wait with the idle
// launcher it came from, the monitor's own power-saving times, and whether a
// program is installed. Behind an interface so tests can set the answers.

#include <optional>
#include <string_view>

#include "platform/screen_saver_timeout.h"
#include "platform/x11/monitor_power.h"

namespace emberlrn {

class DesktopFacts {
 public:
  virtual ~DesktopFacts() = default;
  // Nothing when no launcher's wait can be read.
  virtual std::optional<ScreenSaverWait> ReadWait() = 0;
  // Nothing when the display server does not tell them.
  virtual std::optional<x11::MonitorPowerTimes> ReadMonitorPower() = 0;
  // True when the program is found on PATH.
  virtual bool Installed(std::string_view program) = 0;
};

// The answers of this machine.
class LinuxDesktopFacts final : public DesktopFacts {
 public:
  std::optional<ScreenSaverWait> ReadWait() override;
  std::optional<x11::MonitorPowerTimes> ReadMonitorPower() override;
  bool Installed(std::string_view program) override;
};

}  // namespace emberlrn
