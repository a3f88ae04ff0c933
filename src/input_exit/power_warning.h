#pragma once
// The power-management warning at work: its logic (PM), its real window, its
// one-second clock on the saver's event loop, and the pointer watched all
// over the screen, so that "move the mouse" means any movement, not only one
// over the small window.

#include <functional>
#include <optional>

#include "platform/motion_filter.h"
#include "input_exit/pm_form.h"
#include "interfaces/pm_view.h"
#include "platform/event_loop.h"

namespace emberlrn {

class System;

class PowerWarning final : public PmInput {
 public:
  // whenClosed runs if the window manager closes the warning; the saver's
  // ordinary close follows then.
  PowerWarning(PmView& view, System& system, EventLoop& loop, std::function<void()> whenClosed);
  PowerWarning(const PowerWarning&) = delete;
  PowerWarning& operator=(const PowerWarning&) = delete;
  ~PowerWarning() override;

  // Loads the window, shows it and starts its clock.
  void Load();

  void KeyTyped() override;
  void PointerMoved(PointerPosition where) override;
  void ButtonReleased() override;
  void CloseRequested() override;

  const PM& Form() const { return pm_; }

 private:
  void Tick();

  PmView& view_;
  EventLoop& loop_;
  PM pm_;
  MotionFilter pointer_;
  std::optional<EventLoop::TimerId> timer1_;
  std::function<void()> whenClosed_;
};

}  // namespace emberlrn
