#pragma once
// One whole frame of the scene, composed back to front on the drawing
// control's back buffer and then shown: flame, logs, andirons, the surround
// of the current style, stockings, bells, poinsettias, the calendar, the
// message, the notices and the feature tips. Nothing is loaded or moved here;
// the frame only chooses what to draw, from the state of the subsystems.

namespace emberlrn {

class Clock;
class TegoDDrw;
struct AnimationClocks;
struct Decorations;
struct Overlays;
struct SceneSprites;
struct StyleRotation;

// What a frame is drawn from.
struct FrameParts {
  const SceneSprites& sprites;
  const Decorations& decorations;
  const StyleRotation& rotation;
  Overlays& overlays;
  AnimationClocks& clocks;
};

void ComposeFrame(const FrameParts& parts, TegoDDrw& ddrw, const Clock& clock);

}  // namespace emberlrn
