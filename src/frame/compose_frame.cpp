#include "frame/compose_frame.h"

#include "frame/clocks.h"
#include "frame/overlays.h"
#include "frame/rotation.h"
#include "interfaces/tego_ddrw.h"
#include "scene/scene_catalogue.h"

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

}  // namespace

void ComposeFrame(const FrameParts& parts, TegoDDrw& ddrw, const Clock& clock) {
  const SceneSprites& sprites = parts.sprites;
  const Decorations& decorations = parts.decorations;
  parts.clocks.FrameShown();
  ddrw.ClearBackBuffer(kBlack);
  if (ddrw.SpriteFrameDue(sprites.flameSprite)) ddrw.NextSpriteFrame(sprites.flameSprite);
  ddrw.DrawSprite(sprites.flameSprite);
  ddrw.DrawSprite(sprites.logsSprite);
  if (decorations.showAndirons) {
    ddrw.DrawSprite(sprites.andironLSprite);
    ddrw.DrawSprite(sprites.andironRSprite);
  }
  DrawSurround(parts.rotation, sprites, ddrw);
  for (int i = 0; i < 4; ++i) {
    if (decorations.showStocking[i]) ddrw.DrawSprite(sprites.stockingSprite[i]);
  }
  if (decorations.showBell[1]) ddrw.DrawSprite(sprites.bellrSprite);
  if (decorations.showBell[2]) ddrw.DrawSprite(sprites.belllSprite);
  if (decorations.showPoinsettia[1]) ddrw.DrawSprite(sprites.poinrSprite);
  if (decorations.showPoinsettia[2]) ddrw.DrawSprite(sprites.poinlSprite);
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
