#include "frame/rotation.h"

#include <algorithm>

#include "start/saver_state.h"

namespace emberlrn {
namespace {

constexpr int16_t kSecondsPerMinute = 60;

bool StyleEnabled(const SaverState& state, int style) {
  return style >= 1 && style <= kStyleCount && state.showStyle[style] == 1;
}

}  // namespace

void RotateFP(SaverState& state) {
  const int16_t minutes = std::clamp<int16_t>(state.rotateTicks, 0, kMaxRotateMinutes);
  state.rotateTicks = static_cast<int16_t>(minutes * kSecondsPerMinute);
}

void GatherFP(SaverState& state) {
  int style = state.fireplaceIndex;
  if (style < 1 || style > kStyleCount) style = 1;
  for (int tries = 0; tries < kStyleCount; ++tries) {
    if (StyleEnabled(state, style)) {
      state.fireplaceIndex = static_cast<int16_t>(style);
      return;
    }
    style = style == kStyleCount ? 1 : style + 1;
  }
}

void RotationStep(SaverState& state) {
  int next = state.fireplaceIndex + 1;
  if (next > kStyleCount || next < 1) next = 1;
  state.fireplaceIndex = static_cast<int16_t>(next);
  GatherFP(state);
}

}  // namespace emberlrn
