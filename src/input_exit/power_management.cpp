#include "input_exit/power_management.h"

#include <algorithm>
#include <limits>

#include "interfaces/clock.h"
#include "interfaces/system.h"
#include "settings/schema.h"

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

void PowerManagement::PowerManage() {
  monitorOffSeconds = MonitorTimeSeconds(monitorSetting).value_or(0);
  if (monitorOffSeconds == 0) powerManageOn = false;
}

void PowerManagement::SSTimeFunc(System& system) {
  if (const std::optional<int32_t> timeOut = system.ScreenSaveTimeOut()) {
    screenSaveTimeOut = *timeOut;
  }
}

void PowerManagement::StartPowerManagement(System& system) {
  if (powerManageOn) PowerManage();
  if (powerManageOn) SSTimeFunc(system);
  if (powerManageOn) {
    // Worked in 64 bits: a desktop time-out of any size gives an early
    // hand-over, never an overflow.
    pmDelaySeconds =
        ClampToInt32(int64_t{monitorOffSeconds} - screenSaveTimeOut - kHandoverLeadSeconds);
  }
}

bool PowerManagement::HandOverDue(const Clock& clock) {
  if (!powerManageOn) return false;
  // The clock keeps ticking behind the warning window; the hand-over
  // happens once.
  if (pmHandover) return false;
  const int64_t elapsedMs = clock.MonotonicMs() - startMonotonicMs;
  elapsedSeconds = ClampToInt32(elapsedMs / 1000);
  if (elapsedSeconds < pmDelaySeconds) return false;
  pmHandover = true;
  return true;
}

}  // namespace emberlrn
