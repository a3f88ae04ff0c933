#pragma once
// The fire sound: loading and starting "fire.wav" looped at the chosen
// volume, and the sound-off time after which it stops by itself.

#include <cstdint>
#include <string_view>

#include "settings/schema.h"
#include "start/saver_state.h"

namespace emberlrn {

class TegoDS;

// The wave file of the fire, in the install folder.
inline constexpr std::string_view kFireWaveFile = "fire.wav";

// Stops the sound of an earlier opening, loads "fire.wav" again and, when
// soundOn is 1, starts it looped at soundVolume. The caller sets soundOn just
// before: the start-up from keys::kSoundOn, the S key from keys::kSound.
void OpenDirectSoundSession(SaverState& state, TegoDS& ds);

// Turns soundOffSetting (minutes as text) into soundOffSeconds, by the rule
// the settings dialog shows too; a text that names no time becomes "Never".
// Called once at start-up, only when soundOffSetting is not "Never".
void SoundOff(SaverState& state);

// The sound-off countdown, the first part of every tick of the sound-off and
// power-management clock: counts the seconds and, from the sound-off time on,
// stops the fire sound on every tick.
void SoundOffTick(SaverState& state, TegoDS& ds);

}  // namespace emberlrn
