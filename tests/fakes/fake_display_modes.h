#pragma once
// A desktop's display modes for tests: the list the system enumerates and
// the mode the desktop is in.

#include <utility>
#include <vector>

#include "scene/display_session.h"

namespace emberlrn {

class FakeDisplayModes final : public DisplayModes {
 public:
  FakeDisplayModes(std::vector<DisplayModeRecord> list, int32_t width, int32_t height,
                   int16_t depth)
      : list_(std::move(list)), width_(width), height_(height), depth_(depth) {}
  // A 1024 x 768 desktop at 24 bits whose mode is listed.
  FakeDisplayModes() : FakeDisplayModes({{800, 600, 24}, {1024, 768, 24}}, 1024, 768, 24) {}

  std::optional<DisplayModeRecord> EnumDisplayMode(int index) override {
    ++enumerated;
    if (index < 0 || static_cast<size_t>(index) >= list_.size()) return std::nullopt;
    return list_[index];
  }
  int16_t CurrentDepth() override { return depth_; }
  std::pair<int32_t, int32_t> CurrentSize() override { return {width_, height_}; }

  int enumerated = 0;

 private:
  std::vector<DisplayModeRecord> list_;
  int32_t width_, height_;
  int16_t depth_;
};

}  // namespace emberlrn
