// Within its scope, new plug-in instances run as a user's do: their own random choices and the
// build's stamp, not the fixed ones every test program sets up (repeatable_run_environment.cpp).
#pragma once

#include <cstdlib>

namespace vemlor::test {

class UsersRun
{
public:
  UsersRun() { ::unsetenv("VEMLOR_REPEATABLE"); }
  ~UsersRun() { ::setenv("VEMLOR_REPEATABLE", "1", 1); }
  UsersRun(const UsersRun&) = delete;
  UsersRun& operator=(const UsersRun&) = delete;
};

} // namespace vemlor::test
