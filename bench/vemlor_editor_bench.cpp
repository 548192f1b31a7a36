// The product's editor in the test host's X11 window (needs an X display: run it under
// scripts/xvfb-test-run or xvfb-run): opening it until its first frame is drawn, one full frame of
// the 940 x 620 editor with every control redrawn, and what an open, idle editor costs in CPU.
// The plug-in is built in this process, reading its fonts and artwork from the built bundle.
#include <benchmark/benchmark.h>

#include <poll.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "IGfx/IGfx.h"
#include "bench/thread_cpu.h"
#include "IPlugin/IPluginPaths.h"
#include "product/Vemlor.h"
#include "product/params/params.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tests/host/test_host.h"
// Xlib's macros (None, Bool) last: they clash with names in the headers above.
#include "IGfx/Platforms/X11/IGfxLinux.h"
#include "tests/host/host_window.h"

namespace {

using namespace Steinberg;
using vemlor::bench::allThreadsCpuSeconds;
using vemlor::testhost::Host;
using vemlor::testhost::HostWindow;
using vemlor::testhost::Plugin;

double cpuSeconds(clockid_t clock)
{
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Preferences and presets in a folder of the benchmark's own, never the user's.
void useOwnDataFolder()
{
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "vemlor-editor-bench-XXXXXX").string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
  }();
  setenv("XDG_DATA_HOME", folder.c_str(), 1);
}

// One in-process instance hosted by the test host, and its editor in a real window.
struct EditorBench
{
  EditorBench()
    : parent(1960, 1300)
  {
    useOwnDataFolder();
    plugkit::OverrideBundleRoot(VEMLOR_BUNDLE_PATH);
    plug = new Vemlor(plugkit::InstanceInfo{});
    plugin = Plugin::adopt(static_cast<Vst::IComponent*>(plug), host, error);
  }
  ~EditorBench()
  {
    close();
    if (plugin)
      plugin->teardown();
  }

  bool ok() const { return parent.ok() && plugin; }

  bool open(float screenScale = 1.f)
  {
    view = plugin->controller()->createView(Vst::ViewType::kEditor);
    if (!view || view->setFrame(&host.frame()) != kResultTrue)
      return false;
    if (screenScale != 1.f)
    {
      FUnknownPtr<IPlugViewContentScaleSupport> scaling(view);
      if (!scaling || scaling->setContentScaleFactor(screenScale) != kResultOk)
        return false;
    }
    return view->attached(parent.parent(), kPlatformTypeX11EmbedWindowID) == kResultOk;
  }

  void close()
  {
    if (!view)
      return;
    view->removed();
    view->setFrame(nullptr);
    view->release();
    view = nullptr;
  }

  plugkit::gfx::IGfxLinux* ui() const { return static_cast<plugkit::gfx::IGfxLinux*>(plug->GetUI()); }

  // Pumps 16 ms turns, waiting on the X connections between them, until done() or maxTurns.
  template <typename Done>
  bool pumpUntil(Done done, int maxTurns = 500)
  {
    for (int turn = 0; turn < maxTurns; ++turn)
    {
      host.pump(16);
      if (done())
        return true;
      waitForEvents(10);
    }
    return false;
  }

  void waitForEvents(int ms)
  {
    std::vector<pollfd> fds;
    for (int fd : host.runLoop().descriptors())
      fds.push_back({fd, POLLIN, 0});
    fds.push_back({ConnectionNumber(parent.display()), POLLIN, 0});
    poll(fds.data(), fds.size(), ms);
  }

  // Waits for the next tick, waking early only to serve X events.
  void waitUntil(std::chrono::steady_clock::time_point next)
  {
    for (auto now = std::chrono::steady_clock::now(); now < next; now = std::chrono::steady_clock::now())
      waitForEvents(static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()) + 1);
  }

  bool openUntilFirstFrame(float screenScale = 1.f)
  {
    return open(screenScale) && pumpUntil([&] { return ui() && ui()->NFramesDrawn() > 0; });
  }

  // The morph field on or off as the MORPH toggle sets it: the editor is rebuilt at 940 x 620 with
  // the morph page, or at 940 x 200.
  bool showMorphPage(bool on = true)
  {
    plug->SendParameterValueFromUI(zarvo::par_morph_active, on ? 1.0 : 0.0);
    return pumpUntil([&] { return ui() && ui()->Height() == (on ? 620 : 200); });
  }

  HostWindow parent;
  Host host{true};
  Vemlor* plug = nullptr;
  std::unique_ptr<Plugin> plugin;
  IPlugView* view = nullptr;
  std::string error;
};

// createView and attached, then run-loop turns until the editor has drawn its first frame; closed
// outside the timing. Registered first, so that its first iteration is the first open of a fresh
// process (run it alone with --benchmark_filter=EditorOpen for that); the counters give the first
// open and the mean of the reopens, wall and CPU (every thread, and the main thread alone).
void BM_EditorOpenUntilFirstFrame(benchmark::State& state)
{
  EditorBench b;
  if (!b.ok())
  {
    state.SkipWithError("no X display, or the plug-in was not made");
    return;
  }
  double wall = 0.0, all = 0.0, main = 0.0;
  int opens = 0;
  for (auto _ : state)
  {
    const auto wallStart = std::chrono::steady_clock::now();
    const double allStart = allThreadsCpuSeconds();
    const double mainStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    if (!b.openUntilFirstFrame())
    {
      state.SkipWithError("the editor did not open");
      return;
    }
    state.PauseTiming();
    const double w = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
    const double a = 1e3 * (allThreadsCpuSeconds() - allStart);
    const double m = 1e3 * (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainStart);
    if (opens++ == 0)
    {
      state.counters["first_wall_ms"] = w;
      state.counters["first_all_threads_cpu_ms"] = a;
      state.counters["first_main_thread_cpu_ms"] = m;
    }
    else
    {
      wall += w;
      all += a;
      main += m;
    }
    state.counters["height"] = b.ui()->Height();
    b.close();
    state.ResumeTiming();
  }
  if (opens > 1)
  {
    state.counters["reopen_wall_ms"] = wall / (opens - 1);
    state.counters["reopen_all_threads_cpu_ms"] = all / (opens - 1);
    state.counters["reopen_main_thread_cpu_ms"] = main / (opens - 1);
  }
}
BENCHMARK(BM_EditorOpenUntilFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

// One frame of the whole editor, 940 x 200 or 940 x 620 with the morph page, at screen scale 1 or 2:
// every control marked dirty, then the frame timer's turn
// draws and submits it. The main thread's CPU time is what building and submitting cost; the whole
// process's (the GL rasteriser's threads, Mesa llvmpipe here, included) is given beside it.
void BM_FullEditorFrame(benchmark::State& state)
{
  EditorBench b;
  if (!b.ok() || !b.openUntilFirstFrame(static_cast<float>(state.range(0))) || !b.showMorphPage(state.range(1) != 0))
  {
    state.SkipWithError("no X display, or the editor did not open at its height");
    return;
  }
  // Warm-up: the first full frames of a process grow the driver's buffers (page faults, heap growth).
  for (int i = 0; i < 50; ++i)
  {
    b.ui()->SetAllControlsDirty();
    b.host.pump(16);
  }
  b.pumpUntil([] { return false; }, 30);
  double cpu = 0.0;
  int frames = 0;
  const double allStart = allThreadsCpuSeconds();
  for (auto _ : state)
  {
    b.ui()->SetAllControlsDirty();
    const int before = b.ui()->NFramesDrawn();
    const double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    b.host.pump(16);
    cpu += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
    frames += b.ui()->NFramesDrawn() - before;
    state.PauseTiming();
    b.waitForEvents(0);
    state.ResumeTiming();
  }
  state.counters["main_thread_cpu_ms"] = 1e3 * cpu / static_cast<double>(state.iterations());
  // The rasteriser's threads finish a frame while the next is prepared: the process's CPU over the
  // whole run, per frame.
  state.counters["all_threads_cpu_ms"] =
    1e3 * (allThreadsCpuSeconds() - allStart) / static_cast<double>(state.iterations());
  state.counters["frames_per_iteration"] = static_cast<double>(frames) / static_cast<double>(state.iterations());
  state.counters["height"] = b.ui()->Height();
}
BENCHMARK(BM_FullEditorFrame)
  ->ArgsProduct({{1, 2}, {0, 1}})
  ->ArgNames({"scale", "morph_page"})
  ->Unit(benchmark::kMillisecond)
  ->Iterations(200)
  ->UseRealTime();

// An open editor left alone for five seconds of real time, the run loop turned every 16 ms as a host
// does: the process's CPU time (all threads) over the wall time is the share of a core it costs.
void BM_IdleEditorCpuShare(benchmark::State& state)
{
  EditorBench b;
  if (!b.ok() || !b.openUntilFirstFrame())
  {
    state.SkipWithError("no X display, or the editor did not open");
    return;
  }
  if (!b.showMorphPage(state.range(0) != 0))
  {
    state.SkipWithError("the editor did not take its height");
    return;
  }
  b.pumpUntil([] { return false; }, 30);
  double share = 0.0, mainShare = 0.0;
  int frames = 0;
  for (auto _ : state)
  {
    const int before = b.ui()->NFramesDrawn();
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double mainStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    auto next = wallStart;
    for (int tick = 0; tick < 312; ++tick)
    {
      next += std::chrono::milliseconds(16);
      b.host.pump(16);
      b.waitUntil(next);
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    share += (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart) / wall;
    mainShare += (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainStart) / wall;
    frames += b.ui()->NFramesDrawn() - before;
  }
  state.counters["core_percent"] = 100.0 * share / static_cast<double>(state.iterations());
  state.counters["main_thread_core_percent"] = 100.0 * mainShare / static_cast<double>(state.iterations());
  state.counters["frames_drawn_per_5s"] = static_cast<double>(frames) / static_cast<double>(state.iterations());
  state.counters["height"] = b.ui()->Height();
}
BENCHMARK(BM_IdleEditorCpuShare)
  ->Arg(0)
  ->Arg(1)
  ->ArgName("morph_page")
  ->Unit(benchmark::kMillisecond)
  ->Iterations(2)
  ->UseRealTime();

// One knob automated by the host at 60 Hz with the 940 x 620 editor open at screen scale 1 or 2: at
// each tick the host's thread gives the controller the knob's next value (a slow sine, so every tick
// moves it) and turns the run loop, whose frame timer draws the change. Five seconds of real time;
// the CPU of every thread of the process (the rasteriser's included) and of the main thread alone,
// as shares of one core, and the frames drawn per second.
void BM_AutomatedKnob(benchmark::State& state)
{
  EditorBench b;
  if (!b.ok() || !b.openUntilFirstFrame(static_cast<float>(state.range(0))) || !b.showMorphPage(true))
  {
    state.SkipWithError("no X display, or the editor did not open at its height");
    return;
  }
  b.pumpUntil([] { return false; }, 30);
  const auto id = static_cast<Vst::ParamID>(zarvo::par_main_drive);
  double all = 0.0, main = 0.0, fps = 0.0;
  int tick = 0;
  for (auto _ : state)
  {
    const int before = b.ui()->NFramesDrawn();
    const auto wallStart = std::chrono::steady_clock::now();
    const double allStart = allThreadsCpuSeconds();
    const double mainStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    auto next = wallStart;
    for (int i = 0; i < 300; ++i, ++tick)
    {
      next += std::chrono::microseconds(16667);
      b.plugin->controller()->setParamNormalized(id, 0.5 + 0.4 * std::sin(0.05 * tick));
      b.host.pump(16);
      b.waitUntil(next);
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    all += (allThreadsCpuSeconds() - allStart) / wall;
    main += (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainStart) / wall;
    fps += (b.ui()->NFramesDrawn() - before) / wall;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["all_threads_core_percent"] = 100.0 * all / n;
  state.counters["main_thread_core_percent"] = 100.0 * main / n;
  state.counters["frames_per_second"] = fps / n;
  state.counters["height"] = b.ui()->Height();
}
BENCHMARK(BM_AutomatedKnob)
  ->Arg(1)
  ->Arg(2)
  ->ArgName("scale")
  ->Unit(benchmark::kMillisecond)
  ->Iterations(2)
  ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
