#pragma once
// Runs a piece of a test as a second, unprivileged user ("nobody"), in a
// child process, so that permissions and ownership bind as they do for an
// ordinary user. Only the superuser can become another user; a test that
// needs one skips when OtherUser() is empty.

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace emberlrn {

struct OtherUserIds {
  uid_t uid;
  gid_t gid;
};

inline constexpr char kWhyNoOtherUser[] =
    "needs the superuser to act as a second user (user \"nobody\")";

// The second user, when this process may become it.
inline std::optional<OtherUserIds> OtherUser() {
  if (::geteuid() != 0) return std::nullopt;
  const passwd* pw = ::getpwnam("nobody");
  if (!pw || pw->pw_uid == 0) return std::nullopt;
  return OtherUserIds{pw->pw_uid, pw->pw_gid};
}

// The exit status of body run as that user in a child process; -1 when the
// child could not become the user or did not exit by itself.
inline int RunAsOtherUser(const OtherUserIds& user, const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(user.gid, user.gid, user.gid) != 0 ||
        ::setresuid(user.uid, user.uid, user.uid) != 0) {
      ::_exit(125);
    }
    ::_exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 125 ? -1 : WEXITSTATUS(status);
}

}  // namespace emberlrn
