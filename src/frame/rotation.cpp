#include "frame/rotation.h"

#include <algorithm>
#include <limits>

namespace emberlrn {
namespace {

constexpr int16_t kSecondsPerMinute = 60;
constexpr int kFirstStyleWithMantle = 3;

}  // namespace

void StyleRotation::Start() {
  for (int style = 1; style <= kStyleCount; ++style) {
    if (!showStyle[style]) continue;
    if (fireplaceIndex == 0) fireplaceIndex = static_cast<int16_t>(style);
    anyStyleShown = true;
  }
  if (!anyStyleShown) rotateOn = 0;
  RotateFP();
}

void StyleRotation::RotateFP() {
  const int16_t minutes = std::clamp<int16_t>(rotateTicks, 0, kMaxRotateMinutes);
  rotateTicks = static_cast<int16_t>(minutes * kSecondsPerMinute);
}

void StyleRotation::GatherFP() {
  int style = fireplaceIndex;
  if (style < 1 || style > kStyleCount) style = 1;
  for (int tries = 0; tries < kStyleCount; ++tries) {
    if (showStyle[style]) {
      fireplaceIndex = static_cast<int16_t>(style);
      return;
    }
    style = style == kStyleCount ? 1 : style + 1;
  }
}

void StyleRotation::RotationStep() {
  int next = fireplaceIndex + 1;
  if (next > kStyleCount || next < 1) next = 1;
  fireplaceIndex = static_cast<int16_t>(next);
  GatherFP();
}

void StyleRotation::Tick() {
  if (rotateOn != 1) return;
  rotateCount = rotateCount == std::numeric_limits<int16_t>::max()
                    ? 0
                    : static_cast<int16_t>(rotateCount + 1);
  // A period below one second is never reached, also after the count has
  // gone back to 0.
  if (rotateTicks >= 1 && rotateCount == rotateTicks) {
    RotationStep();
    rotateCount = 0;
  }
}

bool StyleRotation::MantleShown() const {
  const int k = fireplaceIndex;
  return k >= kFirstStyleWithMantle && k <= kStyleCount && showMantle[k - 2];
}

}  // namespace emberlrn
