#include "IPlugin/IPluginSpawn.h"

#include <algorithm>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace plugkit {

int SpawnWithoutShell(const char* program, const std::string& argument)
{
  static std::vector<pid_t> children;
  std::erase_if(children, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });

  char* const argv[] = {const_cast<char*>(program), const_cast<char*>(argument.c_str()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 34)
  // The host's own files (audio devices, sockets) stay with the host, not with a file browser.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  pid_t pid = -1;
  const int error = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0)
    return -1;
  children.push_back(pid);
  return pid;
}

} // namespace plugkit
