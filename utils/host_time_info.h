// What the host reports about the stream and the transport, snapshotted once per audio block for the
// editor's host information view.
#pragma once

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#include "IPlugin/IPluginProcessor.h"
#include "IPlugin/IPluginThreadRole.h"
#include "utils/rt_snapshot.h"

namespace zarvo {

struct TimeInfo
{
  uint64_t samples = 0;
  uint8_t numerator = 4;
  uint8_t denominator = 4;
  uint32_t bar = 0; // always 0
  uint16_t beat = 1;
  uint16_t beatHundredths = 0; // always 0
  uint32_t hours = 0;
  uint8_t minutes = 0;
  uint8_t seconds = 0;
  uint16_t milliseconds = 0;

  bool operator==(const TimeInfo&) const = default;
};

// The time record of a transport state at a sample rate. Any thread; allocates nothing.
TimeInfo buildTimeInfo(const plugkit::ITimeInfo& transport, double sampleRate);

// "beat [hours h:]minutes:seconds.milliseconds", numbers without padding: "2 1:5.40". Main thread.
std::string buildTimeString(const TimeInfo& time);

// Change flags, one per group of the snapshot.
enum HostInfoChange : uint32_t
{
  kHostTimeChanged = 1u << 0,
  kHostSampleRateChanged = 1u << 1,
  kHostBlockSizeChanged = 1u << 2,
  kHostChannelsChanged = 1u << 3,
};

struct HostInfo
{
  TimeInfo time;
  uint64_t sampleRate = 0;
  uint64_t inputsConnected = 0;
  uint64_t outputsConnected = 0;
  uint64_t blockSize = 0;
};

// One per plug-in. Plugin provides GetTimeInfo(), GetSampleRate() and NChannelsConnected(ERoute),
// as the framework's processor does.
template <class Plugin>
class HostInfoModel
{
public:
  // Called after a change flag was raised; it must only raise a flag of its own.
  using Notify = void (Plugin::*)();

  explicit HostInfoModel(Plugin& owner, Notify notify = nullptr)
    : mOwner(owner)
    , mNotify(notify)
  {
    mPublished.publish(mInfo);
  }
  HostInfoModel(const HostInfoModel&) = delete;
  HostInfoModel& operator=(const HostInfoModel&) = delete;

  // Audio thread, once per block after the transport was filled in.
  void updateAll(int blockFrames)
  {
    PLUGKIT_ASSERT_AUDIO_THREAD();
    uint32_t raised = 0;
    const uint64_t frames = blockFrames > 0 ? static_cast<uint64_t>(blockFrames) : 0u;
    if (frames != mInfo.blockSize)
    {
      mInfo.blockSize = frames;
      raised |= kHostBlockSizeChanged;
    }
    const uint64_t ins = connected(plugkit::kInput);
    const uint64_t outs = connected(plugkit::kOutput);
    if (ins != mInfo.inputsConnected || outs != mInfo.outputsConnected)
    {
      mInfo.inputsConnected = ins;
      mInfo.outputsConnected = outs;
      raised |= kHostChannelsChanged;
    }
    if (refreshTime())
      raised |= kHostTimeChanged;
    if (refreshSampleRate())
      raised |= kHostSampleRateChanged;
    if (raised == 0)
      return;
    mPublished.publish(mInfo);
    mFlags.fetch_or(raised, std::memory_order_release);
    if (mNotify)
      (mOwner.*mNotify)();
  }

  // Audio thread, or the main thread while no block runs (the plug-in's reset): the time record and
  // rate are refreshed and the time, rate and block-size flags raised; nothing is notified. A block
  // size of 1 or more (the largest the host announced) replaces the stored one until a block runs.
  void refreshOnReset(int blockFrames = 0)
  {
    refreshTime();
    mInfo.sampleRate = truncatedRate();
    if (blockFrames > 0)
      mInfo.blockSize = static_cast<uint64_t>(blockFrames);
    mPublished.publish(mInfo);
    mFlags.fetch_or(kHostTimeChanged | kHostSampleRateChanged | kHostBlockSizeChanged, std::memory_order_release);
  }

  TimeInfo buildTimeInfo() const { return zarvo::buildTimeInfo(mOwner.GetTimeInfo(), mOwner.GetSampleRate()); }

  // Main thread: the raised flags, cleared together.
  uint32_t takeFlags() { return mFlags.exchange(0u, std::memory_order_acq_rel); }
  uint32_t flags() const { return mFlags.load(std::memory_order_acquire); }
  // Main thread: a consistent copy of the last snapshot; false when the audio thread kept writing.
  bool read(HostInfo& out) const { return mPublished.load(out); }

private:
  uint64_t connected(plugkit::ERoute direction) const
  {
    const int n = mOwner.NChannelsConnected(direction);
    return n > 0 ? static_cast<uint64_t>(n) : 0u;
  }

  uint64_t truncatedRate() const
  {
    const double rate = mOwner.GetSampleRate();
    return rate > 0.0 && rate < 1.8e19 ? static_cast<uint64_t>(rate) : 0u;
  }

  // True when the position moved (or either position is not a number) and the record was rebuilt.
  bool refreshTime()
  {
    const float position = static_cast<float>(mOwner.GetTimeInfo().mSamplePos);
    if (position == mLastPosition)
      return false;
    mLastPosition = position;
    mInfo.time = buildTimeInfo();
    return true;
  }

  bool refreshSampleRate()
  {
    const uint64_t rate = truncatedRate();
    if (rate == mInfo.sampleRate)
      return false;
    mInfo.sampleRate = rate;
    return true;
  }

  Plugin& mOwner;
  Notify mNotify;
  float mLastPosition = std::numeric_limits<float>::quiet_NaN();
  HostInfo mInfo;                     // audio thread's copy
  SeqlockRecord<HostInfo> mPublished; // from the audio thread to the main thread
  std::atomic<uint32_t> mFlags{0};
};

} // namespace zarvo
