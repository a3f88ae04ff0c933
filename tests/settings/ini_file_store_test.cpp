#include "settings/ini_file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/other_user.h"
#include "settings/file_calls.h"
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

TEST_F(IniFileStoreTest, ALastLineCutShortOfItsLineFeedKeepsItsValueThroughRewrites) {
  // The same whether the other lines break with CR LF or with LF alone.
  for (const char* text : {"[Settings]\r\nVol=0\r\n[Other]\r\nKeep=a\r\r",
                           "[Settings]\nVol=0\n[Other]\nKeep=a\r\r"}) {
    WriteRaw(text);
    IniFileStore store(file_);
    for (const char* vol : {"-1", "-2", "-3"}) {
      store.SaveSetting("emberlrn", "Settings", "Vol", vol);
      EXPECT_EQ(Get(store, "Other", "Keep"), "a\r") << text;
      EXPECT_EQ(Get(store, "Settings", "Vol"), vol);
    }
  }
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

TEST_F(IniFileStoreTest, AFolderThatCannotBeMadeIsToldAndNothingCrashes) {
  std::ofstream(dir_ / "blocker") << "a file where a folder should be";
  IniFileStore store(dir_ / "blocker" / "emberlrn" / "settings.ini");
  testing::internal::CaptureStderr();
  store.SaveSetting("emberlrn", "Settings", "Vol", "0");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot"), std::string::npos);
  EXPECT_EQ(store.GetSetting("emberlrn", "Settings", "Vol", "fb"), "0");  // kept for the run
}

// Reads the folder's file names other than the settings file and its lock.
std::vector<std::string> LeftOvers(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "settings.ini" && name != "settings.ini.lock") names.push_back(name);
  }
  return names;
}

// File calls that fail at one step of a write, as a full or broken disk does.
class FailingFileCalls final : public FileCalls {
 public:
  enum class Step { kNone, kMakeTemp, kWrite, kSync, kRename, kFullDiskHalfWay };
  Step failing = Step::kNone;

  int MakeTemp(char* pattern) override {
    return failing == Step::kMakeTemp ? Fail(EACCES) : FileCalls::MakeTemp(pattern);
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (failing == Step::kWrite) return Fail(EIO);
    if (failing == Step::kFullDiskHalfWay) {
      // Half the text goes in; the disk is full for the rest.
      if (size > 1 && !halfWritten_) {
        halfWritten_ = true;
        return FileCalls::Write(fd, data, size / 2);
      }
      return Fail(ENOSPC);
    }
    return FileCalls::Write(fd, data, size);
  }
  int Sync(int fd) override { return failing == Step::kSync ? Fail(EIO) : FileCalls::Sync(fd); }
  int Rename(const char* from, const char* to) override {
    return failing == Step::kRename ? Fail(EXDEV) : FileCalls::Rename(from, to);
  }
  void Reset() { halfWritten_ = false; }

 private:
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  bool halfWritten_ = false;
};

TEST_F(IniFileStoreTest, AWriteFailingAtAnyStepKeepsTheOldFileAndTheValueAndTellsOnce) {
  using Step = FailingFileCalls::Step;
  for (Step step :
       {Step::kMakeTemp, Step::kWrite, Step::kSync, Step::kRename, Step::kFullDiskHalfWay}) {
    SCOPED_TRACE(static_cast<int>(step));
    WriteRaw("[Settings]\nVol=-5\nMessage=" + std::string(5000, 'm') + "\n");
    const std::string before = ReadRaw();
    FailingFileCalls calls;
    IniFileStore store(file_, calls);
    calls.failing = step;
    testing::internal::CaptureStderr();
    store.SaveSetting("emberlrn", "Settings", "Vol", "-6");
    calls.Reset();
    store.SaveSetting("emberlrn", "xmas", "Bell1", "1");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadRaw(), before);
    EXPECT_TRUE(LeftOvers(file_.parent_path()).empty());
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("cannot write the settings file"), std::string::npos) << err;
    EXPECT_NE(err.find("kept in memory"), std::string::npos) << err;
    // The run goes on with what it chose, and the disk takes the next write.
    EXPECT_EQ(Get(store, "Settings", "Vol"), "-6");
    EXPECT_EQ(Get(store, "xmas", "Bell1"), "1");
    calls.failing = Step::kNone;
    store.SaveSetting("emberlrn", "Settings", "Vol", "-7");
    EXPECT_EQ(Get(IniFileStore(file_), "Settings", "Vol"), "-7");
  }
}

TEST_F(IniFileStoreTest, AFolderALoopOfLinksAPipeOrAHugeFileIsRefusedAndNeverReplaced) {
  fs::create_directories(file_.parent_path());
  const auto hugeFile = [&] {
    std::ofstream(file_) << "[Settings]\nVol=-1\n";
    fs::resize_file(file_, std::uintmax_t{100} << 20);  // sparse: no disk is spent
  };
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"folder", [&] { fs::create_directory(file_); }},
      {"loop", [&] { fs::create_symlink(file_.filename(), file_); }},
      {"pipe", [&] { ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0); }},
      {"100 MB", hugeFile},
  };
  for (const auto& [name, plant] : cases) {
    SCOPED_TRACE(name);
    fs::remove_all(file_);
    plant();
    const auto type = fs::symlink_status(file_).type();
    const auto size = fs::is_regular_file(fs::symlink_status(file_)) ? fs::file_size(file_) : 0;
    IniFileStore store(file_);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Get(store, "Settings", "Vol"), "<fallback>");
    store.SaveSetting("emberlrn", "Settings", "Vol", "0");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("cannot read the settings file"), std::string::npos) << err;
    EXPECT_EQ(Get(store, "Settings", "Vol"), "0");  // kept for the run
    EXPECT_EQ(fs::symlink_status(file_).type(), type);
    if (size) {
      EXPECT_EQ(fs::file_size(file_), size);
    }
  }
}

// Reads and writes a store in a folder the user may not write: the values of
// the run are kept in memory and standard error (fd 2) is told once.
int ReadOnlyFolderRun(const fs::path& file) {
  IniFileStore store(file);
  if (store.GetSetting("emberlrn", "Settings", "Vol", "") != "-5") return 1;
  store.SaveSetting("emberlrn", "Settings", "Vol", "-6");
  store.SaveSetting("emberlrn", "xmas", "Bell1", "1");
  if (store.GetSetting("emberlrn", "Settings", "Vol", "") != "-6") return 2;
  if (store.GetSetting("emberlrn", "xmas", "Bell1", "") != "1") return 3;
  return 0;
}

TEST_F(IniFileStoreTest, AReadOnlyFolderKeepsTheOldFileAndTheRunsValuesInMemory) {
  WriteRaw("[Settings]\nVol=-5\n");
  const fs::path folder = file_.parent_path();
  int err[2];
  ASSERT_EQ(pipe(err), 0);
  int status = -1;
  if (geteuid() != 0) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const int saved = dup(2);
    dup2(err[1], 2);
    status = ReadOnlyFolderRun(file_);
    dup2(saved, 2);
    close(saved);
    fs::permissions(folder, fs::perms::owner_all);
  } else {
    const auto user = OtherUser();
    if (!user) GTEST_SKIP() << kWhyNoOtherUser;
    // Ours, readable by all, writable by us alone.
    for (const fs::path& p : {dir_, folder}) fs::permissions(p, fs::perms(0755));
    fs::permissions(file_, fs::perms(0644));
    status = RunAsOtherUser(*user, [&] {
      dup2(err[1], 2);
      return ReadOnlyFolderRun(file_);
    });
  }
  close(err[1]);
  char text[4096] = {};
  const ssize_t n = read(err[0], text, sizeof text - 1);
  close(err[0]);
  const std::string told(text, n > 0 ? static_cast<size_t>(n) : 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
  EXPECT_NE(told.find("kept in memory"), std::string::npos) << told;
  EXPECT_EQ(ReadRaw(), "[Settings]\nVol=-5\n");
}

TEST_F(IniFileStoreTest, AWriterKilledAtAnyMomentLeavesEveryKeyOldOrNew) {
  constexpr int kKills = 1000;
  constexpr int kKeys = 6;
  const auto key = [](int k) { return "Key" + std::to_string(k); };
  std::vector<std::string> before(kKeys, "start");
  {
    IniFileStore store(file_);
    for (int k = 0; k < kKeys; ++k) store.SaveSetting("emberlrn", "Settings", key(k), "start");
  }
  std::mt19937 random(20);  // the same moments every run
  std::uniform_int_distribution<int> micros(0, 3000);
  for (int round = 0; round < kKills; ++round) {
    const std::string next = "round" + std::to_string(round);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      IniFileStore store(file_);
      for (;;) {
        for (int k = 0; k < kKeys; ++k) store.SaveSetting("emberlrn", "Settings", key(k), next);
      }
    }
    usleep(static_cast<useconds_t>(micros(random)));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const IniDocument doc = IniDocument::Parse(ReadRaw());
    for (int k = 0; k < kKeys; ++k) {
      const std::optional<std::string> value = doc.Get("Settings", key(k));
      ASSERT_TRUE(value && (*value == before[k] || *value == next))
          << "round " << round << ", " << key(k) << " = " << value.value_or("<lost>");
      before[k] = *value;
    }
  }
  // The next writer sweeps away the temporary files of killed ones.
  IniFileStore(file_).SaveSetting("emberlrn", "Settings", "Done", "1");
  EXPECT_TRUE(LeftOvers(file_.parent_path()).empty());
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
  EXPECT_TRUE(LeftOvers(file_.parent_path()).empty());
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
