#include "start/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_system.h"
#include "start/module1.h"

namespace emberlrn {
namespace {

// Records which mode ran.
class RecordingHost final : public ModeHost {
 public:
  int RunFullScreen() override { return Record("full screen"); }
  int RunPreview(int32_t parent) override { return Record("preview " + std::to_string(parent)); }
  int RunSettings() override { return Record("settings"); }
  int RunPassword() override { return Record("password"); }
  std::vector<std::string> ran;

 private:
  int Record(std::string what) {
    ran.push_back(std::move(what));
    return 0;
  }
};

std::string RunLine(const std::string& line, FakeSystem& system) {
  RecordingHost host;
  EXPECT_EQ(Main(line, host, system), 0);
  EXPECT_LE(host.ran.size(), 1u);
  return host.ran.empty() ? "nothing" : host.ran.front();
}

std::string RunLine(const std::string& line) {
  FakeSystem system;
  return RunLine(line, system);
}

TEST(CommandLineTest, TheModeKeyIsTheFirstTwoCharactersTrimmedAndFolded) {
  EXPECT_EQ(ModeKey(CommandText("  /S  ")), "/s");
  EXPECT_EQ(ModeKey(CommandText("/s:123")), "/s");
  EXPECT_EQ(ModeKey(CommandText("/P 1234")), "/p");
  EXPECT_EQ(ModeKey(CommandText("")), "");
  EXPECT_EQ(ModeKey(CommandText("x")), "x");
  EXPECT_EQ(CommandText("\t/C:99 \t"), "/c:99");
}

TEST(CommandLineTest, EachLineSelectsItsMode) {
  EXPECT_EQ(RunLine("/s"), "full screen");
  EXPECT_EQ(RunLine("/S"), "full screen");
  EXPECT_EQ(RunLine("   /s   "), "full screen");
  EXPECT_EQ(RunLine("/s:123"), "full screen");
  EXPECT_EQ(RunLine(""), "full screen");
  EXPECT_EQ(RunLine("/c"), "settings");
  EXPECT_EQ(RunLine("/c:1234"), "settings");
  EXPECT_EQ(RunLine("/a 1234"), "password");
  EXPECT_EQ(RunLine("/A"), "password");
  for (const char* ignored : {"-s", "s", "/x", "/", "--", "/ s"}) {
    EXPECT_EQ(RunLine(ignored), "nothing") << ignored;
  }
}

TEST(CommandLineTest, PreviewFindsTheWindowInTheFirstNumericTail) {
  EXPECT_EQ(RunLine("/p 1234"), "preview 1234");
  EXPECT_EQ(RunLine("/P:1234"), "preview 1234");
  EXPECT_EQ(RunLine("/p1234"), "preview 1234");
  EXPECT_EQ(RunLine("/p"), "preview 0");
  EXPECT_EQ(RunLine("/p window"), "preview 0");
  EXPECT_EQ(RunLine("/p 12.5"), "preview 12");   // rounded half to even
  EXPECT_EQ(RunLine("/p 13.5"), "preview 14");
  EXPECT_EQ(RunLine("/p -7"), "preview -7");
  EXPECT_EQ(RunLine("/p 99999999999"), "preview 0");  // does not fit 32 bits
  EXPECT_EQ(PreviewHandle("/p 0x1e"), 0);  // "0x1e" is no number, "x1e" neither, "1e" neither
  EXPECT_EQ(PreviewHandle("/p 12ab"), 0);
}

TEST(CommandLineTest, ASecondFullScreenRunEndsAtOnceUnlessDisplayPropertiesIsOpen) {
  FakeSystem system;
  system.anotherInstance = true;
  EXPECT_EQ(RunLine("/s", system), "nothing");
  EXPECT_EQ(RunLine("/S:5", system), "nothing");
  EXPECT_EQ(RunLine("", system), "full screen");  // the rule does not apply to an empty line
  EXPECT_EQ(RunLine("/c", system), "settings");
  EXPECT_EQ(RunLine("/p 5", system), "preview 5");

  system.openWindows = {"Display Properties"};
  EXPECT_EQ(RunLine("/s", system), "full screen");
}

TEST(CommandLineTest, OnlyFullScreenRunsTakeTheInstanceLock) {
  FakeSystem system;
  RunLine("/c", system);
  RunLine("/p 3", system);
  RunLine("/a", system);
  RunLine("-s", system);
  EXPECT_EQ(std::count(system.calls.begin(), system.calls.end(), "AnotherInstanceRuns"), 0);
  RunLine("/s", system);
  RunLine("", system);
  EXPECT_EQ(std::count(system.calls.begin(), system.calls.end(), "AnotherInstanceRuns"), 2);
}

TEST(PasswordModeTest, SaysTheLoginPasswordIsUsedAndStoresNothing) {
  FakeSystem system;
  EXPECT_EQ(PasswordMode(system), 0);
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].icon, MessageIcon::kInformation);
  EXPECT_NE(system.messages[0].text.find("login password"), std::string::npos);
}

}  // namespace
}  // namespace emberlrn
