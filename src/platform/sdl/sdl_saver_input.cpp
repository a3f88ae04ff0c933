#include "platform/sdl/sdl_saver_input.h"

#include <algorithm>
#include <climits>

#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_pm_window.h"
#include "platform/sdl/sdl_tego_ddrw.h"

namespace emberlrn {

PointerPosition GlobalPointer() { return ScreenPointer(SDL_GetMouseFocus()); }

void SdlInputSource::WaitForInput(int64_t timeoutMs) {
  // Returns as soon as an event arrives; the event stays queued for DispatchInput.
  SDL_WaitEventTimeout(nullptr, static_cast<int>(std::clamp<int64_t>(timeoutMs, 0, INT_MAX)));
}

bool SdlInputSource::DispatchInput() {
  bool any = false;
  SDL_Event event;
  while (SDL_PollEvent(&event) == 1) {
    any = true;
    for (SdlEventHandler* handler : handlers_) {
      if (handler->HandleEvent(event)) break;
    }
  }
  return any;
}

bool SdlSaverWindowInput::OwnWindow(Uint32 windowId) const { return ddrw_.OwnsWindow(windowId); }

bool SdlSaverWindowInput::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      window_.Form_QueryUnload();
      return true;
    case SDL_KEYDOWN:
      if (!OwnWindow(event.key.windowID)) return false;
      // A key held down counts once.
      if (event.key.repeat == 0) control_.KeyDown(VirtualKeyCode(event.key.keysym));
      return true;
    case SDL_KEYUP:
      if (!OwnWindow(event.key.windowID)) return false;
      window_.Form_KeyUp(VirtualKeyCode(event.key.keysym));
      return true;
    case SDL_MOUSEBUTTONDOWN:
      if (!OwnWindow(event.button.windowID)) return false;
      control_.MouseDown();
      return true;
    case SDL_MOUSEMOTION:
      if (!OwnWindow(event.motion.windowID)) return false;
      // Each event's own position, in pixels of the canvas: movements handled
      // together each keep theirs, where asking for the pointer now would
      // give all of them the last one.
      if (motion_.IsUsersMove({event.motion.x, event.motion.y})) control_.MouseMove();
      return true;
    case SDL_WINDOWEVENT:
      if (!OwnWindow(event.window.windowID)) return false;
      if (ddrw_.Window() != nullptr && SDL_GetWindowID(ddrw_.Window()) == event.window.windowID) {
        WindowEvent(event.window);
      } else {
        OtherMonitorEvent(event.window);
      }
      return true;
    case SDL_DISPLAYEVENT:
      // A monitor that came or went: the windows follow the monitors there are.
      if (event.display.event == SDL_DISPLAYEVENT_CONNECTED ||
          event.display.event == SDL_DISPLAYEVENT_DISCONNECTED) {
        ddrw_.MonitorsChanged();
      }
      return true;
    default:
      return false;
  }
}

void SdlSaverWindowInput::OtherMonitorEvent(const SDL_WindowEvent& event) {
  // Mapping is the saver's own window's business; another monitor's window
  // needs drawing again, shares the saver's focus, or ends the run when closed.
  if (event.event == SDL_WINDOWEVENT_EXPOSED || event.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
    ddrw_.Invalidate();
    window_.Form_Paint();
  } else if (event.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
    hadFocus_ = true;
  } else if (event.event == SDL_WINDOWEVENT_FOCUS_LOST) {
    FocusLeft();
  } else if (event.event == SDL_WINDOWEVENT_CLOSE) {
    window_.Form_QueryUnload();
  }
}

void SdlSaverWindowInput::FocusLeft() {
  // Only a focus the saver had can be lost to another program; passing from
  // one of its monitors' windows to another is no loss.
  if (!hadFocus_) return;
  SDL_Window* focus = SDL_GetKeyboardFocus();
  if (focus != nullptr && OwnWindow(SDL_GetWindowID(focus))) return;
  window_.Form_LostFocus();
  control_.Deactivated();
}

void SdlSaverWindowInput::WindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_SHOWN:
      motion_.WindowShown(ddrw_.CanvasPosition(ScreenPointer(ddrw_.Window())));
      break;
    case SDL_WINDOWEVENT_HIDDEN:
      motion_.WindowHidden();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    // A window of a new size gets new pixels, which SDL may make at the very
    // address of the old ones: nothing tells them apart but this event.
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      ddrw_.Invalidate();
      window_.Form_Paint();
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      hadFocus_ = true;
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      FocusLeft();
      break;
    case SDL_WINDOWEVENT_CLOSE:
      window_.Form_QueryUnload();
      break;
    default:
      break;
  }
}

}  // namespace emberlrn
