// The idle function without a host run loop, and the editor messages of the controller map and its
// modulation settings.
#include "tests/product/plugin_fixture.h"

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

#include "pluginterfaces/vst/ivstcomponent.h"

namespace vemlor::plugintest {
namespace {

using namespace zarvo;

struct LatencyCase
{
  const char* name;
  double oversampling; // plain: 0 .. 3 for 1x .. 8x
  Steinberg::uint32 latency;
};

TEST(PluginIdle, WithoutARunLoopAHostCallRunsTheIdleWorkAndReportsTheLatency)
{
  const LatencyCase cases[] = {
    {"4x", 2.0, 7},
    {"8x", 3.0, 8},
  };
  for (const LatencyCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    PluginInstance p; // initialised without a host context: no run loop, no editor
    p.automate(par_oversampling, c.oversampling);
    EXPECT_EQ(p->getLatencySamples(), 0u);
    p->getParamNormalized(par_main_drive); // any main-thread host call
    EXPECT_EQ(p->getLatencySamples(), c.latency);
    const RecordingHandler::Call restart{RecordingHandler::Kind::Restart, Steinberg::Vst::kLatencyChanged};
    EXPECT_EQ(std::count(p.handler.calls.begin(), p.handler.calls.end(), restart), 1);
  }
}

plugkit::IByteChunk stateOf(Vemlor& plug)
{
  plugkit::IByteChunk chunk;
  plug.SerializeState(chunk);
  return chunk;
}

TEST(PluginMessages, MessagesTooShortForTheirPayloadChangeNothing)
{
  PluginInstance p;
  p->ccMediator().mapper().addMapping(20, par_main_resonance);
  p->ccMediator().mapper().addMapping(21, par_main_drive);
  const int32_t resonance = par_main_resonance;
  ASSERT_TRUE(p->OnMessage(midi_cc::kMsgTagModulate, -1, 4, &resonance));
  const std::array<unsigned char, 8> bytes = {static_cast<unsigned char>(par_main_drive), 0, 0, 0, 0, 0, 0, 0};

  struct Payload
  {
    const char* name;
    const void* data;
    int size;
  };
  const Payload payloads[] = {{"no data", nullptr, 8}, {"three bytes", bytes.data(), 3}};
  for (int tag = midi_cc::kMsgTagListen; tag <= midi_cc::kMsgTagCancelLearn; ++tag)
  {
    std::vector<Payload> forTag(std::begin(payloads), std::end(payloads));
    if (tag == midi_cc::kMsgTagDepth)
      forTag.push_back({"an index without its depth", bytes.data(), 4});
    for (const Payload& payload : forTag)
    {
      SCOPED_TRACE(std::to_string(tag) + ", " + payload.name);
      const plugkit::IByteChunk before = stateOf(*p);
      const size_t undoBefore = p.undoSteps();
      const bool handled = p->OnMessage(tag, -1, payload.size, payload.data);
      EXPECT_EQ(handled, tag >= midi_cc::kMsgTagAbsolute && tag <= midi_cc::kMsgTagBipolar);
      EXPECT_TRUE(stateOf(*p).IsEqual(before));
      EXPECT_EQ(p.undoSteps(), undoBefore);
      EXPECT_FALSE(p->ccMediator().mapper().isLearning());
      EXPECT_EQ(p->ccMediator().mapper().listeningParam(), -1);
    }
  }
}

struct MessageCase
{
  const char* name;
  std::function<void(PluginInstance&)> setUp;
  int tag;
  int32_t param;
  std::optional<float> depth;
  bool handled;
  std::function<void(PluginInstance&)> check;
};

bool send(PluginInstance& p, int tag, int32_t param, std::optional<float> depth = std::nullopt)
{
  unsigned char payload[8] = {};
  std::memcpy(payload, &param, 4);
  if (depth)
    std::memcpy(payload + 4, &*depth, 4);
  return p->OnMessage(tag, -1, depth ? 8 : 4, payload);
}

TEST(PluginMessages, MessagesSetTheControllerModulation)
{
  const int slotA = mod::indexOf(par_preFlt_A_hz);
  const auto octavesAQuarterHigher = [](PluginInstance& p) {
    const plugkit::IParam& a = p.param(par_preFlt_A_hz);
    return std::log2(a.FromNormalized(a.GetNormalized() + 0.25) / a.Value());
  };
  const MessageCase cases[] = {
    {"a depth on a cutoff is the octave distance a quarter of the range higher",
     [](PluginInstance& p) { p.automate(par_preFlt_A_hz, 500.0); }, midi_cc::kMsgTagDepth, par_preFlt_A_hz, 0.25f, true,
     [&](PluginInstance& p) {
       EXPECT_NEAR(p->ccModSettings().depth(slotA), octavesAQuarterHigher(p), 1e-9);
       EXPECT_GT(p->ccModSettings().depth(slotA), 0.0);
     }},
    {"inverting the depth flips its sign",
     [](PluginInstance& p) {
       p.automate(par_preFlt_A_hz, 500.0);
       send(p, midi_cc::kMsgTagDepth, par_preFlt_A_hz, 0.25f);
     },
     midi_cc::kMsgTagInvertDepth, par_preFlt_A_hz, std::nullopt, true,
     [&](PluginInstance& p) { EXPECT_NEAR(p->ccModSettings().depth(slotA), -octavesAQuarterHigher(p), 1e-9); }},
    {"absolute mode keeps a note-following cutoff modulating",
     [](PluginInstance& p) { p.editorSet(par_main_midi_note_on, 1.0); }, midi_cc::kMsgTagAbsolute, par_main_cutoff_hz,
     std::nullopt, true, [](PluginInstance& p) { EXPECT_EQ(p->ccModSettings().mode(par_main_cutoff_hz), 1u); }},
    {"modulating mode releases a mapped parameter",
     [](PluginInstance& p) {
       p->ccMediator().mapper().addMapping(40, par_main_drive);
       p->ccModSettings().rederiveHeld();
     },
     midi_cc::kMsgTagModulate, par_main_drive, std::nullopt, true,
     [](PluginInstance& p) {
       EXPECT_EQ(p->ccModSettings().mode(par_main_drive), 1u);
       EXPECT_FALSE(p->heldByController(par_main_drive));
     }},
    {"clearing removes the controller and the modulation, as one undo step",
     [](PluginInstance& p) {
       p->ccMediator().mapper().addMapping(41, par_main_resonance);
       send(p, midi_cc::kMsgTagModulate, par_main_resonance);
       send(p, midi_cc::kMsgTagDepth, par_main_resonance, 0.5f);
     },
     midi_cc::kMsgTagClear, par_main_resonance, std::nullopt, true,
     [](PluginInstance& p) {
       EXPECT_EQ(p->ccMediator().mapper().getCCForParam(par_main_resonance), -1);
       EXPECT_EQ(p->ccModSettings().mode(par_main_resonance), 0u);
       EXPECT_EQ(p->ccModSettings().depth(mod::indexOf(par_main_resonance)), 0.0);
       EXPECT_EQ(p.undoSteps(), 2u); // the starter preset's step, then the clear
     }},
    {"learning records the map as it was", [](PluginInstance&) {}, midi_cc::kMsgTagLearn, par_main_drive, std::nullopt,
     true,
     [](PluginInstance& p) {
       EXPECT_TRUE(p->ccMediator().mapper().isLearning());
       EXPECT_EQ(p.undoSteps(), 2u);
     }},
    {"a tag outside the controller map is not handled", [](PluginInstance&) {}, 7790, par_main_drive, std::nullopt,
     false, [](PluginInstance& p) { EXPECT_EQ(p.undoSteps(), 1u); }},
  };
  for (const MessageCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    PluginInstance p;
    c.setUp(p);
    EXPECT_EQ(send(p, c.tag, c.param, c.depth), c.handled);
    c.check(p);
  }
}

} // namespace
} // namespace vemlor::plugintest
