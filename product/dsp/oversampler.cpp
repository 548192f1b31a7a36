#include "product/dsp/oversampler.h"

#include <algorithm>
#include <tuple>

namespace zarvo {

int Oversampler::supportedFactor(int factor) { return factor >= 8 ? 8 : factor >= 4 ? 4 : factor >= 2 ? 2 : 1; }

void Oversampler::setFactor(int factor) { mFactor = supportedFactor(factor); }

int Oversampler::latencySamples(int factor) { return factor >= 8 ? 8 : factor >= 4 ? 7 : factor >= 2 ? 6 : 0; }

void Oversampler::prepare(const ProcessSetup& setup)
{
  grow(static_cast<std::size_t>(std::max(setup.numChannels, 0)),
       static_cast<std::size_t>(std::max(setup.maxBlockSize, 0)));
  reset();
}

void Oversampler::reset() noexcept
{
  const auto clearAll = [](auto& stages) {
    for (auto& s : stages)
      s.clear();
  };
  clearAll(mUp17);
  clearAll(mUp5);
  clearAll(mUp4);
  clearAll(mDown17);
  clearAll(mDown5);
  clearAll(mDown4);
}

void Oversampler::ensureFilters(std::size_t channels)
{
  const std::size_t pairs = (channels + 1) / 2;
  while (mUp17.size() < pairs)
  {
    mUp17.emplace_back(halfband::kCoefs17);
    mUp5.emplace_back(halfband::kCoefs5);
    mUp4.emplace_back(halfband::kCoefs4);
    mDown17.emplace_back(halfband::kCoefs17);
    mDown5.emplace_back(halfband::kCoefs5);
    mDown4.emplace_back(halfband::kCoefs4);
  }
}

void Oversampler::allocateScratches()
{
  mScratch2.resize(mChannelCapacity * mFrameCapacity * 2);
  mScratch4.resize(mChannelCapacity * mFrameCapacity * 4);
  mStandIn.resize(mFrameCapacity * kMaxFactor);
}

void Oversampler::grow(std::size_t channels, std::size_t frames)
{
  channels += channels % 2;
  if (channels <= mChannelCapacity && frames <= mFrameCapacity)
    return;
  mChannelCapacity = std::max(mChannelCapacity, channels);
  mFrameCapacity = std::max(mFrameCapacity, frames);
  ensureFilters(mChannelCapacity);
  allocateScratches();
}

Oversampler::Pair Oversampler::pairOf(const AudioBuffer& in, AudioBuffer& out, std::size_t first,
                                      std::size_t channels) noexcept
{
  const bool mono = first + 1 >= channels;
  return {{in.channel(first), in.channel(mono ? first : first + 1)},
          {out.channel(first), mono ? mStandIn.data() : out.channel(first + 1)},
          first,
          mono};
}

namespace {

// Runs `body`; for a pair whose lane 1 is a stand-in, puts lane 1 of each stage back as it was.
template <typename Body, typename... Stages>
void keepingLane1(bool mono, Body body, Stages&... stages) noexcept
{
  if (!mono)
    return body();
  const auto saved = std::make_tuple(stages.states()...);
  body();
  std::apply([&](const auto&... s) { (stages.restoreLane1(s), ...); }, saved);
}

} // namespace

void Oversampler::upsamplePair(const Pair& p, std::size_t n) noexcept
{
  const std::size_t k = p.first / 2;
  double* const x2[2] = {scratch2(p.first), scratch2(p.first + 1)};
  double* const x4[2] = {scratch4(p.first), scratch4(p.first + 1)};
  keepingLane1(
    p.mono,
    [&] {
      switch (mFactor)
      {
      case 2: mUp17[k].processBlock(p.out[0], p.out[1], p.in[0], p.in[1], n); break;
      case 4:
        mUp17[k].processBlock(x2[0], x2[1], p.in[0], p.in[1], n);
        mUp5[k].processBlock(p.out[0], p.out[1], x2[0], x2[1], 2 * n);
        break;
      default:
        mUp17[k].processBlock(x2[0], x2[1], p.in[0], p.in[1], n);
        mUp5[k].processBlock(x4[0], x4[1], x2[0], x2[1], 2 * n);
        mUp4[k].processBlock(p.out[0], p.out[1], x4[0], x4[1], 4 * n);
        break;
      }
    },
    mUp17[k], mUp5[k], mUp4[k]);
}

void Oversampler::downsamplePair(const Pair& p, std::size_t n) noexcept
{
  const std::size_t k = p.first / 2;
  double* const x2[2] = {scratch2(p.first), scratch2(p.first + 1)};
  double* const x4[2] = {scratch4(p.first), scratch4(p.first + 1)};
  keepingLane1(
    p.mono,
    [&] {
      switch (mFactor)
      {
      case 2: mDown17[k].processBlock(p.out[0], p.out[1], p.in[0], p.in[1], n); break;
      case 4:
        mDown5[k].processBlock(x2[0], x2[1], p.in[0], p.in[1], 2 * n);
        mDown17[k].processBlock(p.out[0], p.out[1], x2[0], x2[1], n);
        break;
      default:
        mDown4[k].processBlock(x4[0], x4[1], p.in[0], p.in[1], 4 * n);
        mDown5[k].processBlock(x2[0], x2[1], x4[0], x4[1], 2 * n);
        mDown17[k].processBlock(p.out[0], p.out[1], x2[0], x2[1], n);
        break;
      }
    },
    mDown17[k], mDown5[k], mDown4[k]);
}

void Oversampler::upsample(const AudioBuffer& in, AudioBuffer& out) noexcept
{
  if (mFactor == 1)
  {
    out.copyContentFrom(in);
    return;
  }
  const std::size_t channels = std::min({in.numChannels(), out.numChannels(), mChannelCapacity});
  const std::size_t n = std::min({in.numFrames(), out.numFrames() / static_cast<std::size_t>(mFactor), mFrameCapacity});
  for (std::size_t c = 0; c < channels; c += 2)
    upsamplePair(pairOf(in, out, c, channels), n);
}

void Oversampler::downsample(const AudioBuffer& in, AudioBuffer& out) noexcept
{
  if (mFactor == 1)
  {
    out.copyContentFrom(in);
    return;
  }
  const std::size_t channels = std::min({in.numChannels(), out.numChannels(), mChannelCapacity});
  const std::size_t n = std::min({out.numFrames(), in.numFrames() / static_cast<std::size_t>(mFactor), mFrameCapacity});
  for (std::size_t c = 0; c < channels; c += 2)
    downsamplePair(pairOf(in, out, c, channels), n);
}

} // namespace zarvo
