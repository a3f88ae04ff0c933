#include "settings/file_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace emberlrn {

int FileCalls::MakeTemp(char* pattern) { return ::mkostemp(pattern, O_CLOEXEC); }
ssize_t FileCalls::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int FileCalls::Sync(int fd) { return ::fsync(fd); }
int FileCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }

FileCalls& FileCalls::System() {
  static FileCalls calls;
  return calls;
}

}  // namespace emberlrn
