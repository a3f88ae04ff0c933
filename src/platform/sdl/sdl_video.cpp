#include "platform/sdl/sdl_video.h"

#include <SDL.h>
#include <signal.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/video_driver.h"

namespace emberlrn {
namespace {

// SDL's own handler takes only SIGTERM and SIGINT; raise is safe in a handler.
void HangUpAsTerm(int /*signal*/) { ::raise(SIGTERM); }

// Starts video on the first of the drivers that starts, telling the user of
// every one passed over; with none named, on SDL's own choice.
bool InitVideo(const std::vector<std::string>& drivers) {
  if (drivers.empty()) return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  for (size_t i = 0; i < drivers.size(); ++i) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers[i].c_str());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    if (i + 1 < drivers.size()) {
      std::cerr << FallbackText(drivers[i], SDL_GetError(), drivers[i + 1]) << '\n';
    }
  }
  return false;
}

}  // namespace

void SetSaverHints(bool grabKeyboard) {
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, grabKeyboard ? "1" : "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "1");
  // A screen saver must not keep the screen saver from starting again later.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
}

bool StartVideo() {
  if (!InitVideo(VideoDriversToTry(std::getenv("SDL_VIDEODRIVER"), std::getenv("WAYLAND_DISPLAY"))))
    return false;
  const char* current = SDL_GetCurrentVideoDriver();
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION,
              FramebufferAccelerationFor(current != nullptr ? current : ""));
  // The idle manager's later steps (lock, monitor off) must still come: no
  // idle inhibitor is held while the saver runs.
  SDL_EnableScreenSaver();
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
  if (current != nullptr && std::string_view(current) != "offscreen" &&
      std::string_view(current) != "dummy") {
    return true;
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return false;
}

}  // namespace emberlrn
