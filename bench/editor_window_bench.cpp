// The X11 side of opening an editor and of an idle editor's frame tick. Needs an X display
// (xvfb-run -a build/bench/editor_window_bench).
#include "IGfx/Platforms/X11/X11EditorWindow.h"
#include "tests/host/host_services.h"
#include "tests/host/host_window.h"

#include <benchmark/benchmark.h>

namespace {

using plugkit::gfx::PlatformMouse;
using plugkit::gfx::X11EditorWindow;

// A graphics context with nothing dirty: the frame tick finds no work.
class IdleListener final : public plugkit::gfx::IX11WindowListener
{
public:
  void OnMouseDown(const PlatformMouse&) override {}
  void OnMouseUp(const PlatformMouse&) override {}
  void OnMouseDrag(const PlatformMouse&) override {}
  void OnMouseDblClick(const PlatformMouse&) override {}
  void OnMouseOver(const PlatformMouse&) override {}
  void OnMouseOut() override {}
  void OnMouseWheel(const PlatformMouse&, float) override {}
  bool OnKeyDown(float, float, const plugkit::IKeyPress&) override { return false; }
  bool OnKeyUp(float, float, const plugkit::IKeyPress&) override { return false; }
  void OnDrop(const std::string&, float, float) override {}
  void OnDropMultiple(const std::vector<std::string>&, float, float) override {}
  bool MouseIsCaptured() const override { return false; }
  void OnFrameTimer() override {}
  void OnExpose() override {}
  void OnWindowLost() override {}
};

// Child window, X connection, GL 3.2 core context and run-loop registrations, then closing them.
void BM_OpenAndCloseEditorWindow(benchmark::State& state)
{
  vemlor::testhost::Host host;
  vemlor::testhost::HostWindow parent(1000, 300);
  if (!parent.ok())
  {
    state.SkipWithError("no X display");
    return;
  }
  IdleListener listener;
  X11EditorWindow editor(listener);
  for (auto _ : state)
  {
    if (!editor.Open(parent.id(), 940, 200, &host.runLoop()))
    {
      state.SkipWithError("the window did not open");
      return;
    }
    editor.Close();
  }
}
BENCHMARK(BM_OpenAndCloseEditorWindow)->Unit(benchmark::kMillisecond);

// One 16 ms tick of an open, idle editor: its CPU time × 62.5 per second is the editor's share of a
// core at rest (the graphics context's own dirty check comes on top).
void BM_IdleFrameTick(benchmark::State& state)
{
  vemlor::testhost::Host host;
  vemlor::testhost::HostWindow parent(1000, 300);
  if (!parent.ok())
  {
    state.SkipWithError("no X display");
    return;
  }
  IdleListener listener;
  X11EditorWindow editor(listener);
  if (!editor.Open(parent.id(), 940, 200, &host.runLoop()))
  {
    state.SkipWithError("the window did not open");
    return;
  }
  for (auto _ : state)
    host.pump(16);
}
BENCHMARK(BM_IdleFrameTick)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
