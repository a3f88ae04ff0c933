#include "platform/sdl/sdl_video.h"

#include <SDL.h>
#include <signal.h>

#include <cstdlib>
#include <string_view>

namespace emberlrn {
namespace {

// SDL's own handler takes only SIGTERM and SIGINT; raise is safe in a handler.
void HangUpAsTerm(int /*signal*/) { ::raise(SIGTERM); }

}  // namespace

void SetSaverHints(bool grabKeyboard) {
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, grabKeyboard ? "1" : "0");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "1");
  // A screen saver must not keep the screen saver from starting again later.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
}

bool StartVideo() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // SDL turns SIGTERM and SIGINT into a quit event, which ends the run on the
  // close road; a hang-up (the terminal or session going away) does the same.
  struct sigaction onTerm {};
  if (::sigaction(SIGTERM, nullptr, &onTerm) == 0 && onTerm.sa_handler != SIG_DFL) {
    struct sigaction onHangUp {};
    onHangUp.sa_handler = HangUpAsTerm;
    onHangUp.sa_flags = SA_RESTART;
    ::sigaction(SIGHUP, &onHangUp, nullptr);
  }
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked != nullptr && *asked != '\0') return true;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && std::string_view(driver) != "offscreen" &&
      std::string_view(driver) != "dummy") {
    return true;
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return false;
}

}  // namespace emberlrn
