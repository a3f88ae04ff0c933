#pragma once
// The canvas scaled into a window with its shape kept, centred between black
// bars, by bilinear filtering. Any rectangle of the window is scaled on its
// own exactly as the whole window would show it there, so a frame can put
// on the screen only the part of it that changed.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "interfaces/types.h"

namespace emberlrn {

struct PixelRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool Empty() const { return w <= 0 || h <= 0; }
  int Area() const { return Empty() ? 0 : w * h; }
  bool operator==(const PixelRect&) const = default;
};

// The overlap of two rectangles; empty when they do not meet.
inline PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
  const int left = std::max(a.x, b.x);
  const int top = std::max(a.y, b.y);
  const int right = std::min(a.x + a.w, b.x + b.w);
  const int bottom = std::min(a.y + a.h, b.y + b.h);
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

// The smallest rectangle holding both; an empty one adds nothing.
inline PixelRect Union(const PixelRect& a, const PixelRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  const int left = std::min(a.x, b.x);
  const int top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.w, b.x + b.w) - left, std::max(a.y + a.h, b.y + b.h) - top};
}

// The first canvas pixel, on a canvas of `zoom` canvas pixels per picture
// pixel, whose centre lies at or beyond picture pixel `at`: where a picture
// standing there starts, so that pictures side by side meet without a gap.
int ZoomedEdge(int at, double zoom);

class CanvasScale {
 public:
  // A canvas of the first size into a window of the second.
  void SetSizes(int canvasWidth, int canvasHeight, int windowWidth, int windowHeight);
  // Instead, a picture of that size standing at (originX, originY) of its
  // own grid, made for a canvas of `zoom` times as many pixels each way:
  // Fit() is then the picture's size on that canvas, which starts at canvas
  // pixel (ZoomedEdge(originX), ZoomedEdge(originY)), and Scale() makes it.
  void SetZoom(int pictureWidth, int pictureHeight, int originX, int originY, double zoom);

  int WindowWidth() const { return windowWidth_; }
  int WindowHeight() const { return windowHeight_; }
  // Where the canvas stands in the window; the bars are the rest.
  const PixelRect& Fit() const { return fit_; }
  // Every window pixel in the fit is one canvas pixel.
  bool Copies() const { return copies_; }

  // The window pixels whose colour depends on a canvas pixel inside `canvas`.
  PixelRect WindowRect(const PixelRect& canvas) const;
  // The canvas pixel under a window pixel.
  PointerPosition ToCanvas(PointerPosition window) const;

  // Writes the window pixels of `window` (clipped to the fit) from the
  // canvas; both are 0xAARRGGBB rows, pitches in pixels. `out` holds the
  // window's pixels from (outX, outY) on.
  void Scale(const uint32_t* canvas, int canvasPitch, uint32_t* out, int outPitch,
             const PixelRect& window, int outX = 0, int outY = 0);

 private:
  // One window column's or row's two canvas neighbours and the weight of
  // the second, in 256ths.
  struct Tap {
    int first = 0;
    int second = 0;
    uint32_t weight = 0;
    // Two neighbours that lie side by side inside the row, pair and pair + 1,
    // with their weights as four 16-bit lanes each: the same mix as first
    // and second, loaded in one read and mixed channel by channel.
    int pair = 0;
    alignas(16) uint16_t lanes[8] = {};
  };
  // The taps of `fitSize` pixels, pixel i's centre at (i + 0.5) * across /
  // over + offset in a canvas of `canvasSize` pixels.
  static std::vector<Tap> Taps(int canvasSize, int fitSize, double across, double over,
                               double offset);
  // The columns of window rectangle `span` filtered across canvas row `row`.
  void FilterRow(const uint32_t* row, int left, int width, uint32_t* out) const;

  int canvasWidth_ = 0;
  int canvasHeight_ = 0;
  int windowWidth_ = 0;
  int windowHeight_ = 0;
  PixelRect fit_;
  std::vector<Tap> columns_;  // by window column within the fit
  std::vector<Tap> rows_;     // by window row within the fit
  bool copies_ = false;       // every window pixel is one canvas pixel
  bool doubles_ = false;      // every canvas column is two window columns
  // Two canvas rows filtered across the columns being scaled, and which rows they are.
  std::vector<uint32_t> filtered_[2];
  int filteredRow_[2] = {-1, -1};
};

}  // namespace emberlrn
