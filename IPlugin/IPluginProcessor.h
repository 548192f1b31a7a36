// The audio side of a plug-in: channel configurations, buffer slots, latency and transport information.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "IPlugin/IMidiMsg.h"
#include "IPlugin/IPluginConfig.h"
#include "IPlugin/TextString.h"

namespace plugkit {

enum ERoute : int32_t
{
  kInput = 0,
  kOutput = 1,
};

// A bus whose channel count is this stands for "any number of channels" ("*" in a channel I/O text).
constexpr int kWildcardChannels = -64;

struct IBusInfo
{
  ERoute mDirection = kInput;
  int mNChans = 0;
};

// One channel I/O configuration: a list of input buses and a list of output buses.
struct IOConfig
{
  std::vector<IBusInfo> mBuses[2];

  int NBuses(ERoute direction) const { return static_cast<int>(mBuses[direction].size()); }
  // 0 for a bus index the configuration lacks.
  int NChansOnBus(ERoute direction, int bus) const;
  int TotalNChannels(ERoute direction) const;
};

struct IChannelData
{
  bool mConnected = false;
  double** mData = nullptr;        // this channel's slot in the pointer array handed to ProcessBlock
  float* mIncomingData = nullptr;  // the host's 32-bit output buffer, when the host works in 32 bits
  std::vector<double> mScratchBuf; // block-size samples
  std::string mLabel;
};

// Transport information the binding fills each block.
struct ITimeInfo
{
  double mTempo = 120.0;
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;
  double mLastBar = -1.0;
  double mCycleStart = -1.0;
  double mCycleEnd = -1.0;
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

class IPluginProcessor
{
public:
  // Main thread.
  IPluginProcessor(const Config& config, EAPI plugAPI);
  virtual ~IPluginProcessor();
  IPluginProcessor(const IPluginProcessor&) = delete;
  IPluginProcessor& operator=(const IPluginProcessor&) = delete;

  // Audio thread. The default copies input i to output i for the channels both sides have and
  // silences the remaining outputs. inputs is null when there are no input channels.
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // Audio thread. The default passes the message on with SendMidiMsg.
  virtual void ProcessMidiMsg(const IMidiMsg& msg);
  // Audio thread.
  virtual void ProcessSysEx(const ISysEx& msg);
  // Audio thread, or the main thread while no block runs (set-up, processing switched off).
  virtual void OnReset();
  // Main thread.
  virtual void OnActivate(bool active);
  // Audio thread: MIDI the plug-in sends to the host; the binding implements it.
  virtual bool SendMidiMsg(const IMidiMsg& msg) = 0;
  // Audio thread: SendMidiMsg for each in order; true only when every one was taken.
  virtual bool SendMidiMsgs(std::span<const IMidiMsg> msgs);
  // Audio thread. The default sends nothing and returns false.
  virtual bool SendSysEx(const ISysEx& msg);
  // Main thread.
  virtual void GetBusName(ERoute direction, int busIdx, int nBuses, TextString& name) const;
  // Main thread; also while blocks run. The delay a bypassed block applies follows the new value
  // from the next bypassed block on, without the audio thread ever waiting or allocating.
  virtual void SetLatency(int samples);
  // Main thread.
  virtual void SetTailSize(int samples);

  // Returns the number of configurations; the maxima are the largest channel totals and bus counts
  // of any configuration. A token without "-" is not a configuration and is skipped.
  static int ParseChannelIOStr(const char* text, std::vector<IOConfig>& configs, int& maxNInChans, int& maxNOutChans,
                               int& maxNInBuses, int& maxNOutBuses);

  // Queries on the configurations; any thread (they never change after construction).
  int NIOConfigs() const { return static_cast<int>(mIOConfigs.size()); }
  const IOConfig* GetIOConfig(int idx) const;
  // The largest bus count of that direction; configIdx receives the last configuration that has it.
  int MaxNBuses(ERoute direction, int* configIdx = nullptr) const;
  // -1 when the first configuration's buses of that direction hold a wildcard.
  int MaxNChannelsForBus(ERoute direction, int busIdx) const;
  // The first configuration with exactly these buses and channel counts, else -1.
  int GetIOConfigWithChanCounts(const std::vector<int>& inputBusChans, const std::vector<int>& outputBusChans) const;

  // Whether some configuration has these channel totals; a negative count matches any total.
  bool LegalIO(int nIn, int nOut) const;
  // The Audio Unit component type code of the plug-in type ("aufx", "aumf", "aumu", "aumi", "augn").
  int32_t GetAUPluginType() const;

  int MaxNChannels(ERoute direction) const { return static_cast<int>(mChannelData[direction].size()); }
  // Audio thread (or while no block runs).
  int NChannelsConnected(ERoute direction) const;
  bool IsChannelConnected(ERoute direction, int chIdx) const;
  // Main thread while no block runs: the label becomes formatStr printed with the channel's number
  // (chIdx + 1, or chIdx when zeroBased), cut to 31 bytes; an index outside that side does nothing.
  void SetChannelLabel(ERoute direction, int chIdx, const char* formatStr, bool zeroBased = false);
  // The empty text for an index outside that side.
  const char* GetChannelLabel(ERoute direction, int chIdx) const;
  // Audio thread before AttachBuffers (or while no block runs): channels from the third on: inputs
  // disconnected (reading their silent scratch buffers), outputs connected.
  void LimitToStereoIO();

  // Audio thread before AttachBuffers (or the main thread while no block runs). A disconnected
  // channel's slot points at its own scratch buffer; an input channel that becomes disconnected is silenced.
  void SetChannelConnections(ERoute direction, int first, int count, bool connected);

  // Main thread while no block runs: resizes and zero-fills every scratch buffer when the size differs.
  void SetBlockSize(int nFrames);
  // Audio thread, or the main thread while no block runs.
  void ZeroScratchBuffers();
  // Main thread: a fresh, silent latency delay for the current channel counts and latency.
  void InitLatencyDelay();

  // Audio thread. 64-bit host buffers: connected channels from first on take the host pointers in order.
  void AttachBuffers(ERoute direction, int first, int count, double** hostBuffers, int nFrames);
  // Audio thread. 32-bit host buffers: inputs are converted into the scratch buffers; outputs are
  // rendered into the scratch buffers and converted back by ProcessBuffers / PassThroughBuffers.
  void AttachBuffers(ERoute direction, int first, int count, float** hostBuffers, int nFrames);
  // Audio thread: ProcessBlock over the attached buffers. Frames beyond the block size are silent.
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  // Audio thread: ProcessBlock over the attached buffers, its output added to the host's 32-bit
  // output buffers instead of replacing their content (outputs without a host buffer are skipped).
  void ProcessBuffersAccumulating(int nFrames);
  // Audio thread: the input reaches the output delayed by the latency (a bypassed block).
  void PassThroughBuffers(double sampleType, int nFrames);
  void PassThroughBuffers(float sampleType, int nFrames);

  // Any thread.
  int GetLatency() const { return mLatency.load(std::memory_order_relaxed); }
  int GetTailSize() const { return mTailSize.load(std::memory_order_relaxed); }
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  bool GetBypassed() const { return mBypassed.load(std::memory_order_relaxed); }
  bool GetRenderingOffline() const { return mRenderingOffline; }
  // Samples in one beat at the current tempo; 0 without a tempo.
  double GetSamplesPerBeat() const;
  const ITimeInfo& GetTimeInfo() const { return mTimeInfo; }
  int GetPlugType() const { return mPlugType; }
  bool DoesMIDIIn() const { return mDoesMIDIIn; }
  bool DoesMIDIOut() const { return mDoesMIDIOut; }
  bool DoesMPE() const { return mDoesMPE; }
  EAPI GetProcessorAPI() const { return mPlugAPI; }

  // Main thread while no block runs.
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  // Audio thread (the binding, from the host's process call).
  void SetBypassed(bool bypassed) { mBypassed.store(bypassed, std::memory_order_relaxed); }
  void SetRenderingOffline(bool offline) { mRenderingOffline = offline; }
  void SetTimeInfo(const ITimeInfo& info) { mTimeInfo = info; }

private:
  struct LatencyDelay;

  double** Pointers(ERoute direction) { return mPointers[direction].data(); }
  int PrepareFrames(int nFrames) const;
  void ConvertOutputs(int nFrames, int hostFrames);
  void CopyThrough(int nFrames);
  void PassThroughFrames(int nFrames);
  // Audio thread: takes over a delay line published by the main thread.
  void AdoptPendingLatencyDelay();
  // Main thread: frees a delay line the audio thread has retired.
  void FreeRetiredLatencyDelay();
  void PublishLatencyDelay(std::unique_ptr<LatencyDelay> delay);

  const EAPI mPlugAPI;
  const int mPlugType;
  const bool mDoesMIDIIn;
  const bool mDoesMIDIOut;
  const bool mDoesMPE;
  std::atomic<int> mLatency;
  std::atomic<int> mTailSize{0};
  std::atomic<bool> mBypassed{false};
  double mSampleRate = 48000.0;
  int mBlockSize = 0;
  bool mRenderingOffline = false;
  ITimeInfo mTimeInfo;

  std::vector<IOConfig> mIOConfigs;
  std::vector<double*> mPointers[2];
  std::vector<IChannelData> mChannelData[2];

  // The delay line a bypassed block reads belongs to the audio thread. The main thread hands a new
  // one over through mPendingDelay; the audio thread hands the old one back through mRetiredDelay,
  // and only when that slot is empty, so it never frees memory itself.
  LatencyDelay* mActiveDelay = nullptr;
  std::atomic<LatencyDelay*> mPendingDelay{nullptr};
  std::atomic<LatencyDelay*> mRetiredDelay{nullptr};
  bool mHasLatencyDelay = false; // main thread: InitLatencyDelay has run
};

} // namespace plugkit
