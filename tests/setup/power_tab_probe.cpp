// Opens the settings dialog off screen on the desktop it is given (its real
// screen-saver wait, monitor power saving and programs) over a store holding
// the given Power and Monitor, and prints what the "Pwr Management" tab shows
// about the desktop, one "name: text" line per label. The end-to-end tests
// set the desktop's times first and read these lines.
//
// Usage: power_tab_probe POWER MONITOR   (for example: power_tab_probe 1 "5 Minutes")

#include <QApplication>
#include <QLabel>
#include <iostream>

#include "setup_test_support.h"

using namespace emberlrn;
using namespace emberlrn::testing;

int main(int argc, char** argv) {
  if (argc != 3 || (std::string(argv[1]) != "0" && std::string(argv[1]) != "1")) {
    std::cerr << "usage: power_tab_probe 0|1 MONITOR-ENTRY\n";
    return 2;
  }
  QApplication application(argc, argv);
  LinuxDesktopFacts machine;
  DialogRig rig;
  rig.facts = &machine;
  rig.store.Preset("Settings", "Power", argv[1]);
  rig.store.Preset("Settings", "Monitor", argv[2]);
  rig.Open();
  for (const char* name : {"lblSStime", "lblSSsource", "lblMonitorPower"}) {
    std::cout << name << ": " << rig.Find<QLabel>(name)->text().toStdString() << '\n';
  }
  for (const auto& shown : rig.messages.shown) std::cout << "message: " << shown.title << '\n';
  return 0;
}
