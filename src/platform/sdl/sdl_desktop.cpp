#include "platform/sdl/sdl_desktop.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>

namespace emberlrn {

void ShowSdlCursor(bool show) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool ShowSdlMessageBox(MessageIcon icon, std::string_view title, std::string_view text) {
  const Uint32 flags = icon == MessageIcon::kCritical  ? SDL_MESSAGEBOX_ERROR
                       : icon == MessageIcon::kWarning ? SDL_MESSAGEBOX_WARNING
                                                       : SDL_MESSAGEBOX_INFORMATION;
  return SDL_ShowSimpleMessageBox(flags, std::string(title).c_str(), std::string(text).c_str(),
                                  nullptr) == 0;
}

namespace {

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

}  // namespace

PixelPicture LoadBmpPicture(const std::string& path) {
  PixelPicture picture;
  std::unique_ptr<SDL_Surface, SurfaceFree> loaded(SDL_LoadBMP(path.c_str()));
  if (!loaded) {
    std::cerr << "emberlrn: cannot load the preview picture " << path << ": " << SDL_GetError()
              << '\n';
    return picture;
  }
  std::unique_ptr<SDL_Surface, SurfaceFree> argb(
      SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!argb) return picture;
  picture.width = argb->w;
  picture.height = argb->h;
  picture.pixels.resize(static_cast<size_t>(argb->w) * argb->h);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                        static_cast<size_t>(y) * argb->pitch);
    std::copy(row, row + argb->w, picture.pixels.begin() + static_cast<ptrdiff_t>(y) * argb->w);
  }
  return picture;
}

}  // namespace emberlrn
