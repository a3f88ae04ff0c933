#pragma once
// The one-second clocks of the saver window that belong to the frame: the
// rotation clock (Timer1), the first-run notice clock (Timer3), the
// feature-tip clock (Timer4) and the run clock (TimerTotal). Each routine is
// one tick; the saver window calls it from the timer.

#include <cstdint>

namespace emberlrn {

class SettingsStore;
struct SaverState;

// The notice clock stops itself after this tick; the feature-tip clock after its own.
inline constexpr int16_t kLastNoticeTick = 41;
inline constexpr int16_t kLastFeatureTick = 85;
// The run clock starts again from 0 past this count.
inline constexpr int32_t kRunSecondsLimit = 2147400000;

// While rotateOn is 1: counts, and every rotateTicks seconds steps to the
// next enabled style. The count goes back to 0 rather than pass 32767, so a
// period that can never be reached (0 or less) runs for ever without harm.
void RotationClockTick(SaverState& state);

// Notice 1 counts down 19..1 over ticks 1 to 19 and is done at tick 20
// (keys::kRunMon stored as "True"); notice 2 counts down 20..1 and is done at
// tick 40 (keys::kPwrMsg stored as "True"); the clock stops at tick 41.
void NoticeClockTick(SaverState& state, SettingsStore& store);

// The feature tips, shown after the notices of a run that showed them:
// on from tick 59, the next tip at ticks 65, 70, 75 and 80, off at tick 85,
// when the clock stops.
void FeatureClockTick(SaverState& state);

// Counts the seconds of the run; from the fifth, mouse movement counts.
void RunClockTick(SaverState& state);

}  // namespace emberlrn
