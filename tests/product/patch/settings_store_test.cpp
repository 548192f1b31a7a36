#include "product/patch/settings_store.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <iterator>
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
  const Entries expected = {{"ui_scale", "1.5"},    {"a", "b = c"},      {"x", "2"},
                            {"", "empty key"},      {"empty value", ""}, {"Hover_Help", "yes"},
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
  ASSERT_EQ(store.save(), plugkit::EFileResult::kOk);
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
  EXPECT_EQ(SettingsStore("").save(), plugkit::EFileResult::kWriteFailed);
  EXPECT_EQ(SettingsStore((dir / "file" / "preferences.ini").string()).save(), plugkit::EFileResult::kWriteFailed);
}

TEST(SettingsStore, TwoProcessesKeepEachOthersKeys)
{
  test::TempDir dir;
  const std::string path = (dir / "preferences.ini").string();
  test::writeBytes(path, "preferences_version=1\nui_scale=1.000000\nhover_help=1\n");
  SettingsStore first(path);
  SettingsStore second(path);
  ASSERT_EQ(first.load(), plugkit::EFileResult::kOk);
  ASSERT_EQ(second.load(), plugkit::EFileResult::kOk);

  first.put("ui_scale", "2.000000");
  ASSERT_EQ(first.save(), plugkit::EFileResult::kOk);
  second.put("hover_help", "0");
  second.put("preset_dir", "/music/presets");
  ASSERT_EQ(second.save(), plugkit::EFileResult::kOk);
  // Its own value of the key it changed wins again; what the other saved meanwhile is kept.
  first.put("ui_scale", "1.500000");
  ASSERT_EQ(first.save(), plugkit::EFileResult::kOk);

  const char* expected = "# preferences (auto-generated; key=value, editable)\n"
                         "preferences_version=1\n"
                         "ui_scale=1.500000\n"
                         "hover_help=0\n"
                         "preset_dir=/music/presets\n";
  EXPECT_EQ(test::readBytes(path), expected);
  EXPECT_EQ(first.getString("preset_dir", ""), "/music/presets") << "a save leaves the store holding what it wrote";
  EXPECT_EQ(second.getString("ui_scale", ""), "2.000000") << "the other store read only what was there when it saved";
}

TEST(SettingsStore, OversizedFileIsRefusedAndAFailedSaveKeepsItsChange)
{
  test::TempDir dir;
  const auto path = dir / "preferences.ini";
  test::writeBytes(path, "ui_scale=2\n" + std::string(SettingsStore::kMaxFileBytes, '#'));
  SettingsStore store(path.string());
  EXPECT_EQ(store.load(), plugkit::EFileResult::kNotOurs);
  EXPECT_TRUE(store.entries().empty());

  // Where the folder should be stands a file: nothing can be written, and the change waits.
  test::writeBytes(dir / "blocked", "x");
  SettingsStore blocked((dir / "blocked" / "preferences.ini").string());
  blocked.put("hover_help", "0");
  EXPECT_EQ(blocked.save(), plugkit::EFileResult::kWriteFailed);
  std::filesystem::remove(dir / "blocked");
  std::filesystem::create_directories(dir / "blocked");
  test::writeBytes(dir / "blocked" / "preferences.ini", "ui_scale=3\n");
  ASSERT_EQ(blocked.save(), plugkit::EFileResult::kOk);
  EXPECT_EQ(test::readBytes(dir / "blocked" / "preferences.ini"),
            "# preferences (auto-generated; key=value, editable)\nui_scale=3\nhover_help=0\n");
}

// Root reads every file whatever its permission bits, so the files that cannot be read are those over
// the size cap or not regular files.
TEST(SettingsStore, AFileThatCannotBeReadIsNeverReplacedAndTheValuesLastTheSession)
{
  test::TempDir dir;
  const std::string handWritten = "ui_scale=2\nmy_own=line\n" + std::string(SettingsStore::kMaxFileBytes, '#');
  struct Case
  {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    std::function<bool(const std::filesystem::path&)> unchanged;
  };
  const Case cases[] = {
    {"over the size cap", [&](const auto& p) { test::writeBytes(p, handWritten); },
     [&](const auto& p) { return test::readBytes(p) == handWritten; }},
    {"a named pipe", [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0666), 0); },
     [](const auto& p) { return std::filesystem::is_fifo(p); }},
    {"a folder", [](const auto& p) { std::filesystem::create_directories(p / "inside"); },
     [](const auto& p) { return std::filesystem::is_directory(p / "inside"); }},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const auto path = dir / c.name / "preferences.ini";
    std::filesystem::create_directories(path.parent_path());
    c.make(path);
    SettingsStore store(path.string());
    EXPECT_NE(store.load(), plugkit::EFileResult::kOk);
    EXPECT_FALSE(store.held());
    EXPECT_FALSE(store.takeHeldNotice());

    store.put("hover_help", "0");
    EXPECT_EQ(store.save(), plugkit::EFileResult::kWriteFailed);
    EXPECT_TRUE(c.unchanged(path));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()), {}), 1) << "nothing beside it";
    EXPECT_EQ(store.getString("hover_help", ""), "0") << "the value lasts the session";
    EXPECT_TRUE(store.held());
    // Told once, however often it is saved.
    EXPECT_TRUE(store.takeHeldNotice());
    store.put("ui_scale", "1.500000");
    EXPECT_EQ(store.save(), plugkit::EFileResult::kWriteFailed);
    EXPECT_FALSE(store.takeHeldNotice());
    EXPECT_TRUE(c.unchanged(path));
  }

  // A file that can be read again is merged and written as usual.
  const auto path = dir / "over the size cap" / "preferences.ini";
  SettingsStore store(path.string());
  store.put("hover_help", "0");
  ASSERT_EQ(store.save(), plugkit::EFileResult::kWriteFailed);
  test::writeBytes(path, "my_own=line\n");
  ASSERT_EQ(store.save(), plugkit::EFileResult::kOk);
  EXPECT_FALSE(store.held());
  EXPECT_EQ(test::readBytes(path), "# preferences (auto-generated; key=value, editable)\nmy_own=line\nhover_help=0\n");
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
    {"1", false, true},    {"on", false, true},   {"yes", false, true},  {"true", false, true},
    {"Yes", true, false},  {"TRUE", true, false}, {"0", true, false},    {"", true, false},
    {"y es", true, false}, {"2", true, false},    {nullptr, true, true}, {nullptr, false, false},
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
