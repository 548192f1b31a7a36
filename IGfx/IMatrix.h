// An affine transform: (x, y) maps to (xx*x + xy*y + tx, yx*x + yy*y + ty).
#pragma once

#include <cmath>
#include <numbers>

namespace plugkit::gfx {

struct IMatrix
{
  double mXX = 1.0;
  double mYX = 0.0;
  double mXY = 0.0;
  double mYY = 1.0;
  double mTX = 0.0;
  double mTY = 0.0;

  constexpr IMatrix() = default;
  constexpr IMatrix(double xx, double yx, double xy, double yy, double tx, double ty)
    : mXX(xx)
    , mYX(yx)
    , mXY(xy)
    , mYY(yy)
    , mTX(tx)
    , mTY(ty)
  {}

  constexpr bool operator==(const IMatrix&) const = default;

  // this = this x m: m acts first on the coordinates.
  constexpr IMatrix& Transform(const IMatrix& m)
  {
    const IMatrix p = *this;
    mXX = p.mXX * m.mXX + p.mXY * m.mYX;
    mYX = p.mYX * m.mXX + p.mYY * m.mYX;
    mXY = p.mXX * m.mXY + p.mXY * m.mYY;
    mYY = p.mYX * m.mXY + p.mYY * m.mYY;
    mTX = p.mXX * m.mTX + p.mXY * m.mTY + p.mTX;
    mTY = p.mYX * m.mTX + p.mYY * m.mTY + p.mTY;
    return *this;
  }
  constexpr IMatrix& Translate(double x, double y) { return Transform(IMatrix(1, 0, 0, 1, x, y)); }
  constexpr IMatrix& Scale(double x, double y) { return Transform(IMatrix(x, 0, 0, y, 0, 0)); }
  // Degrees, clockwise on screen.
  IMatrix& Rotate(double angle)
  {
    const double t = angle / 180.0 * std::numbers::pi;
    return Transform(IMatrix(std::cos(t), std::sin(t), -std::sin(t), std::cos(t), 0, 0));
  }
  IMatrix& Skew(double xAngle, double yAngle)
  {
    return Transform(
      IMatrix(1, std::tan(yAngle / 180.0 * std::numbers::pi), std::tan(xAngle / 180.0 * std::numbers::pi), 1, 0, 0));
  }

  constexpr void TransformPoint(double& x, double& y) const
  {
    const double x0 = x;
    x = mXX * x0 + mXY * y + mTX;
    y = mYX * x0 + mYY * y + mTY;
  }
};

} // namespace plugkit::gfx
