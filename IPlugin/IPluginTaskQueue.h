// Work deferred to a later tick of the main thread (deferred editor work, dialog completions).
#pragma once

#include <functional>
#include <vector>

namespace plugkit {

// Main thread only. Tasks that must not outlive an object capture a liveness token (a weak_ptr) and
// check it when they run. Pending tasks are dropped, not run, when the queue is destroyed.
class MainThreadTaskQueue
{
public:
  using Task = std::function<void()>;

  void Post(Task task);
  // Runs, in posting order, the tasks posted before the call; those they post wait for the next
  // drain. Returns how many ran.
  int Drain();
  int NPending() const { return static_cast<int>(mPending.size()); }

private:
  std::vector<Task> mPending;
};

} // namespace plugkit
