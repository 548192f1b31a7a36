// Growable heap buffer under TextString, IByteChunk and the framework's typed lists.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

// Not thread-safe: one owner on one thread. Never throws; a failed growth leaves it unchanged.
class HeapBuf
{
public:
  // Steps of 4096 and more give page-shaped allocations (whole pages minus 96 bytes).
  explicit HeapBuf(int growStep = 4096)
    : mGrowStep(std::max(growStep, 0))
  {}

  // Copies the used bytes with the same growth step; an allocation failure leaves the copy empty.
  HeapBuf(const HeapBuf& other)
    : mGrowStep(other.mGrowStep)
  {
    CopyBytesFrom(other);
  }

  HeapBuf(HeapBuf&& other) noexcept
    : mBuf(std::exchange(other.mBuf, nullptr))
    , mAlloc(std::exchange(other.mAlloc, 0))
    , mUsed(std::exchange(other.mUsed, 0))
    , mGrowStep(other.mGrowStep)
  {}

  HeapBuf& operator=(const HeapBuf& other)
  {
    if (this != &other)
    {
      mGrowStep = other.mGrowStep;
      Resize(0, true);
      CopyBytesFrom(other);
    }
    return *this;
  }

  HeapBuf& operator=(HeapBuf&& other) noexcept
  {
    if (this != &other)
    {
      std::free(mBuf);
      mBuf = std::exchange(other.mBuf, nullptr);
      mAlloc = std::exchange(other.mAlloc, 0);
      mUsed = std::exchange(other.mUsed, 0);
      mGrowStep = other.mGrowStep;
    }
    return *this;
  }

  ~HeapBuf() { std::free(mBuf); }

  void* Get() const { return mBuf; }
  int GetSize() const { return mUsed; }
  int GetAllocated() const { return mAlloc; }
  int GetGrowStep() const { return mGrowStep; }
  void SetGrowStep(int growStep) { mGrowStep = std::max(growStep, 0); }

  // Sets the used size; returns the buffer (null for size 0). Storage changes only when the size
  // outgrows the allocation, or, with shrink, when it falls below the shrink threshold. On failure
  // nothing changes and the old buffer is returned: callers compare GetSize() with what they asked.
  void* Resize(int newSize, bool shrink = true)
  {
    if (newSize < 0)
      newSize = 0;
    if (newSize == mUsed)
      return newSize ? mBuf : nullptr;

    int64_t threshold = 0;
    if (shrink && newSize < mUsed)
      threshold = std::max<int64_t>(1, std::min<int64_t>(int64_t{mAlloc} - 4 * int64_t{mGrowStep}, mAlloc / 2));

    if (newSize > mAlloc || newSize < threshold)
    {
      if (newSize == 0)
      {
        std::free(mBuf);
        mBuf = nullptr;
        mAlloc = 0;
        mUsed = 0;
        return nullptr;
      }

      const int64_t newAlloc = AllocationFor(newSize);
      if (newAlloc > std::numeric_limits<int>::max())
        return mBuf;

      if (newAlloc != mAlloc)
      {
        void* buf = std::realloc(mBuf, static_cast<size_t>(newAlloc));
        if (!buf)
        {
          buf = std::malloc(static_cast<size_t>(newAlloc));
          if (!buf)
            return mBuf;
          if (mBuf)
            std::memcpy(buf, mBuf, static_cast<size_t>(std::min(newSize, mUsed)));
          std::free(mBuf);
        }
        mBuf = buf;
        mAlloc = static_cast<int>(newAlloc);
      }
      mUsed = newSize;
      return mBuf;
    }

    mUsed = newSize;
    return newSize ? mBuf : nullptr;
  }

private:
  static constexpr int64_t kPage = 4096;
  static constexpr int64_t kPageSlack = 96;
  static constexpr int64_t kMaxPagedGrowth = 4194304;

  // Each growth reserves half the request again (at least the step) beyond it.
  int64_t AllocationFor(int newSize) const
  {
    const int64_t g = std::max<int64_t>(newSize / 2, mGrowStep);
    if (mGrowStep < kPage)
      return newSize + g;
    const int64_t paged = std::min<int64_t>(g / kPage * kPage, kMaxPagedGrowth);
    return (newSize + paged + kPageSlack) / kPage * kPage - kPageSlack;
  }

  void CopyBytesFrom(const HeapBuf& other)
  {
    if (other.mUsed > 0 && Resize(other.mUsed, false) && mUsed == other.mUsed)
      std::memcpy(mBuf, other.mBuf, static_cast<size_t>(mUsed));
  }

  void* mBuf = nullptr;
  int mAlloc = 0;
  int mUsed = 0;
  int mGrowStep;
};
