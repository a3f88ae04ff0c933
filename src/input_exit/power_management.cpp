#include "input_exit/power_management.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "interfaces/clock.h"
#include "interfaces/system.h"
#include "interfaces/tego_ddrw.h"
#include "settings/schema.h"
#include "interfaces/tego_ds.h"

namespace emberlrn {

namespace {

constexpr int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

std::optional<int16_t> MonitorTimeSeconds(std::string_view text) {
  const std::optional<int16_t> minutes = MonitorEntryMinutes(text);
  if (!minutes) return std::nullopt;
  return static_cast<int16_t>(*minutes * 60);
}

void PowerManage(SaverState& state) {
  state.monitorOffSeconds = MonitorTimeSeconds(state.monitorSetting).value_or(0);
  if (state.monitorOffSeconds == 0) state.powerManageOn = 0;
}

void SSTimeFunc(SaverState& state, System& system) {
  if (const std::optional<int32_t> timeOut = system.ScreenSaveTimeOut()) {
    state.screenSaveTimeOut = *timeOut;
  }
}

void StartPowerManagement(SaverState& state, System& system) {
  if (state.powerManageOn == 1) PowerManage(state);
  if (state.powerManageOn == 1) SSTimeFunc(state, system);
  if (state.powerManageOn == 1) {
    // Worked in 64 bits: a desktop time-out of any size gives an early
    // hand-over, never an overflow.
    state.pmDelaySeconds = ClampToInt32(int64_t{state.monitorOffSeconds} - state.screenSaveTimeOut -
                                        kHandoverLeadSeconds);
  }
}

void PowerTick(SaverState& state, SaverControls& controls, SaverWindowHost& host) {
  if (state.powerManageOn != 1) return;
  // The clock keeps ticking behind the warning window; the hand-over
  // happens once.
  if (state.pmHandover) return;

  const int64_t elapsedMs = controls.clock.MonotonicMs() - state.startMonotonicMs;
  state.elapsedSeconds = ClampToInt32(elapsedMs / 1000);
  if (state.elapsedSeconds < state.pmDelaySeconds) return;

  state.pmHandover = true;
  controls.ds.stopAllWaves();
  controls.ds.stopWave(state.fireSoundId);
  state.soundOn = 0;
  controls.ddrw.CloseDisplay();
  PrepareToClose(state, controls, host);
}

void SetUpPowerM(SaverState& state, SaverControls& controls, SaverWindowHost& host) {
  controls.ds.stopAllWaves();
  controls.system.ShowCursor(true);
  host.HideSaverWindow();
  host.DropTopMost();
  state.pmWarningShown = true;
  // The saver window's clocks keep running while the warning shows; should
  // the warning be closed without ending the program, the ordinary close
  // follows.
  host.ShowPowerWarning([&state, &controls] { CloseDown(state, controls); });
}

}  // namespace emberlrn
