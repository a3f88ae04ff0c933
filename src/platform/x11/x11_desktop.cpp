#include "platform/x11/x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string>
#include <vector>

namespace emberlrn::x11 {
namespace {

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

std::string WindowTitle(Display* display, Window window) {
  const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", True);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", True);
  if (netWmName != None && utf8 != None) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
      std::string title(reinterpret_cast<char*>(data), count);
      XFree(data);
      if (!title.empty()) return title;
    }
  }
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    std::string title(name);
    XFree(name);
    return title;
  }
  return {};
}

// Window managers put client windows inside frames, so look two levels down.
bool Search(Display* display, Window window, std::string_view title, int depth) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
  std::unique_ptr<Window, int (*)(void*)> guard(children, XFree);
  for (unsigned int i = 0; i < count; ++i) {
    if (WindowTitle(display, children[i]) == title) return true;
    if (depth > 1 && Search(display, children[i], title, depth - 1)) return true;
  }
  return false;
}

}  // namespace

bool FindTopLevelWindow(std::string_view title) {
  DisplayPtr display(XOpenDisplay(nullptr));
  if (!display) return false;
  auto* previous = XSetErrorHandler(IgnoreXErrors);
  const bool found = Search(display.get(), DefaultRootWindow(display.get()), title, 2);
  XSync(display.get(), False);
  XSetErrorHandler(previous);
  return found;
}

std::optional<int> ServerScreenSaverTimeout() {
  DisplayPtr display(XOpenDisplay(nullptr));
  if (!display) return std::nullopt;
  int timeout = 0, interval = 0, blanking = 0, exposures = 0;
  XGetScreenSaver(display.get(), &timeout, &interval, &blanking, &exposures);
  if (timeout <= 0) return std::nullopt;
  return timeout;
}

void WithdrawWindow(void* display, unsigned long window) {
  if (display == nullptr || window == 0) return;
  auto* connection = static_cast<Display*>(display);
  XWithdrawWindow(connection, window, DefaultScreen(connection));
}

void MarkFullScreen(void* display, unsigned long window) {
  if (display == nullptr || window == 0) return;
  auto* connection = static_cast<Display*>(display);
  const Atom state = XInternAtom(connection, "_NET_WM_STATE", False);
  const Atom fullScreen = XInternAtom(connection, "_NET_WM_STATE_FULLSCREEN", False);
  std::vector<Atom> states{fullScreen};
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(connection, window, state, 0, 64, False, XA_ATOM, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr) {
    if (type == XA_ATOM && format == 32) {
      const auto* atoms = reinterpret_cast<const Atom*>(data);
      for (unsigned long i = 0; i < count; ++i) {
        if (atoms[i] != fullScreen) states.push_back(atoms[i]);
      }
    }
    XFree(data);
  }
  XChangeProperty(connection, window, state, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(states.data()), static_cast<int>(states.size()));
  XFlush(connection);
}

}  // namespace emberlrn::x11
