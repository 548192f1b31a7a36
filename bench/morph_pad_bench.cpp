// The morph pad's frame without an overlay rebuild: its drawing code alone on the recording backend,
// and one full frame through the NanoVG GL3 backend on an offscreen context (llvmpipe here).
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "bench/thread_cpu.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "utils/morph/morph_pad_control.h"
#include "tests/support/morph_pad_probe.h"

using namespace plugkit::gfx;
using zarvo::morph::MorphEngine;
using zarvo::morph::MorphPadControl;

namespace {

constexpr IRECT kPad(16.f, 8.f, 924.f, 412.f);

// The settings mode, the busiest state: 16 active points, three selected, the bar hovered, the
// histogram and the learn box shown.
void Populate(MorphEngine& engine, MorphPadControl& pad)
{
  engine.edit({.editing = true});
  for (size_t i = 0; i < 17; ++i)
  {
    engine.edit({.point = i, .active = true});
    engine.edit({.point = i,
                 .x = 0.25 + 0.7 * static_cast<double>(i % 6) / 5.0,
                 .y = 0.15 + 0.7 * static_cast<double>(i / 6) / 2.0});
  }
  pad.relaxAllPoints(0);
  pad.applySelection((1u << 2) | (1u << 3) | (1u << 4));
  MorphPadControl::Callbacks callbacks;
  callbacks.onSaveBlend = [] {};
  callbacks.onCopyRig = [] {};
  callbacks.canUndo = [] { return true; };
  callbacks.learnInfo = [] { return MorphPadControl::XYLearnInfo{0, 7, 9}; };
  pad.setCallbacks(std::move(callbacks));
  padProbe(pad).hoveredAction = 4;
  pad.SetValue(0.6, 0);
  pad.SetValue(0.4, 1);
}

// The populated pad in a 940 x 420 window of the NanoVG GL3 backend on an offscreen context, one
// frame drawn and finished: the overlay built, the font atlas and the field's layer made.
struct GLPad
{
  explicit GLPad(float scale)
  {
    if (!gl.Ok())
      return;
    g = std::make_unique<gfx_gl_test::OffscreenGfx>(delegate, gl, 940, 420, scale);
    g->LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str());
    g->AttachPanelBackground(IPattern(IColor(255, 60, 60, 60)));
    // The editor's opaque field background over the panel.
    IVStyle style = DEFAULT_STYLE;
    style.colorSpec.SetColor(EVColor::BG, IColor(255, 45, 45, 45));
    pad = new MorphPadControl(kPad, {0, 1}, engine, style);
    g->AttachControl(pad);
    Populate(engine, *pad);
    Frame();
  }
  bool Ok() const { return g != nullptr; }
  void Frame()
  {
    pad->SetDirty(false);
    g->Frame();
    glFinish();
  }

  gfx_gl_test::OffscreenGL gl;
  plugkit::gfx::test::FakeDelegate delegate{8};
  MorphEngine engine;
  std::unique_ptr<gfx_gl_test::OffscreenGfx> g;
  MorphPadControl* pad = nullptr;
};

void BM_PadFrameRecording(benchmark::State& state)
{
  MorphEngine engine;
  plugkit::gfx::test::EditorSession s(8, 940, 420);
  auto* pad = new MorphPadControl(kPad, {0, 1}, engine, DEFAULT_STYLE);
  s.G().AttachControl(pad);
  Populate(engine, *pad);
  // The overlay's rebuild and the first frame's setup stay out of the timing.
  pad->SetDirty(false);
  s.G().Tick();
  const uint64_t rebuilds = padProbe(*pad).overlay.rebuildCount();
  for (auto _ : state)
  {
    s.recorder.Clear();
    pad->SetDirty(false);
    s.G().Tick();
  }
  if (padProbe(*pad).overlay.rebuildCount() != rebuilds)
    state.SkipWithError("the overlay rebuilt inside the timing");
}
BENCHMARK(BM_PadFrameRecording)->Unit(benchmark::kMicrosecond);

void BM_PadFrameGL(benchmark::State& state)
{
  GLPad p(static_cast<float>(state.range(0)));
  if (!p.Ok())
  {
    state.SkipWithError("no surfaceless EGL context");
    return;
  }
  MorphPadControl* pad = p.pad;
  auto& g = *p.g;
  const bool finish = state.range(1) != 0;
  // The overlay's rebuild, the font atlas and any cached layer were made before the timing starts.
  const uint64_t rebuilds = padProbe(*pad).overlay.rebuildCount();
  for (auto _ : state)
  {
    pad->SetDirty(false);
    g.Frame();
    // With finish:0 the rasteriser's own threads are left out: what the editor's thread spends.
    if (!finish)
      state.PauseTiming();
    glFinish();
    if (!finish)
      state.ResumeTiming();
  }
  if (padProbe(*pad).overlay.rebuildCount() != rebuilds)
    state.SkipWithError("the overlay rebuilt inside the timing");
}
BENCHMARK(BM_PadFrameGL)->ArgNames({"scale", "finish"})->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);

// The same frame with the panel background redrawn instead of the pad: what any frame of this size
// costs the editor's thread (binding the framebuffer, the panel, showing the picture).
void BM_PanelFrameGL(benchmark::State& state)
{
  gfx_gl_test::OffscreenGL gl;
  if (!gl.Ok())
  {
    state.SkipWithError("no surfaceless EGL context");
    return;
  }
  plugkit::gfx::test::FakeDelegate delegate(8);
  gfx_gl_test::OffscreenGfx g(delegate, gl, 940, 420, static_cast<float>(state.range(0)));
  g.AttachPanelBackground(IPattern(IColor(255, 60, 60, 60)));
  g.Frame();
  glFinish();
  for (auto _ : state)
  {
    g.GetControl(0)->SetDirty(false);
    g.Frame();
    state.PauseTiming();
    glFinish();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PanelFrameGL)->ArgNames({"scale"})->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A point dragged to and fro across the pad, 17 points active, one weighting model: each step is the
// pointer's move and the frame it draws (the overlay's rebuild, the pad, the rasteriser's work).
// The CPU column is the whole process's (every thread, the rasteriser's included); the counters give
// the same per step from /proc/self/task, the overlay rebuilds per step, and the release's frame,
// whose full rebuild restores the overlay drawn when the pad is still.
void DragSteps(benchmark::State& state, int point)
{
  GLPad p(1.f);
  if (!p.Ok())
  {
    state.SkipWithError("no surfaceless EGL context");
    return;
  }
  MorphPadControl* pad = p.pad;
  p.engine.edit({.model = static_cast<uint32_t>(state.range(0))});
  p.Frame();
  // The grab: a pixel of the point's disc.
  float x = -1.f, y = -1.f;
  for (float py = kPad.T; py < kPad.B && x < 0.f; py += 2.f)
    for (float px = kPad.L; px < kPad.R; px += 2.f)
      if (pad->pointAt(px, py) == point)
      {
        x = px;
        y = py;
        break;
      }
  if (x < 0.f)
  {
    state.SkipWithError("the point is not on the pad");
    return;
  }
  const IMouseMod mod;
  pad->OnMouseDown(x, y, mod);
  p.g->Frame();
  glFinish();
  const uint64_t rebuilds = padProbe(*pad).overlay.rebuildCount();
  const double cpuStart = vemlor::bench::allThreadsCpuSeconds();
  int step = 0;
  for (auto _ : state)
  {
    const float dx = (step++ / 30) % 2 == 0 ? 3.f : -3.f;
    x += dx;
    pad->OnMouseDrag(x, y, dx, 0.f, mod);
    p.g->Frame();
    glFinish();
  }
  const double steps = static_cast<double>(state.iterations());
  state.counters["all_threads_cpu_ms_per_step"] = 1e3 * (vemlor::bench::allThreadsCpuSeconds() - cpuStart) / steps;
  state.counters["rebuilds_per_step"] = static_cast<double>(padProbe(*pad).overlay.rebuildCount() - rebuilds) / steps;
  state.counters["coarse_while_held"] = padProbe(*pad).overlay.coarse() ? 1 : 0;
  const auto wall = std::chrono::steady_clock::now();
  const double cpu = vemlor::bench::allThreadsCpuSeconds();
  pad->OnMouseUp(x, y, mod);
  p.g->Frame();
  glFinish();
  state.counters["release_wall_ms"] =
    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count();
  state.counters["release_all_threads_cpu_ms"] = 1e3 * (vemlor::bench::allThreadsCpuSeconds() - cpu);
}
// Point 5, near the right edge: the pointer runs past the edge where the point stops, so about two
// steps in three move nothing.
void BM_PadDragStep(benchmark::State& state) { DragSteps(state, 5); }
BENCHMARK(BM_PadDragStep)
  ->ArgName("model")
  ->DenseRange(0, 4)
  ->Unit(benchmark::kMillisecond)
  ->MeasureProcessCPUTime()
  ->UseRealTime()
  ->MinTime(2.0);

// Point 8, in the middle: every step moves it and changes the field (rebuilds_per_step 1).
void BM_PadDragStepEveryStepMoves(benchmark::State& state) { DragSteps(state, 8); }
BENCHMARK(BM_PadDragStepEveryStepMoves)
  ->ArgName("model")
  ->DenseRange(0, 4)
  ->Unit(benchmark::kMillisecond)
  ->MeasureProcessCPUTime()
  ->UseRealTime()
  ->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
