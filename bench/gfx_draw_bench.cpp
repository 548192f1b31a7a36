// Drawing costs: the shadow blur's flat-run shortcut, one full frame of 200 mixed controls through the
// NanoVG GL3 backend on an offscreen context, and how often a bitmap is decoded across frames.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <stb/stb_image_write.h>

#include "IGfx/ISVG.h"
#include "IGfx/ShadowBlur.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"

using namespace gfx_gl_test;
using plugkit::gfx::test::FakeDelegate;

namespace {
constexpr const char* kArt = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24">
  <path d="M12 2 A10 10 0 1 1 11.99 2 Z M12 7 A5 5 0 1 0 12.01 7 Z" fill="#3060d0"/>
  <rect x="4" y="18" width="16" height="3" fill="#d04030" stroke="#000"/></svg>)svg";

// One layer's alpha: a filled shape on transparent ground, the common case for a drop shadow.
std::vector<uint8_t> ShapeRow(int n, bool random)
{
  std::vector<uint8_t> row(static_cast<size_t>(n), 0);
  std::mt19937 rng(5);
  for (int i = 0; i < n; ++i)
    row[i] = random ? static_cast<uint8_t>(rng()) : (i > n / 4 && i < 3 * n / 4 ? 255 : 0);
  return row;
}

void BM_BlurRow(benchmark::State& state)
{
  const bool shortcut = state.range(0) != 0, random = state.range(1) != 0;
  const int n = 1024;
  plugkit::gfx::ShadowBlur blur;
  blur.SetSize(10.f, 1.f, 1.f);
  const std::vector<uint8_t> in = ShapeRow(n, random);
  std::vector<uint8_t> out(in.size());
  for (auto _ : state)
  {
    if (shortcut)
      blur.BlurRow(in.data(), 1, out.data(), 1, n);
    else
      blur.BlurRowPlain(in.data(), 1, out.data(), 1, n);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BlurRow)->ArgNames({"shortcut", "random"})->ArgsProduct({{0, 1}, {0, 1}});

// 200 controls of eight kinds on a 20 × 10 grid of 30 × 24 cells.
void AddMixedControls(IGfx& g, const ISVG& art)
{
  const IText text(11.f, COLOR_BLACK, "Roboto-Regular");
  for (int i = 0; i < 200; ++i)
  {
    const float x = static_cast<float>(i % 20) * 30.f, y = static_cast<float>(i / 20) * 24.f;
    const IRECT r(x + 1, y + 1, x + 29, y + 23);
    g.AttachControl(new LambdaControl(r, [i, text, art](IGfx& gfx, const IRECT& b) {
      switch (i % 8)
      {
      case 0: gfx.FillRoundRect(COLOR_LIGHT_GRAY, b, 4.f); break;
      case 1: gfx.DrawArc(COLOR_BLUE, b.MW(), b.MH(), 9.f, -135.f, 135.f, nullptr, 2.f); break;
      case 2: gfx.DrawText(text, "12.5", b); break;
      case 3: gfx.DrawSVG(art, b); break;
      case 4: gfx.FillCircle(COLOR_ORANGE, b.MW(), b.MH(), 8.f); break;
      case 5: gfx.DrawRadialLine(COLOR_BLACK, b.MW(), b.MH(), 45.f, 2.f, 10.f, nullptr, 2.f); break;
      case 6:
      {
        float ys[] = {0.1f, 0.8f, 0.3f, 0.9f, 0.5f};
        gfx.DrawData(COLOR_GREEN, b, ys, 5);
        break;
      }
      default: gfx.DrawDottedRect(COLOR_GRAY, b, nullptr, 1.f, 3.f); break;
      }
    }));
  }
}

void BM_FullFrame200Controls(benchmark::State& state)
{
  OffscreenGL gl;
  if (!gl.Ok())
  {
    state.SkipWithError("no surfaceless EGL context");
    return;
  }
  FakeDelegate delegate(0);
  OffscreenGfx g(delegate, gl, 600, 240, static_cast<float>(state.range(0)));
  g.LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str());
  const ISVG art = g.LoadSVG("art.svg", static_cast<const void*>(kArt), 0);
  AddMixedControls(g, art);
  for (auto _ : state)
  {
    g.SetAllControlsDirty();
    g.Frame();
    // What the GPU (here llvmpipe's threads) does with the frame is not this thread's CPU time.
    state.PauseTiming();
    glFinish();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FullFrame200Controls)->ArgName("scale")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Every frame asks for the bitmap again, as a control that loads in Draw would; the counter is the
// number of decodes over ten frames.
void BM_BitmapDecodesOverTenFrames(benchmark::State& state)
{
  OffscreenGL gl;
  if (!gl.Ok())
  {
    state.SkipWithError("no surfaceless EGL context");
    return;
  }
  const auto dir = std::filesystem::temp_directory_path() / "vemlor_gfx_bench";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "dot.png").string();
  const std::vector<unsigned char> white(4 * 4 * 4, 255);
  stbi_write_png(path.c_str(), 4, 4, 4, white.data(), 16);
  int decodes = 0;
  for (auto _ : state)
  {
    FakeDelegate delegate(0);
    OffscreenGfx g(delegate, gl, 40, 40, 1.f, static_cast<float>(state.range(0)));
    auto* c = new LambdaControl(
      IRECT(0, 0, 40, 40), [&path](IGfx& gfx, const IRECT& r) { gfx.DrawBitmap(gfx.LoadBitmap(path.c_str()), r, 1); });
    g.AttachControl(c);
    for (int frame = 0; frame < 10; ++frame)
    {
      c->SetDirty(false);
      g.Frame();
    }
    decodes = g.NDecodedBitmaps();
  }
  state.counters["decodes"] = decodes;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_BitmapDecodesOverTenFrames)->ArgName("screen_scale")->Arg(1)->Arg(2)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
