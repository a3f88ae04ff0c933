#include "frame/clocks.h"

#include "settings/setting_reader.h"
#include "settings/settings_store.h"

namespace emberlrn {
namespace {

constexpr int16_t kNoticeOneDone = 20;
constexpr int16_t kNoticeTwoDone = 40;
constexpr int16_t kFeaturesOnTick = 59;
// Tip 2 from tick 65, 3 from 70, 4 from 75, 5 from 80.
constexpr int16_t kFeatureTipTicks[] = {65, 70, 75, 80};
constexpr int32_t kMouseArmedAfter = 4;

}  // namespace

void AnimationClocks::NoticesSeen(bool monitorNoticeSeen, bool powerNoticeSeen) {
  runMonShown = monitorNoticeSeen;
  pwrMsgShown = powerNoticeSeen;
  // The notices run to their end in this run; the feature tips follow them.
  if (!pwrMsgShown) featureTipsDue = true;
}

void AnimationClocks::FrameShown() {
  if (!firstFrame) return;
  runSeconds = 0;
  firstFrame = false;
}

void AnimationClocks::NoticeClockTick(SettingsStore& store) {
  if (!timer3Enabled) return;
  const int16_t n = ++noticeTicks;
  if (!runMonShown) {
    noticeCountdown = static_cast<int16_t>(kNoticeOneDone - n);
    if (n == kNoticeOneDone) {
      runMonShown = true;
      SaveSetting(store, keys::kRunMon, "True");
    }
  }
  if (runMonShown && !pwrMsgShown) {
    noticeCountdown = static_cast<int16_t>(kNoticeTwoDone - n);
    if (n == kNoticeTwoDone) {
      pwrMsgShown = true;
      SaveSetting(store, keys::kPwrMsg, "True");
    }
  }
  if (n == kLastNoticeTick) timer3Enabled = false;
}

void AnimationClocks::FeatureClockTick() {
  if (!timer4Enabled) return;
  const int16_t n = ++featureTicks;
  // Only after notices that have finished: the tips never cover them.
  if (n == kFeaturesOnTick && featureTipsDue && pwrMsgShown) featuresOn = true;
  for (int i = 0; i < 4; ++i) {
    if (n == kFeatureTipTicks[i]) featureTip = static_cast<int16_t>(i + 2);
  }
  if (n == kLastFeatureTick) {
    featuresOn = false;
    timer4Enabled = false;
  }
}

void AnimationClocks::RunClockTick() {
  runSeconds += 1;
  if (runSeconds > kRunSecondsLimit) runSeconds = 0;
  if (runSeconds > kMouseArmedAfter) mouseArmed = true;
}

}  // namespace emberlrn
