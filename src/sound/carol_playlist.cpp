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
int16_t Kept(int16_t& currentCarol) {
  if (currentCarol < 1 || currentCarol > kCarolCount) currentCarol = 1;
  return currentCarol;
}

}  // namespace

std::string CarolPlaylist::CarolPath(int16_t carol) const {
  return installFolder + "midi" + std::to_string(carol) + ".mid";
}

void CarolPlaylist::MidiSounds() {
  if (!musicOn) return;
  const int16_t carol = Kept(currentCarol);
  if (carolChecked[carol] == kSelected) snd_.playMidiFile(CarolPath(carol), kFromStart, kToEnd);
  // Only an unselected carol moves the playlist on; this is why, at start-up,
  // carol 2 is not the first heard: the first clock tick steps on to 3
  // before it searches.
  if (carolChecked[carol] == kNotSelected) currentCarol = NextCarol(carol);
}

void CarolPlaylist::MidiSoundsCheckedNext() {
  // With nothing selected the search has gone round once and ends where it
  // began, and nothing plays. An entry that is neither 0 nor 1 ends the
  // search on that carol, which then is not played either; the next tick
  // moves past it.
  for (int step = 0; step < kCarolCount; ++step) {
    const int16_t carol = Kept(currentCarol);
    if (carolChecked[carol] != kNotSelected) return;
    currentCarol = NextCarol(carol);
  }
}

void CarolPlaylist::CarolTick() {
  if (!musicOn) return;
  // A carol that ended, or one that could not start, reads as not playing;
  // either way the playlist moves on to the next selected carol.
  if (snd_.isMidiPlaying()) return;
  currentCarol = NextCarol(Kept(currentCarol));
  MidiSoundsCheckedNext();
  MidiSounds();
}

void CarolPlaylist::Stop() { snd_.stopMidi(); }

}  // namespace emberlrn
