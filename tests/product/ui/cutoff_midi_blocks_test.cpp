// The cutoff MIDI blocks: where each child goes in normal and narrow rectangles, and placed copies
// of one block sharing their parameters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IGfx/Controls/ITextControl.h"
#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/Controls/IVToggleControl.h"
#include "IGfx/IContainerBase.h"
#include "utils/midi_cc/cc_display_control.h"
#include "utils/midi_cc/controllable.h"
#include "utils/ui/FreqModDepthReadout.h"
#include "utils/ui/IntDragControl.h"
#include "product/ui/cutoff_midi_blocks.h"
#include "tests/product/ui/catalogue_session.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;

TEST(CutoffMidiBlocks, ParameterSetsOfTheThreeCutoffs)
{
  struct Case
  {
    const char* name;
    NoteModePIds pids;
    int first;
    int cutoff;
  };
  const Case cases[] = {
    {"main", kMainCutoffNoteModePIds, 32, 11},
    {"pre A", kPreACutoffNoteModePIds, 40, 0},
    {"pre B", kPreBCutoffNoteModePIds, 48, 4},
  };
  for (const Case& c : cases)
  {
    const NoteModePIds& p = c.pids;
    EXPECT_EQ((std::vector<int>{p.noteOn, p.noteChannel, p.octShift, p.semiShift, p.centShift, p.glideMs, p.glideAlways,
                                p.ccChannel}),
              (std::vector<int>{c.first, c.first + 1, c.first + 2, c.first + 3, c.first + 4, c.first + 5, c.first + 6,
                                c.first + 7}))
      << c.name;
    EXPECT_EQ(p.cutoff, c.cutoff) << c.name;
  }
}

TEST(CutoffMidiBlocks, ChildrenFollowTheBlockFormulas)
{
  struct Case
  {
    const char* name;
    CutoffBlockKind kind;
    IRECT bounds;
    std::vector<IRECT> want;
  };
  // Notes, 300 x 100: c = 60, group left 10 + (300 - 115) / 2 = 102.5, rows of 20.
  // Notes, narrow 80 x 100 at x 10: 80 < 115, so the group starts at 10 and the controls run to 125.
  // Glide, 200 x 60: c = 60, group left 40 + (200 - 115) / 2 = 82.5, thirds of 20.
  // CC, 160 x 120: c = 60, group left (160 - 115) / 2 = 22.5, rows of 20; the readout spans rows 2 to 4.
  // CC, narrow 40 x 120: the group starts at the left edge.
  const Case cases[] = {
    {"notes",
     CutoffBlockKind::Notes,
     IRECT(10, 0, 310, 100),
     {{102.5f, 0, 152.5f, 20},
      {157.5f, 0, 217.5f, 20},
      {102.5f, 20, 152.5f, 40},
      {157.5f, 20, 217.5f, 40},
      {102.5f, 40, 152.5f, 60},
      {157.5f, 40, 217.5f, 60},
      {102.5f, 60, 152.5f, 80},
      {157.5f, 60, 217.5f, 80},
      {102.5f, 80, 152.5f, 100},
      {157.5f, 80, 217.5f, 100}}},
    {"notes narrow",
     CutoffBlockKind::Notes,
     IRECT(10, 0, 90, 100),
     {{10, 0, 60, 20},
      {65, 0, 125, 20},
      {10, 20, 60, 40},
      {65, 20, 125, 40},
      {10, 40, 60, 60},
      {65, 40, 125, 60},
      {10, 60, 60, 80},
      {65, 60, 125, 80},
      {10, 80, 60, 100},
      {65, 80, 125, 100}}},
    {"glide",
     CutoffBlockKind::Glide,
     IRECT(40, 30, 240, 90),
     {{82.5f, 30, 132.5f, 50}, {137.5f, 30, 197.5f, 90}, {82.5f, 50, 132.5f, 70}}},
    {"cc",
     CutoffBlockKind::CC,
     IRECT(0, 0, 160, 120),
     {{22.5f, 0, 72.5f, 20},
      {77.5f, 0, 137.5f, 20},
      {22.5f, 20, 72.5f, 40},
      {77.5f, 20, 137.5f, 40},
      {22.5f, 40, 137.5f, 100}}},
    {"cc narrow",
     CutoffBlockKind::CC,
     IRECT(5, 0, 45, 120),
     {{5, 0, 55, 20}, {60, 0, 120, 20}, {5, 20, 55, 40}, {60, 20, 120, 40}, {5, 40, 120, 100}}},
  };
  for (const Case& c : cases)
  {
    const std::vector<IRECT> got = cutoffBlockLayout(c.kind, c.bounds);
    ASSERT_EQ(got.size(), c.want.size()) << c.name;
    for (size_t i = 0; i < got.size(); ++i)
    {
      EXPECT_FLOAT_EQ(got[i].L, c.want[i].L) << c.name << " child " << i;
      EXPECT_FLOAT_EQ(got[i].T, c.want[i].T) << c.name << " child " << i;
      EXPECT_FLOAT_EQ(got[i].R, c.want[i].R) << c.name << " child " << i;
      EXPECT_FLOAT_EQ(got[i].B, c.want[i].B) << c.name << " child " << i;
    }
  }
}

std::vector<IControl*> children(IControl* block)
{
  std::vector<IControl*> out;
  static_cast<IContainerBase*>(block)->ForAllChildrenFunc([&out](int, IControl* c) { out.push_back(c); });
  return out;
}

TEST(CutoffMidiBlocks, PlacedBlocksLayOutTheirChildrenAndFollowResizes)
{
  CatalogueSession s;
  const IRECT cell(10, 0, 310, 100);
  IControl* notes = zarvo::ui::placeControl(s.G(), s.registry, 10004, cell);
  ASSERT_NE(notes, nullptr);
  const std::vector<IControl*> kids = children(notes);
  const std::vector<IRECT> want = cutoffBlockLayout(CutoffBlockKind::Notes, cell);
  ASSERT_EQ(kids.size(), want.size());
  const int params[] = {-1, 32, -1, 33, -1, 34, -1, 35, -1, 36};
  const bool learnable[] = {false, true, false, false, false, true, false, true, false, true};
  for (size_t i = 0; i < kids.size(); ++i)
  {
    EXPECT_EQ(kids[i]->GetRECT(), want[i]) << i;
    EXPECT_EQ(kids[i]->GetParent(), notes) << i;
    EXPECT_EQ(kids[i]->GetParamIdx(), params[i]) << i;
    EXPECT_EQ(dynamic_cast<zarvo::midi_cc::IControllable*>(kids[i]) != nullptr, learnable[i]) << i;
  }

  const IRECT moved(0, 50, 80, 150);
  notes->SetTargetAndDrawRECTs(moved);
  notes->OnResize();
  const std::vector<IRECT> wantMoved = cutoffBlockLayout(CutoffBlockKind::Notes, moved);
  for (size_t i = 0; i < kids.size(); ++i)
    EXPECT_EQ(kids[i]->GetRECT(), wantMoved[i]) << i;
}

TEST(CutoffMidiBlocks, ChildrenOfEachKind)
{
  // Texts for labels, the control's kind otherwise; parameters; learnable or not.
  struct Child
  {
    const char* what;
    int param;
    bool learnable;
  };
  struct Case
  {
    int id;
    std::vector<Child> children;
  };
  const Case cases[] = {
    {10008,
     {{"NOTE", -1, false},
      {"toggle", 40, true},
      {"ch", -1, false},
      {"drag", 41, false},
      {"oct", -1, false},
      {"drag", 42, true},
      {"semi", -1, false},
      {"drag", 43, true},
      {"cent", -1, false},
      {"drag", 44, true}}},
    {10013, {{"glide", -1, false}, {"knob", 53, true}, {"toggle", 54, true}}},
    {10006, {{"CC", -1, false}, {"cc", 11, true}, {"ch", -1, false}, {"drag", 39, false}, {"depth", -1, false}}},
  };
  CatalogueSession s;
  for (const Case& c : cases)
  {
    IControl* block = zarvo::ui::placeControl(s.G(), s.registry, c.id, IRECT(0, 0, 300, 120));
    ASSERT_NE(block, nullptr);
    const std::vector<IControl*> kids = children(block);
    ASSERT_EQ(kids.size(), c.children.size()) << c.id;
    for (size_t i = 0; i < kids.size(); ++i)
    {
      const Child& want = c.children[i];
      IControl* kid = kids[i];
      SCOPED_TRACE(std::to_string(c.id) + " child " + std::to_string(i));
      const std::string what = want.what;
      if (what == "toggle")
        EXPECT_NE(dynamic_cast<IVToggleControl*>(kid), nullptr);
      else if (what == "knob")
        EXPECT_NE(dynamic_cast<IVKnobControl*>(kid), nullptr);
      else if (what == "drag")
        EXPECT_NE(dynamic_cast<zarvo::ui::IntDragControl*>(kid), nullptr);
      else if (what == "cc")
        EXPECT_NE(dynamic_cast<zarvo::midi_cc::CCDisplayControl*>(kid), nullptr);
      else if (what == "depth")
      {
        auto* depth = dynamic_cast<zarvo::ui::FreqModDepthReadout*>(kid);
        ASSERT_NE(depth, nullptr);
        EXPECT_EQ(depth->parameter(), 11);
      }
      else
      {
        auto* label = dynamic_cast<ITextControl*>(kid);
        ASSERT_NE(label, nullptr);
        EXPECT_STREQ(label->GetStr(), want.what);
      }
      EXPECT_EQ(kid->GetParamIdx(), want.param);
      EXPECT_EQ(dynamic_cast<zarvo::midi_cc::IControllable*>(kid) != nullptr, want.learnable);
    }
  }
}

TEST(CutoffMidiBlocks, GlideKnobShowsAtEveryValue)
{
  // At 0 ms the value arc has no length: the ring and pointer must still be drawn in a visible colour.
  CatalogueSession s;
  for (const double value : {0.0, 0.5, 1.0})
  {
    SCOPED_TRACE(value);
    IControl* block = zarvo::ui::placeControl(s.G(), s.registry, 10013, IRECT(0, 0, 300, 120));
    ASSERT_NE(block, nullptr);
    IControl* knob = children(block)[1];
    knob->SetValue(value);
    s.recorder.Clear();
    knob->Draw(s.G());
    int visibleStrokes = 0;
    for (const auto& call : s.recorder.Only("PathStroke"))
    {
      if (call.color.A > 0 && call.thickness > 0.f)
        ++visibleStrokes;
    }
    EXPECT_GE(visibleStrokes, 2) << s.recorder.Dump();
    s.G().RemoveControl(block);
  }
}

TEST(CutoffMidiBlocks, TwoCopiesOfOneBlockShowEachOthersChanges)
{
  struct Case
  {
    int id;
    int child; // the child changed in the first copy
    int param;
  };
  const Case cases[] = {{10004, 1, 32}, {10009, 1, 45}, {10013, 2, 54}, {10010, 3, 47}};
  for (const Case& c : cases)
  {
    CatalogueSession s;
    s.param(c.param).Set(s.param(c.param).GetMin());
    IControl* first = zarvo::ui::placeControl(s.G(), s.registry, c.id, IRECT(0, 0, 300, 120));
    IControl* second = zarvo::ui::placeControl(s.G(), s.registry, c.id, IRECT(300, 0, 600, 120));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    IControl* a = children(first)[static_cast<size_t>(c.child)];
    IControl* b = children(second)[static_cast<size_t>(c.child)];
    ASSERT_NE(a, b);
    ASSERT_EQ(a->GetParamIdx(), c.param);
    ASSERT_EQ(b->GetParamIdx(), c.param);
    EXPECT_DOUBLE_EQ(b->GetValue(), 0.0) << c.id;

    a->SetValue(1.0);
    a->SetDirty(true);
    EXPECT_DOUBLE_EQ(b->GetValue(), 1.0) << c.id;
    EXPECT_DOUBLE_EQ(s.param(c.param).GetNormalized(), 1.0) << c.id;

    b->SetValue(0.0);
    b->SetDirty(true);
    EXPECT_DOUBLE_EQ(a->GetValue(), 0.0) << c.id;
  }
}

} // namespace
} // namespace vemlor::ui::test
