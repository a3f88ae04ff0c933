#pragma once
// Which of SDL's video drivers the saver asks for, and what it tells the
// user when the first choice cannot start. Knows nothing of SDL itself.

#include <string>
#include <string_view>
#include <vector>

namespace emberlrn {

// The drivers to try in turn; empty leaves the choice to SDL (the user set
// SDL_VIDEODRIVER, or no Wayland session is running). On a Wayland session
// the native driver comes first and X11 through XWayland after it.
std::vector<std::string> VideoDriversToTry(const char* askedDriver, const char* waylandDisplay);

// The one line told on standard error when a driver could not start and the
// next one is tried.
std::string FallbackText(std::string_view failed, std::string_view reason, std::string_view next);

// SDL's framebuffer acceleration hint for a driver: off where the window has
// pixels of its own (cheapest, needs no GPU), on where it has none, as on
// Wayland, where a window can be drawn only through the renderer.
const char* FramebufferAccelerationFor(std::string_view driver);

}  // namespace emberlrn
