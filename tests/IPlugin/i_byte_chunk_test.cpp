#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "IPlugin/IByteChunk.h"

namespace {
using plugkit::IByteChunk;

std::vector<uint8_t> BytesOf(const IByteChunk& chunk) { return {chunk.GetData(), chunk.GetData() + chunk.Size()}; }

TEST(IByteChunk, TypedPutsAreLittleEndianAndRoundTrip)
{
  IByteChunk chunk;
  EXPECT_EQ(chunk.Put(int32_t{0x01020304}), 4);
  EXPECT_EQ(chunk.Put(true), 5);
  EXPECT_EQ(chunk.PutStr("ab"), 11);
  EXPECT_EQ(chunk.Put(int64_t{-2}), 19);
  EXPECT_EQ(chunk.Put(0.1), 27);
  EXPECT_EQ(chunk.PutBytes("xyz", 3), 30);

  const std::vector<uint8_t> head(chunk.GetData(), chunk.GetData() + 11);
  EXPECT_EQ(head, (std::vector<uint8_t>{4, 3, 2, 1, 1, 2, 0, 0, 0, 'a', 'b'}));

  int32_t i32 = 0;
  bool flag = false;
  TextString text;
  int64_t i64 = 0;
  double d = 0;
  char bytes[3] = {};
  int pos = chunk.Get(i32, 0);
  pos = chunk.Get(flag, pos);
  pos = chunk.GetStr(text, pos);
  pos = chunk.Get(i64, pos);
  pos = chunk.Get(d, pos);
  pos = chunk.GetBytes(bytes, 3, pos);
  EXPECT_EQ(pos, chunk.Size());
  EXPECT_EQ(i32, 0x01020304);
  EXPECT_TRUE(flag);
  EXPECT_STREQ(text.Get(), "ab");
  EXPECT_EQ(i64, -2);
  EXPECT_EQ(d, 0.1);
  EXPECT_EQ(std::string(bytes, 3), "xyz");
}

struct BadReadCase
{
  const char* name;
  std::vector<uint8_t> bytes;
  int startPos;
  int (*read)(const IByteChunk&, int pos); // reads into a sentinel; returns the result, or -2 if it was touched
};

template <typename T>
int ReadValue(const IByteChunk& chunk, int pos)
{
  T value = T(77);
  const int result = chunk.Get(value, pos);
  return value == T(77) ? result : -2;
}

int ReadStr(const IByteChunk& chunk, int pos)
{
  TextString text("sentinel");
  const int result = chunk.GetStr(text, pos);
  return std::string(text.Get()) == "sentinel" ? result : -2;
}

const BadReadCase kBadReads[] = {
  {"NegativePosition", {1, 2, 3, 4}, -1, ReadValue<int32_t>},
  {"PositionAtEnd", {1, 2, 3, 4}, 4, ReadValue<int32_t>},
  {"Int32OneByteShort", {1, 2, 3}, 0, ReadValue<int32_t>},
  {"DoubleOneByteShort", {0, 0, 0, 0, 0, 0, 0, 0}, 1, ReadValue<double>},
  {"Int64OnEmptyChunk", {}, 0, ReadValue<int64_t>},
  {"BoolPastEnd", {1}, 1, ReadValue<bool>},
  {"StringLengthPastEnd", {3, 0, 0, 0, 'a', 'b'}, 0, ReadStr},
  {"StringNegativeLength", {0xff, 0xff, 0xff, 0xff, 'a'}, 0, ReadStr},
  {"StringLengthFieldShort", {2, 0, 0}, 0, ReadStr},
};

class IByteChunkBadRead : public testing::TestWithParam<BadReadCase>
{};

TEST_P(IByteChunkBadRead, FailsWithoutReading)
{
  const BadReadCase& c = GetParam();
  IByteChunk chunk;
  chunk.PutBytes(c.bytes.data(), static_cast<int>(c.bytes.size()));
  EXPECT_EQ(c.read(chunk, c.startPos), -1);
}

INSTANTIATE_TEST_SUITE_P(OutOfRange, IByteChunkBadRead, testing::ValuesIn(kBadReads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IByteChunk, CopiesAreIndependentAndClearReleases)
{
  IByteChunk chunk;
  chunk.Put(int32_t{7});
  IByteChunk copy(chunk);
  chunk.Put(int32_t{8});
  EXPECT_EQ(copy.Size(), 4);
  EXPECT_FALSE(copy.IsEqual(chunk));

  chunk.PutChunk(chunk);
  EXPECT_EQ(BytesOf(chunk), (std::vector<uint8_t>{7, 0, 0, 0, 8, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0}));

  chunk.Clear();
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(chunk.GetData(), nullptr);
  EXPECT_EQ(copy.Size(), 4);
}

} // namespace
