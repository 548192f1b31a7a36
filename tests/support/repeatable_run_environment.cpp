// Every test program runs the plug-in repeatably: a new instance starts from a fixed seed and the
// about box shows a fixed build stamp, so the screenshots the tests write are the same from run to run.
// A test of the random choices or the stamp themselves lifts it with users_run.h.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class RepeatableRunEnvironment : public testing::Environment
{
public:
  void SetUp() override { ::setenv("VEMLOR_REPEATABLE", "1", 1); }
};

testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new RepeatableRunEnvironment);

} // namespace
