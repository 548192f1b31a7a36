#include "IPlugin/IPluginTaskQueue.h"

#include <utility>

#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

void MainThreadTaskQueue::Post(Task task)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (task)
    mPending.push_back(std::move(task));
}

int MainThreadTaskQueue::Drain()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  std::vector<Task> due;
  due.swap(mPending);
  for (Task& task : due)
    task();
  return static_cast<int>(due.size());
}

} // namespace plugkit
