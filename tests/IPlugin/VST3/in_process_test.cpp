// A framework plug-in built into this program, talking to the test host: what it tells the host from
// the main thread (edits, latency, changed details), where its idle timer runs, what it learns of the
// track, and its answers to the host's small queries.
#include "IPlugin/VST3/IPluginVST3.h"
#include "tests/IPlugin/VST3/host_session.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <climits>
#include <functional>
#include <vector>

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using Kind = HandlerCall::Kind;

constexpr plugkit::Config kConfig = {
  .nParams = 2,
  .channelIOStr = "2-2",
  .pluginName = "In Process",
  .makerName = "ZarvoAudio",
  .version = plugkit::MakeVersion(1, 0, 0),
  .uniqueId = plugkit::MakeFourCC("InPr"),
  .makerId = plugkit::MakeFourCC("ZrvA"),
  .hasEditor = true,
  .editorWidth = 300,
  .editorHeight = 200,
  .minWidth = 100,
  .maxWidth = 1000,
  .minHeight = 100,
  .maxHeight = 1000,
};

class InProcessPlug final : public plugkit::IPluginVST3
{
public:
  InProcessPlug()
    : plugkit::IPluginVST3(plugkit::InstanceInfo{}, kConfig)
  {
    GetParam(0)->InitDouble("level", 0.5, 0.0, 1.0, 0.01);
    GetParam(1)->InitEnum("mode", 0, {"a", "b", "c"});
  }

  void OnIdle() override { ++idleCalls; }

  int idleCalls = 0;
};

// Creates, initialises and hands over the component handler; gives everything back at the end.
struct InProcessSession
{
  explicit InProcessSession(bool offerRunLoop)
    : host(offerRunLoop)
    , plug(new InProcessPlug)
  {
    initialized = plug->initialize(&host.application()) == kResultOk;
    plug->setComponentHandler(&host.handler());
    host.handler().clearCalls();
  }
  ~InProcessSession()
  {
    plug->setComponentHandler(nullptr);
    plug->terminate();
    EXPECT_EQ(plug->release(), 0u);
    EXPECT_TRUE(host.heldReferences().empty());
  }

  Host host;
  InProcessPlug* plug;
  bool initialized = false;
};

struct Expected
{
  Kind kind;
  ParamID id = 0;
  ParamValue value = 0;
  int32 flags = 0;
};

struct NotificationCase
{
  const char* name;
  std::function<void(InProcessPlug&)> act;
  std::vector<Expected> calls;
};

TEST(VST3Notifications, MainThreadChangesReachTheComponentHandler)
{
  const NotificationCase cases[] = {
    {"an editor gesture",
     [](InProcessPlug& p) {
       p.BeginInformHostOfParamChangeFromUI(1);
       p.SendParameterValueFromUI(1, 0.5);
       p.EndInformHostOfParamChangeFromUI(1);
     },
     {{Kind::BeginEdit, 1}, {Kind::PerformEdit, 1, 0.5}, {Kind::EndEdit, 1}}},
    {"an editor value also moves the host's object",
     [](InProcessPlug& p) { p.SendParameterValueFromUI(0, 0.25); },
     {{Kind::PerformEdit, 0, 0.25}}},
    {"every parameter in one group edit",
     [](InProcessPlug& p) {
       p.GetParam(0)->Set(0.75);
       p.GetParam(1)->Set(2.0);
       p.DirtyParametersFromUI();
     },
     {{Kind::StartGroupEdit}, {Kind::PerformEdit, 0, 0.75}, {Kind::PerformEdit, 1, 1.0}, {Kind::FinishGroupEdit}}},
    {"a new latency", [](InProcessPlug& p) { p.SetLatency(64); }, {{Kind::RestartComponent, 0, 0, kLatencyChanged}}},
    {"the same latency again", [](InProcessPlug& p) { p.SetLatency(0); }, {}},
    {"changed parameter details",
     [](InProcessPlug& p) { p.InformHostOfParameterDetailsChange(); },
     {{Kind::RestartComponent, 0, 0, kParamTitlesChanged}}},
    {"values the plug-in changed itself",
     [](InProcessPlug& p) {
       p.GetParam(0)->Set(0.75);
       EXPECT_EQ(p.InformHostOfParameterValuesChange(), 1);
     },
     {{Kind::RestartComponent, 0, 0, kParamValuesChanged}}},
    {"values the host already holds",
     [](InProcessPlug& p) { EXPECT_EQ(p.InformHostOfParameterValuesChange(), 0); },
     {}},
    {"an editor resize asks no host without a view",
     [](InProcessPlug& p) { EXPECT_TRUE(p.EditorResize(400, 300)); },
     {}},
  };
  for (const NotificationCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    InProcessSession s(false);
    ASSERT_TRUE(s.initialized);
    c.act(*s.plug);
    const auto& calls = s.host.handler().calls();
    ASSERT_EQ(calls.size(), c.calls.size());
    for (size_t i = 0; i < calls.size(); ++i)
    {
      EXPECT_EQ(calls[i].kind, c.calls[i].kind);
      EXPECT_EQ(calls[i].id, c.calls[i].id);
      EXPECT_EQ(calls[i].value, c.calls[i].value);
      EXPECT_EQ(calls[i].flags, c.calls[i].flags);
      EXPECT_TRUE(calls[i].onMainThread);
    }
    // What the host reads back agrees with what it was told.
    for (const Expected& e : c.calls)
    {
      if (e.kind == Kind::PerformEdit)
      {
        EXPECT_EQ(s.plug->getParamNormalized(e.id), e.value);
      }
    }
  }
}

TEST(VST3Notifications, AResizeKeepsTheRequestedEditorSize)
{
  InProcessSession s(false);
  ASSERT_TRUE(s.initialized);
  EXPECT_TRUE(s.plug->EditorResize(400, 300));
  EXPECT_EQ(s.plug->GetEditorWidth(), 400);
  EXPECT_EQ(s.plug->GetEditorHeight(), 300);
}

TEST(VST3IdleTimer, RunsOnTheHostRunLoopWhenOfferedElseFromHostCalls)
{
  {
    SCOPED_TRACE("run loop offered on the host context");
    InProcessSession s(true);
    ASSERT_TRUE(s.initialized);
    EXPECT_EQ(s.host.runLoop().timerCount(), 1);
    s.plug->getParamNormalized(0);
    EXPECT_EQ(s.plug->idleCalls, 0) << "host calls do not run a timer the run loop drives";
    s.host.pump(20);
    EXPECT_EQ(s.plug->idleCalls, 1);
    s.host.pump(19);
    EXPECT_EQ(s.plug->idleCalls, 1);
    s.host.pump(1);
    EXPECT_EQ(s.plug->idleCalls, 2);
    // Terminating takes the timer off the loop.
    s.plug->terminate();
    EXPECT_EQ(s.host.runLoop().timerCount(), 0);
    ASSERT_EQ(s.plug->initialize(&s.host.application()), kResultOk);
    EXPECT_EQ(s.host.runLoop().timerCount(), 1);
  }
  {
    SCOPED_TRACE("a run loop that takes timers but never calls them, and serves descriptors");
    InProcessSession s(true);
    ASSERT_TRUE(s.initialized);
    s.host.runLoop().callsTimers = false;
    for (int waits = 0; waits < 100 && s.plug->idleCalls < 2; ++waits)
    {
      std::vector<pollfd> fds;
      for (int fd : s.host.runLoop().descriptors())
        fds.push_back({fd, POLLIN, 0});
      ASSERT_FALSE(fds.empty()) << "nothing stands in for the timer";
      poll(fds.data(), fds.size(), 1000);
      s.host.pump(20);
    }
    EXPECT_GE(s.plug->idleCalls, 2);
  }
  {
    SCOPED_TRACE("no run loop");
    InProcessSession s(false);
    ASSERT_TRUE(s.initialized);
    EXPECT_EQ(s.host.runLoop().timerCount(), 0);
    s.plug->getParamNormalized(0);
    EXPECT_GE(s.plug->idleCalls, 1) << "the first main-thread host call runs the idle work";
  }
}

struct ContextKey
{
  const char* key;
  int64 integer;
  const char16_t* text; // a text key when set
};

struct ContextCase
{
  const char* name;
  std::vector<std::vector<ContextKey>> lists; // handed over in order
  const char* trackName;
  int trackIndex;
  const char* trackNamespace;
  int namespaceIndex;
  int rgb[3];
};

TEST(VST3ChannelContext, KeysTheListHoldsUpdateTheirFieldsOnly)
{
  using namespace ChannelContext;
  const ContextCase cases[] = {
    {"only the colour",
     {{{kChannelColorKey, static_cast<int64>(0xFF102030u), nullptr}}},
     "",
     0,
     "",
     0,
     {0x10, 0x20, 0x30}},
    {"name, then colour alone keeps the name",
     {{{kChannelNameLengthKey, 5, nullptr}, {kChannelNameKey, 0, u"Drums"}},
      {{kChannelColorKey, static_cast<int64>(0x00FF0000u), nullptr}}},
     "Drums",
     0,
     "",
     0,
     {0xFF, 0, 0}},
    {"index and namespace",
     {{{kChannelIndexKey, 3, nullptr},
       {kChannelIndexNamespaceOrderKey, 2, nullptr},
       {kChannelIndexNamespaceLengthKey, 6, nullptr},
       {kChannelIndexNamespaceKey, 0, u"Bus \u00c4b"}}},
     "",
     3,
     "Bus \xc3\x84"
     "b",
     2,
     {0, 0, 0}},
  };
  for (const ContextCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    InProcessSession s(false);
    ASSERT_TRUE(s.initialized);
    FUnknownPtr<ChannelContext::IInfoListener> listener(static_cast<IAudioProcessor*>(s.plug));
    ASSERT_TRUE(listener);
    for (const auto& keys : c.lists)
    {
      IPtr<HostAttributeList> list = owned(new HostAttributeList);
      for (const ContextKey& k : keys)
      {
        if (k.text)
          list->setString(k.key, reinterpret_cast<const TChar*>(k.text));
        else
          list->setInt(k.key, k.integer);
      }
      EXPECT_EQ(listener->setChannelContextInfos(list), kResultOk);
    }
    TextString name;
    TextString space;
    s.plug->GetTrackName(name);
    s.plug->GetTrackNamespace(space);
    EXPECT_STREQ(name.Get(), c.trackName);
    EXPECT_STREQ(space.Get(), c.trackNamespace);
    EXPECT_EQ(s.plug->GetTrackIndex(), c.trackIndex);
    EXPECT_EQ(s.plug->GetTrackNamespaceIndex(), c.namespaceIndex);
    int rgb[3] = {-1, -1, -1};
    s.plug->GetTrackColor(rgb[0], rgb[1], rgb[2]);
    EXPECT_EQ(rgb[0], c.rgb[0]);
    EXPECT_EQ(rgb[1], c.rgb[1]);
    EXPECT_EQ(rgb[2], c.rgb[2]);
    EXPECT_EQ(listener->setChannelContextInfos(nullptr), kResultFalse);
  }
}

struct QueryCase
{
  const char* name;
  std::function<bool(InProcessPlug&)> holds;
};

TEST(VST3HostQueries, TailLatencySetupProgramViewAndTypeQueriesAnswerForThisPlugIn)
{
  const QueryCase cases[] = {
    {"no tail", [](InProcessPlug& p) { return p.getTailSamples() == kNoTail; }},
    {"a tail of 100 samples",
     [](InProcessPlug& p) {
       p.SetTailSize(100);
       return p.getTailSamples() == 100u;
     }},
    {"the largest tail is infinite",
     [](InProcessPlug& p) {
       p.SetTailSize(INT_MAX);
       return p.getTailSamples() == kInfiniteTail;
     }},
    {"latency follows SetLatency",
     [](InProcessPlug& p) {
       p.SetLatency(7);
       return p.getLatencySamples() == 7u;
     }},
    {"32- and 64-bit samples only",
     [](InProcessPlug& p) {
       return p.canProcessSampleSize(kSample32) == kResultTrue && p.canProcessSampleSize(kSample64) == kResultTrue &&
              p.canProcessSampleSize(2) != kResultTrue;
     }},
    {"set-ups the plug-in cannot process are refused",
     [](InProcessPlug& p) {
       ProcessSetup badSize{kRealtime, 2, 512, 48000.0};
       ProcessSetup noBlock{kRealtime, kSample32, 0, 48000.0};
       ProcessSetup noRate{kRealtime, kSample32, 512, 0.0};
       ProcessSetup good{kRealtime, kSample64, 512, 48000.0};
       return p.setupProcessing(badSize) != kResultOk && p.setupProcessing(noBlock) != kResultOk &&
              p.setupProcessing(noRate) != kResultOk && p.setupProcessing(good) == kResultOk;
     }},
    {"no program lists",
     [](InProcessPlug& p) {
       ProgramListInfo info{};
       String128 name{};
       return p.getProgramListCount() == 0 && p.getProgramListInfo(0, info) != kResultOk &&
              p.getProgramName(0x10001, 0, name) != kResultOk;
     }},
    {"an editor view for the name \"editor\" only",
     [](InProcessPlug& p) {
       IPlugView* view = p.createView(ViewType::kEditor);
       const bool made = view != nullptr;
       if (view)
         view->release();
       return made && p.createView("other") == nullptr && p.createView(nullptr) == nullptr;
     }},
    {"known by its class name and its bases",
     [](InProcessPlug& p) {
       return p.isTypeOf("IPluginVST3", false) && p.isTypeOf("SingleComponentEffect") && p.isTypeOf("EditController") &&
              p.isTypeOf("FObject") && !p.isTypeOf("SingleComponentEffect", false);
     }},
  };
  for (const QueryCase& c : cases)
  {
    InProcessSession s(false);
    ASSERT_TRUE(s.initialized);
    EXPECT_TRUE(c.holds(*s.plug)) << c.name;
  }
}

} // namespace
} // namespace vemlor::testhost
