#include <gtest/gtest.h>

#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;

// Notes its own destruction, to see when the context lets a control go.
class MortalControl : public RecordingControl
{
public:
  MortalControl(const IRECT& r, Strings& deaths, const char* name)
    : RecordingControl(r, -1, name)
    , mDeaths(deaths)
  {}
  ~MortalControl() override { mDeaths.push_back(Name()); }

private:
  Strings& mDeaths;
};

Strings Names(IGfx& g)
{
  Strings out;
  for (int i = 0; i < g.NControls(); ++i)
    out.emplace_back(static_cast<RecordingControl*>(g.GetControl(i))->Name());
  return out;
}

TEST(ContextTest, AttachConnectsAndDuplicateTagsAreRefused)
{
  EditorSession s;
  auto* first = new RecordingControl(IRECT(10, 10, 30, 30), -1, "first");
  EXPECT_EQ(first, s.G().AttachControl(first, 1040, "grp"));
  EXPECT_EQ((Strings{"resize", "rescale"}), first->events); // OnInit, OnResize, OnRescale, OnAttached
  EXPECT_EQ(&s.G(), first->GetUI());
  EXPECT_EQ(&s.dlg, first->GetDelegate());
  EXPECT_STREQ("grp", first->GetGroup());

  auto* second = new RecordingControl(IRECT(10, 10, 30, 30), -1, "second");
  EXPECT_EQ(nullptr, s.G().AttachControl(second, 1040));
  EXPECT_EQ(first, s.G().GetControlWithTag(1040));
  EXPECT_EQ(1, s.G().NControls());
  second->release(); // still the caller's
}

TEST(ContextTest, RemovalOrderAndReferences)
{
  Strings deaths; // outlives the session, whose close releases the controls
  EditorSession s;
  for (const char* name : {"c0", "c1", "c2", "c3", "c4"})
    s.G().AttachControl(new MortalControl(IRECT(10, 10, 30, 30), deaths, name));
  s.G().RemoveControls(3);
  EXPECT_EQ((Strings{"c4", "c3"}), deaths);
  EXPECT_EQ((Strings{"c0", "c1", "c2"}), Names(s.G()));
}

TEST(ContextTest, RemovingAControlForgetsItEverywhere)
{
  EditorSession s;
  s.G().EnableMouseOver(true);
  s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "bg");
  auto* container = new RecordingControl(IRECT(100, 100, 200, 150), -1, "container");
  s.G().AttachControl(container, 9);
  auto* child = s.Attach<RecordingControl>(IRECT(110, 110, 120, 120), -1, "child");
  child->SetParent(container);
  s.Input().Hover(150, 140);
  s.Input().Press(150, 140);
  ASSERT_EQ(container, s.G().GetMouseOver());
  ASSERT_TRUE(s.G().ControlIsCaptured(container));

  s.G().RemoveControlWithTag(9);
  EXPECT_FALSE(s.G().ControlIsCaptured());
  EXPECT_EQ(nullptr, s.G().GetMouseOver());
  EXPECT_EQ(-1, s.G().GetMouseOverIdx());
  EXPECT_EQ(nullptr, s.G().GetControlWithTag(9));
  EXPECT_EQ(nullptr, child->GetParent());
  EXPECT_TRUE(s.G().Tick()); // everything is redrawn, and the child draws without its old parent
  s.Input().Release(150, 140);
}

TEST(ContextTest, HostHeldControlOutlivesItsRemoval)
{
  Strings deaths; // outlives the session, whose close releases the controls
  EditorSession s;
  auto* c = new MortalControl(IRECT(10, 10, 30, 30), deaths, "held");
  s.G().AttachControl(c);
  c->addRef(); // a host context menu keeps its target
  s.G().RemoveControl(c);
  EXPECT_TRUE(deaths.empty());
  EXPECT_EQ(Steinberg::kResultOk, c->executeMenuItem(2));
  EXPECT_EQ(1, c->Count("context 2"));
  c->release();
  EXPECT_EQ(Strings{"held"}, deaths);
}

TEST(ContextTest, BringToFrontMovesContainerChildrenInOrder)
{
  EditorSession s;
  auto* a = s.Attach<RecordingControl>(IRECT(0, 0, 10, 10), -1, "a");
  auto* box = s.Attach<RecordingControl>(IRECT(0, 0, 100, 100), -1, "box");
  auto* k1 = s.Attach<RecordingControl>(IRECT(0, 0, 10, 10), -1, "k1");
  s.Attach<RecordingControl>(IRECT(0, 0, 10, 10), -1, "z");
  auto* k2 = s.Attach<RecordingControl>(IRECT(0, 0, 10, 10), -1, "k2");
  k1->SetParent(box);
  k2->SetParent(box);

  s.G().BringControlToFront(k2); // already last
  EXPECT_EQ((Strings{"a", "box", "k1", "z", "k2"}), Names(s.G()));
  s.G().BringControlToFront(box);
  EXPECT_EQ((Strings{"a", "z", "box", "k1", "k2"}), Names(s.G()));
  s.G().BringControlToFront(a);
  EXPECT_EQ((Strings{"z", "box", "k1", "k2", "a"}), Names(s.G()));
  s.G().BringControlToFront(nullptr);
}

TEST(ContextTest, FindingAndIterating)
{
  EditorSession s;
  auto* a = s.Attach<RecordingControl>(IRECT(0, 0, 10, 10), std::vector<int>{1, 2}, "a");
  auto* b = s.Attach<RecordingControl>(IRECT(0, 0, 10, 10), 2, "b");
  s.G().AttachControl(new RecordingControl(IRECT(0, 0, 10, 10), 3, "c"), -1, "tabs");
  EXPECT_EQ(a, s.G().GetControlWithParamIdx(2));
  EXPECT_EQ(nullptr, s.G().GetControlWithParamIdx(7));
  EXPECT_EQ(nullptr, s.G().GetControl(3));

  Strings visits;
  s.G().ForControlWithParam(std::vector<int>{2, 1},
                            [&visits](IControl* c) { visits.emplace_back(static_cast<RecordingControl*>(c)->Name()); });
  EXPECT_EQ((Strings{"a", "a", "b"}), visits);
  visits.clear();
  s.G().ForControlInGroup("tabs",
                          [&visits](IControl* c) { visits.emplace_back(static_cast<RecordingControl*>(c)->Name()); });
  s.G().ForControlInGroup("", [&visits](IControl*) { visits.emplace_back("empty group matched"); });
  EXPECT_EQ(Strings{"c"}, visits);

  s.G().HideControl(2, true);
  EXPECT_TRUE(a->IsHidden() && b->IsHidden());
  s.G().DisableControl(3, true);
  EXPECT_TRUE(s.G().GetControl(2)->IsDisabled());

  s.dlg.GetParam(1)->InitDouble("cutoff", 0.5, 0., 1., 0.01);
  s.G().AssignParamNameToolTips();
  EXPECT_STREQ("cutoff", a->GetTooltip());
}

TEST(ContextTest, TooltipsTurnHoverOnButNotOff)
{
  EditorSession s;
  s.G().EnableMouseOver(true);
  s.G().EnableTooltips(false);
  EXPECT_TRUE(s.G().MouseOverEnabled());
  s.G().EnableMouseOver(false);
  s.G().EnableTooltips(true);
  EXPECT_TRUE(s.G().MouseOverEnabled());
}

TEST(ContextTest, ClosingTheEditorReleasesEveryControl)
{
  Strings deaths;
  {
    EditorSession s;
    s.G().AttachControl(new MortalControl(IRECT(0, 0, 10, 10), deaths, "list"));
    s.G().AttachCornerResizer(new MortalControl(IRECT(900, 180, 940, 200), deaths, "resizer"));
    s.dlg.CloseWindow();
    EXPECT_EQ((Strings{"resizer", "list"}), deaths);
  }
}

} // namespace
} // namespace plugkit::gfx::test
