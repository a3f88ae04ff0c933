#pragma once
// The MIDI control: plays one MIDI file at a time.

#include <cstdint>
#include <string_view>

namespace emberlrn {

class TegoSnd {
 public:
  virtual ~TegoSnd() = default;
  // Starts playback and returns at once. A file that cannot be played is
  // told on standard error and leaves isMidiPlaying false.
  virtual void playMidiFile(std::string_view path, int32_t from, int32_t to) = 0;
  // True while a file started by playMidiFile still plays its notes; false
  // from the end of its last note on, while its sound may still die away.
  virtual bool isMidiPlaying() = 0;
  virtual void stopMidi() = 0;
};

}  // namespace emberlrn
