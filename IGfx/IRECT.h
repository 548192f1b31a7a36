// A floating-point rectangle in unscaled editor pixels, with the layout operations controls use.
// It contains its left and top edges but not its right and bottom ones; all four 0 is empty.
#pragma once

#include <algorithm>
#include <cmath>

namespace plugkit::gfx {

struct IRECT
{
  float L = 0.f;
  float T = 0.f;
  float R = 0.f;
  float B = 0.f;

  constexpr IRECT() = default;
  constexpr IRECT(float l, float t, float r, float b)
    : L(l)
    , T(t)
    , R(r)
    , B(b)
  {}

  constexpr bool Empty() const { return L == 0.f && T == 0.f && R == 0.f && B == 0.f; }
  constexpr float W() const { return R - L; }
  constexpr float H() const { return B - T; }
  constexpr float MW() const { return 0.5f * (L + R); }
  constexpr float MH() const { return 0.5f * (T + B); }
  constexpr float Area() const { return W() * H(); }

  constexpr bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  constexpr bool operator!=(const IRECT& o) const { return !(*this == o); }

  // Neither rectangle is empty and rhs lies within this one (edges may touch).
  constexpr bool Contains(const IRECT& rhs) const
  {
    return !Empty() && !rhs.Empty() && rhs.L >= L && rhs.R <= R && rhs.T >= T && rhs.B <= B;
  }
  // Left and top edges inclusive, right and bottom exclusive; an empty rectangle holds no point.
  constexpr bool Contains(float x, float y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  // Neither is empty and they overlap or touch at this rectangle's right or bottom edge.
  constexpr bool Intersects(const IRECT& rhs) const
  {
    return !Empty() && !rhs.Empty() && R >= rhs.L && L < rhs.R && B >= rhs.T && T < rhs.B;
  }
  // The overlap when they intersect, else the empty rectangle.
  constexpr IRECT Intersect(const IRECT& rhs) const
  {
    if (!Intersects(rhs))
      return IRECT();
    return IRECT(std::max(L, rhs.L), std::max(T, rhs.T), std::min(R, rhs.R), std::min(B, rhs.B));
  }
  // An empty side gives the other.
  constexpr IRECT Union(const IRECT& rhs) const
  {
    if (Empty())
      return rhs;
    if (rhs.Empty())
      return *this;
    return IRECT(std::min(L, rhs.L), std::min(T, rhs.T), std::max(R, rhs.R), std::max(B, rhs.B));
  }

  constexpr IRECT GetPadded(float d) const { return IRECT(L - d, T - d, R + d, B + d); }
  constexpr IRECT GetPadded(float l, float t, float r, float b) const { return IRECT(L + l, T + t, R + r, B + b); }
  constexpr IRECT GetTranslated(float x, float y) const { return IRECT(L + x, T + y, R + x, B + y); }
  // Outward to whole device pixels at scale s.
  IRECT GetPixelAligned(float s) const
  {
    return IRECT(std::floor(L * s) / s, std::floor(T * s) / s, std::ceil(R * s) / s, std::ceil(B * s) / s);
  }
  void PixelAlign(float s) { *this = GetPixelAligned(s); }
  // A w x h rectangle centred on this one's centre.
  constexpr IRECT GetCentredInside(float w, float h) const
  {
    return IRECT(MW() - 0.5f * w, MH() - 0.5f * h, MW() + 0.5f * w, MH() + 0.5f * h);
  }

  // Moves this rectangle inside p keeping its size where it fits (children inside their container).
  // Each test reads what the previous one left.
  constexpr IRECT GetShiftedInto(const IRECT& p) const
  {
    IRECT r = *this;
    if (r.L < p.L)
    {
      r.R = std::min(r.R + (p.L - r.L), p.R - 1.f);
      r.L = p.L;
    }
    if (r.T < p.T)
    {
      r.B = std::min(r.B + (p.T - r.T), p.B - 1.f);
      r.T = p.T;
    }
    if (r.R >= p.R)
    {
      r.L = std::max(r.L - (r.R - p.R + 1.f), p.L);
      r.R = p.R - 1.f;
    }
    if (r.B >= p.B)
    {
      r.T = std::max(r.T - (r.B - p.B + 1.f), p.T);
      r.B = p.B - 1.f;
    }
    return r;
  }

  // Same left and right with touching or overlapping vertical spans, or the reverse; an empty side
  // is always joinable.
  constexpr bool Joinable(const IRECT& rhs) const
  {
    if (Empty() || rhs.Empty())
      return true;
    if (L == rhs.L && R == rhs.R && ((T >= rhs.T && T <= rhs.B) || (rhs.T >= T && rhs.T <= B)))
      return true;
    if (T == rhs.T && B == rhs.B && ((L >= rhs.L && L <= rhs.R) || (rhs.L >= L && rhs.L <= R)))
      return true;
    return false;
  }
};

} // namespace plugkit::gfx
