#include "settings/ini_file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/ini_document.h"

namespace emberlrn {
namespace {

namespace fs = std::filesystem;

class IniFileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/emberlrn-store-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    file_ = dir_ / "emberlrn" / "settings.ini";
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  void WriteRaw(const std::string& bytes) {
    fs::create_directories(file_.parent_path());
    std::ofstream(file_, std::ios::binary) << bytes;
  }
  std::string ReadRaw() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Get(const IniFileStore& store, const char* section, const char* key) {
    return store.GetSetting("emberlrn", section, key, "<fallback>");
  }

  fs::path dir_;
  fs::path file_;
};

TEST_F(IniFileStoreTest, CreatesTheFolderAndFileAndReadsBackWithoutRegardToCase) {
  IniFileStore store(file_);
  EXPECT_EQ(Get(store, "Settings", "Monitor"), "<fallback>");
  store.SaveSetting("emberlrn", "Settings", "Monitor", "10 Minutes");
  EXPECT_TRUE(fs::exists(file_));
  EXPECT_EQ(Get(store, "settings", "monitor"), "10 Minutes");
  EXPECT_EQ(Get(store, "SETTINGS", "MONITOR"), "10 Minutes");
  EXPECT_EQ(ReadRaw(), "[Settings]\nMonitor=10 Minutes\n");
}

TEST_F(IniFileStoreTest, ARewriteKeepsOneEntryAndTheSectionsApart) {
  IniFileStore store(file_);
  store.SaveSetting("emberlrn", "Settings", "SoundOn", "1");
  store.SaveSetting("emberlrn", "xmas", "SoundOn", "False");
  store.SaveSetting("emberlrn", "settings", "soundon", "0");
  EXPECT_EQ(Get(store, "Settings", "SoundOn"), "0");
  EXPECT_EQ(Get(store, "xmas", "SoundOn"), "False");
  EXPECT_EQ(ReadRaw(), "[Settings]\nSoundOn=0\n[xmas]\nSoundOn=False\n");
}

TEST_F(IniFileStoreTest, ValuesAreKeptVerbatim) {
  IniFileStore store(file_);
  const std::string tricky = " a=b==c [not a section] ; not a comment ";
  const std::string accents = "Joyeux Noël — Frohe Weihnachten ☃";
  store.SaveSetting("emberlrn", "Settings", "Message", tricky);
  store.SaveSetting("emberlrn", "Settings", "Other", accents);
  store.SaveSetting("emberlrn", "Settings", "Empty", "");
  IniFileStore reread(file_);
  EXPECT_EQ(Get(reread, "Settings", "Message"), tricky);
  EXPECT_EQ(Get(reread, "Settings", "Other"), accents);
  EXPECT_EQ(Get(reread, "Settings", "Empty"), "");
}

TEST_F(IniFileStoreTest, ALineBreakInAValueNeverSplitsTheFile) {
  IniFileStore store(file_);
  store.SaveSetting("emberlrn", "Settings", "Message", "one\n[xmas]\nSoundOn=True\rtwo");
  EXPECT_EQ(Get(store, "Settings", "Message"), "one [xmas] SoundOn=True two");
  EXPECT_EQ(Get(store, "xmas", "SoundOn"), "<fallback>");
}

TEST_F(IniFileStoreTest, UnknownLinesJunkAndCrLfSurviveARewrite) {
  static constexpr char kJunk[] = "\x01\x02\xff\xfe binary\0junk";
  const std::string junk(kJunk, sizeof kJunk - 1);
  WriteRaw("; written by hand\r\n[Settings]\r\nno equals sign here\r\n" + junk +
           "\r\nVol=-100\r\n[Unknown Section]\r\nKeep=me\r\n");
  IniFileStore store(file_);
  EXPECT_EQ(Get(store, "Settings", "Vol"), "-100");
  store.SaveSetting("emberlrn", "Settings", "Vol", "-200");
  store.SaveSetting("emberlrn", "xmas", "Bell1", "1");
  const std::string text = ReadRaw();
  EXPECT_NE(text.find("; written by hand\r\n"), std::string::npos);
  EXPECT_NE(text.find("no equals sign here\r\n"), std::string::npos);
  EXPECT_NE(text.find(junk), std::string::npos);
  EXPECT_NE(text.find("Vol=-200\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Unknown Section]\r\nKeep=me\r\n"), std::string::npos);
  EXPECT_EQ(Get(store, "xmas", "Bell1"), "1");
  EXPECT_EQ(Get(store, "Unknown Section", "Keep"), "me");
}

TEST_F(IniFileStoreTest, KeysBeforeAnySectionAndAVeryLongLineAreHarmless) {
  const std::string longLine(1 << 20, 'x');
  WriteRaw("Orphan=1\n" + longLine + "\n[Settings]\nMessage=" + longLine + "\n");
  IniFileStore store(file_);
  EXPECT_EQ(Get(store, "Settings", "Orphan"), "<fallback>");
  EXPECT_EQ(Get(store, "Settings", "Message"), longLine);
  store.SaveSetting("emberlrn", "Settings", "ShowMsg", "1");
  EXPECT_EQ(Get(store, "Settings", "Message"), longLine);
  EXPECT_NE(ReadRaw().find("Orphan=1\n"), std::string::npos);
}

TEST_F(IniFileStoreTest, ADuplicatedSectionOrKeyReadsTheFirstAndARewriteLeavesOne) {
  WriteRaw("[Settings]\nVol=-1\n[xmas]\nBell1=1\n[SETTINGS]\nVol=-2\nPower=1\n");
  IniFileStore store(file_);
  EXPECT_EQ(Get(store, "Settings", "Vol"), "-1");
  EXPECT_EQ(Get(store, "Settings", "Power"), "1");  // found in the second copy
  store.SaveSetting("emberlrn", "Settings", "Vol", "-3");
  const std::string text = ReadRaw();
  EXPECT_NE(text.find("Vol=-3"), std::string::npos);
  EXPECT_EQ(text.find("Vol=-2"), std::string::npos);
  EXPECT_EQ(Get(store, "Settings", "Power"), "1");
}

TEST_F(IniFileStoreTest, AFileThatCannotBeReadIsNeverReplaced) {
  fs::create_directories(file_);  // a folder where the file should be
  IniFileStore store(file_);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Get(store, "Settings", "Vol"), "<fallback>");
  store.SaveSetting("emberlrn", "Settings", "Vol", "0");
  store.SaveSetting("emberlrn", "Settings", "Vol", "1");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(fs::is_directory(file_));
  EXPECT_NE(err.find("settings file"), std::string::npos);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "told once: " << err;
}

TEST_F(IniFileStoreTest, AFolderThatCannotBeMadeIsToldAndNothingCrashes) {
  std::ofstream(dir_ / "blocker") << "a file where a folder should be";
  IniFileStore store(dir_ / "blocker" / "emberlrn" / "settings.ini");
  testing::internal::CaptureStderr();
  store.SaveSetting("emberlrn", "Settings", "Vol", "0");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot"), std::string::npos);
  EXPECT_EQ(store.GetSetting("emberlrn", "Settings", "Vol", "fb"), "fb");
}

TEST_F(IniFileStoreTest, AReadOnlyFolderKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  IniFileStore store(file_);
  store.SaveSetting("emberlrn", "Settings", "Vol", "-5");
  fs::permissions(file_.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
  testing::internal::CaptureStderr();
  store.SaveSetting("emberlrn", "Settings", "Vol", "-6");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot"), std::string::npos);
  EXPECT_EQ(Get(store, "Settings", "Vol"), "-5");
  fs::permissions(file_.parent_path(), fs::perms::owner_all);
}

TEST_F(IniFileStoreTest, TwoProcessesWritingAThousandKeysEachLoseNone) {
  constexpr int kWrites = 1000;
  auto writer = [&](const char* prefix) {
    IniFileStore store(file_);
    for (int i = 0; i < kWrites; ++i) {
      store.SaveSetting("emberlrn", "Settings", prefix + std::to_string(i), std::to_string(i));
    }
  };
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    writer("Child");
    _exit(0);
  }
  writer("Parent");
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  IniDocument doc = IniDocument::Parse(ReadRaw());
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(doc.Get("Settings", "Child" + std::to_string(i)), std::to_string(i));
    EXPECT_EQ(doc.Get("Settings", "Parent" + std::to_string(i)), std::to_string(i));
  }
  for (const auto& entry : fs::directory_iterator(file_.parent_path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "settings.ini" || name == "settings.ini.lock") << "left behind: " << name;
  }
}

TEST(IniFileStorePathTest, FollowsXdgConfigHomeThenHome) {
  setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
  EXPECT_EQ(IniFileStore::DefaultPath(), fs::path("/somewhere/config/emberlrn/settings.ini"));
  setenv("XDG_CONFIG_HOME", "", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(IniFileStore::DefaultPath(), fs::path("/home/someone/.config/emberlrn/settings.ini"));
}

}  // namespace
}  // namespace emberlrn
