#include <gtest/gtest.h>

#include "tests/gfx_harness/editor_session.h"
#include "utils/ui/GlyphLabel.h"

namespace zarvo::ui {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::DrawCall;
using plugkit::gfx::test::EditorSession;

// The recording backend measures half the font size per byte: at size 10, "aa" is 10 px wide.
IText Style(float size = 10.f) { return IText(size, COLOR_WHITE, "Body", EAlign::Near, EVAlign::Bottom); }

TEST(GlyphLabel, ConstructionAndConcatenation)
{
  EXPECT_TRUE(GlyphLabel("").runs.empty());
  const GlyphLabel word("Save");
  ASSERT_EQ(1u, word.runs.size());
  EXPECT_EQ("Save", word.runs[0].text);
  EXPECT_EQ("", word.runs[0].font);

  const GlyphLabel empty = GlyphLabel::glyph("", "Icons");
  ASSERT_EQ(1u, empty.runs.size());
  EXPECT_EQ("", empty.runs[0].text);
  EXPECT_EQ("Icons", empty.runs[0].font);

  const GlyphLabel both = GlyphLabel::glyph("\U000F062A", "Icons") + word;
  ASSERT_EQ(2u, both.runs.size());
  EXPECT_EQ("\xF3\xB0\x98\xAA", both.runs[0].text);
  EXPECT_EQ("Icons", both.runs[0].font);
  EXPECT_EQ("Save", both.runs[1].text);
}

TEST(GlyphLabel, RunsAreCentredAsAGroupWhateverTheAlignment)
{
  struct Case
  {
    const char* name;
    GlyphLabel label;
    IRECT bounds;
    float spacing;
    std::vector<IRECT> rects;
  };
  const Case cases[] = {
    {"one run fills the bounds; spacing plays no part", GlyphLabel("abc"), {0, 0, 100, 20}, 7.f, {{0, 0, 100, 20}}},
    {"two runs, 10 and 20 wide, 3 apart",
     GlyphLabel("aa") + GlyphLabel("aaaa"),
     {0, 0, 100, 20},
     3.f,
     {{33.5f, 0, 43.5f, 20}, {46.5f, 0, 66.5f, 20}}},
    {"wider than the bounds overflows both sides equally",
     GlyphLabel("aaaaaaaa") + GlyphLabel("aaaaaaaa"),
     {10, 5, 50, 25},
     0.f,
     {{-10, 5, 30, 25}, {30, 5, 70, 25}}},
    {"three runs, no spacing",
     GlyphLabel("a") + GlyphLabel("aa") + GlyphLabel("a"),
     {0, 0, 40, 10},
     0.f,
     {{10, 0, 15, 10}, {15, 0, 25, 10}, {25, 0, 30, 10}}},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    s.recorder.Clear();
    drawGlyphLabel(s.G(), c.label, c.bounds, Style(), nullptr, c.spacing);
    const auto texts = s.recorder.Only("DoDrawText");
    ASSERT_EQ(c.rects.size(), texts.size()) << c.name;
    for (size_t i = 0; i < texts.size(); ++i)
    {
      EXPECT_EQ(c.rects[i], texts[i].rect) << c.name << " run " << i;
      EXPECT_EQ(c.label.runs[i].text, texts[i].text) << c.name;
    }
  }
}

TEST(GlyphLabel, EachRunKeepsTheStyleButMayChangeTheFontAndIsCentred)
{
  EditorSession s;
  // A font id longer than the style's field is cut to 63 bytes.
  const std::string longFont(70, 'f');
  const GlyphLabel label =
    GlyphLabel::glyph("\U000F018F", "Icons") + GlyphLabel("x") + GlyphLabel::glyph("y", longFont);
  s.recorder.Clear();
  drawGlyphLabel(s.G(), label, IRECT(0, 0, 100, 20), Style(12.f), &BLEND_50, 2.f);
  const auto texts = s.recorder.Only("DoDrawText");
  ASSERT_EQ(3u, texts.size());
  EXPECT_EQ("Icons", texts[0].font);
  EXPECT_EQ("Body", texts[1].font);
  EXPECT_EQ(std::string(63, 'f'), texts[2].font);
  for (const DrawCall& t : texts)
  {
    EXPECT_EQ(12.f, t.fontSize);
    EXPECT_EQ(COLOR_WHITE, t.color);
    EXPECT_TRUE(t.hasBlend);
    EXPECT_EQ(0.5f, t.blend.mWeight);
  }
}

// Records the alignment each text was drawn with, which the recorder leaves out.
class AlignGfx : public plugkit::gfx::test::HeadlessGfx
{
public:
  using HeadlessGfx::HeadlessGfx;
  void DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend) override
  {
    aligns.emplace_back(text.mAlign, text.mVAlign);
    HeadlessGfx::DoDrawText(text, str, bounds, blend);
  }
  std::vector<std::pair<EAlign, EVAlign>> aligns;
};

TEST(GlyphLabel, EveryRunIsDrawnCentredAndMiddleWhateverTheStyleSays)
{
  plugkit::gfx::test::FakeDelegate dlg(1);
  plugkit::gfx::test::HeadlessPlatform platform;
  plugkit::gfx::test::DrawRecorder recorder;
  AlignGfx g(dlg, platform, recorder, 200, 100);
  for (const GlyphLabel& label : {GlyphLabel("one"), GlyphLabel("a") + GlyphLabel("b")})
  {
    g.aligns.clear();
    drawGlyphLabel(g, label, IRECT(0, 0, 100, 20), Style(), nullptr, 4.f);
    ASSERT_EQ(label.runs.size(), g.aligns.size());
    for (const auto& [h, v] : g.aligns)
    {
      EXPECT_EQ(EAlign::Center, h);
      EXPECT_EQ(EVAlign::Middle, v);
    }
  }
}

TEST(GlyphLabel, NoRunsOrAnEmptyRunDrawsNothing)
{
  EditorSession s;
  s.recorder.Clear();
  drawGlyphLabel(s.G(), GlyphLabel(""), IRECT(0, 0, 100, 20), Style(), nullptr, 0.f);
  drawGlyphLabel(s.G(), GlyphLabel::glyph("", "Icons"), IRECT(0, 0, 100, 20), Style(), nullptr, 0.f);
  EXPECT_EQ(0, s.recorder.Count("DoDrawText")) << s.recorder.Dump();
}

} // namespace
} // namespace zarvo::ui
