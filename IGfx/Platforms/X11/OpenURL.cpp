#include "IGfx/Platforms/X11/OpenURL.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "IPlugin/IPluginSpawn.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit::gfx {

EOpenTarget ClassifyOpenTarget(std::string_view text)
{
  if (text.empty() || text.find('\0') != std::string_view::npos)
    return EOpenTarget::Invalid;
  // A scheme is a letter, then letters, digits, '+', '-' or '.', then ':'. One letter would be a
  // drive, not a scheme, and nothing after the colon is no address.
  const size_t colon = text.find(':');
  if (colon != std::string_view::npos && colon >= 2 && colon + 1 < text.size() &&
      std::isalpha(static_cast<unsigned char>(text[0])))
  {
    bool scheme = true;
    for (size_t i = 1; i < colon && scheme; ++i)
    {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      scheme = std::isalnum(c) || c == '+' || c == '-' || c == '.';
    }
    if (scheme)
      return EOpenTarget::URL;
  }
  return EOpenTarget::Path;
}

std::string OpenArgument(std::string_view text)
{
  switch (ClassifyOpenTarget(text))
  {
  case EOpenTarget::URL: return std::string(text);
  case EOpenTarget::Path:
  {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(std::filesystem::path(text), error);
    if (error || !std::filesystem::exists(path, error))
      return {};
    return path.string();
  }
  case EOpenTarget::Invalid: break;
  }
  return {};
}

bool OpenURLExternally(std::string_view text, const char* program)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const std::string argument = OpenArgument(text);
  if (argument.empty() || program == nullptr)
    return false;
  return SpawnWithoutShell(program, argument) > 0;
}

bool RevealPathExternally(std::string_view path, bool select, const char* program)
{
  std::string target = OpenArgument(path);
  if (target.empty() || ClassifyOpenTarget(path) != EOpenTarget::Path)
    return false;
  if (select)
    target = std::filesystem::path(target).parent_path().string();
  return OpenURLExternally(target, program);
}

} // namespace plugkit::gfx
