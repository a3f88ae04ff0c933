#pragma once
// The power-management hand-over. A user whose monitor switches itself off
// after some time tells the saver so; the saver then runs only until 45
// seconds before that moment, gives the display back and leaves a small
// warning window on top, so that the system's own power management can act.

#include <cstdint>
#include <optional>
#include <string_view>

#include "input_exit/input_exit.h"
#include "start/saver_state.h"

namespace emberlrn {

class System;

// The hand-over comes this many seconds before the monitor would go off.
inline constexpr int32_t kHandoverLeadSeconds = 45;

// The seconds of a monitor time as the settings dialog lists it ("1 Minute"
// ... "5 hours", "Never"), matched exactly; nothing for any other text.
std::optional<int16_t> MonitorTimeSeconds(std::string_view text);

// monitorSetting -> monitorOffSeconds; "Never" or an unknown text switches
// the hand-over off for this run (powerManageOn = 0).
void PowerManage(SaverState& state);

// Reads the desktop's screen-saver wait into screenSaveTimeOut; when it
// cannot be read the value stays as it was (0).
void SSTimeFunc(SaverState& state, System& system);

// The start-up's power-management step: PowerManage, SSTimeFunc and the
// delay of the hand-over, each only while powerManageOn is still 1.
void StartPowerManagement(SaverState& state, System& system);

// The power-management part of the one-second clock (Timer2): hands over
// once the delay has passed since the saver window loaded. The elapsed time
// is measured on the monotonic clock from startMonotonicMs, so it holds
// across midnight and whatever the time format.
void PowerTick(SaverState& state, SaverControls& controls, SaverWindowHost& host);

// Steps the saver window aside and shows the warning window; if the warning
// is closed without ending the program, the ordinary close follows.
void SetUpPowerM(SaverState& state, SaverControls& controls, SaverWindowHost& host);

}  // namespace emberlrn
