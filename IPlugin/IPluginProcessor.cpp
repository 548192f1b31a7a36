#include "IPlugin/IPluginProcessor.h"

#include <algorithm>
#include <string_view>

#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/TextScan.h"

namespace plugkit {

struct IPluginProcessor::LatencyDelay
{
  LatencyDelay(int nIn, int nOut, int latency)
    : mNIn(nIn)
    , mNOut(nOut)
    , mLatency(latency)
    , mBuffer(static_cast<size_t>(nIn) * static_cast<size_t>(latency), 0.0)
  {}

  int mNIn;
  int mNOut;
  int mLatency;
  std::vector<double> mBuffer; // mLatency samples per input channel
  int mWritePos = 0;
};

namespace {

// A bus text: "*" is a wildcard, anything else its leading decimal number (0 when there is none).
int ParseBusChannels(std::string_view text)
{
  if (text == "*")
    return kWildcardChannels;
  int value = 0;
  return ReadNumber(text, value, {.blanks = "", .plus = false}) ? value : 0;
}

// Adds the buses of one side of a token; returns that side's channel total.
int ParseBuses(std::string_view part, ERoute direction, std::vector<IBusInfo>& buses)
{
  int total = 0;
  while (true)
  {
    const size_t dot = part.find('.');
    const int nChans = ParseBusChannels(part.substr(0, dot));
    if (nChans != 0)
    {
      buses.push_back({direction, nChans});
      total += nChans;
    }
    if (dot == std::string_view::npos)
      break;
    part.remove_prefix(dot + 1);
  }
  return total;
}

// Copies input i to output i where both exist and silences the remaining outputs.
void CopyInputsToOutputs(double** inputs, int nIn, double** outputs, int nOut, int nFrames)
{
  if (!outputs || nFrames <= 0)
    return;
  const int nCommon = inputs ? std::min(nIn, nOut) : 0;
  for (int c = 0; c < nOut; ++c)
  {
    if (!outputs[c])
      continue;
    if (c < nCommon && inputs[c])
    {
      if (outputs[c] != inputs[c])
        std::copy_n(inputs[c], nFrames, outputs[c]);
    }
    else
      std::fill_n(outputs[c], nFrames, 0.0);
  }
}

} // namespace

int IOConfig::NChansOnBus(ERoute direction, int bus) const
{
  return bus >= 0 && bus < NBuses(direction) ? mBuses[direction][bus].mNChans : 0;
}

int IOConfig::TotalNChannels(ERoute direction) const
{
  int total = 0;
  for (const IBusInfo& bus : mBuses[direction])
    total += bus.mNChans;
  return total;
}

IPluginProcessor::IPluginProcessor(const Config& config, EAPI plugAPI)
  : mPlugAPI(plugAPI)
  , mPlugType(config.plugType)
  , mDoesMIDIIn(config.midiIn)
  , mDoesMIDIOut(config.midiOut)
  , mDoesMPE(config.mpe)
  , mLatency(std::max(config.latency, 0))
{
  int maxIn = 0, maxOut = 0, maxInBuses = 0, maxOutBuses = 0;
  ParseChannelIOStr(config.channelIOStr, mIOConfigs, maxIn, maxOut, maxInBuses, maxOutBuses);

  const int maxChans[2] = {maxIn, maxOut};
  for (int d = kInput; d <= kOutput; ++d)
  {
    mPointers[d].assign(static_cast<size_t>(maxChans[d]), nullptr);
    mChannelData[d].resize(static_cast<size_t>(maxChans[d]));
    for (int c = 0; c < maxChans[d]; ++c)
      mChannelData[d][c].mData = &mPointers[d][c];
  }
}

IPluginProcessor::~IPluginProcessor()
{
  delete mActiveDelay;
  delete mPendingDelay.load();
  delete mRetiredDelay.load();
}

void IPluginProcessor::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  CopyInputsToOutputs(inputs, MaxNChannels(kInput), outputs, MaxNChannels(kOutput), nFrames);
}

void IPluginProcessor::ProcessMidiMsg(const IMidiMsg& msg) { SendMidiMsg(msg); }

void IPluginProcessor::ProcessSysEx(const ISysEx&) {}

void IPluginProcessor::OnReset() {}

void IPluginProcessor::OnActivate(bool) {}

bool IPluginProcessor::SendMidiMsgs(std::span<const IMidiMsg> msgs)
{
  bool allSent = true;
  for (const IMidiMsg& msg : msgs)
    allSent = SendMidiMsg(msg) && allSent;
  return allSent;
}

bool IPluginProcessor::SendSysEx(const ISysEx&) { return false; }

void IPluginProcessor::GetBusName(ERoute direction, int busIdx, int nBuses, TextString& name) const
{
  if (direction == kOutput)
  {
    if (nBuses == 1)
      name.Set("Output");
    else
      name.SetFormatted(32, "Output %i", busIdx);
    return;
  }
  if (nBuses == 2)
    name.Set(busIdx == 0 ? "Main" : "Aux");
  else if (nBuses == 1)
    name.Set("Input");
  else
    name.SetFormatted(32, "Input %i", busIdx);
}

void IPluginProcessor::SetLatency(int samples)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  samples = std::max(samples, 0);
  mLatency.store(samples, std::memory_order_relaxed);
  if (mHasLatencyDelay)
    PublishLatencyDelay(std::make_unique<LatencyDelay>(MaxNChannels(kInput), MaxNChannels(kOutput), samples));
}

void IPluginProcessor::SetTailSize(int samples) { mTailSize.store(samples, std::memory_order_relaxed); }

int IPluginProcessor::ParseChannelIOStr(const char* text, std::vector<IOConfig>& configs, int& maxNInChans,
                                        int& maxNOutChans, int& maxNInBuses, int& maxNOutBuses)
{
  maxNInChans = maxNOutChans = maxNInBuses = maxNOutBuses = 0;
  int nConfigs = 0;
  std::string_view rest = text ? text : "";
  while (!rest.empty())
  {
    const size_t blank = rest.find(' ');
    const std::string_view token = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);

    const size_t dash = token.find('-');
    if (token.empty() || dash == std::string_view::npos)
      continue;

    IOConfig config;
    const int nIn = ParseBuses(token.substr(0, dash), kInput, config.mBuses[kInput]);
    const int nOut = ParseBuses(token.substr(dash + 1), kOutput, config.mBuses[kOutput]);
    maxNInChans = std::max(maxNInChans, nIn);
    maxNOutChans = std::max(maxNOutChans, nOut);
    maxNInBuses = std::max(maxNInBuses, config.NBuses(kInput));
    maxNOutBuses = std::max(maxNOutBuses, config.NBuses(kOutput));
    configs.push_back(std::move(config));
    ++nConfigs;
  }
  return nConfigs;
}

const IOConfig* IPluginProcessor::GetIOConfig(int idx) const
{
  return idx >= 0 && idx < NIOConfigs() ? &mIOConfigs[idx] : nullptr;
}

int IPluginProcessor::MaxNBuses(ERoute direction, int* configIdx) const
{
  int maxBuses = 0;
  int lastIdx = 0;
  for (int i = 0; i < NIOConfigs(); ++i)
  {
    const int n = mIOConfigs[i].NBuses(direction);
    if (n >= maxBuses)
    {
      maxBuses = n;
      lastIdx = i;
    }
  }
  if (configIdx)
    *configIdx = lastIdx;
  return maxBuses;
}

int IPluginProcessor::MaxNChannelsForBus(ERoute direction, int busIdx) const
{
  if (mIOConfigs.empty())
    return 0;
  for (const IBusInfo& bus : mIOConfigs.front().mBuses[direction])
  {
    if (bus.mNChans < 0)
      return -1;
  }
  int maxChans = 0;
  for (const IOConfig& config : mIOConfigs)
    maxChans = std::max(maxChans, config.NChansOnBus(direction, busIdx));
  return maxChans;
}

int IPluginProcessor::GetIOConfigWithChanCounts(const std::vector<int>& inputBusChans,
                                                const std::vector<int>& outputBusChans) const
{
  const auto matches = [](const IOConfig& config, ERoute direction, const std::vector<int>& counts) {
    if (config.NBuses(direction) != static_cast<int>(counts.size()))
      return false;
    for (size_t b = 0; b < counts.size(); ++b)
    {
      if (config.mBuses[direction][b].mNChans != counts[b])
        return false;
    }
    return true;
  };
  for (int i = 0; i < NIOConfigs(); ++i)
  {
    if (matches(mIOConfigs[i], kInput, inputBusChans) && matches(mIOConfigs[i], kOutput, outputBusChans))
      return i;
  }
  return -1;
}

int IPluginProcessor::NChannelsConnected(ERoute direction) const
{
  return static_cast<int>(std::count_if(mChannelData[direction].begin(), mChannelData[direction].end(),
                                        [](const IChannelData& ch) { return ch.mConnected; }));
}

bool IPluginProcessor::IsChannelConnected(ERoute direction, int chIdx) const
{
  return chIdx >= 0 && chIdx < MaxNChannels(direction) && mChannelData[direction][chIdx].mConnected;
}

void IPluginProcessor::SetChannelConnections(ERoute direction, int first, int count, bool connected)
{
  const int end = std::min(first + count, MaxNChannels(direction));
  for (int c = std::max(first, 0); c < end; ++c)
  {
    IChannelData& ch = mChannelData[direction][c];
    // Stale samples converted for a channel that the host no longer feeds must not be heard.
    if (direction == kInput && ch.mConnected && !connected)
      std::fill(ch.mScratchBuf.begin(), ch.mScratchBuf.end(), 0.0);
    ch.mConnected = connected;
    if (!connected)
    {
      *ch.mData = ch.mScratchBuf.empty() ? nullptr : ch.mScratchBuf.data();
      ch.mIncomingData = nullptr;
    }
  }
}

void IPluginProcessor::SetBlockSize(int nFrames)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  nFrames = std::max(nFrames, 0);
  if (nFrames == mBlockSize)
    return;
  for (auto& side : mChannelData)
  {
    for (IChannelData& ch : side)
    {
      ch.mScratchBuf.assign(static_cast<size_t>(nFrames), 0.0);
      if (!ch.mConnected)
        *ch.mData = ch.mScratchBuf.empty() ? nullptr : ch.mScratchBuf.data();
    }
  }
  mBlockSize = nFrames;
}

void IPluginProcessor::ZeroScratchBuffers()
{
  for (auto& side : mChannelData)
  {
    for (IChannelData& ch : side)
      std::fill(ch.mScratchBuf.begin(), ch.mScratchBuf.end(), 0.0);
  }
}

void IPluginProcessor::InitLatencyDelay()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (MaxNChannels(kInput) == 0)
    return;
  mHasLatencyDelay = true;
  PublishLatencyDelay(std::make_unique<LatencyDelay>(MaxNChannels(kInput), MaxNChannels(kOutput), GetLatency()));
}

void IPluginProcessor::AttachBuffers(ERoute direction, int first, int count, double** hostBuffers, int)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  if (!hostBuffers)
    return;
  const int end = std::min(first + count, MaxNChannels(direction));
  int next = 0;
  for (int c = std::max(first, 0); c < end; ++c)
  {
    IChannelData& ch = mChannelData[direction][c];
    if (!ch.mConnected)
      continue;
    *ch.mData = hostBuffers[next++];
    ch.mIncomingData = nullptr;
  }
}

void IPluginProcessor::AttachBuffers(ERoute direction, int first, int count, float** hostBuffers, int nFrames)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  if (!hostBuffers)
    return;
  const int n = PrepareFrames(nFrames);
  const int end = std::min(first + count, MaxNChannels(direction));
  int next = 0;
  for (int c = std::max(first, 0); c < end; ++c)
  {
    IChannelData& ch = mChannelData[direction][c];
    if (!ch.mConnected)
      continue;
    float* host = hostBuffers[next++];
    *ch.mData = ch.mScratchBuf.empty() ? nullptr : ch.mScratchBuf.data();
    if (direction == kInput)
    {
      ch.mIncomingData = nullptr;
      if (host)
        std::copy_n(host, n, ch.mScratchBuf.data());
    }
    else
      ch.mIncomingData = host;
  }
}

int IPluginProcessor::PrepareFrames(int nFrames) const { return std::clamp(nFrames, 0, mBlockSize); }

void IPluginProcessor::ProcessBuffers(double, int nFrames)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const int n = PrepareFrames(nFrames);
  double** inputs = MaxNChannels(kInput) > 0 ? Pointers(kInput) : nullptr;
  double** outputs = MaxNChannels(kOutput) > 0 ? Pointers(kOutput) : nullptr;
  if (n > 0)
    ProcessBlock(inputs, outputs, n);
  // Frames beyond the block size the host promised cannot be rendered; they are silent.
  for (const IChannelData& ch : mChannelData[kOutput])
  {
    if (ch.mConnected && *ch.mData && nFrames > n)
      std::fill(*ch.mData + n, *ch.mData + nFrames, 0.0);
  }
}

void IPluginProcessor::ProcessBuffers(float, int nFrames)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const int n = PrepareFrames(nFrames);
  double** inputs = MaxNChannels(kInput) > 0 ? Pointers(kInput) : nullptr;
  double** outputs = MaxNChannels(kOutput) > 0 ? Pointers(kOutput) : nullptr;
  if (n > 0)
    ProcessBlock(inputs, outputs, n);
  ConvertOutputs(n, nFrames);
}

void IPluginProcessor::PassThroughBuffers(double, int nFrames)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const int n = PrepareFrames(nFrames);
  PassThroughFrames(n);
  for (const IChannelData& ch : mChannelData[kOutput])
  {
    if (ch.mConnected && *ch.mData && nFrames > n)
      std::fill(*ch.mData + n, *ch.mData + nFrames, 0.0);
  }
}

void IPluginProcessor::PassThroughBuffers(float, int nFrames)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const int n = PrepareFrames(nFrames);
  PassThroughFrames(n);
  ConvertOutputs(n, nFrames);
}

void IPluginProcessor::ConvertOutputs(int nFrames, int hostFrames)
{
  for (IChannelData& ch : mChannelData[kOutput])
  {
    if (!ch.mConnected || !ch.mIncomingData)
      continue;
    const double* rendered = ch.mScratchBuf.data();
    for (int i = 0; i < nFrames; ++i)
      ch.mIncomingData[i] = static_cast<float>(rendered[i]);
    if (hostFrames > nFrames)
      std::fill(ch.mIncomingData + nFrames, ch.mIncomingData + hostFrames, 0.0f);
  }
}

void IPluginProcessor::PassThroughFrames(int nFrames)
{
  AdoptPendingLatencyDelay();
  double** inputs = MaxNChannels(kInput) > 0 ? Pointers(kInput) : nullptr;
  double** outputs = MaxNChannels(kOutput) > 0 ? Pointers(kOutput) : nullptr;
  LatencyDelay* delay = mActiveDelay;
  if (!delay || delay->mLatency <= 0 || !inputs || !outputs)
  {
    CopyInputsToOutputs(inputs, MaxNChannels(kInput), outputs, MaxNChannels(kOutput), nFrames);
    return;
  }

  const int nCommon = std::min({delay->mNIn, delay->mNOut, MaxNChannels(kInput), MaxNChannels(kOutput)});
  for (int f = 0; f < nFrames; ++f)
  {
    for (int c = 0; c < nCommon; ++c)
    {
      double& cell = delay->mBuffer[static_cast<size_t>(c) * delay->mLatency + delay->mWritePos];
      const double in = inputs[c] ? inputs[c][f] : 0.0; // read first: the host may process in place
      if (outputs[c])
        outputs[c][f] = cell;
      cell = in;
    }
    delay->mWritePos = (delay->mWritePos + 1) % delay->mLatency;
  }
  for (int c = nCommon; c < MaxNChannels(kOutput); ++c)
  {
    if (outputs[c])
      std::fill_n(outputs[c], nFrames, 0.0);
  }
}

void IPluginProcessor::AdoptPendingLatencyDelay()
{
  if (mRetiredDelay.load(std::memory_order_acquire) != nullptr)
    return;
  LatencyDelay* pending = mPendingDelay.exchange(nullptr, std::memory_order_acq_rel);
  if (!pending)
    return;
  mRetiredDelay.store(mActiveDelay, std::memory_order_release);
  mActiveDelay = pending;
}

void IPluginProcessor::FreeRetiredLatencyDelay() { delete mRetiredDelay.exchange(nullptr, std::memory_order_acq_rel); }

void IPluginProcessor::PublishLatencyDelay(std::unique_ptr<LatencyDelay> delay)
{
  FreeRetiredLatencyDelay();
  // A line the audio thread never took can be freed here: once replaced it can no longer take it.
  delete mPendingDelay.exchange(delay.release(), std::memory_order_acq_rel);
}

} // namespace plugkit
