#include "input_exit/pm_form.h"

#include <limits>

#include "interfaces/system.h"

namespace emberlrn {

void PM::Form_Load() {
  system_.SetScreenSaverRunning(true);
  view_.SetLabel1Text(kPmLabel1First);
  view_.SetLabel2Text(kPmLabel2First);
  view_.SetTopMost(true);
  tickCount_ = 0;
  if (!view_.Show()) EndProgram();
}

void PM::Form_KeyPress() { EndProgram(); }

void PM::Form_MouseMove() { EndProgram(); }

void PM::Form_MouseUp() { EndProgram(); }

void PM::Timer1_Timer() {
  if (tickCount_ < std::numeric_limits<int16_t>::max()) ++tickCount_;
  if (tickCount_ > kPmTicksBeforeActivated) {
    view_.SetLabel1Text(kPmLabel1Later);
    view_.SetLabel2Text(kPmLabel2Later);
  }
}

void PM::Form_Close(const std::function<void()>& whenClosed) {
  view_.Unload();
  if (whenClosed) whenClosed();
}

void PM::EndProgram() {
  system_.SetScreenSaverRunning(false);
  view_.Unload();
  system_.EndProcess();
}

}  // namespace emberlrn
