// The queue of MIDI messages a plug-in sends to the host within a block, kept sorted by sample offset.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <new>

namespace plugkit {

// T has an mOffset sample offset. Audio thread, except Resize (main thread, while no block runs).
// The capacity is fixed between set-ups: a message that finds the queue full is dropped and counted,
// so adding never allocates.
template <typename T>
class IMidiQueueBase
{
public:
  static constexpr int kGranularity = 512; // messages; 4096 bytes of 8-byte messages

  explicit IMidiQueueBase(int size = kGranularity) { Resize(size); }

  // Sorted insertion: a message goes after every queued message whose offset is not above its own,
  // so messages of equal offset keep the order they were added in. False when the message was dropped.
  bool Add(const T& msg)
  {
    if (mBack >= mCapacity)
      Compact();
    if (mBack >= mCapacity)
    {
      mDropped.fetch_add(1, std::memory_order_relaxed);
      return false;
    }
    int pos = mBack;
    if (mBack > mFront && msg.mOffset < mBuf[mBack - 1].mOffset)
    {
      pos = mBack - 1;
      while (pos > mFront && mBuf[pos - 1].mOffset > msg.mOffset)
        --pos;
      std::move_backward(mBuf.get() + pos, mBuf.get() + mBack, mBuf.get() + mBack + 1);
    }
    mBuf[pos] = msg;
    ++mBack;
    return true;
  }

  void Remove()
  {
    if (mFront < mBack)
      ++mFront;
  }
  const T& Peek() const { return mBuf[mFront]; }
  bool Empty() const { return mFront == mBack; }
  int ToDo() const { return mBack - mFront; }
  int GetSize() const { return mCapacity; }
  // Any thread: messages dropped for want of room since construction.
  uint64_t DroppedCount() const { return mDropped.load(std::memory_order_relaxed); }
  void Clear() { mFront = mBack = 0; }

  // Moves the queued messages to the start of the buffer.
  void Compact()
  {
    if (mFront == 0)
      return;
    std::move(mBuf.get() + mFront, mBuf.get() + mBack, mBuf.get());
    mBack -= mFront;
    mFront = 0;
  }

  // Shifts the offsets of the messages still queued by one block of nFrames.
  void Flush(int nFrames)
  {
    Compact();
    for (int i = 0; i < mBack; ++i)
      mBuf[i].mOffset -= nFrames;
  }

  // Main thread: the capacity becomes the granulised size, or what the queued messages need when
  // that is more. When the new buffer cannot be had, the old one stays.
  void Resize(int size)
  {
    Compact();
    const int capacity = std::max(Granulize(size), Granulize(mBack));
    if (capacity == mCapacity)
      return;
    std::unique_ptr<T[]> buf(new (std::nothrow) T[static_cast<size_t>(capacity)]);
    if (!buf)
      return;
    std::move(mBuf.get(), mBuf.get() + mBack, buf.get());
    mBuf = std::move(buf);
    mCapacity = capacity;
  }

private:
  static int Granulize(int n) { return n <= 0 ? kGranularity : (n + kGranularity - 1) / kGranularity * kGranularity; }

  std::unique_ptr<T[]> mBuf;
  int mCapacity = 0;
  int mFront = 0;
  int mBack = 0;
  std::atomic<uint64_t> mDropped{0};
};

} // namespace plugkit
