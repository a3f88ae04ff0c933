#pragma once
// The one-second clocks of the saver window that belong to the frame: the
// first-run notice clock (Timer3), the feature-tip clock (Timer4) and the
// run clock (TimerTotal), with what they show. Each routine is one tick;
// the saver window calls it from the timer.

#include <cstdint>

namespace emberlrn {

class SettingsStore;

// The notice clock stops itself after this tick; the feature-tip clock after its own.
inline constexpr int16_t kLastNoticeTick = 41;
inline constexpr int16_t kLastFeatureTick = 85;
// The run clock starts again from 0 past this count.
inline constexpr int32_t kRunSecondsLimit = 2147400000;

struct AnimationClocks {
  bool firstFrame = true;
  bool mouseArmed = false;
  int32_t runSeconds = 0;

  // The notices of the first runs and the tips that follow them.
  bool runMonShown = false;
  bool pwrMsgShown = false;
  bool featureTipsDue = false;  // this run shows the notices, so the tips follow
  int16_t noticeTicks = 0;
  int16_t noticeCountdown = 0;
  bool timer3Enabled = true;  // the notice clock stops itself
  int16_t featureTicks = 0;
  int16_t featureTip = 1;
  bool featuresOn = false;
  bool timer4Enabled = true;  // the feature-tip clock stops itself

  // What the store said of the notices when the scene was loaded: a notice
  // not yet seen shows in this run, and when the second one does, the
  // feature tips follow it.
  void NoticesSeen(bool monitorNoticeSeen, bool powerNoticeSeen);

  // The first frame: the run clock counts from here, not from the load.
  void FrameShown();

  // Notice 1 counts down 19..1 over ticks 1 to 19 and is done at tick 20
  // (keys::kRunMon stored as "True"); notice 2 counts down 20..1 and is done
  // at tick 40 (keys::kPwrMsg stored as "True"); the clock stops at tick 41.
  void NoticeClockTick(SettingsStore& store);

  // The feature tips, shown after the notices of a run that showed them:
  // on from tick 59, the next tip at ticks 65, 70, 75 and 80, off at tick
  // 85, when the clock stops.
  void FeatureClockTick();

  // Counts the seconds of the run; from the fifth, mouse movement counts.
  void RunClockTick();
};

}  // namespace emberlrn
