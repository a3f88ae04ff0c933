#pragma once
// One whole frame of the scene, composed back to front on the drawing
// control's back buffer and then shown: flame, logs, andirons, the surround
// of the current style, stockings, bells, poinsettias, the calendar, the
// message, the notices and the feature tips. Nothing is loaded or moved here;
// the frame only chooses what to draw.

namespace emberlrn {

class Clock;
class TegoDDrw;
struct SaverState;

void ComposeFrame(SaverState& state, TegoDDrw& ddrw, const Clock& clock);

}  // namespace emberlrn
