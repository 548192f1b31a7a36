#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "product/ui/section_label_control.h"
#include "product/ui/stage_coeffs_readout.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/utils/ui/painted.h"
#include "utils/ui/FreqModDepthReadout.h"

namespace ui_widgets_test {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::EditorSession;
using vemlor::ui::SectionLabelControl;
using vemlor::ui::StageCoeffsReadout;
using zarvo::ui::FreqModDepthReadout;

TEST(FreqModDepthReadoutTest, RowsSpellOutTheDepth)
{
  struct Case
  {
    const char* name;
    double depth;
    bool valid;
    std::vector<std::string> values;
  } cases[] = {
    {"-1.25 octaves", -1.25, true, {"-1", "-3", "0"}},
    {"4.8 cents round once", 0.004, true, {"0", "0", "5"}},
    {"negative with no semitones", -1.01, true, {"-1", "0", "-12"}},
    {"a whole octave up", 1., true, {"1", "0", "0"}},
    {"unknown", -0.5, false, {"--", "--", "--"}},
  };
  for (const Case& c : cases)
  {
    EditorSession s(1, 300, 200);
    auto* r = s.Attach<FreqModDepthReadout>(IRECT(10, 10, 110, 70));
    r->setDepth(c.depth, c.valid);
    s.recorder.Clear();
    r->Draw(s.G());
    const auto texts = Texts(s.recorder);
    ASSERT_EQ(6u, texts.size()) << c.name;
    EXPECT_EQ((std::vector<std::string>{"oct", c.values[0], "semi", c.values[1], "cent", c.values[2]}),
              TextStrings(s.recorder))
      << c.name;
    EXPECT_EQ(IRECT(10, 30, 60, 50), texts[2].rect) << "name column 55 less the gap 5";
    EXPECT_EQ(IRECT(65, 50, 110, 70), texts[5].rect);
  }
}

TEST(FreqModDepthReadoutTest, UnchangedDepthMarksNothing)
{
  EditorSession s(1, 300, 200);
  auto* r = s.Attach<FreqModDepthReadout>(IRECT(10, 10, 110, 70));
  r->setDepth(0.5, true);
  r->SetClean();
  r->setDepth(0.5, true);
  EXPECT_FALSE(r->IsDirty());
  r->setDepth(0.5, false);
  EXPECT_TRUE(r->IsDirty());
  r->setParameter(7);
  EXPECT_EQ(7, r->parameter());
  EXPECT_LT(r->GetParamIdx(), 0) << "bound to no parameter";
}

TEST(StageCoeffsReadoutTest, TableOfSignedWeights)
{
  EditorSession s(1, 300, 200);
  auto* r = s.Attach<StageCoeffsReadout>(IRECT(0, 0, 100, 80));
  int clicks = 0;
  r->setClickCallback([&] { ++clicks; });
  const char* names[] = {"lp", "bp", "hp"};
  const double values[] = {0.25, -1., 0.};
  for (int i = 0; i < 3; ++i)
    r->setRow(i, names[i], values[i]);
  r->setRow(3, "y3", 9.);
  r->setRowCount(3);
  s.recorder.Clear();
  r->Draw(s.G());
  EXPECT_EQ((std::vector<std::string>{"USER BLEND", "lp", "+0.2", "bp", "-1.0", "hp", "+0.0"}),
            TextStrings(s.recorder));
  const auto texts = Texts(s.recorder);
  EXPECT_EQ(IRECT(0, 0, 100, 20), texts[0].rect) << "a quarter of the height per row";
  EXPECT_EQ(IRECT(0, 20, 40, 40), texts[1].rect);
  EXPECT_EQ(IRECT(40, 60, 100, 80), texts[6].rect);
  EXPECT_EQ("+0.3", StageCoeffsReadout::formatValue(0.26));

  r->setShowRows(false);
  s.recorder.Clear();
  r->Draw(s.G());
  EXPECT_EQ((std::vector<std::string>{"USER BLEND"}), TextStrings(s.recorder));
  EXPECT_EQ(IRECT(0, 0, 100, 80), Texts(s.recorder)[0].rect);

  s.Input().Click(50, 50);
  EXPECT_EQ(1, clicks);

  r->SetClean();
  r->setRow(0, "lp", 0.25);
  r->setRowCount(3);
  r->setShowRows(false);
  EXPECT_FALSE(r->IsDirty()) << "unchanged refreshes redraw nothing";
}

TEST(SectionLabelTest, DisabledCaptionDrawsAtSixtyPercent)
{
  EditorSession s(1, 300, 200);
  const IText mono(16.f, COLOR_LIGHT_GRAY, "RobotoMono-Regular.ttf");
  auto* before = s.Attach<SectionLabelControl>(IRECT(0, 0, 100, 20), "FILTER", mono, COLOR_TRANSPARENT);
  before->SetDisabled(true);
  before->SetClean();
  before->setDisabledAlpha(0.6f);
  EXPECT_FLOAT_EQ(0.6f, before->GetBlend().mWeight) << "already disabled: at once";
  EXPECT_TRUE(before->IsDirty());

  auto* after = s.Attach<SectionLabelControl>(IRECT(0, 30, 100, 50), "BREAK", mono, COLOR_TRANSPARENT);
  after->setDisabledAlpha(0.6f);
  EXPECT_FLOAT_EQ(1.f, after->GetBlend().mWeight);
  after->SetDisabled(true);
  EXPECT_FLOAT_EQ(0.6f, after->GetBlend().mWeight);
  s.recorder.Clear();
  after->Draw(s.G());
  const auto texts = Texts(s.recorder);
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("BREAK", texts[0].text);
  EXPECT_FLOAT_EQ(0.6f, texts[0].blend.mWeight);
}

} // namespace
} // namespace ui_widgets_test
