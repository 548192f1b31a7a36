// The whole plug-in as a host runs it: real-time factor at 48 kHz stereo, 512-frame blocks, per
// oversampling factor, with every parameter at its default and with a heavy patch.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "bench/plugin_session.h"

namespace {

using namespace vemlor::bench;

constexpr int kBlock = 512;

// Normalised values, as a host automates them.
using Changes = std::vector<std::pair<ParamID, double>>;

// Pre-filter B at mid-range, band mode, resonance 0.9, drive 0.8, break intensity 0.6, break double 0.5.
const Changes kHeavy = {{zarvo::par_preFlt_B_hz, 0.5},     {zarvo::par_preFlt_band_mode, 0.75},
                        {zarvo::par_main_resonance, 0.9},  {zarvo::par_main_drive, 0.8},
                        {zarvo::par_break_intensity, 0.6}, {zarvo::par_break_double, 0.5}};

void runPlugin(benchmark::State& state, const Changes& changes)
{
  Session s(kBlock);
  if (!s.ready())
  {
    state.SkipWithError(("cannot host the plug-in: " + s.error).c_str());
    return;
  }
  const int factorIndex = static_cast<int>(state.range(0));
  s.fillNoise(kBlock);
  s.pin(factorIndex, {});
  for (const auto& [id, normalized] : changes)
    s.plugin->addParameterChange(id, 0, normalized);
  s.run(state, kBlock);
  // Audio seconds rendered per second spent in process: the real-time factor.
  state.counters["rtf"] =
    benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kSampleRate, benchmark::Counter::kIsRate);
  state.SetLabel("os " + std::to_string(1 << factorIndex) + "x");
}

void BM_PluginDefaultPatch(benchmark::State& state) { runPlugin(state, {}); }
void BM_PluginHeavyPatch(benchmark::State& state) { runPlugin(state, kHeavy); }

BENCHMARK(BM_PluginDefaultPatch)->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PluginHeavyPatch)->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
