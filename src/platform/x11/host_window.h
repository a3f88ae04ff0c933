#pragma once
// Watching a window that another program gave us to draw into (xscreensaver's
// window, a preview pane): whether it still exists and how big it is. Uses a
// connection of its own, so it can ask even while the drawing fails.

#include <cstdint>
#include <memory>

namespace emberlrn::x11 {

class HostWindow {
 public:
  // window 0 means the root window of the default screen.
  explicit HostWindow(uint32_t window);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // False when there is no display or the window is gone.
  bool Exists();
  // The window's size now, asked of the server; false when it is gone.
  bool Size(int& width, int& height);
  // The window's size as the server last told of it, from the events it
  // sends about the window: no question is asked, so watching it often costs
  // the server nothing. False once it is gone.
  bool Watch(int& width, int& height);
  // True when the window is a pane inside another program's window (a
  // settings program's preview) rather than a screen of its own: it is not
  // a child of the root window, or it is smaller than half the screen both
  // ways. A missing window is no pane.
  bool IsPane();
  // The window id (the root window's when 0 was given); 0 without a display.
  uint32_t Id() const { return window_; }

 private:
  struct Connection;
  std::unique_ptr<Connection> connection_;
  uint32_t window_ = 0;
  bool watching_ = false;
  bool gone_ = false;
  int width_ = 0;
  int height_ = 0;
};

// From now on an X error about a window or drawable that went away is not
// fatal: it is noted (see DrawableLost) and the program goes on, so a hosted
// saver can notice its window is gone and end quietly. Other X errors print
// one line and are otherwise ignored.
void InstallLenientErrorHandler();
bool DrawableLost();

// A display that goes away (its server ended or the connection broke) ends
// the program at once, with a line naming the display, instead of Xlib's own
// message; nothing is drawn or flushed to a dead connection on the way out.
void InstallDisplayLostHandler();

}  // namespace emberlrn::x11
