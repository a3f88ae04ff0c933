#include "sound/fire_sound.h"

#include <algorithm>
#include <optional>

#include "interfaces/tego_ds.h"
#include "sound/crackle_layer.h"
#include "settings/conversions.h"
#include "settings/schema.h"
#include "settings/setting_rules.h"

namespace emberlrn {

namespace {

constexpr int32_t kSecondsPerMinute = 60;
// After a day of counting the countdown starts again from 0.
constexpr int32_t kLastSoundOffTick = 86398;
constexpr int32_t kLoopedMode = 0;

}  // namespace

void FireSound::OpenDirectSoundSession() {
  // The sound of an earlier opening must not go on playing beside the new
  // one; on the first opening the identifier is still 0, which is harmless.
  ds_.stopWave(fireSoundId);
  StopCrackles();
  fireSoundId = ds_.loadWave(installFolder + std::string(kFireWaveFile));
  if (soundOn) {
    ds_.startWave(fireSoundId);
    ds_.setWaveVolume(fireSoundId, soundVolume);
    ds_.setWaveMode(fireSoundId, kLoopedMode);
    if (crackles_) crackles_->Start(soundVolume);
  }
}

void FireSound::SoundOff() {
  // The same rule as the dialog's: any positive number of minutes counts as
  // written, held at eight hours; anything else means never.
  const std::optional<double> minutes = SoundOffMinutes(soundOffSetting);
  if (!minutes) {
    soundOffSetting = std::string(kSoundOffNever);
    return;
  }
  // Rounded to the second, and at least one.
  const double seconds = RoundHalfEven(*minutes * kSecondsPerMinute);
  soundOffSeconds = static_cast<int16_t>(std::max(seconds, 1.0));
}

void FireSound::SoundOffTick() {
  if (soundOffSetting == kSoundOffNever) return;
  soundOffTicks += 1;
  // Repeats on every later tick, so an S pressed after the sound-off time
  // brings the fire back for at most a second.
  if (soundOffTicks >= soundOffSeconds) StopFire();
  if (soundOffTicks > kLastSoundOffTick) soundOffTicks = 0;
}

void FireSound::StopAllWaves() {
  ds_.stopAllWaves();
  StopCrackles();
}

void FireSound::Silence() {
  StopAllWaves();
  ds_.stopWave(fireSoundId);
}

void FireSound::StopFire() {
  Silence();
  soundOn = false;
}

void FireSound::StopCrackles() {
  if (crackles_) crackles_->Stop();
}

}  // namespace emberlrn
