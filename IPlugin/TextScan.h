// Locale-free reading of numbers and words from the front of a typed or stored text, and the one trim.
#pragma once

#include <charconv>
#include <cmath>
#include <string_view>
#include <type_traits>

namespace plugkit {

// Blank sets: what a typed text skips, what a stored line loses at its ends, and what an input
// stream skips.
inline constexpr std::string_view kBlanks = " \t";
inline constexpr std::string_view kLineBlanks = " \t\r";
inline constexpr std::string_view kStreamBlanks = " \t\r\n\f\v";

// How a number is read. Each stored format keeps the rules its files were always read with; the
// defaults are those of a typed value.
struct NumberRules
{
  std::string_view blanks = kBlanks; // skipped before the number
  bool plus = true;                  // a leading "+" is taken
  bool plusThenMinus = false;        // "+-2" reads as -2 rather than failing
  bool whole = false;                // the number must run to the end of the text
  bool finite = true;                // a floating number must be finite ("inf", "nan" refused)
};

// Reads a decimal number (integer or floating, by the type of `value`) from the front of `rest`
// and consumes it with the blanks before it. When it fails, `rest` and `value` are left as they
// were; a number out of the type's range fails. Any thread; none allocates.
template <class T>
bool ReadNumber(std::string_view& rest, T& value, const NumberRules& rules = {})
{
  static_assert(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>);
  std::string_view text = rest;
  const size_t start = text.find_first_not_of(rules.blanks);
  text.remove_prefix(start == std::string_view::npos ? text.size() : start);
  // from_chars takes a minus sign but no plus sign.
  if (rules.plus && !text.empty() && text.front() == '+')
  {
    text.remove_prefix(1);
    if (!rules.plusThenMinus && !text.empty() && text.front() == '-')
      return false;
  }
  T v{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc())
    return false;
  if constexpr (std::is_floating_point_v<T>)
  {
    if (rules.finite && !std::isfinite(v))
      return false;
  }
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  if (rules.whole && !text.empty())
    return false;
  rest = text;
  value = v;
  return true;
}

// The text without the characters of `blanks` around it.
std::string_view Trim(std::string_view text, std::string_view blanks);

// Each reader below consumes what it reads from the front of `rest` and, when it fails, leaves
// `rest` as it was. Any thread; none allocates.

// Skips blanks and tabs.
void SkipBlanks(std::string_view& rest);
// Blanks, then `word` in any ASCII letter case.
bool ReadWord(std::string_view& rest, std::string_view word);
// Whether only blanks are left.
bool AtEnd(std::string_view rest);
// Equal but for ASCII letter case and surrounding blanks.
bool SameText(std::string_view a, std::string_view b);

} // namespace plugkit
