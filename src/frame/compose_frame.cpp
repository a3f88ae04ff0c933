#include "frame/compose_frame.h"

#include "frame/clocks.h"
#include "frame/living_fire.h"
#include "interfaces/clock.h"
#include "frame/overlays.h"
#include "frame/rotation.h"
#include "interfaces/tego_ddrw.h"
#include "scene/scene_catalogue.h"
#include "scene/scene_layout.h"

namespace emberlrn {
namespace {

void DrawSurround(const StyleRotation& rotation, const SceneSprites& sprites, TegoDDrw& ddrw) {
  if (rotation.rotateOn == 0) return;
  const int k = rotation.fireplaceIndex;
  if (k < 1 || k > kStyleCount) return;
  ddrw.DrawSprite(sprites.surroundRight[k]);
  ddrw.DrawSprite(sprites.surroundLeft[k]);
  ddrw.DrawSprite(sprites.surroundTop[k]);
  if (rotation.MantleShown()) ddrw.DrawSprite(sprites.mantleSprite[k]);
}

// The style on screen, or 0 when no surround is drawn.
int StyleShown(const StyleRotation& rotation) {
  const int k = rotation.fireplaceIndex;
  return rotation.rotateOn != 0 && k >= 1 && k <= kStyleCount ? k : 0;
}

// The flame steps on when its time has come: round after round, or, for a
// living flame, along a walk that never plays a run of frames twice. The
// firelight follows the flame's picture.
void StepFlame(const FrameParts& parts, TegoDDrw& ddrw, const Clock& clock) {
  const int32_t flame = parts.sprites.flameSprite;
  LivingFire* living = parts.living;
  if (living == nullptr) {
    if (ddrw.SpriteFrameDue(flame)) ddrw.NextSpriteFrame(flame);
    return;
  }
  if (ddrw.SpriteFrameDue(flame)) {
    if (parts.decorations.livingFlame) {
      living->flameFrame = living->walk.Next();
      ddrw.SetSpriteFrame(flame, living->flameFrame);
    } else {
      ddrw.NextSpriteFrame(flame);
      living->flameFrame = living->flameFrame % living->flameFrames + 1;
    }
  }
  if (parts.decorations.firelight) {
    living->light.Step(clock.MonotonicMs(), ddrw.FrameBrightness(flame, living->flameFrame));
  }
}

// The room's walls beside the scene, when the canvas reaches there.
void DrawWalls(const FrameParts& parts, int style, TegoDDrw& ddrw) {
  if (!parts.decorations.fillWide || style == 0 || ddrw.CanvasMargin() <= 0) return;
  ddrw.DrawSprite(parts.sprites.wallLeft[style]);
  ddrw.DrawSprite(parts.sprites.wallRight[style]);
}

// The room dims toward the canvas's edges, wherever the window puts them.
void DrawShades(const FrameParts& parts, TegoDDrw& ddrw) {
  if (!parts.decorations.firelight) return;
  const int margin = ddrw.CanvasMargin();
  ddrw.SetSpriteX(parts.sprites.shadeLSprite, -margin);
  ddrw.SetSpriteX(parts.sprites.shadeRSprite, kSceneWidth + margin - kShadeWidth);
  ddrw.DrawSprite(parts.sprites.shadeLSprite);
  ddrw.DrawSprite(parts.sprites.shadeRSprite);
}

}  // namespace

void ComposeFrame(const FrameParts& parts, TegoDDrw& ddrw, const Clock& clock) {
  const SceneSprites& sprites = parts.sprites;
  const Decorations& decorations = parts.decorations;
  LivingFire* living = parts.living;
  const int style = StyleShown(parts.rotation);
  parts.clocks.FrameShown();
  ddrw.ClearBackBuffer(kBlack);
  if (living != nullptr) DrawWalls(parts, style, ddrw);
  StepFlame(parts, ddrw, clock);
  ddrw.DrawSprite(sprites.flameSprite);
  ddrw.DrawSprite(sprites.logsSprite);
  // Sparks rise in front of the flame and the logs, behind the andirons
  // and the surround.
  if (living != nullptr && decorations.embers) {
    living->embers.Step(clock.MonotonicMs());
    living->embers.Draw(ddrw);
    ddrw.WantFrameBy(living->embers.NextStepMs());
  }
  if (decorations.showAndirons) {
    ddrw.DrawSprite(sprites.andironLSprite);
    ddrw.DrawSprite(sprites.andironRSprite);
  }
  DrawSurround(parts.rotation, sprites, ddrw);
  // The fire lights the hearth, the logs, the andirons and the surround,
  // but not the decorations hung in front.
  if (living != nullptr && decorations.firelight) {
    const int32_t light = sprites.lightSprite[style == 0 ? 1 : style];
    ddrw.SetSpriteLevel(light, living->light.Level());
    ddrw.DrawSprite(light);
  }
  for (int i = 0; i < 4; ++i) {
    if (decorations.showStocking[i]) ddrw.DrawSprite(sprites.stockingSprite[i]);
  }
  if (decorations.showBell[1]) ddrw.DrawSprite(sprites.bellrSprite);
  if (decorations.showBell[2]) ddrw.DrawSprite(sprites.belllSprite);
  if (decorations.showPoinsettia[1]) ddrw.DrawSprite(sprites.poinrSprite);
  if (decorations.showPoinsettia[2]) ddrw.DrawSprite(sprites.poinlSprite);
  if (living != nullptr) DrawShades(parts, ddrw);
  // The calendar stands in front of the decorations: the bells and the
  // poinsettias share its corners, and a calendar switched on must be read.
  if (parts.overlays.showCalendar) {
    ddrw.DrawSprite(sprites.calendarSprite);
    parts.overlays.DrawCalendarTexts(ddrw, clock);
  }
  parts.overlays.DrawUserMessage(ddrw);
  parts.overlays.DrawNotices(parts.clocks, sprites, ddrw);
  Overlays::DrawFeatureTips(parts.clocks, ddrw);
  ddrw.FlipBackBuffer();
}

}  // namespace emberlrn
