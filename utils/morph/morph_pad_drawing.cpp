// Painting the pad: field, overlay, points, marker, marquee and the chrome around the field.
#include <algorithm>
#include <bit>
#include <cmath>

#include <fmt/format.h>

#include "utils/morph/morph_pad_control.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

IText MorphPadControl::padText() const
{
  IText t = GetStyle().valueText;
  t.mAlign = EAlign::Center;
  t.mVAlign = EVAlign::Middle;
  return t;
}

IColor MorphPadControl::accent() const { return hasAccentColor ? accentColor : GetColor(EVColor::X1); }

IColor MorphPadControl::border() const { return hasHighlightColor ? highlightColor : GetColor(EVColor::FR); }

IColor MorphPadControl::hoverColour() const { return hasHighlightColor2 ? highlightColor2 : GetColor(EVColor::HL); }

IColor MorphPadControl::buttonFace() const { return hasDarkColor ? darkColor : GetColor(EVColor::BG); }

IColor MorphPadControl::ringGrey() const
{
  const int f = hasHighlightColor ? highlightColor.R : 100;
  const int v = std::max(f, overlay.lineGray());
  return IColor(255, v, v, v);
}

MorphPadControl::Mask MorphPadControl::displaySelection() const
{
  if (drag == Drag::marquee)
    return marqueeMask();
  if (pendingSelectPoint >= 0)
  {
    Mask m = 1u << pendingSelectPoint;
    if (pendingSelectAdd)
      m ^= engine.selection();
    return m;
  }
  return engine.selection();
}

MorphPadControl::StatusLines MorphPadControl::statusLines() const
{
  StatusLines s;
  const Mask m = displaySelection();
  const bool movingMode = engine.moving() && !engine.editing();
  const char* word = movingMode ? "moving" : "editing";
  const int bits = std::popcount(m);
  if (bits >= 2)
  {
    s.add(fmt::format("{} {} morph points", word, bits));
  }
  else if (m == 1u)
  {
    s.add(fmt::format("{} teleport point (never saved on exit)", word));
  }
  else if (bits == 1)
  {
    s.add(fmt::format("{} morph point #{}", word, std::countr_zero(m)));
  }
  else if (!movingMode)
  {
    s.add("click a point to edit its sound,");
    s.add("try shift + click and shift + A");
  }
  else if (engine.padOption())
  {
    s.add("click anywhere to move the morph");
  }
  else
  {
    s.add("click a point to pick it for moving,");
    s.add("try shift + click and shift + A");
  }
  return s;
}

bool MorphPadControl::learnBoxShown(XYLearnInfo& info) const
{
  if (!learnInfo)
    return false;
  info = learnInfo();
  return info.pending != 0 || info.ccX >= 0 || info.ccY >= 0;
}

float MorphPadControl::learnBoxLeft() const
{
  const IRECT& r = GetRECT();
  return r.R - 102.f < r.L + 180.f ? r.L + 6.f : r.R - 102.f;
}

std::pair<float, float> MorphPadControl::widestTopGap() const
{
  const IRECT& r = GetRECT();
  std::array<std::pair<float, float>, 2> obstacles{{{r.L + 6.f, r.L + 174.f}, {0.f, 0.f}}};
  int count = 1;
  XYLearnInfo info;
  if (learnBoxShown(info))
  {
    const float left = learnBoxLeft();
    obstacles[1] = {left, left + 96.f};
    count = 2;
    if (obstacles[1].first < obstacles[0].first)
      std::swap(obstacles[0], obstacles[1]);
  }
  float bestL = r.L;
  float bestR = obstacles[0].first;
  if (bestR - bestL < 0.f)
    bestR = bestL;
  auto consider = [&](float a, float b) {
    if (b - a > bestR - bestL)
    {
      bestL = a;
      bestR = b;
    }
  };
  float lastRight = std::max(obstacles[0].second, r.L);
  if (count == 2)
  {
    consider(lastRight, obstacles[1].first);
    lastRight = std::max(obstacles[1].second, lastRight);
  }
  consider(lastRight, r.R);
  return {bestL + 6.f, bestR - 6.f};
}

MorphPadControl::GlyphLabel MorphPadControl::pointTargetGlyph() const
{
  const int focus = engine.editState().focus;
  if ((engine.selection() & ((1u << kNumPoints) - 1u)) == 0)
    return GlyphLabel("#-");
  if (focus < 0)
    return GlyphLabel("#N");
  if (focus == 0)
    return GlyphLabel::glyph(pointGlyph, pointGlyphFont);
  return GlyphLabel(fmt::format("#{}", focus));
}

MorphPadControl::GlyphLabel MorphPadControl::actionGlyph(int action, const GlyphLabel& target) const
{
  switch (action)
  {
  case 0:
  case 6: return copyLabel;
  case 1:
  case 7: return pasteLabel;
  case 2:
  case 8: return loadLabel;
  case 3:
  case 5:
  case 9: return saveLabel;
  case 4: return bakeLabel + target;
  case 10: return undoLabel;
  case 11: return redoLabel;
  default: return GlyphLabel("?");
  }
}

void MorphPadControl::Draw(IGfx& g)
{
  const IRECT r = GetRECT();
  const float s = ps();
  const IText text = padText();
  IText pointText = text;
  pointText.mSize = text.mSize * (1.f + 0.5f * std::clamp(s - 1.f, 0.f, 1.f));
  const IColor bg = GetColor(EVColor::BG);
  const IColor frame = GetColor(EVColor::FR);

  // While a drag moves points or changes the field, a coarse overlay follows it at frame rate; the
  // release redraws (OnMouseUp) with the full one.
  const bool held = pointDragStarted || (drag == Drag::fieldSlider && dragSlider == 0) || drag == Drag::spreadSlider ||
                    drag == Drag::contrastSlider || drag == Drag::apprSlider;
  overlay.rebuildIfNeeded(engine, r, held);
  drawFieldLayer(g, text);

  if (engine.editing())
  {
    drawHistogram(g, text);
    drawFieldGroup(g, text);
    drawActionButtons(g, text);
  }
  else if (spreadSliderShown())
  {
    drawSpreadSlider(g, text);
  }

  const auto& pts = engine.editState().points;
  const Mask shown = displaySelection();
  auto numberBox = [s](float cx, float cy) {
    return IRECT(cx - 18.f * s, cy - 18.f * s, cx + 18.f * s, cy + 18.f * s);
  };
  for (int i = 1; i < static_cast<int>(kNumPoints); ++i)
  {
    const MorphPoint& p = pts[static_cast<size_t>(i)];
    float cx = 0.f;
    float cy = 0.f;
    modeCenter(p, cx, cy);
    if (p.active)
    {
      g.FillCircle(accent(), cx, cy, 18.f * s, &mBlend);
      g.DrawCircle(bg, cx, cy, 18.f * s, &mBlend, 1.f);
    }
    else
    {
      g.DrawCircle(ringGrey(), cx, cy, 9.f * s, &mBlend, 1.f);
      g.DrawCircle(bg, cx, cy, 9.f * s + 1.f, &mBlend, 1.f);
    }
    g.DrawText(pointText, std::to_string(i).c_str(), numberBox(cx, cy), &mBlend);
  }

  drawTeleportPoint(g, pointText);

  for (int i = 1; i < static_cast<int>(kNumPoints); ++i)
  {
    if (!((shown >> i) & 1u))
      continue;
    const MorphPoint& p = pts[static_cast<size_t>(i)];
    float cx = 0.f;
    float cy = 0.f;
    modeCenter(p, cx, cy);
    g.DrawCircle(frame, cx, cy, (p.active ? 18.f : 9.f) * s, &mBlend, 2.f);
    g.DrawText(pointText, std::to_string(i).c_str(), numberBox(cx, cy), &mBlend);
  }

  drawPointsPulse(g);

  float mx = 0.f;
  float my = 0.f;
  markerCenter(mx, my);
  g.FillCircle(hasLightColor ? lightColor : GetColor(EVColor::X1), mx, my, 6.f * s, &mBlend);
  g.DrawCircle(frame, mx, my, 6.f * s, &mBlend, 1.5f);

  if (drag == Drag::marquee)
  {
    const IRECT band(std::min(marqueeStart[0], marqueeEnd[0]), std::min(marqueeStart[1], marqueeEnd[1]),
                     std::max(marqueeStart[0], marqueeEnd[0]), std::max(marqueeStart[1], marqueeEnd[1]));
    g.DrawDottedRect(frame, band, &mBlend, 1.f, 3.f);
  }

  const IRECT edit = editButtonRect();
  if (engine.editing())
  {
    g.FillRect(accent(), edit, &mBlend);
    zarvo::ui::drawGlyphLabel(g, editOnLabel, edit, text, &mBlend, glyphRunGap);
  }
  else
  {
    if (editButtonHovered)
      g.FillRect(hoverColour(), edit, &mBlend);
    zarvo::ui::drawGlyphLabel(g, editOffLabel, edit, text, &mBlend, glyphRunGap);
  }

  drawLockButtons(g, text);
  drawLearnStatus(g, text);
  drawStatusBlock(g, text, statusLines());
}

void MorphPadControl::drawField(IGfx& g, const IText& text)
{
  const IRECT r = GetRECT();
  g.FillRect(GetColor(EVColor::BG), r, &mBlend);
  g.DrawRect(border(), r, &mBlend, 1.f);
  overlay.draw(g, &mBlend);
  drawContourLabels(g, text);
}

MorphPadControl::FieldLayerKey MorphPadControl::fieldLayerKey(const IText& text) const
{
  FieldLayerKey k;
  k.rebuilds = overlay.rebuildCount();
  k.bounds = overlay.bounds;
  k.background = GetColor(EVColor::BG);
  k.outline = border();
  k.blend = mBlend;
  k.lineBrightness = overlay.lineBrightness;
  k.gridStep = overlay.gridStep;
  k.labelTextSize = overlay.labelTextSize;
  k.cellBorderStrength = overlay.cellBorderStrength;
  k.grayMin = overlay.grayMin;
  k.grayMax = overlay.grayMax;
  k.shown = {overlay.showIsoLines, overlay.showRidges, overlay.showLinks, overlay.showCells, overlay.showLabels};
  k.counts = {overlay.isoSegments.size(), overlay.ridgeSegments.size(), overlay.linkSegments.size(),
              overlay.cellBorderSegments.size(), overlay.contourLabels.size()};
  std::copy(std::begin(text.mFont), std::end(text.mFont), k.font.begin());
  return k;
}

void MorphPadControl::drawFieldLayer(IGfx& g, const IText& text)
{
  // The field changes only when the overlay rebuilds or its look, the pad's rectangle or the draw
  // scale changes; every other frame it is one bitmap instead of thousands of line segments.
  // A coarse overlay changes at nearly every step of a drag and has few lines: drawn straight, it
  // saves clearing and compositing a layer of the pad's size at each step.
  if (overlay.coarse())
  {
    drawField(g, text);
    return;
  }
  FieldLayerKey key = fieldLayerKey(text);
  if (key == mFieldLayerKey && g.CheckLayer(mFieldLayer))
  {
    g.DrawLayer(mFieldLayer);
    return;
  }
  // One pixel of margin keeps the outer half of the outline.
  g.StartLayer(this, GetRECT().GetPadded(1.f));
  drawField(g, text);
  mFieldLayer = g.EndLayer();
  ++mFieldLayerDraws;
  if (!mFieldLayer || !mFieldLayer->GetAPIBitmap())
  {
    // No offscreen bitmap: the field was drawn straight through and is drawn so again next frame.
    mFieldLayer.reset();
    mFieldLayerKey = FieldLayerKey();
    return;
  }
  mFieldLayerKey = key;
  // The layer already holds the pad's blend.
  g.DrawLayer(mFieldLayer);
}

void MorphPadControl::drawTeleportPoint(IGfx& g, const IText& text)
{
  const MorphPoint& p = engine.editState().points[0];
  const float r = 15.f * ps();
  const IColor bg = GetColor(EVColor::BG);
  float cx = 0.f;
  float cy = 0.f;
  teleportCenter(cx, cy);
  if (p.active)
  {
    g.FillCircle(accent(), cx, cy, r, &mBlend);
    g.DrawCircle(bg, cx, cy, r, &mBlend, 1.f);
  }
  if (displaySelection() & 1u)
  {
    g.DrawCircle(GetColor(EVColor::FR), cx, cy, r, &mBlend, 2.f);
  }
  else if (!p.active)
  {
    g.DrawCircle(ringGrey(), cx, cy, r, &mBlend, 1.f);
    g.DrawCircle(bg, cx, cy, r + 1.f, &mBlend, 1.f);
  }
  IText t = text;
  if (!pointGlyphFont.empty())
    t.SetFont(pointGlyphFont.c_str());
  g.DrawText(t, pointGlyph.c_str(), IRECT(cx - r, cy - r, cx + r, cy + r), &mBlend);
}

void MorphPadControl::drawPointsPulse(IGfx& g)
{
  if (pulseTarget != 3 || pulseAmount <= 0.f)
    return;
  const IBlend blend(EBlend::Default, std::min(1.f, pulseAmount));
  const float grow = 6.f * (1.f - pulseAmount);
  const auto& pts = engine.editState().points;
  float cx = 0.f;
  float cy = 0.f;
  if (pts[0].active)
  {
    teleportCenter(cx, cy);
    g.DrawCircle(accent(), cx, cy, 15.f * ps() + grow, &blend, 2.f);
  }
  for (size_t i = 1; i < kNumPoints; ++i)
  {
    if (!pts[i].active)
      continue;
    modeCenter(pts[i], cx, cy);
    g.DrawCircle(accent(), cx, cy, 18.f * ps() + grow, &blend, 2.f);
  }
}

void MorphPadControl::drawLockButtons(IGfx& g, const IText& text)
{
  if (lockGlyphs[0].empty())
    return;
  IText t = text;
  t.mSize = 15.f;
  if (!lockGlyphFont.empty())
    t.SetFont(lockGlyphFont.c_str());
  for (int i = 0; i < 2; ++i)
  {
    const IRECT r = lockButtonRect(i);
    const bool dimmed = i == 1 && engine.editing();
    const bool on = dimmed ? false : (i == 0 ? engine.padOption() : engine.moving());
    const IBlend blend(mBlend.mMethod, mBlend.mWeight * (dimmed ? 0.45f : 1.f));
    if (hoveredLockButton == i && !dimmed)
      g.FillRect(hoverColour(), r, &blend);
    const bool pulsing = pulseTarget == (i == 0 ? 2 : 1) && pulseAmount > 0.f;
    if (pulsing)
    {
      const IBlend pb(EBlend::Default, std::min(1.f, pulseAmount));
      g.FillRect(GetStyle().valueText.mFGColor, r, &pb);
    }
    const IRECT left(r.L, r.T, r.L + 0.6f * r.W(), r.B);
    const IRECT right(r.R - 0.6f * r.W(), r.T, r.R, r.B);
    const std::string& state = lockGlyphs[on ? 0 : 1];
    const std::string& icon = lockGlyphs[i == 0 ? 2 : 3];
    g.DrawText(t, state.c_str(), left, &blend);
    g.DrawText(t, icon.c_str(), right, &blend);
    if (pulsing)
    {
      IText inv = t;
      inv.mFGColor = hasDarkColor ? darkColor : GetColor(EVColor::BG);
      const IBlend ib(EBlend::Default, std::clamp(pulseAmount, 0.f, 1.f));
      g.DrawText(inv, state.c_str(), left, &ib);
      g.DrawText(inv, icon.c_str(), right, &ib);
    }
  }
}

void MorphPadControl::drawLearnStatus(IGfx& g, const IText& text)
{
  XYLearnInfo info;
  if (!learnBoxShown(info))
    return;
  const float left = learnBoxLeft();
  const IRECT box(left, GetRECT().T + 6.f, left + 96.f, GetRECT().T + 26.f);
  std::string label;
  if (info.pending == 1)
    label = "learn X..";
  else if (info.pending == 2)
    label = "learn Y..";
  else
  {
    auto cc = [](int n) { return n >= 0 ? std::to_string(n) : std::string("-"); };
    label = fmt::format("XY {}/{}", cc(info.ccX), cc(info.ccY));
  }
  if (info.pending != 0)
    g.FillRect(accent(), box, &mBlend);
  g.DrawText(text, label.c_str(), box, &mBlend);
}

void MorphPadControl::drawStatusBlock(IGfx& g, const IText& text, const StatusLines& lines)
{
  const IRECT& r = GetRECT();
  float w = 0.f;
  for (int k = 0; k < lines.count; ++k)
  {
    IRECT extent;
    w = std::max(w, g.MeasureText(text, lines.lines[static_cast<size_t>(k)].c_str(), extent));
  }
  const float cx = (r.L + r.R) / 2.f;
  const float spanL = cx - (w / 2.f + 6.f);
  const float spanR = cx + (w / 2.f + 6.f);
  bool collides = spanR > r.L + 6.f && spanL < r.L + 174.f;
  XYLearnInfo info;
  if (!collides && learnBoxShown(info))
  {
    const float left = learnBoxLeft();
    collides = spanR > left && spanL < left + 96.f;
  }
  float left = r.L;
  float right = r.R;
  if (collides)
    std::tie(left, right) = widestTopGap();
  for (int k = 0; k < lines.count; ++k)
  {
    const IRECT line(left, r.T + 20.f * static_cast<float>(k), right, r.T + 20.f * static_cast<float>(k + 1));
    g.DrawText(text, lines.lines[static_cast<size_t>(k)].c_str(), line, &mBlend);
  }
}

void MorphPadControl::drawActionButtons(IGfx& g, const IText& text)
{
  if (clipboardHasRig)
  {
    if (rigPollCountdown-- <= 1)
    {
      rigOnClipboard = clipboardHasRig();
      rigPollCountdown = 20;
    }
  }
  const IRECT& b = GetRECT();
  const GlyphLabel target = pointTargetGlyph();
  const GlyphLabel colon(":");
  for (int row = 0; row < static_cast<int>(kActionRows.size()); ++row)
  {
    const ActionRow& ar = kActionRows[static_cast<size_t>(row)];
    if (ar.hasLabel)
    {
      const IRECT first = actionBtnRect(ar.first);
      const IRECT cell(b.L + 6.f, first.T, b.L + 32.f, first.B);
      const GlyphLabel& rowLabel = row == 0 ? target : (row == 1 ? blendRowLabel : rigRowLabel);
      zarvo::ui::drawGlyphLabel(g, rowLabel + colon, cell, text, &mBlend, glyphRunGap);
    }
    for (int a = ar.first; a < ar.first + ar.count; ++a)
    {
      const IRECT r = actionBtnRect(a);
      const bool enabled = actionEnabled(a);
      g.FillRect(enabled && hoveredAction == a ? hoverColour() : buttonFace(), r, &mBlend);
      if (flashActionIndex == a && flashAmount > 0.f && hasAccentColor)
      {
        const IBlend fb(EBlend::Default, std::min(1.f, flashAmount));
        g.FillRect(accentColor, r, &fb);
      }
      IText t = text;
      if (!enabled)
        t.mFGColor = GetColor(EVColor::HL);
      zarvo::ui::drawGlyphLabel(g, actionGlyph(a, target), r, t, &mBlend, glyphRunGap);
    }
  }
}

} // namespace zarvo::morph
