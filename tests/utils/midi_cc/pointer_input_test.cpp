// Pointer input of learnable controls through the real dispatch: the presence dot's hit square, its
// mode toggle and blink, the depth gesture and its commit, and presses on disabled controls.
#include <cmath>
#include <string>
#include <vector>

#include "IGfx/Controls/IBubbleControl.h"
#include "tests/utils/midi_cc/learnable_fixture.h"

namespace learnable_test {
namespace {

using Knob = ControlDecorator<IVKnobControl>;

Knob* mappedModulating(LearnSession& s, int param = kDrive)
{
  Knob* knob = s.knob(param);
  knob->setCCNumber(20);
  knob->setModeDisplay(1);
  return knob;
}

struct DotCentre
{
  float x, y;
};

DotCentre dotOf(const Knob& k)
{
  const IRECT a = k.dotAnchor();
  return {a.R - 6.f, a.B - 6.f};
}

TEST(PresenceDot, HitSquareReachesSixAndAHalfUnitsOnEitherAxis)
{
  struct Case
  {
    const char* name;
    float dx, dy;
    bool hit;
  };
  const Case cases[] = {
    {"centre", 0, 0, true},
    {"corner of the square", 6.5f, 6.5f, true},
    {"opposite corner", -6.5f, -6.5f, true},
    {"just right of it", 6.6f, 0, false},
    {"just below it", 0, 6.6f, false},
    {"just left of it", -6.6f, 0, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    LearnSession s;
    Knob* knob = s.knob(kDrive);
    knob->setCCNumber(20);
    const DotCentre d = dotOf(*knob);
    // The decorator's own decision; whether the press reaches it at all is the knob's hit test.
    knob->OnMouseDown(d.x + c.dx, d.y + c.dy, InputDriver::Left());
    knob->OnMouseUp(d.x + c.dx, d.y + c.dy, InputDriver::Left());
    if (c.hit)
      EXPECT_EQ(s.host.sent, (std::vector<SentMessage>{{7777, 4, kDrive}, {7784, 4, kDrive}}));
    else
      EXPECT_TRUE(s.host.sent.empty());
    EXPECT_EQ(knob->modeDisplay(), c.hit ? 1 : 0);
  }
}

TEST(PresenceDot, ResizeWidensTheTargetSoTheWholeSquareIsClickable)
{
  LearnSession s;
  auto* text = s.display(kDrive, IRECT(200, 20, 300, 60));
  text->setCCNumber(5);
  // The square reaches half a unit past the right and bottom edges.
  EXPECT_EQ(text->GetTargetRECT(), IRECT(200, 20, 300.5f, 60.5f));
}

TEST(PresenceDot, ClickTogglesTheModeUnlessLockedOrNotModulatable)
{
  struct Case
  {
    const char* name;
    int param;
    bool locked;
    std::vector<SentMessage> sent;
    int modeAfter;
  };
  const Case cases[] = {
    {"unlocked", kDrive, false, {{7777, 4, kDrive}, {7784, 4, kDrive}}, 1},
    {"locked", kDrive, true, {}, 0},
    {"not modulatable", kMix, false, {}, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    LearnSession s;
    Knob* knob = s.knob(c.param);
    knob->setCCNumber(20);
    knob->setModeLocked(c.locked);
    const DotCentre d = dotOf(*knob);
    s.input->Click(d.x, d.y);
    EXPECT_EQ(s.host.sent, c.sent);
    EXPECT_EQ(knob->modeDisplay(), c.modeAfter);
  }
}

// The ring of the dot at rest, found among what one Draw recorded.
bool restingDotDrawn(LearnSession& s, Knob& knob)
{
  s.recorder.Clear();
  knob.Draw(s.G());
  const DotCentre d = dotOf(knob);
  for (const Shape& shape : shapesOf(s.recorder))
  {
    if (shape.kind == Shape::EKind::Circle && shape.args[0] == d.x && shape.args[1] == d.y && shape.args[2] == 2.5f)
      return true;
  }
  return false;
}

TEST(PresenceDot, BlinksTwoHundredFiftyMillisecondsOnAndOffWhileLearning)
{
  LearnSession s;
  Knob* knob = s.knob(kDrive);
  EXPECT_FALSE(restingDotDrawn(s, *knob)); // unmapped and not learning: no dot
  const double start = s.platform.nowMs;
  knob->setLearning(true);
  struct Case
  {
    double ms;
    bool visible;
  };
  for (const Case& c : {Case{0, true}, Case{260, false}, Case{510, true}, Case{760, false}, Case{1000, true}})
  {
    s.platform.nowMs = start + c.ms;
    EXPECT_EQ(restingDotDrawn(s, *knob), c.visible) << c.ms << " ms";
  }
  // The blink keeps the control redrawing every frame; stopping it hides the unmapped dot at once.
  EXPECT_TRUE(knob->IsDirty());
  knob->setLearning(false);
  EXPECT_FALSE(knob->isBlinking());
  EXPECT_FALSE(restingDotDrawn(s, *knob));
}

TEST(PresenceDot, ArmedDepthKeepsBlinkingAfterTheLearnStops)
{
  LearnSession s;
  Knob* knob = mappedModulating(s);
  knob->setLearning(true);
  knob->tryProcessMidiCCMenuSelection(6);
  knob->setLearning(false);
  EXPECT_TRUE(knob->isBlinking());
  knob->tryProcessMidiCCMenuSelection(6);
  EXPECT_FALSE(knob->isBlinking());
  // Losing the mapping ends the arming too, while a pending learn keeps blinking.
  knob->tryProcessMidiCCMenuSelection(6);
  knob->setLearning(true);
  knob->clearCCNumber();
  EXPECT_FALSE(knob->isDepthArmed());
  EXPECT_TRUE(knob->isBlinking());
}

// Arms the knob at start, then press, drag by dy (split into steps) and release at its centre.
std::vector<SentMessage> gesture(LearnSession& s, Knob& knob, double start, std::vector<float> steps,
                                 bool shift = false)
{
  knob.SetValue(start);
  knob.tryProcessMidiCCMenuSelection(6);
  s.host.sent.clear();
  IMouseMod mod = InputDriver::Left();
  mod.S = shift;
  float y = 70;
  s.input->Press(70, y, mod);
  for (float dy : steps)
  {
    y += dy;
    s.input->DragTo(70, y, mod);
  }
  s.input->Release(70, y, mod);
  return s.host.sent;
}

TEST(DepthGesture, DragAuthorsTheDepthAndTheReleaseCommitsIt)
{
  struct Case
  {
    const char* name;
    double start;
    std::vector<float> steps; // pixels, negative up
    bool shift;
    float depth;
  };
  const Case cases[] = {
    {"200 up from 0.8 stops at the top", 0.8, {-200}, false, 0.2f},
    {"200 down from 0.3 stops at the bottom", 0.3, {200}, false, -0.3f},
    {"200 up with Shift is ten times finer", 0.3, {-200}, true, 0.1f},
    {"300 up then 100 down: the clamp applies at every step", 0.0, {-300, 100}, false, 0.5f},
    {"a press without movement commits 0", 0.5, {}, false, 0.f},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    LearnSession s;
    Knob* knob = mappedModulating(s);
    const auto sent = gesture(s, *knob, c.start, c.steps, c.shift);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].tag, 7785);
    EXPECT_EQ(sent[0].size, 8);
    EXPECT_EQ(sent[0].param, kDrive);
    EXPECT_NEAR(sent[0].depth, c.depth, 1e-6);
    // The preview is undone and the decorator sent no value to the host.
    EXPECT_EQ(knob->GetValue(), c.start);
    EXPECT_FALSE(knob->isAuthoringDepth());
    EXPECT_FALSE(knob->isDepthArmed());
    for (const std::string& line : s.host.log)
      EXPECT_EQ(line.rfind("send", 0), std::string::npos) << line;
  }
}

TEST(DepthGesture, PreviewShowsTheEndValueWhileDragging)
{
  LearnSession s;
  Knob* knob = mappedModulating(s);
  knob->SetValue(0.5);
  knob->tryProcessMidiCCMenuSelection(6);
  s.input->Press(70, 70);
  EXPECT_TRUE(knob->isAuthoringDepth());
  s.input->DragTo(70, 30); // 40 up: +0.2
  EXPECT_NEAR(knob->GetValue(), 0.7, 1e-9);
  s.input->Release(70, 30);
}

TEST(DepthGesture, APressOnTheDotCancelsTheArmingWithoutAGesture)
{
  LearnSession s;
  Knob* knob = mappedModulating(s);
  knob->tryProcessMidiCCMenuSelection(6);
  const DotCentre d = dotOf(*knob);
  s.input->Click(d.x, d.y);
  EXPECT_FALSE(knob->isDepthArmed());
  EXPECT_FALSE(knob->isAuthoringDepth());
  EXPECT_TRUE(s.host.sent.empty());
  EXPECT_EQ(knob->modeDisplay(), 1); // not toggled
}

TEST(DepthGesture, WheelOnAnArmedControlTurnsItAndKeepsTheArming)
{
  LearnSession s;
  Knob* knob = mappedModulating(s);
  knob->SetValue(0.5);
  knob->tryProcessMidiCCMenuSelection(6);
  s.input->Wheel(70, 70, 1.f);
  EXPECT_NE(knob->GetValue(), 0.5);
  EXPECT_TRUE(knob->isDepthArmed());
}

TEST(DepthGesture, DisablingMidGestureEndsItWithoutACommit)
{
  LearnSession s;
  Knob* knob = mappedModulating(s);
  knob->SetValue(0.4);
  knob->tryProcessMidiCCMenuSelection(6);
  s.input->Press(70, 70);
  s.input->DragTo(70, 30);
  knob->SetDisabled(true);
  s.input->Release(70, 30);
  EXPECT_FALSE(knob->isAuthoringDepth());
  EXPECT_EQ(knob->GetValue(), 0.4);
  // Enabled again, an ordinary drag turns the knob and commits no stale depth.
  knob->SetDisabled(false);
  s.host.sent.clear();
  s.input->Press(70, 70);
  s.input->DragTo(70, 60);
  s.input->Release(70, 60);
  EXPECT_TRUE(s.host.sent.empty());
  EXPECT_GT(knob->GetValue(), 0.4);
}

TEST(DepthGesture, CutoffShowsThePitchIntervalInTheBubble)
{
  LearnSession s;
  auto* bubble = new IBubbleControl();
  s.G().AttachBubbleControl(bubble);
  Knob* knob = mappedModulating(s, kCutoff);
  EXPECT_TRUE(knob->showsPitchDepth());
  EXPECT_FALSE(s.knob(kDrive, IRECT(200, 20, 300, 120))->showsPitchDepth());
  // 20..20000 Hz on an exponential shape: the whole range is log2(1000) octaves.
  knob->SetValue(0.25);
  knob->tryProcessMidiCCMenuSelection(6);
  s.input->Press(70, 70);
  s.input->DragTo(70, 50); // +0.1 of the range
  EXPECT_NEAR(knob->gestureOctaves(), 0.1 * std::log2(1000.0), 1e-3);
  EXPECT_STREQ(bubble->GetStr(), "+11st 96ct");
  s.input->Release(70, 50);
}

TEST(DepthGesture, PitchDepthTexts)
{
  struct Case
  {
    double octaves;
    const char* text;
  };
  for (const Case& c : {Case{1.0, "+1oct 0st 0ct"}, Case{0.25, "+3st 0ct"}, Case{-2.5, "-2oct 6st 0ct"},
                        Case{-0.004, "-5ct"}, Case{0.0003, "0"}, Case{-0.0003, "0"}, Case{1.0 / 1200.0, "+1ct"}})
    EXPECT_EQ(Knob::formatPitchDepth(c.octaves), c.text) << c.octaves;
}

TEST(DisabledControl, PressDoubleClickAndWheelReportTheParameterOnce)
{
  LearnSession s;
  Knob* knob = mappedModulating(s);
  knob->tryProcessMidiCCMenuSelection(6);
  knob->SetDisabled(true);
  const DotCentre d = dotOf(*knob);
  s.input->Click(70, 70);
  s.input->Click(d.x, d.y);
  s.input->DoubleClick(70, 70);
  s.input->Wheel(70, 70, 1.f);
  EXPECT_EQ(s.host.disabledTouches.size(), 4u);
  for (int p : s.host.disabledTouches)
    EXPECT_EQ(p, kDrive);
  EXPECT_TRUE(knob->isDepthArmed());
  EXPECT_EQ(knob->modeDisplay(), 1);
  EXPECT_TRUE(s.host.sent.empty());
}

TEST(PresenceDot, HoverHighlightsTheDotOfEveryMappedControl)
{
  LearnSession s;
  s.G().EnableMouseOver(true);
  Knob* knob = s.knob(kMix); // mapped, not modulatable
  knob->setCCNumber(7);
  const DotCentre d = dotOf(*knob);
  s.input->Hover(70, 70);
  EXPECT_TRUE(knob->GetMouseIsOver());
  s.input->Hover(d.x, d.y);
  EXPECT_FALSE(knob->GetMouseIsOver()); // the knob's own hover look is withdrawn on the dot
  s.recorder.Clear();
  knob->Draw(s.G());
  bool hoverDisc = false;
  for (const Shape& shape : shapesOf(s.recorder))
    hoverDisc |= shape.kind == Shape::EKind::Disc && shape.args[0] == d.x && shape.color == IColor(255, 235, 235, 235);
  EXPECT_TRUE(hoverDisc);
  // A press on it goes to the knob: the parameter is not modulatable.
  s.input->Click(d.x, d.y);
  EXPECT_TRUE(s.host.sent.empty());
}

} // namespace
} // namespace learnable_test
