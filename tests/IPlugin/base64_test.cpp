#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "IPlugin/Base64.h"

namespace {

struct Vector
{
  const char* plain;
  const char* encoded;
};

// RFC 4648, section 10.
const Vector kRfc4648[] = {
  {"", ""},
  {"f", "Zg=="},
  {"fo", "Zm8="},
  {"foo", "Zm9v"},
  {"foob", "Zm9vYg=="},
  {"fooba", "Zm9vYmE="},
  {"foobar", "Zm9vYmFy"},
};

TEST(Base64, Rfc4648TestVectors)
{
  for (const Vector& v : kRfc4648)
  {
    SCOPED_TRACE(v.plain);
    const int size = static_cast<int>(std::strlen(v.plain));
    EXPECT_EQ(plugkit::Base64Encode(reinterpret_cast<const uint8_t*>(v.plain), size), v.encoded);

    std::vector<uint8_t> decoded(8, 0);
    EXPECT_EQ(plugkit::Base64Decode(v.encoded, decoded.data(), 8), size);
    EXPECT_EQ(std::string(decoded.begin(), decoded.begin() + size), v.plain);
    EXPECT_TRUE(std::all_of(decoded.begin() + size, decoded.end(), [](uint8_t b) { return b == 0; }));
  }
}

TEST(Base64, AllByteValuesRoundTrip)
{
  std::vector<uint8_t> bytes(256);
  for (int i = 0; i < 256; ++i)
    bytes[i] = static_cast<uint8_t>(255 - i);
  const std::string text = plugkit::Base64Encode(bytes.data(), 256);
  std::vector<uint8_t> decoded(256, 0);
  EXPECT_EQ(plugkit::Base64Decode(text.c_str(), decoded.data(), 256), 256);
  EXPECT_EQ(decoded, bytes);
}

TEST(Base64, DecodingStopsAtAForeignCharacterOrAFullBuffer)
{
  uint8_t out[6] = {};
  EXPECT_EQ(plugkit::Base64Decode("Zm9v YmFy", out, 6), 3);
  EXPECT_EQ(std::string(out, out + 3), "foo");
  EXPECT_EQ(plugkit::Base64Decode("Zm9vYmFy", out, 2), 2);
  EXPECT_EQ(plugkit::Base64Decode(nullptr, out, 6), 0);
}

} // namespace
