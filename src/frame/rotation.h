#pragma once
// The rotation through the enabled fireplace styles: the period in seconds,
// and the search for the next enabled style.

#include <cstdint>

namespace emberlrn {

struct SaverState;

// The longest period in minutes whose seconds fit the 16-bit count.
inline constexpr int16_t kMaxRotateMinutes = 546;

// rotateTicks: minutes become seconds. A stored period above 546 minutes
// counts as 546 (32760 seconds); one below 0 as 0, which never rotates.
void RotateFP(SaverState& state);

// Moves fireplaceIndex to the first enabled style (showStyle = 1) at or
// after it, cyclically 1..6. The search goes round once at most: with no
// style enabled fireplaceIndex stays as it was.
void GatherFP(SaverState& state);

// One period has passed: the next style, 6 wrapping to 1, then the search.
void RotationStep(SaverState& state);

}  // namespace emberlrn
