#pragma once
// The X server's own monitor power saving (DPMS): whether it is on, and after
// how many idle seconds it puts the monitor to standby, suspends it and
// switches it off. Opens its own short connection, like the other questions
// put to the X server.

#include <optional>

namespace emberlrn::x11 {

// Seconds of idle time; 0 means that step never comes.
struct MonitorPowerTimes {
  bool enabled = false;
  int standby = 0;
  int suspend = 0;
  int off = 0;
};

// Nothing when there is no display or the server has no DPMS for its screen.
std::optional<MonitorPowerTimes> ReadMonitorPowerTimes();

}  // namespace emberlrn::x11
