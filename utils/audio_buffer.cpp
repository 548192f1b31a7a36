#include "utils/audio_buffer.h"

#include <algorithm>
#include <utility>

namespace zarvo {

AudioBuffer::AudioBuffer(std::size_t numChannels, std::size_t numFrames)
  : mNumChannels(std::min(numChannels, kMaxChannels))
  , mNumFrames(numFrames)
{
  resize();
}

AudioBuffer::AudioBuffer(double* const* channels, std::size_t numChannels, std::size_t numFrames)
{
  setWrapped(channels, numChannels, numFrames);
}

AudioBuffer::AudioBuffer(const ChannelPtrs& channels, std::size_t numChannels, std::size_t numFrames)
  : mWrapped(true)
  , mChannels(channels)
  , mNumChannels(std::min(numChannels, kMaxChannels))
  , mNumFrames(numFrames)
{
  clearUnusedChanPtrs(mChannels, mNumChannels);
}

AudioBuffer::AudioBuffer(const AudioBuffer& other)
  : AudioBuffer(other.mNumChannels, other.mNumFrames)
{
  copyContentFrom(other);
}

AudioBuffer::AudioBuffer(AudioBuffer&& other) noexcept { swap(other); }

AudioBuffer& AudioBuffer::operator=(AudioBuffer&& other) noexcept
{
  swap(other);
  return *this;
}

AudioBuffer& AudioBuffer::operator=(const AudioBuffer& other)
{
  if (this != &other)
    copyContentFrom(other);
  return *this;
}

void AudioBuffer::copyContentFrom(const AudioBuffer& other)
{
  fillFrom(other.mChannels.data(), other.mNumChannels, other.mNumFrames);
}

void AudioBuffer::swap(AudioBuffer& other) noexcept
{
  // Vector swaps keep their heap blocks, so owning channel pointers stay valid.
  std::swap(mWrapped, other.mWrapped);
  mStorage.swap(other.mStorage);
  std::swap(mChannels, other.mChannels);
  std::swap(mNumChannels, other.mNumChannels);
  std::swap(mNumFrames, other.mNumFrames);
}

void AudioBuffer::wrap(double* const* channels, std::size_t numChannels, std::size_t numFrames)
{
  mStorage.clear();
  setWrapped(channels, numChannels, numFrames);
}

void AudioBuffer::unwrap()
{
  if (!mWrapped)
    return;
  const ChannelPtrs source = mChannels;
  mWrapped = false;
  resize();
  fillFrom(source.data(), mNumChannels, mNumFrames);
}

AudioBuffer AudioBuffer::subBuffer(std::size_t offset, std::size_t numFrames) const
{
  ChannelPtrs view{};
  for (std::size_t c = 0; c < mNumChannels; ++c)
    view[c] = mChannels[c] + offset;
  return AudioBuffer(view, mNumChannels, numFrames != 0 ? numFrames : mNumFrames - offset);
}

AudioBuffer AudioBuffer::getChan(std::size_t index) const
{
  double* const one[1] = {mChannels[index < mNumChannels ? index : 0]};
  return AudioBuffer(one, 1, mNumFrames);
}

void AudioBuffer::fillFrom(const double* const* source, std::size_t numChannels, std::size_t numFrames)
{
  const std::size_t nc = std::min(numChannels, mNumChannels);
  const std::size_t nf = std::min(numFrames, mNumFrames);
  for (std::size_t c = 0; c < nc; ++c)
    std::copy_n(source[c], nf, mChannels[c]);
}

void AudioBuffer::copyTo(double* const* destination, std::size_t numChannels, std::size_t numFrames) const
{
  const std::size_t nc = std::min(numChannels, mNumChannels);
  const std::size_t nf = std::min(numFrames, mNumFrames);
  for (std::size_t c = 0; c < nc; ++c)
    std::copy_n(mChannels[c], nf, destination[c]);
}

void AudioBuffer::setNumChannels(std::size_t n)
{
  n = std::min(n, kMaxChannels);
  if (mWrapped || n == mNumChannels)
    return;
  mNumChannels = n;
  resize();
}

void AudioBuffer::setNumFrames(std::size_t n)
{
  if (mWrapped || n == mNumFrames)
    return;
  mNumFrames = n;
  resize();
}

void AudioBuffer::resize()
{
  if (mWrapped)
    return;
  mStorage.resize(mNumChannels * mNumFrames);
  layOut();
}

void AudioBuffer::clearUnusedChanPtrs(ChannelPtrs& channels, std::size_t numChannels)
{
  for (std::size_t c = std::min(numChannels, kMaxChannels); c < kMaxChannels; ++c)
    channels[c] = nullptr;
}

template <typename Op>
AudioBuffer& AudioBuffer::combine(const AudioBuffer& other, Op op)
{
  const std::size_t nc = std::min(mNumChannels, other.mNumChannels);
  const std::size_t nf = std::min(mNumFrames, other.mNumFrames);
  for (std::size_t c = 0; c < nc; ++c)
  {
    double* a = mChannels[c];
    const double* b = other.mChannels[c];
    for (std::size_t i = 0; i < nf; ++i)
      a[i] = op(a[i], b[i]);
  }
  return *this;
}

AudioBuffer& AudioBuffer::operator+=(const AudioBuffer& other)
{
  return combine(other, [](double a, double b) { return a + b; });
}

AudioBuffer& AudioBuffer::operator-=(const AudioBuffer& other)
{
  return combine(other, [](double a, double b) { return a - b; });
}

AudioBuffer& AudioBuffer::operator*=(const AudioBuffer& other)
{
  return combine(other, [](double a, double b) { return a * b; });
}

AudioBuffer& AudioBuffer::operator/=(const AudioBuffer& other)
{
  return combine(other, [](double a, double b) { return a / b; });
}

AudioBuffer& AudioBuffer::operator*=(double factor)
{
  for (std::size_t c = 0; c < mNumChannels; ++c)
    for (double *s = mChannels[c], *end = s + mNumFrames; s != end; ++s)
      *s *= factor;
  return *this;
}

AudioBuffer& AudioBuffer::operator/=(double divisor)
{
  for (std::size_t c = 0; c < mNumChannels; ++c)
    for (double *s = mChannels[c], *end = s + mNumFrames; s != end; ++s)
      *s /= divisor;
  return *this;
}

void AudioBuffer::layOut()
{
  mChannels.fill(nullptr);
  for (std::size_t c = 0; c < mNumChannels; ++c)
    mChannels[c] = mStorage.data() + c * mNumFrames;
}

void AudioBuffer::setWrapped(double* const* channels, std::size_t numChannels, std::size_t numFrames)
{
  mWrapped = true;
  mNumChannels = std::min(numChannels, kMaxChannels);
  mNumFrames = numFrames;
  mChannels.fill(nullptr);
  for (std::size_t c = 0; c < mNumChannels; ++c)
    mChannels[c] = channels[c];
}

} // namespace zarvo
