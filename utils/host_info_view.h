// The host information view: writes the host's sample rate, buffer size, channel counts and transport
// time into the editor's tagged text controls, and keeps the last values while the editor is closed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "utils/host_time_info.h"

namespace plugkit::gfx {
class IGfx;
} // namespace plugkit::gfx

namespace zarvo {

// Main thread only.
class HostInfoView
{
public:
  // The open editor's graphics context, or null.
  using UIFunc = std::function<plugkit::gfx::IGfx*()>;

  static constexpr int kHostTimeTag = 1040;
  static constexpr int kSampleRateTag = 1041;
  static constexpr int kBufSizeTag = 1042;
  static constexpr int kChannelsTag = 1043;
  static constexpr int kAboutLineTag = 1044;

  explicit HostInfoView(UIFunc ui)
    : mUI(std::move(ui))
  {}

  // Each stores its values and shows them when the editor is open; false only without an editor.
  bool updateSRBufSizeAboutInfo(unsigned long sampleRate, unsigned long bufSize);
  bool updateHostPositionView(const TimeInfo& time);
  bool updateSampleRateView(unsigned long sampleRate);
  bool updateBufSizeView(unsigned long bufSize);
  bool updateChansView(unsigned long inputs, unsigned long outputs);

  // Shows what the model's change flags say changed since the last successful call. Without an
  // editor nothing is shown, false is returned and the changes wait for a later call. Model provides
  // takeFlags() and read(HostInfo&), as HostInfoModel does.
  template <class Model>
  bool update(Model& model)
  {
    const uint32_t taken = model.takeFlags();
    mPending |= taken;
    mKnown |= taken;
    if (!mUI())
      return false;
    if (mPending == 0)
      return true;
    HostInfo info;
    if (!model.read(info))
      return false; // the audio thread kept writing; the next idle call tries again
    return showPending(info);
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
  // The pending groups from a consistent snapshot; clears them when all were shown.
  bool showPending(const HostInfo& info);
  // A missing control is no failure: the editor may not show that readout.
  bool show(int tag, const std::string& text, std::string* keep);

  UIFunc mUI;
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
