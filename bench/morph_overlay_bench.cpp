// The morph pad's field overlay: one full rebuild (sampling grid, iso lines, links, ridges, labels and
// cell borders) on the pad's default 908 x 404 rectangle with 16 active points, per weighting model.
#include <benchmark/benchmark.h>

#include <random>

#include "utils/morph/morph_engine.h"
#include "utils/morph/morph_field_overlay.h"

namespace {

using namespace zarvo::morph;

// The sixteen user points on a jittered 4 x 4 lattice, as a user's layout tends to look.
void spreadPoints(MorphEngine& engine)
{
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> jitter(-0.06, 0.06);
  for (size_t i = 1; i < kNumPoints; ++i)
  {
    engine.edit({.point = i, .active = true});
    const double x = 0.125 + 0.25 * static_cast<double>((i - 1) % 4) + jitter(rng);
    engine.edit({.point = i, .x = x, .y = 0.125 + 0.25 * static_cast<double>((i - 1) / 4) + jitter(rng)});
  }
}

// Arguments: the model, and sigma in hundredths (100 = the default 1.0; 20 = sharp, cells on).
void BM_OverlayRebuild(benchmark::State& state)
{
  MorphEngine engine;
  spreadPoints(engine);
  engine.edit({.model = static_cast<uint32_t>(state.range(0)), .sigma = static_cast<double>(state.range(1)) / 100.0});
  MorphFieldOverlay overlay;
  const plugkit::gfx::IRECT pad(0.f, 0.f, 908.f, 404.f);
  overlay.rebuildIfNeeded(engine, pad);

  for (auto _ : state)
  {
    overlay.signature = std::numeric_limits<double>::quiet_NaN();
    overlay.rebuildIfNeeded(engine, pad);
    benchmark::DoNotOptimize(overlay.isoSegments.data());
  }
  state.counters["iso"] = static_cast<double>(overlay.isoSegments.size());
  state.counters["ridge"] = static_cast<double>(overlay.ridgeSegments.size());
  state.counters["cells"] = static_cast<double>(overlay.cellBorderSegments.size());
  state.counters["labels"] = static_cast<double>(overlay.contourLabels.size());
}
BENCHMARK(BM_OverlayRebuild)
  ->ArgNames({"model", "sigma"})
  ->ArgsProduct({{0, 1, 2, 3, 4}, {100, 20}})
  ->Unit(benchmark::kMillisecond)
  ->MinTime(0.5);

} // namespace

BENCHMARK_MAIN();
