#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "IPlugin/IPluginBase.h"
#include "recording_plugin.h"

namespace plugkit {
namespace {

namespace fs = std::filesystem;
using test::RecordingPlugin;
using test::TestConfig;
using Bytes = std::vector<uint8_t>;
using Calls = std::vector<std::string>;

class FXPTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mDir =
      fs::temp_directory_path() / ("fxp-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                   "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(mDir);
  }
  void TearDown() override { fs::remove_all(mDir); }

  std::string PathOf(const char* name) const { return (mDir / name).string(); }

  std::string Write(const char* name, const Bytes& bytes) const
  {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  static Bytes Read(const std::string& path)
  {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }

  fs::path mDir;
};

void Append(Bytes& bytes, const char* text, size_t n)
{
  for (size_t i = 0; i < n; ++i)
    bytes.push_back(static_cast<uint8_t>(text[i]));
}

void AppendBE(Bytes& bytes, uint32_t v)
{
  bytes.insert(bytes.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

void AppendLE(Bytes& bytes, double v)
{
  const uint64_t bits = std::bit_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i)
    bytes.push_back(uint8_t(bits >> (8 * i)));
}

// The 56-byte header written by hand from the container's layout.
Bytes Header(const char* variant, uint32_t byteSize, uint32_t fxID = 0x566D6C72 /* Vmlr */, uint32_t version = 1,
             const char* name = "Warm")
{
  Bytes bytes;
  Append(bytes, "CcnK", 4);
  AppendBE(bytes, byteSize);
  Append(bytes, variant, 4);
  AppendBE(bytes, version);
  AppendBE(bytes, fxID);
  AppendBE(bytes, 10300);
  AppendBE(bytes, 3);
  char prgName[28] = {};
  std::string(name).copy(prgName, 27);
  Append(bytes, prgName, 28);
  return bytes;
}

// A chunk file holding the given parameter values as the default state.
Bytes ChunkFile(const std::vector<double>& values, bool withTffp = true)
{
  const uint32_t inner = static_cast<uint32_t>(values.size() * 8 + (withTffp ? 8 : 0));
  Bytes bytes = Header("FPCh", inner + 60);
  AppendBE(bytes, inner);
  if (withTffp)
  {
    Append(bytes, "tffp", 4);
    bytes.insert(bytes.end(), {0x00, 0x00, 0x01, 0x00});
  }
  for (double v : values)
    AppendLE(bytes, v);
  return bytes;
}

std::vector<double> ValuesOf(const IPluginBase& plug)
{
  std::vector<double> values;
  for (int i = 0; i < plug.NParams(); ++i)
    values.push_back(plug.GetParam(i)->Value());
  return values;
}

TEST_F(FXPTest, ChunkPresetFileHasTheContainerLayout)
{
  RecordingPlugin plug;
  IByteChunk state;
  state.Put(0.75);
  state.Put(-3.0);
  state.Put(42.5);
  plug.MakePresetFromChunk("Warm", state);
  ASSERT_TRUE(plug.RestorePreset(0));

  const std::string path = PathOf("warm.fxp");
  ASSERT_TRUE(plug.SavePresetAsFXP(path.c_str()));
  EXPECT_EQ(Read(path), ChunkFile({0.75, -3.0, 42.5}));
  // Written beside and renamed: nothing else is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(mDir), fs::directory_iterator()), 1);
}

TEST_F(FXPTest, ParameterPresetFileHoldsNormalisedFloats)
{
  RecordingPlugin plug(TestConfig(false));
  plug.GetParam(1)->Set(5.0);   // -10..10: 0.75
  plug.GetParam(2)->Set(100.0); // 0..100: 1
  plug.MakePresetFromChunk("Warm", IByteChunk());

  const std::string path = PathOf("params.fxp");
  ASSERT_TRUE(plug.SavePresetAsFXP(path.c_str()));
  Bytes expected = Header("FxCk", 0);
  for (float v : {0.5f, 0.75f, 1.0f})
    AppendBE(expected, std::bit_cast<uint32_t>(v));
  EXPECT_EQ(Read(path), expected);
}

// A state of exactly 1000 bytes, to check the size fields.
class BigStatePlugin : public RecordingPlugin
{
public:
  bool SerializeState(IByteChunk& chunk) const override
  {
    for (int i = 0; i < 1000; ++i)
      chunk.Put(uint8_t(i));
    return true;
  }
};

TEST_F(FXPTest, SizeFieldsAndCutName)
{
  BigStatePlugin plug;
  const std::string longName = "A preset name of forty characters, long!";
  ASSERT_EQ(longName.size(), 40u);
  plug.MakePresetFromChunk(longName.c_str(), IByteChunk());

  const std::string path = PathOf("big.fxp");
  ASSERT_TRUE(plug.SavePresetAsFXP(path.c_str()));
  const Bytes file = Read(path);
  ASSERT_EQ(file.size(), 1068u);
  const auto be32 = [&](size_t at) {
    return (uint32_t(file[at]) << 24) | (uint32_t(file[at + 1]) << 16) | (uint32_t(file[at + 2]) << 8) | file[at + 3];
  };
  EXPECT_EQ(be32(4), 1068u);
  EXPECT_EQ(be32(56), 1008u);
  EXPECT_EQ(std::string(file.begin() + 28, file.begin() + 56), longName.substr(0, 27) + '\0');
}

TEST_F(FXPTest, SaveFailuresLeaveAnExistingFileAlone)
{
  class FailingPlugin : public RecordingPlugin
  {
  public:
    bool SerializeState(IByteChunk&) const override { return false; }
  };
  FailingPlugin plug;
  const Bytes original = ChunkFile({0.1, 1.0, 2.0});
  const std::string path = Write("keep.fxp", original);
  EXPECT_FALSE(plug.SavePresetAsFXP(path.c_str()));
  EXPECT_EQ(Read(path), original);
  EXPECT_FALSE(plug.SavePresetAsFXP(""));
  EXPECT_FALSE(plug.SavePresetAsFXP(PathOf("no/such/folder/x.fxp").c_str()));
}

TEST_F(FXPTest, LoadingAppliesTheFileAndAnnouncesIt)
{
  struct Case
  {
    const char* name;
    bool stateChunks;
    Bytes file;
    std::vector<double> expected;
  };
  Bytes params = Header("FxCk", 0);
  for (float v : {0.25f, 0.75f, 0.5f})
    AppendBE(params, std::bit_cast<uint32_t>(v));
  Bytes twoParams = Header("FxCk", 0);
  for (float v : {0.25f, 0.75f})
    AppendBE(twoParams, std::bit_cast<uint32_t>(v));
  Bytes outOfRange = Header("FxCk", 0);
  for (float v : {-0.5f, 2.0f, std::bit_cast<float>(0x7FC00000u)})
    AppendBE(outOfRange, std::bit_cast<uint32_t>(v));

  const Case cases[] = {
    {"chunk", true, ChunkFile({0.75, -3.0, 42.5}), {0.75, -3.0, 42.5}},
    {"chunk without tffp is read from offset 60", true, ChunkFile({0.75, -3.0, 42.5}, false), {0.75, -3.0, 42.5}},
    {"parameter list", true, params, {0.25, 5.0, 50.0}},
    {"parameter list, chunks off", false, params, {0.25, 5.0, 50.0}},
    {"short parameter list keeps the rest", true, twoParams, {0.25, 5.0, 10.0}},
    {"parameter list out of range is clamped", true, outOfRange, {0.0, 10.0, 10.0}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    RecordingPlugin plug(TestConfig(c.stateChunks));
    ASSERT_TRUE(plug.LoadStateFromFXP(Write("in.fxp", c.file).c_str()));
    EXPECT_EQ(ValuesOf(plug), c.expected);
    ASSERT_GE(plug.calls.size(), 2u);
    EXPECT_EQ(Calls(plug.calls.end() - 2, plug.calls.end()), (Calls{"restore", "presetChange"}));
    // Every parameter reaches the change handlers as a recalled value before the restore.
    const auto restore = std::find(plug.calls.begin(), plug.calls.end(), "restore");
    for (int i = 0; i < plug.NParams(); ++i)
    {
      EXPECT_NE(std::find(plug.calls.begin(), restore, "change " + std::to_string(i) + " recall -1"), restore)
        << "parameter " << i;
    }
  }
}

TEST_F(FXPTest, RejectedFilesChangeNothing)
{
  const Bytes good = ChunkFile({0.75, -3.0, 42.5});
  const auto with = [&](size_t at, const char* bytes) {
    Bytes b = good;
    std::copy(bytes, bytes + 4, b.begin() + static_cast<long>(at));
    return b;
  };
  const auto cut = [](Bytes b, size_t n) {
    b.resize(n);
    return b;
  };
  Bytes tffpOnly = Header("FPCh", 68);
  AppendBE(tffpOnly, 8);
  Append(tffpOnly, "tffp", 4); // 64 bytes: the framework version word is missing
  Bytes shortParams = cut(Header("FxCk", 0), 40);

  struct Case
  {
    const char* name;
    bool stateChunks;
    Bytes file;
  };
  const Case cases[] = {
    {"foreign plug-in id", true, with(16, "Othr")},
    {"container version 2", true, with(12, "\0\0\0\2")},
    {"not a container", true, with(0, "RIFF")},
    {"unknown variant", true, with(8, "FBCh")},
    {"chunk variant with chunks off", false, good},
    {"shorter than 20 bytes", true, cut(good, 19)},
    {"header cut at 40 bytes", true, cut(good, 40)},
    {"chunk file of 58 bytes", true, cut(good, 58)},
    {"tffp without the version word", true, tffpOnly},
    {"parameter list cut inside the header", true, shortParams},
    {"empty file", true, {}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    RecordingPlugin plug(TestConfig(c.stateChunks));
    const std::vector<double> before = ValuesOf(plug);
    EXPECT_FALSE(plug.LoadStateFromFXP(Write("bad.fxp", c.file).c_str()));
    EXPECT_EQ(ValuesOf(plug), before);
    EXPECT_TRUE(plug.calls.empty());
  }

  // The state reader itself refuses a state too short for the parameters: the load fails unannounced.
  RecordingPlugin plug;
  EXPECT_FALSE(plug.LoadStateFromFXP(Write("short.fxp", cut(good, 68 + 16)).c_str()));
  EXPECT_EQ(std::count(plug.calls.begin(), plug.calls.end(), "restore"), 0);
  EXPECT_EQ(std::count(plug.calls.begin(), plug.calls.end(), "presetChange"), 0);

  EXPECT_FALSE(plug.LoadStateFromFXP(PathOf("missing.fxp").c_str()));
  EXPECT_FALSE(plug.LoadStateFromFXP(""));
  EXPECT_FALSE(plug.LoadStateFromFXP(mDir.string().c_str()));
}

} // namespace
} // namespace plugkit
