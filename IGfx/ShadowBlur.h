// The separable Gaussian blur of a layer's alpha that makes a drop shadow.
#pragma once

#include <cstdint>

#include "IPlugin/HeapBuf.h"

namespace plugkit::gfx {

// Main thread. Integer sums on one byte per pixel; flat runs are copied instead of summed.
class ShadowBlur
{
public:
  // blur = max(1, blurSize · scale · drawScale + 1); the kernel has ceil(blur) one-sided taps.
  void SetSize(float blurSize, float scale, float drawScale);

  int GetKernelSize() const { return mK; }
  const uint8_t* GetKernel() const { return static_cast<const uint8_t*>(mKernel.Get()); }
  uint32_t GetNorm() const { return mNorm; }

  // Blurs the alpha byte of every pixel of width × height 4-byte pixels in place, rows first, then
  // columns. flipped: rows are stored bottom first.
  void Apply(uint8_t* pixels, int size, int width, int height, int alphaChannel, bool flipped);

  // One row of n samples read every inStep bytes, written every outStep bytes. Samples past the ends
  // count as missing, not as zero weight in the norm, so the ends come out lighter.
  void BlurRow(const uint8_t* in, int inStep, uint8_t* out, int outStep, int n) const;
  // The same row by the plain weighted sum everywhere; the reference for the flat-run shortcut.
  void BlurRowPlain(const uint8_t* in, int inStep, uint8_t* out, int outStep, int n) const;

private:
  uint8_t PlainSum(const uint8_t* in, int inStep, int j, int n) const;

  HeapBuf mKernel{4096};
  HeapBuf mScratch{4096};
  int mK = 1;
  uint32_t mNorm = 255;
};

} // namespace plugkit::gfx
