#include "sound/carol_playlist.h"

#include "interfaces/tego_snd.h"

namespace emberlrn {

namespace {

constexpr int16_t kSelected = 1;
constexpr int16_t kNotSelected = 0;
// playMidiFile's range: the whole file, from its start to its end.
constexpr int32_t kFromStart = 0;
constexpr int32_t kToEnd = -1;

// The carol after n, 24 wrapping to 1. A value outside 1..24 (which nothing
// writes) starts the order again at 1 rather than reaching past the table.
int16_t NextCarol(int16_t carol) {
  if (carol < 1 || carol >= kCarolCount) return 1;
  return static_cast<int16_t>(carol + 1);
}

// currentCarol kept within the table.
int16_t CurrentCarol(SaverState& state) {
  if (state.currentCarol < 1 || state.currentCarol > kCarolCount) state.currentCarol = 1;
  return state.currentCarol;
}

}  // namespace

std::string CarolPath(const SaverState& state, int16_t carol) {
  return state.installFolder + "midi" + std::to_string(carol) + ".mid";
}

void MidiSounds(SaverState& state, TegoSnd& snd) {
  if (!state.musicOn) return;
  const int16_t carol = CurrentCarol(state);
  if (state.carolChecked[carol] == kSelected) {
    snd.playMidiFile(CarolPath(state, carol), kFromStart, kToEnd);
  }
  // Only an unselected carol moves the playlist on; this is why, at start-up,
  // carol 2 is not the first heard: the first clock tick steps on to 3
  // before it searches.
  if (state.carolChecked[carol] == kNotSelected) state.currentCarol = NextCarol(carol);
}

void MidiSoundsCheckedNext(SaverState& state) {
  // With nothing selected the search has gone round once and ends where it
  // began, and nothing plays. An entry that is neither 0 nor 1 (only a
  // hand-edited file holds one) ends the search on that carol, which then is
  // not played either; the next tick moves past it.
  for (int step = 0; step < kCarolCount; ++step) {
    const int16_t carol = CurrentCarol(state);
    if (state.carolChecked[carol] != kNotSelected) return;
    state.currentCarol = NextCarol(carol);
  }
}

void CarolTick(SaverState& state, TegoSnd& snd) {
  if (!state.musicOn) return;
  // A carol that ended, or one that could not start, reads as not playing;
  // either way the playlist moves on to the next selected carol.
  if (snd.isMidiPlaying()) return;
  state.currentCarol = NextCarol(CurrentCarol(state));
  MidiSoundsCheckedNext(state);
  MidiSounds(state, snd);
}

}  // namespace emberlrn
