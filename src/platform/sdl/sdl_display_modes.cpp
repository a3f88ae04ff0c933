#include "platform/sdl/sdl_display_modes.h"

#include <SDL.h>

namespace emberlrn {
namespace {

constexpr int kFirstDisplay = 0;

// The depth of a mode is its bits of colour: an X desktop of depth 24 gives
// 24, whether its pixels take three bytes or four.
int16_t Depth(Uint32 format) { return static_cast<int16_t>(SDL_BITSPERPIXEL(format)); }

}  // namespace

std::optional<DisplayModeRecord> SdlDisplayModes::EnumDisplayMode(int index) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return std::nullopt;
  if (index < 0 || index >= SDL_GetNumDisplayModes(kFirstDisplay)) return std::nullopt;
  SDL_DisplayMode mode{};
  if (SDL_GetDisplayMode(kFirstDisplay, index, &mode) != 0) return std::nullopt;
  return DisplayModeRecord{mode.w, mode.h, Depth(mode.format)};
}

int16_t SdlDisplayModes::CurrentDepth() {
  SDL_DisplayMode mode{};
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_GetDesktopDisplayMode(kFirstDisplay, &mode) != 0) {
    return 0;
  }
  return Depth(mode.format);
}

std::pair<int32_t, int32_t> SdlDisplayModes::CurrentSize() {
  SDL_DisplayMode mode{};
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_GetDesktopDisplayMode(kFirstDisplay, &mode) != 0) {
    return {0, 0};
  }
  return {mode.w, mode.h};
}

}  // namespace emberlrn
