// Processing allocates nothing once the oversampler is prepared: this program counts every
// allocation through a replaced global operator new. (AddressSanitizer replaces it itself.)
#if !defined(__SANITIZE_ADDRESS__)

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "product/dsp/oversampler.h"
#include "product/dsp/vemlor_model.h"
#include "tests/product/dsp/lifecycle_subjects.h"

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size)
{
  ++gAllocations;
  if (void* p = std::malloc(size == 0 ? 1 : size))
    return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace zarvo {
namespace {

TEST(Allocation, ProcessingAllocatesNothingAfterPreparation)
{
  constexpr std::size_t kMaxFrames = 512;
  Oversampler os;
  os.prepare({48000.0, static_cast<int>(kMaxFrames), 2});
  VemlorModel model;
  AudioBuffer up(2, kMaxFrames * 8);
  std::vector<double> left(kMaxFrames, 0.25), right(kMaxFrames, -0.25);
  double* chans[2] = {left.data(), right.data()};

  const long before = gAllocations.load();
  for (int factor : {1, 2, 4, 8})
  {
    os.setFactor(factor);
    model.setRateKeepingState(48000.0 * factor);
    model.setMainCutoff(800.0, 12.0);
    model.setBreakIntensity(0.5);
    model.setBreakCharacter(8.5);
    model.setDampingRelease(100.0);
    for (std::size_t frames : {kMaxFrames, std::size_t{1}, std::size_t{100}})
      for (std::size_t channels : {std::size_t{2}, std::size_t{1}})
      {
        AudioBuffer block(chans, channels, frames);
        AudioBuffer upView = up.subBuffer(0, frames * static_cast<std::size_t>(factor));
        AudioBuffer& p = factor > 1 ? upView : block;
        if (factor > 1)
          os.upsample(block, p);
        for (std::size_t pos = 0; pos < p.numFrames(); pos += 16)
        {
          AudioBuffer tick = p.subBuffer(pos, std::min<std::size_t>(16, p.numFrames() - pos));
          model.processBuffer(tick);
        }
        if (factor > 1)
          os.downsample(p, block);
      }
    model.reset();
    os.reset();
  }
  EXPECT_EQ(gAllocations.load() - before, 0);
}

TEST(Allocation, ResetAndProcessingAllocateNothingForAnyProcessor)
{
  // Prepared for a small block, then again for a larger one: what follows must fit in the room
  // the second preparation made.
  for (const auto& s : test::lifecycle::subjects())
  {
    auto subject = s.make();
    subject->prepare({48000.0, 64, 2});
    subject->prepare({96000.0, 1024, 2});
    test::Stereo large = test::lifecycle::noiseBlock(1024, 1), small = test::lifecycle::noiseBlock(64, 2);
    const long before = gAllocations.load();
    subject->process(large);
    subject->reset();
    subject->process(small);
    subject->process(large);
    EXPECT_EQ(gAllocations.load() - before, 0) << s.name;
  }
}

} // namespace
} // namespace zarvo

#endif
