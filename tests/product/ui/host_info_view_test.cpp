// The host information view: readouts written into tagged text controls, changes kept while the editor
// is closed, and the about box's lines and layout.
#include <gtest/gtest.h>

#include "IGfx/Controls/IAboutBoxControl.h"
#include "IGfx/Controls/IPanelControl.h"
#include "IGfx/Controls/ITextControl.h"
#include "IGfx/Controls/IURLControl.h"
#include "product/ui/about_box.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/support/users_run.h"
#include "utils/host_info_view.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::EditorSession;

struct FakePlugin
{
  IGfx* GetUI() const { return ui; }
  IGfx* ui = nullptr;
};

struct FakeModel
{
  uint32_t takeFlags() { return std::exchange(flags, 0u); }
  bool read(zarvo::HostInfo& out) const
  {
    out = info;
    return true;
  }
  uint32_t flags = 0;
  zarvo::HostInfo info;
};

class HostInfo : public ::testing::Test
{
protected:
  void SetUp() override
  {
    for (int tag = 1040; tag <= 1044; ++tag)
      s.G().AttachControl(new ITextControl(IRECT(0, 20.f * static_cast<float>(tag - 1040), 300, 20), "-"), tag);
  }
  std::string text(int tag) { return static_cast<ITextControl*>(s.G().GetControlWithTag(tag))->GetStr(); }

  EditorSession s;
  FakePlugin plugin;
  zarvo::HostInfoView view{[this] { return plugin.GetUI(); }};
  FakeModel model;
};

TEST_F(HostInfo, ChangesWaitForAnOpenEditorThenShowEverywhere)
{
  model.info.sampleRate = 48000;
  model.info.blockSize = 256;
  model.info.inputsConnected = 1;
  model.info.outputsConnected = 2;
  model.flags = zarvo::kHostSampleRateChanged | zarvo::kHostChannelsChanged;
  EXPECT_FALSE(view.update(model)); // editor closed
  EXPECT_EQ(view.pendingChanges(), zarvo::kHostSampleRateChanged | zarvo::kHostChannelsChanged);
  EXPECT_EQ(text(1041), "-");

  plugin.ui = &s.G();
  model.flags = zarvo::kHostBlockSizeChanged;
  EXPECT_TRUE(view.update(model));
  EXPECT_EQ(view.pendingChanges(), 0u);
  EXPECT_EQ(text(1041), "sr:        48000");
  EXPECT_EQ(text(1042), "buf size:  256");
  EXPECT_EQ(text(1043), "I/O:       1-2");
  EXPECT_EQ(text(1044), "sr 48000 buf size 256");
  EXPECT_EQ(text(1040), "-"); // the transport did not change

  model.info.time.beat = 3;
  model.info.time.seconds = 5;
  model.flags = zarvo::kHostTimeChanged;
  EXPECT_TRUE(view.update(model));
  EXPECT_EQ(text(1040), "host time: " + zarvo::buildTimeString(model.info.time));
}

TEST_F(HostInfo, MissingReadoutsAreNoFailure)
{
  plugin.ui = &s.G();
  s.G().RemoveAllControls();
  EXPECT_TRUE(view.updateSampleRateView(44100));
  EXPECT_TRUE(view.updateChansView(2, 2));
  EXPECT_EQ(view.sampleRate(), 44100u);
  plugin.ui = nullptr;
  EXPECT_FALSE(view.updateBufSizeView(64));
  EXPECT_EQ(view.bufSize(), 64u); // kept for the next opening
}

TEST(AboutBox, LinesAreExactlyTheBuildsOwn)
{
  const BuildInfo build{"x86_64", "main", "abc1234", "2026-12-10"};
  EXPECT_EQ(AboutBox::lines(build),
            (std::vector<std::string>{"zarvoaudio.example", "VEMLOR v1.3.0 edition: free", "VST3 x86_64 release",
                                      "main abc1234", "2026-12-10", "built with plugkit", "no info"}));
  const vemlor::test::UsersRun usersRun; // the build's own stamp, not the tests' fixed one
  const BuildInfo current = BuildInfo::current();
  EXPECT_EQ(current.architecture, "x86_64");
  EXPECT_FALSE(current.revision.empty());
  EXPECT_EQ(current.date.size(), 10u); // YYYY-MM-DD
}

TEST(AboutBox, LinesStackAsACentredBlockAndOnlyTheLinkTextIsHit)
{
  EditorSession s;
  // The editor's small text is left-aligned; the lines are centred whatever style they are given.
  IText text(10.f, COLOR_WHITE);
  text.mAlign = EAlign::Near;
  const BuildInfo build{"x86_64", "main", "abc1234", "2026-12-10"};
  IAboutBoxControl* box =
    AboutBox::make(IRECT(0, 0, 940, 200), IPattern(COLOR_BLACK), text, IColor(255, 95, 55, 200), build);
  s.G().AttachControl(box, AboutBox::kTag);
  EXPECT_TRUE(box->IsHidden());
  ASSERT_EQ(box->NChildren(), 7);
  const auto lines = AboutBox::lines(build);
  for (int i = 0; i < 7; ++i)
  {
    IControl* child = box->GetChild(i);
    EXPECT_TRUE(child->IsHidden());
    // 7 rows of 12 px in a block 84 high, centred: from y 58 to 142.
    EXPECT_EQ(child->GetRECT(),
              IRECT(0, 58.f + 12.f * static_cast<float>(i), 940, 70.f + 12.f * static_cast<float>(i)));
    EXPECT_EQ(static_cast<ITextControl*>(child)->GetStr(), lines[static_cast<size_t>(i)]);
    EXPECT_EQ(child->GetText().mAlign, EAlign::Center) << "a link's text must lie over its hit area";
  }
  // A link is clickable only on its text (5 px per byte here) plus 4 px each side.
  const IRECT link = box->GetChild(0)->GetTargetRECT();
  EXPECT_FLOAT_EQ(link.W(), 18.f * 5.f + 8.f);
  EXPECT_FLOAT_EQ(link.MW(), 470.f);
  EXPECT_NE(dynamic_cast<IURLControl*>(box->GetChild(5)), nullptr);
  EXPECT_EQ(s.G().GetControlWithTag(AboutBox::kHostLineTag), box->GetChild(6));

  // Controls attached later would cover it: showing brings the box and its lines to the front.
  s.G().AttachControl(new IPanelControl(IRECT(0, 0, 940, 200), COLOR_BLACK));
  AboutBox::show(s.G());
  EXPECT_FALSE(box->IsHidden());
  EXPECT_FALSE(box->GetChild(3)->IsHidden());
  const int n = s.G().NControls();
  EXPECT_EQ(s.G().GetControl(n - 8), box);
  EXPECT_EQ(s.G().GetControl(n - 1), box->GetChild(6));
}

} // namespace
} // namespace vemlor::ui::test
