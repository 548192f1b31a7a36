// The whole plug-in as a host runs it: real-time factor at 48 kHz stereo, 512-frame blocks, per
// oversampling factor, with every parameter at its default and with a heavy patch.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "product/params.h"
#include "tests/host/TestHost.h"

namespace {

using namespace vemlor::testhost;
using Steinberg::Vst::ParamID;

constexpr double kSampleRate = 48000.0;
constexpr int kBlock = 512;

// Parameter ids and normalised values, as a host would automate them.
constexpr ParamID kOversampling = zarvo::par_oversampling;
constexpr ParamID kDryWet = zarvo::par_dry_wet;
constexpr ParamID kPreFilterBHz = zarvo::par_preFlt_B_hz;
constexpr ParamID kBandMode = zarvo::par_preFlt_band_mode;
constexpr ParamID kResonance = zarvo::par_main_resonance;
constexpr ParamID kDrive = zarvo::par_main_drive;
constexpr ParamID kBreakIntensity = zarvo::par_break_intensity;
constexpr ParamID kBreakDouble = zarvo::par_break_double;
constexpr ParamID kMorphActive = zarvo::par_morph_active;

struct Session
{
  Host host;
  std::unique_ptr<Bundle> bundle;
  std::unique_ptr<Plugin> plugin;
  std::string error;

  Session()
  {
    bundle = Bundle::open(VEMLOR_BUNDLE_PATH, error);
    if (!bundle)
      return;
    if (const ClassInfo* info = bundle->findClass("Audio Module Class"))
      plugin = Plugin::create(*bundle, *info, host, error);
    if (plugin && !plugin->startProcessing({kSampleRate, kBlock, Steinberg::Vst::kSample64}))
      error = plugin->lastError();
  }

  ~Session()
  {
    if (plugin)
      plugin->teardown();
    plugin.reset();
    if (bundle)
      bundle->close();
  }
};

void runPlugin(benchmark::State& state, bool heavy)
{
  Session s;
  if (!s.plugin || !s.plugin->isProcessing())
  {
    state.SkipWithError(("cannot host the plug-in: " + s.error).c_str());
    return;
  }
  Plugin& p = *s.plugin;
  std::mt19937 random(1);
  std::uniform_real_distribution<double> noise(-0.5, 0.5);
  for (int ch = 0; ch < p.channelCount(Steinberg::Vst::kInput, 0); ++ch)
    for (int i = 0; i < kBlock; ++i)
      p.input(0, ch)[i] = noise(random);

  // A new instance opens on a random starter preset with the morph field on: every parameter goes
  // back to its default and morphing off, so each run measures the same patch.
  Steinberg::Vst::IEditController* controller = p.controller();
  for (Steinberg::int32 i = 0; i < controller->getParameterCount(); ++i)
  {
    Steinberg::Vst::ParameterInfo info{};
    if (controller->getParameterInfo(i, info) == Steinberg::kResultOk &&
        (info.flags & Steinberg::Vst::ParameterInfo::kIsBypass) == 0)
      p.addParameterChange(info.id, 0, info.defaultNormalizedValue);
  }
  p.addParameterChange(kMorphActive, 0, 0.0);

  const int factorIndex = static_cast<int>(state.range(0));
  p.addParameterChange(kOversampling, 0, factorIndex / 3.0);
  p.addParameterChange(kDryWet, 0, 1.0);
  if (heavy)
  {
    p.addParameterChange(kPreFilterBHz, 0, 0.5);
    p.addParameterChange(kBandMode, 0, 0.75);
    p.addParameterChange(kResonance, 0, 0.9);
    p.addParameterChange(kDrive, 0, 0.8);
    p.addParameterChange(kBreakIntensity, 0, 0.6);
    p.addParameterChange(kBreakDouble, 0, 0.5);
  }
  for (int warmUp = 0; warmUp < 20; ++warmUp)
    p.process(kBlock);

  for (auto _ : state)
  {
    const double before = p.secondsInProcess();
    p.process(kBlock);
    state.SetIterationTime(p.secondsInProcess() - before);
  }
  // Audio seconds rendered per second spent in process: the real-time factor.
  state.counters["rtf"] =
    benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kSampleRate, benchmark::Counter::kIsRate);
  state.SetLabel("os " + std::to_string(1 << factorIndex) + "x");
}

void BM_PluginDefaultPatch(benchmark::State& state) { runPlugin(state, false); }
void BM_PluginHeavyPatch(benchmark::State& state) { runPlugin(state, true); }

BENCHMARK(BM_PluginDefaultPatch)->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PluginHeavyPatch)->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
