#include "platform/sdl/sdl_desktop.h"

#include <SDL.h>

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

}  // namespace emberlrn
