// Emberlorn: builds the real platform objects, hands them to Main, and
// returns its exit status.

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/data_folder.h"
#include "platform/dialog_module.h"
#include "platform/linux_system.h"
#include "platform/sdl/sdl_desktop.h"
#include "platform/x11/preview_window.h"
#include "settings/ini_file_store.h"
#include "start/command_line.h"
#include "start/hack_options.h"
#include "start/module1.h"
#include "start/saver_run.h"

namespace {

// A command line that cannot be read.
constexpr int kUsageStatus = 2;

class RealModeHost final : public emberlrn::ModeHost {
 public:
  explicit RealModeHost(emberlrn::LinuxSystem& system) : system_(system) {}
  int RunFullScreen() override { return emberlrn::RunSaverWindow(system_); }
  int RunPreview(int32_t previewParent) override {
    return emberlrn::x11::RunPreviewWindow(static_cast<uint32_t>(previewParent), [] {
      return emberlrn::LoadBmpPicture(emberlrn::InstallFolder() + "preview.bmp");
    });
  }
  int RunSettings() override {
    // The dialog's application sees only the program's name: the classic
    // switches are no options of its own.
    std::string name = "emberlrn";
    std::array<char*, 2> args = {name.data(), nullptr};
    emberlrn::IniFileStore store(emberlrn::IniFileStore::DefaultPath());
    return emberlrn::RunDialogModule(1, args.data(), store, system_);
  }
  int RunPassword() override { return emberlrn::PasswordMode(system_); }

 private:
  emberlrn::LinuxSystem& system_;
};

// Some launchers (xautolock among them) start us with standard output and
// error closed; the next file opened would take their numbers, and every
// message would then be written into it, the display's connection included.
void KeepStandardStreamsOpen() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1) {
      const int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
      if (null >= 0 && null != fd) {
        dup2(null, fd);
        close(null);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  KeepStandardStreamsOpen();
  const emberlrn::HackOptions options =
      emberlrn::ParseHackOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (options.help) {
    std::cout << emberlrn::UsageText();
    return 0;
  }
  if (options.version) {
    std::cout << emberlrn::VersionText();
    return 0;
  }
  if (!options.error.empty()) {
    std::cerr << "emberlrn: " << options.error << "\n" << emberlrn::UsageText();
    return kUsageStatus;
  }
  // Every window of ours, the dialog's included, opens the display named here.
  if (options.display) setenv("DISPLAY", options.display->c_str(), 1);
  if (!options.Hosted() && emberlrn::ModeOfLine(options.classicLine) == emberlrn::Mode::kNone) {
    std::cerr << "emberlrn: not a mode: " << options.classicLine << "\n" << emberlrn::UsageText();
    return kUsageStatus;
  }
  emberlrn::LinuxSystem system;
  system.UseScreen(emberlrn::ShowSdlCursor, emberlrn::ShowSdlMessageBox);
  if (options.Hosted()) {
    // The window id wins over --root; --root draws where xscreensaver says.
    emberlrn::HostedOptions hosted;
    hosted.window =
        options.windowId ? *options.windowId : emberlrn::XScreenSaverWindow().value_or(0);
    hosted.pane = options.windowId.has_value();
    hosted.showFps = options.fps;
    return emberlrn::RunHostedSaver(system, hosted);
  }
  RealModeHost host(system);
  return emberlrn::Main(options.classicLine, host, system);
}
