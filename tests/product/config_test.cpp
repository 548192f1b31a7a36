// The configuration record's values that hosts and stored files see.
#include <gtest/gtest.h>

#include <string>

#include "product/VemlorConfig.h"

namespace zarvo {
namespace {

std::string fourCC(int32_t code)
{
  const auto u = static_cast<uint32_t>(code);
  return {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8), static_cast<char>(u)};
}

TEST(Config, IdentityAndEditorLimits)
{
  const plugkit::Config& c = kVemlorConfig;
  EXPECT_EQ(c.nParams, 79);
  EXPECT_EQ(c.nPresets, 73);
  EXPECT_STREQ(c.channelIOStr, "1-1 2-2");
  EXPECT_STREQ(c.pluginName, "Vemlor");
  EXPECT_STREQ(c.productName, "Vemlor");
  EXPECT_STREQ(c.makerName, "ZarvoAudio");
  EXPECT_EQ(c.version, 0x00010300);
  EXPECT_EQ(fourCC(c.uniqueId), "Vmlr");
  EXPECT_EQ(fourCC(c.makerId), "ZrvA");
  EXPECT_EQ(c.latency, 0);
  EXPECT_TRUE(c.midiIn);
  EXPECT_FALSE(c.midiOut);
  EXPECT_FALSE(c.mpe);
  EXPECT_TRUE(c.stateChunks);
  EXPECT_EQ(c.plugType, plugkit::kPlugTypeEffect);
  EXPECT_TRUE(c.hasEditor);
  EXPECT_EQ(c.editorWidth, 940);
  EXPECT_EQ(c.editorHeight, 200);
  EXPECT_EQ(c.minWidth, 470);
  EXPECT_EQ(c.maxWidth, 3760);
  EXPECT_EQ(c.minHeight, 100);
  EXPECT_EQ(c.maxHeight, 2480);
  EXPECT_FALSE(c.hostMayResize);
  EXPECT_STRNE(c.bundleId, "");
}

} // namespace
} // namespace zarvo
