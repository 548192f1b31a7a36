// Raising a block to 2, 4 or 8 times its rate and back with cascaded polyphase IIR half-bands.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "product/dsp/lanes.h"
#include "utils/audio_buffer.h"
#include "utils/process_setup.h"

namespace zarvo {

namespace halfband {

// The all-pass coefficients of the three stages, steepest first.
inline constexpr std::array<double, 17> kCoefs17 = {
  0.01894275265446283, 0.07298561000830328, 0.15460915785355853, 0.2536617485040564, 0.3597865607056699,
  0.4642969560118342,  0.5610986978791945,  0.6467464356323998,  0.7199716550652966, 0.7810257527489509,
  0.8310664272263706,  0.8716892421931112,  0.9046199947087896,  0.9315419599631838, 0.9540209867860783,
  0.9734956029273163,  0.9913087338999356};
inline constexpr std::array<double, 5> kCoefs5 = {0.028414445279188464, 0.11393344727958085, 0.25906131103886926,
                                                  0.4738722544857808, 0.7870194011528697};
inline constexpr std::array<double, 4> kCoefs4 = {0.033467890099398885, 0.1406727088706957, 0.34665643749448355,
                                                  0.713736743687928};

// Two parallel chains of first-order all-pass sections: even coefficients on one path, odd on
// the other (an odd last coefficient acts on the even path alone). One object serves a pair of
// channels, one per lane.
template <std::size_t N>
class HalfBand
{
public:
  using States = std::array<v2d, N>;

  explicit HalfBand(const std::array<double, N>& coefs)
  {
    for (std::size_t j = 0; j < N; ++j)
      mA[j] = both(coefs[j]);
  }

  void clear() noexcept { mS.fill(v2d{0, 0}); }
  const States& states() const { return mS; }
  // Puts back lane 1 of saved states (a mono block runs lane 1 on a stand-in).
  void restoreLane1(const States& saved)
  {
    for (std::size_t j = 0; j < N; ++j)
      lanes::keepLane1(mS[j], saved[j]);
  }

protected:
  // (a + z^-1) / (1 + a z^-1) with one state: y = a x + s, s = x - a y.
  static v2d section(v2d x, v2d& s, v2d a)
  {
    const v2d y = a * x + s;
    s = x - a * y;
    return y;
  }

  // Sections [First, Last) of both paths; First is even.
  template <std::size_t First, std::size_t Last>
  void runSections(v2d& even, v2d& odd, States& s) const
  {
#pragma GCC unroll 16
    for (std::size_t j = First; j < Last; j += 2)
    {
      even = section(even, s[j], mA[j]);
      if (j + 1 < N)
        odd = section(odd, s[j + 1], mA[j + 1]);
    }
  }

  // Runs n samples, each loaded as (even, odd) path inputs and stored from the path outputs.
  // The loop runs the first half of the sections for sample i beside the second half for sample
  // i - 1: the two touch different states, and the processor overlaps the shorter chains.
  template <typename Load, typename Store>
  void pipelined(std::size_t n, Load load, Store store)
  {
    constexpr std::size_t kSplit = (N / 2) & ~std::size_t{1};
    if (n == 0)
      return;
    States s = mS;
    v2d lastEven, lastOdd;
    load(0, lastEven, lastOdd);
    runSections<0, kSplit>(lastEven, lastOdd, s);
    for (std::size_t i = 1; i < n; ++i)
    {
      v2d even, odd;
      load(i, even, odd);
      runSections<0, kSplit>(even, odd, s);
      runSections<kSplit, N>(lastEven, lastOdd, s);
      store(i - 1, lastEven, lastOdd);
      lastEven = even;
      lastOdd = odd;
    }
    runSections<kSplit, N>(lastEven, lastOdd, s);
    store(n - 1, lastEven, lastOdd);
    mS = s;
  }

  std::array<v2d, N> mA{}; // each coefficient in both lanes
  States mS{};
};

// One input sample becomes two: the even path's output, then the odd path's.
template <std::size_t N>
class Upsampler2x : public HalfBand<N>
{
public:
  using HalfBand<N>::HalfBand;

  // Each out receives 2 n samples; outputs must not overlap the inputs.
  void processBlock(double* out0, double* out1, const double* in0, const double* in1, std::size_t n) noexcept
  {
    this->pipelined(
      n,
      [=](std::size_t i, v2d& even, v2d& odd) {
        even = v2d{in0[i], in1[i]};
        odd = even;
      },
      [=](std::size_t i, v2d even, v2d odd) {
        out0[2 * i] = even[0];
        out0[2 * i + 1] = odd[0];
        out1[2 * i] = even[1];
        out1[2 * i + 1] = odd[1];
      });
  }
};

// Two input samples (in0, in1) become one: half the sum of the paths fed with in1 and in0.
template <std::size_t N>
class Downsampler2x : public HalfBand<N>
{
public:
  using HalfBand<N>::HalfBand;

  // Each in holds 2 n samples; an output may be the same memory as its input.
  void processBlock(double* out0, double* out1, const double* in0, const double* in1, std::size_t n) noexcept
  {
    this->pipelined(
      n,
      [=](std::size_t i, v2d& even, v2d& odd) {
        even = v2d{in0[2 * i + 1], in1[2 * i + 1]};
        odd = v2d{in0[2 * i], in1[2 * i]};
      },
      [=](std::size_t i, v2d even, v2d odd) {
        const v2d y = 0.5 * (even + odd);
        out0[i] = y[0];
        out1[i] = y[1];
      });
  }
};

} // namespace halfband

// Owns half-band stages for every channel and the scratch between them, sized by prepare(); blocks
// never allocate, and channels or frames beyond the prepared ones are left as they are. Channels
// are filtered in pairs, one per lane. Audio thread, except prepare() (set-up time).
class Oversampler
{
public:
  static constexpr int kMaxFactor = 8;

  Oversampler() = default;

  // 1, 2, 4 or 8; other values are rounded down to one of them (at least 1).
  void setFactor(int factor);
  // The factor setFactor(factor) would choose.
  static int supportedFactor(int factor);
  int factor() const { return mFactor; }
  // Delay of an up-then-down round trip at the host rate: 0, 6, 7 and 8 samples.
  static int latencySamples(int factor);

  // Room for the set-up's channels and host-rate frames (capacities only grow), then cleared
  // states. The filters' response is relative to the rate, so the rate itself is not needed.
  void prepare(const ProcessSetup& setup);
  // Clears every stage's state.
  void reset() noexcept;

  // Writes factor x n frames of each channel of `in` into `out` (at factor 1 a plain copy).
  void upsample(const AudioBuffer& in, AudioBuffer& out) noexcept;
  // Reads factor x n frames of each channel of `in`, n from `out`, and writes n frames to `out`.
  void downsample(const AudioBuffer& in, AudioBuffer& out) noexcept;

private:
  // A pair of channels; a lone last channel is paired with a stand-in whose results are dropped.
  struct Pair
  {
    const double* in[2];
    double* out[2];
    std::size_t first; // channel index of lane 0
    bool mono;
  };

  void ensureFilters(std::size_t channels);
  void allocateScratches();
  void grow(std::size_t channels, std::size_t frames);
  Pair pairOf(const AudioBuffer& in, AudioBuffer& out, std::size_t first, std::size_t channels) noexcept;
  double* scratch2(std::size_t channel) noexcept { return mScratch2.data() + channel * mFrameCapacity * 2; }
  double* scratch4(std::size_t channel) noexcept { return mScratch4.data() + channel * mFrameCapacity * 4; }
  void upsamplePair(const Pair& p, std::size_t n) noexcept;
  void downsamplePair(const Pair& p, std::size_t n) noexcept;

  int mFactor = 1;
  std::size_t mFrameCapacity = 0;
  std::size_t mChannelCapacity = 0;
  // Channel capacity rounded up to even; the last channel may be a stand-in lane.
  std::vector<double> mScratch2;
  std::vector<double> mScratch4;
  std::vector<double> mStandIn; // the stand-in lane's output, 8 x frame capacity
  // One entry per channel pair.
  std::vector<halfband::Upsampler2x<17>> mUp17;
  std::vector<halfband::Upsampler2x<5>> mUp5;
  std::vector<halfband::Upsampler2x<4>> mUp4;
  std::vector<halfband::Downsampler2x<17>> mDown17;
  std::vector<halfband::Downsampler2x<5>> mDown5;
  std::vector<halfband::Downsampler2x<4>> mDown4;
};

} // namespace zarvo
