#include "IPlugin/IPluginPaths.h"

#include <dlfcn.h>
#include <pwd.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "IPlugin/IPluginFiles.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

namespace {
namespace fs = std::filesystem;

std::string WithoutTrailingSlash(std::string path)
{
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// XDG variables count only when set to an absolute path.
std::string AbsoluteEnv(const char* name)
{
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? WithoutTrailingSlash(value) : std::string();
}

std::string Home()
{
  if (const char* home = std::getenv("HOME"); home && *home)
    return WithoutTrailingSlash(home);
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
    return WithoutTrailingSlash(found->pw_dir);
  return {};
}

// Empty when there is no home to put it under.
std::string UnderHome(const char* subPath)
{
  const std::string home = Home();
  return home.empty() ? home : home + subPath;
}

std::string DataHome()
{
  std::string dir = AbsoluteEnv("XDG_DATA_HOME");
  return dir.empty() ? UnderHome("/.local/share") : dir;
}

std::string SystemDataDir()
{
  if (const char* dirs = std::getenv("XDG_DATA_DIRS"))
  {
    std::string_view list(dirs);
    while (!list.empty())
    {
      const size_t colon = list.find(':');
      const std::string_view dir = list.substr(0, colon);
      if (!dir.empty() && dir.front() == '/')
        return WithoutTrailingSlash(std::string(dir));
      list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
  }
  return "/usr/local/share";
}

// The user's folder for key from user-dirs.dirs; a file that is not a small regular file is not read.
std::string UserDir(std::string_view key)
{
  std::string config = AbsoluteEnv("XDG_CONFIG_HOME");
  if (config.empty())
    config = UnderHome("/.config");
  if (config.empty())
    return {};
  std::string text;
  if (ReadFileCapped(config + "/user-dirs.dirs", kMaxUserDirsFileBytes, text) != EFileResult::kOk)
    return {};
  return UserDirFromText(text, key, Home());
}

std::string& BundleRootOverride()
{
  static std::string root;
  return root;
}

// Any symbol of this module: the bundle is the folder of whatever binary it was linked into.
void ModuleAnchor() {}

// The ".vst3" folder holding this module, or the override; empty when the module sits in none.
std::string ModuleBundleRoot()
{
  if (!BundleRootOverride().empty())
    return WithoutTrailingSlash(BundleRootOverride());

  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ModuleAnchor), &info) || !info.dli_fname || !*info.dli_fname)
    return {};
  // <bundle>.vst3/Contents/<architecture>/<module>.so
  const fs::path contents = fs::path(info.dli_fname).parent_path().parent_path();
  if (contents.filename() != "Contents")
    return {};
  return contents.parent_path().string();
}

std::string ModuleResources()
{
  const std::string root = ModuleBundleRoot();
  return root.empty() ? root : (fs::path(root) / "Contents" / "Resources").string();
}

bool IsFile(const std::string& path)
{
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool EqualIgnoringCase(std::string_view a, const char* b)
{
  return b && a.size() == std::strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}
} // namespace

void UserHomePath(TextString& path) { path.Set(Home().c_str()); }

void AppSupportPath(TextString& path, bool system) { path.Set(system ? SystemDataDir().c_str() : DataHome().c_str()); }

void INIPath(TextString& path, const char* name)
{
  // Without a known user folder this must not become a path under the file-system root.
  const std::string root = DataHome();
  path.Set(root.empty() ? "" : (root + "/" + (name ? name : "")).c_str());
}

std::string UserDirFromText(std::string_view text, std::string_view key, std::string_view home)
{
  std::string found;
  while (!text.empty())
  {
    const size_t lf = text.find('\n');
    std::string_view rest = text.substr(0, lf);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
      rest.remove_prefix(1);
    if (key.empty() || !rest.starts_with(key) || rest.substr(key.size(), 1) != "=")
      continue;
    rest.remove_prefix(key.size() + 1);

    std::string value;
    if (!rest.empty() && rest.front() == '"')
    {
      rest.remove_prefix(1);
      bool closed = false;
      for (size_t i = 0; i < rest.size(); ++i)
      {
        if (rest[i] == '\\' && i + 1 < rest.size())
          value += rest[++i];
        else if (rest[i] == '"')
        {
          closed = true;
          break;
        }
        else
          value += rest[i];
      }
      if (!closed)
        continue;
    }
    else
      value = std::string(rest.substr(0, rest.find_first_of(" \t#")));

    // A NUL would cut the folder short wherever it is passed on as a C string.
    if (value.find('\0') != std::string::npos)
      continue;
    if (value.starts_with("$HOME") && (value.size() == 5 || value[5] == '/'))
    {
      if (!home.empty())
        found = WithoutTrailingSlash(std::string(home) + value.substr(5));
    }
    else if (value.starts_with("/"))
      found = WithoutTrailingSlash(value);
  }
  return found;
}

void DesktopPath(TextString& path)
{
  std::string dir = UserDir("XDG_DESKTOP_DIR");
  path.Set((dir.empty() ? UnderHome("/Desktop") : dir).c_str());
}

void SharedMusicPath(TextString& path)
{
  std::string dir = UserDir("XDG_MUSIC_DIR");
  path.Set((dir.empty() ? UnderHome("/Music") : dir).c_str());
}

void BundleResourcePath(TextString& path) { path.Set(ModuleResources().c_str()); }

void BundleResourcePath(TextString& path, const char* /*bundleID*/) { BundleResourcePath(path); }

void HostPath(TextString& path, const char* bundleID)
{
  if (!bundleID || !*bundleID)
    return;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec)
    path.Set(exe.c_str());
}

void PluginPath(TextString& path, const char* /*bundleID*/)
{
  const std::string root = ModuleBundleRoot();
  if (!root.empty())
    path.Set((fs::path(root).parent_path().string() + "/").c_str());
}

void VST3PresetsPath(TextString& path, const char* makerName, const char* pluginName, bool system)
{
  const std::string base = system ? std::string("/usr/share/vst3/presets") : UnderHome("/.vst3/presets");
  // Without a known home this must not become a folder under the file-system root.
  if (base.empty())
  {
    path.Set("");
    return;
  }
  path.SetFormatted(1024, "%s/%s/%s/", base.c_str(), makerName ? makerName : "", pluginName ? pluginName : "");
}

void AppGroupContainerPath(TextString& path, const char* /*appGroupID*/) { path.Set(""); }

bool IsAUv3AppExtensionBundleID(const char* bundleID) { return bundleID && std::strstr(bundleID, ".AUv3"); }

bool AppIsSandboxed() { return Home().find("Library/Containers/") != std::string::npos; }

bool IsXPCAuHost()
{
  std::ifstream comm("/proc/self/comm");
  std::string name;
  std::getline(comm, name);
  return name.find("XPC") != std::string::npos;
}

bool IsOOPAuv3AppExtension() { return false; }

void OverrideBundleRoot(const char* bundleRoot) { BundleRootOverride() = bundleRoot ? bundleRoot : ""; }

EResourceLocation LocateResource(const char* name, const char* type, TextString& result, const char* /*bundleID*/,
                                 void* /*instance*/, const char* sharedSubPath)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!name || !*name)
    return kNotFound;

  const std::string_view whole(name);
  const size_t dot = whole.rfind('.');
  const std::string_view extension = dot == std::string_view::npos ? whole : whole.substr(dot + 1);
  const std::string stem(dot == std::string_view::npos ? whole : whole.substr(0, dot));

  if (EqualIgnoringCase(extension, type))
  {
    // The name's own spelling of the extension first: Linux file names are case-sensitive.
    std::vector<std::string> fileNames = {stem + "." + std::string(extension)};
    if (extension != type)
      fileNames.push_back(stem + "." + type);

    const std::string resources = ModuleResources();
    if (!resources.empty())
      for (const std::string& fileName : fileNames)
        if (const std::string path = resources + "/" + fileName; IsFile(path))
        {
          result.Set(path.c_str());
          return kAbsolutePath;
        }
    result.Set("");

    TextString music;
    SharedMusicPath(music);
    if (music.GetLength() > 0)
    {
      fs::path shared(music.Get());
      // Relative even when given with a leading "/": an absolute operand would replace the path.
      shared /= fs::path(sharedSubPath ? sharedSubPath : "").relative_path();
      shared /= "Resources";
      for (const std::string& fileName : fileNames)
      {
        const std::string path = (shared / fs::path(fileName).filename()).string();
        if (IsFile(path))
        {
          result.Set(path.c_str());
          return kAbsolutePath;
        }
      }
    }
    result.Set("");
  }

  if (IsFile(name))
  {
    result.Set(name);
    return kAbsolutePath;
  }
  return kNotFound;
}

} // namespace plugkit
