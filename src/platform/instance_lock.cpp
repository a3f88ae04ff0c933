#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace emberlrn {

int OpenOwnLockFile(const std::string& path, std::string& why) {
  // Never blocking: a pipe planted under the name must not hang the start.
  const int fd =
      ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
  if (fd < 0) {
    why = errno == ELOOP ? "it is a link" : std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    why = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    why = "it is not a plain file";
  } else if (st.st_uid != ::geteuid()) {
    why = "it belongs to another user";
  } else if (st.st_nlink != 1) {
    why = "it has other names";
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

InstanceLock TakeInstanceLock(const std::vector<std::string>& paths) {
  InstanceLock lock;
  for (const std::string& path : paths) {
    std::string why;
    const int fd = OpenOwnLockFile(path, why);
    if (fd < 0) {
      std::cerr << "emberlrn: not using the instance lock " << path << ": " << why << '\n';
      continue;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      lock.fd = fd;
      return lock;
    }
    lock.anotherInstance = (errno == EWOULDBLOCK);
    ::close(fd);
    return lock;
  }
  return lock;
}

}  // namespace emberlrn
