#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "IGfx/IFontData.h"
#include "IGfx/IFontInfo.h"
#include "IGfx/PlatformFont.h"
#include "tests/IGfx/Drawing/font_bytes.h"

using namespace plugkit::gfx;
using namespace gfx_test;

namespace {
IFontInfo Info(const Bytes& b, int face) { return IFontInfo(b.data(), static_cast<uint32_t>(b.size()), face); }
} // namespace

TEST(FontInfo, RealFilesGiveTheirNamesAndOnlyExistingFaces)
{
  struct Case
  {
    const char* name;
    std::string path;
    int face;
    bool valid;
    const char* family;
    const char* style;
  } cases[] = {
    {"roboto regular", RobotoPath("Roboto-Regular.ttf"), 0, true, "Roboto", "Regular"},
    {"roboto bold", RobotoPath("Roboto-Bold.ttf"), 0, true, "Roboto", "Bold"},
    {"a single face has no face 1", RobotoPath("Roboto-Regular.ttf"), 1, false, "", ""},
    {"roboto mono", RobotoMonoPath(), 0, true, "Roboto Mono", "Regular"},
    {"icon font", IconFontPath(), 0, true, "Material Design Icons", "Regular"},
    {"collection face 0", VEMLOR_TTC_FONT, 0, true, "WenQuanYi Micro Hei", "Regular"},
    {"collection face 1", VEMLOR_TTC_FONT, 1, true, "WenQuanYi Micro Hei Mono", "Regular"},
    {"collection has two faces", VEMLOR_TTC_FONT, 2, false, "", ""},
    {"negative face", RobotoPath("Roboto-Regular.ttf"), -1, false, "", ""},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const Bytes bytes = ReadFile(c.path);
    ASSERT_FALSE(bytes.empty()) << c.path;
    const IFontInfo info = Info(bytes, c.face);
    EXPECT_EQ(info.IsValid(), c.valid);
    EXPECT_STREQ(info.GetFamily().Get(), c.family);
    EXPECT_STREQ(info.GetStyle().Get(), c.style);
    if (c.valid)
    {
      EXPECT_GT(info.GetUnitsPerEM(), 0);
      EXPECT_GT(info.GetAscender(), info.GetDescender());
    }
  }
}

TEST(FontInfo, FaceOfACollectionIsFoundByStyle)
{
  const Bytes regular = ReadFile(RobotoPath("Roboto-Regular.ttf"));
  const Bytes bold = ReadFile(RobotoPath("Roboto-Bold.ttf"));
  const Bytes ttc = MakeCollection({regular, bold});
  const int size = static_cast<int>(ttc.size());

  EXPECT_EQ(PlatformFont::GetFaceIdx(ttc.data(), size, "Bold"), 1);
  EXPECT_EQ(PlatformFont::GetFaceIdx(ttc.data(), size, "Regular"), 0);
  EXPECT_EQ(PlatformFont::GetFaceIdx(ttc.data(), size, ""), 0);
  EXPECT_EQ(PlatformFont::GetFaceIdx(ttc.data(), size, "Italic"), -1);
  EXPECT_STREQ(Info(ttc, 1).GetStyle().Get(), "Bold");
  EXPECT_EQ(Info(ttc, 1).GetUnitsPerEM(), Info(bold, 0).GetUnitsPerEM());

  const Bytes single = ReadFile(RobotoPath("Roboto-Regular.ttf"));
  EXPECT_EQ(PlatformFont::GetFaceIdx(single.data(), static_cast<int>(single.size()), ""), 0);
  EXPECT_EQ(PlatformFont::GetFaceIdx(nullptr, 0, ""), -1);
}

TEST(FontInfo, CollectionHeaderIsChecked)
{
  const Bytes face = MakeFont(2048, 1900, -500, WindowsNames("F", "Regular"));
  struct Case
  {
    const char* name;
    uint32_t version;
    int face;
    bool valid;
  } cases[] = {
    {"version 1", 0x00010000, 0, true},
    {"version 2", 0x00020000, 1, true},
    {"version 3 is unknown", 0x00030000, 0, false},
    {"index beyond the count", 0x00010000, 2, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Info(MakeCollection({face, face}, c.version), c.face).IsValid(), c.valid);
  }
}

TEST(FontInfo, NameStringsAndMetrics)
{
  struct Case
  {
    const char* name;
    std::vector<NameRecord> records;
    const char* family;
    const char* style;
  } cases[] = {
    {"windows names", WindowsNames("Vem", "Bold"), "Vem", "Bold"},
    {"macintosh names only", {{1, 0, 0, 1, Latin("MacFam")}, {1, 0, 0, 2, Latin("Italic")}}, "MacFam", "Italic"},
    {"windows wins over macintosh",
     {{1, 0, 0, 1, Latin("Mac")}, {3, 1, 0x0409, 1, UTF16BE({'W', 'i', 'n'})}},
     "Win",
     ""},
    {"macintosh text ends at a zero byte", {{1, 0, 0, 1, Bytes{'A', 'b', 0, 'c'}}}, "Ab", ""},
    {"surrogate pair is one 4-byte character",
     {{3, 1, 0x0409, 1, UTF16BE({'x', 0xD83D, 0xDE00})}},
     "x\xF0\x9F\x98\x80",
     ""},
    {"lone high surrogate at the end is 3 bytes", {{3, 1, 0x0409, 1, UTF16BE({'x', 0xD83D})}}, "x\xED\xA0\xBD", ""},
    {"windows text ends at a zero unit", {{3, 1, 0x0409, 1, UTF16BE({'a', 0, 'b'})}}, "a", ""},
    {"odd byte length drops the half unit", {{3, 1, 0x0409, 1, Bytes{0, 'a', 0}}}, "a", ""},
    {"other languages are not read", {{3, 1, 0x0407, 1, UTF16BE({'d', 'e'})}}, "", ""},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const Bytes font = MakeFont(2048, 1900, -500, c.records);
    const IFontInfo info = Info(font, 0);
    EXPECT_TRUE(info.IsValid());
    EXPECT_STREQ(info.GetFamily().Get(), c.family);
    EXPECT_STREQ(info.GetStyle().Get(), c.style);
    EXPECT_EQ(info.GetLineGap(), 7);
    EXPECT_EQ(info.GetMacStyle(), 1);
    EXPECT_NEAR(info.GetEmRatio(), 2048.0 / 2400.0, 1e-12);
  }
}

TEST(FontInfo, DegenerateEmBoxMakesTheFontInvalid)
{
  struct Case
  {
    const char* name;
    uint16_t unitsPerEm;
    int16_t ascender, descender;
    bool valid;
  } cases[] = {
    {"usual", 1000, 800, -200, true},
    {"ascender equals descender", 1000, 300, 300, false},
    {"ascender below descender", 1000, -300, 300, false},
    {"zero units per em", 0, 800, -200, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const Bytes font = MakeFont(c.unitsPerEm, c.ascender, c.descender, WindowsNames("F", "Regular"));
    const IFontInfo info = Info(font, 0);
    EXPECT_EQ(info.IsValid(), c.valid);
    EXPECT_TRUE(std::isfinite(info.GetEmRatio()));
    const IFontData data(font.data(), static_cast<int>(font.size()), 0);
    EXPECT_EQ(data.IsValid(), c.valid);
  }
}

TEST(FontInfo, TruncatedOrGarbledFilesNeverReadOutsideTheData)
{
  const Bytes real = ReadFile(RobotoPath("Roboto-Regular.ttf"));
  const Bytes synthetic = MakeFont(2048, 1900, -500, WindowsNames("Family", "Regular"));
  const Bytes ttc = MakeCollection({synthetic, synthetic});
  for (const Bytes* source : {&real, &synthetic, &ttc})
  {
    // Exact-size copies, so any read past the end is caught by the address sanitizer.
    for (size_t len = 0; len < std::min<size_t>(source->size(), 2048); len += (len < 400 ? 1 : 37))
    {
      const Bytes cut(source->begin(), source->begin() + static_cast<long>(len));
      for (int face = 0; face < 3; ++face)
      {
        const IFontInfo info(cut.data(), static_cast<uint32_t>(cut.size()), face);
        if (len < 12)
        {
          EXPECT_FALSE(info.IsValid());
        }
      }
    }
  }
  // A name table whose strings point past the end gives empty names, not a crash.
  Bytes bad = synthetic;
  bad.resize(bad.size() - 4);
  EXPECT_STREQ(Info(bad, 0).GetStyle().Get(), "");

  EXPECT_FALSE(IFontInfo(nullptr, 100, 0).IsValid());
  EXPECT_FALSE(Info(Latin("not a font at all"), 0).IsValid());
}

TEST(FontData, OwnsACopyAndChecksItsFaceIndex)
{
  Bytes font = MakeFont(1000, 800, -200, WindowsNames("F", "Regular"));
  const IFontData data(font.data(), static_cast<int>(font.size()), 0);
  std::memset(font.data(), 0, font.size());
  EXPECT_TRUE(data.IsValid());
  EXPECT_STREQ(data.GetFamily().Get(), "F");
  EXPECT_FALSE(IFontData(font.data(), 0, 0).IsValid());
  EXPECT_FALSE(IFontData(MakeFont(1000, 800, -200, {}).data(), 10, -1).IsValid());
}
