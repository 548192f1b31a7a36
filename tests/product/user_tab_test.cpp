// What a new instance's user tab holds, and that a saved session keeps it.
#include "tests/product/file_helpers.h"

#include <optional>
#include <string>

#include "product/patch/prefs_access.h"
#include "product/ui/default_user_tab.h"

namespace vemlor::plugintest {
namespace {

namespace fs = std::filesystem;

// The default layout file of the settings folder holds text while the scope lives; none holds no file.
class DefaultLayoutFile
{
public:
  explicit DefaultLayoutFile(const std::optional<std::string>& text)
    : mPath(zarvo::vemlorPrefsFilePath(zarvo::kDefaultLayoutFileName))
  {
    fs::remove(mPath);
    if (text)
    {
      fs::create_directories(mPath.parent_path());
      writeBytes(mPath, std::vector<char>(text->begin(), text->end()));
    }
  }
  ~DefaultLayoutFile() { fs::remove(mPath); }

private:
  fs::path mPath;
};

constexpr const char* kHeader = "# zarvo v1\n# plugin Vemlor 1.3.0\n";

TEST(PluginUserTab, ANewInstanceHoldsTheUsersDefaultLayoutElseTheBuiltInOne)
{
  struct Case
  {
    const char* name;
    std::optional<std::string> file;
    zarvo::UserTabColumns expected;
  };
  const Case cases[] = {
    {"no file", std::nullopt, vemlor::ui::defaultUserTabSlots()},
    {"another kind of file", std::string("[user-tab]\nslot par_main_drive\n"), vemlor::ui::defaultUserTabSlots()},
    {"no user-tab section", std::string(kHeader) + "[midi-cc]\n", vemlor::ui::defaultUserTabSlots()},
    {"a cleared tab", std::string(kHeader) + "[user-tab]\n", {}},
    {"the user's layout",
     std::string(kHeader) + "[user-tab]\nslot -9 par_main_drive kAlt_LabelRes\nslot 29\n",
     {{-9, 14, 10101}, {29}}},
  };
  for (const Case& c : cases)
  {
    const DefaultLayoutFile file(c.file);
    PluginInstance p;
    EXPECT_EQ(p->userTabColumns(), c.expected) << c.name;
  }
}

TEST(PluginUserTab, ASavedSessionRestoresItsTabOverAnotherDefault)
{
  std::optional<plugkit::IByteChunk> saved;
  {
    const DefaultLayoutFile none(std::nullopt);
    PluginInstance p;
    saved = stateOf(p);
  }
  const DefaultLayoutFile other(std::string(kHeader) + "[user-tab]\nslot par_main_drive\n");
  PluginInstance p;
  ASSERT_EQ(p->userTabColumns(), (zarvo::UserTabColumns{{14}}));
  ASSERT_GT(p->UnserializeState(*saved, 0), 0);
  EXPECT_EQ(p->userTabColumns(), vemlor::ui::defaultUserTabSlots());
}

} // namespace
} // namespace vemlor::plugintest
