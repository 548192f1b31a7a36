#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "extras_plugin.h"
#include "IPlugin/IPluginBase.h"

namespace plugkit {
namespace {

using test::ExtrasConfig;
using test::ExtrasPlugin;
using test::TempDir;

std::vector<double> ChunkValues(const IPreset* preset)
{
  std::vector<double> values;
  double v = 0.0;
  for (int pos = 0; (pos = preset->mChunk.Get(v, pos)) > 0;)
    values.push_back(v);
  return values;
}

// 0 "on" a bool, 1 "shape" an enum of four, 2 "mix" a double 0..1.
void BoolEnumDouble(ExtrasPlugin& plug)
{
  plug.GetParam(0)->InitBool("on", false);
  plug.GetParam(1)->InitEnum("shape", 0, 4, "", 0, "", "sine", "tri", "saw", "square");
  plug.GetParam(2)->InitDouble("mix", 0.25, 0.0, 1.0, 0.01);
}

std::unique_ptr<ExtrasPlugin> TypedPlugin(int nPresets = 4)
{
  return std::make_unique<ExtrasPlugin>(ExtrasConfig(false, 3, nPresets), BoolEnumDouble);
}

// Versions and build information.

TEST(PluginBaseExtras, VersionsAndBuildInfo)
{
  const auto plug = TypedPlugin();
  EXPECT_EQ(plug->GetPluginVersion(true), 10300);
  EXPECT_EQ(plug->GetPluginVersion(false), 0x010300);
  TextString text;
  plug->GetPluginVersionStr(text);
  EXPECT_STREQ(text.Get(), "v1.3.0");
  EXPECT_STREQ(plug->GetAPIStr(), "VST3");
  plug->GetBuildInfoStr(text, "Dec 10 2026", "17:34:52");
  EXPECT_EQ(std::string(text.Get()),
            std::string("v1.3.0 VST3 (") + IPluginAPIBase::GetArchStr() + "), built on Dec 10 2026 at 17:34 ");
  EXPECT_EQ(plug->GetHostVersion(true), 0) << "no host identified";
}

// Parameter ranges and groups.

std::unique_ptr<ExtrasPlugin> RangePlugin()
{
  return std::make_unique<ExtrasPlugin>(ExtrasConfig(false, 6, 1), [](ExtrasPlugin& plug) {
    plug.InitParamRange(0, 2, 1, "Band %i gain", 0.0, -12.0, 12.0, 0.5, "dB", IParam::kFlagStepped, "eq");
    plug.InitParamRange(3, 5, 1, "Band %i width", 1.0, 0.1, 4.0, 0.1, "oct", 0, "width");
  });
}

TEST(PluginBaseExtras, RangesAreNamedCountingUp)
{
  const auto plug = RangePlugin();
  EXPECT_STREQ(plug->GetParam(0)->GetName(), "Band 1 gain");
  EXPECT_STREQ(plug->GetParam(2)->GetName(), "Band 3 gain");
  EXPECT_STREQ(plug->GetParam(5)->GetName(), "Band 3 width");
  EXPECT_STREQ(plug->GetParam(1)->GetGroup(), "eq");
  // Outside the list and reversed ranges do nothing.
  plug->InitParamRange(5, 9, 1, "Late %i", 0.0, 0.0, 1.0, 1.0);
  plug->InitParamRange(2, 1, 1, "Never %i", 0.0, 0.0, 1.0, 1.0);
  EXPECT_STREQ(plug->GetParam(5)->GetName(), "Late 1");
  EXPECT_STREQ(plug->GetParam(1)->GetName(), "Band 2 gain");
}

TEST(PluginBaseExtras, CloneAndCopyValues)
{
  const auto plug = RangePlugin();
  plug->GetParam(0)->Set(6.0);
  plug->CloneParamRange(0, 1, 3, "gain", "trim", "trims");
  EXPECT_STREQ(plug->GetParam(3)->GetName(), "Band 1 trim");
  EXPECT_STREQ(plug->GetParam(4)->GetGroup(), "trims");
  EXPECT_DOUBLE_EQ(plug->GetParam(3)->Value(), 6.0);
  EXPECT_DOUBLE_EQ(plug->GetParam(4)->GetMin(), -12.0);

  plug->GetParam(1)->Set(-3.0);
  plug->CopyParamValues(0, 4, 2);
  EXPECT_DOUBLE_EQ(plug->GetParam(4)->Value(), 6.0);
  EXPECT_DOUBLE_EQ(plug->GetParam(5)->Value(), 0.1) << "5 is a width of 0.1..4: -3 is clamped";
  plug->CopyParamValues(4, 5, 3); // ends at the list's end
  EXPECT_DOUBLE_EQ(plug->GetParam(5)->Value(), 4.0);
}

TEST(PluginBaseExtras, CopyBetweenGroupsStopsAtTheShorterGroup)
{
  const auto plug = RangePlugin();
  plug->GetParam(3)->Init(*plug->GetParam(3), "", "", "other");
  plug->GetParam(0)->Set(2.0);
  plug->GetParam(1)->Set(3.0);
  plug->CopyParamValues("eq", "other"); // three in, one out
  EXPECT_DOUBLE_EQ(plug->GetParam(3)->Value(), 2.0);
  EXPECT_DOUBLE_EQ(plug->GetParam(4)->Value(), 1.0);

  std::vector<int> visited;
  plug->ForParamInGroup("width", [&](int idx, IParam&) { visited.push_back(idx); });
  EXPECT_EQ(visited, (std::vector<int>{4, 5}));
}

TEST(PluginBaseExtras, DefaultsComeBackByRangeAndGroup)
{
  const auto plug = RangePlugin();
  for (int i = 0; i < plug->NParams(); ++i)
    plug->GetParam(i)->Set(3.0);
  plug->DefaultParamValues("width");
  EXPECT_EQ(plug->Values(), (std::vector<double>{3, 3, 3, 1, 1, 1}));
  plug->DefaultParamValues(1, 1);
  EXPECT_EQ(plug->Values(), (std::vector<double>{3, 0, 3, 1, 1, 1}));
  plug->DefaultParamValues();
  EXPECT_EQ(plug->Values(), (std::vector<double>{0, 0, 0, 1, 1, 1}));
}

TEST(PluginBaseExtras, RandomValuesStayInRangeAndOnTheirStep)
{
  auto plug = std::make_unique<ExtrasPlugin>(ExtrasConfig(false, 5, 1), [](ExtrasPlugin& p) {
    p.GetParam(0)->InitBool("on", false);
    p.GetParam(1)->InitInt("n", 0, -5, 5);
    p.GetParam(2)->InitFrequency("f", 1000, 20, 20000, 1, IParam::kFlagStepped);
    p.GetParam(3)->InitDouble("curve", 0, 0, 10, 0.25, "", IParam::kFlagStepped, "", IParam::ShapePowCurve(3));
    p.GetParam(4)->InitGain("g", 0, -70, 12, 0.1);
  });
  std::vector<double> seenMin(5, 1e9), seenMax(5, -1e9);
  for (int round = 0; round < 2000; ++round)
  {
    plug->RandomiseParamValues();
    for (int i = 0; i < plug->NParams(); ++i)
    {
      const IParam& p = *plug->GetParam(i);
      const double v = p.Value();
      ASSERT_GE(v, p.GetMin()) << p.GetName();
      ASSERT_LE(v, p.GetMax()) << p.GetName();
      if (p.GetStepped())
      {
        const double steps = (v - 0.0) / p.GetStep();
        ASSERT_NEAR(steps, std::round(steps), 1e-9) << p.GetName() << " " << v;
      }
      seenMin[i] = std::min(seenMin[i], v);
      seenMax[i] = std::max(seenMax[i], v);
    }
  }
  EXPECT_EQ(seenMin[0], 0);
  EXPECT_EQ(seenMax[0], 1);
  EXPECT_LT(seenMin[4], -60) << "spread over the range";
  EXPECT_GT(seenMax[4], 0);

  plug->GetParam(1)->Set(0);
  plug->RandomiseParamValues("no such group");
  plug->RandomiseParamValues(7, 9);
  EXPECT_EQ(plug->GetParam(1)->Value(), 0);
}

// Preset making.

TEST(PluginBaseExtras, MakePresetTakesIntegersAndDoubles)
{
  const auto plug = TypedPlugin();
  plug->MakePreset("first", 1, 2, 0.75);
  plug->MakePreset("short", true); // the rest keep their current values
  ASSERT_TRUE(plug->GetPreset(0)->mInitialized);
  EXPECT_EQ(plug->GetPreset(0)->mName, "first");
  EXPECT_EQ(ChunkValues(plug->GetPreset(0)), (std::vector<double>{1, 2, 0.75}));
  EXPECT_EQ(ChunkValues(plug->GetPreset(1)), (std::vector<double>{1, 0, 0.25}));
  ASSERT_TRUE(plug->RestorePreset(0));
  EXPECT_EQ(plug->Values(), (std::vector<double>{1, 2, 0.75}));
}

TEST(PluginBaseExtras, NamedParamsPresetKeepsTheOthers)
{
  const auto plug = TypedPlugin();
  plug->GetParam(1)->Set(3);
  plug->MakePresetFromNamedParams("named", 2, 2, 9.999e-8, 0, 1);
  EXPECT_EQ(ChunkValues(plug->GetPreset(0)), (std::vector<double>{1, 3, 9.999e-8}));
  plug->MakePresetFromNamedParams("bad index", 1, 17, 0.5);
  EXPECT_EQ(ChunkValues(plug->GetPreset(1)), (std::vector<double>{0, 3, 0.25}));
}

TEST(PluginBaseExtras, BlobPresetDecodesIntoAZeroFilledChunk)
{
  const auto plug = TypedPlugin();
  plug->MakePresetFromBlob("blob", "AAECAw==", 8);
  const IByteChunk& chunk = plug->GetPreset(0)->mChunk;
  ASSERT_EQ(chunk.Size(), 8);
  EXPECT_EQ(std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + 8), (std::vector<uint8_t>{0, 1, 2, 3, 0, 0, 0, 0}));
}

TEST(PluginBaseExtras, SlotHousekeeping)
{
  const auto plug = TypedPlugin(4);
  plug->MakePreset("a", 0, 0, 0.0);
  plug->MakeDefaultPreset(nullptr, 1);
  EXPECT_EQ(plug->GetPreset(1)->mName, "Empty");
  plug->PruneUninitializedPresets();
  EXPECT_EQ(plug->NPresets(), 2);

  EXPECT_FALSE(plug->RestorePreset(""));
  EXPECT_FALSE(plug->RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(plug->RestorePreset("missing"));
  EXPECT_TRUE(plug->calls.empty());
  EXPECT_TRUE(plug->RestorePreset("Empty"));
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 1);

  plug->GetParam(2)->Set(0.5);
  plug->ModifyCurrentPreset("changed");
  EXPECT_EQ(plug->GetPreset(1)->mName, "changed");
  EXPECT_EQ(ChunkValues(plug->GetPreset(1)), (std::vector<double>{0, 0, 0.5}));

  const auto fresh = TypedPlugin(3);
  fresh->MakePreset("a", 0, 0, 0.0);
  fresh->EnsureDefaultPreset();
  for (int i = 1; i < 3; ++i)
  {
    EXPECT_TRUE(fresh->GetPreset(i)->mInitialized);
    EXPECT_EQ(fresh->GetPreset(i)->mName, "Empty");
  }
}

TEST(PluginBaseExtras, FullSlotsMakeNothing)
{
  const auto plug = TypedPlugin(1);
  plug->MakePreset("a", 1, 1, 1.0);
  plug->MakePreset("b", 0, 0, 0.0);
  plug->MakePresetFromBlob("c", "AAAA", 3);
  EXPECT_EQ(plug->NPresets(), 1);
  EXPECT_EQ(plug->GetPreset(0)->mName, "a");
}

// Source text of the current preset.

TEST(PluginBaseExtras, PresetSourceTexts)
{
  const auto plug = TypedPlugin();
  plug->MakePreset("Warm", 1, 2, 0.5);
  ASSERT_TRUE(plug->RestorePreset(0));
  EXPECT_EQ(plug->GetPresetSrc(), "MakePreset(\"Warm\", true, 2, 0.500000);\n");
  EXPECT_EQ(plug->GetPresetFromNamedParamsSrc([](int i) { return "kParam" + std::to_string(i); }),
            "MakePresetFromNamedParams(\"Warm\", 3,\n  kParam0, true,\n  kParam1, 2,\n  kParam2, 0.500000);\n");
  // 1.0, 2.0 and 0.5 as little-endian doubles
  EXPECT_EQ(plug->GetPresetBlobSrc(), "MakePresetFromBlob(\"Warm\", \"AAAAAAAA8D8AAAAAAAAAQAAAAAAAAOA/\", 24);\n");
}

TEST(PluginBaseExtras, BlobSourceOfALargeChunkRoundTrips)
{
  constexpr int kParams = 400; // 3200 bytes of state
  auto plug = std::make_unique<ExtrasPlugin>(ExtrasConfig(false, kParams, 2), [](ExtrasPlugin& p) {
    for (int i = 0; i < p.NParams(); ++i)
      p.GetParam(i)->InitDouble("v", 0, 0, 1000, 1);
  });
  for (int i = 0; i < kParams; ++i)
    plug->GetParam(i)->Set(i);
  plug->MakeDefaultPreset("big", 1);
  const std::string src = plug->GetPresetBlobSrc();
  const size_t open = src.find(", \"") + 3;
  const std::string blob = src.substr(open, src.find('"', open) - open);
  EXPECT_EQ(src.substr(src.size() - 9), ", 3200);\n");

  plug->MakePresetFromBlob("copy", blob.c_str(), 3200);
  EXPECT_TRUE(plug->GetPreset(1)->mChunk.IsEqual(plug->GetPreset(0)->mChunk));
}

TEST(PluginBaseExtras, SourceOutsideTheSlotsIsEmpty)
{
  const auto plug = std::make_unique<ExtrasPlugin>(ExtrasConfig(false, 3, 0), BoolEnumDouble);
  EXPECT_EQ(plug->GetPresetBlobSrc(), "MakePresetFromBlob(\"\", \"\", 0);\n");
  EXPECT_EQ(plug->GetPresetSrc(), "MakePreset(\"\", false, 0, 0.250000);\n");
}

TEST(PluginBaseExtras, DumpsAppendToTheirFile)
{
  TempDir dir;
  const auto plug = TypedPlugin();
  plug->MakePreset("Warm", 1, 2, 0.5);
  ASSERT_TRUE(plug->RestorePreset(0));
  const std::string path = dir.PathOf("presets.txt");
  ASSERT_TRUE(plug->DumpMakePresetSrc(path.c_str()));
  ASSERT_TRUE(plug->DumpPresetBlob(path.c_str()));
  const test::Bytes bytes = TempDir::Read(path);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), plug->GetPresetSrc() + plug->GetPresetBlobSrc());
  EXPECT_FALSE(plug->DumpMakePresetSrc(dir.PathOf("missing/presets.txt").c_str()));
}

} // namespace
} // namespace plugkit
