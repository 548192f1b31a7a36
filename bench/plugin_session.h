// The plug-in bundle hosted as a host runs it, for the benchmarks: 48 kHz stereo, 64-bit samples,
// noise at -6 dBFS, every parameter pinned to its default with the morph field off, then a patch.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "product/params/params.h"
#include "tests/host/test_host.h"

namespace vemlor::bench {

using namespace vemlor::testhost;
using Steinberg::Vst::ParamID;

inline constexpr double kSampleRate = 48000.0;

// Plain parameter values; the host hands them over normalised.
using Patch = std::vector<std::pair<ParamID, double>>;

// Drive 0.7, break 0.6, fully wet, morph off, the rest at defaults.
inline Patch heavyPatch() { return {{zarvo::par_main_drive, 0.7}, {zarvo::par_break_intensity, 0.6}}; }

// VEMLOR_BENCH_BUNDLE names another build's bundle, so two builds can be compared in one run.
inline const char* bundlePath()
{
  const char* other = std::getenv("VEMLOR_BENCH_BUNDLE");
  return other && *other ? other : VEMLOR_BUNDLE_PATH;
}

struct Session
{
  Host host;
  std::unique_ptr<Bundle> bundle;
  std::unique_ptr<Plugin> plugin;
  std::string error;

  explicit Session(int maxBlock)
  {
    bundle = Bundle::open(bundlePath(), error);
    if (!bundle)
      return;
    if (const ClassInfo* info = bundle->findClass("Audio Module Class"))
      plugin = Plugin::create(*bundle, *info, host, error);
    if (plugin && !plugin->startProcessing({kSampleRate, maxBlock, Steinberg::Vst::kSample64}))
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

  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool ready() const { return plugin && plugin->isProcessing(); }

  void set(ParamID id, double plain)
  {
    plugin->addParameterChange(id, 0, plugin->controller()->plainParamToNormalized(id, plain));
  }

  // A new instance opens on a random starter preset with the morph field on: every parameter goes
  // back to its default and morphing off, so each run measures the same patch.
  void pin(int oversamplingIndex, const Patch& patch)
  {
    Steinberg::Vst::IEditController* controller = plugin->controller();
    for (Steinberg::int32 i = 0; i < controller->getParameterCount(); ++i)
    {
      Steinberg::Vst::ParameterInfo info{};
      if (controller->getParameterInfo(i, info) == Steinberg::kResultOk &&
          (info.flags & Steinberg::Vst::ParameterInfo::kIsBypass) == 0)
        plugin->addParameterChange(info.id, 0, info.defaultNormalizedValue);
    }
    plugin->addParameterChange(zarvo::par_morph_active, 0, 0.0);
    plugin->addParameterChange(zarvo::par_oversampling, 0, oversamplingIndex / 3.0);
    set(zarvo::par_dry_wet, 1.0);
    for (const auto& [id, plain] : patch)
      set(id, plain);
  }

  void fillNoise(int frames)
  {
    std::mt19937 random(1);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    for (int ch = 0; ch < plugin->channelCount(Steinberg::Vst::kInput, 0); ++ch)
      for (int i = 0; i < frames; ++i)
        plugin->input(0, ch)[i] = noise(random);
  }

  // Times the process calls alone; the benchmark's time is per block of `frames`.
  void run(benchmark::State& state, int frames)
  {
    for (int warmUp = 0; warmUp < 20; ++warmUp)
      plugin->process(frames);
    for (auto _ : state)
    {
      const double before = plugin->secondsInProcess();
      plugin->process(frames);
      state.SetIterationTime(plugin->secondsInProcess() - before);
    }
  }
};

} // namespace vemlor::bench
