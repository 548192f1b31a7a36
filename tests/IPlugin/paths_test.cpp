#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "IPlugin/IPluginPaths.h"
#include "tests/support/bounded_child.h"

namespace {
namespace fs = std::filesystem;
using plugkit::EResourceLocation;

// Sets environment variables for one test and puts the old values back afterwards.
class ScopedEnv
{
public:
  void Set(const char* name, const char* value)
  {
    if (!mSaved.count(name))
    {
      const char* old = std::getenv(name);
      mSaved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }

  ~ScopedEnv()
  {
    for (const auto& [name, value] : mSaved)
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
  }

private:
  std::map<std::string, std::optional<std::string>> mSaved;
};

// A temporary folder holding the user's home ("@/home") and config folder ("@/config") for one test.
class TempHome
{
public:
  TempHome()
  {
    std::string pattern = (fs::temp_directory_path() / "vemlor-paths-XXXXXX").string();
    mPath = mkdtemp(pattern.data());
    mEnv.Set("HOME", (mPath / "home").c_str());
    mEnv.Set("XDG_CONFIG_HOME", (mPath / "config").c_str());
  }
  ~TempHome()
  {
    std::error_code ec;
    fs::remove_all(mPath, ec);
  }

  ScopedEnv& Env() { return mEnv; }
  const fs::path& Path() const { return mPath; }

  // "@" in a text stands for the temporary folder.
  std::string Expand(const char* text) const
  {
    std::string out(text);
    if (const size_t at = out.find('@'); at != std::string::npos)
      out.replace(at, 1, mPath.string());
    return out;
  }

  void WriteFile(const fs::path& relative, const std::string& text) const
  {
    fs::create_directories((mPath / relative).parent_path());
    std::ofstream(mPath / relative) << text;
  }

private:
  fs::path mPath;
  ScopedEnv mEnv;
};

// Folder resolution.

struct FolderCase
{
  const char* name;
  const char* xdgDataHome;
  const char* xdgDataDirs;
  const char* userDirs; // content of user-dirs.dirs; null: no file
  void (*query)(TextString&);
  const char* expected;
};

void UserAppSupport(TextString& path) { plugkit::AppSupportPath(path, false); }

void SystemAppSupport(TextString& path) { plugkit::AppSupportPath(path, true); }

void ProductIni(TextString& path) { plugkit::INIPath(path, "Vemlor"); }

void UserVST3Presets(TextString& path) { plugkit::VST3PresetsPath(path, "ZarvoAudio", "Vemlor", false); }

void SystemVST3Presets(TextString& path) { plugkit::VST3PresetsPath(path, "ZarvoAudio", "Vemlor", true); }

void AppGroupContainer(TextString& path) { plugkit::AppGroupContainerPath(path, "group.com.zarvoaudio.vemlor"); }

const FolderCase kFolderCases[] = {
  {"AppSupportFromXdgDataHome", "@/data", nullptr, nullptr, UserAppSupport, "@/data"},
  {"AppSupportDefaultsUnderHome", nullptr, nullptr, nullptr, UserAppSupport, "@/home/.local/share"},
  {"RelativeXdgDataHomeIgnored", "relative/data", nullptr, nullptr, UserAppSupport, "@/home/.local/share"},
  {"IniPathAppendsName", "@/data/", nullptr, nullptr, ProductIni, "@/data/Vemlor"},
  {"SystemFromFirstXdgDataDir", nullptr, ":relative:/opt/share:/usr/share", nullptr, SystemAppSupport, "/opt/share"},
  {"SystemDefault", nullptr, nullptr, nullptr, SystemAppSupport, "/usr/local/share"},
  {"HomeFromEnvironment", nullptr, nullptr, nullptr, plugkit::UserHomePath, "@/home"},
  {"DesktopDefault", nullptr, nullptr, nullptr, plugkit::DesktopPath, "@/home/Desktop"},
  {"MusicDefault", nullptr, nullptr, "# nothing set\n", plugkit::SharedMusicPath, "@/home/Music"},
  {"DesktopFromUserDirs", nullptr, nullptr, "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", plugkit::DesktopPath,
   "@/home/Schreibtisch"},
  {"MusicAbsoluteWithEscapes", nullptr, nullptr,
   "# written by a tool\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\nXDG_MUSIC_DIR=\"/srv/my \\\"tunes\\\"\"\n",
   plugkit::SharedMusicPath, "/srv/my \"tunes\""},
  {"UserDirsRelativeValueIgnored", nullptr, nullptr, "XDG_MUSIC_DIR=\"Music2\"\n", plugkit::SharedMusicPath,
   "@/home/Music"},
  {"UserVST3PresetsUnderHome", "@/data", nullptr, nullptr, UserVST3Presets, "@/home/.vst3/presets/ZarvoAudio/Vemlor/"},
  {"SystemVST3Presets", nullptr, nullptr, nullptr, SystemVST3Presets, "/usr/share/vst3/presets/ZarvoAudio/Vemlor/"},
  {"NoAppGroupContainers", nullptr, nullptr, nullptr, AppGroupContainer, ""},
};

class PathsFolder : public testing::TestWithParam<FolderCase>
{};

TEST_P(PathsFolder, Resolves)
{
  const FolderCase& c = GetParam();
  TempHome home;
  home.Env().Set("XDG_DATA_HOME", c.xdgDataHome ? home.Expand(c.xdgDataHome).c_str() : nullptr);
  home.Env().Set("XDG_DATA_DIRS", c.xdgDataDirs);
  if (c.userDirs)
    home.WriteFile("config/user-dirs.dirs", c.userDirs);

  TextString path("stale");
  c.query(path);
  EXPECT_EQ(std::string(path.Get()), home.Expand(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Xdg, PathsFolder, testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A user-dirs.dirs that is a named pipe or larger than any such file is not read: the default
// folder, at once (a child process ended by an alarm fails the test instead of hanging it).
TEST(Paths, UserDirsThatIsAPipeOrTooLargeIsNotRead)
{
  TempHome home;
  const std::string desk = "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n";
  home.WriteFile("config/user-dirs.dirs", desk + std::string(plugkit::kMaxUserDirsFileBytes, '#'));
  TextString path;
  plugkit::DesktopPath(path);
  EXPECT_EQ(std::string(path.Get()), home.Expand("@/home/Desktop"));

  fs::remove(home.Path() / "config" / "user-dirs.dirs");
  ASSERT_EQ(::mkfifo((home.Path() / "config" / "user-dirs.dirs").c_str(), 0666), 0);
  const std::string expected = home.Expand("@/home/Desktop");
  const int result = vemlor::test_support::exitCodeWithin(10, [&] {
    TextString inChild;
    plugkit::DesktopPath(inChild);
    return std::string(inChild.Get()) == expected ? 0 : 1;
  });
  EXPECT_EQ(result, 0) << "-1: the read waited for a writer";
}

TEST(Paths, UserDirsTextGivesTheLastLineOfTheKey)
{
  struct Case
  {
    const char* text;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
    {"XDG_MUSIC_DIR=\"$HOME/A\"\nXDG_MUSIC_DIR=\"/b/\"\n", "/h", "/b"},
    {"  XDG_MUSIC_DIR=$HOME # bare\n", "/h", "/h"},
    {"XDG_MUSIC_DIR=\"$HOME/A\"\n", "", ""},
    {"XDG_MUSIC_DIR=\"/unclosed\n", "/h", ""},
    {"XDG_MUSIC_DIRX=\"/x\"\nXDG_MUSIC=/y\n", "/h", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(plugkit::UserDirFromText(c.text, "XDG_MUSIC_DIR", c.home), c.expected) << c.text;
}

TEST(Paths, HomeFallsBackToPasswordDatabase)
{
  ScopedEnv env;
  env.Set("HOME", nullptr);
  const passwd* entry = getpwuid(getuid());
  ASSERT_NE(entry, nullptr);
  TextString path;
  plugkit::UserHomePath(path);
  EXPECT_EQ(fs::path(path.Get()), fs::path(entry->pw_dir));
}

TEST(Paths, ModuleOutsideABundleHasNoBundleResources)
{
  plugkit::OverrideBundleRoot(nullptr);
  TextString path("stale");
  plugkit::BundleResourcePath(path);
  EXPECT_STREQ(path.Get(), "");
}

TEST(Paths, PluginAndHostPaths)
{
  TempHome home;
  plugkit::OverrideBundleRoot((home.Path() / "plugins" / "Vemlor.vst3").c_str());
  TextString path("stale");
  plugkit::PluginPath(path, "com.zarvoaudio.vemlor");
  EXPECT_EQ(std::string(path.Get()), home.Expand("@/plugins/"));
  plugkit::BundleResourcePath(path, "com.zarvoaudio.vemlor");
  EXPECT_EQ(std::string(path.Get()), home.Expand("@/plugins/Vemlor.vst3/Contents/Resources"));
  plugkit::OverrideBundleRoot(nullptr);

  path.Set("stale");
  plugkit::PluginPath(path, "com.zarvoaudio.vemlor"); // the test program sits in no bundle
  EXPECT_STREQ(path.Get(), "stale");

  plugkit::HostPath(path, "");
  EXPECT_STREQ(path.Get(), "stale");
  plugkit::HostPath(path, "com.example.host");
  EXPECT_EQ(fs::path(path.Get()), fs::read_symlink("/proc/self/exe"));
}

TEST(Paths, ProcessKind)
{
  EXPECT_TRUE(plugkit::IsAUv3AppExtensionBundleID("com.zarvoaudio.vemlor.AUv3"));
  EXPECT_FALSE(plugkit::IsAUv3AppExtensionBundleID("com.zarvoaudio.vemlor"));
  EXPECT_FALSE(plugkit::IsAUv3AppExtensionBundleID(nullptr));
  EXPECT_FALSE(plugkit::IsOOPAuv3AppExtension());
  EXPECT_FALSE(plugkit::IsXPCAuHost()) << "the test program's name has no XPC";

  TempHome home;
  EXPECT_FALSE(plugkit::AppIsSandboxed());
  home.Env().Set("HOME", home.Expand("@/Library/Containers/com.example/Data").c_str());
  EXPECT_TRUE(plugkit::AppIsSandboxed());
}

// Resource lookup: bundle, then shared music folder, then plain path.

struct LocateCase
{
  const char* name;     // test name
  const char* resource; // "@" stands for the temporary folder
  const char* type;
  EResourceLocation expected;
  const char* expectedPath; // "@" as above
};

const LocateCase kLocateCases[] = {
  {"BundleIgnoresTypeCase", "vemlor.svg", "SVG", plugkit::kAbsolutePath, "@/Vemlor.vst3/Contents/Resources/vemlor.svg"},
  {"BundleBeforeShared", "both.ttf", "ttf", plugkit::kAbsolutePath, "@/Vemlor.vst3/Contents/Resources/both.ttf"},
  {"SharedWhenNotInBundle", "shared.ttf", "ttf", plugkit::kAbsolutePath, "@/home/Music/Vemlor/Resources/shared.ttf"},
  {"SharedTakesLastPathComponent", "fonts/shared.ttf", "ttf", plugkit::kAbsolutePath,
   "@/home/Music/Vemlor/Resources/shared.ttf"},
  {"OtherTypeOnlyAsPlainPath", "@/loose/vemlor.svg", "png", plugkit::kAbsolutePath, "@/loose/vemlor.svg"},
  {"OtherTypeNotSearchedInBundle", "vemlor.svg", "png", plugkit::kNotFound, "untouched"},
  {"FullPathNameFoundAsPlainPath", "@/loose/vemlor.svg", "svg", plugkit::kAbsolutePath, "@/loose/vemlor.svg"},
  {"MissingEverywhere", "missing.svg", "svg", plugkit::kNotFound, ""},
  {"EmptyName", "", "svg", plugkit::kNotFound, "untouched"},
};

class PathsLocate : public testing::TestWithParam<LocateCase>
{};

TEST_P(PathsLocate, FindsInOrder)
{
  const LocateCase& c = GetParam();
  TempHome home;
  home.WriteFile("Vemlor.vst3/Contents/Resources/vemlor.svg", "<svg/>");
  home.WriteFile("Vemlor.vst3/Contents/Resources/both.ttf", "bundle");
  home.WriteFile("home/Music/Vemlor/Resources/both.ttf", "shared");
  home.WriteFile("home/Music/Vemlor/Resources/shared.ttf", "shared");
  home.WriteFile("loose/vemlor.svg", "<svg/>");
  plugkit::OverrideBundleRoot((home.Path() / "Vemlor.vst3").c_str());

  TextString result("untouched");
  const std::string name = home.Expand(c.resource);
  EXPECT_EQ(plugkit::LocateResource(name.c_str(), c.type, result, "com.zarvoaudio.vemlor", nullptr, "Vemlor"),
            c.expected);
  EXPECT_EQ(std::string(result.Get()), home.Expand(c.expectedPath));
  plugkit::OverrideBundleRoot(nullptr);
}

INSTANTIATE_TEST_SUITE_P(LocateResource, PathsLocate, testing::ValuesIn(kLocateCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
