#include "start/saver_run.h"

#include <SDL.h>

#include <clocale>
#include <functional>
#include <iostream>
#include <memory>
#include <utility>

#include "platform/data_folder.h"
#include "platform/event_loop.h"
#include "platform/linux_system.h"
#include "platform/sdl/sdl_crackle_voices.h"
#include "platform/sdl/sdl_display_modes.h"
#include "platform/sdl/sdl_saver_input.h"
#include "platform/sdl/sdl_sound_device.h"
#include "platform/sdl/sdl_tego_ddrw.h"
#include "platform/sdl/sdl_tego_ds.h"
#include "platform/sdl/sdl_tego_snd.h"
#include "platform/sdl/sdl_video.h"
#include "platform/system_clock.h"
#include "platform/x11/display_name.h"
#include "platform/x11/host_window.h"
#include "settings/ini_file_store.h"
#include "settings/overlay_store.h"
#include "settings/schema.h"
#include "settings/setting_reader.h"
#include "start/saver_window.h"
#include "start/sdl_power_warning_host.h"

namespace emberlrn {
namespace {

// How often the host's window is looked at for a new size or its going away.
constexpr int64_t kHostWatchMs = 250;

// The real controls and the saver window on them, for either run.
struct Saver {
  Saver(LinuxSystem& system, SettingsStore& store, SaverWindowHost& host, bool withSound)
      : ddrw(clock),
        ds(sound),
        snd(sound),
        crackles(sound),
        loop(clock, input),
        form(SaverControls{ddrw, ds, snd, store, system, clock, crackles}, modes, host, loop,
             InstallFolder()) {
    if (withSound) sound.Open();
    ddrw.SetEvents(&form);
    loop.SetFrameSource(&ddrw);
    // Ending the process gives the screen back and silences the sound at
    // once; the system takes the sound device back as the process exits.
    system.AddShutdownStep([this] { sound.Silence(); });
    system.AddShutdownStep([this] { ddrw.CloseDisplay(); });
  }

  SystemClock clock;
  SdlSoundDevice sound;
  SdlTegoDDrw ddrw;
  SdlTegoDS ds;
  SdlTegoSnd snd;
  SdlCrackleVoices crackles;
  SdlDisplayModes modes;
  SdlInputSource input;
  EventLoop loop;
  Form1 form;
};

// What the close road asks of the full-screen window: hiding it, and the
// warning window of the power-management hand-over, which takes its own
// events first. It is given its saver once that stands.
class FullScreenHost final : public SaverWindowHost, public SdlEventHandler {
 public:
  explicit FullScreenHost(LinuxSystem& system) : system_(system) {}
  void Attach(Saver& saver) { saver_ = &saver; }

  void HideSaverWindow() override { saver_->ddrw.SetVisible(false); }
  void DropTopMost() override { saver_->ddrw.DropTopMost(); }
  void ShowPowerWarning(std::function<void()> whenClosed) override {
    if (!warning_) warning_ = std::make_unique<SdlPowerWarningHost>(system_, saver_->loop);
    warning_->Show(std::move(whenClosed));
  }
  bool HandleEvent(const SDL_Event& event) override {
    return warning_ && warning_->HandleEvent(event);
  }

 private:
  LinuxSystem& system_;
  Saver* saver_ = nullptr;
  std::unique_ptr<SdlPowerWarningHost> warning_;
};

// Hosted, the window never goes away by our doing and there is no
// power-management hand-over: the host keeps the monitor's power saving.
class HostedWindowHost final : public SaverWindowHost {
 public:
  void HideSaverWindow() override {}
  void DropTopMost() override {}
  void ShowPowerWarning(std::function<void()> whenClosed) override { whenClosed(); }
};

// The host ends us with SIGTERM (SDL turns it into a quit event); keys,
// buttons and movement are the host's business.
class HostedInput final : public SdlEventHandler {
 public:
  explicit HostedInput(System& system) : system_(system) {}
  bool HandleEvent(const SDL_Event& event) override {
    if (event.type == SDL_QUIT) system_.EndProcess();
    return true;
  }

 private:
  System& system_;
};

int NoDisplay() {
  std::cerr << "emberlrn: " << x11::NoDisplayText() << '\n';
  return 1;
}

}  // namespace

int RunSaverWindow(LinuxSystem& system) {
  // The calendar speaks the user's language; numbers stay as the store writes them.
  std::setlocale(LC_TIME, "");
  SetSaverHints(true);
  // With no display the user is told which one could not be opened; the
  // colour-depth texts are for a refused depth.
  if (!StartVideo()) return NoDisplay();
  // A monitor's window that went, as when monitors come or go, may still be
  // named by a request in flight: that is no reason to end.
  x11::InstallLenientErrorHandler();
  x11::InstallDisplayLostHandler();

  IniFileStore store(IniFileStore::DefaultPath());
  FullScreenHost host(system);
  auto saver = std::make_unique<Saver>(system, store, host, true);
  saver->ddrw.SetSceneOnEveryMonitor(FireOnEveryMonitor(GetTextSetting(store, keys::kMonitors)));
  host.Attach(*saver);

  SdlSaverWindowInput saverInput(saver->ddrw, saver->form, saver->form);
  saver->input.AddHandler(&host);
  saver->input.AddHandler(&saverInput);

  saver->form.Form_Load();
  if (!saver->ddrw.IsOpen()) {
    // The 8-bit desktop's attempt is not checked; its failure still ends here.
    saver->form.Form_Unload();
    std::cerr << "emberlrn: the saver's window cannot be drawn on this display\n";
    return 1;
  }
  saver->form.Show();
  saver->loop.Run();
  return 0;
}

int RunHostedSaver(LinuxSystem& system, const HostedOptions& options) {
  std::setlocale(LC_TIME, "");
  SetSaverHints(false);
  if (!StartVideo()) return NoDisplay();
  x11::InstallLenientErrorHandler();
  x11::InstallDisplayLostHandler();
  x11::HostWindow window(options.window);
  int width = 0;
  int height = 0;
  if (!window.Size(width, height)) {
    std::cerr << "emberlrn: there is no window 0x" << std::hex << options.window
              << " to draw into\n";
    return 1;
  }

  IniFileStore userStore(IniFileStore::DefaultPath());
  // A preview pane is silent, shows the user's choices and stores nothing;
  // the notices are for the user's first real run.
  const bool pane = options.pane || window.IsPane();
  OverlayStore store(userStore,
                     pane ? OverlayStore::Writes::kKept : OverlayStore::Writes::kPassedOn);
  if (pane) {
    store.Pin(keys::kRunMon.section, keys::kRunMon.name, "True");
    store.Pin(keys::kPwrMsg.section, keys::kPwrMsg.name, "True");
    system.LeaveCursorAlone();
  }
  // The host's own power saving acts for us; the hand-over is never wanted.
  store.Pin(keys::kPower.section, keys::kPower.name, "0");

  HostedWindowHost host;
  Saver saver(system, store, host, !pane);
  saver.ddrw.SetHostWindow(window.Id());
  saver.ddrw.SetShowFps(options.showFps);
  HostedInput hostedInput(system);
  saver.input.AddHandler(&hostedInput);

  saver.form.Form_Load();
  if (!saver.ddrw.IsOpen()) return 1;

  const EventLoop::TimerId watch = saver.loop.AddTimer(kHostWatchMs, [&] {
    int newWidth = 0;
    int newHeight = 0;
    if (x11::DrawableLost() || !window.Watch(newWidth, newHeight)) system.EndProcess();
    if (newWidth != width || newHeight != height) {
      width = newWidth;
      height = newHeight;
      saver.ddrw.HostWindowResized(width, height);
    }
  });
  // Looked at when the loop wakes for a frame anyway, or at most this late.
  saver.loop.SetTimerSlack(watch, kHostWatchMs);
  saver.loop.Run();
  return 0;
}

}  // namespace emberlrn
