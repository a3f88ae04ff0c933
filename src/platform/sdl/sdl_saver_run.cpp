#include "platform/sdl/sdl_saver_run.h"

#include <SDL.h>

#include <clocale>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string_view>

#include "platform/system_clock.h"
#include "platform/data_folder.h"
#include "platform/event_loop.h"
#include "platform/linux_system.h"
#include "platform/sdl/sdl_display_modes.h"
#include "platform/sdl/sdl_pm_window_host.h"
#include "platform/sdl/sdl_saver_input.h"
#include "platform/sdl/sdl_sound_device.h"
#include "platform/sdl/sdl_tego_ddrw.h"
#include "platform/sdl/sdl_tego_ds.h"
#include "platform/sdl/sdl_tego_snd.h"
#include "platform/x11/display_name.h"
#include "settings/ini_file_store.h"
#include "start/saver_window.h"

namespace emberlrn {
namespace {

// What the close road asks of the window: hiding it, and the warning
// window of the power-management hand-over.
class SdlSaverHost final : public SaverWindowHost, public SdlEventHandler {
 public:
  SdlSaverHost(SdlTegoDDrw& ddrw, System& system, EventLoop& loop)
      : ddrw_(ddrw), warning_(system, loop) {}

  void HideSaverWindow() override { ddrw_.SetVisible(false); }
  void DropTopMost() override {
    if (SDL_Window* window = ddrw_.Window()) {
      SDL_SetWindowAlwaysOnTop(window, SDL_FALSE);
      SDL_SetWindowPosition(window, 0, 0);
    }
  }
  void ShowPowerWarning(std::function<void()> whenClosed) override {
    warning_.Show(std::move(whenClosed));
  }
  // The warning's window takes its own events first.
  bool HandleEvent(const SDL_Event& event) override { return warning_.HandleEvent(event); }

 private:
  SdlTegoDDrw& ddrw_;
  SdlPowerWarningHost warning_;
};

// With no display to show the saver on, the user is told which display
// could not be opened; the colour-depth texts are for a refused depth.
int NoDisplay() {
  std::cerr << "emberlrn: " << x11::NoDisplayText() << '\n';
  return 1;
}

// SDL falls back to drawing off the screen when it finds no display; unless
// that was asked for, there is no display to run on.
bool DisplayFound() {
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked != nullptr && *asked != '\0') return true;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::string_view(driver) != "offscreen" &&
         std::string_view(driver) != "dummy";
}

}  // namespace

// Window-system settings that keep a full-screen saver full screen and cheap.
void SetSaverHints() {
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "1");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "1");
  // A screen saver must not keep the screen saver from starting again later.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
}

int RunSaverWindow(LinuxSystem& system) {
  // The calendar speaks the user's language; numbers stay as the store writes them.
  std::setlocale(LC_TIME, "");
  SetSaverHints();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return NoDisplay();
  if (!DisplayFound()) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return NoDisplay();
  }

  SystemClock clock;
  IniFileStore store(IniFileStore::DefaultPath());
  SdlSoundDevice sound;
  sound.Open();
  SdlTegoDS ds(sound);
  SdlTegoSnd snd(sound);
  SdlTegoDDrw ddrw(clock);
  SdlDisplayModes modes;
  SdlInputSource input;
  EventLoop loop(clock, input);
  SdlSaverHost host(ddrw, system, loop);

  Form1 form(SaverControls{ddrw, ds, snd, store, system, clock}, modes, host, loop,
             InstallFolder());
  ddrw.SetEvents(&form);
  SdlSaverWindowInput saverInput(ddrw, form, form);
  input.AddHandler(&host);
  input.AddHandler(&saverInput);
  loop.SetFrameSource(&ddrw);
  // Ending the process gives the screen back and silences the sound at once;
  // the system takes the sound device back as the process exits.
  system.AddShutdownStep([&sound] { sound.Silence(); });
  system.AddShutdownStep([&ddrw] { ddrw.CloseDisplay(); });

  form.Form_Load();
  if (!ddrw.IsOpen()) {
    // The 8-bit desktop's attempt is not checked; its failure still ends here.
    form.Form_Unload();
    std::cerr << "emberlrn: the saver's window cannot be drawn on this display\n";
    return 1;
  }
  form.Show();
  loop.Run();
  return 0;
}

}  // namespace emberlrn
