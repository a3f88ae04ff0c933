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

// What the user is told after a read or a write that did not reach the file.
constexpr const char* kKeptInMemory = "the settings of this run are kept in memory";

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

bool WriteAll(FileCalls& calls, int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = calls.Write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// A temporary file of ours: the settings file's name, a dot and mkstemp's
// six characters.
bool IsTemporaryOf(const std::string& name, const std::string& file) {
  constexpr size_t kUniqueChars = 6;
  return name.size() == file.size() + 1 + kUniqueChars && name.compare(0, file.size(), file) == 0 &&
         name[file.size()] == '.';
}

}  // namespace

IniFileStore::IniFileStore(std::filesystem::path file, FileCalls& calls)
    : file_(std::move(file)), calls_(calls) {}

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
  const auto refuse = [this](const std::string& why) {
    Complain("cannot read the settings file " + file_.string() + " (" + why +
             "); it is left as it is and " + kKeptInMemory);
    return ReadResult::kFailed;
  };
  // Never blocking: a pipe in the file's place must not hang the saver.
  Fd fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return ReadResult::kMissing;
    return refuse(std::strerror(errno));
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return refuse(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return refuse(S_ISDIR(st.st_mode) ? "a folder" : "not a plain file");
  const std::string tooLarge =
      "larger than " + std::to_string(kLargestFile >> 20) + " MB, which no settings file is";
  if (static_cast<std::uintmax_t>(st.st_size) > kLargestFile) return refuse(tooLarge);
  // Read straight into the text: the size the file has and a byte more, to
  // see its end; a file that grows meanwhile is followed up to the limit.
  constexpr size_t kGrowth = 4096;
  bytes.resize(static_cast<size_t>(st.st_size) + 1);
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(got + kGrowth);
    const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return refuse(std::strerror(errno));
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
    if (got > kLargestFile) return refuse(tooLarge);  // it grew while we read
  }
  bytes.resize(got);
  return ReadResult::kOk;
}

std::string IniFileStore::GetSetting(std::string_view /*app*/, std::string_view section,
                                     std::string_view key, std::string_view fallback) const {
  if (auto value = kept_.Get(section, key)) return *value;
  std::string bytes;
  if (ReadFile(bytes) != ReadResult::kOk) return std::string(fallback);
  if (auto value = IniDocument::Find(bytes, section, key)) return *value;
  return std::string(fallback);
}

void IniFileStore::SaveSetting(std::string_view /*app*/, std::string_view section,
                               std::string_view key, std::string_view value) {
  const std::filesystem::path folder = file_.parent_path();
  // Told at most once: a reader that refused the file has already said why.
  const auto keep = [&](const std::string& why) {
    kept_.Set(section, key, value);
    if (!why.empty()) Complain(why + "; " + kKeptInMemory);
  };
  const std::string cannotWrite = "cannot write the settings file " + file_.string() + ": ";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);

  // The lock lives in its own file: the settings file itself is replaced by
  // every write, and a lock on a replaced file guards nothing.
  const std::filesystem::path lockPath = file_.string() + ".lock";
  Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (lock.get() < 0) return keep(cannotWrite + std::strerror(errno));
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR)
      return keep("cannot lock the settings file " + file_.string() + ": " + std::strerror(errno));
  }
  SweepLeftovers(folder);

  std::string bytes;
  // Never replace what we could not read; the reader has said why.
  if (ReadFile(bytes) == ReadResult::kFailed) return keep("");
  IniDocument doc = IniDocument::Parse(bytes);
  doc.Set(section, key, value);
  if (!Replace(doc.Serialize(), folder)) return keep("");
  kept_.Erase(section, key);
}

bool IniFileStore::Replace(const std::string& text, const std::filesystem::path& folder) {
  const auto fail = [this](int error) {
    Complain("cannot write the settings file " + file_.string() + ": " + std::strerror(error) +
             "; " + kKeptInMemory);
    return false;
  };
  mode_t mode = 0600;
  struct stat st {};
  if (::stat(file_.c_str(), &st) == 0) mode = st.st_mode & 07777;

  std::string tmpName = file_.string() + ".XXXXXX";
  Fd tmp(calls_.MakeTemp(tmpName.data()));
  if (tmp.get() < 0) return fail(errno);
  ::fchmod(tmp.get(), mode);
  bool ok = WriteAll(calls_, tmp.get(), text) && calls_.Sync(tmp.get()) == 0;
  int error = errno;
  if (::close(tmp.release()) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && calls_.Rename(tmpName.c_str(), file_.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(tmpName.c_str());
    return fail(error);
  }
  // Make the rename itself durable.
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

void IniFileStore::SweepLeftovers(const std::filesystem::path& folder) const {
  const std::string name = file_.filename().string();
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end;
       !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (IsTemporaryOf(it->path().filename().string(), name) && it->is_regular_file(ignored)) {
      std::filesystem::remove(it->path(), ignored);
    }
  }
}

}  // namespace emberlrn
