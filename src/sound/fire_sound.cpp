#include "sound/fire_sound.h"

#include <algorithm>
#include <optional>
#include <string>

#include "settings/conversions.h"
#include "settings/setting_rules.h"
#include "interfaces/tego_ds.h"

namespace emberlrn {

namespace {

constexpr int32_t kSecondsPerMinute = 60;
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
  // The same rule as the dialog's: any positive number of minutes counts as
  // written, held at eight hours; anything else means never.
  const std::optional<double> minutes = SoundOffMinutes(state.soundOffSetting);
  if (!minutes) {
    state.soundOffSetting = std::string(kSoundOffNever);
    return;
  }
  // Rounded to the second, and at least one.
  const double seconds = RoundHalfEven(*minutes * kSecondsPerMinute);
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
