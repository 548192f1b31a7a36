// Runs a call that might wait forever (a read of a named pipe, say) in a child process that an alarm
// ends after a few seconds, so that a test of it fails instead of hanging.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace vemlor::test_support {

// The child's exit code (the call's result, 0 to 255), or -1 when the alarm or a signal ended it.
inline int exitCodeWithin(unsigned seconds, const std::function<int()>& call)
{
  const pid_t pid = ::fork();
  if (pid == 0)
  {
    ::alarm(seconds);
    ::_exit(call());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace vemlor::test_support
