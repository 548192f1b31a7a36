// A headless editor whose delegate is also the CC mediator's plug-in: learnable controls made by the
// real mediator, the real input dispatch and a recording backend; every editor message is recorded
// with its payload and, when asked, handed to the mediator.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "IGfx/Controls/IPopupMenuControl.h"
#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/IVStyle.h"
#include "tests/gfx_harness/draw_recorder.h"
#include "tests/gfx_harness/fake_component_handler.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/gfx_harness/headless_gfx.h"
#include "tests/gfx_harness/headless_platform.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/utils/midi_cc/delegate_learn_host.h"
#include "utils/midi_cc/cc_display_control.h"
#include "utils/midi_cc/cc_mediator.h"
#include "utils/midi_cc/control_decorator.h"

namespace learnable_test {

using namespace plugkit::gfx;
using namespace plugkit::gfx::test;
using zarvo::midi_cc::CCDisplayControl;
using zarvo::midi_cc::ControlDecorator;
using zarvo::midi_cc::IControllable;

// Parameters: 0 a cutoff 20..20000 Hz (frequency modulation slot), 1 a drive 0..10 (slot 1),
// 2 a percentage without a slot, 3 a mode list without a slot.
enum EParam
{
  kCutoff = 0,
  kDrive = 1,
  kMix = 2,
  kMode = 3,
  kNumParams = 4
};

struct SentMessage
{
  int tag = 0;
  int size = 0;
  int32_t param = -1;
  float depth = 0.f; // 7785 only

  bool operator==(const SentMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const SentMessage& m)
{
  return os << "{" << m.tag << " p" << m.param << " size " << m.size << " depth " << m.depth << "}";
}

class LearnHost : public midi_cc_test::DelegateLearnHost
{
public:
  using Mediator = zarvo::midi_cc::CCMediator;

  LearnHost()
    : DelegateLearnHost(kNumParams)
  {
    GetParam(kCutoff)->InitDouble("Cutoff", 1000.0, 20.0, 20000.0, 0.01, "Hz", 0, "", plugkit::IParam::ShapeExp());
    GetParam(kDrive)->InitDouble("Drive", 0.0, 0.0, 10.0, 0.01);
    GetParam(kMix)->InitDouble("Mix", 50.0, 0.0, 100.0, 1.0, "%");
    GetParam(kMode)->InitEnum("Mode", 0, {"Soft", "Hard", "Fold"});
  }

  void SendArbitraryMsgFromUI(int tag, int ctrlTag, int size, const void* data) override
  {
    FakeDelegate::SendArbitraryMsgFromUI(tag, ctrlTag, size, data);
    SentMessage m{tag, size};
    if (data && size >= 4)
      std::memcpy(&m.param, data, 4);
    if (data && size >= 8)
      std::memcpy(&m.depth, static_cast<const char*>(data) + 4, 4);
    sent.push_back(m);
    if (forwardToMediator)
      mediator.OnMessage(tag, size, data);
  }

  //---What the mediator and createLearnable need of their plug-in
  int modSlotOf(int idx) const override { return idx == kCutoff ? 0 : idx == kDrive ? 1 : -1; }
  bool isFrequencyModSlot(int slot) const override { return slot == 0; }
  void onDisabledControlInteraction(int idx) override { disabledTouches.push_back(idx); }

  Mediator mediator{*this};
  std::vector<SentMessage> sent;
  std::vector<int> disabledTouches;
  bool forwardToMediator = false;
};

// One open headless editor with the learnable controls the test attaches.
struct LearnSession
{
  LearnSession()
  {
    host.handler = handler;
    host.view = view;
    host.UseHeadlessEditor(platform, recorder, 400, 200);
    host.OpenWindow(nullptr);
    G().AttachPanelBackground(COLOR_DARK_GRAY); // the background is never a hover target
    input = std::make_unique<InputDriver>(G());
  }
  ~LearnSession()
  {
    input.reset();
    host.CloseWindow();
    view->release();
    handler->release();
  }

  HeadlessGfx& G() { return *host.UI(); }

  template <class T, class... Args>
  ControlDecorator<T>* learnable(Args&&... args)
  {
    T* control = host.mediator.createLearnable<T>(std::forward<Args>(args)...);
    G().AttachControl(control);
    return static_cast<ControlDecorator<T>*>(control);
  }

  ControlDecorator<IVKnobControl>* knob(int param, const IRECT& r = IRECT(20, 20, 120, 120))
  {
    return learnable<IVKnobControl>(r, param, "", DEFAULT_STYLE);
  }

  ControlDecorator<CCDisplayControl>* display(int param, const IRECT& r = IRECT(200, 20, 300, 60))
  {
    return learnable<CCDisplayControl>(r, param, "--", DEFAULT_TEXT);
  }

  HeadlessPlatform platform;
  DrawRecorder recorder;
  FakeComponentHandler* handler = new FakeComponentHandler();
  FakePlugView* view = new FakePlugView();
  LearnHost host;
  std::unique_ptr<InputDriver> input;
};

// In the editor's own menu, opened by a right click at (x, y): "MIDI CC", then its item at index.
// The menu animates in and its submenu opens on hover; platform.nowMs drives both.
inline bool chooseInEditorMenu(HeadlessGfx& g, InputDriver& input, HeadlessPlatform& platform, float x, float y,
                               int index)
{
  auto* popup = static_cast<IPopupMenuControl*>(g.GetPopupMenuControl());
  if (!popup)
    return false;
  auto settle = [&](double ms) {
    g.Tick();
    platform.nowMs += ms;
    g.Tick();
  };
  input.RightClick(x, y);
  settle(101);
  if (popup->GetState() != IPopupMenuControl::kExpanded)
    return false;
  auto centre = [&](int panel, int cell) {
    const IRECT& r = *popup->GetPanel(panel)->mCells[static_cast<size_t>(cell)];
    return std::pair<float, float>{r.MW(), r.MH()};
  };
  const int root = popup->GetPanel(0)->mMenu.NItems() - 1; // the "MIDI CC" entry comes last
  const auto [ex, ey] = centre(0, root);
  input.Hover(ex, ey);
  settle(201);
  if (popup->NPanels() < 2)
    return false;
  const auto [ix, iy] = centre(1, index);
  input.Hover(ix, iy);
  input.Click(ix, iy);
  settle(1000);
  return true;
}

// What the recording backend was asked to draw, put back together into shapes.
struct Shape
{
  enum class EKind
  {
    Arc,
    Line,
    Circle,
    Disc
  } kind;
  std::vector<float> args; // arc: cx cy r a1 a2; line: x1 y1 x2 y2; circle and disc: cx cy r
  IColor color;
  float thickness = 0.f;
};

inline std::vector<Shape> shapesOf(const DrawRecorder& recorder)
{
  std::vector<Shape> shapes;
  std::vector<DrawCall> path;
  for (const DrawCall& c : recorder.Calls())
  {
    if (c.op == "PathClear")
      path.clear();
    else if (c.op == "PathStroke" || c.op == "PathFill")
    {
      const bool fill = c.op == "PathFill";
      Shape s{Shape::EKind::Line, {}, c.color, c.thickness};
      const DrawCall* arc = nullptr;
      for (const DrawCall& p : path)
        if (p.op == "PathArc")
          arc = &p;
      if (arc && arc->args[3] == 0.f && arc->args[4] == 360.f)
        s = Shape{fill ? Shape::EKind::Disc : Shape::EKind::Circle,
                  {arc->args[0], arc->args[1], arc->args[2]},
                  c.color,
                  c.thickness};
      else if (arc)
        s = Shape{Shape::EKind::Arc, {arc->args.begin(), arc->args.begin() + 5}, c.color, c.thickness};
      else if (path.size() >= 2 && path[0].op == "PathMoveTo" && path[1].op == "PathLineTo")
        s.args = {path[0].args[0], path[0].args[1], path[1].args[0], path[1].args[1]};
      else
        continue;
      shapes.push_back(s);
    }
    else
      path.push_back(c);
  }
  return shapes;
}

// A point at angle degrees (0 up, clockwise) and radius r around (cx, cy).
inline std::pair<float, float> polar(float cx, float cy, float r, float degrees)
{
  const double a = degrees * M_PI / 180.0;
  return {static_cast<float>(cx + r * std::sin(a)), static_cast<float>(cy - r * std::cos(a))};
}

} // namespace learnable_test
