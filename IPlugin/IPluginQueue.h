// A lock-free single-producer single-consumer ring of fixed capacity that never allocates after construction.
#pragma once

#include <array>
#include <atomic>

namespace plugkit {

// Holds at most N entries in N + 1 cells. Exactly one thread pushes and exactly one thread pops;
// which threads those are is the owner's contract (e.g. audio thread pushes, main thread pops).
template <typename T, int N>
class IPluginQueue
{
  static_assert(N > 0, "a queue holds at least one entry");

public:
  static constexpr int kCapacity = N;

  // Producer thread. False (and the entry dropped) when the queue is full.
  bool Push(const T& item)
  {
    const int w = mWriteIndex.load(std::memory_order_relaxed);
    const int next = Next(w);
    if (next == mReadIndex.load(std::memory_order_acquire))
      return false;
    mCells[w] = item;
    mWriteIndex.store(next, std::memory_order_release);
    return true;
  }

  // Consumer thread. False when nothing waits.
  bool Pop(T& item)
  {
    const int r = mReadIndex.load(std::memory_order_relaxed);
    if (r == mWriteIndex.load(std::memory_order_acquire))
      return false;
    item = mCells[r];
    mReadIndex.store(Next(r), std::memory_order_release);
    return true;
  }

  // Any thread. While the other side runs it is a lower bound for the consumer and an upper bound
  // for the producer.
  int ElementsAvailable() const
  {
    const int n = mWriteIndex.load(std::memory_order_acquire) - mReadIndex.load(std::memory_order_acquire);
    return n < 0 ? n + N + 1 : n;
  }

private:
  static int Next(int i) { return i == N ? 0 : i + 1; }

  // The indices sit on their own cache lines so the two threads do not contend for one.
  alignas(64) std::atomic<int> mWriteIndex{0};
  alignas(64) std::atomic<int> mReadIndex{0};
  alignas(64) std::array<T, N + 1> mCells{};
};

} // namespace plugkit
