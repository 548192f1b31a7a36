#include "IPlugin/TextScan.h"

namespace plugkit {

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
} // namespace

std::string_view Trim(std::string_view text, std::string_view blanks)
{
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos)
    return text.substr(text.size());
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

void SkipBlanks(std::string_view& rest)
{
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
    rest.remove_prefix(1);
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
  a = Trim(a, kBlanks);
  b = Trim(b, kBlanks);
  std::string_view rest = a;
  return a.size() == b.size() && (a.empty() || (ReadWord(rest, b) && rest.empty()));
}

} // namespace plugkit
