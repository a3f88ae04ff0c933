#pragma once
// One whole frame of the scene, composed back to front on the drawing
// control's back buffer and then shown: flame, logs, andirons, the surround
// of the current style, stockings, bells, poinsettias, the calendar, the
// message, the notices and the feature tips; with the living fire, also the
// room's walls, sparks, firelight and the room dimming toward its edges.
// Nothing is loaded here; the frame only chooses what to draw, from the
// state of the subsystems.

namespace emberlrn {

class Clock;
class TegoDDrw;
struct AnimationClocks;
struct Decorations;
struct Overlays;
struct SceneSprites;
struct LivingFire;
struct StyleRotation;

// What a frame is drawn from.
struct FrameParts {
  const SceneSprites& sprites;
  const Decorations& decorations;
  const StyleRotation& rotation;
  Overlays& overlays;
  AnimationClocks& clocks;
  // The living fire's state; without it, or with its switches off, the
  // frame is the classic one.
  LivingFire* living = nullptr;
};

void ComposeFrame(const FrameParts& parts, TegoDDrw& ddrw, const Clock& clock);

}  // namespace emberlrn
