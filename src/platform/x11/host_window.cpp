#include "platform/x11/host_window.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <string>

namespace emberlrn::x11 {
namespace {

std::atomic<bool> gDrawableLost{false};
std::atomic<bool> gWatchError{false};

int LenientErrorHandler(Display* display, XErrorEvent* event) {
  if (event->error_code == BadWindow || event->error_code == BadDrawable ||
      event->error_code == BadMatch) {
    gDrawableLost = true;
    return 0;
  }
  char text[256] = {};
  XGetErrorText(display, event->error_code, text, sizeof text);
  std::cerr << "emberlrn: X error: " << text << '\n';
  return 0;
}

int WatchErrorHandler(Display*, XErrorEvent*) {
  gWatchError = true;
  return 0;
}

}  // namespace

struct HostWindow::Connection {
  Display* display = nullptr;
  ~Connection() {
    if (display) XCloseDisplay(display);
  }
};

HostWindow::HostWindow(uint32_t window) : connection_(std::make_unique<Connection>()) {
  connection_->display = XOpenDisplay(nullptr);
  if (!connection_->display) return;
  window_ = window != 0 ? window : static_cast<uint32_t>(DefaultRootWindow(connection_->display));
}

HostWindow::~HostWindow() = default;

bool HostWindow::Size(int& width, int& height) {
  Display* display = connection_->display;
  if (!display || window_ == 0) return false;
  // Our own handler for this question only: a missing window is an answer here.
  auto* previous = XSetErrorHandler(WatchErrorHandler);
  gWatchError = false;
  XWindowAttributes attributes{};
  const Status ok = XGetWindowAttributes(display, window_, &attributes);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!ok || gWatchError) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

bool HostWindow::Watch(int& width, int& height) {
  Display* display = connection_->display;
  if (!display || window_ == 0 || gone_) return false;
  if (!watching_) {
    // Told from now on of each change of its size and of its end; the size
    // it has at this moment is asked once.
    auto* previous = XSetErrorHandler(WatchErrorHandler);
    gWatchError = false;
    XSelectInput(display, window_, StructureNotifyMask);
    XSetErrorHandler(previous);
    if (!Size(width_, height_)) {
      gone_ = true;
      return false;
    }
    watching_ = true;
  }
  // Only what has already come in is read.
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ConfigureNotify && event.xconfigure.window == window_) {
      width_ = event.xconfigure.width;
      height_ = event.xconfigure.height;
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
      gone_ = true;
    }
  }
  if (gone_) return false;
  width = width_;
  height = height_;
  return true;
}

bool HostWindow::IsPane() {
  Display* display = connection_->display;
  int width = 0, height = 0;
  if (!Size(width, height)) return false;
  const Window root = DefaultRootWindow(display);
  if (window_ == root) return false;
  auto* previous = XSetErrorHandler(WatchErrorHandler);
  gWatchError = false;
  Window treeRoot = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  const Status ok = XQueryTree(display, window_, &treeRoot, &parent, &children, &count);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (children) XFree(children);
  if (!ok || gWatchError) return false;
  if (parent != root) return true;
  const int screenWidth = DisplayWidth(display, DefaultScreen(display));
  const int screenHeight = DisplayHeight(display, DefaultScreen(display));
  return width * 2 < screenWidth && height * 2 < screenHeight;
}

bool HostWindow::Exists() {
  int width = 0, height = 0;
  return Size(width, height);
}

void InstallLenientErrorHandler() { XSetErrorHandler(LenientErrorHandler); }

namespace {

// The exit status of a run whose display went away.
constexpr int kDisplayLostStatus = 1;

int DisplayLostHandler(Display* display) {
  const char* name = display ? DisplayString(display) : "";
  const std::string line =
      std::string("emberlrn: the display ") + name + " went away; the saver ends\n";
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
  ::_exit(kDisplayLostStatus);
}

}  // namespace

void InstallDisplayLostHandler() { XSetIOErrorHandler(DisplayLostHandler); }

bool DrawableLost() { return gDrawableLost; }

}  // namespace emberlrn::x11
