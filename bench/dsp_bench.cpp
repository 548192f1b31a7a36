// Cost of the DSP engine per stereo input sample, beside JUCE's ladder filter and polyphase IIR
// oversampler doing the same work, with the ratios printed at the end.
#include <benchmark/benchmark.h>
#include <juce_dsp/juce_dsp.h>
#include <xmmintrin.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "product/dsp/oversampler.h"
#include "product/dsp/vemlor_model.h"

namespace {

using namespace zarvo;

constexpr std::size_t kFrames = 512; // host block, every benchmark processes one per iteration
constexpr double kHostRate = 48000.0;
constexpr std::size_t kTick = 16;

// Every benchmark runs five times; the summary takes the fastest, the least disturbed by
// whatever else the machine is doing.
double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
void repeated(benchmark::internal::Benchmark* b)
{
  b->MinTime(0.2)->Repetitions(5)->DisplayAggregatesOnly()->ComputeStatistics("min", fastest);
}

// Stereo noise at -12 dBFS, copied into the working block before every iteration so each one
// sees the same signal.
class StereoBlock
{
public:
  StereoBlock()
  {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> noise(-0.25, 0.25);
    for (auto& ch : mSource)
      for (double& s : ch)
        s = noise(rng);
    mPtrs = {mWork[0].data(), mWork[1].data()};
  }
  void refill()
  {
    for (std::size_t c = 0; c < 2; ++c)
      std::copy(mSource[c].begin(), mSource[c].end(), mWork[c].begin());
  }
  double* const* ptrs() { return mPtrs.data(); }
  AudioBuffer view() { return AudioBuffer(mPtrs.data(), 2, kFrames); }

private:
  std::array<std::array<double, kFrames>, 2> mSource{};
  std::array<std::array<double, kFrames>, 2> mWork{};
  std::array<double*, 2> mPtrs{};
};

void typicalPatch(VemlorModel& m)
{
  m.setMainCutoff(1200.0, 0.0);
  m.setMainResonance(0.4);
  m.setMainDrive(0.2);
  m.setSaturationType(2.0);
  m.setStageMix(shapeOf(FilterPassType::LP, 1.0, 0.0));
  m.setFeedbackLowCut(feedbackOf(FilterPassType::LP));
}

// Both pre-filters in a half-parallel chain, band mode and negative band mix, a blended and
// doubled break, heavy drive and resonance, detune and an active damping detector.
void heavyPatch(VemlorModel& m)
{
  typicalPatch(m);
  m.setMainCutoff(900.0, 20.0);
  m.setMainResonance(0.9);
  m.setMainDrive(0.8);
  m.setSaturationType(2.5);
  m.setPreFilterCutoff(VemlorModel::PreFilter::A, 800.0, 15.0);
  m.setPreFilterResonance(VemlorModel::PreFilter::A, 0.6);
  m.setPreFilterMix(VemlorModel::PreFilter::A, preFilterMixOf(FilterPassType::BP));
  m.setPreFilterCutoff(VemlorModel::PreFilter::B, 3000.0, -15.0);
  m.setPreFilterResonance(VemlorModel::PreFilter::B, 0.3);
  m.setPreFilterMix(VemlorModel::PreFilter::B, preFilterMixOf(FilterPassType::LP));
  m.bandMode = 0.5;
  m.processingOrder = 0.5;
  m.negBandMix = 0.5;
  m.setBreakIntensity(0.7);
  m.setBreakCharacter(3.5);
  m.setBreakParam(0.4);
  m.setBreakDouble(0.5);
  m.setDampingRelease(200.0);
  m.setDampingThreshold(-40.0);
  m.setDampingHold(50.0);
}

// The block path around the model: upsample, 16-frame ticks at the oversampled rate, downsample.
class Engine
{
public:
  Engine(int factor, bool heavy)
  {
    mOversampler.setFactor(factor);
    mOversampler.prepare(2, kFrames);
    mUp.setNumFrames(kFrames * static_cast<std::size_t>(factor));
    mModel.setSampleRate(kHostRate * factor);
    heavy ? heavyPatch(mModel) : typicalPatch(mModel);
  }

  void process(AudioBuffer& block)
  {
    const bool oversampled = mOversampler.factor() > 1;
    if (oversampled)
      mOversampler.upsample(block, mUp);
    AudioBuffer& p = oversampled ? mUp : block;
    for (std::size_t pos = 0; pos < p.numFrames(); pos += kTick)
    {
      AudioBuffer tick = p.subBuffer(pos, std::min(kTick, p.numFrames() - pos));
      mModel.processBuffer(tick);
    }
    if (oversampled)
      mOversampler.downsample(mUp, block);
  }

private:
  Oversampler mOversampler;
  VemlorModel mModel;
  AudioBuffer mUp{2, kFrames};
};

void BM_Model(benchmark::State& state)
{
  StereoBlock block;
  Engine engine(static_cast<int>(state.range(0)), state.range(1) != 0);
  AudioBuffer view = block.view();
  for (auto _ : state)
  {
    block.refill();
    engine.process(view);
    benchmark::DoNotOptimize(view.channel(0)[0]);
  }
}
BENCHMARK(BM_Model)->ArgsProduct({{1, 2, 4, 8}, {0, 1}})->ArgNames({"factor", "heavy"})->Apply(repeated);

// The main filter as the model runs it: left and right as the two lanes of one filter.
void BM_MainFilter(benchmark::State& state)
{
  StereoBlock block;
  BasicTransistorFractal<v2d> filter;
  filter.setSampleRate(kHostRate);
  filter.setFreq(both(1200.0));
  filter.setResonance(0.4);
  filter.setDrive(0.2);
  filter.setSaturationType(2.0);
  filter.setStageMix(shapeOf(FilterPassType::LP, 1.0, 0.0));
  for (auto _ : state)
  {
    block.refill();
    double* left = block.ptrs()[0];
    double* right = block.ptrs()[1];
    // Through a local array and on a local copy of the states, as the model does, so the block's
    // stores cannot alias the states.
    for (std::size_t pos = 0; pos < kFrames; pos += kTick)
    {
      v2d frames[kTick];
      for (std::size_t i = 0; i < kTick; ++i)
        frames[i] = v2d{left[pos + i], right[pos + i]};
      auto states = filter.state();
      for (v2d& x : frames)
        x = filter.process(states, x, both(1.0));
      filter.setState(states);
      for (std::size_t i = 0; i < kTick; ++i)
      {
        left[pos + i] = frames[i][0];
        right[pos + i] = frames[i][1];
      }
    }
    benchmark::DoNotOptimize(block.ptrs()[0][0]);
  }
}
BENCHMARK(BM_MainFilter)->Apply(repeated);

void BM_PeerLadder(benchmark::State& state)
{
  StereoBlock block;
  juce::dsp::LadderFilter<double> filter;
  filter.prepare({kHostRate, static_cast<juce::uint32>(kFrames), 2});
  filter.setMode(juce::dsp::LadderFilterMode::LPF24);
  filter.setCutoffFrequencyHz(1200.0);
  filter.setResonance(0.4);
  filter.setDrive(1.2);
  for (auto _ : state)
  {
    block.refill();
    juce::dsp::AudioBlock<double> audio(block.ptrs(), 2, kFrames);
    filter.process(juce::dsp::ProcessContextReplacing<double>(audio));
    benchmark::DoNotOptimize(block.ptrs()[0][0]);
  }
}
BENCHMARK(BM_PeerLadder)->Apply(repeated);

void BM_Oversampler(benchmark::State& state)
{
  const int factor = static_cast<int>(state.range(0));
  StereoBlock block;
  Oversampler os;
  os.setFactor(factor);
  os.prepare(2, kFrames);
  AudioBuffer up(2, kFrames * static_cast<std::size_t>(factor));
  AudioBuffer view = block.view();
  for (auto _ : state)
  {
    block.refill();
    os.upsample(view, up);
    os.downsample(up, view);
    benchmark::DoNotOptimize(block.ptrs()[0][0]);
  }
}
BENCHMARK(BM_Oversampler)->Arg(2)->Arg(4)->Arg(8)->ArgName("factor")->Apply(repeated);

void BM_PeerOversampler(benchmark::State& state)
{
  const int factor = static_cast<int>(state.range(0));
  StereoBlock block;
  juce::dsp::Oversampling<double> os(2, static_cast<std::size_t>(std::log2(factor)),
                                     juce::dsp::Oversampling<double>::filterHalfBandPolyphaseIIR);
  os.initProcessing(kFrames);
  for (auto _ : state)
  {
    block.refill();
    juce::dsp::AudioBlock<double> audio(block.ptrs(), 2, kFrames);
    auto up = os.processSamplesUp(audio);
    benchmark::DoNotOptimize(up.getChannelPointer(0)[0]);
    os.processSamplesDown(audio);
    benchmark::DoNotOptimize(block.ptrs()[0][0]);
  }
}
BENCHMARK(BM_PeerOversampler)->Arg(2)->Arg(4)->Arg(8)->ArgName("factor")->Apply(repeated);

// Prints the usual table, keeping each benchmark's fastest nanoseconds per stereo input sample.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
    {
      if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min"))
        continue;
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty())
        name += "/" + run.run_name.args;
      const double ns = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit) / kFrames;
      const auto it = mNsPerSample.find(name);
      if (it == mNsPerSample.end() || ns < it->second)
        mNsPerSample[name] = ns;
    }
  }

  void printSummary() const
  {
    std::printf("\nnanoseconds per stereo input sample, fastest run (host block %zu frames at 48 kHz)\n", kFrames);
    const auto ratio = [this](const char* label, const std::string& ours, const std::string& peer) {
      const auto a = mNsPerSample.find(ours), b = mNsPerSample.find(peer);
      if (a != mNsPerSample.end() && b != mNsPerSample.end())
        std::printf("  %-18s ours %8.2f  peer %8.2f  ours/peer %.2f\n", label, a->second, b->second,
                    a->second / b->second);
    };
    ratio("main filter", "BM_MainFilter", "BM_PeerLadder");
    for (const char* f : {"2", "4", "8"})
      ratio((std::string("oversampler ") + f + "x").c_str(), std::string("BM_Oversampler/factor:") + f,
            std::string("BM_PeerOversampler/factor:") + f);
    for (const char* f : {"1", "2", "4", "8"})
      for (const char* heavy : {"0", "1"})
      {
        const auto it = mNsPerSample.find(std::string("BM_Model/factor:") + f + "/heavy:" + heavy);
        if (it != mNsPerSample.end())
          std::printf("  model %sx %-8s %8.2f ns = %5.2f %% of one core at 48 kHz stereo\n", f,
                      *heavy == '1' ? "heavy" : "typical", it->second, it->second * kHostRate * 1e-7);
      }
  }

private:
  std::map<std::string, double> mNsPerSample;
};

} // namespace

int main(int argc, char** argv)
{
  // Denormals flushed, as the plug-in's audio path runs.
  _mm_setcsr(_mm_getcsr() | 0x8040);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printSummary();
  benchmark::Shutdown();
  return 0;
}
