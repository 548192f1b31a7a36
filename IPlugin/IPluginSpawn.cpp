#include "IPlugin/IPluginSpawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern char** environ;

namespace plugkit {

namespace {

std::vector<pid_t>& Unreaped()
{
  static std::vector<pid_t> pids;
  return pids;
}

// -1 while running, else the exit status.
int TryReap(pid_t pid)
{
  int status = 0;
  const pid_t r = waitpid(pid, &status, WNOHANG);
  if (r == 0)
    return -1;
  if (r < 0)
    return 127; // not our child any more (someone else reaped it)
  if (WIFEXITED(status))
    return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 127;
}

} // namespace

bool ChildProcess::Start(const std::vector<std::string>& argv, bool captureOutput)
{
  Release();
  mError = 0;
  mExitStatus = -1;
  if (argv.empty())
  {
    mError = EINVAL;
    return false;
  }
  int pipeFds[2] = {-1, -1};
  if (captureOutput && pipe2(pipeFds, O_CLOEXEC) != 0)
  {
    mError = errno;
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (captureOutput)
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  // The host's descriptors (audio devices, sockets, its X connection) are not the helper's: one
  // that outlives the host, like a browser, would otherwise hold them after the host quits. Closing
  // a range in the child is the only way that also covers descriptors opened without CLOEXEC.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  // The host's signal dispositions and mask are not the helper's business.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGCHLD);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int result = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (captureOutput)
    close(pipeFds[1]);
  if (result != 0)
  {
    if (captureOutput)
      close(pipeFds[0]);
    mError = result;
    return false;
  }
  mPid = pid;
  if (captureOutput)
  {
    mOutput = pipeFds[0];
    fcntl(mOutput, F_SETFL, fcntl(mOutput, F_GETFL) | O_NONBLOCK);
  }
  return true;
}

bool ChildProcess::ReadAvailable(std::string& into)
{
  if (mOutput < 0)
    return false;
  char buffer[4096];
  for (;;)
  {
    const ssize_t n = read(mOutput, buffer, sizeof(buffer));
    if (n > 0)
    {
      into.append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR)
      continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

int ChildProcess::TryWait()
{
  if (mPid > 0)
  {
    mExitStatus = TryReap(mPid);
    if (mExitStatus >= 0)
      mPid = -1;
  }
  return mExitStatus;
}

int ChildProcess::Release()
{
  if (mOutput >= 0)
    close(mOutput);
  mOutput = -1;
  if (mPid <= 0)
    return mExitStatus;
  const int status = TryReap(mPid);
  if (status < 0)
    Unreaped().push_back(mPid);
  mPid = -1;
  ReapFinished();
  return status;
}

void ChildProcess::Terminate()
{
  if (mPid > 0)
    kill(mPid, SIGTERM);
  Release();
}

int ChildProcess::ReapFinished()
{
  auto& pids = Unreaped();
  pids.erase(std::remove_if(pids.begin(), pids.end(), [](pid_t pid) { return TryReap(pid) >= 0; }), pids.end());
  return static_cast<int>(pids.size());
}

int SpawnWithoutShell(const char* program, const std::string& argument)
{
  ChildProcess process;
  if (!process.Start({program ? program : "", argument}, false))
    return -1;
  const pid_t pid = process.Pid();
  return pid; // the process runs on; Release() in the destructor leaves it to ReapFinished
}

} // namespace plugkit
