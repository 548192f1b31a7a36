#include "utils/host_info_view.h"

#include <fmt/format.h>

#include "IGfx/Controls/ITextControl.h"
#include "IGfx/IGfx.h"

namespace zarvo {

bool HostInfoView::updateSRBufSizeAboutInfo(unsigned long sampleRate, unsigned long bufSize)
{
  mSampleRate = sampleRate;
  mBufSize = bufSize;
  return show(kAboutLineTag, fmt::format("sr {} buf size {}", sampleRate, bufSize), nullptr);
}

bool HostInfoView::updateHostPositionView(const TimeInfo& time)
{
  mHostTime = time;
  return show(kHostTimeTag, "host time: " + buildTimeString(time), &mHostTimeText);
}

bool HostInfoView::updateSampleRateView(unsigned long sampleRate)
{
  mSampleRate = sampleRate;
  return show(kSampleRateTag, fmt::format("{:<11}{}", "sr:", sampleRate), &mSampleRateText);
}

bool HostInfoView::updateBufSizeView(unsigned long bufSize)
{
  mBufSize = bufSize;
  return show(kBufSizeTag, fmt::format("{:<11}{}", "buf size:", bufSize), &mBufSizeText);
}

bool HostInfoView::updateChansView(unsigned long inputs, unsigned long outputs)
{
  mInputs = inputs;
  mOutputs = outputs;
  return show(kChannelsTag, fmt::format("{:<11}{}-{}", "I/O:", inputs, outputs), &mChannelText);
}

bool HostInfoView::showPending(const HostInfo& info)
{
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

bool HostInfoView::show(int tag, const std::string& text, std::string* keep)
{
  if (keep)
    *keep = text;
  plugkit::gfx::IGfx* ui = mUI();
  if (!ui)
    return false;
  if (auto* control = dynamic_cast<plugkit::gfx::ITextControl*>(ui->GetControlWithTag(tag)))
  {
    control->SetStr(text.c_str());
    control->SetDirty(true);
  }
  return true;
}

} // namespace zarvo
