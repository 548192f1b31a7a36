#include "utils/ui/WrapKnobControl.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

namespace {

IVStyle WithoutTexts(IVStyle style)
{
  style.showLabel = false;
  style.showValue = false;
  return style;
}

size_t LongestOf(const std::vector<std::string>& names)
{
  size_t n = 0;
  for (const std::string& name : names)
    n = std::max(n, name.size());
  return n;
}

// Room for the names around a dial of bounds.
IRECT Widened(const IRECT& bounds, const IVStyle& style, const std::vector<std::string>& names)
{
  const float s = style.labelText.mSize;
  const float side = 0.62f * s * static_cast<float>(LongestOf(names)) + 0.45f * s;
  const float top = 1.45f * s;
  return IRECT(bounds.L - side, bounds.T - top, bounds.R + side, bounds.B + top);
}

constexpr float kDegToRad = std::numbers::pi_v<float> / 180.f;
// Names are not drawn smaller than this around the dial; in rows they shrink to fit the cell.
constexpr float kMinNameSize = 9.f;
constexpr float kMinRowNameSize = 6.f;
// A monospaced character's advance per pixel of size, with a little room.
constexpr float kCharWidth = 0.62f;
// The dial keeps at least this fraction of the smaller side of the cell's body as its radius.
constexpr float kMinRadiusFraction = 0.2f;

float TextWidth(const std::string& text, float size) { return kCharWidth * size * static_cast<float>(text.size()); }

// The text box of a name of width w and height h at an anchor with the knob's alignment codes.
IRECT NameBox(float x, float y, int32_t hAlign, int32_t vAlign, float w, float h)
{
  const float l = hAlign == 0 ? x : (hAlign == 2 ? x - w : x - w / 2.f);
  const float t = vAlign == 0 ? y : (vAlign == 2 ? y - h : y - h / 2.f);
  return IRECT(l, t, l + w, t + h);
}

bool Inside(const IRECT& outer, const IRECT& inner)
{
  constexpr float e = 1e-3f;
  return inner.L >= outer.L - e && inner.T >= outer.T - e && inner.R <= outer.R + e && inner.B <= outer.B + e;
}

} // namespace

WrapKnobControl::WrapKnobControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                 std::vector<std::string> positionNames, float tickHalfWidth, float firstAngle,
                                 float lastAngle)
  : IVKnobControl(Widened(bounds, style, positionNames), paramIdx, label, WithoutTexts(style), false, false, firstAngle,
                  lastAngle, firstAngle, EDirection::Vertical, 4., 2.)
  , mKnobW(bounds.W())
  , mKnobH(bounds.H())
  , mKnobRect(bounds)
  , mPositionNames(std::move(positionNames))
  , mTickHalfWidth(tickHalfWidth)
  , mFirstAngle(firstAngle)
  , mLastAngle(lastAngle)
  , mNameText(style.labelText)
{
  const IRECT wide = Widened(bounds, style, mPositionNames);
  mInset[0] = bounds.L - wide.L;
  mInset[1] = bounds.T - wide.T;
  mInset[2] = wide.R - bounds.R;
  mInset[3] = wide.B - bounds.B;
  mNameSize = mNameText.mSize;
  computeAnchors();
}

WrapKnobControl::Factory WrapKnobControl::fitted(Factory factory)
{
  return [factory = std::move(factory)](const IRECT& cell) -> IControl* {
    IControl* control = factory ? factory(cell) : nullptr;
    if (auto* knob = dynamic_cast<WrapKnobControl*>(control))
      knob->fitToKnobRect();
    return control;
  };
}

size_t WrapKnobControl::longestName() const { return LongestOf(mPositionNames); }

int WrapKnobControl::divisions() const
{
  const int n = static_cast<int>(mPositionNames.size());
  return mWrap ? n : std::max(n, 2) - 1;
}

void WrapKnobControl::fitToKnobRect()
{
  mFitted = true;
  for (float& inset : mInset)
    inset = 0.f;
  SetTargetAndDrawRECTs(mKnobRect);
  computeAnchors();
  if (GetUI())
    OnResize();
}

IRECT WrapKnobControl::layoutArea() const
{
  return IRECT(mRECT.L + mInset[0], mRECT.T + mInset[1], mRECT.R - mInset[2], mRECT.B - mInset[3]);
}

float WrapKnobControl::nameAngle(size_t i) const
{
  return mAngle1 + (mAngle2 - mAngle1) * static_cast<float>(i) / static_cast<float>(divisions());
}

void WrapKnobControl::setRotation(float degrees)
{
  mAngle1 = mFirstAngle + degrees;
  mAngle2 = mLastAngle + degrees;
  mAnchorAngle = mFirstAngle + degrees;
  computeAnchors();
  SetDirty(false);
}

void WrapKnobControl::setWrap(bool wrap)
{
  mWrap = wrap;
  computeAnchors();
  SetDirty(false);
}

void WrapKnobControl::setSideLabel(const std::string& label, int below)
{
  mSideLabel = label;
  mSideLabelBelow = below;
  computeAnchors();
  SetDirty(false);
}

void WrapKnobControl::OnResize()
{
  computeAnchors();
  // Only the dial takes the mouse, not the names around it.
  SetTargetRECT(mWidgetBounds);
  ClearMouseIsOver();
  SetDirty(false);
}

bool WrapKnobControl::placeAround(const IRECT& body, float s, float r, std::vector<Anchor>& anchors,
                                  std::vector<IRECT>& boxes) const
{
  const float cx = body.MW();
  const float cy = body.MH();
  if (!Inside(body, IRECT(cx - r, cy - r, cx + r, cy + r)))
    return false;
  // The names stand clear of the ticks drawn on the dial's track.
  const float R = r - mTrackSize / 2.f + 0.35f * s + mTickThickness / 2.f;
  anchors.clear();
  boxes.clear();
  for (size_t i = 0; i < mPositionNames.size(); ++i)
  {
    const float a = nameAngle(i) * kDegToRad;
    const float sa = std::sin(a);
    const float ca = std::cos(a);
    Anchor anchor;
    anchor.x = cx + R * sa;
    anchor.y = cy - R * ca;
    anchor.hAlign = std::abs(sa) < 0.25f ? 1 : (sa <= 0.f ? 2 : 0);
    anchor.vAlign = ca > 0.5f ? 2 : (ca < -0.5f ? 0 : 1);
    anchors.push_back(anchor);
    if (mPositionNames[i].empty())
    {
      boxes.emplace_back();
      continue;
    }
    boxes.push_back(NameBox(anchor.x, anchor.y, anchor.hAlign, anchor.vAlign, TextWidth(mPositionNames[i], s), s));
    if (!Inside(body, boxes.back()))
      return false;
  }
  return true;
}

void WrapKnobControl::placeInRows(const IRECT& body)
{
  // Names on the upper half of the circle go above the dial, the others below; names left of the dial
  // start at the left edge, names right of it end at the right edge. A row whose names would get too
  // small side by side gives each of them a line of its own.
  const float base = nameTextSize();
  std::vector<size_t> rows[2];
  for (size_t i = 0; i < mPositionNames.size(); ++i)
  {
    if (!mPositionNames[i].empty())
      rows[std::cos(nameAngle(i) * kDegToRad) >= 0.f ? 0 : 1].push_back(i);
  }
  float s = base;
  bool stacked[2] = {false, false};
  int lines = 0;
  for (int row = 0; row < 2; ++row)
  {
    float together = 0.f;
    float longest = 0.f;
    for (size_t i : rows[row])
    {
      together += TextWidth(mPositionNames[i], base) + (together > 0.f ? 0.3f * base : 0.f);
      longest = std::max(longest, TextWidth(mPositionNames[i], base));
    }
    if (rows[row].empty())
      continue;
    const float sideBySide = together > body.W() ? base * body.W() / together : base;
    stacked[row] = rows[row].size() > 1 && sideBySide < kMinNameSize;
    s = std::min(s, stacked[row] ? base * body.W() / std::max(longest, body.W()) : sideBySide);
    lines += stacked[row] ? static_cast<int>(rows[row].size()) : 1;
  }
  // The dial keeps its fair share of the height.
  const float minDial = 2.f * kMinRadiusFraction * std::min(body.W(), body.H());
  if (lines > 0)
    s = std::min(s, (body.H() - minDial) / (1.2f * static_cast<float>(lines)));
  s = std::max(kMinRowNameSize, s);
  mNameSize = s;
  const float lineH = 1.2f * s;
  const auto linesOf = [&](int row) {
    return rows[row].empty() ? 0 : (stacked[row] ? static_cast<int>(rows[row].size()) : 1);
  };
  const float top = body.T + static_cast<float>(linesOf(0)) * lineH;
  const float bottom = body.B - static_cast<float>(linesOf(1)) * lineH;
  const float side = std::max(4.f, std::min(body.W(), bottom - top));
  mWidgetBounds = IRECT(body.L, top, body.R, bottom).GetCentredInside(side, side);
  mAnchors.assign(mPositionNames.size(), Anchor{});
  mNameBoxes.assign(mPositionNames.size(), IRECT());
  for (int row = 0; row < 2; ++row)
  {
    const float firstLine = row == 0 ? mWidgetBounds.T - static_cast<float>(linesOf(0)) * lineH : mWidgetBounds.B;
    // Side by side, the names run left to right as they stand around the dial, spread over the row.
    std::vector<size_t> order = rows[row];
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
      return std::sin(nameAngle(a) * kDegToRad) < std::sin(nameAngle(b) * kDegToRad);
    });
    float together = 0.f;
    for (size_t i : order)
      together += TextWidth(mPositionNames[i], s);
    const float spread =
      order.size() > 1 ? std::max(0.f, (body.W() - together) / static_cast<float>(order.size() - 1)) : 0.f;
    float cursor = body.L;
    for (size_t k = 0; k < order.size(); ++k)
    {
      const size_t i = order[k];
      const float w = TextWidth(mPositionNames[i], s);
      const float sa = std::sin(nameAngle(i) * kDegToRad);
      Anchor& anchor = mAnchors[i];
      anchor.vAlign = 1;
      anchor.y = firstLine + (static_cast<float>(stacked[row] ? k : 0) + 0.5f) * lineH;
      if (stacked[row] || order.size() == 1)
      {
        anchor.hAlign = std::abs(sa) < 0.25f ? 1 : (sa < 0.f ? 0 : 2);
        anchor.x = anchor.hAlign == 0 ? body.L : (anchor.hAlign == 2 ? body.R : body.MW());
      }
      else
      {
        anchor.hAlign = 0;
        anchor.x = cursor;
        cursor += w + spread;
      }
      mNameBoxes[i] = NameBox(anchor.x, anchor.y, anchor.hAlign, anchor.vAlign, w, s);
    }
  }
}

void WrapKnobControl::computeAnchors()
{
  const IRECT area = layoutArea();
  const float base = nameTextSize();
  // The caption takes a row of its own, so the names never run into it.
  const float captionH = mSideLabel.empty() ? 0.f : std::min(1.3f * base, 0.4f * area.H());
  IRECT body = area;
  if (captionH > 0.f && mSideLabelBelow == 0)
  {
    mCaptionRect = IRECT(area.L, area.T, area.R, area.T + captionH);
    body.T += captionH;
  }
  else if (captionH > 0.f)
  {
    mCaptionRect = IRECT(area.L, area.B - captionH, area.R, area.B);
    body.B -= captionH;
  }
  else
    mCaptionRect = IRECT();

  mAnchors.clear();
  mNameBoxes.clear();
  mNameSize = base;
  const float half = std::max(2.f, std::min(body.W(), body.H()) / 2.f);
  if (mPositionNames.empty())
  {
    mWidgetBounds = body.GetCentredInside(2.f * half, 2.f * half);
  }
  else
  {
    const float minR = std::max(2.f, kMinRadiusFraction * std::min(body.W(), body.H()));
    bool placed = false;
    std::vector<Anchor> anchors;
    std::vector<IRECT> boxes;
    for (float s = base; s >= std::min(base, kMinNameSize) - 1e-3f && !placed; s -= 0.5f)
    {
      for (float r = half; r >= minR - 1e-3f; r -= 0.5f)
      {
        if (placeAround(body, s, r, anchors, boxes))
        {
          mNameSize = s;
          mWidgetBounds = body.GetCentredInside(2.f * r, 2.f * r);
          mAnchors = anchors;
          mNameBoxes = boxes;
          placed = true;
          break;
        }
      }
    }
    if (!placed)
      placeInRows(body);
  }
  mKnobW = mWidgetBounds.W();
  mKnobH = mWidgetBounds.H();
}

void WrapKnobControl::DrawIndicatorTrack(IGfx&, float, float, float, float) {}

void WrapKnobControl::DrawWidget(IGfx& g)
{
  IVKnobControl::DrawWidget(g);
  drawTicks(g);
  for (size_t i = 0; i < mAnchors.size() && i < mPositionNames.size(); ++i)
  {
    if (mPositionNames[i].empty())
      continue;
    const Anchor& a = mAnchors[i];
    IText text = mNameText;
    text.mSize = mNameSize;
    text.mAlign = static_cast<EAlign>(a.hAlign);
    text.mVAlign = static_cast<EVAlign>(a.vAlign);
    g.DrawText(text, mPositionNames[i].c_str(), a.x, a.y, &GetBlend());
  }
  drawSideLabel(g);
}

void WrapKnobControl::drawTicks(IGfx& g) const
{
  if (mPositionNames.empty())
    return;
  const float cx = mWidgetBounds.MW();
  const float cy = mWidgetBounds.MH();
  const float r = GetRadius();
  const float d = static_cast<float>(divisions());
  for (size_t i = 0; i < mPositionNames.size(); ++i)
  {
    const float a = mAngle1 + (mAngle2 - mAngle1) * static_cast<float>(i) / d;
    g.DrawArc(GetColor(EVColor::FR), cx, cy, r, a - mTickHalfWidth, a + mTickHalfWidth, &GetBlend(), mTickThickness);
  }
}

void WrapKnobControl::drawSideLabel(IGfx& g) const
{
  if (mSideLabel.empty() || mCaptionRect.Empty())
    return;
  IText text = mNameText;
  text.mAlign = EAlign::Center;
  text.mVAlign = EVAlign::Middle;
  g.DrawText(text, mSideLabel.c_str(), mCaptionRect, &GetBlend());
}

void WrapKnobControl::OnMouseDrag(float, float, float dX, float dY, const IMouseMod& mod)
{
  double gearing = 4.;
  if (IsFineControl(mod, false))
    gearing *= mFineGearingFactor;
  const IRECT r = GetKnobDragBounds();
  double raw = mMouseDragValue;
  if (mDirection == EDirection::Vertical)
    raw += static_cast<double>(dY) / static_cast<double>(r.T - r.B) / gearing;
  else
    raw += static_cast<double>(dX) / static_cast<double>(r.R - r.L) / gearing;
  raw = mWrap ? raw - std::floor(raw) : std::clamp(raw, 0., 1.);
  mMouseDragValue = raw;

  double v = raw;
  if (!mPositionNames.empty())
  {
    const double d = static_cast<double>(divisions());
    const double step = 1. / d;
    const double span = static_cast<double>(mLastAngle - mFirstAngle);
    const double z = span != 0. ? std::clamp(static_cast<double>(mTickHalfWidth) * d / span, 0., 0.49) : 0.;
    const double p = raw / step;
    const double k = std::floor(p);
    const double t = p - k;
    double result;
    if (t <= z)
      result = k;
    else if (t >= 1. - z)
      result = k + 1.;
    else
      result = k + (t - z) / (1. - 2. * z);
    v = std::clamp(step * result, 0., 1.);
  }
  SetValue(v);
  SetDirty(true);
}

void WrapKnobControl::OnMouseWheel(float x, float y, const IMouseMod& mod, float d)
{
  if (mPositionNames.empty())
  {
    IVKnobControl::OnMouseWheel(x, y, mod, d);
    return;
  }
  const int n = static_cast<int>(mPositionNames.size());
  const double step = 1. / static_cast<double>(divisions());
  int index = static_cast<int>(std::lround(GetValue() / step)) + (d > 0.f ? 1 : -1);
  index = mWrap ? ((index % n) + n) % n : std::clamp(index, 0, n - 1);
  SetValue(step * static_cast<double>(index));
  SetDirty(true);
}

} // namespace zarvo::ui
