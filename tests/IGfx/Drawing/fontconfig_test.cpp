#include <gtest/gtest.h>

#include <string>

#include "IGfx/Platforms/FontconfigFont.h"
#include "IGfx/Platforms/FontconfigHelpers.h"
#include "tests/IGfx/Drawing/font_bytes.h"

using namespace plugkit::gfx;
using namespace gfx_test;

TEST(Fontconfig, FindsAnInstalledFamilyByExactFamilyAndStyle)
{
  struct Case
  {
    const char* name;
    const char* family;
    ETextStyle style;
    const char* file; // empty: not found
    const char* familyName;
    const char* styleName;
  } cases[] = {
    {"regular is not an alias face", "Roboto", ETextStyle::Normal, "Roboto-Regular.ttf", "Roboto", "Regular"},
    {"bold", "Roboto", ETextStyle::Bold, "Roboto-Bold.ttf", "Roboto", "Bold"},
    {"italic", "Roboto", ETextStyle::Italic, "Roboto-Italic.ttf", "Roboto", "Italic"},
    {"second face of a collection", "WenQuanYi Micro Hei Mono", ETextStyle::Normal, "wqy-microhei.ttc",
     "WenQuanYi Micro Hei Mono", "Regular"},
    {"unknown family", "No Such Family Anywhere", ETextStyle::Normal, "", "", ""},
    {"a style the family lacks", "WenQuanYi Micro Hei", ETextStyle::Bold, "", "", ""},
    {"family names are not prefixes", "Robot", ETextStyle::Normal, "", "", ""},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    PlatformFontPtr font = FontconfigHelpers::LoadPlatformFont("id", c.family, c.style);
    if (!c.file[0])
    {
      EXPECT_EQ(font, nullptr);
      continue;
    }
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->IsSystem());
    const std::string path = static_cast<FontconfigFont&>(*font).GetPath();
    EXPECT_EQ(path.substr(path.rfind('/') + 1), c.file);
    const auto data = font->GetFontData();
    ASSERT_TRUE(data->IsValid());
    EXPECT_STREQ(data->GetFamily().Get(), c.familyName);
    EXPECT_STREQ(data->GetStyle().Get(), c.styleName);
  }
}

TEST(Fontconfig, ResourceAndMemoryFonts)
{
  const std::string path = RobotoPath("Roboto-Regular.ttf");
  PlatformFontPtr file = FontconfigHelpers::LoadPlatformFont("Roboto-Regular", path.c_str(), "", "");
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->IsSystem());
  EXPECT_TRUE(file->GetFontData()->IsValid());
  EXPECT_EQ(FontconfigHelpers::LoadPlatformFont("x", "/no/such/font.ttf", "", ""), nullptr);

  const Bytes bytes = ReadFile(path);
  PlatformFontPtr mem = FontconfigHelpers::LoadPlatformFont("m", bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_NE(mem, nullptr);
  EXPECT_EQ(mem->GetFontData()->GetSize(), static_cast<int>(bytes.size()));
  EXPECT_EQ(FontconfigHelpers::LoadPlatformFont("m", bytes.data(), 0), nullptr);
}

TEST(Fontconfig, DescriptorCacheHoldsOneEntryPerFontAndTheEmRatio)
{
  StaticStorage<FontconfigFontDescriptor> cache;
  StaticStorage<FontconfigFontDescriptor>::Accessor(cache).Retain();
  const Bytes font = MakeFont(2048, 1900, -500, WindowsNames("F", "Regular"));
  PlatformFontPtr a = FontconfigHelpers::LoadPlatformFont("a", font.data(), static_cast<int>(font.size()));
  FontconfigHelpers::CachePlatformFont("RobotoMono-Regular.ttf", *a, cache);
  FontconfigHelpers::CachePlatformFont("RobotoMono-Regular.ttf", *a, cache);

  const Bytes flat = MakeFont(2048, 300, 300, WindowsNames("F", "Regular"));
  PlatformFontPtr b = FontconfigHelpers::LoadPlatformFont("b", flat.data(), static_cast<int>(flat.size()));
  FontconfigHelpers::CachePlatformFont("flat", *b, cache);

  StaticStorage<FontconfigFontDescriptor>::Accessor storage(cache);
  EXPECT_EQ(storage.Size(), 1);
  const FontconfigFontDescriptor* d = storage.Find("RobotoMono-Regular.ttf", 1.0);
  ASSERT_NE(d, nullptr);
  EXPECT_NEAR(d->emRatio, 0.8533, 1e-4);
  EXPECT_EQ(storage.Find("flat", 1.0), nullptr);
}
