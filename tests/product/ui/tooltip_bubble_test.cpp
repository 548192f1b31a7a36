#include <gtest/gtest.h>

#include "IGfx/IGfx.h"
#include "IGfx/IPattern.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/ui/hover_help_texts.h"
#include "product/ui/tooltip_bubble_control.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace vemlor::ui {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::EditorSession;
using plugkit::gfx::test::RecordingControl;

// The recording backend measures half the font size per byte: the bubble's 16 px text is 8 px a
// character and 16 px high, so a line is 19.2 px and the wrap width of 360 px holds 45 characters.
constexpr float kLine = 19.2f;

// A bubble in a 940 x 200 editor (or the size given), with a clock the test moves.
class BubbleTest : public ::testing::Test
{
protected:
  explicit BubbleTest(int w = 940, int h = 200)
    : s(8, w, h)
  {
    s.G().AttachPanelBackground(IPattern(COLOR_BLACK));
    bubble = new TooltipBubbleControl(smallTxtWhite, colDarkGray, colLightGray, 5.f);
    s.G().AttachBubbleControl(bubble);
    caller = s.Attach<RecordingControl>(IRECT(100, 80, 140, 120), 0);
    t0 = s.platform.nowMs;
  }

  // Moves the clock to ms after the start and runs a frame; true when one was drawn.
  bool At(double ms)
  {
    s.platform.nowMs = t0 + ms;
    return s.G().Tick();
  }
  void Wrap(const char* text) { bubble->wrap(s.G(), text); }

  EditorSession s;
  TooltipBubbleControl* bubble;
  RecordingControl* caller;
  double t0;
};

TEST_F(BubbleTest, FreshBubble)
{
  EXPECT_EQ(15.f, bubble->insetX);
  EXPECT_EQ(7.f, bubble->insetY);
  EXPECT_EQ(IRECT(), bubble->appliedRect);
  EXPECT_FALSE(bubble->helpWanted);
  EXPECT_TRUE(bubble->IsHidden());
  EXPECT_TRUE(bubble->GetIgnoreMouse());
  EXPECT_EQ(IBubbleControl::kCollapsed, bubble->GetState());
  EXPECT_EQ(bubble, s.G().GetBubbleControl());
}

TEST_F(BubbleTest, Wrapping)
{
  struct Case
  {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
    float contentWidth;
  };
  const std::string nine = "abcdefghi";
  const std::string ten = nine + " " + nine + " " + nine + " " + nine + " " + nine + " " + nine + " " + nine + " " +
                          nine + " " + nine + " " + nine;
  const std::string four = nine + " " + nine + " " + nine + " " + nine;
  const Case cases[] = {
    {"two words two line feeds apart", "one\n\ntwo", {"one", "", "two"}, 24.f},
    {"a word over 360 px keeps a line of its own", std::string(50, 'w'), {std::string(50, 'w')}, 360.f},
    {"the empty text is one empty line", "", {""}, 1.f},
    {"words fill a line up to 360 px", ten, {four, four, nine + " " + nine}, 312.f},
    {"two blanks in a row keep an empty word", "a  b", {"a  b"}, 32.f},
    {"a long word after a short one moves down", "ab " + std::string(50, 'w'), {"ab", std::string(50, 'w')}, 360.f},
    {"a trailing line feed gives an empty last line", "ab\n", {"ab", ""}, 16.f},
  };
  for (const Case& c : cases)
  {
    Wrap(c.text.c_str());
    EXPECT_EQ(c.lines, bubble->lines) << c.name;
    EXPECT_EQ(c.contentWidth, bubble->contentWidth) << c.name;
    EXPECT_FLOAT_EQ(1.2f * 16.f, bubble->lineHeight) << c.name;
  }
}

TEST_F(BubbleTest, MeasuredContentIsTheWrappedSizePlusInsets)
{
  IRECT r;
  bubble->MeasureText(std::string(50, 'w').c_str(), r);
  EXPECT_EQ(390.f, r.W());
  EXPECT_FLOAT_EQ(kLine + 14.f, r.H());
  bubble->MeasureText("one\n\ntwo", r);
  EXPECT_EQ(0.f, r.L);
  EXPECT_EQ(24.f + 30.f, r.W());
  EXPECT_FLOAT_EQ(3.f * kLine + 14.f, r.H());
}

class NarrowBubbleTest : public BubbleTest
{
protected:
  NarrowBubbleTest()
    : BubbleTest(200, 200)
  {}
};

TEST_F(NarrowBubbleTest, ANarrowEditorWrapsAt24PixelsLessThanItsWidth)
{
  Wrap("abcdefghij abcdefghij abcdefghij");
  // 176 px hold 22 characters.
  EXPECT_EQ((std::vector<std::string>{"abcdefghij abcdefghij", "abcdefghij"}), bubble->lines);
  EXPECT_EQ(168.f, bubble->contentWidth);
}

TEST_F(BubbleTest, PlacementFlipAndClamps)
{
  struct Case
  {
    const char* name;
    IRECT anchor;
    std::string text;
    IRECT bubble;
    IBubbleControl::EArrowDir arrow;
  };
  // "hello": content 40 + 30 wide, 19.2 + 14 high; the bubble adds the 10 px shadow all round.
  const float h = kLine + 14.f + 20.f;
  std::string twelve = "1";
  for (int i = 2; i <= 12; ++i)
    twelve += "\n" + std::to_string(i % 10);
  const Case cases[] = {
    {"beside the anchor, arrow left",
     {100, 80, 140, 120},
     "hello",
     {140, 100 - h / 2, 230, 100 + h / 2},
     IBubbleControl::kWest},
    {"ending exactly 10 px before the right edge stays right",
     {800, 80, 840, 120},
     "hello",
     {840, 100 - h / 2, 930, 100 + h / 2},
     IBubbleControl::kWest},
    {"near the right edge: on the anchor's left, arrow right",
     {850, 80, 890, 120},
     "hello",
     {760, 100 - h / 2, 850, 100 + h / 2},
     IBubbleControl::kEast},
    {"too low: bottom on the editor's bottom",
     {100, 170, 140, 190},
     "hello",
     {140, 200 - h, 230, 200},
     IBubbleControl::kWest},
    {"taller than the editor: top on the editor's top",
     {100, 80, 140, 120},
     twelve,
     {140, 0, 140 + 8 + 30 + 20, 12 * kLine + 34},
     IBubbleControl::kWest},
    {"an anchor past the right edge: right edge on the editor's right",
     {950, 80, 990, 120},
     "hello",
     {850, 100 - h / 2, 940, 100 + h / 2},
     IBubbleControl::kEast},
    {"flipped past the left edge: left on the editor's left",
     {10, 80, 900, 120},
     "hello",
     {0, 100 - h / 2, 90, 100 + h / 2},
     IBubbleControl::kEast},
  };
  for (const Case& c : cases)
  {
    bubble->showTooltip(caller, c.anchor, c.text.c_str());
    const IRECT got = bubble->GetBubbleBounds();
    EXPECT_NEAR(c.bubble.L, got.L, 1e-3) << c.name;
    EXPECT_NEAR(c.bubble.T, got.T, 1e-3) << c.name;
    EXPECT_NEAR(c.bubble.R, got.R, 1e-3) << c.name;
    EXPECT_NEAR(c.bubble.B, got.B, 1e-3) << c.name;
    EXPECT_EQ(c.arrow, bubble->GetArrowDir()) << c.name;
    EXPECT_EQ(got, bubble->GetRECT()) << c.name;
    EXPECT_EQ(got, bubble->appliedRect) << c.name;
  }
}

TEST_F(BubbleTest, LinesAreDrawnInEqualSlotsLeavingEmptyOnesBlank)
{
  bubble->showTooltip(caller, caller->GetRECT(), "one\n\ntwo");
  At(300);
  s.recorder.Clear();
  bubble->Draw(s.G());
  const auto texts = s.recorder.Only("DoDrawText");
  ASSERT_EQ(2u, texts.size()) << s.recorder.Dump();
  const IRECT body = bubble->GetBubbleBounds().GetPadded(-10.f);
  const float top = body.T + 7.f;
  EXPECT_EQ("one", texts[0].text);
  EXPECT_NEAR(body.L + 15.f, texts[0].rect.L, 1e-3);
  EXPECT_NEAR(body.R - 15.f, texts[0].rect.R, 1e-3);
  EXPECT_NEAR(top, texts[0].rect.T, 1e-3);
  EXPECT_NEAR(top + kLine, texts[0].rect.B, 1e-3);
  EXPECT_EQ("two", texts[1].text);
  EXPECT_NEAR(top + 2 * kLine, texts[1].rect.T, 1e-3);
  EXPECT_NEAR(top + 3 * kLine, texts[1].rect.B, 1e-3);
  for (const auto& t : texts)
  {
    EXPECT_EQ(COLOR_WHITE, t.color);
    EXPECT_EQ("RobotoMono-Regular.ttf", t.font);
    EXPECT_FLOAT_EQ(0.95f, t.blend.mWeight);
  }
  const auto fills = s.recorder.Only("PathFill");
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(colDarkGray, fills.back().color);
  const auto strokes = s.recorder.Only("PathStroke");
  ASSERT_FALSE(strokes.empty());
  EXPECT_EQ(colLightGray, strokes.back().color);
}

struct Step
{
  double ms;
  IBubbleControl::EState state;
  float opacity;
};

TEST_F(BubbleTest, HoverHelpFadesIn200StaysWhileAskedAndFadesOut200)
{
  bubble->showTooltip(caller, caller->GetRECT(), "help");
  EXPECT_EQ(IBubbleControl::kExpanding, bubble->GetState());
  EXPECT_FALSE(bubble->IsHidden());
  const Step steps[] = {
    {0, IBubbleControl::kExpanding, 0.f},     {100, IBubbleControl::kExpanding, 0.475f},
    {200, IBubbleControl::kExpanding, 0.95f}, {201, IBubbleControl::kShown, 0.95f},
    {5000, IBubbleControl::kShown, 0.95f},
  };
  for (const Step& st : steps)
  {
    At(st.ms);
    EXPECT_EQ(st.state, bubble->GetState()) << st.ms;
    EXPECT_NEAR(st.opacity, bubble->GetBlend().mWeight, 1e-4) << st.ms;
  }
  bubble->hideTooltip();
  const Step out[] = {
    {5000, IBubbleControl::kCollapsing, 0.95f},
    {5100, IBubbleControl::kCollapsing, 0.475f},
    {5201, IBubbleControl::kCollapsed, 0.f},
  };
  for (const Step& st : out)
  {
    At(st.ms);
    EXPECT_EQ(st.state, bubble->GetState()) << st.ms;
    EXPECT_NEAR(st.opacity, bubble->GetBlend().mWeight, 1e-4) << st.ms;
  }
  EXPECT_TRUE(bubble->IsHidden());
}

TEST_F(BubbleTest, ValueReadoutFadesInHolds1000AndFadesOut)
{
  s.G().ShowBubbleControl(caller, 140, 100, "0.5", EDirection::Horizontal, IRECT());
  EXPECT_FALSE(bubble->helpWanted);
  const Step steps[] = {
    {100, IBubbleControl::kExpanding, 0.475f},   {201, IBubbleControl::kShown, 0.95f},
    {1200, IBubbleControl::kShown, 0.95f},       {1202, IBubbleControl::kCollapsing, 0.95f},
    {1302, IBubbleControl::kCollapsing, 0.475f}, {1403, IBubbleControl::kCollapsed, 0.f},
  };
  for (const Step& st : steps)
  {
    At(st.ms);
    EXPECT_EQ(st.state, bubble->GetState()) << st.ms;
    EXPECT_NEAR(st.opacity, bubble->GetBlend().mWeight, 1e-4) << st.ms;
  }
}

TEST_F(BubbleTest, AReadoutOfAHeldControlKeepsHoldingIn200msSteps)
{
  s.Input().Press(120, 100);
  s.G().ShowBubbleControl(caller, 140, 100, "0.5", EDirection::Horizontal, IRECT());
  At(201);
  At(1202);
  EXPECT_EQ(IBubbleControl::kShown, bubble->GetState());
  At(1403);
  EXPECT_EQ(IBubbleControl::kShown, bubble->GetState());
  s.Input().Release(120, 100);
  At(1604);
  EXPECT_EQ(IBubbleControl::kCollapsing, bubble->GetState());
  At(1805);
  EXPECT_EQ(IBubbleControl::kCollapsed, bubble->GetState());
}

TEST_F(BubbleTest, RepeatedShowsOfTheSameHelpMarkNothingDirty)
{
  bubble->showTooltip(caller, caller->GetRECT(), "same text");
  At(201);
  At(250);
  const std::vector<std::string> lines = bubble->lines;
  for (int tick = 0; tick < 10; ++tick)
  {
    bubble->showTooltip(caller, caller->GetRECT(), "same text");
    EXPECT_FALSE(At(260 + 20 * tick)) << "tick " << tick;
  }
  EXPECT_EQ(lines, bubble->lines);
  // The same place with another text redraws the bubble only.
  bubble->showTooltip(caller, caller->GetRECT(), "same size");
  EXPECT_TRUE(bubble->IsDirty());
  EXPECT_FALSE(caller->IsDirty());
}

TEST_F(BubbleTest, MovingToAnotherControlMovesTheBubbleAtOnceAndRedrawsAllOnce)
{
  auto* other = s.Attach<RecordingControl>(IRECT(300, 80, 340, 120), 1);
  bubble->showTooltip(caller, caller->GetRECT(), "help");
  At(201);
  At(250);
  bubble->showTooltip(other, other->GetRECT(), "other help");
  EXPECT_EQ(IBubbleControl::kShown, bubble->GetState()) << "no new fade-in";
  EXPECT_EQ(340.f, bubble->GetBubbleBounds().L);
  EXPECT_TRUE(caller->IsDirty());
  EXPECT_TRUE(At(270));
  bubble->showTooltip(other, other->GetRECT(), "other help");
  EXPECT_FALSE(At(290));
}

TEST_F(BubbleTest, HideWhileHiddenOrTwiceDoesNothingMore)
{
  bubble->hideTooltip();
  EXPECT_EQ(IBubbleControl::kCollapsed, bubble->GetState());
  EXPECT_FALSE(bubble->GetAnimationFunction());

  bubble->showTooltip(caller, caller->GetRECT(), "help");
  At(201);
  bubble->hideTooltip();
  At(350);
  bubble->hideTooltip(); // would restart the fade if it acted again
  At(402);
  EXPECT_EQ(IBubbleControl::kCollapsed, bubble->GetState());
}

TEST_F(BubbleTest, FadeOutStartsFromFullOpacityEvenDuringTheFadeIn)
{
  bubble->showTooltip(caller, caller->GetRECT(), "help");
  At(50);
  bubble->hideTooltip();
  At(50);
  EXPECT_EQ(IBubbleControl::kCollapsing, bubble->GetState());
  EXPECT_NEAR(0.95f, bubble->GetBlend().mWeight, 1e-4);
}

TEST_F(BubbleTest, AShowDuringTheFadeOutLetsItEndAndTheNextShowFadesIn)
{
  bubble->showTooltip(caller, caller->GetRECT(), "help");
  At(201);
  bubble->hideTooltip();
  At(300);
  bubble->showTooltip(caller, caller->GetRECT(), "help");
  EXPECT_EQ(IBubbleControl::kCollapsing, bubble->GetState());
  At(402);
  EXPECT_EQ(IBubbleControl::kCollapsed, bubble->GetState());
  bubble->showTooltip(caller, caller->GetRECT(), "help");
  EXPECT_EQ(IBubbleControl::kExpanding, bubble->GetState());
  At(422);
  EXPECT_NEAR(0.095f, bubble->GetBlend().mWeight, 1e-4);
}

TEST_F(BubbleTest, TheIdleDriverShowsTheHoveredControlsHelpAndHidesOtherwise)
{
  s.G().EnableMouseOver(true);
  HelpTexts texts{{0, "param zero"}};
  auto* silent = s.Attach<RecordingControl>(IRECT(300, 80, 340, 120), 5);

  s.Input().Hover(120, 100);
  refreshHoverHelp(s.G(), *bubble, texts, true);
  EXPECT_STREQ("param zero", bubble->GetStr());
  EXPECT_EQ(IBubbleControl::kExpanding, bubble->GetState());
  At(201);

  // Held: nothing changes, even over a control without help.
  s.Input().Press(120, 100);
  s.Input().Hover(320, 100);
  refreshHoverHelp(s.G(), *bubble, texts, true);
  EXPECT_EQ(IBubbleControl::kShown, bubble->GetState());
  s.Input().Release(120, 100);

  s.Input().Hover(320, 100);
  ASSERT_EQ(silent, s.G().GetMouseOver());
  refreshHoverHelp(s.G(), *bubble, texts, true);
  EXPECT_EQ(IBubbleControl::kCollapsing, bubble->GetState()) << "no help: hidden";
  At(500);

  s.Input().Hover(120, 100);
  refreshHoverHelp(s.G(), *bubble, texts, false);
  EXPECT_EQ(IBubbleControl::kCollapsed, bubble->GetState()) << "help switched off";
}

std::vector<std::string> gViolations;

TEST_F(BubbleTest, ShowingOrHidingFromTheAudioThreadIsReported)
{
  gViolations.clear();
  const auto previous = plugkit::SetThreadRoleViolationHandler([](const char* op) { gViolations.emplace_back(op); });
  {
    plugkit::AudioThreadScope audio;
    bubble->showTooltip(caller, caller->GetRECT(), "help");
    bubble->hideTooltip();
  }
  plugkit::SetThreadRoleViolationHandler(previous);
  EXPECT_EQ((std::vector<std::string>{"showTooltip", "hideTooltip"}), gViolations);
}

} // namespace
} // namespace vemlor::ui
