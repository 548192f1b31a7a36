// Sets a flag for the life of a scope.
#pragma once

namespace zarvo::morph {

// Restores a flag when the scope ends, also on an early return.
class FlagScope
{
public:
  explicit FlagScope(bool& flag)
    : mFlag(flag)
    , mWas(flag)
  {
    flag = true;
  }
  ~FlagScope() { mFlag = mWas; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

private:
  bool& mFlag;
  bool mWas;
};

} // namespace zarvo::morph
