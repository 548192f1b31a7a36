#include <gtest/gtest.h>

#include <sys/stat.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"
#include "tests/support/bounded_child.h"

namespace {

namespace fs = std::filesystem;
using zarvo::UserTabColumns;

class TempDir
{
public:
  TempDir()
  {
    mPath = fs::temp_directory_path() / ("vemlor_state_" + std::to_string(::getpid()) + "_" + std::to_string(sCount++));
    fs::create_directories(mPath);
  }
  ~TempDir()
  {
    std::error_code ec;
    fs::remove_all(mPath, ec);
  }
  fs::path file(const char* name) const { return mPath / name; }

private:
  static inline int sCount = 0;
  fs::path mPath;
};

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Two alternative controls; "slot" lines of blank-separated tokens, one column each.
class FakeLayoutFormat : public zarvo::UserLayoutFormat
{
public:
  std::string altNameFromId(int id) const override
  {
    const auto it = kAlt.find(id);
    return it == kAlt.end() ? std::string() : it->second;
  }
  int altIdFromName(std::string_view name) const override
  {
    for (const auto& [id, n] : kAlt)
      if (n == name)
        return id;
    return -1;
  }
  UserTabColumns parseSlotLines(const std::vector<std::string>& lines, const TokenToId& tokenToId) const override
  {
    UserTabColumns columns;
    for (const std::string& line : lines)
    {
      std::vector<std::string_view> tokens;
      std::string_view rest = line;
      while (!rest.empty())
      {
        const size_t end = std::min(rest.find(' '), rest.size());
        if (end > 0)
          tokens.push_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
      }
      if (tokens.empty() || tokens.front() != "slot")
        continue;
      std::vector<int> column;
      for (size_t i = 1; i < tokens.size(); ++i)
      {
        int id = -1;
        const auto [p, ec] = std::from_chars(tokens[i].data(), tokens[i].data() + tokens[i].size(), id);
        if (ec != std::errc() || p != tokens[i].data() + tokens[i].size())
          id = tokenToId(tokens[i]);
        if (id != -1)
          column.push_back(id);
      }
      columns.push_back(column);
    }
    return columns;
  }
  std::vector<std::string> serializeSlotIds(const UserTabColumns& columns, const IdToToken& idToToken) const override
  {
    std::vector<std::string> lines;
    for (const std::vector<int>& column : columns)
    {
      std::string line = "slot";
      for (const int id : column)
      {
        const std::string token = idToToken(id);
        line += " " + (token.empty() ? std::to_string(id) : token);
      }
      lines.push_back(line);
    }
    return lines;
  }
  UserTabColumns defaultUserTabSlots() const override { return kDefault; }

  inline static const std::map<int, std::string> kAlt = {{10000, "kAlt_meter"}, {10101, "kAlt_scope"}};
  inline static const UserTabColumns kDefault = {{11, 13}, {10000}};
};

const char* const kHeader = "# zarvo v1\n# plugin Vemlor 1.3.0\n";

TEST(PrefsAccess, PreferencesVersionIsPutWhenMissingOrUnreadable)
{
  struct Case
  {
    const char* name;
    std::optional<std::string> fileText;
    std::string expected;
  };
  const Case cases[] = {
    {"missing file", std::nullopt, "1"},      {"no entry", "hover_help=0\n", "1"},
    {"zero", "preferences_version=0\n", "1"}, {"not a number", "preferences_version=abc\n", "1"},
    {"two", "preferences_version=2\n", "2"},
  };
  for (const Case& c : cases)
  {
    TempDir dir;
    const fs::path path = dir.file("preferences.ini");
    if (c.fileText)
      writeText(path, *c.fileText);
    zarvo::SettingsStore store(path.string());
    zarvo::loadPrefs(store);
    const std::string* version = store.find("preferences_version");
    ASSERT_NE(version, nullptr) << c.name;
    EXPECT_EQ(*version, c.expected) << c.name;
  }

  TempDir dir;
  zarvo::SettingsStore store(dir.file("sub/preferences.ini").string());
  zarvo::loadPrefs(store);
  EXPECT_EQ(store.entries().size(), 1u);
  ASSERT_EQ(zarvo::writePref(store, zarvo::prefkey::kUiScale, "1.500000"), plugkit::EFileResult::kOk);
  zarvo::SettingsStore reread(store.path());
  reread.load();
  EXPECT_EQ(reread.getString("ui_scale", ""), "1.500000");
}

TEST(PrefsAccess, SettingsFilesLiveInTheVemlorFolder)
{
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  ::setenv("XDG_DATA_HOME", "/tmp/xdg-data", 1);
  EXPECT_EQ(zarvo::vemlorPrefsFilePath("preferences.ini"), "/tmp/xdg-data/Vemlor/preferences.ini");
  EXPECT_EQ(zarvo::vemlorPrefsFilePath("default_layout.zarvo"), "/tmp/xdg-data/Vemlor/default_layout.zarvo");
  if (saved)
    ::setenv("XDG_DATA_HOME", saved->c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}

TEST(PrefsAccess, LayoutTokens)
{
  const FakeLayoutFormat format;
  struct Case
  {
    const char* name;
    int id;
    std::string token;
  };
  const Case cases[] = {
    {"first parameter", 0, "par_preFlt_A_hz"},
    {"last parameter", 78, "par_main_pt_tilt"},
    {"alternative control", 10101, "kAlt_scope"},
    {"above the parameters without a name", 79, ""},
    {"negative", -1, ""},
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(zarvo::layoutTokenFromId(format, c.id), c.token) << c.name;
    if (!c.token.empty())
    {
      EXPECT_EQ(zarvo::layoutIdFromToken(format, c.token), c.id) << c.name;
    }
  }
  EXPECT_EQ(zarvo::layoutIdFromToken(format, "par_nothing"), -1);
}

TEST(PrefsAccess, DefaultUserLayoutLoads)
{
  const FakeLayoutFormat format;
  struct Case
  {
    const char* name;
    std::optional<std::string> fileText;
    UserTabColumns expected;
  };
  const Case cases[] = {
    {"missing file", std::nullopt, FakeLayoutFormat::kDefault},
    {"not a layout file", "hello\n", FakeLayoutFormat::kDefault},
    {"no user-tab section", std::string(kHeader) + "[other]\nslot 1 2\n", FakeLayoutFormat::kDefault},
    {"section giving no columns", std::string(kHeader) + "[user-tab]\nnonsense here\n", FakeLayoutFormat::kDefault},
    {"empty section is an empty tab", std::string(kHeader) + "[user-tab]\n", {}},
    {"tokens, numbers and alternative names",
     std::string(kHeader) + "[user-tab]\nslot par_main_drive 30 kAlt_meter unknown\nslot par_dry_wet\n",
     {{14, 30, 10000}, {29}}},
    {"the variation control becomes depth in every column",
     std::string(kHeader) + "[user-tab]\nslot par_main_pt_variation 3\nslot 17 par_main_pt_variation\n",
     {{77, 3}, {77, 77}}},
  };
  for (const Case& c : cases)
  {
    TempDir dir;
    const fs::path path = dir.file("default_layout.zarvo");
    if (c.fileText)
      writeText(path, *c.fileText);
    EXPECT_EQ(zarvo::loadDefaultUserLayout(format, path.string()), c.expected) << c.name;
  }
  EXPECT_EQ(zarvo::loadDefaultUserLayout(format, ""), FakeLayoutFormat::kDefault);
}

// A named pipe in place of either settings file is not read and does not make the reader wait for a
// writer: a child process that an alarm ends fails the test instead of hanging it.
TEST(PrefsAccess, NamedPipesInPlaceOfTheSettingsFilesAreNotReadAndDoNotWait)
{
  TempDir dir;
  const fs::path prefsPath = dir.file("preferences.ini");
  const fs::path layoutPath = dir.file("default_layout.zarvo");
  ASSERT_EQ(::mkfifo(prefsPath.c_str(), 0666), 0);
  ASSERT_EQ(::mkfifo(layoutPath.c_str(), 0666), 0);
  const int result = vemlor::test_support::exitCodeWithin(10, [&] {
    zarvo::SettingsStore store(prefsPath.string());
    const bool prefsOk = zarvo::loadPrefs(store) == plugkit::EFileResult::kUnreadable && store.entries().size() == 1u;
    const bool layoutOk =
      zarvo::loadDefaultUserLayout(FakeLayoutFormat(), layoutPath.string()) == FakeLayoutFormat::kDefault;
    // Nor is either pipe replaced by a save.
    const bool saveRefused =
      zarvo::writePref(store, zarvo::prefkey::kUiScale, "2.000000") != plugkit::EFileResult::kOk &&
      zarvo::saveDefaultUserLayout(FakeLayoutFormat(), layoutPath.string(), {{1}}) != plugkit::EFileResult::kOk;
    return prefsOk && layoutOk && saveRefused ? 0 : 1;
  });
  EXPECT_EQ(result, 0) << "-1: a read waited for a writer";
  EXPECT_TRUE(fs::is_fifo(prefsPath));
  EXPECT_TRUE(fs::is_fifo(layoutPath));
}

TEST(PrefsAccess, DefaultUserLayoutSavesAndLoadsBack)
{
  const FakeLayoutFormat format;
  struct Case
  {
    const char* name;
    UserTabColumns slots;
  };
  const Case cases[] = {
    {"parameters and alternative controls", {{0, 78, 10101}, {29}}},
    {"empty tab", {}},
  };
  for (const Case& c : cases)
  {
    TempDir dir;
    const fs::path path = dir.file("Vemlor/default_layout.zarvo");
    EXPECT_EQ(zarvo::saveDefaultUserLayout(format, path.string(), c.slots), plugkit::EFileResult::kOk) << c.name;
    EXPECT_EQ(zarvo::loadDefaultUserLayout(format, path.string()), c.slots) << c.name;
  }

  TempDir dir;
  zarvo::saveDefaultUserLayout(format, dir.file("layout.zarvo").string(), {{14, 10000}});
  std::ifstream in(dir.file("layout.zarvo"));
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, std::string(kHeader) + "\n[user-tab]\nslot par_main_drive kAlt_meter\n");
}

} // namespace
