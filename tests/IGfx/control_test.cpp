#include <gtest/gtest.h>

#include <stdexcept>

#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;

TEST(ControlTest, SetDirtyClampsAndSendsAddressedValues)
{
  struct Case
  {
    const char* name;
    std::vector<int> params;
    std::vector<double> values;
    int valIdx;
    Strings sent;
    std::vector<double> stored;
  };
  const Case cases[] = {
    {"single value ignores the index", {2}, {0.4}, 5, {"send 2 0.4"}, {0.4}},
    {"two parameters, all values, list order", {3, 1}, {0.2, 0.9}, -1, {"send 3 0.2", "send 1 0.9"}, {0.2, 0.9}},
    {"one addressed value", {3, 1}, {0.2, 0.9}, 1, {"send 1 0.9"}, {0.2, 0.9}},
    {"clamped before sending", {2}, {1.7}, -1, {"send 2 1"}, {1.}},
    {"unlinked values are not sent", {-1, 4}, {-0.5, 0.5}, -1, {"send 4 0.5"}, {0., 0.5}},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    int actions = 0;
    auto* ctrl = new RecordingControl(IRECT(10, 10, 30, 30), c.params, "c");
    ctrl->SetActionFunction([&actions](IControl*) { ++actions; });
    s.G().AttachControl(ctrl);
    for (size_t i = 0; i < c.values.size(); ++i)
      ctrl->SetValue(c.values[i], static_cast<int>(i));
    EXPECT_DOUBLE_EQ(c.values[0], ctrl->GetValue(0)) << c.name; // SetValue stores as given
    s.dlg.log.clear();

    ctrl->SetDirty(true, c.valIdx);
    EXPECT_EQ(c.sent, s.dlg.log) << c.name;
    EXPECT_EQ(1, actions) << c.name;
    for (size_t i = 0; i < c.stored.size(); ++i)
      EXPECT_DOUBLE_EQ(c.stored[i], ctrl->GetValue(static_cast<int>(i))) << c.name;

    s.dlg.log.clear();
    ctrl->SetDirty(false);
    EXPECT_TRUE(s.dlg.log.empty()) << c.name;
    EXPECT_EQ(1, actions) << c.name;
  }
}

TEST(ControlTest, UserChangesUpdatePeers)
{
  EditorSession s;
  auto* a = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 2);
  auto* b = s.Attach<RecordingControl>(IRECT(40, 10, 60, 30), std::vector<int>{5, 2}, "b");
  auto* other = s.Attach<RecordingControl>(IRECT(70, 10, 90, 30), 3);
  a->SetValueFromUserInput(0.3);
  EXPECT_DOUBLE_EQ(0.3, b->GetValue(1));
  EXPECT_DOUBLE_EQ(0., other->GetValue());
  s.dlg.log.clear();
  a->SetValueFromUserInput(0.3); // unchanged: nothing sent
  EXPECT_TRUE(s.dlg.log.empty());
}

TEST(ControlTest, DelegateValuesMarkDirtyOnlyWhenChanged)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  s.G().Tick();
  s.dlg.log.clear();
  c->SetValueFromDelegate(0.);
  EXPECT_FALSE(c->IsDirty());
  c->SetValueFromDelegate(0.5);
  EXPECT_TRUE(c->IsDirty());
  EXPECT_TRUE(s.dlg.log.empty()); // a value from the plug-in is not sent back
}

TEST(ControlTest, SnapToMouse)
{
  struct Case
  {
    const char* name;
    float x, y;
    EDirection dir;
    double minClip, maxClip;
    double expected;
  };
  const IRECT bounds(0, 100, 100, 200);
  const Case cases[] = {
    {"top of vertical bounds", 50, 100, EDirection::Vertical, 0, 1, 1.},
    {"above the bounds", 50, 20, EDirection::Vertical, 0, 1, 1.},
    {"bottom", 50, 200, EDirection::Vertical, 0, 1, 0.},
    {"rounded to 0.001", 12.345f, 150, EDirection::Horizontal, 0, 1, 0.123},
    {"clipped", 90, 150, EDirection::Horizontal, 0, 0.8, 0.8},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* ctrl = s.Attach<RecordingControl>(IRECT(0, 100, 100, 200), 1);
    ctrl->SnapToMouse(c.x, c.y, c.dir, bounds, -1, c.minClip, c.maxClip);
    EXPECT_NEAR(c.expected, ctrl->GetValue(), 1e-9) << c.name;
  }
}

TEST(ControlTest, PositionAndSize)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 40));
  c->SetTargetRECT(IRECT(12, 14, 28, 36));
  c->SetPosition(-5, 10);
  EXPECT_EQ(IRECT(0, 10, 20, 40), c->GetRECT());
  EXPECT_EQ(IRECT(2, 14, 18, 36), c->GetTargetRECT());
  c->SetSize(-1, 5);
  EXPECT_EQ(IRECT(0, 10, 0, 15), c->GetRECT());
  EXPECT_EQ(c->GetRECT(), c->GetTargetRECT());
}

TEST(ControlTest, HighlightColourCodes)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  c->SetPTParameterHighlight(true, 1);
  EXPECT_EQ(COLOR_BLUE, c->GetPTHighlightColor());
  c->SetPTParameterHighlight(true, 7);
  EXPECT_EQ(COLOR_BLUE, c->GetPTHighlightColor());
  EXPECT_TRUE(c->GetPTParameterHighlighted());
  s.G().SetPTParameterHighlight(1, false, 3);
  EXPECT_EQ(COLOR_YELLOW, c->GetPTHighlightColor());
  EXPECT_FALSE(c->GetPTParameterHighlighted());
  EXPECT_EQ(1, s.G().GetParamIdxForPTAutomation(20, 20));
  EXPECT_EQ(1, s.G().GetLastClickedParamForPTAutomation());
  EXPECT_EQ(-1, s.G().GetLastClickedParamForPTAutomation());
}

TEST(ControlTest, DisablingFadesTheBlend)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30));
  c->SetDisabled(true);
  EXPECT_FLOAT_EQ(0.25f, c->GetBlend().mWeight);
  c->SetDisabled(false);
  EXPECT_FLOAT_EQ(1.f, c->GetBlend().mWeight);
}

TEST(ControlTest, SetParamIdxOutsideTheValuesThrows)
{
  auto* c = new RecordingControl(IRECT(0, 0, 1, 1), 1);
  EXPECT_THROW(c->SetParamIdx(2, 1), std::out_of_range);
  c->SetParamIdx(4, 0);
  EXPECT_EQ(4, c->GetParamIdx());
  EXPECT_EQ(0, c->LinkedToParam(4));
  EXPECT_EQ(-1, c->LinkedToParam(1));
  auto* none = new RecordingControl(IRECT(0, 0, 1, 1), std::vector<int>{}, "none");
  EXPECT_EQ(0, none->NVals());
  none->SetDirty(true);
  none->SetValueToDefault(-1);
  c->release(); // made with new, never attached: the last reference deletes it
  none->release();
}

TEST(ControlTest, GesturesGoToTheControlOrToRegions)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30));
  int controlGestures = 0;
  int regionGestures = 0;
  c->AttachGestureRecognizer(EGestureType::Pinch,
                             [&controlGestures](IControl*, const IGestureInfo&) { ++controlGestures; });
  c->AttachGestureRecognizer(EGestureType::Pinch,
                             [](IControl*, const IGestureInfo&) { FAIL() << "first function kept"; });
  s.G().AttachGestureRecognizerToRegion(IRECT(100, 100, 200, 150), EGestureType::Pinch,
                                        [&regionGestures](IControl* ctrl, const IGestureInfo&) {
                                          EXPECT_EQ(nullptr, ctrl);
                                          ++regionGestures;
                                        });
  EXPECT_EQ(std::vector<EGestureType>{EGestureType::Pinch}, s.G().GetRegisteredGestures());

  IGestureInfo onControl;
  onControl.x = 20;
  onControl.y = 20;
  onControl.type = EGestureType::Pinch;
  IGestureInfo inRegion = onControl;
  inRegion.x = 150;
  inRegion.y = 120;
  IGestureInfo nowhere = onControl;
  nowhere.x = 500;

  EXPECT_TRUE(s.G().RespondsToGesture(20, 20));
  EXPECT_TRUE(s.G().RespondsToGesture(150, 120));
  EXPECT_FALSE(s.G().RespondsToGesture(500, 20));
  s.G().OnGestureRecognized(onControl);
  s.G().OnGestureRecognized(inRegion);
  s.G().OnGestureRecognized(nowhere);
  EXPECT_EQ(1, controlGestures);
  EXPECT_EQ(1, regionGestures);
  EXPECT_EQ(EGestureType::Pinch, c->GetLastGesture());
  s.G().ClearGestureRegions();
  EXPECT_FALSE(s.G().RespondsToGesture(150, 120));
}

} // namespace
} // namespace plugkit::gfx::test
