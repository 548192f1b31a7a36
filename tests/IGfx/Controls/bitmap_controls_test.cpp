// The bitmap-drawn button, switch, slider, rotating knob, bitmap text and meter through the recording
// backend and the input driver.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "IGfx/Controls/IBButtonControl.h"
#include "IGfx/Controls/IBKnobRotaterControl.h"
#include "IGfx/Controls/IBMeterControl.h"
#include "IGfx/Controls/IBSliderControl.h"
#include "IGfx/Controls/IBSwitchControl.h"
#include "IGfx/Controls/IBTextControl.h"
#include "tests/IGfx/Controls/extras2_support.h"

namespace plugkit::gfx::test {
namespace {

TEST(BSwitchTest, ClicksStepThroughTheFramesAndWrap)
{
  struct Case
  {
    int frames;
    std::vector<double> values; // after each click, from 0
  };
  const Case cases[] = {
    {3, {0.5, 1., 0., 0.5}},
    {2, {1., 0., 1.}},
    {1, {1., 0.}},
    {5, {0.25, 0.5, 0.75, 1., 0.}},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    const IBitmap strip = CachedBitmap(s.G(), "switch.png", 30, 20 * c.frames, c.frames, false);
    auto* sw = s.Attach<IBSwitchControl>(10.f, 10.f, strip);
    EXPECT_EQ(IRECT(10, 10, 40, 30), sw->GetRECT());
    int actions = 0;
    sw->SetActionFunction([&](IControl*) { ++actions; });
    std::vector<double> seen;
    for (size_t i = 0; i < c.values.size(); ++i)
    {
      s.Input().Click(20, 20);
      seen.push_back(sw->GetValue());
    }
    ASSERT_EQ(c.values.size(), seen.size());
    for (size_t i = 0; i < seen.size(); ++i)
      EXPECT_NEAR(c.values[i], seen[i], 1e-9) << c.frames << " frames, click " << i + 1;
    EXPECT_EQ(static_cast<int>(c.values.size()), actions) << c.frames << " frames";
  }
}

TEST(BSwitchTest, ThreeFramesShowFrameByFrame)
{
  EditorSession s;
  auto* sw = s.Attach<IBSwitchControl>(IRECT(0, 0, 100, 100), CachedBitmap(s.G(), "sw3.png", 30, 60, 3, false));
  EXPECT_EQ(IRECT(35, 40, 65, 60), sw->GetRECT()) << "one frame centred in the rectangle";
  std::vector<float> sourceY;
  for (int i = 0; i < 3; ++i)
  {
    DrawFrame(s);
    sourceY.push_back(s.recorder.Only("DrawBitmap").at(0).args.at(1));
    s.Input().Click(50, 50);
  }
  EXPECT_EQ((std::vector<float>{0, 20, 40}), sourceY);
}

TEST(BButtonTest, PressShowsTheSecondFrameAndRunsTheAction)
{
  EditorSession s;
  int actions = 0;
  auto* button =
    s.Attach<IBButtonControl>(5.f, 5.f, CachedBitmap(s.G(), "btn.png", 40, 20, 2, true), [&](IControl*) { ++actions; });
  EXPECT_EQ(IRECT(5, 5, 25, 25), button->GetRECT());
  s.Input().Press(10, 10);
  EXPECT_EQ(1, actions);
  EXPECT_DOUBLE_EQ(1., button->GetValue());
  DrawFrame(s);
  EXPECT_EQ((std::vector<float>{20, 0}), s.recorder.Only("DrawBitmap").at(0).args);
}

TEST(BKnobRotaterTest, TurnsTheWholeBitmapThrough260Degrees)
{
  EditorSession s;
  auto* knob = s.Attach<IBKnobRotaterControl>(IRECT(0, 0, 60, 60), CachedBitmap(s.G(), "rot.png", 40, 40, 1, false), 0);
  const std::pair<double, double> cases[] = {{0., -130.}, {0.5, 0.}, {0.75, 65.}, {1., 130.}};
  for (const auto& [value, angle] : cases)
  {
    knob->SetValue(value);
    DrawFrame(s);
    EXPECT_NEAR(angle, RotationAt(s.recorder, "DrawBitmap"), 1e-3) << "value " << value;
    // Centred on the control: the bitmap's own rectangle around the rotated origin.
    EXPECT_EQ(IRECT(-20, -20, 20, 20), s.recorder.Only("DrawBitmap").at(0).rect);
  }
}

TEST(BSliderTest, RectangleFromAPointAndHandlePositions)
{
  EditorSession s;
  const IBitmap handle = CachedBitmap(s.G(), "handle.png", 20, 10, 1, false);
  auto* vertical = s.Attach<IBSliderControl>(100.f, 50.f, 100, handle, IBitmap(), 0);
  EXPECT_EQ(IRECT(100, 50, 120, 150), vertical->GetRECT());
  EXPECT_EQ(IRECT(100, 50, 120, 150), vertical->GetTrackBounds());
  EXPECT_EQ(IRECT(100, 50, 120, 60), vertical->GetHandleBounds(1.));
  EXPECT_EQ(IRECT(100, 140, 120, 150), vertical->GetHandleBounds(0.));
  EXPECT_EQ(IRECT(100, 95, 120, 105), vertical->GetHandleBounds(0.5));

  // Horizontal over a 200 x 4 track bitmap centred in a taller rectangle.
  const IBitmap track = CachedBitmap(s.G(), "track.png", 200, 4, 1, false);
  auto* horizontal = s.Attach<IBSliderControl>(IRECT(0, 200, 200, 240), handle, track, 1, EDirection::Horizontal);
  EXPECT_EQ(IRECT(0, 218, 200, 222), horizontal->GetTrackBounds());
  EXPECT_EQ(IRECT(0, 218, 20, 228), horizontal->GetHandleBounds(0.));
  EXPECT_EQ(IRECT(180, 218, 200, 228), horizontal->GetHandleBounds(1.));

  vertical->SetValue(0.);
  horizontal->SetValue(1.);
  DrawFrame(s);
  std::vector<IRECT> drawn;
  for (const DrawCall& c : s.recorder.Only("DrawBitmap"))
    drawn.push_back(c.rect);
  EXPECT_EQ((std::vector<IRECT>{IRECT(100, 140, 120, 150), IRECT(0, 218, 200, 222), IRECT(180, 218, 200, 228)}), drawn);
}

TEST(BSliderTest, DraggingUpRaisesTheValue)
{
  EditorSession s;
  auto* slider =
    s.Attach<IBSliderControl>(0.f, 0.f, 100, CachedBitmap(s.G(), "handle.png", 20, 10, 1, false), IBitmap(), 0);
  slider->SetValue(0.);
  s.Input().Press(10, 95);
  s.Input().DragTo(10, -100);
  s.Input().Release(10, -100);
  EXPECT_DOUBLE_EQ(1., slider->GetValue());
}

TEST(BTextTest, DrawsOneFramePerCharacterInTheControlsBlend)
{
  EditorSession s;
  // 95 printable characters, each 8 x 12, stacked.
  const IBitmap font = CachedBitmap(s.G(), "font.png", 8, 12 * 95, 95, false);
  auto* text =
    s.Attach<IBTextControl>(IRECT(0, 0, 200, 20), font, DEFAULT_TEXT, "AB", 8, 12, 0, false, true, EBlend::Add);
  DrawFrame(s);
  const auto draws = s.recorder.Only("DrawBitmap");
  ASSERT_EQ(2u, draws.size()) << s.recorder.Dump();
  EXPECT_EQ(IBlend(EBlend::Add, 1.f), draws[0].blend);
  text->SetStr("");
  DrawFrame(s);
  EXPECT_EQ(0, s.recorder.Count("DrawBitmap"));
}

// One message of levels for channels from first on.
std::vector<unsigned char> Levels(int32_t nChans, int32_t first, const std::vector<float>& levels)
{
  IBMeterControl::PayloadHeader header{nChans, first};
  std::vector<unsigned char> bytes(sizeof header + levels.size() * sizeof(float));
  std::memcpy(bytes.data(), &header, sizeof header);
  if (!levels.empty())
    std::memcpy(bytes.data() + sizeof header, levels.data(), levels.size() * sizeof(float));
  return bytes;
}

TEST(BMeterTest, LevelsMapToValues)
{
  struct Case
  {
    IBMeterControl::EResponse response;
    float high, low, level;
    double value;
  };
  using R = IBMeterControl::EResponse;
  const Case cases[] = {
    {R::Log, 0.f, -60.f, 1.f, 1.},
    {R::Log, 0.f, -60.f, 0.001f, 0.},
    {R::Log, 0.f, -60.f, 0.1f, 40. / 60.},
    {R::Log, 0.f, -60.f, -0.1f, 40. / 60.},
    {R::Log, 0.f, -60.f, 0.f, 0.},
    {R::Log, 0.f, -60.f, 4.f, 1.},
    {R::Log, 6.f, -18.f, 1.f, 18. / 24.},
    {R::Linear, 0.f, -60.f, 0.25f, 0.25},
    {R::Linear, 0.f, -60.f, -0.5f, 0.},
    {R::Linear, 0.f, -60.f, 1.5f, 1.},
    {R::Log, -20.f, -20.f, 0.5f, 0.5}, // an empty decibel range reads linearly
    {R::Log, 0.f, -60.f, std::numeric_limits<float>::quiet_NaN(), 0.},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* meter = s.Attach<IBMeterControl>(0.f, 0.f, CachedBitmap(s.G(), "meter.png", 10, 100, 10, false), -1,
                                           c.response, c.high, c.low);
    meter->SetValue(0.3);
    const auto msg = Levels(1, 0, {c.level});
    meter->OnMsgFromDelegate(0, static_cast<int>(msg.size()), msg.data());
    EXPECT_NEAR(c.value, meter->GetValue(), 1e-6) << "level " << c.level << " range " << c.low << ".." << c.high;
  }
}

TEST(BMeterTest, IgnoresMessagesWhileDisabledAndOtherTags)
{
  EditorSession s;
  auto* meter = s.Attach<IBMeterControl>(0.f, 0.f, CachedBitmap(s.G(), "meter.png", 10, 100, 10, false));
  const auto msg = Levels(1, 0, {0.8f});
  meter->SetDisabled(true);
  meter->OnMsgFromDelegate(0, static_cast<int>(msg.size()), msg.data());
  EXPECT_DOUBLE_EQ(0., meter->GetValue());
  meter->SetDisabled(false);
  meter->OnMsgFromDelegate(3, static_cast<int>(msg.size()), msg.data());
  EXPECT_DOUBLE_EQ(0., meter->GetValue());
  meter->OnMsgFromDelegate(0, static_cast<int>(msg.size()), msg.data());
  EXPECT_NEAR(0.8, meter->GetValue(), 1e-6);
}

TEST(BMeterTest, MalformedPayloadsNeitherReadNorWriteOutOfBounds)
{
  struct Case
  {
    const char* name;
    std::vector<unsigned char> bytes;
    double value;
  };
  const Case cases[] = {
    {"empty payload reads as silence", {}, 0.},
    {"header only reads as silence", Levels(1, 0, {}), 0.},
    {"a count beyond the levels held", Levels(1000000, 0, {0.6f}), 0.6},
    {"a negative count", Levels(-5, 0, {0.6f}), 0.3},
    {"channels past the control's values", Levels(2, 1, {0.6f, 0.7f}), 0.3},
    {"a negative first channel", Levels(2, -1, {0.6f, 0.7f}), 0.7},
    {"a first channel at the top of the range", Levels(2, INT32_MAX, {0.6f, 0.7f}), 0.3},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* meter = s.Attach<IBMeterControl>(0.f, 0.f, CachedBitmap(s.G(), "meter.png", 10, 100, 10, false));
    meter->SetValue(0.3);
    meter->OnMsgFromDelegate(0, static_cast<int>(c.bytes.size()), c.bytes.empty() ? nullptr : c.bytes.data());
    EXPECT_NEAR(c.value, meter->GetValue(), 1e-6) << c.name;
  }
}

} // namespace
} // namespace plugkit::gfx::test
