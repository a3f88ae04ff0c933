#include "settings/ini_file_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace emberlrn {
namespace {

// Closes a file descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

IniFileStore::IniFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path IniFileStore::DefaultPath() {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = ".config";
  }
  return base / "emberlrn" / "settings.ini";
}

void IniFileStore::Complain(const std::string& message) const {
  if (complained_) return;
  complained_ = true;
  std::cerr << "emberlrn: " << message << '\n';
}

IniFileStore::ReadResult IniFileStore::ReadFile(std::string& bytes) const {
  bytes.clear();
  Fd fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return ReadResult::kMissing;
    Complain("cannot read settings file " + file_.string() + ": " + std::strerror(errno));
    return ReadResult::kFailed;
  }
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      Complain("cannot read settings file " + file_.string() + ": " + std::strerror(errno));
      return ReadResult::kFailed;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return ReadResult::kOk;
}

std::string IniFileStore::GetSetting(std::string_view /*app*/, std::string_view section,
                                     std::string_view key,
                                     std::string_view fallback) const {
  std::string bytes;
  if (ReadFile(bytes) != ReadResult::kOk) return std::string(fallback);
  if (auto value = IniDocument::Parse(bytes).Get(section, key)) return *value;
  return std::string(fallback);
}

void IniFileStore::SaveSetting(std::string_view /*app*/, std::string_view section,
                               std::string_view key, std::string_view value) {
  const std::filesystem::path folder = file_.parent_path();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);

  // The lock lives in its own file: the settings file itself is replaced by
  // every write, and a lock on a replaced file guards nothing.
  const std::filesystem::path lockPath = file_.string() + ".lock";
  Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.get() < 0) {
    Complain("cannot write settings file " + file_.string() + ": " + std::strerror(errno));
    return;
  }
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      Complain("cannot lock settings file " + file_.string() + ": " + std::strerror(errno));
      return;
    }
  }

  std::string bytes;
  if (ReadFile(bytes) == ReadResult::kFailed) return;  // never replace what we could not read
  IniDocument doc = IniDocument::Parse(bytes);
  doc.Set(section, key, value);
  const std::string text = doc.Serialize();

  mode_t mode = 0600;
  struct stat st {};
  if (::stat(file_.c_str(), &st) == 0) mode = st.st_mode & 07777;

  std::string tmpName = file_.string() + ".XXXXXX";
  Fd tmp(::mkstemp(tmpName.data()));
  if (tmp.get() < 0) {
    Complain("cannot write settings file " + file_.string() + ": " + std::strerror(errno));
    return;
  }
  ::fchmod(tmp.get(), mode);
  bool ok = WriteAll(tmp.get(), text) && ::fsync(tmp.get()) == 0;
  int savedErrno = errno;
  ok = (::close(tmp.release()) == 0) && ok;
  if (ok && ::rename(tmpName.c_str(), file_.c_str()) != 0) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok) {
    ::unlink(tmpName.c_str());
    Complain("cannot write settings file " + file_.string() + ": " + std::strerror(savedErrno));
    return;
  }
  // Make the rename itself durable.
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

}  // namespace emberlrn
