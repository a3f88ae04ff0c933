#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/other_user.h"

namespace emberlrn {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A folder like /tmp: every user may make files in it, and only the owner
// of a file may remove it; beside it a folder of our own.
class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/emberlrn-lock-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::permissions(dir_, fs::perms(0755));
    shared_ = dir_ / "shared";
    fs::create_directory(shared_);
    fs::permissions(shared_, fs::perms(01777));
    own_ = dir_ / "own";
    fs::create_directory(own_);
    lockName_ = shared_ / "emberlrn.lock";
    fallback_ = own_ / "emberlrn.lock";
  }
  void TearDown() override {
    for (int fd : held_) close(fd);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // Takes the lock as the saver does, keeping it until the test ends.
  InstanceLock Take() {
    InstanceLock lock = TakeInstanceLock({lockName_.string(), fallback_.string()});
    if (lock.fd >= 0) held_.push_back(lock.fd);
    return lock;
  }
  // Takes it twice: the first run holds the lock, the second sees it held.
  void ExpectTheFallbackHeld(const std::string& why) {
    testing::internal::CaptureStderr();
    const InstanceLock first = Take();
    const InstanceLock second = Take();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_GE(first.fd, 0);
    EXPECT_FALSE(first.anotherInstance);
    EXPECT_TRUE(second.anotherInstance);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(fallback_)));
    EXPECT_NE(told.find(lockName_.string()), std::string::npos) << told;
    EXPECT_NE(told.find(why), std::string::npos) << told;
  }

  fs::path dir_, shared_, own_, lockName_, fallback_;
  std::vector<int> held_;
};

TEST_F(InstanceLockTest, OursIsAPrivatePlainFileAndASecondRunSeesItHeld) {
  const InstanceLock first = Take();
  ASSERT_GE(first.fd, 0);
  EXPECT_FALSE(first.anotherInstance);
  EXPECT_TRUE(Take().anotherInstance);
  EXPECT_EQ(fs::status(lockName_).permissions(), fs::perms(0600));
  EXPECT_FALSE(fs::exists(fallback_));
}

TEST_F(InstanceLockTest, ALinkOrAPipeUnderTheNameIsNeitherFollowedNorWaitedOn) {
  fs::create_symlink(dir_ / "made-by-the-link", lockName_);
  ExpectTheFallbackHeld("it is a link");
  EXPECT_FALSE(fs::exists(dir_ / "made-by-the-link"));
  fs::remove(fallback_);
  fs::remove(lockName_);
  for (int fd : held_) close(fd);
  held_.clear();
  ASSERT_EQ(mkfifo(lockName_.c_str(), 0600), 0);
  ExpectTheFallbackHeld("not a plain file");
}

TEST_F(InstanceLockTest, AFileOrLinkPlantedByAnotherUserIsLeftAloneAndTheRunGoesOn) {
  const auto user = OtherUser();
  if (!user) GTEST_SKIP() << kWhyNoOtherUser;
  const fs::path victim = own_ / "precious";
  std::ofstream(victim) << "precious";
  ASSERT_EQ(RunAsOtherUser(*user, [&] { return (std::ofstream(lockName_) << "planted") ? 0 : 1; }),
            0);
  // Opening another user's file in a sticky folder may be refused outright
  // (fs.protected_regular); either way it is not taken as ours.
  testing::internal::CaptureStderr();
  const InstanceLock lock = Take();
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_GE(lock.fd, 0);
  EXPECT_FALSE(lock.anotherInstance);
  EXPECT_NE(told.find(lockName_.string()), std::string::npos) << told;
  EXPECT_EQ(Contents(lockName_), "planted");

  fs::remove(lockName_);
  ASSERT_EQ(RunAsOtherUser(*user, [&] { return symlink(victim.c_str(), lockName_.c_str()); }), 0);
  fs::remove(fallback_);
  for (int fd : held_) close(fd);
  held_.clear();
  ExpectTheFallbackHeld("");  // refused as a link, or outright as another user's
  EXPECT_EQ(Contents(victim), "precious");
}

}  // namespace
}  // namespace emberlrn
