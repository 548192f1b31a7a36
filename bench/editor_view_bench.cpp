// The VST3 editor view in the test host's X11 window: opening it until its first frame is shown (the
// child window, the GL context, the fonts and the layout), and what an open, idle editor costs the
// host's run loop. Needs an X display (xvfb-run -a build/bench/editor_view_bench).
#include "tests/editor_view/view_session.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

using vemlor::viewtest::ViewSession;

constexpr const char* kFontPath = VEMLOR_ROBOTO_DIR "/Roboto-Regular.ttf";

double ProcessCpuSeconds()
{
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// createView, attached and the run-loop ticks until the first frame is on screen; then closed.
void BM_OpenEditorUntilFirstFrame(benchmark::State& state)
{
  ViewSession s;
  if (!s.parent.ok())
  {
    state.SkipWithError("no X display");
    return;
  }
  // A text font read and handed to the drawing backend at each opening, as a real layout does.
  s.plug->extraLayout = [](plugkit::gfx::IGfx* g) { g->LoadFont("Roboto-Regular", kFontPath); };
  for (auto _ : state)
  {
    if (!s.open())
    {
      state.SkipWithError("the editor did not open");
      return;
    }
    while (s.ui()->NFramesDrawn() == 0)
      s.host.pump(16);
    state.PauseTiming();
    s.close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenEditorUntilFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(30);

// Ten seconds of an open editor with nothing changing: 625 ticks of the run loop at 16 ms. The CPU
// time they take over the ten seconds is the share of a core the idle editor costs.
void BM_IdleEditorTenSeconds(benchmark::State& state)
{
  ViewSession s;
  if (!s.parent.ok() || !s.open() || !s.waitForFirstFrame())
  {
    state.SkipWithError("no X display, or the editor did not open");
    return;
  }
  const int frames = s.ui()->NFramesDrawn();
  double cpu = 0.0;
  int rounds = 0;
  for (auto _ : state)
  {
    const double start = ProcessCpuSeconds();
    for (int tick = 0; tick < 625; ++tick)
      s.host.pump(16);
    cpu += ProcessCpuSeconds() - start;
    ++rounds;
  }
  state.counters["core_percent"] = 100.0 * cpu / (10.0 * rounds);
  state.counters["frames_drawn"] = s.ui()->NFramesDrawn() - frames;
}
BENCHMARK(BM_IdleEditorTenSeconds)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
