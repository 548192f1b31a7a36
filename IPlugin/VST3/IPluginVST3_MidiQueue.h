// The queue of MIDI messages a plug-in sends to the host within a block, kept sorted by sample offset.
#pragma once

#include <algorithm>
#include <memory>
#include <new>

namespace plugkit {

// T has an mOffset sample offset. Audio thread, except Resize (main thread, while no block runs).
// Adding grows the buffer only when more messages are sent in one block than it holds.
template <typename T>
class IMidiQueueBase
{
public:
  static constexpr int kGranularity = 512; // messages; 4096 bytes of 8-byte messages

  explicit IMidiQueueBase(int size = kGranularity) { Resize(size); }

  // Sorted insertion: a message goes after every queued message whose offset is not above its own,
  // so messages of equal offset keep the order they were added in. A message that finds no room is dropped.
  void Add(const T& msg)
  {
    if (mBack >= mCapacity)
    {
      if (mFront > 0)
        Compact();
      else if (!Grow())
        return;
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
  }

  void Remove() { if (mFront < mBack) ++mFront; }
  const T& Peek() const { return mBuf[mFront]; }
  bool Empty() const { return mFront == mBack; }
  int ToDo() const { return mBack - mFront; }
  int GetSize() const { return mCapacity; }
  int GetGrowthStep() const { return mGrowthStep; }
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

  // Main thread: the growth step becomes the granulised size, the capacity the larger of that and the
  // queued messages. When the new buffer cannot be had, the old one stays.
  void Resize(int size)
  {
    Compact();
    mGrowthStep = Granulize(size);
    const int capacity = std::max(mGrowthStep, Granulize(mBack));
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

  bool Grow()
  {
    if (mGrowthStep <= 0)
      return false;
    const int capacity = (mCapacity / mGrowthStep + 1) * mGrowthStep;
    std::unique_ptr<T[]> buf(new (std::nothrow) T[static_cast<size_t>(capacity)]);
    if (!buf)
      return false;
    std::move(mBuf.get() + mFront, mBuf.get() + mBack, buf.get());
    mBack -= mFront;
    mFront = 0;
    mBuf = std::move(buf);
    mCapacity = capacity;
    return true;
  }

  std::unique_ptr<T[]> mBuf;
  int mCapacity = 0;
  int mGrowthStep = 0;
  int mFront = 0;
  int mBack = 0;
};

} // namespace plugkit
