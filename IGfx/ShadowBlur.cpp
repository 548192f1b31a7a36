#include "IGfx/ShadowBlur.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace plugkit::gfx {

void ShadowBlur::SetSize(float blurSize, float scale, float drawScale)
{
  const float blur = std::max(1.0f, blurSize * scale * drawScale + 1.0f);
  const int k = static_cast<int>(std::ceil(blur));
  if (!mKernel.Resize(k) || mKernel.GetSize() != k)
  {
    mK = 0;
    mNorm = 0;
    return;
  }
  auto* kernel = static_cast<uint8_t*>(mKernel.Get());
  mNorm = 0;
  for (int i = 0; i < k; ++i)
  {
    kernel[i] = static_cast<uint8_t>(std::lround(255.0 * std::exp(-double(i) * i * 4.5 / (double(blur) * blur))));
    mNorm += (i ? 2u : 1u) * kernel[i];
  }
  mK = k;
}

uint8_t ShadowBlur::PlainSum(const uint8_t* in, int inStep, int j, int n) const
{
  const uint8_t* kernel = GetKernel();
  uint32_t sum = 0;
  const int lo = std::max(j - mK + 1, 0), hi = std::min(j + mK - 1, n - 1);
  for (int i = lo; i <= hi; ++i)
    sum += kernel[std::abs(i - j)] * uint32_t{in[static_cast<std::ptrdiff_t>(i) * inStep]};
  return static_cast<uint8_t>(std::min<uint32_t>(255, sum / mNorm));
}

void ShadowBlur::BlurRowPlain(const uint8_t* in, int inStep, uint8_t* out, int outStep, int n) const
{
  if (mK <= 0 || mNorm == 0)
    return;
  for (int j = 0; j < n; ++j)
    out[static_cast<std::ptrdiff_t>(j) * outStep] = PlainSum(in, inStep, j, n);
}

void ShadowBlur::BlurRow(const uint8_t* in, int inStep, uint8_t* out, int outStep, int n) const
{
  if (mK <= 0 || mNorm == 0)
    return;
  const int window = 2 * mK - 1;
  int run = 0;
  uint8_t last = 0;
  auto feed = [&](int i) {
    const uint8_t v = in[static_cast<std::ptrdiff_t>(i) * inStep];
    run = (run && v == last) ? run + 1 : 1;
    last = v;
  };
  for (int i = 0; i < std::min(mK - 1, n); ++i)
    feed(i);
  for (int j = 0; j < n; ++j)
  {
    const int entering = j + mK - 1;
    if (entering < n)
      feed(entering);
    // A window wholly inside the row whose samples are all equal sums to exactly that value.
    const bool inside = j - mK + 1 >= 0 && entering < n;
    out[static_cast<std::ptrdiff_t>(j) * outStep] = (inside && run >= window) ? last : PlainSum(in, inStep, j, n);
  }
}

void ShadowBlur::Apply(uint8_t* pixels, int size, int width, int height, int alphaChannel, bool flipped)
{
  if (!pixels || width <= 0 || height <= 0 || size < width * height * 4 || mK <= 0)
    return;
  if (!mScratch.Resize(size) || mScratch.GetSize() != size)
    return;
  auto* scratch = static_cast<uint8_t*>(mScratch.Get());
  std::memcpy(scratch, pixels, static_cast<size_t>(size));
  const int stride1 = size / width;  // one column of the transposed image: height pixels of 4 bytes
  const int stride2 = size / height; // one row of the image
  const int inRowStep = flipped ? -stride2 : stride2;
  const uint8_t* firstRow = pixels + (flipped ? static_cast<std::ptrdiff_t>(height - 1) * stride2 : 0) + alphaChannel;

  // Rows of the image become columns of the scratch copy.
  for (int i = 0; i < height; ++i)
    BlurRow(firstRow + static_cast<std::ptrdiff_t>(i) * inRowStep, 4, scratch + 4 * i + alphaChannel, stride1, width);
  // Columns (rows of the scratch copy) go back, transposed again, top row first.
  for (int i = 0; i < width; ++i)
    BlurRow(scratch + static_cast<std::ptrdiff_t>(i) * stride1 + alphaChannel, 4, pixels + 4 * i + alphaChannel,
            stride2, height);
}

} // namespace plugkit::gfx
