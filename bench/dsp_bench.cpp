// Cost of the DSP engine per stereo input sample, beside JUCE's ladder filter and polyphase IIR
// oversampler doing the same work, and of the whole plug-in (patches, break characters, host block
// lengths with the morph field on), with everything side by side at the end.
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

#include "IPlugin/IPluginThreadRole.h"
#include "product/Vemlor.h"
#include "product/dsp/oversampler.h"
#include "product/dsp/vemlor_model.h"
#include "utils/morph/morph_engine.h"

#ifdef VEMLOR_BUNDLE_PATH
#include "bench/plugin_session.h"
#endif

namespace {

using namespace zarvo;

constexpr std::size_t kFrames = 512; // host block, every benchmark processes one per iteration
constexpr double kHostRate = 48000.0;
constexpr std::size_t kTick = 16;

// Every benchmark runs five times; the summary takes the median, which other work on a shared
// machine moves least.
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

// The plug-in's defaults as the model receives them: the main filter open at 20 kHz, pre-filter A
// an open low-pass, B a high-pass at 1 Hz, the damping detector on at -80 dB.
void pluginDefaults(VemlorModel& m)
{
  m.setMainCutoff(20000.0, 0.0);
  m.setMainResonance(0.5);
  m.setMainDrive(0.0);
  m.setSaturationType(2.0);
  m.setStageMix(shapeOf(FilterPassType::LP, 1.0, 0.0));
  m.setFeedbackLowCut(feedbackOf(FilterPassType::LP));
  m.setPreFilterCutoff(VemlorModel::PreFilter::A, 20000.0, 0.0);
  m.setPreFilterResonance(VemlorModel::PreFilter::A, 0.5);
  m.setPreFilterMix(VemlorModel::PreFilter::A, preFilterMixOf(FilterPassType::LP));
  m.setPreFilterCutoff(VemlorModel::PreFilter::B, 1.0, 0.0);
  m.setPreFilterResonance(VemlorModel::PreFilter::B, 0.5);
  m.setPreFilterMix(VemlorModel::PreFilter::B, preFilterMixOf(FilterPassType::HP));
  m.setBreakIntensity(0.0);
  m.setBreakCharacter(0.0);
  m.setBreakParam(0.5);
  m.setDampingRelease(100.0);
  m.setDampingThreshold(-80.0);
  m.setDampingHold(2.0);
}

// The plug-in's heavy patch: drive 0.7 and break 0.6 over its defaults.
void pluginHeavy(VemlorModel& m)
{
  pluginDefaults(m);
  m.setMainDrive(0.7);
  m.setBreakIntensity(0.6);
}

enum ModelPatch
{
  kTypical,
  kEngineHeavy,
  kPluginDefaults,
  kPluginHeavy
};

void applyPatch(VemlorModel& m, int patch)
{
  switch (patch)
  {
  case kTypical: typicalPatch(m); break;
  case kEngineHeavy: heavyPatch(m); break;
  case kPluginDefaults: pluginDefaults(m); break;
  default: pluginHeavy(m); break;
  }
}

// The block path around the model: upsample, 16-frame ticks at the oversampled rate, downsample.
class Engine
{
public:
  Engine(int factor, int patch)
  {
    mOversampler.setFactor(factor);
    mOversampler.prepare({kHostRate, static_cast<int>(kFrames), 2});
    mUp.setNumFrames(kFrames * static_cast<std::size_t>(factor));
    mModel.prepare({kHostRate * factor, static_cast<int>(kFrames) * factor, 2});
    applyPatch(mModel, patch);
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
  Engine engine(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  AudioBuffer view = block.view();
  for (auto _ : state)
  {
    block.refill();
    engine.process(view);
    benchmark::DoNotOptimize(view.channel(0)[0]);
  }
}
BENCHMARK(BM_Model)->ArgsProduct({{1, 2, 4, 8}, {0, 1}})->ArgNames({"factor", "heavy"})->Apply(repeated);
// The plug-in's default and heavy patches as the model runs them at 8x.
BENCHMARK(BM_Model)
  ->Args({8, kPluginDefaults})
  ->Args({8, kPluginHeavy})
  ->ArgNames({"factor", "patch"})
  ->Apply(repeated);

// The main filter as the model runs it: left and right as the two lanes of one filter.
void BM_MainFilter(benchmark::State& state)
{
  StereoBlock block;
  BasicTransistorFractal<v2d> filter;
  filter.prepare({kHostRate, static_cast<int>(kFrames), 2});
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
  os.prepare({kHostRate, static_cast<int>(kFrames), 2});
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

#ifdef VEMLOR_BUNDLE_PATH
// The whole plug-in through the test host at 8x, 512-frame blocks: the default patch (0) and the
// heavy one (1), and the heavy one with each break character (1 to 11).
void runHostedPlugin(benchmark::State& state, const vemlor::bench::Patch& patch)
{
  vemlor::bench::Session s(static_cast<int>(kFrames));
  if (!s.ready())
  {
    state.SkipWithError(("cannot host the plug-in: " + s.error).c_str());
    return;
  }
  s.fillNoise(static_cast<int>(kFrames));
  s.pin(3, patch);
  s.run(state, static_cast<int>(kFrames));
}

void BM_Plugin(benchmark::State& state)
{
  runHostedPlugin(state, state.range(0) != 0 ? vemlor::bench::heavyPatch() : vemlor::bench::Patch{});
}
BENCHMARK(BM_Plugin)->Arg(0)->Arg(1)->ArgName("heavy")->UseManualTime()->Apply(repeated);

void BM_PluginBreak(benchmark::State& state)
{
  vemlor::bench::Patch patch = vemlor::bench::heavyPatch();
  patch.emplace_back(zarvo::par_break_character, static_cast<double>(state.range(0)));
  runHostedPlugin(state, patch);
}
BENCHMARK(BM_PluginBreak)->DenseRange(1, 11)->ArgName("char")->UseManualTime()->Apply(repeated);
#endif

// The plug-in's block function in this process, at its default oversampling (1x), with the morph
// field on: 17 active points spread over the pad under one weighting model (natural neighbour on
// its largest grid), the pad position still. Each iteration renders 512 frames in host blocks of
// the given length.
class MorphingPlugin
{
public:
  MorphingPlugin(uint32_t model, int blockFrames)
    : mPlug(new Vemlor(plugkit::InstanceInfo{}))
    , mBlockFrames(blockFrames)
  {
    mPlug->initialize(nullptr);
    mPlug->SetSampleRate(kHostRate);
    mPlug->SetBlockSize(static_cast<int>(kFrames));
    mPlug->SetChannelConnections(plugkit::kInput, 0, 2, true);
    mPlug->SetChannelConnections(plugkit::kOutput, 0, 2, true);
    mPlug->OnReset();
    for (int i = 0; i < zarvo::kNumParams; ++i)
      automate(i, mPlug->GetParam(i)->GetDefault());

    morph::MorphEngine::RTState field;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (morph::MorphPoint& p : field.points)
    {
      p.x = 0.05 + 0.9 * unit(rng);
      p.y = 0.05 + 0.9 * unit(rng);
      p.active = true;
      for (double& v : p.values)
        v = unit(rng);
    }
    field.model = model;
    field.nnSamples = 21;
    field.nnRadius = 4.0;
    field.sigma = 0.02;
    field.cutoffContrast = 1.0;
    field.shapeContrast = 1.0;
    morph::MorphEngine& engine = mPlug->morphController().engine();
    engine.edit({.field = &field});
    engine.publish();
    automate(zarvo::par_morph_active, 1.0);
    automate(zarvo::par_morph_x, 0.37);
    automate(zarvo::par_morph_y, 0.61);
  }
  ~MorphingPlugin()
  {
    mPlug->terminate();
    mPlug->release();
  }
  MorphingPlugin(const MorphingPlugin&) = delete;
  MorphingPlugin& operator=(const MorphingPlugin&) = delete;

  void renderSpan(StereoBlock& block)
  {
    plugkit::AudioThreadScope audio;
    for (std::size_t pos = 0; pos < kFrames; pos += static_cast<std::size_t>(mBlockFrames))
    {
      double* ins[2] = {block.ptrs()[0] + pos, block.ptrs()[1] + pos};
      double* outs[2] = {mOut[0].data() + pos, mOut[1].data() + pos};
      mPlug->ProcessBlock(ins, outs, mBlockFrames);
    }
  }

private:
  void automate(int index, double plain)
  {
    plugkit::AudioThreadScope audio;
    mPlug->GetParam(index)->Set(plain);
    mPlug->OnParamChange(index, plugkit::EParamSource::kHost, 0);
  }

  Vemlor* mPlug;
  int mBlockFrames;
  std::array<std::array<double, kFrames>, 2> mOut{};
};

void BM_PluginMorph(benchmark::State& state)
{
  StereoBlock block;
  MorphingPlugin plugin(static_cast<uint32_t>(state.range(0)), static_cast<int>(state.range(1)));
  block.refill();
  for (int warmUp = 0; warmUp < 4; ++warmUp)
    plugin.renderSpan(block);
  for (auto _ : state)
  {
    block.refill();
    plugin.renderSpan(block);
  }
}
BENCHMARK(BM_PluginMorph)
  ->ArgsProduct({{0, 1, 2, 3, 4}, {1, 16, 64, 512}})
  ->ArgNames({"model", "block"})
  ->Apply(repeated);

// Prints the usual table, keeping each benchmark's median nanoseconds per stereo input sample.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
    {
      if (run.error_occurred || run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
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
    std::printf("\nnanoseconds per stereo input sample, median of five runs (host block %zu frames at 48 kHz)\n",
                kFrames);
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
    const auto share = [this](const char* label, const std::string& name) {
      const auto it = mNsPerSample.find(name);
      if (it != mNsPerSample.end())
        std::printf("  %-26s %8.2f ns = %5.2f %% of one core at 48 kHz stereo\n", label, it->second,
                    it->second * kHostRate * 1e-7);
    };
    share("model 8x plug-in defaults", "BM_Model/factor:8/patch:2");
    share("model 8x plug-in heavy", "BM_Model/factor:8/patch:3");
    share("plug-in 8x defaults", "BM_Plugin/heavy:0");
    share("plug-in 8x heavy", "BM_Plugin/heavy:1");
    const auto square = mNsPerSample.find("BM_PluginBreak/char:1");
    for (int c = 1; c <= 11; ++c)
    {
      const auto it = mNsPerSample.find("BM_PluginBreak/char:" + std::to_string(c));
      if (it != mNsPerSample.end() && square != mNsPerSample.end())
        std::printf("  plug-in 8x heavy, break character %2d %8.2f ns = %5.2f %%, %.2f x character 1\n", c, it->second,
                    it->second * kHostRate * 1e-7, it->second / square->second);
    }
    for (int model = 0; model < 5; ++model)
    {
      const auto at = [this, model](int block) {
        const auto it =
          mNsPerSample.find("BM_PluginMorph/model:" + std::to_string(model) + "/block:" + std::to_string(block));
        return it != mNsPerSample.end() ? it->second : 0.0;
      };
      if (at(512) <= 0.0)
        continue;
      std::printf("  plug-in 1x, morph model %d, host blocks of 1 / 16 / 64 / 512: %7.1f %7.1f %7.1f %7.1f ns"
                  "  (1 vs 512: %.2f x)\n",
                  model, at(1), at(16), at(64), at(512), at(1) / at(512));
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
