#include "product/settings_store.h"

#include "tests/patch/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zarvo {
namespace {

using Entries = std::vector<SettingsStore::Entry>;

constexpr const char* kHandEdited = "# my settings\r\n"
                                    "; an old-style comment\r\n"
                                    "   \t \r\n"
                                    "ui_scale = 1.5\r\n"
                                    " \t a = b = c \t\r\n"
                                    "no equals sign here\r\n"
                                    "x=1\r\n"
                                    "=empty key\r\n"
                                    "empty value=\r\n"
                                    "Hover_Help=yes\r\n"
                                    "x=2\r\n"
                                    "  #not=an entry\r\n"
                                    "last=no line end";

TEST(SettingsStore, HandEditedFileLoadsToExactEntries)
{
  test::TempDir dir;
  const Entries expected = {{"ui_scale", "1.5"}, {"a", "b = c"}, {"x", "2"},
                            {"", "empty key"}, {"empty value", ""}, {"Hover_Help", "yes"},
                            {"last", "no line end"}};

  std::string lf = kHandEdited;
  std::erase(lf, '\r');
  for (const std::string& text : {std::string(kHandEdited), lf})
  {
    test::writeBytes(dir / "preferences.ini", text);
    SettingsStore store((dir / "preferences.ini").string());
    store.load();
    EXPECT_EQ(store.entries(), expected);
  }
}

TEST(SettingsStore, SaveCreatesFoldersAndWritesValuesAsStored)
{
  test::TempDir dir;
  const auto path = dir / "nested" / "Vemlor" / "preferences.ini";
  SettingsStore store(path.string());
  store.load(); // missing file: nothing
  EXPECT_TRUE(store.entries().empty());
  SettingsStore folder(dir.path().string());
  folder.load(); // a folder: nothing, and no exception
  EXPECT_TRUE(folder.entries().empty());
  store.put("preferences_version", "1");
  store.setString("ui_scale", "1.5");
  store.put("hover_help", "0");
  store.setString("ui_scale", "2.000000"); // replaced in place
  ASSERT_TRUE(store.save());
  EXPECT_EQ(test::readBytes(path), "# preferences (auto-generated; key=value, editable)\n"
                                   "preferences_version=1\n"
                                   "ui_scale=2.000000\n"
                                   "hover_help=0\n");

  SettingsStore again(path.string());
  again.load();
  EXPECT_EQ(again.entries(), store.entries());
}

TEST(SettingsStore, SaveFailsWithoutAWritablePath)
{
  test::TempDir dir;
  test::writeBytes(dir / "file", "x");
  EXPECT_FALSE(SettingsStore("").save());
  EXPECT_FALSE(SettingsStore((dir / "file" / "preferences.ini").string()).save());
}

TEST(SettingsStore, RefusesKeysAndValuesThatWouldForgeLines)
{
  const struct
  {
    const char* name;
    std::string key;
    std::string value;
  } cases[] = {
    {"LF in value", "preset_dir", "/tmp/a\nhover_help=0"},
    {"CR in value", "preset_dir", "/tmp/a\rhover_help=0"},
    {"LF in key", "a\nb", "1"},
    {"equals in key", "a=b", "1"},
  };
  for (const auto& c : cases)
  {
    SettingsStore store("");
    store.put("preset_dir", "/old");
    EXPECT_FALSE(store.put(c.key, c.value)) << c.name;
    EXPECT_FALSE(store.setString(c.key, c.value)) << c.name;
    EXPECT_EQ(store.entries(), (Entries{{"preset_dir", "/old"}})) << c.name;
  }
  SettingsStore store("");
  EXPECT_TRUE(store.put("preset_dir", "/a = b/ c"));
  EXPECT_EQ(store.getString("preset_dir", ""), "/a = b/ c");
}

TEST(SettingsStore, GetBoolAcceptsOnlyTheFourTrueWords)
{
  const struct
  {
    const char* stored; // nullptr: absent
    bool fallback;
    bool expected;
  } cases[] = {
    {"1", false, true},     {"on", false, true},   {"yes", false, true}, {"true", false, true},
    {"Yes", true, false},   {"TRUE", true, false}, {"0", true, false},   {"", true, false},
    {"y es", true, false},  {"2", true, false},    {nullptr, true, true}, {nullptr, false, false},
  };
  for (const auto& c : cases)
  {
    SettingsStore store("");
    if (c.stored)
      store.put("k", c.stored);
    EXPECT_EQ(store.getBool("k", c.fallback), c.expected) << (c.stored ? c.stored : "(absent)");
  }
  SettingsStore store("");
  EXPECT_EQ(store.getString("absent", "dflt"), "dflt");
}

} // namespace
} // namespace zarvo
