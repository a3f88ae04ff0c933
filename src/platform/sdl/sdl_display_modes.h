#pragma once
// The display modes as SDL enumerates them on the first display, and the
// desktop's own mode.

#include "interfaces/display_modes.h"

namespace emberlrn {

class SdlDisplayModes final : public DisplayModes {
 public:
  std::optional<DisplayModeRecord> EnumDisplayMode(int index) override;
  int16_t CurrentDepth() override;
  std::pair<int32_t, int32_t> CurrentSize() override;
};

}  // namespace emberlrn
