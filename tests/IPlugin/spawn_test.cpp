#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "IPlugin/IPluginSpawn.h"

namespace {

// Runs argv to its end and returns what it printed ("" when it did not start).
std::string OutputOf(const std::vector<std::string>& argv)
{
  plugkit::ChildProcess child;
  if (!child.Start(argv, true))
    return {};
  std::string out;
  for (;;)
  {
    pollfd fd{child.OutputFD(), POLLIN, 0};
    if (poll(&fd, 1, 10000) <= 0 || !child.ReadAvailable(out))
      break;
  }
  return out;
}

} // namespace

TEST(Spawn, ChildKeepsNoneOfOurDescriptorsBeyondTheStandardThree)
{
  // A descriptor opened the way a host might open its audio device: without close-on-exec.
  const std::filesystem::path probe =
    std::filesystem::temp_directory_path() / ("vemlor-inherit-probe-" + std::to_string(getpid()));
  const int fd = open(probe.c_str(), O_CREAT | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);

  const std::string listing = OutputOf({"ls", "-l", "/proc/self/fd"});
  close(fd);
  std::filesystem::remove(probe);

  ASSERT_NE(listing.find(" 0 -> "), std::string::npos) << listing;
  EXPECT_NE(listing.find(" 1 -> pipe:"), std::string::npos) << listing;
  EXPECT_EQ(listing.find(probe.filename().string()), std::string::npos) << listing;
}

TEST(Spawn, ProgramThatDoesNotExistIsReportedAsNotStarted)
{
  plugkit::ChildProcess child;
  EXPECT_FALSE(child.Start({"/nonexistent/program"}, true));
  EXPECT_NE(child.Error(), 0);
  EXPECT_FALSE(child.IsRunning());
}
