#pragma once
// The single-instance lock: an flock on a file of this user's, held for the
// life of the process (the kernel frees it when the holder dies, so a crash
// never blocks the next start). In a folder every user may write, such as
// /tmp, another user can plant a file or a link under the lock's name first;
// such a file is never followed, written or taken as ours.

#include <string>
#include <vector>

namespace emberlrn {

// Opens path as this user's lock file, making it when missing: a link is not
// followed, and anything but a plain file owned by this user with one name
// is refused. The open descriptor, or -1 with why told.
int OpenOwnLockFile(const std::string& path, std::string& why);

struct InstanceLock {
  int fd = -1;                   // held lock, or -1
  bool anotherInstance = false;  // another process of ours holds it
};

// Takes the lock in the first of paths whose file is ours; a refused one is
// told on standard error and the next tried. When none can be had, the run
// goes on as the only one.
InstanceLock TakeInstanceLock(const std::vector<std::string>& paths);

}  // namespace emberlrn
