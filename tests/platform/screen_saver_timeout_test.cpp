#include "platform/screen_saver_timeout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/linux_system.h"

namespace emberlrn {
namespace {

TEST(ScreenSaverTimeoutTest, ReadsXScreenSaverTimeoutsInEveryForm) {
  EXPECT_EQ(ParseXScreenSaverTimeout("mode:\t\trandom\ntimeout:\t0:10:00\ncycle: 0:10:00\n"), 600);
  EXPECT_EQ(ParseXScreenSaverTimeout("timeout: 1:00:30"), 3630);
  EXPECT_EQ(ParseXScreenSaverTimeout("timeout: 2:30"), 150);
  EXPECT_EQ(ParseXScreenSaverTimeout("timeout: 5"), 300);  // a bare number is minutes
  EXPECT_EQ(ParseXScreenSaverTimeout("  timeout:   0:01:00  \r\n"), 60);
}

TEST(ScreenSaverTimeoutTest, RejectsMissingOrMalformedTimeouts) {
  for (const char* text : {"", "cycle: 0:10:00", "timeout:", "timeout: abc", "timeout: 1::2",
                           "timeout: 0:00:00", "timeout: -5", "timeout: 1:2:3:4",
                           "timeout: 99999999999"}) {
    EXPECT_FALSE(ParseXScreenSaverTimeout(text).has_value()) << text;
  }
}

TEST(ScreenSaverTimeoutTest, ReadsGnomeIdleDelay) {
  EXPECT_EQ(ParseGnomeIdleDelay("uint32 300\n"), 300);
  EXPECT_EQ(ParseGnomeIdleDelay("600"), 600);
  EXPECT_FALSE(ParseGnomeIdleDelay("uint32 0").has_value());  // never
  EXPECT_FALSE(ParseGnomeIdleDelay("No such schema").has_value());
}

TEST(ScreenSaverTimeoutTest, TheUsersXScreenSaverFileComesFirst) {
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "emberlrn-home-test";
  std::filesystem::create_directories(home);
  std::ofstream(home / ".xscreensaver") << "timeout: 0:20:00\n";
  setenv("HOME", home.c_str(), 1);
  EXPECT_EQ(ReadScreenSaveTimeOut(), 1200);
  std::filesystem::remove_all(home);
}

TEST(LinuxSystemTest, ClassicCommandLinesMapToTheDesktopsSettingsPrograms) {
  unsetenv("XDG_CURRENT_DESKTOP");  // no desktop's programs come first
  auto power = LinuxSystem::ProgramsFor("rundll32.exe shell32.dll,Control_RunDLL powercfg.cpl,,1");
  ASSERT_FALSE(power.empty());
  EXPECT_EQ(power[0][0], "xfce4-power-manager-settings");
  auto display = LinuxSystem::ProgramsFor("rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,3");
  ASSERT_FALSE(display.empty());
  EXPECT_EQ(display[1], (std::vector<std::string>{"gnome-control-center", "display"}));
  EXPECT_TRUE(LinuxSystem::ProgramsFor("format c:").empty());
}

TEST(LinuxSystemTest, TheInstanceLockIsHeldOnceAndFreedWithTheProcess) {
  const std::filesystem::path runtime =
      std::filesystem::temp_directory_path() / "emberlrn-runtime-test";
  std::filesystem::create_directories(runtime);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  {
    LinuxSystem first;
    EXPECT_FALSE(first.AnotherInstanceRuns());
    LinuxSystem second;
    EXPECT_TRUE(second.AnotherInstanceRuns());
  }
  LinuxSystem third;  // the first one's lock went with it
  EXPECT_FALSE(third.AnotherInstanceRuns());
  std::filesystem::remove_all(runtime);
}

}  // namespace
}  // namespace emberlrn
