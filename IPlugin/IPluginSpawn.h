// Helper programs (choosers, file browsers, the URL opener) started from the plug-in without a
// shell. The one place the framework starts processes: the child gets none of the host's open
// descriptors beyond its standard three.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace plugkit {

// Main thread. Never waits for the program: a child that has not exited when its owner lets go is
// reaped later by ReapFinished().
class ChildProcess
{
public:
  ChildProcess() = default;
  ~ChildProcess() { Release(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] found on PATH with argv as its arguments, standard input and error on /dev/null,
  // and standard output to a non-blocking pipe when captureOutput. Every other descriptor of this
  // process is closed in the child. False (errno-style code in Error()) when it could not be started.
  bool Start(const std::vector<std::string>& argv, bool captureOutput);
  bool IsRunning() const { return mPid > 0; }
  pid_t Pid() const { return mPid; }
  int Error() const { return mError; }
  // The read end of the output pipe, -1 without one.
  int OutputFD() const { return mOutput; }

  // Appends what the pipe holds now; false once the program closed its output (or on a read error).
  bool ReadAvailable(std::string& into);

  // Reaps the program if it has exited, without waiting: -1 while it runs, else its exit status
  // (128 + signal when killed), also on later calls.
  int TryWait();
  // Closes the pipe and reaps the program if it has exited; -1 while it still runs (it will be
  // reaped later), else its exit status.
  int Release();
  // Asks a running program to end (SIGTERM), then releases it.
  void Terminate();

  // Reaps programs released while still running; returns how many remain.
  static int ReapFinished();

private:
  pid_t mPid = -1;
  int mOutput = -1;
  int mError = 0;
  int mExitStatus = -1;
};

// Starts a program with one argument and lets it run on by itself; the child's id, or -1.
int SpawnWithoutShell(const char* program, const std::string& argument);

} // namespace plugkit
