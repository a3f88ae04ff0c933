#include "platform/x11/preview_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <vector>

#include "platform/x11/display_name.h"

namespace emberlrn::x11 {
namespace {

bool gBadWindow = false;

int NoteXError(Display*, XErrorEvent* event) {
  if (event->error_code == BadWindow || event->error_code == BadDrawable) gBadWindow = true;
  return 0;
}

int QuitOnLostConnection(Display*) { std::_Exit(0); }

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

// Bilinear scaling of the still into the window, its shape kept, with black
// bars beside it when the window's shape differs.
std::vector<uint32_t> Scale(const PixelPicture& picture, int width, int height) {
  std::vector<uint32_t> out(static_cast<size_t>(width) * height, 0xff000000u);
  if (picture.width == 0 || width <= 0 || height <= 0) return out;
  const double scale = std::min(static_cast<double>(width) / picture.width,
                                static_cast<double>(height) / picture.height);
  const int fitWidth = std::max(1, static_cast<int>(picture.width * scale + 0.5));
  const int fitHeight = std::max(1, static_cast<int>(picture.height * scale + 0.5));
  const int left = (width - fitWidth) / 2;
  const int top = (height - fitHeight) / 2;
  auto channel = [&](int px, int py, int shift) {
    return static_cast<double>(
        (picture.pixels[static_cast<size_t>(py) * picture.width + px] >> shift) & 0xff);
  };
  for (int y = 0; y < fitHeight && top + y < height; ++y) {
    const double sy = std::max(0.0, (y + 0.5) * picture.height / fitHeight - 0.5);
    const int y0 = std::min(static_cast<int>(sy), picture.height - 1);
    const int y1 = std::min(y0 + 1, picture.height - 1);
    const double fy = sy - y0;
    for (int x = 0; x < fitWidth && left + x < width; ++x) {
      const double sx = std::max(0.0, (x + 0.5) * picture.width / fitWidth - 0.5);
      const int x0 = std::min(static_cast<int>(sx), picture.width - 1);
      const int x1 = std::min(x0 + 1, picture.width - 1);
      const double fx = sx - x0;
      uint32_t result = 0xff000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        const double upper = channel(x0, y0, shift) * (1 - fx) + channel(x1, y0, shift) * fx;
        const double lower = channel(x0, y1, shift) * (1 - fx) + channel(x1, y1, shift) * fx;
        const auto value = static_cast<uint32_t>(upper * (1 - fy) + lower * fy + 0.5);
        result |= std::min(value, 255u) << shift;
      }
      out[static_cast<size_t>(top + y) * width + left + x] = result;
    }
  }
  return out;
}

}  // namespace

int RunPreviewWindow(unsigned long parent, const std::function<PixelPicture()>& loadPicture) {
  if (parent == 0) return 0;
  std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
  if (!display) {
    std::cerr << "emberlrn: " << NoDisplayText() << '\n';
    return 1;
  }
  Display* dpy = display.get();
  XSetErrorHandler(NoteXError);
  XSetIOErrorHandler(QuitOnLostConnection);

  XWindowAttributes parentAttributes{};
  gBadWindow = false;
  if (!XGetWindowAttributes(dpy, parent, &parentAttributes) || gBadWindow) return 0;
  XSelectInput(dpy, parent, StructureNotifyMask);
  XSync(dpy, False);
  if (gBadWindow) return 0;

  int width = std::max(1, parentAttributes.width);
  int height = std::max(1, parentAttributes.height);
  const int screen = DefaultScreen(dpy);
  const Window child = XCreateSimpleWindow(dpy, parent, 0, 0, width, height, 0,
                                           BlackPixel(dpy, screen), BlackPixel(dpy, screen));
  XStoreName(dpy, child, "Preview");
  XSelectInput(dpy, child, ExposureMask | StructureNotifyMask);
  XMapWindow(dpy, child);
  XSync(dpy, False);
  if (gBadWindow) return 0;

  const PixelPicture picture = loadPicture();
  Visual* visual = DefaultVisual(dpy, screen);
  const int depth = DefaultDepth(dpy, screen);
  const bool trueColour = depth >= 24 && visual->red_mask == 0xff0000 &&
                          visual->green_mask == 0x00ff00 && visual->blue_mask == 0x0000ff;
  GC gc = XCreateGC(dpy, child, 0, nullptr);
  std::vector<uint32_t> scaled;

  auto paint = [&] {
    if (!trueColour || picture.width == 0) return;  // the black background stands in
    if (scaled.size() != static_cast<size_t>(width) * height)
      scaled = Scale(picture, width, height);
    XImage image{};
    image.width = width;
    image.height = height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(scaled.data());
    image.byte_order = LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 32;
    image.depth = depth;
    image.bytes_per_line = width * 4;
    image.bits_per_pixel = 32;
    image.red_mask = visual->red_mask;
    image.green_mask = visual->green_mask;
    image.blue_mask = visual->blue_mask;
    if (!XInitImage(&image)) return;
    XPutImage(dpy, child, gc, &image, 0, 0, 0, 0, width, height);
    XFlush(dpy);
  };

  for (;;) {
    XEvent event;
    XNextEvent(dpy, &event);
    if (event.type == DestroyNotify &&
        (event.xdestroywindow.window == child || event.xdestroywindow.window == parent)) {
      break;
    }
    if (event.type == ConfigureNotify && event.xconfigure.window == parent) {
      const int newWidth = std::max(1, event.xconfigure.width);
      const int newHeight = std::max(1, event.xconfigure.height);
      if (newWidth != width || newHeight != height) {
        width = newWidth;
        height = newHeight;
        XResizeWindow(dpy, child, width, height);
        scaled.clear();
        paint();
      }
    } else if (event.type == Expose && event.xexpose.count == 0) {
      paint();
    }
  }
  XFreeGC(dpy, gc);
  return 0;
}

}  // namespace emberlrn::x11
