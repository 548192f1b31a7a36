// A block of 64-bit samples, up to 16 channels, that owns its storage or views someone else's.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace zarvo {

// Owning buffers keep one contiguous vector, channel after channel; wrapping buffers only hold
// pointers that must outlive them. A buffer belongs to one thread at a time; the audio path's
// buffers live on the audio thread, where only views, copies and arithmetic are used (no growth
// once sized).
class AudioBuffer
{
public:
  static constexpr std::size_t kMaxChannels = 16;
  using ChannelPtrs = std::array<double*, kMaxChannels>;

  AudioBuffer()
    : AudioBuffer(0, 0)
  {}
  // Owning, zero-filled; numChannels is limited to 16.
  AudioBuffer(std::size_t numChannels, std::size_t numFrames);
  // Wrapping: copies the first min(numChannels, 16) pointers.
  AudioBuffer(double* const* channels, std::size_t numChannels, std::size_t numFrames);
  // Wrapping: takes the array, nulling the entries from numChannels on.
  AudioBuffer(const ChannelPtrs& channels, std::size_t numChannels, std::size_t numFrames);
  // Owning deep copy with the other's channel and frame counts.
  AudioBuffer(const AudioBuffer& other);
  AudioBuffer(AudioBuffer&& other) noexcept;
  AudioBuffer& operator=(AudioBuffer&& other) noexcept;
  // Copies samples over the common region; the sizes of this buffer do not change.
  AudioBuffer& operator=(const AudioBuffer& other);
  ~AudioBuffer() = default;

  void copyContentFrom(const AudioBuffer& other);
  void swap(AudioBuffer& other) noexcept;

  // Becomes a view of the given channels; the storage is emptied but keeps its capacity.
  void wrap(double* const* channels, std::size_t numChannels, std::size_t numFrames);
  // A view becomes owning: its channels are copied into own storage (allocates).
  void unwrap();

  // A view of frames [offset, offset + numFrames); numFrames 0 means "to the end".
  // The range must lie within this buffer.
  AudioBuffer subBuffer(std::size_t offset, std::size_t numFrames = 0) const;
  // A one-channel view of channel index, or of channel 0 when index is out of range.
  AudioBuffer getChan(std::size_t index) const;

  void fillFrom(const double* const* source, std::size_t numChannels, std::size_t numFrames);
  void copyTo(double* const* destination, std::size_t numChannels, std::size_t numFrames) const;

  // Owning buffers only (views ignore these): storage is resized and the channels laid out again;
  // old samples are not moved to their new channel positions.
  void setNumChannels(std::size_t n);
  void setNumFrames(std::size_t n);
  void resize();

  static void clearUnusedChanPtrs(ChannelPtrs& channels, std::size_t numChannels);

  // Sample by sample over the common region (min channels x min frames).
  AudioBuffer& operator+=(const AudioBuffer& other);
  AudioBuffer& operator-=(const AudioBuffer& other);
  AudioBuffer& operator*=(const AudioBuffer& other);
  AudioBuffer& operator/=(const AudioBuffer& other);
  AudioBuffer& operator*=(double factor);
  AudioBuffer& operator/=(double divisor);

  bool isWrapped() const { return mWrapped; }
  std::size_t numChannels() const { return mNumChannels; }
  std::size_t numFrames() const { return mNumFrames; }
  double* channel(std::size_t index) const { return mChannels[index]; }
  const ChannelPtrs& channels() const { return mChannels; }

private:
  void layOut();
  void setWrapped(double* const* channels, std::size_t numChannels, std::size_t numFrames);
  template <typename Op>
  AudioBuffer& combine(const AudioBuffer& other, Op op);

  bool mWrapped = false;
  std::vector<double> mStorage;
  ChannelPtrs mChannels{};
  std::size_t mNumChannels = 0;
  std::size_t mNumFrames = 0;
};

} // namespace zarvo
