#pragma once
// The power-management warning as the SDL saver window shows it: the real
// window and the warning's logic, made when the hand-over asks for them and
// fed the SDL events of that window. The saver window's host keeps one of
// these; its ShowPowerWarning calls Show, and its event dispatch offers every
// SDL event to HandleEvent first.
// It joins the warning's logic to its SDL window, so it lives with the
// wiring, above both.

#include <SDL.h>

#include <functional>
#include <memory>
#include <utility>

#include "input_exit/power_warning.h"
#include "platform/event_loop.h"
#include "platform/sdl/sdl_pm_window.h"

namespace emberlrn {

class System;

class SdlPowerWarningHost {
 public:
  SdlPowerWarningHost(System& system, EventLoop& loop) : system_(system), loop_(loop) {}
  SdlPowerWarningHost(const SdlPowerWarningHost&) = delete;
  SdlPowerWarningHost& operator=(const SdlPowerWarningHost&) = delete;

  // Loads and shows the warning, once; its clock ticks on the given loop.
  void Show(std::function<void()> whenClosed) {
    if (warning_) return;
    window_ = std::make_unique<SdlPmWindow>();
    warning_ = std::make_unique<PowerWarning>(*window_, system_, loop_, std::move(whenClosed));
    warning_->Load();
  }

  // True when the event was the warning's (and has been answered).
  bool HandleEvent(const SDL_Event& event) {
    return warning_ && window_->HandleEvent(event, *warning_);
  }

  bool Shown() const { return warning_ != nullptr; }
  const SdlPmWindow* Window() const { return window_.get(); }

 private:
  System& system_;
  EventLoop& loop_;
  std::unique_ptr<SdlPmWindow> window_;
  std::unique_ptr<PowerWarning> warning_;
};

}  // namespace emberlrn
