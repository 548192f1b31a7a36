// The sectioned text file "# zarvo v1": a header, a plug-in line and named sections of lines.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "IPlugin/IPluginFiles.h"

namespace zarvo {

// Splits text into sections and joins it again; never interprets a section's lines.
// Text is handled as bytes. Main thread (file access); no exception leaves it.
class ZarvoFile
{
public:
  struct Section
  {
    std::string name;
    std::vector<std::string> lines; // each without its line end
  };

  // What `section` returns for a missing section.
  static const std::vector<std::string> kEmptyLines;
  // Files larger than this are not read. A morph rig of 17 full points is about 50 kB, a layout of
  // 64 full columns about 60 kB, a controller map of every parameter a few kB.
  static constexpr size_t kMaxFileBytes = 1024 * 1024;

  struct Loaded;

  ZarvoFile(std::string pluginName, std::string version);

  const std::string& pluginName() const { return mPluginName; }
  const std::string& pluginVersion() const { return mPluginVersion; }
  const std::vector<Section>& sections() const { return mSections; }

  // Replaces the lines of the first section with this name, else appends a new section.
  void setSection(std::string name, std::vector<std::string> lines);
  Section* findSection(std::string_view name);
  const Section* findSection(std::string_view name) const;
  bool hasSection(std::string_view name) const;
  // The first such section's lines; a missing section looks like an empty one.
  const std::vector<std::string>& section(std::string_view name) const;

  std::string toString() const;
  // Main thread. Replaces the file with the text of toString as a whole (written beside it and
  // renamed over it); kOk or kWriteFailed, in which case any previous file is as it was.
  plugkit::EFileResult toFile(const std::filesystem::path& path) const;

  // Empty when the text does not begin with the header line.
  static std::optional<ZarvoFile> fromText(std::string_view text);
  // Main thread. kUnreadable when the file cannot be read; kNotOurs when it is larger than
  // kMaxFileBytes or not of this format.
  static Loaded fromFile(const std::filesystem::path& path);

private:
  std::string mPluginName;
  std::string mPluginVersion;
  std::vector<Section> mSections;
};

// A file read from disk, or why there is none.
struct ZarvoFile::Loaded
{
  plugkit::EFileResult result = plugkit::EFileResult::kUnreadable;
  std::optional<ZarvoFile> file; // set exactly when result is kOk
};

} // namespace zarvo
