// The host information view: writes the host's sample rate, buffer size, channel counts and transport
// time into the editor's tagged text controls, and keeps the last values while the editor is closed.
#pragma once

#include <cstdint>
#include <string>

#include <fmt/format.h>

#include "IGfx/Controls/ITextControl.h"
#include "IGfx/IGfx.h"
#include "utils/host_time_info.h"

namespace zarvo {

// Main thread only. Plugin provides GetUI(), the open editor's graphics context or null.
template <class Plugin>
class HostInfoView
{
public:
  static constexpr int kHostTimeTag = 1040;
  static constexpr int kSampleRateTag = 1041;
  static constexpr int kBufSizeTag = 1042;
  static constexpr int kChannelsTag = 1043;
  static constexpr int kAboutLineTag = 1044;

  explicit HostInfoView(Plugin& plugin)
    : mPlugin(plugin)
  {}

  // Each stores its values and shows them when the editor is open; false only without an editor.
  bool updateSRBufSizeAboutInfo(unsigned long sampleRate, unsigned long bufSize)
  {
    mSampleRate = sampleRate;
    mBufSize = bufSize;
    return show(kAboutLineTag, fmt::format("sr {} buf size {}", sampleRate, bufSize), nullptr);
  }

  bool updateHostPositionView(const TimeInfo& time)
  {
    mHostTime = time;
    return show(kHostTimeTag, "host time: " + buildTimeString(time), &mHostTimeText);
  }

  bool updateSampleRateView(unsigned long sampleRate)
  {
    mSampleRate = sampleRate;
    return show(kSampleRateTag, fmt::format("{:<11}{}", "sr:", sampleRate), &mSampleRateText);
  }

  bool updateBufSizeView(unsigned long bufSize)
  {
    mBufSize = bufSize;
    return show(kBufSizeTag, fmt::format("{:<11}{}", "buf size:", bufSize), &mBufSizeText);
  }

  bool updateChansView(unsigned long inputs, unsigned long outputs)
  {
    mInputs = inputs;
    mOutputs = outputs;
    return show(kChannelsTag, fmt::format("{:<11}{}-{}", "I/O:", inputs, outputs), &mChannelText);
  }

  // Shows what the model's change flags say changed since the last successful call. Without an
  // editor nothing is shown, false is returned and the changes wait for a later call. Model provides
  // takeFlags() and read(HostInfo&), as HostInfoModel does.
  template <class Model>
  bool update(Model& model)
  {
    const uint32_t taken = model.takeFlags();
    mPending |= taken;
    mKnown |= taken;
    if (!mPlugin.GetUI())
      return false;
    if (mPending == 0)
      return true;
    HostInfo info;
    if (!model.read(info))
      return false; // the audio thread kept writing; the next idle call tries again
    const auto rate = static_cast<unsigned long>(info.sampleRate);
    const auto block = static_cast<unsigned long>(info.blockSize);
    bool ok = true;
    if (mPending & (kHostSampleRateChanged | kHostBlockSizeChanged))
      ok = updateSRBufSizeAboutInfo(rate, block) && ok;
    if (mPending & kHostTimeChanged)
      ok = updateHostPositionView(info.time) && ok;
    if (!ok)
      return false;
    if ((mPending & kHostSampleRateChanged) && !updateSampleRateView(rate))
      return false;
    if ((mPending & kHostBlockSizeChanged) && !updateBufSizeView(block))
      return false;
    if ((mPending & kHostChannelsChanged) && !updateChansView(static_cast<unsigned long>(info.inputsConnected),
                                                              static_cast<unsigned long>(info.outputsConnected)))
      return false;
    mPending = 0;
    return true;
  }

  // A new editor starts with the build's texts: everything the host has reported so far is shown
  // again by the next update.
  void showAgainOnNextUpdate() { mPending |= mKnown; }

  uint32_t pendingChanges() const { return mPending; }
  uint64_t sampleRate() const { return mSampleRate; }
  uint64_t bufSize() const { return mBufSize; }
  uint64_t inputs() const { return mInputs; }
  uint64_t outputs() const { return mOutputs; }
  const TimeInfo& hostTime() const { return mHostTime; }
  const std::string& hostTimeText() const { return mHostTimeText; }
  const std::string& sampleRateText() const { return mSampleRateText; }
  const std::string& bufSizeText() const { return mBufSizeText; }
  const std::string& channelText() const { return mChannelText; }

private:
  // A missing control is no failure: the editor may not show that readout.
  bool show(int tag, const std::string& text, std::string* keep)
  {
    if (keep)
      *keep = text;
    plugkit::gfx::IGfx* ui = mPlugin.GetUI();
    if (!ui)
      return false;
    if (auto* control = dynamic_cast<plugkit::gfx::ITextControl*>(ui->GetControlWithTag(tag)))
    {
      control->SetStr(text.c_str());
      control->SetDirty(true);
    }
    return true;
  }

  Plugin& mPlugin;
  uint64_t mBufSize = 0;
  uint64_t mSampleRate = 0;
  uint64_t mInputs = 0;
  uint64_t mOutputs = 0;
  TimeInfo mHostTime;
  std::string mHostTimeText;
  std::string mSampleRateText;
  std::string mBufSizeText;
  std::string mChannelText;
  uint32_t mPending = 0;
  uint32_t mKnown = 0; // every group the host has reported
};

} // namespace zarvo
