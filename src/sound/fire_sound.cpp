#include "sound/fire_sound.h"

#include <algorithm>
#include <optional>
#include <string>

#include "settings/conversions.h"
#include "sound/tego_ds.h"

namespace emberlrn {

namespace {

constexpr int32_t kSecondsPerMinute = 60;
// The longest time the settings dialog offers (eight hours); it also keeps
// the seconds within their 16-bit field.
constexpr double kLongestSoundOffMinutes = 480.0;
// After a day of counting the countdown starts again from 0.
constexpr int32_t kLastSoundOffTick = 86398;
constexpr int32_t kLoopedMode = 0;

}  // namespace

void OpenDirectSoundSession(SaverState& state, TegoDS& ds) {
  // The sound of an earlier opening must not go on playing beside the new
  // one; on the first opening the identifier is still 0, which is harmless.
  ds.stopWave(state.fireSoundId);
  state.fireSoundId = ds.loadWave(state.installFolder + std::string(kFireWaveFile));
  if (state.soundOn == 1) {
    ds.startWave(state.fireSoundId);
    ds.setWaveVolume(state.fireSoundId, state.soundVolume);
    ds.setWaveMode(state.fireSoundId, kLoopedMode);
  }
}

void SoundOff(SaverState& state) {
  // The dialog's list offers 1, 2, 3, 4, 5, 10, 15, 20, 30, 45, 60, 90, 120,
  // 180, 240, 300, 360, 420 and 480 minutes, and each of them gives exactly
  // that many minutes. A hand-edited file may hold other numbers: taken only
  // from the list, "25" would leave no time at all and silence the fire on
  // the first second, which is plainly not what whoever wrote 25 minutes
  // wants. So every positive number of minutes counts as written, rounded to
  // the second (at least one) and held at the longest time the dialog offers.
  const std::optional<double> minutes = ParseNumber(state.soundOffSetting);
  if (!minutes || *minutes <= 0.0) {
    // Text that is no number, or no time above zero, names no sound-off time:
    // it counts as the first-run value, "Never".
    state.soundOffSetting = std::string(kSoundOffNever);
    return;
  }
  const double seconds =
      RoundHalfEven(std::min(*minutes, kLongestSoundOffMinutes) * kSecondsPerMinute);
  state.soundOffSeconds = static_cast<int16_t>(std::max(seconds, 1.0));
}

void SoundOffTick(SaverState& state, TegoDS& ds) {
  if (state.soundOffSetting == kSoundOffNever) return;
  state.soundOffTicks += 1;
  if (state.soundOffTicks >= state.soundOffSeconds) {
    // Repeats on every later tick, so an S pressed after the sound-off time
    // brings the fire back for at most a second. A playing carol goes on.
    ds.stopAllWaves();
    ds.stopWave(state.fireSoundId);
    state.soundOn = 0;
  }
  if (state.soundOffTicks > kLastSoundOffTick) state.soundOffTicks = 0;
}

}  // namespace emberlrn
