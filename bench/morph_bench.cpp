// Worst-case cost of the morph field per audio block: the weighting and resolving the block
// function runs once per host block, as a share of that block's real time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "IPlugin/IPluginThreadRole.h"
#include "product/params/morph_param_table.h"
#include "utils/morph/morph_engine.h"

namespace {

using namespace zarvo::morph;

constexpr double kBlockFrames = 512.0;
constexpr double kHostRate = 48000.0;
constexpr double kBlockSeconds = kBlockFrames / kHostRate;

// Every point active and spread over the pad, natural neighbour at its largest sample grid and
// widest disk, and every gamma in use (sigma at its sharpest, both contrasts at 1).
MorphEngine::RTState worstField()
{
  MorphEngine::RTState s;
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (MorphPoint& p : s.points)
  {
    p.x = 0.05 + 0.9 * unit(rng);
    p.y = 0.05 + 0.9 * unit(rng);
    p.active = true;
    for (double& v : p.values)
      v = unit(rng);
  }
  s.model = 4;
  s.nnSamples = 21;
  s.nnRadius = 4.0;
  s.sigma = 0.02;
  s.cutoffContrast = 1.0;
  s.shapeContrast = 1.0;
  s.focus = -1;
  return s;
}

// Pad positions the block visits in turn: a slow sweep, as automation or a controller moves it.
std::vector<std::array<double, 2>> positions()
{
  std::vector<std::array<double, 2>> v;
  for (int i = 0; i < 64; ++i)
    v.push_back({0.5 + 0.45 * std::sin(0.1 * i), 0.5 + 0.45 * std::cos(0.13 * i)});
  return v;
}

// What the block function asks of the field once per block: the audio thread's copy of the
// field, the scales, the weights for sound, the 60 blended values and the weights for shapes.
void BM_MorphBlock(benchmark::State& state)
{
  MorphEngine engine(kMorphParams);
  const MorphEngine::RTState field = worstField();
  engine.edit({.field = &field});
  engine.publish();
  const auto path = positions();
  std::size_t step = 0;

  plugkit::AudioThreadScope audioThread;
  for (auto _ : state)
  {
    const auto [x, y] = path[step++ % path.size()];
    engine.loadAudioState();
    const MorphEngine::RTState& field = engine.audioState();
    engine.setPosition(x, y);
    Scales scales{};
    engine.computeScales(field, scales);
    Weights weights{};
    engine.computeWeightsInto(field, x, y, weights, scales, true, 1.0);
    MorphValues resolved{};
    engine.resolveInto(field, weights, resolved);
    Weights shapeWeights = weights;
    MorphEngine::applyGamma(shapeWeights, MorphEngine::contrastGamma(field.shapeContrast, field.model));
    benchmark::DoNotOptimize(resolved);
    benchmark::DoNotOptimize(shapeWeights);
  }
}
BENCHMARK(BM_MorphBlock)
  ->Unit(benchmark::kMicrosecond)
  ->MinTime(0.2)
  ->Repetitions(5)
  ->DisplayAggregatesOnly()
  ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

// The usual table, then the fastest run as a share of the block's real time.
class ShareReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
        mSeconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
  }

  void printSummary() const
  {
    if (mSeconds > 0.0)
      std::printf("\nmorph field per block, fastest run: %.2f us = %.3f %% of a %g-frame block at %g kHz\n",
                  mSeconds * 1e6, 100.0 * mSeconds / kBlockSeconds, kBlockFrames, kHostRate / 1000.0);
  }

private:
  double mSeconds = 0.0;
};

} // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  ShareReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printSummary();
  benchmark::Shutdown();
  return 0;
}
