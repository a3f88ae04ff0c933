#pragma once
// The carol playlist: the selected carols, "midi1.mid" to "midi24.mid", one
// after another in numeric order, wrapping from 24 back to 1.

#include <cstdint>
#include <string>

#include "start/saver_state.h"

namespace emberlrn {

class TegoSnd;

// The file of carol n (1..24) in the install folder, e.g. "midi7.mid".
std::string CarolPath(const SaverState& state, int16_t carol);

// With music on, plays currentCarol when it is selected; when it is not
// selected, moves currentCarol on by one without playing anything.
void MidiSounds(SaverState& state, TegoSnd& snd);

// Moves currentCarol to the first selected carol at or after it, in the
// cyclic order 1..24. The search goes round at most once.
void MidiSoundsCheckedNext(SaverState& state);

// One tick of the carol clock: with music on and no carol playing, steps
// currentCarol on, finds the next selected carol and plays it.
void CarolTick(SaverState& state, TegoSnd& snd);

}  // namespace emberlrn
