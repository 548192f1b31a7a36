// The SVG-drawn button, toggle, knob, switch and slider through the recording backend.
#include <gtest/gtest.h>

#include <cmath>

#include "IGfx/Controls/ISVGButtonControl.h"
#include "IGfx/Controls/ISVGKnobControl.h"
#include "IGfx/Controls/ISVGSliderControl.h"
#include "IGfx/Controls/ISVGSwitchControl.h"
#include "IGfx/Controls/ISVGToggleControl.h"
#include "tests/IGfx/Controls/extras2_support.h"

namespace plugkit::gfx::test {
namespace {

const std::string kRed = RectSVG(10, 10, "#ff0000");
const std::string kGreen = RectSVG(10, 10, "#00ff00");
const std::string kBlue = RectSVG(10, 10, "#0000ff");

// The fill colours drawn in one frame.
std::vector<IColor> Fills(EditorSession& s)
{
  DrawFrame(s);
  std::vector<IColor> colors;
  for (const DrawCall& c : s.recorder.Only("PathFill"))
    colors.push_back(c.color);
  return colors;
}

TEST(SVGTwoStateTest, OnOnlyAboveOneHalf)
{
  struct Case
  {
    double value;
    IColor shown;
  };
  const Case cases[] = {{0., COLOR_RED}, {0.5, COLOR_RED}, {0.51, COLOR_BLUE}, {1., COLOR_BLUE}};
  for (const Case& c : cases)
  {
    EditorSession s;
    const ISVG off = TextSVG(s.G(), "off.svg", kRed.c_str());
    const ISVG on = TextSVG(s.G(), "on.svg", kBlue.c_str());
    auto* button = s.Attach<ISVGButtonControl>(IRECT(0, 0, 40, 40), nullptr, off, on);
    auto* toggle = s.Attach<ISVGToggleControl>(IRECT(50, 0, 90, 40), 1, off, on);
    button->SetValue(c.value);
    toggle->SetValue(c.value);
    EXPECT_EQ((std::vector<IColor>{c.shown, c.shown}), Fills(s)) << "value " << c.value;
  }
}

TEST(SVGTwoStateTest, ColourReplacementPicksTheStateAndMouseOverColour)
{
  const std::array<IColor, 4> colors{COLOR_RED, COLOR_GREEN, COLOR_BLUE, COLOR_YELLOW};
  struct Case
  {
    const char* name;
    EColorReplacement mode;
    double value;
    bool hover;
    IColor fill;
    IColor stroke;
  };
  const Case cases[] = {
    {"none keeps the document's colours", EColorReplacement::None, 1., true, COLOR_WHITE, COLOR_BLACK},
    {"fill off", EColorReplacement::Fill, 0., false, COLOR_RED, COLOR_BLACK},
    {"fill on", EColorReplacement::Fill, 1., false, COLOR_GREEN, COLOR_BLACK},
    {"fill off under the mouse", EColorReplacement::Fill, 0., true, COLOR_BLUE, COLOR_BLACK},
    {"fill on under the mouse", EColorReplacement::Fill, 1., true, COLOR_YELLOW, COLOR_BLACK},
    {"stroke on", EColorReplacement::Stroke, 1., false, COLOR_WHITE, COLOR_GREEN},
    {"stroke off under the mouse", EColorReplacement::Stroke, 0., true, COLOR_WHITE, COLOR_BLUE},
  };
  const std::string doc = RectSVG(10, 10, "#ffffff", "#000000");
  for (const Case& c : cases)
  {
    EditorSession s;
    const ISVG svg = TextSVG(s.G(), "outlined.svg", doc.c_str());
    s.Attach<ISVGKnobControl>(IRECT(0, 100, 10, 110), ISVG()); // index 0 is the background, which never hovers
    auto* toggle = s.Attach<ISVGToggleControl>(IRECT(0, 0, 40, 40), nullptr, svg, colors, c.mode);
    toggle->SetValue(c.value);
    s.G().EnableMouseOver(true);
    if (c.hover)
      s.Input().Hover(20, 20);
    DrawFrame(s);
    const auto fills = s.recorder.Only("PathFill");
    const auto strokes = s.recorder.Only("PathStroke");
    ASSERT_EQ(1u, fills.size()) << c.name << "\n" << s.recorder.Dump();
    ASSERT_EQ(1u, strokes.size()) << c.name;
    EXPECT_EQ(c.fill, fills[0].color) << c.name;
    EXPECT_EQ(c.stroke, strokes[0].color) << c.name;
  }
}

TEST(SVGSwitchTest, ValueChoosesTheStateAndClicksStepThroughThem)
{
  EditorSession s;
  const std::vector<ISVG> svgs{TextSVG(s.G(), "r.svg", kRed.c_str()), TextSVG(s.G(), "g.svg", kGreen.c_str()),
                               TextSVG(s.G(), "b.svg", kBlue.c_str())};
  auto* sw = s.Attach<ISVGSwitchControl>(IRECT(0, 0, 40, 40), svgs);
  EXPECT_EQ(3, sw->GetNStates());
  const std::pair<double, IColor> cases[] = {{0., COLOR_RED},     {0.24, COLOR_RED},  {0.25, COLOR_GREEN},
                                             {0.74, COLOR_GREEN}, {0.75, COLOR_BLUE}, {1., COLOR_BLUE}};
  for (const auto& [value, color] : cases)
  {
    sw->SetValue(value);
    EXPECT_EQ(std::vector<IColor>{color}, Fills(s)) << "value " << value;
  }
  sw->SetValue(0.);
  std::vector<IColor> seen;
  for (int i = 0; i < 3; ++i)
  {
    s.Input().Click(20, 20);
    seen.push_back(Fills(s).at(0));
  }
  EXPECT_EQ((std::vector<IColor>{COLOR_GREEN, COLOR_BLUE, COLOR_RED}), seen);
}

TEST(SVGKnobTest, TurnsFromMinus135To135AboutItsCentre)
{
  EditorSession s;
  auto* knob = s.Attach<ISVGKnobControl>(IRECT(100, 20, 140, 60), TextSVG(s.G(), "k.svg", kRed.c_str()), 0);
  const std::pair<double, double> cases[] = {{0., -135.}, {0.25, -67.5}, {0.5, 0.}, {1., 135.}};
  for (const auto& [value, angle] : cases)
  {
    knob->SetValue(value);
    DrawFrame(s);
    EXPECT_NEAR(angle, RotationAt(s.recorder, "PathFill"), 1e-3) << "value " << value;
  }
  // Unturned at 0.5: the 10 x 10 document scaled by 4 into the control's rectangle.
  knob->SetValue(0.5);
  DrawFrame(s);
  const std::vector<float> m = MatrixAt(s.recorder, "PathFill");
  ASSERT_EQ(6u, m.size());
  EXPECT_NEAR(4.f, std::hypot(m[0], m[1]), 1e-4);
  EXPECT_NEAR(100.f, m[4], 1e-3);
  EXPECT_NEAR(20.f, m[5], 1e-3);

  knob->SetSVG(TextSVG(s.G(), "g.svg", kGreen.c_str()));
  EXPECT_EQ(std::vector<IColor>{COLOR_GREEN}, Fills(s));
}

TEST(SVGSliderTest, LayoutScalesTrackAndHandleTogether)
{
  struct Case
  {
    const char* name;
    EDirection dir;
    IRECT bounds;
    std::string track, handle;
    IRECT trackValue, handleAt1, handleAt0;
  };
  const Case cases[] = {
    {"vertical", EDirection::Vertical, IRECT(0, 0, 100, 200), RectSVG(10, 100), RectSVG(20, 10), IRECT(40, 20, 60, 200),
     IRECT(30, 0, 70, 20), IRECT(30, 180, 70, 200)},
    {"horizontal", EDirection::Horizontal, IRECT(0, 0, 200, 100), RectSVG(100, 10), RectSVG(10, 20),
     IRECT(20, 40, 200, 60), IRECT(180, 30, 200, 70), IRECT(0, 30, 20, 70)},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* slider = s.Attach<ISVGSliderControl>(c.bounds, TextSVG(s.G(), "h.svg", c.handle.c_str()),
                                               TextSVG(s.G(), "t.svg", c.track.c_str()), 0, c.dir);
    EXPECT_EQ(c.trackValue, slider->GetTrackBounds()) << c.name;
    EXPECT_EQ(c.handleAt1, slider->GetHandleBounds(1.)) << c.name;
    EXPECT_EQ(c.handleAt0, slider->GetHandleBounds(0.)) << c.name;
    slider->SetValue(0.);
    EXPECT_EQ(c.handleAt0, slider->GetHandleBounds()) << c.name;
    DrawFrame(s);
    EXPECT_EQ(2, s.recorder.Count("PathFill")) << c.name;
  }
}

TEST(SVGSliderTest, DraggingTheHandleToTheTopReachesOne)
{
  EditorSession s;
  auto* slider = s.Attach<ISVGSliderControl>(IRECT(0, 0, 100, 200), TextSVG(s.G(), "h.svg", RectSVG(20, 10).c_str()),
                                             TextSVG(s.G(), "t.svg", RectSVG(10, 100).c_str()), 0);
  slider->SetValue(0.);
  s.Input().Press(50, 190);
  s.Input().DragTo(50, -50);
  s.Input().Release(50, -50);
  EXPECT_DOUBLE_EQ(1., slider->GetValue());
}

TEST(SVGControlsTest, DocumentsThatFailedToLoadDrawNothing)
{
  EditorSession s;
  const ISVG null;
  auto* slider = s.Attach<ISVGSliderControl>(IRECT(0, 0, 100, 200), null, null, 0);
  s.Attach<ISVGToggleControl>(IRECT(100, 0, 140, 40), 1, null, null);
  s.Attach<ISVGKnobControl>(IRECT(150, 0, 190, 40), null, 2);
  s.Attach<ISVGSwitchControl>(IRECT(200, 0, 240, 40), std::vector<ISVG>{null, null}, 3);
  s.Attach<ISVGSwitchControl>(IRECT(250, 0, 290, 40), std::vector<ISVG>{}, 4);
  // Without a scale the track fills the control and the handle is a point at its top.
  EXPECT_EQ(IRECT(0, 1, 100, 200), slider->GetTrackBounds());
  EXPECT_EQ(IRECT(49.5f, 0, 50.5f, 1), slider->GetHandleBounds(1.));
  DrawFrame(s);
  EXPECT_EQ(0, s.recorder.Count("PathFill"));
  EXPECT_EQ(0, s.recorder.Count("PathStroke"));
}

} // namespace
} // namespace plugkit::gfx::test
