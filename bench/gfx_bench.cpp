// The editor's frame check, run 60 times a second: its time, and the heap allocations it makes, with
// nothing dirty (there must be none) and with one dirty control (only the rectangle list grows).
#include <benchmark/benchmark.h>

#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"
#include "tests/host/allocation_counter.h"

namespace {

using plugkit::gfx::IRECT;
using plugkit::gfx::IRECTList;
using plugkit::gfx::test::EditorSession;
using plugkit::gfx::test::RecordingControl;

constexpr int kControls = 200;

void AttachGrid(EditorSession& s)
{
  for (int i = 0; i < kControls; ++i)
  {
    const float x = static_cast<float>((i % 20) * 47);
    const float y = static_cast<float>((i / 20) * 20);
    s.G().AttachControl(new RecordingControl(IRECT(x, y, x + 40.f, y + 18.f), i % 8));
  }
  s.G().Tick();
}

void FrameCheck(benchmark::State& state, bool oneDirty)
{
  EditorSession s(8);
  AttachGrid(s);
  IRECTList rects;
  std::size_t allocations = 0;
  for (auto _ : state)
  {
    if (oneDirty)
      s.G().GetControl(kControls / 2)->SetDirty(false);
    rects.Clear();
    vemlor::testhost::beginCountingAllocations();
    benchmark::DoNotOptimize(s.G().IsDirty(rects));
    allocations += vemlor::testhost::endCountingAllocations();
    s.G().SetAllControlsClean();
  }
  state.counters["allocs_per_check"] =
    benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void BM_FrameCheckNothingDirty(benchmark::State& state) { FrameCheck(state, false); }
void BM_FrameCheckOneDirty(benchmark::State& state) { FrameCheck(state, true); }

BENCHMARK(BM_FrameCheckNothingDirty);
BENCHMARK(BM_FrameCheckOneDirty);

} // namespace

BENCHMARK_MAIN();
