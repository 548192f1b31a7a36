// Bitmaps through the NanoVG backend: decoded once per context and name/scale, frames drawn in place.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <stb/stb_image_write.h>

#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::gfx::test::FakeDelegate;

namespace {
// A w × h PNG of two frames stacked vertically: red on top, blue below.
std::vector<unsigned char> TwoFramePNG(int w, int h)
{
  std::vector<unsigned char> px(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      unsigned char* p = &px[(static_cast<size_t>(y) * w + x) * 4];
      p[0] = y < h / 2 ? 255 : 0;
      p[1] = 0;
      p[2] = y < h / 2 ? 0 : 255;
      p[3] = 255;
    }
  std::vector<unsigned char> bytes;
  stbi_write_png_to_func(
    [](void* out, void* data, int size) {
      auto* v = static_cast<std::vector<unsigned char>*>(out);
      v->insert(v->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    },
    &bytes, w, h, 4, px.data(), w * 4);
  return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

class GLBitmaps : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    dir = std::filesystem::temp_directory_path() / ("vemlor_gl_bitmaps_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    WriteFile(dir / "knob.png", TwoFramePNG(20, 40));
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  OffscreenGL gl;
  FakeDelegate delegate{0};
  std::filesystem::path dir;
};
} // namespace

TEST_P(GLBitmaps, DecodedOncePerNameAndScaleAcrossTenFrames)
{
  const float screenScale = GetParam();
  OffscreenGfx g(delegate, gl, 60, 50, 1.f, screenScale);
  const std::string name = (dir / "knob.png").string();
  auto* control = new LambdaControl(IRECT(0, 0, 60, 50), [&name](IGfx& gfx, const IRECT&) {
    gfx.FillRect(COLOR_WHITE, IRECT(0, 0, 60, 50));
    const IBitmap knob = gfx.LoadBitmap(name.c_str(), 2);
    gfx.DrawBitmap(knob, IRECT(10, 10, 30, 30), 2);
  });
  g.AttachControl(control);
  for (int frame = 0; frame < 10; ++frame)
  {
    control->SetDirty(false);
    ASSERT_TRUE(g.Frame());
  }
  gl.WritePNG("bitmap_frame2_screen" + std::to_string(static_cast<int>(screenScale)));
  EXPECT_EQ(g.NDecodedBitmaps(), 1);
  const RGBA p = gl.Probe(static_cast<int>(20 * screenScale), static_cast<int>(20 * screenScale));
  EXPECT_EQ(p.b, 255);
  EXPECT_EQ(p.r, 0);
}

TEST_P(GLBitmaps, ExtensionsAndMissingFiles)
{
  OffscreenGfx g(delegate, gl, 60, 50, 1.f, GetParam());
  struct Case
  {
    const char* ext;
    bool supported;
  } cases[] = {{"png", true}, {"PNG", true}, {"jpg", true}, {"JPEG", true}, {"gif", false}, {"svg", false}};
  for (const Case& c : cases)
    EXPECT_EQ(g.BitmapExtSupported(c.ext), c.supported) << c.ext;
  WriteFile(dir / "anim.gif", TwoFramePNG(4, 4));
  EXPECT_FALSE(g.LoadBitmap((dir / "anim.gif").c_str(), 1, false, 0).IsValid());
  EXPECT_FALSE(g.LoadBitmap((dir / "absent.png").c_str(), 1, false, 0).IsValid());
  EXPECT_EQ(g.NDecodedBitmaps(), 0);
}

TEST_P(GLBitmaps, MemoryBitmapScaledOnceAndOwnedByTheContext)
{
  OffscreenGfx g(delegate, gl, 60, 50, 1.f, GetParam());
  const std::vector<unsigned char> png = TwoFramePNG(20, 40);
  const IBitmap first = g.LoadBitmap("mem.png", png.data(), static_cast<int>(png.size()), 2, false, 2);
  const IBitmap second = g.LoadBitmap("mem.png", png.data(), static_cast<int>(png.size()), 2, false, 2);
  ASSERT_TRUE(first.IsValid());
  EXPECT_EQ(first.GetAPIBitmap(), second.GetAPIBitmap());
  EXPECT_EQ(first.GetAPIBitmap()->GetWidth(), 40); // rendered at scale 2
  EXPECT_EQ(first.W(), 20);
  EXPECT_EQ(first.FH(), 20);
  EXPECT_EQ(g.NDecodedBitmaps(), 1);
  // Scaling renders at the target scale for a moment only.
  EXPECT_EQ(g.GetScreenScale(), GetParam());
  EXPECT_EQ(g.GetDrawScale(), 1.f);
}

INSTANTIATE_TEST_SUITE_P(ScreenScale, GLBitmaps, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
