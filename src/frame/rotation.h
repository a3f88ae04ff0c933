#pragma once
// The rotation through the enabled fireplace styles (the rotation clock,
// Timer1): which styles and mantles are shown, the period in seconds, the
// count towards it and the style on screen now.

#include <array>
#include <cstdint>

namespace emberlrn {

inline constexpr int kStyleCount = 6;

// The longest period in minutes whose seconds fit the 16-bit count.
inline constexpr int16_t kMaxRotateMinutes = 546;

struct StyleRotation {
  std::array<bool, kStyleCount + 1> showStyle{};  // 1..6
  std::array<bool, 5> showMantle{};               // 1..4: the mantle of style k + 2
  // As stored: the surround is drawn unless it is 0, and the styles take
  // turns only when it is 1.
  int16_t rotateOn = 0;
  int16_t rotateTicks = 0;  // minutes as read, seconds after RotateFP
  int16_t rotateCount = 0;
  int16_t fireplaceIndex = 0;
  bool anyStyleShown = false;

  // The start-up: the first enabled style goes on screen; with none enabled
  // the rotation is switched off and the search never starts. Then RotateFP.
  void Start();

  // rotateTicks: minutes become seconds. A stored period above 546 minutes
  // counts as 546 (32760 seconds); one below 0 as 0, which never rotates.
  void RotateFP();

  // Moves fireplaceIndex to the first enabled style at or after it,
  // cyclically 1..6. The search goes round once at most: with no style
  // enabled fireplaceIndex stays as it was.
  void GatherFP();

  // One period has passed: the next style, 6 wrapping to 1, then the search.
  void RotationStep();

  // One tick of the rotation clock. While rotateOn: counts, and every
  // rotateTicks seconds steps to the next enabled style. The count goes back
  // to 0 rather than pass 32767, so a period that can never be reached (0 or
  // less) runs for ever without harm.
  void Tick();

  // The mantle of the style on screen is to be drawn (only the four stone
  // styles have one, each with its switch).
  bool MantleShown() const;
};

}  // namespace emberlrn
