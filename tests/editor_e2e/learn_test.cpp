// MIDI learn from a knob's context menu with the real pointer and keyboard: "Learn" in the knob's
// "MIDI CC" menu, then a controller from the host maps to the knob's parameter and moves it.
#include "tests/editor_e2e/e2e_fixture.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vemlor::e2e {
namespace {

using zarvo::par_main_cutoff_hz;

constexpr int kController = 21;

// One controller message on channel 1 as the host sends it: through the parameter the plug-in
// assigns to that controller, in one processed block.
void sendController(EditorSession& s, int value)
{
  Steinberg::FUnknownPtr<Steinberg::Vst::IMidiMapping> mapping(&s.session.controller());
  ASSERT_TRUE(mapping);
  Steinberg::Vst::ParamID id = 0;
  ASSERT_EQ(mapping->getMidiControllerAssignment(0, 0, kController, id), Steinberg::kResultTrue);
  s.session.plugin->addParameterChange(id, 0, value / 127.0);
  s.session.plugin->process(plugin_it::kBlockSize);
}

bool mapsControllerToCutoff(const Chunk& c)
{
  for (const auto& entry : c.ccMap)
    for (const auto& m : entry.mappings)
      if (entry.cc == kController && m.param == par_main_cutoff_hz)
        return true;
  return false;
}

TEST_F(EditorE2E, LearnFromTheKnobMenuThenTheControllerMovesTheParameter)
{
  // The knob's own value, not a morph point's: the morph field off.
  setMorphOf(s, false);
  selectTab(0);
  ASSERT_TRUE(s.restartProcessing());
  ASSERT_FALSE(mapsControllerToCutoff(s.chunk()));
  const Rect knob = mainCutoffKnob();
  ASSERT_TRUE(click(knob, 3));
  s.settle();
  s.screenshot("learn_menu");
  // The menu: the parameter's name as a title, then "MIDI CC" whose first item is "Learn" (Return
  // opens a submenu whichever side it opens on, and chooses an item). The
  // pointer leaves the menu (staying over the editor, which has the focus) so the keys alone choose.
  XdoDriver keys = s.input();
  ASSERT_TRUE(keys.move(kEmptySpot.cx(), kEmptySpot.cy()));
  s.settle(2);
  for (const char* key : {"Down", "Return", "Return"})
  {
    ASSERT_TRUE(keys.key(key));
    s.settle(4);
  }
  s.screenshot("learn_armed");

  sendController(s, 100);
  ASSERT_TRUE(s.pumpUntil([&] { return mapsControllerToCutoff(s.chunk()); })) << "the controller was not learnt";
  for (int value : {10, 90})
  {
    sendController(s, value);
    // The plug-in's own value (its state) and the value its controller answers the host.
    EXPECT_TRUE(s.pumpUntil([&] {
      return std::abs(plugin_it::paramTable().normalized(par_main_cutoff_hz, s.chunk().param(par_main_cutoff_hz)) -
                      value / 127.0) < 1e-6;
    }))
      << "value " << value;
    EXPECT_TRUE(s.pumpUntil([&] { return std::abs(s.normalized(par_main_cutoff_hz) - value / 127.0) < 1e-6; }))
      << "value " << value << ": the host reads " << s.normalized(par_main_cutoff_hz);
  }
}

} // namespace
} // namespace vemlor::e2e
