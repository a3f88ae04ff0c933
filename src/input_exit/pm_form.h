#pragma once
// The power-management warning window (PM): a small window on top of the
// desktop that says the monitor is about to switch off, and ends the program
// on the first key, movement or click. Its logic lives here; the real window
// is a PmView of the platform layer.

#include <cstdint>
#include <functional>

#include "interfaces/pm_view.h"

namespace emberlrn {

class System;

class PM {
 public:
  PM(PmView& view, System& system) : view_(view), system_(system) {}
  PM(const PM&) = delete;
  PM& operator=(const PM&) = delete;

  // The window loads: the system is told a saver runs again, the window goes
  // on top with its first texts, and the tick count starts at 0. A window
  // that cannot be shown ends the program, since nothing would be left to
  // end it.
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
