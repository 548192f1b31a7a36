// The first step of a GL test: without an offscreen GL context it is skipped, or fails when
// VEMLOR_REQUIRE_GL=1 (scripts/test sets it), so that a machine whose GL broke cannot pass the
// screenshots by skipping them.
#pragma once

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

namespace vemlor::test {

inline bool glRequired()
{
  const char* value = std::getenv("VEMLOR_REQUIRE_GL");
  return value && std::strcmp(value, "1") == 0;
}

} // namespace vemlor::test

// In a test or its SetUp: returns from it, skipped or failed, when the context did not come up.
#define SKIP_OR_FAIL_WITHOUT_GL(gl)                                                                                    \
  do                                                                                                                   \
  {                                                                                                                    \
    if (!(gl).Ok())                                                                                                    \
    {                                                                                                                  \
      if (::vemlor::test::glRequired())                                                                                \
        FAIL() << "no surfaceless EGL context, and VEMLOR_REQUIRE_GL=1 requires one";                                  \
      GTEST_SKIP() << "no surfaceless EGL context";                                                                    \
    }                                                                                                                  \
  } while (0)
