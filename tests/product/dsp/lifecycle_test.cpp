// The processors' shared lifecycle: prepare for a set-up, reset, process.
#include <gtest/gtest.h>

#include <utility>

#include "tests/product/dsp/lifecycle_subjects.h"

namespace zarvo {
namespace {

using test::Stereo;
using test::lifecycle::noiseBlock;
using test::lifecycle::subjects;

// Processing and reset run on the audio thread, where an exception has nowhere to go.
static_assert(noexcept(std::declval<Oversampler&>().reset()));
static_assert(noexcept(std::declval<Oversampler&>().upsample(std::declval<const AudioBuffer&>(),
                                                             std::declval<AudioBuffer&>())));
static_assert(noexcept(std::declval<Oversampler&>().downsample(std::declval<const AudioBuffer&>(),
                                                               std::declval<AudioBuffer&>())));
static_assert(noexcept(std::declval<StateVariableZDF<v2d, 1>&>().reset()));
static_assert(noexcept(std::declval<StateVariableZDF<v2d, 1>&>().setRateKeepingState(1.0)));
static_assert(noexcept(std::declval<StateVariableZDF<v2d, 1>&>().processSample(v2d{}, v2d{})));
static_assert(noexcept(std::declval<StateVariableZDF<double, 2>&>().processChannel(nullptr, 0, 0, nullptr)));
static_assert(noexcept(std::declval<TransistorFractal&>().reset()));
static_assert(noexcept(std::declval<TransistorFractal&>().setRateKeepingState(1.0)));
static_assert(noexcept(std::declval<TransistorFractal&>().processSample(0.0, 1.0)));
static_assert(noexcept(std::declval<BasicTransistorFractal<v2d>&>().processSample(v2d{}, v2d{})));
static_assert(noexcept(std::declval<VemlorModel&>().reset()));
static_assert(noexcept(std::declval<VemlorModel&>().setRateKeepingState(1.0)));
static_assert(noexcept(std::declval<VemlorModel&>().processBuffer(std::declval<AudioBuffer&>())));
static_assert(noexcept(std::declval<SoftLimiter&>().reset()));
static_assert(noexcept(std::declval<SoftLimiter&>().process(0.0)));
static_assert(noexcept(std::declval<SoftLimiter&>().processBuffer(std::declval<AudioBuffer&>())));

TEST(Lifecycle, ResetAfterProcessingMatchesAFreshlyPreparedInstance)
{
  // Blocks end loud and start quiet, so that a level detector left high would show.
  const ProcessSetup setup{96000.0, 256, 2};
  for (const auto& s : subjects())
  {
    auto used = s.make();
    used->prepare(setup);
    for (unsigned seed = 1; seed <= 4; ++seed)
    {
      Stereo block = noiseBlock(256, seed, true);
      used->process(block);
    }
    used->reset();
    auto fresh = s.make();
    fresh->prepare(setup);
    for (unsigned seed = 10; seed <= 11; ++seed)
    {
      Stereo a = noiseBlock(256, seed, true), b = a;
      used->process(a);
      fresh->process(b);
      EXPECT_EQ(a, b) << s.name << ", block " << seed;
    }
  }
}

TEST(Lifecycle, PreparingAgainClearsStateAndTakesTheNewRate)
{
  // Prepared for one rate, run, then prepared for another: the same as prepared for the second only.
  for (const auto& s : subjects())
  {
    auto moved = s.make(), direct = s.make();
    moved->prepare({44100.0, 128, 2});
    Stereo warm = noiseBlock(128, 3);
    moved->process(warm);
    moved->prepare({192000.0, 128, 2});
    direct->prepare({192000.0, 128, 2});
    Stereo a = noiseBlock(128, 4), b = a;
    moved->process(a);
    direct->process(b);
    EXPECT_EQ(a, b) << s.name;
  }
}

TEST(Lifecycle, ALargerBlockSizeIsProcessedWholeAfterPreparingForIt)
{
  // One block of 1024 frames after preparing for it equals the same signal in 64-frame blocks:
  // no frame beyond the first preparation's size is dropped or left unprocessed.
  constexpr int kSmall = 64, kLarge = 1024;
  for (const auto& s : subjects())
  {
    auto grown = s.make(), chunked = s.make();
    grown->prepare({48000.0, kSmall, 2});
    Stereo warm = noiseBlock(kSmall, 5);
    grown->process(warm);
    grown->prepare({48000.0, kLarge, 2});
    chunked->prepare({48000.0, kSmall, 2});

    const Stereo input = noiseBlock(kLarge, 6);
    Stereo whole = input;
    grown->process(whole);
    Stereo pieces = input;
    for (std::size_t pos = 0; pos < static_cast<std::size_t>(kLarge); pos += kSmall)
    {
      Stereo piece;
      for (std::size_t c = 0; c < 2; ++c)
        piece[c].assign(input[c].begin() + static_cast<std::ptrdiff_t>(pos),
                        input[c].begin() + static_cast<std::ptrdiff_t>(pos + kSmall));
      chunked->process(piece);
      for (std::size_t c = 0; c < 2; ++c)
        std::copy(piece[c].begin(), piece[c].end(), pieces[c].begin() + static_cast<std::ptrdiff_t>(pos));
    }
    EXPECT_EQ(whole, pieces) << s.name;
    EXPECT_NE(whole, input) << s.name << " processed nothing";
  }
}

} // namespace
} // namespace zarvo
