#pragma once
// Plain values every floor may use: a colour, a place on the screen and a
// picture's pixels.

#include <cstdint>
#include <vector>

namespace emberlrn {

// Red in the low byte, green in the next, blue in the third.
using Colour = int32_t;
constexpr Colour Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// A pointer's place in screen pixels.
struct PointerPosition {
  int x = 0;
  int y = 0;
  bool operator==(const PointerPosition&) const = default;
};

// A picture as 0xAARRGGBB pixels, row by row; empty when it could not be read.
struct PixelPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

}  // namespace emberlrn
