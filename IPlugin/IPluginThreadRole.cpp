#include "IPlugin/IPluginThreadRole.h"

#include <atomic>
#include <cstdlib>

namespace plugkit {

namespace {

// Initial-exec: in a dlopen'ed module a dynamic TLS variable is allocated on first use, which
// would be a heap allocation inside the host's first process call.
thread_local bool tIsAudioThread __attribute__((tls_model("initial-exec"))) = false;

void DefaultViolationHandler(const char*)
{
#ifndef NDEBUG
  std::abort();
#endif
}

std::atomic<ThreadRoleViolationHandler> sViolationHandler{&DefaultViolationHandler};

} // namespace

AudioThreadScope::AudioThreadScope()
  : mWasAudioThread(tIsAudioThread)
{
  tIsAudioThread = true;
}

AudioThreadScope::~AudioThreadScope() { tIsAudioThread = mWasAudioThread; }

bool IsAudioThread() { return tIsAudioThread; }

ThreadRoleViolationHandler SetThreadRoleViolationHandler(ThreadRoleViolationHandler handler)
{
  return sViolationHandler.exchange(handler ? handler : &DefaultViolationHandler);
}

void ReportThreadRoleViolation(const char* operation) { sViolationHandler.load()(operation); }

} // namespace plugkit
