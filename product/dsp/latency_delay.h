// A short per-channel delay that holds the unprocessed signal back by the oversampled path's
// latency, so that the two line up when they are mixed.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace zarvo {

// Room for delays of up to kMaxDelay samples on the channels given to prepare(); process() never
// allocates and leaves channels beyond the prepared ones as they are. Audio thread, except
// prepare() (set-up time).
class LatencyDelay
{
public:
  static constexpr int kMaxDelay = 15;

  // Room for `channels` channels (only grows), then reset(0).
  void prepare(int channels);
  // Forgets the past input and takes `delay` (limited to 0 ... kMaxDelay) at once.
  void reset(int delay) noexcept;
  // Later samples come out `delay` samples late; the samples held so far are kept, so a change
  // repeats or skips a few of them (the caller mutes the output across it).
  void setDelay(int delay) noexcept;
  int delay() const { return mDelay; }

  // Delays the first `channels` channels of `frames` samples each, in place.
  void process(double* const* data, int channels, int frames) noexcept;

private:
  static constexpr std::size_t kSize = 16; // a power of two above kMaxDelay
  using History = std::array<double, kSize>;

  std::vector<History> mHistory;
  std::size_t mWrite = 0;
  int mDelay = 0;
};

} // namespace zarvo
