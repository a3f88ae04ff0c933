#pragma once
// The fire sound: loading and starting "fire.wav" looped at the chosen
// volume, and the sound-off time after which it stops by itself (the first
// part of the sound-off and power-management clock, Timer2). The crackle
// layer, when there is one, plays exactly while the fire does.

#include <cstdint>
#include <string>
#include <string_view>

namespace emberlrn {

class CrackleLayer;
class TegoDS;

// The wave file of the fire, in the install folder.
inline constexpr std::string_view kFireWaveFile = "fire.wav";

class FireSound {
 public:
  explicit FireSound(TegoDS& ds, CrackleLayer* crackles = nullptr)
      : ds_(ds), crackles_(crackles) {}

  std::string installFolder;     // with its trailing '/'
  bool soundOn = false;
  int16_t soundVolume = 0;
  std::string soundOffSetting;   // minutes as text, or "Never"
  int16_t soundOffSeconds = 0;
  int32_t soundOffTicks = 0;
  int32_t fireSoundId = 0;

  // Stops the sound of an earlier opening, loads "fire.wav" again and, when
  // soundOn, starts it looped at soundVolume, with the crackles over it. The caller sets soundOn just
  // before: the start-up from keys::kSoundOn, the S key from keys::kSound.
  void OpenDirectSoundSession();

  // Turns soundOffSetting (minutes as text) into soundOffSeconds, by the
  // rule the settings dialog shows too; a text that names no time becomes
  // "Never". Called once at start-up, only when soundOffSetting is not
  // "Never".
  void SoundOff();

  // The sound-off countdown: counts the seconds and, from the sound-off time
  // on, stops the fire sound on every tick.
  void SoundOffTick();

  // Every wave stops, the crackles with them.
  void StopAllWaves();
  // Every wave stops, the fire's own by name too.
  void Silence();
  // Silence, and the sound stays off until it is opened again. A playing
  // carol goes on.
  void StopFire();

 private:
  void StopCrackles();

  TegoDS& ds_;
  CrackleLayer* crackles_;
};

}  // namespace emberlrn
