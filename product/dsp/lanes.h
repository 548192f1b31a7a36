// Two doubles processed as one value: the left and right channel side by side. Each lane does
// exactly the arithmetic a scalar double would, so the filters are written once for `double`
// (one channel) and `v2d` (a channel pair).
#pragma once

#include <cstddef>

namespace zarvo {

using v2d = double __attribute__((vector_size(16)));

inline v2d both(double x) { return v2d{x, x}; }

namespace lanes {

template <typename T>
inline constexpr std::size_t kCount = 1;
template <>
inline constexpr std::size_t kCount<v2d> = 2;

inline double get(double x, std::size_t) { return x; }
inline double get(v2d x, std::size_t i) { return x[i]; }
inline void set(double& x, std::size_t, double v) { x = v; }
inline void set(v2d& x, std::size_t i, double v) { x[i] = v; }

template <typename T>
T splat(double x)
{
  T r{};
  for (std::size_t i = 0; i < kCount<T>; ++i)
    set(r, i, x);
  return r;
}

// f applied to each lane.
template <typename T, typename F>
T map(T x, F f)
{
  for (std::size_t i = 0; i < kCount<T>; ++i)
    set(x, i, f(get(x, i)));
  return x;
}

// Lane 1 of `saved` put back into `x` (no-op for one lane).
inline void keepLane1(double&, double) {}
inline void keepLane1(v2d& x, v2d saved) { x[1] = saved[1]; }

} // namespace lanes

} // namespace zarvo
