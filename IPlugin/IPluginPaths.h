// Standard per-user and system folders (XDG) and the lookup of resource files in the plug-in bundle.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "IPlugin/TextString.h"

namespace plugkit {

enum EResourceLocation
{
  kNotFound = 0,
  kAbsolutePath = 1
};

// All main thread. Paths carry no trailing "/"; none of these creates a folder.

// $HOME, else the password database's home of this user.
void UserHomePath(TextString& path);
// The user's application-support folder ($XDG_DATA_HOME, else ~/.local/share), or with system the
// first folder of $XDG_DATA_DIRS, else /usr/local/share.
void AppSupportPath(TextString& path, bool system = false);
// The user's application-support folder, "/" and name.
void INIPath(TextString& path, const char* name);
// XDG_DESKTOP_DIR / XDG_MUSIC_DIR of user-dirs.dirs, else ~/Desktop and ~/Music.
void DesktopPath(TextString& path);
void SharedMusicPath(TextString& path);

// A user-dirs.dirs of a few lines fits in far less; a larger one, or anything but a regular file
// (a pipe would never end), is not read.
inline constexpr std::size_t kMaxUserDirsFileBytes = 64 * 1024;
// The folder that key names in the text of a user-dirs.dirs file: its last "key=" line, the value
// shell-quoted or bare, "$HOME" replaced by home (ignored when home is empty), or an absolute path;
// without a trailing "/", empty when no line gives one. Any thread: it only reads the text.
std::string UserDirFromText(std::string_view text, std::string_view key, std::string_view home);

// Contents/Resources of the bundle holding this module (found from the module's own code address),
// or the override's Contents/Resources; empty when the module does not sit in a bundle.
void BundleResourcePath(TextString& path);
// Makes bundleRoot (the ".vst3" folder) the bundle; null or empty returns to the module's own.
void OverrideBundleRoot(const char* bundleRoot);

// The same; the bundle is this module's whatever the identifier.
void BundleResourcePath(TextString& path, const char* bundleID);
// The running program's executable; unchanged for a null or empty identifier.
void HostPath(TextString& path, const char* bundleID);
// The folder that holds this module's bundle, with a trailing "/"; unchanged when the module does not
// sit in a bundle. The identifier is accepted for the callers' sake.
void PluginPath(TextString& path, const char* bundleID);
// The VST3 preset folder of a maker's plug-in, with a trailing "/": under ~/.vst3/presets, or
// /usr/share/vst3/presets with system.
void VST3PresetsPath(TextString& path, const char* makerName, const char* pluginName, bool system = false);
// Application-group containers do not exist here: always empty.
void AppGroupContainerPath(TextString& path, const char* appGroupID);

// Process kind. Identifiers naming an app-extension bundle contain ".AUv3".
bool IsAUv3AppExtensionBundleID(const char* bundleID);
// Whether the home folder lies in an application sandbox container.
bool AppIsSandboxed();
// Whether the process name (/proc/self/comm) contains "XPC".
bool IsXPCAuHost();
// App extensions do not exist here: always false.
bool IsOOPAuv3AppExtension();

// Finds a resource by name and type (its extension, compared ignoring case): in the bundle's
// resources, then in <music>/<sharedSubPath>/Resources, then as a plain path of an existing file.
// The bundle is this module's: bundleID and instance are accepted for the callers' sake but unused.
// An empty name is kNotFound and leaves result unchanged.
EResourceLocation LocateResource(const char* name, const char* type, TextString& result, const char* bundleID,
                                 void* instance, const char* sharedSubPath);

} // namespace plugkit
