#pragma once
// The power-management warning window as the platform layer sees it: how it
// looks, what its logic asks of a real window, and what the real window
// reports back.

#include <cstdint>
#include <optional>
#include <string_view>

#include "interfaces/types.h"

namespace emberlrn {

// How the warning window looks: a 312 x 213 client area at 96 dots per inch,
// centred on the screen, with two labels.
struct PmLabelLayout {
  int x, y, width, height;
  double points;  // font size at 96 dots per inch
  bool bold;
};

inline constexpr std::string_view kPmCaption = "Power Management";
inline constexpr int kPmClientWidth = 312;
inline constexpr int kPmClientHeight = 213;
// Both labels use the classic dialog face; a sans face stands in for it.
inline constexpr std::string_view kPmFontFace = "MS Sans Serif";
inline constexpr PmLabelLayout kPmLabel1{16, 8, 273, 65, 18.0, true};
inline constexpr PmLabelLayout kPmLabel2{16, 80, 281, 89, 13.5, false};

inline constexpr std::string_view kPmLabel1First = "Power Management is set to come on shortly.";
inline constexpr std::string_view kPmLabel2First =
    "If you would like to stop this from happening please press a key or move the mouse.";
inline constexpr std::string_view kPmLabel1Later = "Power Management was activated";
inline constexpr std::string_view kPmLabel2Later =
    "Simply move the mouse or hit a key to return to your work";

// Interval of the window's Timer1, and the ticks after which the texts change.
inline constexpr int kPmTimerIntervalMs = 1000;
inline constexpr int16_t kPmTicksBeforeActivated = 60;

// What the warning's logic needs of a real window.
class PmView {
 public:
  virtual ~PmView() = default;
  virtual void SetLabel1Text(std::string_view text) = 0;
  virtual void SetLabel2Text(std::string_view text) = 0;
  // Above every other window, or an ordinary one again.
  virtual void SetTopMost(bool topMost) = 0;
  // Puts the window on the screen, centred, with the keyboard focus. False
  // when it cannot be shown (the reason is told on standard error).
  virtual bool Show() = 0;
  // The window leaves the screen for good.
  virtual void Unload() = 0;
  // Where the pointer is on the screen, wherever it is; nothing when that
  // cannot be told.
  virtual std::optional<PointerPosition> PointerNow() const = 0;
};

// What the real window reports of the user, in the warning's own terms.
class PmInput {
 public:
  virtual ~PmInput() = default;
  // A key that makes a character (not Shift, an arrow or a function key).
  virtual void KeyTyped() = 0;
  // A motion event with the pointer at that place on the screen; the
  // window system's own motion events are told from the user's here.
  virtual void PointerMoved(PointerPosition where) = 0;
  virtual void ButtonReleased() = 0;
  // The window manager asks the window to close.
  virtual void CloseRequested() = 0;
};

}  // namespace emberlrn
