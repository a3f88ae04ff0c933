#pragma once
// The system's display modes, as the display session asks for them.

#include <cstdint>
#include <optional>
#include <utility>

namespace emberlrn {

struct DisplayModeRecord {
  int32_t width = 0;
  int32_t height = 0;
  int16_t bitsPerPixel = 0;
};

// The system's display modes and the mode the desktop is in.
class DisplayModes {
 public:
  virtual ~DisplayModes() = default;
  // Mode number index (0, 1, 2, ...), or nothing once past the last one.
  virtual std::optional<DisplayModeRecord> EnumDisplayMode(int index) = 0;
  // Bits per pixel of the desktop.
  virtual int16_t CurrentDepth() = 0;
  // The screen's width and height in pixels.
  virtual std::pair<int32_t, int32_t> CurrentSize() = 0;
};

}  // namespace emberlrn
