#pragma once
// The saver window as its logic and its platform see each other: the events
// the window itself raises, and what the close road asks of the window.

#include <cstdint>
#include <functional>

namespace emberlrn {

// The events of the saver window itself, the window that hosts the drawing
// control and covers the desktop.
class SaverWindowEvents {
 public:
  virtual ~SaverWindowEvents() = default;
  virtual void Form_KeyUp(int16_t keyCode) = 0;
  virtual void Form_LostFocus() = 0;
  // The window's picture must be made again (it was uncovered).
  virtual void Form_Paint() = 0;
  // The window system asks the window to close: its close button, or a
  // request to end the program.
  virtual void Form_QueryUnload() = 0;
};

// What the close road needs of the window that hosts the saver.
class SaverWindowHost {
 public:
  virtual ~SaverWindowHost() = default;
  // The saver window disappears from the screen; its clocks keep running.
  virtual void HideSaverWindow() = 0;
  // The saver window gives up its place above every other window and moves
  // to the top-left corner of the screen, keeping its size.
  virtual void DropTopMost() = 0;
  // Loads the power-management warning window and shows it on top of the
  // desktop; from then on its own events end the process. whenClosed runs if
  // the warning is closed without ending the program (by the window manager).
  virtual void ShowPowerWarning(std::function<void()> whenClosed) = 0;
};

}  // namespace emberlrn
