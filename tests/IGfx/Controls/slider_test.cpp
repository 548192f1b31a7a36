#include <gtest/gtest.h>

#include "IGfx/Controls/IVSliderControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/IGfx/Controls/extras_test_util.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

TEST(SliderTest, TrackIsACentredBandShortenedAtBothEnds)
{
  struct Case
  {
    EDirection dir;
    IRECT bounds;
    float startInset, endInset;
    IRECT track;
    IRECT handleAtHalf;
  };
  // Handle size 5, track size 2.
  const Case cases[] = {
    {EDirection::Vertical, IRECT(0, 0, 40, 110), 0.f, 0.f, IRECT(18, 5, 22, 105), IRECT(15, 50, 25, 60)},
    {EDirection::Vertical, IRECT(0, 0, 40, 110), 10.f, 20.f, IRECT(18, 25, 22, 95), IRECT(15, 55, 25, 65)},
    {EDirection::Horizontal, IRECT(0, 0, 110, 30), 10.f, 0.f, IRECT(15, 13, 105, 17), IRECT(55, 10, 65, 20)},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* sl = s.Attach<IVSliderControl>(c.bounds, -1, "", PlainStyle(), false, c.dir, 4., 5.f, 2.f);
    sl->SetTrackInsets(c.startInset, c.endInset);
    sl->OnResize();
    sl->SetValue(0.5);
    EXPECT_EQ(c.track, sl->GetTrackBounds()) << c.startInset;
    EXPECT_EQ(c.handleAtHalf, sl->GetHandleBounds()) << c.startInset;
  }
}

TEST(SliderTest, PressJumpsToThePointOnTheTrackAndSendsTheParameter)
{
  EditorSession s;
  s.dlg.GetParam(1)->InitDouble("gain", 0., 0., 100., 0.1);
  auto* sl =
    s.Attach<IVSliderControl>(IRECT(0, 0, 40, 110), 1, "", PlainStyle(), false, EDirection::Vertical, 4., 5.f, 2.f);
  s.Input().Press(20, 30); // track from 5 to 105
  EXPECT_DOUBLE_EQ(0.75, sl->GetValue());
  s.Input().Release(20, 30);
  EXPECT_DOUBLE_EQ(75., s.dlg.GetParam(1)->Value());
  EXPECT_STREQ("gain", sl->GetLabelStr());
  s.Input().DoubleClick(20, 30);
  EXPECT_DOUBLE_EQ(0., sl->GetValue());
}

TEST(SliderTest, OnlyAnEditableValueIsHitAndPrompted)
{
  for (bool editable : {false, true})
  {
    EditorSession s;
    s.dlg.GetParam(1)->InitDouble("gain", 10., 0., 100., 0.1);
    IVStyle style;
    style.drawShadows = false;
    auto* sl = s.Attach<IVSliderControl>(IRECT(0, 0, 60, 120), 1, "", style, editable, EDirection::Vertical);
    const IRECT v = sl->GetValueBounds();
    ASSERT_FALSE(v.Empty());
    ASSERT_FALSE(sl->GetWidgetBounds().Contains(v.MW(), v.MH()));
    EXPECT_EQ(editable, sl->IsHit(v.MW(), v.MH())) << editable;
    sl->SetValue(0.1);
    s.Input().Click(v.MW(), v.MH());
    EXPECT_EQ(editable ? 1u : 0u, s.platform.textEntries.size()) << editable;
    EXPECT_DOUBLE_EQ(0.1, sl->GetValue()) << "a click on the value does not move the slider";
  }
}

} // namespace
} // namespace plugkit::gfx::test
