#include "frame/clocks.h"

#include <limits>

#include "frame/rotation.h"
#include "settings/setting_reader.h"
#include "settings/settings_store.h"
#include "start/saver_state.h"

namespace emberlrn {
namespace {

constexpr int16_t kNoticeOneDone = 20;
constexpr int16_t kNoticeTwoDone = 40;
constexpr int16_t kFeaturesOnTick = 59;
// Tip 2 from tick 65, 3 from 70, 4 from 75, 5 from 80.
constexpr int16_t kFeatureTipTicks[] = {65, 70, 75, 80};
constexpr int32_t kMouseArmedAfter = 4;

}  // namespace

void RotationClockTick(SaverState& state) {
  if (state.rotateOn != 1) return;
  state.rotateCount = state.rotateCount == std::numeric_limits<int16_t>::max()
                          ? 0
                          : static_cast<int16_t>(state.rotateCount + 1);
  // A period below one second is never reached, also after the count has
  // gone back to 0.
  if (state.rotateTicks >= 1 && state.rotateCount == state.rotateTicks) {
    RotationStep(state);
    state.rotateCount = 0;
  }
}

void NoticeClockTick(SaverState& state, SettingsStore& store) {
  if (!state.timer3Enabled) return;
  const int16_t n = ++state.noticeTicks;
  if (!state.runMonShown) {
    state.noticeCountdown = static_cast<int16_t>(kNoticeOneDone - n);
    if (n == kNoticeOneDone) {
      state.runMonShown = true;
      SaveSetting(store, keys::kRunMon, "True");
    }
  }
  if (state.runMonShown && !state.pwrMsgShown) {
    state.noticeCountdown = static_cast<int16_t>(kNoticeTwoDone - n);
    if (n == kNoticeTwoDone) {
      state.pwrMsgShown = true;
      SaveSetting(store, keys::kPwrMsg, "True");
    }
  }
  if (n == kLastNoticeTick) state.timer3Enabled = false;
}

void FeatureClockTick(SaverState& state) {
  if (!state.timer4Enabled) return;
  const int16_t n = ++state.featureTicks;
  // Only after notices that have finished: the tips never cover them.
  if (n == kFeaturesOnTick && state.featureTipsDue && state.pwrMsgShown) state.featuresOn = true;
  for (int i = 0; i < 4; ++i) {
    if (n == kFeatureTipTicks[i]) state.featureTip = static_cast<int16_t>(i + 2);
  }
  if (n == kLastFeatureTick) {
    state.featuresOn = false;
    state.timer4Enabled = false;
  }
}

void RunClockTick(SaverState& state) {
  state.runSeconds += 1;
  if (state.runSeconds > kRunSecondsLimit) state.runSeconds = 0;
  if (state.runSeconds > kMouseArmedAfter) state.mouseArmed = true;
}

}  // namespace emberlrn
