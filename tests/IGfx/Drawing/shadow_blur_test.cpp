#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "IGfx/ShadowBlur.h"

using namespace plugkit::gfx;

TEST(ShadowBlur, SizeZeroAtScaleOneIsTheIdentity)
{
  ShadowBlur blur;
  blur.SetSize(0.0f, 1.0f, 1.0f);
  ASSERT_EQ(blur.GetKernelSize(), 1);
  EXPECT_EQ(blur.GetKernel()[0], 255);
  EXPECT_EQ(blur.GetNorm(), 255u);

  std::mt19937 rng(3);
  const int w = 13, h = 7;
  std::vector<uint8_t> pixels(w * h * 4);
  for (auto& p : pixels)
    p = static_cast<uint8_t>(rng());
  const std::vector<uint8_t> before = pixels;
  blur.Apply(pixels.data(), static_cast<int>(pixels.size()), w, h, 3, false);
  EXPECT_EQ(pixels, before);
}

TEST(ShadowBlur, FlatRunShortcutEqualsThePlainSum)
{
  std::mt19937 rng(11);
  struct Case
  {
    const char* name;
    float size, scale, drawScale;
  } sizes[] = {{"size 1", 1, 1, 1}, {"size 4 at scale 2", 4, 2, 1}, {"size 10 drawn at 1.5", 10, 1, 1.5f}};
  for (const Case& c : sizes)
  {
    SCOPED_TRACE(c.name);
    ShadowBlur blur;
    blur.SetSize(c.size, c.scale, c.drawScale);
    for (int n : {1, 2, 5, 31, 200})
    {
      std::vector<uint8_t> random(n), flat(n, 200), steps(n);
      for (int i = 0; i < n; ++i)
      {
        random[i] = static_cast<uint8_t>(rng());
        steps[i] = (i / 40) % 2 ? 255 : (i / 40 % 3 ? 0 : 90); // long flat runs with edges
      }
      for (const auto* row : {&random, &flat, &steps})
      {
        std::vector<uint8_t> fast(n), plain(n);
        blur.BlurRow(row->data(), 1, fast.data(), 1, n);
        blur.BlurRowPlain(row->data(), 1, plain.data(), 1, n);
        EXPECT_EQ(fast, plain) << "n=" << n;
      }
    }
  }
}

TEST(ShadowBlur, KernelAndLighterEnds)
{
  ShadowBlur blur;
  blur.SetSize(2.0f, 1.0f, 1.0f); // blur 3, K 3: 255, round(255·e^−0.5), round(255·e^−2)
  ASSERT_EQ(blur.GetKernelSize(), 3);
  EXPECT_EQ(blur.GetKernel()[1], 155);
  EXPECT_EQ(blur.GetKernel()[2], 35);
  EXPECT_EQ(blur.GetNorm(), 255u + 2 * (155 + 35));

  std::vector<uint8_t> row(9, 255), out(9);
  blur.BlurRow(row.data(), 1, out.data(), 1, 9);
  EXPECT_EQ(out[4], 255);
  EXPECT_EQ(out[0], (255u * (255 + 155 + 35)) / blur.GetNorm());
  EXPECT_LT(out[1], 255);
}

TEST(ShadowBlur, BothPassesReadFlippedRowsAndWriteTopDown)
{
  // A single opaque pixel in the top row of the image; stored bottom row first when flipped.
  const int w = 9, h = 9;
  ShadowBlur blur;
  blur.SetSize(2.0f, 1.0f, 1.0f);
  for (bool flipped : {false, true})
  {
    SCOPED_TRACE(flipped ? "flipped" : "top down");
    std::vector<uint8_t> px(w * h * 4, 0);
    const int storedRow = flipped ? h - 1 : 0;
    px[(storedRow * w + 4) * 4 + 3] = 255;
    blur.Apply(px.data(), static_cast<int>(px.size()), w, h, 3, flipped);
    auto alpha = [&](int x, int y) { return px[(y * w + x) * 4 + 3]; };
    EXPECT_GT(alpha(4, 0), alpha(4, 1));
    EXPECT_GT(alpha(4, 1), 0);
    EXPECT_EQ(alpha(4, 8), 0);
    EXPECT_EQ(alpha(3, 0), alpha(5, 0));
    EXPECT_EQ(px[(0 * w + 4) * 4 + 0], 0); // colour bytes untouched
  }
}
