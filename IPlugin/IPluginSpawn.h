// Starting a helper program (a file browser on a folder) from the plug-in, without a shell.
#pragma once

#include <string>

namespace plugkit {

// Starts a program with one argument, without a shell; the child's id, or -1. Finished children of
// earlier calls are reaped without waiting. Main thread.
int SpawnWithoutShell(const char* program, const std::string& argument);

} // namespace plugkit
