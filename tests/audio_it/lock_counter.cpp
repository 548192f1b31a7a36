#include "tests/audio_it/lock_counter.h"

#include <atomic>
#include <thread>

#include <dlfcn.h>
#include <pthread.h>

namespace vemlor::testhost {
namespace {

std::atomic<bool> gCounting{false};
std::atomic<bool> gEveryThread{false};
std::atomic<std::size_t> gLocks{0};
std::atomic<std::thread::id> gMainThread{};

void noteLock()
{
  if (gCounting.load(std::memory_order_relaxed) &&
      (gEveryThread.load(std::memory_order_relaxed) ||
       std::this_thread::get_id() != gMainThread.load(std::memory_order_relaxed)))
    gLocks.fetch_add(1, std::memory_order_relaxed);
}

// The C library's function of that name; resolved on first use without any lock of our own.
template <typename Fn>
Fn next(std::atomic<Fn>& slot, const char* name)
{
  Fn fn = slot.load(std::memory_order_acquire);
  if (!fn)
  {
    fn = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
    slot.store(fn, std::memory_order_release);
  }
  return fn;
}

using MutexFn = int (*)(pthread_mutex_t*);
using RwFn = int (*)(pthread_rwlock_t*);
using SpinFn = int (*)(pthread_spinlock_t*);
std::atomic<MutexFn> gMutexLock{nullptr};
std::atomic<MutexFn> gMutexTryLock{nullptr};
std::atomic<RwFn> gReadLock{nullptr};
std::atomic<RwFn> gWriteLock{nullptr};
std::atomic<SpinFn> gSpinLock{nullptr};

} // namespace

void beginCountingLocks(bool everyThread)
{
  gMainThread = std::this_thread::get_id();
  gLocks.store(0);
  gEveryThread.store(everyThread);
  gCounting.store(true);
}

std::size_t endCountingLocks()
{
  gCounting.store(false);
  return gLocks.load();
}

} // namespace vemlor::testhost

using namespace vemlor::testhost;

extern "C" {

int pthread_mutex_lock(pthread_mutex_t* m)
{
  noteLock();
  return next(gMutexLock, "pthread_mutex_lock")(m);
}

int pthread_mutex_trylock(pthread_mutex_t* m)
{
  noteLock();
  return next(gMutexTryLock, "pthread_mutex_trylock")(m);
}

int pthread_rwlock_rdlock(pthread_rwlock_t* l)
{
  noteLock();
  return next(gReadLock, "pthread_rwlock_rdlock")(l);
}

int pthread_rwlock_wrlock(pthread_rwlock_t* l)
{
  noteLock();
  return next(gWriteLock, "pthread_rwlock_wrlock")(l);
}

int pthread_spin_lock(pthread_spinlock_t* l)
{
  noteLock();
  return next(gSpinLock, "pthread_spin_lock")(l);
}

} // extern "C"
