#pragma once
// Input from SDL for the event loop, and the saver window's share of it:
// keys, buttons and pointer movement become the drawing control's events,
// the window's own happenings (uncovered, focus lost, asked to close) the
// window's events.

#include <SDL.h>

#include <vector>

#include "interfaces/saver_window.h"
#include "interfaces/tego_ddrw.h"
#include "platform/event_loop.h"
#include "platform/motion_filter.h"

namespace emberlrn {

class SdlTegoDDrw;

// Something that answers some of SDL's events.
class SdlEventHandler {
 public:
  virtual ~SdlEventHandler() = default;
  // True when the event was this handler's and has been answered.
  virtual bool HandleEvent(const SDL_Event& event) = 0;
};

class SdlInputSource final : public InputSource {
 public:
  // Every event is offered to the handlers in the order they were added,
  // until one takes it.
  void AddHandler(SdlEventHandler* handler) { handlers_.push_back(handler); }

  void WaitForInput(int64_t timeoutMs) override;
  bool DispatchInput() override;

 private:
  std::vector<SdlEventHandler*> handlers_;
};

class SdlSaverWindowInput final : public SdlEventHandler {
 public:
  SdlSaverWindowInput(SdlTegoDDrw& ddrw, TegoDDrwEvents& control, SaverWindowEvents& window)
      : ddrw_(ddrw), control_(control), window_(window) {}

  bool HandleEvent(const SDL_Event& event) override;

 private:
  bool OwnWindow(Uint32 windowId) const;
  void WindowEvent(const SDL_WindowEvent& event);
  void OtherMonitorEvent(const SDL_WindowEvent& event);
  // The focus left a window of the saver's: ends the run unless it went to another of them.
  void FocusLeft();

  SdlTegoDDrw& ddrw_;
  TegoDDrwEvents& control_;
  SaverWindowEvents& window_;
  // Tells the user's movements from those the window system reports itself.
  MotionFilter motion_;
  bool hadFocus_ = false;
};

// Where the pointer is on the screen.
PointerPosition GlobalPointer();

}  // namespace emberlrn
