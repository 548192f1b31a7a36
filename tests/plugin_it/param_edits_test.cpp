// Values the plug-in changes itself, through the test host: after every kind of change the host's
// parameter objects hold the plug-in's own values, the host was told, and the plug-in plays the
// patch it holds.
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "product/Vemlor.h"
#include "tests/plugin_it/support.h"

namespace vemlor::plugin_it {
namespace {

using namespace zarvo;
using plugkit::EParamSource;
using testhost::HandlerCall;
namespace fs = std::filesystem;

// A plug-in built in this process, so the test can act as its editor, hosted by the test host with
// a run loop the test pumps.
struct OwnInstance
{
  OwnInstance()
  {
    auto* created = new Vemlor(plugkit::InstanceInfo{});
    plug = created;
    plugin = Plugin::adopt(static_cast<Steinberg::Vst::IComponent*>(created), host, error);
  }
  ~OwnInstance()
  {
    if (plugin)
    {
      EXPECT_TRUE(plugin->teardown().clean());
    }
  }

  PresetManager& presets() { return *plug->presetManager(); }
  ParamEditResult asEdit(const std::function<bool()>& change)
  {
    return plug->paramEdits()->run(EParamSource::kPresetRecall, change);
  }
  std::vector<uint8_t> state() { return plugin->getState().value_or(std::vector<uint8_t>{}); }
  bool setChunk(const Chunk& chunk) { return plugin->setState(componentState(chunk)); }
  Chunk chunk() { return parseChunk(state()).value().chunk; }
  Patch values() const
  {
    Patch patch{};
    for (int i = 0; i < kNumParams; ++i)
      patch[static_cast<size_t>(i)] = plug->GetParam(i)->Value();
    return patch;
  }

  testhost::Host host{true};
  Vemlor* plug = nullptr; // the hosted plug-in's object
  std::unique_ptr<Plugin> plugin;
  std::string error;
};

fs::path dataFolder() { return fs::path(std::getenv("XDG_DATA_HOME")); }

// A factory preset's sound other than the patch now loaded.
int anotherFactoryEntry(OwnInstance& instance, int step = 7)
{
  PresetManager& pm = instance.presets();
  return (std::max(pm.currentIndex(), 0) + step) % pm.factoryCount();
}

// The preset's patch as a parameter-list preset file, morphing off.
void writeParameterListFile(const fs::path& path, const Patch& patch)
{
  std::string bytes;
  const auto be32 = [&](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
      bytes.push_back(static_cast<char>((v >> shift) & 0xFF));
  };
  bytes += "CcnK";
  be32(0);
  bytes += "FxCk";
  be32(1);
  bytes += "Vmlr";
  be32(10300);
  be32(kNumParams);
  bytes += std::string(28, '\0');
  for (int i = 0; i < kNumParams; ++i)
    be32(std::bit_cast<uint32_t>(static_cast<float>(paramTable().normalized(i, patch[static_cast<size_t>(i)]))));
  std::ofstream(path, std::ios::binary) << bytes;
}

struct OperationCase
{
  const char* name;
  // Brings the instance to where the operation starts; false when that failed.
  std::function<bool(OwnInstance&)> prepare;
  std::function<ParamEditResult(OwnInstance&)> operation;
  bool countsChanges; // the operation's result counts the parameters it changed
};

std::vector<OperationCase> operations()
{
  return {
    {"a factory preset from the list",
     {},
     [](OwnInstance& a) {
       const int entry = anotherFactoryEntry(a);
       return a.asEdit([&] {
         a.presets().navigateTo(entry);
         return a.presets().currentIndex() == entry;
       });
     },
     true},
    {"a preset file holding a state, with its own morph position",
     [](OwnInstance& a) {
       OwnInstance other;
       other.presets().navigateTo(anotherFactoryEntry(other, 11));
       other.plugin->controller()->setParamNormalized(par_morph_x, 0.125);
       other.plugin->controller()->setParamNormalized(par_morph_y, 0.875);
       (void)a;
       return other.presets().saveToFile((dataFolder() / "state.fxp").string());
     },
     [](OwnInstance& a) {
       return a.asEdit([&] { return a.presets().loadFromFile((dataFolder() / "state.fxp").string()); });
     },
     true},
    {"a parameter-list preset file",
     [](OwnInstance&) {
       Patch patch = paramTable().preset(factoryPresetDefs()[12]);
       patch[par_morph_active] = 0.0;
       patch[par_oversampling] = 1.0;
       writeParameterListFile(dataFolder() / "list.fxp", patch);
       return true;
     },
     [](OwnInstance& a) {
       return a.asEdit([&] { return a.presets().loadFromFile((dataFolder() / "list.fxp").string()); });
     },
     true},
    {"undo of a preset load",
     [](OwnInstance& a) {
       a.presets().navigateTo(anotherFactoryEntry(a));
       return !a.presets().undoStack().empty();
     },
     [](OwnInstance& a) {
       return a.asEdit([&] {
         a.presets().undo();
         return a.presets().undoStack().empty();
       });
     },
     true},
    {"redo of a preset load",
     [](OwnInstance& a) {
       a.presets().navigateTo(anotherFactoryEntry(a));
       a.presets().undo();
       return !a.presets().redoStack().empty();
     },
     [](OwnInstance& a) {
       return a.asEdit([&] {
         a.presets().redo();
         return a.presets().redoStack().empty();
       });
     },
     true},
    {"randomize", {}, [](OwnInstance& a) { return a.plug->randomize(); }, true},
    {"mutate", {}, [](OwnInstance& a) { return a.plug->mutate(); }, true},
    {"a morph rig with its own position",
     [](OwnInstance& a) {
       OwnInstance other;
       other.plugin->controller()->setParamNormalized(par_morph_x, 0.25);
       other.plugin->controller()->setParamNormalized(par_morph_y, 0.75);
       const ZarvoFile rig = other.plug->morphController().buildRigFile();
       return rig.toFile(dataFolder() / "rig.zarvo") == plugkit::EFileResult::kOk && a.plug;
     },
     [](OwnInstance& a) {
       return a.asEdit([&] {
         const std::optional<ZarvoFile> rig = ZarvoFile::fromFile(dataFolder() / "rig.zarvo").file;
         return rig && a.plug->morphController().applyRigFile(*rig);
       });
     },
     true},
    {"host automation of an anchored cutoff turns its anchor off",
     [](OwnInstance& a) {
       Chunk c = a.chunk();
       c.param(par_main_cutoff_note_anchored) = 1.0;
       return a.setChunk(c) && a.plugin->startProcessing({kSampleRate, kBlockSize, Steinberg::Vst::kSample64});
     },
     [](OwnInstance& a) {
       // As hosts do, the controller and the processor both get the automated value.
       a.plugin->controller()->setParamNormalized(par_main_cutoff_hz, 0.3);
       a.plugin->addParameterChange(par_main_cutoff_hz, 0, 0.3);
       const bool processed = a.plugin->process(kBlockSize).clean();
       a.host.pump(20);
       return ParamEditResult{processed, 0};
     },
     false},
    {"a restore whose first chunk is damaged and second intact", [](OwnInstance&) { return true; },
     [](OwnInstance& a) {
       const std::vector<uint8_t> intact = componentState(richChunk(a.chunk()));
       const std::vector<uint8_t> damaged(intact.begin(), intact.begin() + static_cast<long>(intact.size() / 2));
       const bool refused = !a.plugin->setState(damaged);
       return ParamEditResult{refused && a.plugin->setState(intact), 0};
     },
     false},
  };
}

TEST(PluginParamEdits, AfterEveryChangeTheHostReadsAndTheAudioPlaysThePluginsOwnValues)
{
  const Stereo drums = drumSignal(0.5);
  for (const OperationCase& c : operations())
  {
    SCOPED_TRACE(c.name);
    OwnInstance a;
    ASSERT_TRUE(a.plugin) << a.error;
    // Morphing off, so that randomize and mutate act on the patch.
    Chunk start = a.chunk();
    start.param(par_morph_active) = 0.0;
    ASSERT_TRUE(a.setChunk(start));
    if (c.prepare)
    {
      ASSERT_TRUE(c.prepare(a));
    }
    a.host.handler().clearCalls();
    const Patch before = a.values();

    const ParamEditResult result = c.operation(a);
    ASSERT_TRUE(result.applied);

    const Patch after = a.values();
    int changed = 0;
    for (size_t i = 0; i < after.size(); ++i)
      changed += after[i] != before[i] ? 1 : 0;
    ASSERT_GT(changed, 0) << "the operation changes the patch";
    if (c.countsChanges)
    {
      EXPECT_EQ(result.changed, changed);
    }

    // Every value the host reads is the plug-in's own, and the host heard of each change: as an
    // edit of that parameter with its final value, or by being asked to read every value again.
    const auto& calls = a.host.handler().calls();
    bool askedToReread = false;
    for (const HandlerCall& call : calls)
    {
      EXPECT_TRUE(call.onMainThread);
      askedToReread = askedToReread || (call.kind == HandlerCall::Kind::RestartComponent &&
                                        (call.flags & Steinberg::Vst::kParamValuesChanged) != 0);
    }
    for (int i = 0; i < kNumParams; ++i)
    {
      const double own = a.plug->GetParam(i)->GetNormalized();
      EXPECT_EQ(a.plugin->controller()->getParamNormalized(static_cast<Steinberg::Vst::ParamID>(i)), own)
        << paramName(i);
      if (after[static_cast<size_t>(i)] == before[static_cast<size_t>(i)] || askedToReread)
        continue;
      bool edited = false;
      for (const HandlerCall& call : calls)
        edited = edited || (call.kind == HandlerCall::Kind::PerformEdit && call.id == static_cast<uint32_t>(i) &&
                            call.value == own);
      EXPECT_TRUE(edited) << paramName(i) << " changed without the host being told";
    }

    // The plug-in plays the patch it holds: as another instance given its state does.
    Instance reference;
    ASSERT_TRUE(reference) << reference.session.error;
    ASSERT_TRUE(reference.setState(a.state()));
    ASSERT_TRUE(a.plugin->startProcessing({kSampleRate, kBlockSize, Steinberg::Vst::kSample64}));
    ASSERT_TRUE(reference.restart());
    EXPECT_EQ(maxDifference(render(*a.plugin, drums), render(reference.plugin(), drums)), 0.0);
  }
}

} // namespace
} // namespace vemlor::plugin_it
