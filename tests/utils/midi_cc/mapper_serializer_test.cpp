#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "IPlugin/IByteChunk.h"
#include "tests/utils/midi_cc/fakes.h"
#include "utils/midi_cc/mapper_serializer.h"

namespace {

using midi_cc_test::tableOf;
using zarvo::midi_cc::Mapper;
using zarvo::midi_cc::MapperZarvoAdapter;
using zarvo::midi_cc::MappingTable;
using namespace zarvo::midi_cc::mapper_serializer;

constexpr int kVersion = 0x00010300;

// {CC 1: parameter 5}, {CC 74: parameter 11 inverted on channel 2, then parameter 0 on channel 16}.
const MappingTable kGoldenTable = tableOf({{5, 1, 0.0, 1.0, 0}, {11, 74, 0.75, 0.25, 2}, {0, 74, 0.0, 0.5, 16}});

const std::vector<uint8_t> kGoldenBytes = {
  0x02, 0, 0, 0, 0,    0, 0,    0,                // two entries
  0x01, 0, 0, 0, 0x01, 0, 0,    0,    0, 0, 0, 0, // CC 1, one mapping
  0x05, 0, 0, 0, 0x01, 0, 0,    0,                // parameter 5, CC 1
  0,    0, 0, 0, 0,    0, 0,    0,                // min 0.0
  0,    0, 0, 0, 0,    0, 0xF0, 0x3F,             // max 1.0
  0,    0, 0, 0,                                  // any channel
  0x4A, 0, 0, 0, 0x02, 0, 0,    0,    0, 0, 0, 0, // CC 74, two mappings
  0x0B, 0, 0, 0, 0x4A, 0, 0,    0,                // parameter 11, CC 74
  0,    0, 0, 0, 0,    0, 0xE8, 0x3F,             // min 0.75
  0,    0, 0, 0, 0,    0, 0xD0, 0x3F,             // max 0.25
  0x02, 0, 0, 0,                                  // channel 2
  0x00, 0, 0, 0, 0x4A, 0, 0,    0,                // parameter 0, CC 74
  0,    0, 0, 0, 0,    0, 0,    0,                // min 0.0
  0,    0, 0, 0, 0,    0, 0xE0, 0x3F,             // max 0.5
  0x10, 0, 0, 0,                                  // channel 16
};

std::vector<uint8_t> bytesOf(const plugkit::IByteChunk& chunk)
{
  return {chunk.GetData(), chunk.GetData() + chunk.Size()};
}

plugkit::IByteChunk chunkOf(const std::vector<uint8_t>& bytes)
{
  plugkit::IByteChunk chunk;
  chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

TEST(MapperChunk, WritesTheGoldenSectionAndReadsItBackByteForByte)
{
  Mapper written;
  written.replaceMappings(kGoldenTable);
  plugkit::IByteChunk chunk;
  chunk.Put(int32_t{kVersion}); // the section sits after the version word in a state chunk
  serialize(written, chunk);
  std::vector<uint8_t> section(chunk.GetData() + 4, chunk.GetData() + chunk.Size());
  ASSERT_EQ(section, kGoldenBytes);

  Mapper read;
  EXPECT_EQ(unserialize(read, chunk, 4, kVersion), chunk.Size());
  EXPECT_EQ(read.mappings(), kGoldenTable);
  plugkit::IByteChunk again;
  serialize(read, again);
  EXPECT_EQ(bytesOf(again), kGoldenBytes);
}

TEST(MapperChunk, EmptyMapIsEightZeroBytes)
{
  Mapper empty;
  plugkit::IByteChunk chunk;
  serialize(empty, chunk);
  EXPECT_EQ(bytesOf(chunk), std::vector<uint8_t>(8, 0));

  Mapper read;
  read.replaceMappings(kGoldenTable);
  EXPECT_EQ(unserialize(read, chunk, 0, kVersion), 8);
  EXPECT_TRUE(read.mappings().empty());
}

TEST(MapperChunk, ReadsLegacyRecordsWithoutChannel)
{
  plugkit::IByteChunk chunk;
  chunk.Put(uint64_t{1});
  chunk.Put(int32_t{7});
  chunk.Put(uint64_t{2});
  for (int32_t param : {3, 4})
  {
    chunk.Put(param);
    chunk.Put(int32_t{7});
    chunk.Put(0.1 * param);
    chunk.Put(1.0);
  }
  chunk.Put(int32_t{-99}); // whatever follows the section

  Mapper read;
  EXPECT_EQ(unserialize(read, chunk, 0, 0x200), 8 + 12 + 2 * 24);
  EXPECT_EQ(read.mappings(), tableOf({{3, 7, 0.1 * 3, 1.0, 0}, {4, 7, 0.1 * 4, 1.0, 0}}));
}

TEST(MapperChunk, RepeatedCCNumberReplacesTheEarlierList)
{
  plugkit::IByteChunk chunk;
  chunk.Put(uint64_t{2});
  for (int32_t param : {3, 4})
  {
    chunk.Put(int32_t{7});
    chunk.Put(uint64_t{1});
    chunk.Put(param);
    chunk.Put(int32_t{7});
    chunk.Put(0.0);
    chunk.Put(1.0);
    chunk.Put(int32_t{0});
  }
  Mapper read;
  EXPECT_EQ(unserialize(read, chunk, 0, kVersion), chunk.Size());
  EXPECT_EQ(read.mappings(), tableOf({{4, 7, 0.0, 1.0, 0}}));
}

struct CorruptChunkCase
{
  const char* name;
  std::vector<uint8_t> bytes;
  int startPos;
};

void PrintTo(const CorruptChunkCase& c, std::ostream* os) { *os << c.name; }

std::vector<uint8_t> goldenWith(size_t keep, std::vector<uint8_t> tail = {})
{
  std::vector<uint8_t> bytes(kGoldenBytes.begin(), kGoldenBytes.begin() + keep);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

const CorruptChunkCase kCorruptChunks[] = {
  {"EmptyChunk", {}, 0},
  {"NegativeStartPosition", kGoldenBytes, -1},
  {"StartPositionPastTheEnd", kGoldenBytes, 200},
  {"CountCutShort", {2, 0, 0, 0}, 0},
  {"EntryCountBeyondTheBytes",
   [] {
     auto b = kGoldenBytes;
     b[0] = 3;
     return b;
   }(),
   0},
  {"HugeEntryCountAndNothingElse", std::vector<uint8_t>(8, 0xFF), 0},
  {"HugeMappingCount", goldenWith(12, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), 0},
  {"RecordCutShort", goldenWith(40), 0},
  {"LastRecordCutShort", goldenWith(kGoldenBytes.size() - 1), 0},
};

class MapperChunkCorrupt : public testing::TestWithParam<CorruptChunkCase>
{};

TEST_P(MapperChunkCorrupt, FailsAndLeavesTheMapAndLearnAlone)
{
  const CorruptChunkCase& c = GetParam();
  const MappingTable live = tableOf({{9, 20, 0.3, 0.6, 1}});
  Mapper mapper;
  mapper.replaceMappings(live);
  mapper.setLearningForParam(4, true);

  EXPECT_EQ(unserialize(mapper, chunkOf(c.bytes), c.startPos, kVersion), -1);
  EXPECT_EQ(mapper.mappings(), live);
  EXPECT_TRUE(mapper.isLearning());
  EXPECT_EQ(mapper.listeningParam(), 4);
}

INSTANTIATE_TEST_SUITE_P(MapperChunk, MapperChunkCorrupt, testing::ValuesIn(kCorruptChunks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MapperChunk, NonFiniteRangeEndsReadAsTheFullRange)
{
  plugkit::IByteChunk chunk;
  chunk.Put(uint64_t{1});
  chunk.Put(int32_t{7});
  chunk.Put(uint64_t{1});
  chunk.Put(int32_t{3});
  chunk.Put(int32_t{7});
  chunk.Put(std::numeric_limits<double>::quiet_NaN());
  chunk.Put(std::numeric_limits<double>::infinity());
  chunk.Put(int32_t{2});
  Mapper read;
  EXPECT_EQ(unserialize(read, chunk, 0, kVersion), chunk.Size());
  EXPECT_EQ(read.mappings(), tableOf({{3, 7, 0.0, 1.0, 2}}));
}

struct LineCase
{
  const char* name;
  MappingTable table;
  std::vector<std::string> lines;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

const LineCase kWrittenLines[] = {
  {"FullRangeAnyChannel", tableOf({{11, 74, 0.0, 1.0, 0}}), {"74 11 0 1 0"}},
  {"RangeAndChannel", tableOf({{11, 74, 0.25, 0.8, 2}}), {"74 11 0.25 0.8 2"}},
  {"OneThird", tableOf({{3, 1, 1.0 / 3.0, 1.0, 0}}), {"1 3 0.3333333333 1 0"}},
  {"TenSignificantDigits", tableOf({{3, 1, 0.1234567890123, 1.0, 0}}), {"1 3 0.123456789 1 0"}},
  {"AscendingCCThenListOrder",
   tableOf({{11, 74, 0.0, 1.0, 0}, {0, 74, 1.0, 0.0, 0}, {5, 1, 0.0, 1.0, 16}}),
   {"1 5 0 1 16", "74 11 0 1 0", "74 0 1 0 0"}},
  {"EmptyListWritesNoLine", MappingTable{{5, {}}}, {}},
};

class MapperLinesWrite : public testing::TestWithParam<LineCase>
{};

TEST_P(MapperLinesWrite, MatchesTheTextForm)
{
  EXPECT_EQ(MapperZarvoAdapter::toLines(GetParam().table), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(MapperLines, MapperLinesWrite, testing::ValuesIn(kWrittenLines),
                         [](const auto& info) { return std::string(info.param.name); });

const LineCase kReadLines[] = {
  {"ValidLine", tableOf({{11, 74, 0.25, 0.8, 2}}), {"74 11 0.25 0.8 2"}},
  {"SixthWordIgnored", tableOf({{11, 74, 0.25, 0.8, 2}}), {"74 11 0.25 0.8 2 extra"}},
  {"AnyWhiteSpaceAndSigns", tableOf({{11, 74, -0.5, 1.5, 0}}), {"\t74  +11 -0.5\t1.5e0 0"}},
  {"PlusBeforeMinusReadsTheMinus", tableOf({{11, 74, -0.5, 1.0, 0}}), {"74 11 +-0.5 1 0"}},
  {"NumberRunningIntoAWordSkipped", {}, {"74 11 0.5x 1 0"}},
  {"MissingChannelSkipped", {}, {"74 11 0.25 0.8"}},
  {"CC128Skipped", {}, {"128 11 0 1 0"}},
  {"NegativeCCSkipped", {}, {"-1 11 0 1 0"}},
  {"NegativeParameterSkipped", {}, {"74 -1 0 1 0"}},
  {"NonNumberSkipped", {}, {"74 x 0 1 0"}},
  {"NonFiniteSkipped", {}, {"74 11 nan 1 0", "74 11 0 inf 0"}},
  {"IntegerOverflowSkipped", {}, {"74 99999999999 0 1 0"}},
  {"EmptyAndCommentLinesSkipped", tableOf({{3, 1, 0.0, 1.0, 0}}), {"", "# comment", "1 3 0 1 0"}},
  {"SameCCKeepsLineOrder", tableOf({{11, 74, 0.0, 1.0, 0}, {0, 74, 0.0, 1.0, 0}}), {"74 11 0 1 0", "74 0 0 1 0"}},
  {"DuplicateLinesGiveDuplicateMappings",
   tableOf({{11, 74, 0.0, 1.0, 0}, {11, 74, 0.0, 1.0, 0}}),
   {"74 11 0 1 0", "74 11 0 1 0"}},
};

class MapperLinesRead : public testing::TestWithParam<LineCase>
{};

TEST_P(MapperLinesRead, BuildsTheMap) { EXPECT_EQ(MapperZarvoAdapter::fromLines(GetParam().lines), GetParam().table); }

INSTANTIATE_TEST_SUITE_P(MapperLines, MapperLinesRead, testing::ValuesIn(kReadLines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MapperLines, RoundTripWithinTenSignificantDigits)
{
  const MappingTable table = tableOf({{11, 74, 0.123456789, 0.987654321, 2}, {0, 74, 1.0 / 3.0, 0.0, 16}});
  const MappingTable read = MapperZarvoAdapter::fromLines(MapperZarvoAdapter::toLines(table));
  ASSERT_EQ(read.size(), 1u);
  ASSERT_EQ(read.at(74).size(), 2u);
  for (size_t i = 0; i < 2; ++i)
  {
    const auto& a = table.at(74)[i];
    const auto& b = read.at(74)[i];
    EXPECT_EQ(b.paramId, a.paramId);
    EXPECT_EQ(b.cc, a.cc);
    EXPECT_EQ(b.channel, a.channel);
    EXPECT_NEAR(b.min, a.min, 1e-10);
    EXPECT_NEAR(b.max, a.max, 1e-10);
  }
}

} // namespace
