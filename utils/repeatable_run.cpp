#include "utils/repeatable_run.h"

#include <chrono>
#include <cstdlib>
#include <random>

namespace zarvo {

bool repeatableRun()
{
  const char* value = std::getenv("VEMLOR_REPEATABLE");
  return value && *value && *value != '0';
}

uint32_t freshInstanceSeed()
{
  if (repeatableRun())
    return 1;
  try
  {
    std::random_device device("/dev/urandom");
    return device();
  }
  catch (...)
  {
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
}

} // namespace zarvo
