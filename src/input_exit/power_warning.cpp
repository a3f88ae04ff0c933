#include "input_exit/power_warning.h"

#include <utility>

namespace emberlrn {

PowerWarning::PowerWarning(PmView& view, System& system, EventLoop& loop,
                           std::function<void()> whenClosed)
    : view_(view), loop_(loop), pm_(view, system), whenClosed_(std::move(whenClosed)) {}

PowerWarning::~PowerWarning() {
  if (timer1_) loop_.SetTimerEnabled(*timer1_, false);
}

void PowerWarning::Load() {
  pm_.Form_Load();
  // Where the pointer stands as the window appears; the motion event the
  // window system sends on showing it reports just that, and is no movement.
  pointer_.WindowShown(view_.PointerNow());
  timer1_ = loop_.AddTimer(kPmTimerIntervalMs, [this] { Tick(); });
}

void PowerWarning::KeyTyped() { pm_.Form_KeyPress(); }

void PowerWarning::PointerMoved(PointerPosition where) {
  if (pointer_.IsUsersMove(where)) pm_.Form_MouseMove();
}

void PowerWarning::ButtonReleased() { pm_.Form_MouseUp(); }

void PowerWarning::CloseRequested() {
  if (timer1_) loop_.SetTimerEnabled(*timer1_, false);
  pointer_.WindowHidden();
  pm_.Form_Close(whenClosed_);
}

void PowerWarning::Tick() {
  // The window hears of the pointer only while it is over the window; once
  // a second the pointer is looked for wherever it is.
  if (const std::optional<PointerPosition> where = view_.PointerNow()) PointerMoved(*where);
  pm_.Timer1_Timer();
}

}  // namespace emberlrn
