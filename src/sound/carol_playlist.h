#pragma once
// The carol playlist (the carol clock, Timer5): the selected carols,
// "midi1.mid" to "midi24.mid", one after another in numeric order, wrapping
// from 24 back to 1.

#include <array>
#include <cstdint>
#include <string>

namespace emberlrn {

class TegoSnd;

inline constexpr int kCarolCount = 24;

class CarolPlaylist {
 public:
  explicit CarolPlaylist(TegoSnd& snd) : snd_(snd) {}

  std::string installFolder;  // with its trailing '/'
  bool musicOn = false;
  // 1..24 as stored: 1 selected, 0 not; any other value only a hand-edited
  // file holds, and it is told apart (see MidiSoundsCheckedNext).
  std::array<int16_t, kCarolCount + 1> carolChecked{};
  int16_t currentCarol = 1;

  // The file of carol n (1..24) in the install folder, e.g. "midi7.mid".
  std::string CarolPath(int16_t carol) const;

  // With music on, plays currentCarol when it is selected; when it is not
  // selected, moves currentCarol on by one without playing anything.
  void MidiSounds();

  // Moves currentCarol to the first selected carol at or after it, in the
  // cyclic order 1..24. The search goes round at most once.
  void MidiSoundsCheckedNext();

  // One tick of the carol clock: with music on and no carol playing, steps
  // currentCarol on, finds the next selected carol and plays it.
  void CarolTick();

  // Silences the carol now playing.
  void Stop();

 private:
  TegoSnd& snd_;
};

}  // namespace emberlrn
