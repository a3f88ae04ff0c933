#include "frame/compose_frame.h"

#include <string>

#include "frame/overlays.h"
#include "interfaces/tego_ddrw.h"
#include "settings/setting_rules.h"
#include "start/saver_state.h"

namespace emberlrn {
namespace {

void DrawSurround(const SaverState& state, TegoDDrw& ddrw) {
  if (state.rotateOn == 0) return;
  const int k = state.fireplaceIndex;
  if (k < 1 || k > kStyleCount) return;
  ddrw.DrawSprite(state.surroundRight[k]);
  ddrw.DrawSprite(state.surroundLeft[k]);
  ddrw.DrawSprite(state.surroundTop[k]);
  // Only the four stone styles have a separate mantle, each with its switch.
  if (k >= 3 && state.showMantle[k - 2] == 1) ddrw.DrawSprite(state.mantleSprite[k]);
}

}  // namespace

void ComposeFrame(SaverState& state, TegoDDrw& ddrw, const Clock& clock) {
  // The run clock counts from the first frame, not from the load.
  if (state.firstFrame) {
    state.runSeconds = 0;
    state.firstFrame = false;
  }
  ddrw.ClearBackBuffer(kBlack);
  if (ddrw.SpriteFrameDue(state.flameSprite)) ddrw.NextSpriteFrame(state.flameSprite);
  ddrw.DrawSprite(state.flameSprite);
  ddrw.DrawSprite(state.logsSprite);
  if (state.showAndirons == 1) {
    ddrw.DrawSprite(state.andironLSprite);
    ddrw.DrawSprite(state.andironRSprite);
  }
  DrawSurround(state, ddrw);
  const int32_t stockings[] = {state.stocking1Sprite, state.stocking2Sprite, state.stocking3Sprite,
                               state.stocking4Sprite};
  for (int i = 0; i < 4; ++i) {
    if (state.showStocking[i] == 1) ddrw.DrawSprite(stockings[i]);
  }
  if (DecorationShown(state.showBell[1])) ddrw.DrawSprite(state.bellrSprite);
  if (DecorationShown(state.showBell[2])) ddrw.DrawSprite(state.belllSprite);
  if (DecorationShown(state.showPoinsettia[1])) ddrw.DrawSprite(state.poinrSprite);
  if (DecorationShown(state.showPoinsettia[2])) ddrw.DrawSprite(state.poinlSprite);
  // The calendar stands in front of the decorations: the bells and the
  // poinsettias share its corners, and a calendar switched on must be read.
  if (state.showCalendar == 1) {
    ddrw.DrawSprite(state.calendarSprite);
    DrawCalendarTexts(state, ddrw, clock);
  }
  DrawUserMessage(state, ddrw);
  DrawNotices(state, ddrw);
  DrawFeatureTips(state, ddrw);
  ddrw.FlipBackBuffer();
}

}  // namespace emberlrn
