// CPU time of every thread of this process, the GL driver's rasteriser threads included.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace vemlor::bench {

// Seconds of user and system time (utime + stime of each /proc/self/task/N/stat) summed over the
// threads alive now; a thread that ended takes its time with it, so measure with the threads running.
inline double allThreadsCpuSeconds()
{
  static const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
  unsigned long long ticks = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
  {
    std::ifstream in(task.path() / "stat");
    std::string line;
    if (!std::getline(in, line))
      continue;
    // The command name may hold spaces and parentheses: the fields after it start past the last ')'.
    const auto close = line.rfind(')');
    if (close == std::string::npos)
      continue;
    unsigned long long utime = 0, stime = 0;
    // From field 3 (state): utime and stime are the 12th and 13th.
    if (std::sscanf(line.c_str() + close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) == 2)
      ticks += utime + stime;
  }
  return static_cast<double>(ticks) / ticksPerSecond;
}

} // namespace vemlor::bench
