// What the host knows of each framework parameter: the normalised value it last set, or last heard
// through an edit or a re-read it was asked for. A host is asked to re-read values only for news,
// never for values it wrote itself, whichever way they came (the controller or a block).
#pragma once

#include <atomic>
#include <memory>

namespace plugkit {

class IPluginVST3HostValues
{
public:
  // Main thread; every value unknown until the first Heard.
  explicit IPluginVST3HostValues(int nParams)
    : mValues(std::make_unique<std::atomic<double>[]>(static_cast<size_t>(nParams > 0 ? nParams : 0)))
    , mCount(nParams > 0 ? nParams : 0)
  {
    for (int i = 0; i < mCount; ++i)
      mValues[static_cast<size_t>(i)].store(kUnknown, std::memory_order_relaxed);
  }

  // Any thread, allocation-free: the host holds this value now.
  void Heard(int idx, double normalized)
  {
    if (idx >= 0 && idx < mCount)
      mValues[static_cast<size_t>(idx)].store(normalized, std::memory_order_relaxed);
  }

  // Main thread: true when the host has not heard this value; from now on it counts as heard.
  bool TakeNews(int idx, double normalized)
  {
    if (idx < 0 || idx >= mCount)
      return false;
    return mValues[static_cast<size_t>(idx)].exchange(normalized, std::memory_order_relaxed) != normalized;
  }

private:
  // No normalised value is negative: the first TakeNews of a parameter is always news.
  static constexpr double kUnknown = -1.0;

  std::unique_ptr<std::atomic<double>[]> mValues;
  int mCount;
};

} // namespace plugkit
