#include "IPlugin/IPluginRunLoop.h"

#include <algorithm>

#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

bool ManualRunLoop::RegisterTimer(ITimerHandler* handler, uint32_t intervalMs)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!handler)
    return false;
  // A zero interval would fire without end inside one advance.
  intervalMs = std::max<uint32_t>(intervalMs, 1);
  for (Entry& entry : mEntries)
    if (entry.active && entry.handler == handler)
    {
      entry.intervalMs = intervalMs;
      return true;
    }
  mEntries.push_back({handler, intervalMs, mNowMs + intervalMs, true});
  return true;
}

void ManualRunLoop::UnregisterTimer(ITimerHandler* handler)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // Marked, not erased: Advance may be walking the list when a handler unregisters.
  for (Entry& entry : mEntries)
    if (entry.handler == handler)
      entry.active = false;
}

void ManualRunLoop::Advance(uint64_t ms)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const uint64_t target = mNowMs + ms;
  for (;;)
  {
    // Index, not iterator: a firing handler may register more timers.
    size_t next = mEntries.size();
    for (size_t i = 0; i < mEntries.size(); ++i)
      if (mEntries[i].active && mEntries[i].dueMs <= target &&
          (next == mEntries.size() || mEntries[i].dueMs < mEntries[next].dueMs))
        next = i;
    if (next == mEntries.size())
      break;

    Entry& entry = mEntries[next];
    mNowMs = std::max(mNowMs, entry.dueMs);
    entry.dueMs += entry.intervalMs;
    entry.handler->OnTimer();
  }
  mNowMs = target;
  std::erase_if(mEntries, [](const Entry& entry) { return !entry.active; });
}

int ManualRunLoop::NTimers() const
{
  return static_cast<int>(std::count_if(mEntries.begin(), mEntries.end(), [](const Entry& e) { return e.active; }));
}

} // namespace plugkit
