// The Linux module entry points: the host enters the module after dlopen and exits it before dlclose.
#include "IPlugin/VST3/sdk/moduleentry.h"

#include "pluginterfaces/base/fplatform.h"

#include <mutex>

namespace {

std::mutex gEntryMutex;
int gEntryCount = 0;

} // namespace

extern "C" {

SMTG_EXPORT_SYMBOL bool ModuleEntry(void* /*sharedLibraryHandle*/)
{
  std::lock_guard<std::mutex> lock(gEntryMutex);
  if (++gEntryCount > 1)
    return true;
  if (InitModule())
    return true;
  // A failed first entry leaves the module as if never entered, so a later entry may retry.
  gEntryCount = 0;
  return false;
}

SMTG_EXPORT_SYMBOL bool ModuleExit()
{
  std::lock_guard<std::mutex> lock(gEntryMutex);
  if (gEntryCount == 0)
    return false;
  if (--gEntryCount > 0)
    return true;
  return DeinitModule();
}

} // extern "C"
