#pragma once
// The MIDI control on SDL2_mixer: one MIDI file at a time, synthesised by
// FluidSynth with a General MIDI soundfont.
//
// The control always plays whole files: playMidiFile's range (0 and -1, from
// the start to the end) is the only one the saver asks for. A file that is
// missing or cannot be played, a missing soundfont and a missing sound device
// each leave isMidiPlaying false and are told once on standard error, so the
// playlist moves on to its next carol without filling the log.
//
// A carol ends with its last note: the synthesiser goes on for seconds after
// it while the notes die away, and the playlist would wait for that silence.
// The mixer counts the output the carol has played, so the end falls on the
// same sample however far the output runs ahead of the clock. The tail sounds
// on until the next carol starts, which fades it out quickly.

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "interfaces/tego_snd.h"

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
  // The file loaded and its notes' length read, or nothing after telling why.
  std::unique_ptr<_Mix_Music, MusicFree> Load(const std::string& file, double& notesSeconds);
  // Ends what still sounds, faded out when `fade` is set, else at once.
  void EndMusic(bool fade);
  // The mixer's hook after every buffer: counts the frames played with music.
  static void CountPlayed(int channel, void* stream, int length, void* self);

  SdlSoundDevice& device_;
  int releaser_ = 0;
  std::string soundFont_;
  bool soundFontChecked_ = false;
  bool soundFontFound_ = false;
  std::unique_ptr<_Mix_Music, MusicFree> music_;
  // Frames of output the carol has played, counted on the mixer's thread, and
  // the frames to the end of its last note.
  std::atomic<uint64_t> playedFrames_{0};
  uint64_t notesFrames_ = 0;
  int bytesPerFrame_ = 4;
  bool counting_ = false;
  bool notesEnded_ = false;
  std::set<std::string> reported_;
};

}  // namespace emberlrn
