#pragma once
// The dialog's "Listen": the saver's own fire sound, crackles and carol
// playlist, played through the saver's sound controls at the dialog's
// current choices, so that the volume bar and the carols can be heard. The
// sound device is opened the first time the user listens; without one the
// dialog stays silent after one line on standard error.

#include <QTimer>
#include <array>
#include <cstdint>
#include <string>

#include "platform/sdl/sdl_crackle_voices.h"
#include "platform/sdl/sdl_sound_device.h"
#include "platform/sdl/sdl_tego_ds.h"
#include "platform/sdl/sdl_tego_snd.h"
#include "platform/system_clock.h"
#include "sound/carol_playlist.h"
#include "sound/crackle_layer.h"
#include "sound/fire_sound.h"

namespace emberlrn {

// What the dialog's controls say is to be heard.
struct ListenChoices {
  int16_t volume = 0;
  bool crackleOn = false;
  std::array<int16_t, kCarolCount + 1> carolChecked{};  // 1..24
};

class PreviewSound {
 public:
  explicit PreviewSound(std::string installFolder);
  PreviewSound(const PreviewSound&) = delete;
  PreviewSound& operator=(const PreviewSound&) = delete;
  ~PreviewSound();

  // The fire starts (with its crackles) and the ticked carols take turns.
  void Start(const ListenChoices& choices);
  // While listening, the new choices are heard at once.
  void Follow(const ListenChoices& choices);
  // Every sound stops.
  void Stop();
  bool Listening() const { return listening_; }
  bool FirePlays() const { return listening_ && device_.IsOpen(); }

 private:
  std::string installFolder_;
  SystemClock clock_;
  SdlSoundDevice device_;
  SdlTegoDS ds_;
  SdlTegoSnd snd_;
  SdlCrackleVoices voices_;
  CrackleLayer crackles_;
  FireSound fire_;
  CarolPlaylist carols_;
  QTimer carolTimer_;
  QTimer crackleTimer_;
  bool listening_ = false;
  ListenChoices choices_;
};

}  // namespace emberlrn
