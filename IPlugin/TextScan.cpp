#include "IPlugin/TextScan.h"

#include <charconv>
#include <cmath>

namespace plugkit
{

namespace
{
char Lower(char c)
{
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trimmed(std::string_view text)
{
  SkipBlanks(text);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}
} // namespace

std::string_view TrimLine(std::string_view line)
{
  const auto trimmed = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!line.empty() && trimmed(line.front()))
    line.remove_prefix(1);
  while (!line.empty() && trimmed(line.back()))
    line.remove_suffix(1);
  return line;
}

void SkipBlanks(std::string_view& rest)
{
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
    rest.remove_prefix(1);
}

bool ReadNumber(std::string_view& rest, double& value)
{
  std::string_view text = rest;
  SkipBlanks(text);
  // from_chars takes a minus sign but no plus sign.
  if (!text.empty() && text.front() == '+')
  {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-')
      return false;
  }
  double v = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
  if (ec != std::errc() || !std::isfinite(v))
    return false;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  rest = text;
  value = v;
  return true;
}

bool ReadWord(std::string_view& rest, std::string_view word)
{
  std::string_view text = rest;
  SkipBlanks(text);
  if (word.empty() || text.size() < word.size())
    return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (Lower(text[i]) != Lower(word[i]))
      return false;
  text.remove_prefix(word.size());
  rest = text;
  return true;
}

bool AtEnd(std::string_view rest)
{
  SkipBlanks(rest);
  return rest.empty();
}

bool SameText(std::string_view a, std::string_view b)
{
  a = Trimmed(a);
  b = Trimmed(b);
  std::string_view rest = a;
  return a.size() == b.size() && (a.empty() || (ReadWord(rest, b) && rest.empty()));
}

} // namespace plugkit
