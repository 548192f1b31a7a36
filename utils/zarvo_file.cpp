#include "utils/zarvo_file.h"

#include "IPlugin/TextScan.h"

namespace zarvo {

namespace {

constexpr std::string_view kHeader = "# zarvo v1";
constexpr std::string_view kPluginPrefix = "# plugin ";

// The next blank-separated word of `rest`, consumed from it; empty when none is left.
std::string_view nextWord(std::string_view& rest)
{
  while (!rest.empty() && rest.front() == ' ')
    rest.remove_prefix(1);
  const size_t end = rest.find(' ');
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(word.size());
  return word;
}

} // namespace

const std::vector<std::string> ZarvoFile::kEmptyLines;

ZarvoFile::ZarvoFile(std::string pluginName, std::string version)
  : mPluginName(std::move(pluginName))
  , mPluginVersion(std::move(version))
{}

void ZarvoFile::setSection(std::string name, std::vector<std::string> lines)
{
  if (Section* s = findSection(name))
    s->lines = std::move(lines);
  else
    mSections.push_back({std::move(name), std::move(lines)});
}

ZarvoFile::Section* ZarvoFile::findSection(std::string_view name)
{
  for (Section& s : mSections)
    if (s.name == name)
      return &s;
  return nullptr;
}

const ZarvoFile::Section* ZarvoFile::findSection(std::string_view name) const
{
  return const_cast<ZarvoFile*>(this)->findSection(name);
}

bool ZarvoFile::hasSection(std::string_view name) const { return findSection(name) != nullptr; }

const std::vector<std::string>& ZarvoFile::section(std::string_view name) const
{
  const Section* s = findSection(name);
  return s ? s->lines : kEmptyLines;
}

std::string ZarvoFile::toString() const
{
  std::string out;
  out.append(kHeader).append("\n");
  out.append(kPluginPrefix).append(mPluginName).append(" ").append(mPluginVersion).append("\n");
  for (const Section& s : mSections)
  {
    out.append("\n[").append(s.name).append("]\n");
    for (const std::string& line : s.lines)
      out.append(line).append("\n");
  }
  return out;
}

plugkit::EFileResult ZarvoFile::toFile(const std::filesystem::path& path) const
{
  return plugkit::WriteFileAtomic(path, toString());
}

std::optional<ZarvoFile> ZarvoFile::fromText(std::string_view text)
{
  std::optional<ZarvoFile> file;
  Section* current = nullptr;
  while (!text.empty())
  {
    const size_t lf = text.find('\n');
    const std::string_view line = plugkit::Trim(text.substr(0, lf), plugkit::kLineBlanks);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    if (line.empty())
      continue;

    if (!file)
    {
      if (line != kHeader)
        return std::nullopt;
      file.emplace(std::string(), std::string());
      continue;
    }

    if (line.starts_with(kPluginPrefix))
    {
      std::string_view rest = line.substr(kPluginPrefix.size());
      if (const std::string_view name = nextWord(rest); !name.empty())
        file->mPluginName = name;
      if (const std::string_view version = nextWord(rest); !version.empty())
        file->mPluginVersion = version;
    }
    else if (line.front() == '#')
    {
      // a comment
    }
    else if (line.front() == '[' && line.back() == ']' && line.size() >= 2)
    {
      file->mSections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
      current = &file->mSections.back();
    }
    else if (current)
    {
      current->lines.emplace_back(line);
    }
  }
  return file;
}

ZarvoFile::Loaded ZarvoFile::fromFile(const std::filesystem::path& path)
{
  std::string text;
  Loaded loaded;
  loaded.result = plugkit::ReadFileCapped(path, kMaxFileBytes, text);
  if (loaded.result != plugkit::EFileResult::kOk)
    return loaded;
  loaded.file = fromText(text);
  if (!loaded.file)
    loaded.result = plugkit::EFileResult::kNotOurs;
  return loaded;
}

} // namespace zarvo
