#include "IGfx/Controls/IVColorSwatchControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IVColorSwatchControl::IVColorSwatchControl(const IRECT& bounds, const char* label, ColorChosenFunc func,
                                           const IVStyle& style, ECellLayout layout,
                                           const std::vector<EVColor>& colorIDs,
                                           const std::vector<const char*>& labelsForIDs)
  : IControl(bounds)
  , IVectorBase(style, false, false)
  , mColorChosenFunc(std::move(func))
  , mLayout(layout)
  , mCellRects(colorIDs.size())
  , mColorIDs(colorIDs)
  , mSelf(std::make_shared<IVColorSwatchControl*>(this))
{
  for (const char* l : labelsForIDs)
    mLabels.emplace_back(l ? l : "");
  AttachIControl(this, label);
  mStyle.valueText.mAlign = EAlign::Far;
  mText.mAlign = EAlign::Far;
}

void IVColorSwatchControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, true));
  ClearMouseIsOver();
  const int n = static_cast<int>(mColorIDs.size());
  int columns = 3, rows = 3;
  if (mLayout == ECellLayout::kHorizontal)
  {
    columns = n;
    rows = 1;
  }
  else if (mLayout == ECellLayout::kVertical)
  {
    columns = 1;
    rows = n;
  }
  const IRECT& w = mWidgetBounds;
  for (int i = 0; i < n; ++i)
  {
    IRECT cell = w;
    if (columns > 0 && rows > 0 && i < columns * rows)
    {
      const float cw = w.W() / static_cast<float>(columns), ch = w.H() / static_cast<float>(rows);
      const float l = w.L + cw * static_cast<float>(i % columns), t = w.T + ch * static_cast<float>(i / columns);
      cell = IRECT(l, t, l + cw, t + ch);
    }
    mCellRects[static_cast<size_t>(i)] = cell.GetPadded(-2.f);
  }
  SetDirty(false);
}

void IVColorSwatchControl::Draw(IGfx& g)
{
  DrawWidget(g);
  DrawLabel(g);
}

void IVColorSwatchControl::DrawWidget(IGfx& g)
{
  for (size_t i = 0; i < mCellRects.size(); ++i)
  {
    const IRECT& cell = mCellRects[i];
    const std::string& label = i < mLabels.size() ? mLabels[i] : std::string();
    const IRECT swatch = label.empty() ? cell : IRECT(cell.R - cell.W() / 4.f, cell.T, cell.R, cell.B);
    g.FillRect(GetColor(mColorIDs[i]), swatch, &mBlend);
    g.DrawRect(static_cast<int>(i) == mCellOver ? COLOR_GRAY : COLOR_DARK_GRAY, swatch.GetPadded(0.5f), nullptr, 1.f);
    if (!label.empty())
      g.DrawText(mStyle.valueText, label.c_str(), IRECT(cell.L, cell.T, cell.L + cell.W() * 0.7f, cell.B), &mBlend);
  }
}

int IVColorSwatchControl::CellAt(float x, float y) const
{
  for (size_t i = 0; i < mCellRects.size(); ++i)
    if (mCellRects[i].Contains(x, y))
      return static_cast<int>(i);
  return -1;
}

void IVColorSwatchControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  IControl::OnMouseOver(x, y, mod);
  mCellOver = CellAt(x, y);
  SetDirty(false);
}

void IVColorSwatchControl::OnMouseOut()
{
  IControl::OnMouseOut();
  mCellOver = -1;
  SetDirty(false);
}

void IVColorSwatchControl::OnMouseDown(float x, float y, const IMouseMod&)
{
  const int cell = CellAt(x, y);
  if (cell < 0 || !mGraphics)
    return;
  IColor color = GetColor(mColorIDs[static_cast<size_t>(cell)]);
  std::weak_ptr<IVColorSwatchControl*> self = mSelf;
  mGraphics->PromptForColor(color, "Choose a color", [self, cell](const IColor& chosen) {
    const auto alive = self.lock();
    if (!alive)
      return;
    IVColorSwatchControl* swatch = *alive;
    swatch->SetColor(swatch->mColorIDs[static_cast<size_t>(cell)], chosen);
    swatch->SetDirty(false);
    if (swatch->mColorChosenFunc)
      swatch->mColorChosenFunc(cell, chosen);
  });
}

} // namespace plugkit::gfx
