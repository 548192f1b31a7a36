// The plug-in instances of these tests keep their preferences and default layout in a folder of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "tests/editor_tabs/tabs_session.h"

namespace vemlor::ui::test {

std::filesystem::path TabsDataHome()
{
  static const std::filesystem::path dir =
    std::filesystem::temp_directory_path() / ("vemlor_editor_tabs_tests_" + std::to_string(::getpid()));
  return dir;
}

namespace {

class TabsTestEnvironment : public testing::Environment
{
public:
  void SetUp() override
  {
    std::filesystem::create_directories(TabsDataHome());
    ::setenv("XDG_DATA_HOME", TabsDataHome().c_str(), 1);
  }
  void TearDown() override
  {
    std::error_code ec;
    std::filesystem::remove_all(TabsDataHome(), ec);
  }
};

testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new TabsTestEnvironment);

} // namespace
} // namespace vemlor::ui::test
