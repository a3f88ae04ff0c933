#pragma once
// The system calls by which the store writes its file, one by one, so that a
// test can make each of them fail in turn. The store makes the real calls
// unless it is given others.

#include <sys/types.h>

#include <cstddef>

namespace emberlrn {

class FileCalls {
 public:
  virtual ~FileCalls() = default;
  // Each answers as the system call of its name does: -1 with errno set on
  // failure. MakeTemp makes and opens a new file from a mkstemp pattern.
  virtual int MakeTemp(char* pattern);
  virtual ssize_t Write(int fd, const void* data, size_t size);
  virtual int Sync(int fd);
  virtual int Rename(const char* from, const char* to);

  // The real calls.
  static FileCalls& System();
};

}  // namespace emberlrn
