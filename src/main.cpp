// Emberlorn: builds the real platform objects, hands them to Main, and
// returns its exit status.

#include <string>

#include "platform/data_folder.h"
#include "platform/linux_system.h"
#include "platform/x11/preview_window.h"
#include "start/module1.h"

namespace {

// Joins the arguments back into the one command line the modes are read from.
std::string CommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

class RealModeHost final : public emberlrn::ModeHost {
 public:
  explicit RealModeHost(emberlrn::LinuxSystem& system) : system_(system) {}
  int RunFullScreen() override { return 0; }
  int RunPreview(int32_t previewParent) override {
    return emberlrn::x11::RunPreviewWindow(static_cast<uint32_t>(previewParent),
                                           emberlrn::InstallFolder() + "preview.bmp");
  }
  int RunSettings() override { return 0; }
  int RunPassword() override { return emberlrn::PasswordMode(system_); }

 private:
  emberlrn::LinuxSystem& system_;
};

}  // namespace

int main(int argc, char** argv) {
  emberlrn::LinuxSystem system;
  RealModeHost host(system);
  return emberlrn::Main(CommandLine(argc, argv), host, system);
}
