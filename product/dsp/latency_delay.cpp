#include "product/dsp/latency_delay.h"

#include <algorithm>

namespace zarvo {

void LatencyDelay::prepare(int channels)
{
  const std::size_t wanted = static_cast<std::size_t>(std::max(channels, 0));
  if (wanted > mHistory.size())
    mHistory.resize(wanted);
  reset(0);
}

void LatencyDelay::reset(int delay) noexcept
{
  for (History& h : mHistory)
    h.fill(0.0);
  mWrite = 0;
  setDelay(delay);
}

void LatencyDelay::setDelay(int delay) noexcept { mDelay = std::clamp(delay, 0, kMaxDelay); }

void LatencyDelay::process(double* const* data, int channels, int frames) noexcept
{
  if (frames <= 0)
    return;
  const std::size_t n = static_cast<std::size_t>(frames);
  const std::size_t count = std::min(static_cast<std::size_t>(std::max(channels, 0)), mHistory.size());
  const std::size_t mask = kSize - 1;
  const std::size_t back = static_cast<std::size_t>(mDelay);
  for (std::size_t c = 0; c < count; ++c)
  {
    History& h = mHistory[c];
    double* const x = data[c];
    std::size_t w = mWrite;
    for (std::size_t i = 0; i < n; ++i, w = (w + 1) & mask)
    {
      // Written at every delay, so a later change reads the input that really came before.
      h[w] = x[i];
      x[i] = h[(w - back) & mask];
    }
  }
  mWrite = (mWrite + n) & mask;
}

} // namespace zarvo
