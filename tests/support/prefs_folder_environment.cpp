// The plug-in instances of a test program keep their preferences in a folder of its own, removed at
// the end, so no test reads or writes the user's.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

class PrefsFolderEnvironment : public testing::Environment
{
public:
  void SetUp() override
  {
    mDataHome = std::filesystem::temp_directory_path() /
                (std::string(program_invocation_short_name) + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(mDataHome);
    ::setenv("XDG_DATA_HOME", mDataHome.c_str(), 1);
  }
  void TearDown() override
  {
    std::error_code ec;
    std::filesystem::remove_all(mDataHome, ec);
  }

private:
  std::filesystem::path mDataHome;
};

testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new PrefsFolderEnvironment);

} // namespace
