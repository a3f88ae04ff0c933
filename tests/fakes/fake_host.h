#pragma once
// The saver window's host for tests: records the hand-over's steps and keeps
// what runs when the warning is closed without ending the program.

#include <functional>
#include <utility>

#include "fakes/call_record.h"
#include "interfaces/saver_window.h"

namespace emberlrn {

class FakeSaverWindowHost final : public SaverWindowHost, public CallRecord {
 public:
  void HideSaverWindow() override { Record("HideSaverWindow"); }
  void DropTopMost() override { Record("DropTopMost"); }
  void ShowPowerWarning(std::function<void()> closed) override {
    Record("ShowPowerWarning");
    ++warningsShown;
    whenClosed = std::move(closed);
  }

  int warningsShown = 0;
  std::function<void()> whenClosed;
};

}  // namespace emberlrn
