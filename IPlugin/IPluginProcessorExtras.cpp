// The processor's I/O queries, channel labels, stereo limit and accumulating block processing.
#include <algorithm>
#include <cstdio>

#include "IPlugin/IPluginProcessor.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

double IPluginProcessor::GetSamplesPerBeat() const
{
  return mTimeInfo.mTempo > 0.0 ? mSampleRate * 60.0 / mTimeInfo.mTempo : 0.0;
}

bool IPluginProcessor::LegalIO(int nIn, int nOut) const
{
  return std::any_of(mIOConfigs.begin(), mIOConfigs.end(), [&](const IOConfig& config) {
    return (nIn < 0 || config.TotalNChannels(kInput) == nIn) && (nOut < 0 || config.TotalNChannels(kOutput) == nOut);
  });
}

int32_t IPluginProcessor::GetAUPluginType() const
{
  switch (mPlugType)
  {
  case kPlugTypeEffect: return mDoesMIDIIn ? MakeFourCC("aumf") : MakeFourCC("aufx");
  case kPlugTypeInstrument: return MakeFourCC("aumu");
  case kPlugTypeMidiEffect: return MakeFourCC("aumi");
  case kPlugTypeGenerator: return MakeFourCC("augn");
  default: return MakeFourCC("aufx");
  }
}

void IPluginProcessor::SetChannelLabel(ERoute direction, int chIdx, const char* formatStr, bool zeroBased)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (chIdx < 0 || chIdx >= MaxNChannels(direction))
    return;
  char label[32];
  std::snprintf(label, sizeof(label), formatStr ? formatStr : "", zeroBased ? chIdx : chIdx + 1);
  mChannelData[direction][chIdx].mLabel = label;
}

const char* IPluginProcessor::GetChannelLabel(ERoute direction, int chIdx) const
{
  return chIdx >= 0 && chIdx < MaxNChannels(direction) ? mChannelData[direction][chIdx].mLabel.c_str() : "";
}

void IPluginProcessor::LimitToStereoIO()
{
  SetChannelConnections(kInput, 2, MaxNChannels(kInput) - 2, false);
  // Connected outputs without a host buffer still need somewhere to render to.
  for (int c = 2; c < MaxNChannels(kOutput); ++c)
  {
    IChannelData& ch = mChannelData[kOutput][c];
    ch.mConnected = true;
    if (!*ch.mData)
      *ch.mData = ch.mScratchBuf.empty() ? nullptr : ch.mScratchBuf.data();
  }
}

void IPluginProcessor::ProcessBuffersAccumulating(int nFrames)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const int n = PrepareFrames(nFrames);
  double** inputs = MaxNChannels(kInput) > 0 ? Pointers(kInput) : nullptr;
  double** outputs = MaxNChannels(kOutput) > 0 ? Pointers(kOutput) : nullptr;
  if (n > 0)
    ProcessBlock(inputs, outputs, n);
  for (const IChannelData& ch : mChannelData[kOutput])
  {
    if (!ch.mConnected || !ch.mIncomingData || !*ch.mData)
      continue;
    const double* rendered = *ch.mData;
    for (int i = 0; i < n; ++i)
      ch.mIncomingData[i] += static_cast<float>(rendered[i]);
  }
}

} // namespace plugkit
