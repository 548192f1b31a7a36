// The pad on the recording backend: what is drawn, in which order and at which sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/utils/morph/pad_session.h"
#include "tests/support/morph_pad_probe.h"

namespace zarvo::morph::test {
namespace {

using plugkit::gfx::IColor;
using plugkit::gfx::test::DrawCall;

// One painted shape: a fill or stroke, with the circle before it when the path was one.
struct Shape
{
  bool fill = false;
  bool circle = false;
  float cx = 0.f, cy = 0.f, r = 0.f;
  float thickness = 0.f;
  IColor color;
  std::string text; // for texts
  float fontSize = 0.f;
  size_t index = 0;
};

std::vector<Shape> shapes(const std::vector<DrawCall>& calls)
{
  std::vector<Shape> out;
  const DrawCall* arc = nullptr;
  for (const DrawCall& c : calls)
  {
    if (c.op == "PathClear")
      arc = nullptr;
    else if (c.op == "PathArc" && std::fabs(c.args[4] - c.args[3]) >= 359.f)
      arc = &c;
    else if (c.op == "PathFill" || c.op == "PathStroke" || c.op == "DoDrawText")
    {
      Shape s;
      s.fill = c.op == "PathFill";
      s.thickness = c.thickness;
      s.color = c.color;
      s.text = c.text;
      s.fontSize = c.fontSize;
      if (arc && c.op != "DoDrawText")
      {
        s.circle = true;
        s.cx = arc->args[0];
        s.cy = arc->args[1];
        s.r = arc->args[2];
      }
      s.index = out.size();
      out.push_back(s);
    }
  }
  return out;
}

bool near(float a, float b) { return std::fabs(a - b) < 0.01f; }

template <class Pred>
size_t first(const std::vector<Shape>& s, Pred pred)
{
  auto it = std::find_if(s.begin(), s.end(), pred);
  return it == s.end() ? SIZE_MAX : it->index;
}

std::vector<Shape> drawFrame(PadSession& p)
{
  p.s.recorder.Clear();
  p.pad->SetDirty(false);
  p.s.G().Tick();
  return shapes(p.s.recorder.Calls());
}

TEST(PadDrawing, LayerOrderAndSizesAtPointScaleTwo)
{
  PadSession p(kPadRect, 2.0);
  p.place(3, 300.f, 300.f);
  p.place(5, 500.f, 300.f, false);
  p.place(0, 700.f, 300.f);
  p.pad->applySelection(1u << 3);
  const auto s = drawFrame(p);
  const IColor bg = plugkit::gfx::DEFAULT_STYLE.colorSpec.GetColor(plugkit::gfx::EVColor::BG);
  const IColor fr = plugkit::gfx::DEFAULT_STYLE.colorSpec.GetColor(plugkit::gfx::EVColor::FR);

  const size_t background = first(s, [&](const Shape& x) { return x.fill && !x.circle && x.color == bg; });
  const size_t grid = first(s, [](const Shape& x) { return !x.fill && x.color == IColor(255, 72, 72, 72); });
  const size_t disc = first(s, [](const Shape& x) { return x.fill && x.circle && x.r == 36.f && near(x.cx, 300.f); });
  const size_t inactive =
    first(s, [](const Shape& x) { return !x.fill && x.circle && x.r == 18.f && near(x.cx, 500.f); });
  const size_t teleport = first(s, [](const Shape& x) { return x.fill && x.circle && x.r == 30.f; });
  const size_t ring =
    first(s, [&](const Shape& x) { return !x.fill && x.circle && x.r == 36.f && x.thickness == 2.f && x.color == fr; });
  const size_t marker = first(s, [](const Shape& x) { return x.fill && x.circle && x.r == 12.f; });
  const size_t status = first(s, [](const Shape& x) { return x.text == "editing morph point #3"; });
  ASSERT_NE(SIZE_MAX, background);
  ASSERT_NE(SIZE_MAX, grid);
  ASSERT_NE(SIZE_MAX, disc);
  ASSERT_NE(SIZE_MAX, inactive);
  ASSERT_NE(SIZE_MAX, teleport);
  ASSERT_NE(SIZE_MAX, ring);
  ASSERT_NE(SIZE_MAX, marker);
  ASSERT_NE(SIZE_MAX, status);
  EXPECT_LT(background, grid);
  EXPECT_LT(grid, disc);
  EXPECT_LT(disc, inactive);
  EXPECT_LT(inactive, teleport);
  EXPECT_LT(teleport, ring);
  EXPECT_LT(ring, marker);
  EXPECT_LT(marker, status);

  // The inactive point's outer ring, the marker's outline and the numbers at 1.5 times the text size.
  EXPECT_NE(SIZE_MAX, first(s, [](const Shape& x) { return !x.fill && x.circle && x.r == 19.f && near(x.cx, 500.f); }));
  EXPECT_NE(SIZE_MAX,
            first(s, [](const Shape& x) { return !x.fill && x.circle && x.r == 12.f && x.thickness == 1.5f; }));
  const float valueSize = plugkit::gfx::DEFAULT_STYLE.valueText.mSize;
  EXPECT_NE(SIZE_MAX, first(s, [&](const Shape& x) { return x.text == "3" && x.fontSize == 1.5f * valueSize; }));
}

TEST(PadDrawing, StatusLines)
{
  struct Case
  {
    const char* name;
    bool editing, moving, lock;
    uint32_t selection;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
    {"three points", true, false, false, (1u << 1) | (1u << 2) | (1u << 3), {"editing 3 morph points"}},
    {"teleport point", false, false, false, 1u, {"editing teleport point (never saved on exit)"}},
    {"one point moving", false, true, false, 1u << 9, {"moving morph point #9"}},
    {"settings while moving", true, true, false, 1u << 9, {"editing morph point #9"}},
    {"nothing", false, false, false, 0, {"click a point to edit its sound,", "try shift + click and shift + A"}},
    {"nothing, both locks", false, true, true, 0, {"click anywhere to move the morph"}},
    {"nothing, moving",
     false,
     true,
     false,
     0,
     {"click a point to pick it for moving,", "try shift + click and shift + A"}},
  };
  for (const Case& c : cases)
  {
    PadSession p;
    p.engine.edit({.editing = c.editing});
    p.engine.edit({.moving = c.moving});
    p.engine.edit({.padOption = c.lock});
    p.engine.edit({.selection = c.selection});
    const Pad::StatusLines got = p.pad->statusLines();
    ASSERT_EQ(static_cast<int>(c.lines.size()), got.count) << c.name;
    for (size_t k = 0; k < c.lines.size(); ++k)
      EXPECT_EQ(c.lines[k], got.lines[k]) << c.name;
    const auto s = drawFrame(p);
    EXPECT_NE(SIZE_MAX, first(s, [&](const Shape& x) { return x.text == c.lines[0]; })) << c.name;
  }
}

TEST(PadDrawing, StatusMovesToTheWidestGapWhenItMeetsTheButtons)
{
  // A narrow pad: the centred status would run into the top-left band.
  PadSession p(IRECT(0.f, 0.f, 400.f, 300.f));
  const auto gap = p.pad->widestTopGap();
  EXPECT_FLOAT_EQ(180.f, gap.first);
  EXPECT_FLOAT_EQ(394.f, gap.second);
  p.s.recorder.Clear();
  p.pad->SetDirty(false);
  p.s.G().Tick();
  for (const DrawCall& c : p.s.recorder.Only("DoDrawText"))
    if (c.text == "click a point to edit its sound,")
    {
      EXPECT_FLOAT_EQ(180.f, c.rect.L);
      EXPECT_FLOAT_EQ(394.f, c.rect.R);
      EXPECT_FLOAT_EQ(0.f, c.rect.T);
    }

  // With a learn box the gaps are split around it.
  padProbe(*p.pad).callbacks.learnInfo = [] { return Pad::XYLearnInfo{1, -1, -1}; };
  const auto split = p.pad->widestTopGap();
  EXPECT_FLOAT_EQ(180.f, split.first);
  EXPECT_FLOAT_EQ(292.f, split.second);
}

TEST(PadDrawing, LearnBoxAndDisabledButtons)
{
  PadSession p;
  padProbe(*p.pad).callbacks.learnInfo = [] { return Pad::XYLearnInfo{0, 7, -1}; };
  auto s = drawFrame(p);
  EXPECT_NE(SIZE_MAX, first(s, [](const Shape& x) { return x.text == "XY 7/-"; }));

  padProbe(*p.pad).callbacks.learnInfo = [] { return Pad::XYLearnInfo{1, -1, -1}; };
  p.engine.edit({.editing = true});
  s = drawFrame(p);
  EXPECT_NE(SIZE_MAX, first(s, [](const Shape& x) { return x.text == "learn X.."; }));
  // Row 0's label and the disabled buttons' text colour.
  const IColor hl = plugkit::gfx::DEFAULT_STYLE.colorSpec.GetColor(plugkit::gfx::EVColor::HL);
  EXPECT_NE(SIZE_MAX, first(s, [](const Shape& x) { return x.text == "#-"; }));
  EXPECT_NE(SIZE_MAX, first(s, [&](const Shape& x) { return x.text == "clip" && x.color == hl; }));
  EXPECT_NE(SIZE_MAX, first(s, [&](const Shape& x) { return x.text == ">" && x.color == hl; }));
}

} // namespace
} // namespace zarvo::morph::test
