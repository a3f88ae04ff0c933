#pragma once
// The MIDI control on SDL2_mixer: one MIDI file at a time, synthesised by
// FluidSynth with a General MIDI soundfont.
//
// The control always plays whole files: playMidiFile's range (0 and -1, from
// the start to the end) is the only one the saver asks for. A file that is
// missing or cannot be played, a missing soundfont and a missing sound device
// each leave isMidiPlaying false and are told once on standard error, so the
// playlist moves on to its next carol without filling the log.

#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "sound/tego_snd.h"

struct _Mix_Music;

namespace emberlrn {

class SdlSoundDevice;

// Debian's timgm6mb-soundfont: small, complete, and warm enough for carols.
inline constexpr std::string_view kSoundFontPath = "/usr/share/sounds/sf2/TimGM6mb.sf2";

class SdlTegoSnd final : public TegoSnd {
 public:
  explicit SdlTegoSnd(SdlSoundDevice& device, std::string soundFont = std::string(kSoundFontPath));
  SdlTegoSnd(const SdlTegoSnd&) = delete;
  SdlTegoSnd& operator=(const SdlTegoSnd&) = delete;
  ~SdlTegoSnd() override;

  void playMidiFile(std::string_view path, int32_t from, int32_t to) override;
  bool isMidiPlaying() override;
  void stopMidi() override;

 private:
  struct MusicFree {
    void operator()(_Mix_Music* music) const;
  };

  bool SoundFontReady();
  void Report(const std::string& key, const std::string& line);

  SdlSoundDevice& device_;
  int releaser_ = 0;
  std::string soundFont_;
  bool soundFontChecked_ = false;
  bool soundFontFound_ = false;
  std::unique_ptr<_Mix_Music, MusicFree> music_;
  std::set<std::string> reported_;
};

}  // namespace emberlrn
