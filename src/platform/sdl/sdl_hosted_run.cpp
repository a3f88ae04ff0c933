#include "platform/sdl/sdl_hosted_run.h"

#include <SDL.h>

#include <clocale>
#include <iostream>

#include "platform/system_clock.h"
#include "platform/data_folder.h"
#include "platform/event_loop.h"
#include "platform/linux_system.h"
#include "platform/sdl/sdl_display_modes.h"
#include "platform/sdl/sdl_saver_input.h"
#include "platform/sdl/sdl_saver_run.h"
#include "platform/sdl/sdl_sound_device.h"
#include "platform/sdl/sdl_tego_ddrw.h"
#include "platform/sdl/sdl_tego_ds.h"
#include "platform/sdl/sdl_tego_snd.h"
#include "platform/x11/host_window.h"
#include "settings/ini_file_store.h"
#include "settings/read_only_store.h"
#include "settings/schema.h"
#include "start/saver_window.h"

namespace emberlrn {
namespace {

// How often the host's window is looked at for a new size or its going away.
constexpr int64_t kHostWatchMs = 250;

// The host ends us with SIGTERM (SDL turns it into a quit event). Ending the
// process gives the sound back first, which silences it at once.
class HostedInput final : public SdlEventHandler {
 public:
  explicit HostedInput(System& system) : system_(system) {}
  bool HandleEvent(const SDL_Event& event) override {
    if (event.type == SDL_QUIT) system_.EndProcess();
    // Keys, buttons and movement are the host's business.
    return true;
  }

 private:
  System& system_;
};

// Hosted, the window never goes away by our doing and there is no
// power-management hand-over: the host keeps the monitor's power saving.
class HostedWindowHost final : public SaverWindowHost {
 public:
  void HideSaverWindow() override {}
  void DropTopMost() override {}
  void ShowPowerWarning(std::function<void()> whenClosed) override { whenClosed(); }
};

}  // namespace

int RunHostedSaver(LinuxSystem& system, const HostedOptions& options) {
  std::setlocale(LC_TIME, "");
  SetSaverHints();
  // A hack never grabs the keyboard: xscreensaver keeps it for its unlock dialog.
  SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::cerr << "emberlrn: no display to draw on: " << SDL_GetError() << '\n';
    return 1;
  }
  x11::InstallLenientErrorHandler();
  x11::HostWindow host(options.window);
  int width = 0;
  int height = 0;
  if (!host.Size(width, height)) {
    std::cerr << "emberlrn: there is no window 0x" << std::hex << options.window
              << " to draw into\n";
    return 1;
  }

  SystemClock clock;
  IniFileStore userStore(IniFileStore::DefaultPath());
  // A preview pane is silent, shows the user's choices and stores nothing;
  // the notices are for the user's first real run.
  const bool pane = options.pane || host.IsPane();
  ReadOnlyStore paneStore(userStore);
  paneStore.Pin(keys::kRunMon.section, keys::kRunMon.name, "True");
  paneStore.Pin(keys::kPwrMsg.section, keys::kPwrMsg.name, "True");
  SettingsStore& store = pane ? static_cast<SettingsStore&>(paneStore) : userStore;
  if (pane) system.LeaveCursorAlone();
  SdlSoundDevice sound;
  if (!pane) sound.Open();
  SdlTegoDS ds(sound);
  SdlTegoSnd snd(sound);
  SdlTegoDDrw ddrw(clock);
  ddrw.SetHostWindow(host.Id());
  ddrw.SetShowFps(options.showFps);
  SdlDisplayModes modes;
  SdlInputSource input;
  EventLoop loop(clock, input);
  HostedWindowHost windowHost;
  HostedInput hostedInput(system);

  Form1 form(SaverControls{ddrw, ds, snd, store, system, clock}, modes, windowHost, loop,
             InstallFolder());
  ddrw.SetEvents(&form);
  input.AddHandler(&hostedInput);
  loop.SetFrameSource(&ddrw);
  system.AddShutdownStep([&sound] { sound.Silence(); });
  system.AddShutdownStep([&ddrw] { ddrw.CloseDisplay(); });

  form.Form_Load();
  if (!ddrw.IsOpen()) return 1;
  // The host's own power saving acts for us; the hand-over is never wanted.
  form.State().powerManageOn = 0;

  loop.AddTimer(kHostWatchMs, [&] {
    int newWidth = 0;
    int newHeight = 0;
    if (x11::DrawableLost() || !host.Size(newWidth, newHeight)) system.EndProcess();
    if (newWidth != width || newHeight != height) {
      width = newWidth;
      height = newHeight;
      ddrw.HostWindowResized(width, height);
    }
  });
  loop.Run();
  return 0;
}

}  // namespace emberlrn
