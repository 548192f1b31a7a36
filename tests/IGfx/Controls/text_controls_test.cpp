#include <gtest/gtest.h>

#include "IGfx/Controls/ICaptionControl.h"
#include "IGfx/Controls/ITextControl.h"
#include "IGfx/Controls/ITextToggleControl.h"
#include "IGfx/Controls/IURLControl.h"
#include "IGfx/Controls/PlaceHolder.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;

const IText kText(16.f, COLOR_BLUE, "Roboto-Regular", EAlign::Center, EVAlign::Middle);
const IColor kBG(255, 30, 40, 50);

// What one frame drew for the dirty controls.
std::vector<DrawCall> Frame(EditorSession& s)
{
  s.recorder.Clear();
  s.G().Tick();
  return s.recorder.Calls();
}

std::vector<DrawCall> Only(const std::vector<DrawCall>& calls, const std::string& op)
{
  std::vector<DrawCall> out;
  for (const DrawCall& c : calls)
    if (c.op == op)
      out.push_back(c);
  return out;
}

TEST(TextControlTest, DrawsBackgroundThenStringUnlessEmptyOrBeingEdited)
{
  struct Case
  {
    const char* name;
    const char* str;
    bool editing;
    int texts;
  };
  const Case cases[] = {{"a string", "Drive", false, 1}, {"empty", "", false, 0}, {"in text entry", "Drive", true, 0}};
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* t = s.Attach<ITextControl>(IRECT(10, 10, 110, 30), c.str, kText, kBG);
    t->SetBlend(IBlend(EBlend::Default, 0.5f));
    if (c.editing)
      s.G().CreateTextEntry(*t, kText, t->GetRECT(), "Drive");
    const std::vector<DrawCall> calls = Frame(s);
    const std::vector<DrawCall> fills = Only(calls, "PathFill");
    ASSERT_EQ(1u, fills.size()) << c.name;
    EXPECT_EQ(kBG, fills[0].color) << c.name;
    EXPECT_FLOAT_EQ(0.5f, fills[0].blend.mWeight) << c.name;
    const std::vector<DrawCall> texts = Only(calls, "DoDrawText");
    ASSERT_EQ(static_cast<size_t>(c.texts), texts.size()) << c.name;
    if (c.texts)
    {
      EXPECT_EQ("Drive", texts[0].text);
      EXPECT_EQ(IRECT(10, 10, 110, 30), texts[0].rect);
      EXPECT_EQ(COLOR_BLUE, texts[0].color);
      EXPECT_FLOAT_EQ(16.f, texts[0].fontSize);
    }
  }
}

TEST(TextControlTest, SetStrRedrawsOnlyWhenTheStringChanges)
{
  EditorSession s;
  auto* t = s.Attach<ITextControl>(IRECT(10, 10, 110, 30), "same", kText, kBG);
  s.G().Tick();
  t->SetStr("same");
  EXPECT_FALSE(s.G().Tick());
  t->SetStr("other");
  EXPECT_TRUE(s.G().Tick());
  EXPECT_STREQ("other", t->GetStr());
  t->ClearStr();
  EXPECT_STREQ("", t->GetStr());
  EXPECT_TRUE(s.G().Tick());
}

TEST(TextControlTest, SetStrFmtFormatsAndCutsToTheLength)
{
  EditorSession s;
  auto* t = s.Attach<ITextControl>(IRECT(10, 10, 110, 30));
  s.G().Tick();
  t->SetStrFmt(32, "%d Hz", 440);
  EXPECT_STREQ("440 Hz", t->GetStr());
  EXPECT_TRUE(s.G().Tick());
  t->SetStrFmt(4, "%s", "overlong");
  EXPECT_STREQ("over", t->GetStr());
}

TEST(TextControlTest, BoundsFromTheStringKeepTheirCentre)
{
  // The recording backend measures 8 px per byte and 16 px high at size 16.
  EditorSession s;
  auto* t = s.Attach<ITextControl>(IRECT(100, 50, 200, 70), "abc", kText, kBG, true);
  EXPECT_EQ(IRECT(138, 52, 162, 68), t->GetRECT());
  t->SetStr("abcdef");
  EXPECT_EQ(IRECT(126, 52, 174, 68), t->GetRECT());
  EXPECT_EQ(t->GetRECT(), t->GetTargetRECT());
  // The area the old string covered is redrawn as well.
  auto* neighbour = s.Attach<ITextControl>(IRECT(0, 0, 20, 20));
  s.G().SetAllControlsClean();
  t->SetStr("a");
  EXPECT_EQ(IRECT(146, 52, 154, 68), t->GetRECT());
  EXPECT_TRUE(neighbour->IsDirty());
}

TEST(TextToggleTest, ClickFlipsTheValueAndShowsItsText)
{
  struct Case
  {
    const char* name;
    double before;
    double after;
    const char* shown;
  };
  const Case cases[] = {{"off", 0., 1., "ON"},
                        {"exactly half shows off, goes on", 0.5, 1., "ON"},
                        {"0.7", 0.7, 0., "OFF"},
                        {"on", 1., 0., "OFF"}};
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* t = s.Attach<ITextToggleControl>(IRECT(10, 10, 60, 30), 2, "OFF", "ON", kText, kBG);
    t->SetValueFromDelegate(c.before);
    EXPECT_STREQ(c.before > 0.5 ? "ON" : "OFF", t->GetStr()) << c.name;
    s.dlg.log.clear();
    s.Input().Click(20, 20);
    EXPECT_DOUBLE_EQ(c.after, t->GetValue()) << c.name;
    EXPECT_STREQ(c.shown, t->GetStr()) << c.name;
    EXPECT_EQ((Strings{"begin 2", "send 2 " + std::string(c.after > 0 ? "1" : "0"), "end 2"}), s.dlg.log) << c.name;
  }
}

TEST(TextToggleTest, DoubleClickActsAsASecondClickAndTheActionRuns)
{
  EditorSession s;
  int actions = 0;
  auto* t = s.Attach<ITextToggleControl>(
    IRECT(10, 10, 60, 30), [&actions](IControl*) { ++actions; }, "A", "B");
  s.Input().Click(20, 20);
  s.Input().DoubleClick(20, 20);
  EXPECT_EQ(2, actions);
  EXPECT_STREQ("A", t->GetStr());
}

class URLTest : public ::testing::Test
{
protected:
  // Index 0 is the background, which is never hovered.
  URLTest()
  {
    s.G().EnableMouseOver(true);
    s.Attach<ITextControl>(IRECT(0, 0, 940, 200));
  }

  IURLControl* Add(const IText& text)
  {
    return s.Attach<IURLControl>(IRECT(100, 100, 300, 140), "vemlor.example", "https://vemlor.example/", text, kBG,
                                 COLOR_RED, COLOR_GREEN);
  }

  EditorSession s;
};

TEST_F(URLTest, PressOpensTheURLAndMarksItClicked)
{
  IURLControl* url = Add(kText);
  s.Input().Press(150, 120);
  EXPECT_EQ(Strings{"https://vemlor.example/"}, s.platform.openedURLs);
  EXPECT_FALSE(s.G().ControlIsCaptured());
  EXPECT_TRUE(url->GetClicked());
}

TEST_F(URLTest, TextAndUnderlineColourFollowHoverAndClick)
{
  struct Case
  {
    const char* name;
    bool clicked, hovered;
    IColor expected;
  };
  const Case cases[] = {{"plain", false, false, COLOR_BLUE},
                        {"hovered", false, true, COLOR_RED},
                        {"clicked", true, false, COLOR_GREEN},
                        {"clicked and hovered", true, true, COLOR_RED}};
  for (const Case& c : cases)
  {
    EditorSession e;
    e.G().EnableMouseOver(true);
    e.Attach<ITextControl>(IRECT(0, 0, 940, 200));
    auto* url = e.Attach<IURLControl>(IRECT(100, 100, 300, 140), "link", "u", kText, kBG, COLOR_RED, COLOR_GREEN);
    if (c.clicked)
      e.Input().Click(150, 120);
    e.Input().Hover(c.hovered ? 150.f : 10.f, c.hovered ? 120.f : 10.f);
    url->SetDirty(false);
    const std::vector<DrawCall> calls = Frame(e);
    const std::vector<DrawCall> strokes = Only(calls, "PathStroke");
    const std::vector<DrawCall> texts = Only(calls, "DoDrawText");
    ASSERT_EQ(1u, strokes.size()) << c.name;
    ASSERT_EQ(1u, texts.size()) << c.name;
    EXPECT_EQ(c.expected, strokes[0].color) << c.name;
    EXPECT_EQ(c.expected, texts[0].color) << c.name;
  }
}

TEST_F(URLTest, UnderlineSpansTheTextAtItsBaseForEachAlignment)
{
  // "vemlor.example": 14 bytes, so 112 x 16 at size 16; the rectangle is (100, 100, 300, 140).
  struct Case
  {
    const char* name;
    EAlign align;
    EVAlign valign;
    std::vector<float> line; // x1, y1, x2, y2
  };
  const Case cases[] = {
    {"near, top", EAlign::Near, EVAlign::Top, {100, 116, 212, 116}},
    {"centre, middle", EAlign::Center, EVAlign::Middle, {144, 128, 256, 128}},
    {"far, bottom", EAlign::Far, EVAlign::Bottom, {188, 140, 300, 140}},
  };
  for (const Case& c : cases)
  {
    EditorSession e;
    e.Attach<IURLControl>(IRECT(100, 100, 300, 140), "vemlor.example", "u",
                          IText(16.f, COLOR_BLUE, "Roboto-Regular", c.align, c.valign), kBG, COLOR_RED, COLOR_GREEN);
    const std::vector<DrawCall> calls = Frame(e);
    std::vector<float> points;
    bool afterFill = false;
    for (const DrawCall& call : calls)
    {
      afterFill = afterFill || call.op == "PathFill";
      if (afterFill && (call.op == "PathMoveTo" || call.op == "PathLineTo"))
        points.insert(points.end(), call.args.begin(), call.args.end());
    }
    EXPECT_EQ(c.line, points) << c.name;
    const std::vector<DrawCall> strokes = Only(calls, "PathStroke");
    ASSERT_EQ(1u, strokes.size());
    EXPECT_FLOAT_EQ(1.f, strokes[0].thickness);
  }
}

TEST_F(URLTest, HoverShowsTheHandAndLeavingTheArrow)
{
  Add(kText);
  s.Input().Hover(150, 120);
  s.Input().Hover(10, 10);
  EXPECT_EQ((std::vector<ECursor>{ECursor::HAND, ECursor::ARROW}), s.platform.cursorsSet);
}

TEST_F(URLTest, SetTextTakesItsColourAsTheLinkColour)
{
  IURLControl* url = Add(kText);
  url->SetText(IText(16.f, COLOR_ORANGE, "Roboto-Regular"));
  const std::vector<DrawCall> texts = Only(Frame(s), "DoDrawText");
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(COLOR_ORANGE, texts[0].color);
}

class CaptionTest : public ::testing::Test
{
protected:
  CaptionTest()
  {
    s.dlg.GetParam(1)->InitDouble("cutoff", 440., 20., 20000., 1., "Hz");
    s.dlg.GetParam(1)->Set(440.);
    s.dlg.GetParam(2)->InitEnum("mode", 1, {"LP", "HP", "BP"});
    s.dlg.GetParam(2)->Set(1.);
  }

  EditorSession s;
};

TEST_F(CaptionTest, ShowsTheValueTextWithOrWithoutItsLabel)
{
  struct Case
  {
    const char* name;
    int param;
    bool showLabel;
    const char* expected;
  };
  const Case cases[] = {
    {"with label", 1, true, "440 Hz"}, {"without label", 1, false, "440"}, {"display text", 2, false, "HP"}};
  for (const Case& c : cases)
  {
    auto* caption = s.Attach<ICaptionControl>(IRECT(10, 10, 110, 30), c.param, kText, kBG, c.showLabel);
    const std::vector<DrawCall> texts = Only(Frame(s), "DoDrawText");
    ASSERT_FALSE(texts.empty()) << c.name;
    EXPECT_EQ(c.expected, texts.back().text) << c.name;
    EXPECT_STREQ(c.expected, caption->GetStr()) << c.name;
    s.G().RemoveControl(caption);
  }
}

TEST_F(CaptionTest, OnlyEnumeratedParametersGetTheMenuTriangle)
{
  struct Case
  {
    const char* name;
    int param;
    EAlign align;
    IRECT triangle;
  };
  // Size 16: a triangle 8 x 5.28 centred on the last 16 px strip (first one when far-aligned).
  const Case cases[] = {{"enum", 2, EAlign::Center, {98, 17.36f, 106, 22.64f}},
                        {"enum, far-aligned text", 2, EAlign::Far, {14, 17.36f, 22, 22.64f}},
                        {"continuous", 1, EAlign::Center, {}}};
  for (const Case& c : cases)
  {
    const IText text(16.f, COLOR_BLUE, "Roboto-Regular", c.align);
    auto* caption = s.Attach<ICaptionControl>(IRECT(10, 10, 110, 30), c.param, text, kBG, false);
    const IRECT& t = caption->GetTriangleRECT();
    EXPECT_NEAR(c.triangle.L, t.L, 1e-4) << c.name;
    EXPECT_NEAR(c.triangle.T, t.T, 1e-4) << c.name;
    EXPECT_NEAR(c.triangle.R, t.R, 1e-4) << c.name;
    EXPECT_NEAR(c.triangle.B, t.B, 1e-4) << c.name;
    // Background fill plus, for an enum, the half-transparent black triangle.
    const std::vector<DrawCall> fills = Only(Frame(s), "PathFill");
    ASSERT_EQ(c.triangle.Empty() ? 1u : 2u, fills.size()) << c.name;
    if (!c.triangle.Empty())
    {
      EXPECT_EQ(COLOR_BLACK, fills[1].color) << c.name;
      EXPECT_EQ(BLEND_50, fills[1].blend) << c.name;
    }
    s.G().RemoveControl(caption);
  }
}

TEST_F(CaptionTest, ClickPromptsWithAMenuOrATextEntry)
{
  s.Attach<ICaptionControl>(IRECT(10, 10, 110, 30), 2, kText, kBG, false);
  s.Attach<ICaptionControl>(IRECT(10, 50, 110, 70), 1, kText, kBG, true);
  s.platform.popupAnswers.push_back({2, false});
  s.Input().Click(50, 20);
  ASSERT_EQ(1u, s.platform.menusShown.size());
  EXPECT_EQ((Strings{"LP", "HP", "BP"}), s.platform.menusShown[0].items);
  EXPECT_EQ(IRECT(10, 10, 110, 30), s.platform.menusShown[0].bounds);

  s.Input().Click(50, 60);
  ASSERT_EQ(1u, s.platform.textEntries.size());
  EXPECT_EQ(1, s.platform.textEntries[0].paramIdx);
  EXPECT_EQ(IRECT(10, 50, 110, 70), s.platform.textEntries[0].bounds);
}

TEST(PlaceHolderTest, ShowsItsGeometryAndTakesANewNameFromTextEntry)
{
  EditorSession s;
  auto* p = s.Attach<PlaceHolder>(IRECT(20, 30, 220, 130));
  Strings texts;
  for (const DrawCall& c : Only(Frame(s), "DoDrawText"))
    texts.push_back(c.text);
  EXPECT_EQ((Strings{"20.0, 30.0", "200.0", "100.0", "Place Holder"}), texts);

  s.platform.textEntryAnswers.push_back("Filter section");
  s.Input().DoubleClick(100, 80);
  ASSERT_EQ(1u, s.platform.textEntries.size());
  EXPECT_EQ("Place Holder", s.platform.textEntries[0].text);
  EXPECT_STREQ("Filter section", p->GetStr());

  s.G().SetControlBounds(p, IRECT(0, 0, 50.5f, 40));
  texts.clear();
  for (const DrawCall& c : Only(Frame(s), "DoDrawText"))
    texts.push_back(c.text);
  EXPECT_EQ((Strings{"0.0, 0.0", "50.5", "40.0", "Filter section"}), texts);
}

} // namespace
} // namespace plugkit::gfx::test
