#pragma once
// Permission tests need a process that permissions apply to: root may write anywhere. These run a
// check in a child process that, when the tests run as root, first becomes "nobody".
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace kyx::test {

inline constexpr uid_t kNobody = 65534;

// Makes `path` belong to the user the child runs as (a no-op when the tests are not root).
inline void give_to_child(const std::string& path) {
  if (::geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) != 0) {
    // the check that follows then fails visibly
  }
}

// The child's verdict: 0 when `body` returned true, 1 when false, 2 when dropping root failed.
inline int run_unprivileged(const std::function<bool()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(2);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 3;
  return WEXITSTATUS(status);
}

}  // namespace kyx::test
