#pragma once
// The power-management hand-over. A user whose monitor switches itself off
// after some time tells the saver so; the saver then runs only until 45
// seconds before that moment, gives the display back and leaves a small
// warning window on top, so that the system's own power management can act.
// This is the numbers and the flags of it; the close road does the steps.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace emberlrn {

class Clock;
class System;

// The hand-over comes this many seconds before the monitor would go off.
inline constexpr int32_t kHandoverLeadSeconds = 45;

// The seconds of a monitor time as the settings dialog lists it ("1 Minute"
// ... "5 hours", "Never"), matched exactly; nothing for any other text.
std::optional<int16_t> MonitorTimeSeconds(std::string_view text);

struct PowerManagement {
  bool powerManageOn = false;
  std::string monitorSetting;
  int16_t monitorOffSeconds = 0;
  int32_t screenSaveTimeOut = 0;
  int32_t pmDelaySeconds = 0;
  int32_t elapsedSeconds = 0;
  int64_t startMonotonicMs = 0;  // the saver window's load on the monotonic clock
  bool pmHandover = false;
  bool pmWarningShown = false;   // the warning window has been shown

  // monitorSetting -> monitorOffSeconds; "Never" or an unknown text switches
  // the hand-over off for this run.
  void PowerManage();

  // Reads the desktop's screen-saver wait into screenSaveTimeOut; when it
  // cannot be read the value stays as it was (0).
  void SSTimeFunc(System& system);

  // The start-up's step: PowerManage, SSTimeFunc and the delay of the
  // hand-over, each only while powerManageOn still holds.
  void StartPowerManagement(System& system);

  // The power-management part of the one-second clock (Timer2): true, once,
  // when the delay has passed since the saver window loaded, and pmHandover
  // is set. The elapsed time is measured on the monotonic clock from
  // startMonotonicMs, so it holds across midnight and whatever the time
  // format.
  bool HandOverDue(const Clock& clock);
};

}  // namespace emberlrn
