#include "setup/run_setup.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "platform/data_folder.h"
#include "setup/desktop_facts.h"
#include "setup/display_check.h"
#include "setup/setup.h"
#include "setup/setup_messages.h"

namespace emberlrn {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

int RunSetupDialog(int argc, char** argv, SettingsStore& store, System& system) {
  if (!DisplayAvailable()) {
    std::cerr << "emberlrn: the settings dialog needs a display, and none could be opened"
              << " (DISPLAY is " << (IsSet("DISPLAY") ? std::getenv("DISPLAY") : "not set")
              << ")\n";
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("emberlrn"));
  MessageBoxes messages;
  LinuxDesktopFacts desktop;
  Setup dialog(store, system, desktop, messages, InstallFolder());
  messages.SetOwner(&dialog);
  dialog.exec();
  return 0;
}

}  // namespace emberlrn
