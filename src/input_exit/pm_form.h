#pragma once
// The power-management warning window (PM): a small window on top of the
// desktop that says the monitor is about to switch off, and ends the program
// on the first key, movement or click. Its logic lives here; the real window
// is a PmView of the platform layer.

#include <cstdint>
#include <functional>
#include <string_view>

namespace emberlrn {

class System;

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
  virtual void Show() = 0;
  // The window leaves the screen for good.
  virtual void Unload() = 0;
};

class PM {
 public:
  PM(PmView& view, System& system) : view_(view), system_(system) {}
  PM(const PM&) = delete;
  PM& operator=(const PM&) = delete;

  // The window loads: the system is told a saver runs again, the window goes
  // on top with its first texts, and the tick count starts at 0.
  void Form_Load();
  // A key that makes a character (not Shift, an arrow or a function key).
  void Form_KeyPress();
  // Any movement at all over the window ends it.
  void Form_MouseMove();
  // Any button.
  void Form_MouseUp();
  // Each second: from the 61st tick on the texts say that power management
  // was activated. The count stops at its largest value, so the window can
  // stay up for as long as the user leaves it.
  void Timer1_Timer();
  // The window manager closed the window: it unloads and whenClosed runs.
  void Form_Close(const std::function<void()>& whenClosed);

  int16_t TickCount() const { return tickCount_; }

 private:
  void EndProgram();

  PmView& view_;
  System& system_;
  int16_t tickCount_ = 0;
};

}  // namespace emberlrn
