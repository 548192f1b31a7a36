// The action bar, hover help and the sliders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "tests/utils/morph/pad_session.h"
#include "tests/support/morph_pad_probe.h"

namespace zarvo::morph::test {
namespace {

TEST(PadActions, ButtonRectanglesAtTwoHeights)
{
  struct Case
  {
    const char* name;
    float height;
    int action;
    IRECT want; // relative to the pad's top left
  };
  const float g = (404.f - 273.f) / 6.f;
  const Case cases[] = {
    {"404: copy", 404.f, 0, IRECT(38.f, 141.f + 2.f * g, 67.5f, 161.f + 2.f * g)},
    {"404: save point", 404.f, 3, IRECT(144.5f, 141.f + 2.f * g, 174.f, 161.f + 2.f * g)},
    {"404: save blend", 404.f, 5, IRECT(109.f, 161.f + 3.f * g, 174.f, 181.f + 3.f * g)},
    {"404: redo", 404.f, 11, IRECT(93.f, 201.f + 5.f * g, 174.f, 221.f + 5.f * g)},
    {"309: copy rig", 309.f, 6, IRECT(38.f, 181.f + 24.f, 67.5f, 201.f + 24.f)},
    {"309: undo", 309.f, 10, IRECT(6.f, 201.f + 30.f, 87.f, 221.f + 30.f)},
    {"300: the gap stays 6", 300.f, 10, IRECT(6.f, 231.f, 87.f, 251.f)},
  };
  for (const Case& c : cases)
  {
    PadSession p(IRECT(16.f, 200.f, 924.f, 200.f + c.height));
    const IRECT r = p.pad->actionBtnRect(c.action);
    EXPECT_NEAR(16.f + c.want.L, r.L, 1e-3) << c.name;
    EXPECT_NEAR(200.f + c.want.T, r.T, 1e-3) << c.name;
    EXPECT_NEAR(16.f + c.want.R, r.R, 1e-3) << c.name;
    EXPECT_NEAR(200.f + c.want.B, r.B, 1e-3) << c.name;
  }
}

TEST(PadActions, EnableMatrix)
{
  struct Case
  {
    const char* name;
    uint32_t selection;
    bool copied;
    bool callbacks;
    bool rig;
    bool undo, redo;
    std::array<bool, 12> want;
  };
  const uint32_t two = (1u << 2) | (1u << 3);
  const Case cases[] = {
    {"nothing selected, no callbacks",
     0,
     false,
     false,
     false,
     false,
     false,
     {false, false, false, false, false, false, false, false, false, false, false, false}},
    {"one point, callbacks",
     1u << 2,
     false,
     true,
     false,
     true,
     false,
     {true, false, true, true, true, true, true, false, true, true, true, false}},
    {"two points after a copy",
     two,
     true,
     true,
     true,
     false,
     true,
     {false, true, true, false, true, true, true, true, true, true, false, true}},
    {"one point, copied, no callbacks",
     1u << 2,
     true,
     false,
     true,
     true,
     true,
     {true, true, false, false, true, false, false, false, false, false, false, false}},
  };
  for (const Case& c : cases)
  {
    PadSession p;
    p.engine.edit({.editing = true});
    p.pad->applySelection(c.selection);
    padProbe(*p.pad).hasCopiedSound = c.copied;
    padProbe(*p.pad).rigOnClipboard = c.rig;
    if (c.callbacks)
    {
      padProbe(*p.pad).callbacks.onLoadPointsFromFile = [](uint32_t) {};
      padProbe(*p.pad).callbacks.onSavePointToFile = [](int) {};
      padProbe(*p.pad).callbacks.onSaveBlend = [] {};
      padProbe(*p.pad).callbacks.onCopyRig = [] {};
      padProbe(*p.pad).callbacks.onPasteRig = [] {};
      padProbe(*p.pad).callbacks.onImportRig = [] {};
      padProbe(*p.pad).callbacks.onExportRig = [] {};
      padProbe(*p.pad).callbacks.canUndo = [&c] { return c.undo; };
      padProbe(*p.pad).callbacks.canRedo = [&c] { return c.redo; };
    }
    for (int a = 0; a < 12; ++a)
      EXPECT_EQ(c.want[static_cast<size_t>(a)], p.pad->actionEnabled(a)) << c.name << ", action " << a;
  }
}

TEST(PadActions, CopyThenPasteIntoThreePointsIsOneCommit)
{
  PadSession p;
  p.engine.edit({.editing = true});
  p.logCallbacks();
  p.engine.edit({.point = 5, .row = 0, .value = 0.125});
  p.pad->applySelection(1u << 5);
  p.s.Input().Click(p.pad->actionBtnRect(0).MW(), p.pad->actionBtnRect(0).MH());
  EXPECT_TRUE(padProbe(*p.pad).hasCopiedSound);
  EXPECT_EQ(0, padProbe(*p.pad).flashActionIndex);
  p.advance(141.);
  EXPECT_EQ(-1, padProbe(*p.pad).flashActionIndex);
  EXPECT_EQ(0.f, padProbe(*p.pad).flashAmount);

  p.pad->applySelection((1u << 1) | (1u << 2) | (1u << 3));
  p.s.dlg.log.clear();
  p.s.Input().Click(p.pad->actionBtnRect(1).MW(), p.pad->actionBtnRect(1).MH());
  const std::vector<std::string> want = {"commit 14 0.125000 0"};
  std::vector<std::string> commits;
  for (const std::string& l : p.padLog())
    if (l.rfind("commit", 0) == 0)
      commits.push_back(l);
  EXPECT_EQ(want, commits);

  // Without the callback the pad writes the sound itself and selects the points.
  PadSession q;
  q.engine.edit({.editing = true});
  q.engine.edit({.point = 5, .row = 7, .value = 0.75});
  q.pad->applySelection(1u << 5);
  q.pad->doAction(0);
  q.pad->applySelection((1u << 1) | (1u << 2) | (1u << 3));
  q.pad->doAction(1);
  for (size_t i : {1u, 2u, 3u})
    EXPECT_EQ(0.75, q.engine.editState().points[i].values[7]);
  EXPECT_EQ(0.0, q.engine.editState().points[4].values[7]);
}

TEST(PadActions, BakeStoresTheResolvedBlendAtTheMorphPosition)
{
  PadSession p;
  p.engine.edit({.editing = true});
  for (size_t i = 1; i < 4; ++i)
  {
    p.place(i, 200.f + 200.f * static_cast<float>(i), 300.f);
    MorphValues values{};
    values.fill(0.1 * static_cast<double>(i));
    p.engine.edit({.point = i, .values = &values});
  }
  p.pad->SetValue(0.3, 0);
  p.pad->SetValue(0.6, 1);
  MorphValues got{};
  Pad::PointSoundSource source = Pad::PointSoundSource::Paste;
  uint32_t mask = 0;
  padProbe(*p.pad).callbacks.onCommitPointSound = [&](uint32_t m, const MorphValues& v, Pad::PointSoundSource s) {
    mask = m;
    got = v;
    source = s;
  };
  p.pad->applySelection((1u << 2) | (1u << 9));
  p.pad->doAction(4);
  EXPECT_EQ((1u << 2) | (1u << 9), mask);
  EXPECT_EQ(Pad::PointSoundSource::Bake, source);
  EXPECT_EQ(p.engine.resolvedAt(0.3, 0.6), got);
  EXPECT_NE(0.0, got[0]);
}

TEST(PadActions, RigOnTheClipboardIsPolledEveryTwentyRedraws)
{
  PadSession p;
  p.engine.edit({.editing = true});
  int asked = 0;
  bool answer = false;
  padProbe(*p.pad).callbacks.onPasteRig = [] {};
  padProbe(*p.pad).callbacks.clipboardHasRig = [&] {
    ++asked;
    return answer;
  };
  auto redraw = [&p] {
    p.pad->SetDirty(false);
    p.s.G().Tick();
  };
  redraw();
  EXPECT_EQ(1, asked);
  EXPECT_FALSE(p.pad->actionEnabled(7));
  answer = true;
  for (int i = 0; i < 19; ++i)
    redraw();
  EXPECT_EQ(1, asked);
  redraw();
  EXPECT_EQ(2, asked);
  EXPECT_TRUE(p.pad->actionEnabled(7));
}

TEST(PadHoverHelp, PartsInOrder)
{
  struct Case
  {
    const char* name;
    bool editing;
    uint32_t selection;
    float x, y; // relative to the pad's top left; negative y from the bottom
    const char* text;
  };
  const Case cases[] = {
    {"edit button", false, 0, 10.f, 10.f, "enter morph settings"},
    {"edit button in the settings mode", true, 0, 57.f, 25.f, "exit morph settings"},
    {"right edge belongs to the next part", false, 0, 58.f, 10.f, ""},
    {"position lock", false, 0, 64.f, 6.f, "lock points position"},
    {"sound lock", false, 0, 161.f, 10.f, "lock points sound"},
    {"contrast slider outside the settings mode", false, 0, 20.f, 40.f, ""},
    {"contrast slider", true, 0, 20.f, 40.f, "morph field contrast\n\nactually affects the morphing"},
    {"grid slider", true, 0, 100.f, -10.f, "does not affect the sound"},
    {"point size slider", true, 0, 200.f, -10.f,
     "point size\n\nhow large the points are and how near the position must come to snap onto one"},
    {"cutoff contrast slider", true, 0, 600.f, -10.f,
     "cutoff contrast\n\nhow sharply the cutoffs change from point to point"},
    {"field slider outside the settings mode", false, 0, 200.f, -10.f, ""},
    {"copy with two selected", true, (1u << 2) | (1u << 3), 40.f, 141.f + 2.f * 131.f / 6.f + 5.f,
     "copy a point's sound to the clipboard\n\none point at a time \xE2\x80\x94 deselect down to a single point"},
    {"undo", true, 0, 10.f, 201.f + 5.f * 131.f / 6.f + 5.f, "undo"},
  };
  for (const Case& c : cases)
  {
    PadSession p;
    p.engine.edit({.editing = c.editing});
    p.engine.edit({.selection = c.selection});
    const float y = c.y >= 0.f ? 200.f + c.y : 604.f + c.y;
    p.s.Input().Hover(16.f + c.x, y);
    EXPECT_STREQ(c.text, p.pad->hoveredTooltip()) << c.name;
  }

  // Nothing hit: the text empties and the rectangle stays.
  PadSession p;
  p.s.Input().Hover(26.f, 210.f);
  const IRECT kept = p.pad->hoveredTooltipRect();
  EXPECT_EQ(IRECT(22.f, 206.f, 74.f, 226.f), kept);
  p.s.Input().Hover(500.f, 400.f);
  EXPECT_STREQ("", p.pad->hoveredTooltip());
  EXPECT_EQ(kept, p.pad->hoveredTooltipRect());
}

TEST(PadSliders, ContrastAndAppearance)
{
  PadSession p;
  p.engine.edit({.editing = true});
  auto& in = p.s.Input();
  const float L = 16.f;
  in.Press(L + 6.f, 240.f);
  EXPECT_DOUBLE_EQ(2.0, p.engine.editState().sigma);
  in.DragTo(L + 400.f, 240.f);
  EXPECT_NEAR(0.02, p.engine.editState().sigma, 1e-12);
  in.DragTo(L - 50.f, 240.f);
  EXPECT_DOUBLE_EQ(2.0, p.engine.editState().sigma);
  in.Release(L - 50.f, 240.f);

  // Fine: the full width moves the shown value by 0.18.
  p.engine.edit({.sigma = 1.0});
  const double before = (2.0 - 1.0) / 1.98;
  in.Press(L + 6.f, 240.f, shiftLeft());
  in.DragTo(L + 174.f, 240.f, shiftLeft());
  in.Release(L + 174.f, 240.f, shiftLeft());
  EXPECT_NEAR(before + 0.18, (2.0 - p.engine.editState().sigma) / 1.98, 1e-5);

  // Iso positions, grid and lines labels.
  struct Iso
  {
    int position;
    int levels;
  };
  for (const Iso& c : {Iso{0, 0}, Iso{1, 1}, Iso{5, 5}, Iso{6, 7}, Iso{10, 13}, Iso{14, 19}})
    EXPECT_EQ(c.levels, Pad::isoLevelCountFor(c.position)) << c.position;
  p.pad->setApprFromX(1, L + 6.f, false);
  EXPECT_EQ("iso 0", p.pad->apprSliderLabel(1));
  p.pad->setApprFromX(2, L + 174.f, false);
  EXPECT_FLOAT_EQ(0.02f, padProbe(*p.pad).overlay.gridStep);
  EXPECT_EQ("grid 50.0", p.pad->apprSliderLabel(2));
  p.pad->setApprFromX(2, L + 93.f, false);
  EXPECT_FLOAT_EQ(1.f, padProbe(*p.pad).overlay.gridStep);
  p.pad->resetApprSlider(0);
  EXPECT_EQ("lines 42%", p.pad->apprSliderLabel(0));

  // Point size: radii in field units and a relaxed layout.
  p.pad->setSizeFromX(p.pad->fieldSliderRect(0).R, false);
  EXPECT_EQ(2.0, p.engine.pointScale());
  EXPECT_NEAR(36.0 / 404.0, p.engine.editState().snapRadius, 1e-9);
}

TEST(PadSliders, PointSizeShapeAndCutoffContrastAreDraggedAsOneRepublishedEdit)
{
  struct Case
  {
    const char* what;
    int index;
    std::function<double(const MorphEngine&)> value;
    double lo;
    double hi;
  };
  const Case cases[] = {
    {"point size", 0, [](const MorphEngine& e) { return e.pointScale(); }, 1.0, 2.0},
    {"shape contrast", 1, [](const MorphEngine& e) { return e.editState().shapeContrast; }, 0.0, 1.0},
    {"cutoff contrast", 2, [](const MorphEngine& e) { return e.editState().cutoffContrast; }, 0.0, 1.0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    PadSession p;
    // The points wait in a row mid-pad, away from the sliders along the bottom edge.
    for (size_t i = 1; i < kNumPoints; ++i)
      p.place(i, 240.f + 40.f * static_cast<float>(i), 360.f, false);
    p.engine.edit({.editing = true});
    p.logCallbacks();
    const IRECT r = p.pad->fieldSliderRect(c.index);
    ASSERT_GT(r.W(), 100.f);
    auto& in = p.s.Input();
    const auto at = [&](double f) { return r.L + static_cast<float>(f) * r.W(); };
    const auto expectAt = [&](double f) { EXPECT_NEAR(c.lo + (c.hi - c.lo) * f, c.value(p.engine), 1e-6); };

    // Plain: the value follows the pointer and stays at the ends beyond them.
    in.Press(at(0.5), r.MH());
    expectAt(0.5);
    in.DragTo(r.R + 60.f, r.MH());
    expectAt(1.0);
    in.DragTo(r.L - 60.f, r.MH());
    expectAt(0.0);
    in.DragTo(at(0.25), r.MH());
    expectAt(0.25);
    in.Release(at(0.25), r.MH());

    // One undo step around the whole drag, opened before the first change and republishing the field
    // (the morph position goes out with every step).
    const std::vector<std::string> log = p.padLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("edit begin", log.front());
    EXPECT_EQ("edit end", log.back());
    EXPECT_EQ(1, std::count(log.begin(), log.end(), "edit begin"));
    EXPECT_EQ(1, std::count(log.begin(), log.end(), "edit end"));
    const auto sends =
      std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("send 0 ", 0) == 0; });
    EXPECT_GE(sends, 4) << "the press and every drag step republish";

    // Fine: shift held, the full width moves the value by 18% of the range, from where it was.
    p.s.dlg.log.clear();
    in.Press(r.L, r.MH(), shiftLeft());
    expectAt(0.25);
    in.DragTo(r.R, r.MH(), shiftLeft());
    in.Release(r.R, r.MH(), shiftLeft());
    expectAt(0.25 + 0.18);
    EXPECT_EQ(1, std::count(p.s.dlg.log.begin(), p.s.dlg.log.end(), "edit begin"));
  }
}

TEST(PadSliders, FieldSlidersSitRightOfTheAppearanceSlidersWithinThePad)
{
  PadSession p;
  const IRECT pad = p.pad->GetRECT();
  const IRECT grid = p.pad->apprSliderRect(2);
  for (int i = 0; i < Pad::kNumFieldSliders; ++i)
  {
    const IRECT r = p.pad->fieldSliderRect(i);
    EXPECT_EQ(grid.T, r.T);
    EXPECT_EQ(grid.B, r.B);
    EXPECT_EQ(168.f, r.W());
    EXPECT_GE(r.L, grid.R + 6.f);
    EXPECT_LE(r.R, pad.R - 6.f);
    if (i > 0)
    {
      EXPECT_EQ(p.pad->fieldSliderRect(i - 1).R + 6.f, r.L);
    }
  }
  // A pad too narrow for them narrows them instead of letting them leave it.
  PadSession narrow(IRECT(16.f, 200.f, 516.f, 604.f));
  EXPECT_LE(narrow.pad->fieldSliderRect(2).R, 516.f);
  EXPECT_GT(narrow.pad->fieldSliderRect(2).W(), 0.f);
}

} // namespace
} // namespace zarvo::morph::test
