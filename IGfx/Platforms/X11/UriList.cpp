#include "IGfx/Platforms/X11/UriList.h"

#include <cctype>
#include <optional>

namespace plugkit::gfx {

namespace {

int HexValue(char c)
{
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

std::optional<std::string> PercentDecode(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
  {
    // A NUL would cut the path short wherever it is passed on as a C string, raw or escaped.
    if (text[i] == '\0')
      return std::nullopt;
    if (text[i] != '%')
    {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size())
      return std::nullopt;
    const int hi = HexValue(text[i + 1]);
    const int lo = HexValue(text[i + 2]);
    if (hi < 0 || lo < 0)
      return std::nullopt;
    const char c = static_cast<char>(hi * 16 + lo);
    if (c == '\0')
      return std::nullopt;
    out += c;
    i += 2;
  }
  return out;
}

// The path part of a local file URI, still escaped; none for anything else.
std::optional<std::string_view> LocalPathOf(std::string_view uri)
{
  constexpr std::string_view kScheme = "file:";
  if (uri.size() < kScheme.size())
    return std::nullopt;
  for (size_t i = 0; i < kScheme.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(uri[i])) != kScheme[i])
      return std::nullopt;
  std::string_view rest = uri.substr(kScheme.size());
  if (rest.substr(0, 2) == "//")
  {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    if (slash == std::string_view::npos)
      return std::nullopt;
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost")
      return std::nullopt;
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest[0] != '/')
    return std::nullopt;
  return rest;
}

} // namespace

std::vector<std::string> ParseUriList(std::string_view list)
{
  std::vector<std::string> paths;
  while (!list.empty())
  {
    const size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
      line.remove_prefix(1);
    if (line.empty() || line.front() == '#')
      continue;
    if (auto escaped = LocalPathOf(line))
      if (auto path = PercentDecode(*escaped))
        paths.push_back(std::move(*path));
  }
  return paths;
}

} // namespace plugkit::gfx
