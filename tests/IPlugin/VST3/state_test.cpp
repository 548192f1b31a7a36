// Saving and restoring through the component state: the chunk, the bypass word after it, delivery in
// pieces, and states that must be refused.
#include "tests/IPlugin/VST3/host_session.h"
#include "product/params/params.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr ParamID kBypassId = 65536;

// A patch away from the defaults: gain, oversampling, main pass type, morph Y, note-mode switch.
const std::pair<ParamID, double> kPatch[] = {{30, 0.8}, {28, 1.0}, {16, 0.6}, {58, 0.125}, {32, 1.0}};

void applyPatch(HostSession& s)
{
  for (const auto& [id, value] : kPatch)
    ASSERT_EQ(s.controller().setParamNormalized(id, value), kResultOk);
}

std::vector<double> productValues(HostSession& s)
{
  std::vector<double> values;
  for (ParamID id = 0; id < 79; ++id)
    values.push_back(s.controller().getParamNormalized(id));
  return values;
}

// Host objects hold what the host wrote; after a restore they hold the value the parameter mapped
// back, which may differ in the last bit.
void expectSameValues(const std::vector<double>& actual, const std::vector<double>& expected)
{
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i)
    EXPECT_NEAR(actual[i], expected[i], 1e-12) << "parameter " << i;
}

struct DeliveryCase
{
  const char* name;
  size_t offset; // bytes before the state in the host's stream
  int32 piece;   // most bytes one read delivers
};

TEST(VemlorState, ASavedStateRestoresByteForByteHoweverItIsDelivered)
{
  const DeliveryCase cases[] = {
    {"in one read", 0, 1 << 20},
    {"one byte at a time after 3 other bytes", 3, 1},
    {"pieces of 100 after 17 other bytes", 17, 100},
    {"pieces of exactly the read size", 0, 128},
  };
  HostSession source(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(source) << source.error;
  applyPatch(source);
  const auto saved = source.plugin->getState();
  ASSERT_TRUE(saved);
  ASSERT_EQ(source.plugin->setState(*saved), true);
  ASSERT_EQ(source.plugin->getState(), saved) << "get, set, get";

  for (const DeliveryCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    HostSession target(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(target) << target.error;
    std::vector<uint8_t> bytes(c.offset, 0xEE);
    bytes.insert(bytes.end(), saved->begin(), saved->end());
    PieceStream stream(bytes, static_cast<int64_t>(c.offset), c.piece);
    ASSERT_EQ(target.plugin->component()->setState(&stream), kResultOk);
    EXPECT_EQ(target.plugin->getState(), saved);
    expectSameValues(productValues(target), productValues(source));
  }
}

struct BypassWordCase
{
  const char* name;
  const char* bundle;
  double bypass;
  uint8_t word; // first byte of the little-endian word; the other three are 0
};

TEST(VST3State, TheBypassWordFollowsTheChunkAndRestoresOnlyTheBypassParameter)
{
  const BypassWordCase cases[] = {
    {"Vemlor playing", VEMLOR_BUNDLE_PATH, 0.0, 0},
    {"Vemlor bypassed", VEMLOR_BUNDLE_PATH, 1.0, 1},
    {"echo bypassed", ECHO_BUNDLE_PATH, 1.0, 1},
  };
  for (const BypassWordCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> saved;
    {
      HostSession source(c.bundle);
      ASSERT_TRUE(source) << source.error;
      ASSERT_TRUE(source.plugin->startProcessing({}));
      source.plugin->addParameterChange(kBypassId, 0, c.bypass);
      ASSERT_TRUE(source.plugin->process(64).clean());
      saved = source.plugin->getState().value_or(std::vector<uint8_t>{});
    }
    ASSERT_GE(saved.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(saved.end() - 4, saved.end()), (std::vector<uint8_t>{c.word, 0, 0, 0}));

    HostSession target(c.bundle);
    ASSERT_TRUE(target) << target.error;
    ASSERT_TRUE(target.plugin->setState(saved));
    EXPECT_EQ(target.controller().getParamNormalized(kBypassId), c.bypass);

    // The processor follows the bypass parameter only when the host sends it: audio is not delayed.
    ASSERT_TRUE(target.plugin->startProcessing({}));
    std::mt19937 random(2);
    std::uniform_real_distribution<double> level(-1.0, 1.0);
    for (int32 i = 0; i < 64; ++i)
      target.plugin->input(0, 0)[i] = static_cast<float>(level(random));
    target.plugin->addParameterChange(zarvo::par_dry_wet, 0, 0.0);
    target.plugin->addParameterChange(zarvo::par_morph_active, 0, 0.0);
    ASSERT_TRUE(target.plugin->process(64).clean());
    EXPECT_TRUE(std::equal(target.plugin->input(0, 0), target.plugin->input(0, 0) + 64, target.plugin->output(0, 0)));
  }
}

TEST(VemlorState, AStreamWithoutTheBypassWordStillRestores)
{
  HostSession source(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(source) << source.error;
  applyPatch(source);
  auto saved = source.plugin->getState();
  ASSERT_TRUE(saved);
  std::vector<uint8_t> chunkOnly(saved->begin(), saved->end() - 4);

  HostSession target(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(target) << target.error;
  ASSERT_EQ(target.controller().setParamNormalized(kBypassId, 1.0), kResultOk);
  ASSERT_TRUE(target.plugin->setState(chunkOnly));
  expectSameValues(productValues(target), productValues(source));
  EXPECT_EQ(target.controller().getParamNormalized(kBypassId), 0.0);
  EXPECT_EQ(target.plugin->getState(), saved);
}

// Where the parameter section begins: its count, the f64 79.0.
size_t countPosition(const std::vector<uint8_t>& state)
{
  const double count = 79.0;
  const auto* pattern = reinterpret_cast<const uint8_t*>(&count);
  return static_cast<size_t>(std::search(state.begin(), state.end(), pattern, pattern + 8) - state.begin());
}

struct CorruptCase
{
  const char* name;
  std::vector<uint8_t> (*corrupt)(std::vector<uint8_t> state);
};

std::vector<uint8_t> withCount(std::vector<uint8_t> state, double count)
{
  std::memcpy(state.data() + countPosition(state), &count, 8);
  return state;
}

TEST(VemlorState, ACorruptStateIsRefusedAndChangesNothing)
{
  const CorruptCase cases[] = {
    {"empty", [](std::vector<uint8_t>) { return std::vector<uint8_t>{}; }},
    {"cut inside the version", [](std::vector<uint8_t> s) { return std::vector<uint8_t>(s.begin(), s.begin() + 2); }},
    {"cut before the parameter count",
     [](std::vector<uint8_t> s) {
       return std::vector<uint8_t>(s.begin(), s.begin() + static_cast<long>(countPosition(s)));
     }},
    {"a later major version",
     [](std::vector<uint8_t> s) {
       s[2] = 2;
       s[3] = 0;
       return s;
     }},
    {"parameter count not a number", [](std::vector<uint8_t> s) { return withCount(std::move(s), std::nan("")); }},
    {"parameter count 1025", [](std::vector<uint8_t> s) { return withCount(std::move(s), 1025.0); }},
    {"parameter count -1", [](std::vector<uint8_t> s) { return withCount(std::move(s), -1.0); }},
  };
  std::vector<uint8_t> valid;
  {
    HostSession source(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(source) << source.error;
    valid = source.plugin->getState().value_or(std::vector<uint8_t>{});
  }
  ASSERT_LT(countPosition(valid), valid.size());

  for (const CorruptCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    HostSession target(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(target) << target.error;
    applyPatch(target);
    const auto before = target.plugin->getState();
    const auto valuesBefore = productValues(target);
    EXPECT_FALSE(target.plugin->setState(c.corrupt(valid)));
    EXPECT_EQ(target.plugin->getState(), before);
    expectSameValues(productValues(target), valuesBefore);
  }
}

} // namespace
} // namespace vemlor::testhost
