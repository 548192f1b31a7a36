// The plug-in instances of these tests keep their preferences in a folder of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

class EditorLayoutTestEnvironment : public testing::Environment
{
public:
  void SetUp() override
  {
    mDataHome = std::filesystem::temp_directory_path() / ("vemlor_editor_layout_tests_" + std::to_string(::getpid()));
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

testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new EditorLayoutTestEnvironment);

} // namespace
