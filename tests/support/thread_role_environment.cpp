// Makes every thread-role violation in a test program a test failure, whatever the build type.
#include <gtest/gtest.h>

#include "IPlugin/IPluginThreadRole.h"

namespace {

void failOnViolation(const char* operation) { ADD_FAILURE() << operation << " called on the wrong thread"; }

class ThreadRoleEnvironment : public testing::Environment
{
public:
  void SetUp() override { plugkit::SetThreadRoleViolationHandler(&failOnViolation); }
  void TearDown() override { plugkit::SetThreadRoleViolationHandler(nullptr); }
};

testing::Environment* const kThreadRoles = testing::AddGlobalTestEnvironment(new ThreadRoleEnvironment);

} // namespace
