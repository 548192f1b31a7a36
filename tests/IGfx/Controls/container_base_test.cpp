#include <gtest/gtest.h>

#include "IGfx/IContainerBase.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

// A container of two children side by side; counts its resize calls.
struct Pair
{
  int resizes = 0;
  IContainerBase* Make(const IRECT& r)
  {
    return new IContainerBase(
      r,
      [](IContainerBase* c, const IRECT& b) {
        c->AddChildControl(new RecordingControl(IRECT(b.L, b.T, b.MW(), b.B), -1, "left"));
        c->AddChildControl(new RecordingControl(IRECT(b.MW(), b.T, b.R, b.B), -1, "right"));
      },
      [this](IContainerBase* c, const IRECT& b) {
        ++resizes;
        c->GetChild(0)->SetTargetAndDrawRECTs(IRECT(b.L, b.T, b.MW(), b.B));
        c->GetChild(1)->SetTargetAndDrawRECTs(IRECT(b.MW(), b.T, b.R, b.B));
      });
  }
};

TEST(ContainerBaseTest, ChildrenAttachAfterContainerAndAreLaidOut)
{
  EditorSession s;
  Pair p;
  IContainerBase* c = p.Make(IRECT(100, 0, 300, 100));
  s.G().AttachControl(c);
  ASSERT_EQ(2, c->NChildren());
  const int ci = s.G().GetControlIdx(c);
  EXPECT_LT(ci, s.G().GetControlIdx(c->GetChild(0)));
  EXPECT_LT(s.G().GetControlIdx(c->GetChild(0)), s.G().GetControlIdx(c->GetChild(1)));
  EXPECT_EQ(c, c->GetChild(1)->GetParent());
  EXPECT_EQ(1, p.resizes);
  EXPECT_TRUE(c->GetIgnoreMouse());

  s.G().SetControlBounds(c, IRECT(0, 0, 100, 50));
  EXPECT_EQ(2, p.resizes);
  EXPECT_EQ(IRECT(50, 0, 100, 50), c->GetChild(1)->GetRECT());
}

TEST(ContainerBaseTest, ResizeFunctionNeedsAChild)
{
  EditorSession s;
  int resizes = 0;
  auto* c = new IContainerBase(IRECT(0, 0, 50, 50), nullptr, [&resizes](IContainerBase*, const IRECT&) { ++resizes; });
  s.G().AttachControl(c);
  s.G().SetControlBounds(c, IRECT(0, 0, 60, 60));
  EXPECT_EQ(0, resizes);
  EXPECT_EQ(0, c->NChildren());
}

TEST(ContainerBaseTest, HideAndDisablePropagateToChildren)
{
  EditorSession s;
  Pair p;
  IContainerBase* c = p.Make(IRECT(100, 0, 300, 100));
  s.G().AttachControl(c);
  c->GetChild(0)->Hide(true); // hidden on its own before
  c->Hide(true);
  EXPECT_TRUE(c->IsHidden() && c->GetChild(0)->IsHidden() && c->GetChild(1)->IsHidden());
  c->Hide(false);
  EXPECT_FALSE(c->IsHidden() || c->GetChild(0)->IsHidden() || c->GetChild(1)->IsHidden());
  c->SetDisabled(true);
  EXPECT_TRUE(c->IsDisabled() && c->GetChild(0)->IsDisabled() && c->GetChild(1)->IsDisabled());
  c->SetDisabled(false);
  EXPECT_FALSE(c->GetChild(1)->IsDisabled());
}

TEST(ContainerBaseTest, PressOnEmptyAreaFallsThrough)
{
  EditorSession s;
  auto* beneath = s.Attach<RecordingControl>(IRECT(0, 0, 400, 200), -1, "beneath");
  auto* c = new IContainerBase(IRECT(100, 0, 300, 100), [](IContainerBase* cont, const IRECT&) {
    cont->AddChildControl(new RecordingControl(IRECT(100, 0, 150, 50), -1, "child"));
  });
  s.G().AttachControl(c);
  auto* child = static_cast<RecordingControl*>(c->GetChild(0));
  s.Input().Click(200, 80); // inside the container, outside its child
  s.Input().Click(120, 20);
  EXPECT_EQ(1, beneath->Count("down"));
  EXPECT_EQ(1, child->Count("down"));
}

TEST(ContainerBaseTest, RemovalLeavesNoDanglingPointer)
{
  // Removing the container: its children stay, with no parent, and frames still
  // run.
  {
    EditorSession s;
    Pair p;
    IContainerBase* c = p.Make(IRECT(100, 0, 300, 100));
    s.G().AttachControl(c);
    IControl* left = c->GetChild(0);
    s.G().RemoveControl(c);
    EXPECT_EQ(nullptr, left->GetParent());
    EXPECT_GE(s.G().GetControlIdx(left), 0);
    s.G().SetAllControlsDirty();
    EXPECT_TRUE(s.G().Tick());
  }
  // Removing a child: the container forgets it before touching its children
  // again.
  {
    EditorSession s;
    Pair p;
    IContainerBase* c = p.Make(IRECT(100, 0, 300, 100));
    s.G().AttachControl(c);
    IControl* right = c->GetChild(1);
    s.G().RemoveControl(c->GetChild(0));
    EXPECT_EQ(1, c->NChildren());
    c->Hide(true);
    c->SetDisabled(true);
    EXPECT_TRUE(right->IsHidden() && right->IsDisabled());
    EXPECT_EQ(right, c->GetChild(0));
  }
}

} // namespace
} // namespace plugkit::gfx::test
