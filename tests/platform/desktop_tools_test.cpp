// Which of the desktop's programs a button tries, in which order, and where
// the screen-saver wait is read.

#include "platform/desktop_tools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/screen_saver_timeout.h"

namespace emberlrn {
namespace {

constexpr std::string_view kPower = "rundll32.exe shell32.dll,Control_RunDLL powercfg.cpl,,1";
constexpr std::string_view kDisplay = "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,3";

std::vector<std::string> Firsts(const std::vector<DesktopTool>& tools) {
  std::vector<std::string> programs;
  for (const DesktopTool& tool : tools) programs.push_back(tool.argv.front());
  return programs;
}

TEST(DesktopToolsTest, TheCurrentDesktopsProgramIsTriedFirst) {
  EXPECT_EQ(Firsts(DesktopToolsFor(kPower, "")),
            (std::vector<std::string>{"xfce4-power-manager-settings", "gnome-control-center",
                                      "systemsettings", "mate-power-preferences"}));
  EXPECT_EQ(Firsts(DesktopToolsFor(kPower, "KDE")),
            (std::vector<std::string>{"systemsettings", "xfce4-power-manager-settings",
                                      "gnome-control-center", "mate-power-preferences"}));
  EXPECT_EQ(DesktopToolsFor(kPower, "ubuntu:GNOME").front().argv,
            (std::vector<std::string>{"gnome-control-center", "power"}));
  EXPECT_EQ(DesktopToolsFor(kDisplay, "MATE").front().argv,
            (std::vector<std::string>{"mate-display-properties"}));
  // arandr belongs to no desktop and stays last, whatever the desktop.
  EXPECT_EQ(DesktopToolsFor(kDisplay, "XFCE").back().argv, (std::vector<std::string>{"arandr"}));
  EXPECT_EQ(DesktopToolsFor(kDisplay, "XFCE").front().package, "xfce4-settings");
  EXPECT_TRUE(DesktopToolsFor("format c:", "GNOME").empty());
}

TEST(DesktopToolsTest, GnomesIdleDelayCountsOnlyInAGnomeSession) {
  for (const char* desktop : {"GNOME", "ubuntu:GNOME", "gnome", "Unity"}) {
    EXPECT_TRUE(IsGnomeSession(desktop)) << desktop;
  }
  for (const char* desktop : {"", "XFCE", "KDE", "MATE", "X-Cinnamon"}) {
    EXPECT_FALSE(IsGnomeSession(desktop)) << desktop;
  }
}

}  // namespace
}  // namespace emberlrn
